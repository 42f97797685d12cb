#include "cli/table_text.h"

#include "romtable/failure.h"

namespace romc {

std::string tableText(const RomTable& table) {
    std::string text;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            // A tab or line end inside a path would make a column or a row of its own.
            text += shownText(table.columns[column][row]);
            text += column + 1 < kColumnCount ? '\t' : '\n';
        }
    }
    return text;
}

} // namespace romc
