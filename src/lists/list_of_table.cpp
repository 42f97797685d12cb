#include "lists/list_of_table.h"

#include "lists/list_paths.h"

namespace romc {

RomList romListOfTable(const RomTable& table, const std::filesystem::path& workDir,
                       const std::filesystem::path& listPath) {
    RomList list;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        list.entries.push_back({listFileText(table.text(row, Column::File), workDir, listPath),
                                table.text(row, Column::Name),
                                table.text(row, Column::SaveFlag) == kSaveFlagYes});
    }
    return list;
}

} // namespace romc
