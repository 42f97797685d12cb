#include "lists/list_of_table.h"

#include "lists/list_paths.h"
#include "romtable/rom_source.h"

namespace romc {

RomList romListOfTable(const RomTable& table, const std::filesystem::path& workDir,
                       const std::filesystem::path& listPath) {
    RomList list;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const RomSource source = romSourceOf(table.text(row, Column::File));
        list.entries.push_back({listFileText(source.file, workDir, listPath), table.text(row, Column::Name),
                                table.text(row, Column::SaveFlag) == kSaveFlagYes, source.member});
    }
    return list;
}

} // namespace romc
