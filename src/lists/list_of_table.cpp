#include "lists/list_of_table.h"

#include "lists/list_paths.h"
#include "romtable/number_text.h"
#include "romtable/rom_source.h"

namespace romc {

RomList romListOfTable(const TableState& state, const std::filesystem::path& workDir,
                       const std::filesystem::path& listPath) {
    const RomTable& table = state.table;
    RomList list;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const RomSource source = romSourceOf(table.text(row, Column::File));
        ListEntry entry{listFileText(source.file, workDir, listPath), table.text(row, Column::Name),
                        table.text(row, Column::SaveFlag) == kSaveFlagYes, source.member};
        if (entry.save) {
            // The bank is kept, so that the game finds its save in the same bank after the list is opened.
            const auto bank = readNumberText(table.text(row, Column::SaveBank));
            if (bank) {
                entry.bank = static_cast<int>(*bank);
            }
            if (const std::string& sav = namedSaveFile(state, row); !sav.empty()) {
                entry.sav = listFileText(sav, workDir, listPath);
            }
        }
        list.entries.push_back(std::move(entry));
    }
    return list;
}

} // namespace romc
