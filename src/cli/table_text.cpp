#include "cli/table_text.h"

namespace romc {

std::string tableText(const RomTable& table) {
    std::string text;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            text += table.columns[column][row];
            text += column + 1 < kColumnCount ? '\t' : '\n';
        }
    }
    return text;
}

} // namespace romc
