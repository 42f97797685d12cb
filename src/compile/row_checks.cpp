#include "compile/row_checks.h"

#include "compile/menu_patch.h"
#include "romtable/failure.h"
#include "romtable/rom_name.h"

namespace romc {

std::vector<std::string> tableRowWarnings(const RomTable& table, std::size_t row) {
    std::vector<std::string> warnings;
    const std::string& name = table.text(row, Column::Name);
    std::string shown;
    std::string unshowable;
    for (const std::string_view character : splitCharacters(name)) {
        const auto byte = static_cast<char>(menuCharacter(character));
        shown += byte;
        if (std::string_view(&byte, 1) != character) {
            unshowable += (unshowable.empty() ? "" : ", ") + inQuotes(character);
        }
    }
    if (!unshowable.empty()) {
        warnings.push_back("the menu shows the name as " + inQuotes(shown) + ": it cannot show " +
                           unshowable);
    }
    if (!name.empty() && name.back() == ' ') {
        warnings.push_back("the name " + inQuotes(name) + " ends in a blank");
    }
    const std::string& file = table.text(row, Column::File);
    for (std::size_t other = 0; other < row; ++other) {
        if (table.text(other, Column::File) == file) {
            warnings.push_back("the same ROM as row " + std::to_string(other + 1) + " (" +
                               inQuotes(table.text(other, Column::Name)) + ")");
            break;
        }
    }
    return warnings;
}

} // namespace romc
