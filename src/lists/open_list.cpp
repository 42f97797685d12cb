#include "lists/open_list.h"

#include "archives/rom_source_file.h"
#include "lists/list_paths.h"
#include "romtable/add_rom.h"
#include "romtable/flash_units.h"
#include "romtable/rom_name.h"
#include "romtable/rom_source.h"

namespace romc {

namespace {

// Add ROM leaves a save ROM's wish unmet in two cases only; say which.
std::string noSaveMemoryWarning(const ListSource& source, std::size_t entry, bool noBankLeft,
                                const RomTable& table) {
    const std::size_t row = table.rowCount() - 1;
    const std::string reason =
        noBankLeft ? "no save bank is left"
                   : "a " + std::to_string(kMaxRomBlocks) + "-block ROM never gets save memory";
    return "the list " + inQuotes(source.shown) + ", entry " + std::to_string(entry) + " (" +
           inQuotes(table.text(row, Column::Name)) + ", " + inQuotes(table.text(row, Column::File)) +
           "), asks for save memory and is added without: " + reason;
}

} // namespace

ListReplay replayRomList(const TableState& start, const RomList& list, const ListSource& source) {
    ListReplay replay{start, false, list.entries.size(), {}, list.warnings};
    TableState& state = replay.state;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const ListEntry& entry = list.entries[i];
        // An archive listed alone that holds one ROM proposes that ROM's name, as Find File does.
        const std::string path =
            explicitRomSource(systemDisk(), source.workDir,
                              romSourceText(listedPathText(entry.file, source.folder), entry.member));
        const std::string name = entry.name ? *entry.name : proposeRomName(path);
        // The person ticks "Save?" or not; the Save box rule undoes a tick once no bank is left.
        bool saveBox = saveBoxAllowed(state, entry.save);
        const bool noBankLeft = state.nextSaveBank >= kNoSaveBankLeft;
        const auto refusal = addRom(state, {name, path, source.workDir}, saveBox);
        replay.saveBox = saveBox;
        if (refusal) {
            replay.refused.push_back({i + 1, *refusal});
        } else if (entry.save &&
                   state.table.text(state.table.rowCount() - 1, Column::SaveFlag) != kSaveFlagYes) {
            replay.warnings.push_back(noSaveMemoryWarning(source, i + 1, noBankLeft, state.table));
        }
    }
    return replay;
}

ListReplay openRomList(const TableState& current, const RomList& list, const ListSource& source) {
    TableState cleared = current;
    clearList(cleared);
    return replayRomList(cleared, list, source);
}

std::string refusedEntriesMessage(const ListReplay& replay, const ListSource& source) {
    std::string text = std::to_string(replay.refused.size()) + " of the " + std::to_string(replay.entries) +
                       " entries of the list " + inQuotes(source.shown) + " cannot be added:";
    for (const auto& refused : replay.refused) {
        text += "\n  entry " + std::to_string(refused.entry) + ": " + refused.reason.message;
    }
    return text;
}

} // namespace romc
