#include "lists/open_list.h"

#include "archives/rom_source_file.h"
#include "lists/list_paths.h"
#include "romtable/add_rom.h"
#include "romtable/flash_units.h"
#include "romtable/rom_name.h"
#include "romtable/rom_source.h"
#include "romtable/row_order.h"

#include <algorithm>
#include <numeric>

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
    ListReplay replay{start, false, list.entries.size(), {}, list.warnings, std::nullopt};
    TableState& state = replay.state;
    const std::size_t firstRow = state.table.rowCount();
    std::vector<std::size_t> entryOfRow; // the list entry (from 0) each added row comes from
    std::vector<std::string> clashes;
    // Kept banks first, so that no save ROM handed the next bank takes one an entry further down keeps.
    for (const bool keptBank : {true, false}) {
        for (std::size_t i = 0; i < list.entries.size(); ++i) {
            const ListEntry& entry = list.entries[i];
            if (entry.bank.has_value() != keptBank) {
                continue;
            }
            // An archive listed alone that holds one ROM proposes that ROM's name, as Find File does.
            const std::string path =
                explicitRomSource(systemDisk(), source.workDir,
                                  romSourceText(listedPathText(entry.file, source.folder), entry.member));
            const std::string name = entry.name ? *entry.name : proposeRomName(path);
            SaveWish wish{entry.bank, entry.sav ? listedPathText(*entry.sav, source.folder) : std::string()};
            // The person ticks "Save?" or not; the Save box rule undoes a tick once no bank is left.
            bool saveBox = keptBank ? entry.save : saveBoxAllowed(state, entry.save);
            const bool noBankLeft = state.nextSaveBank >= kNoSaveBankLeft;
            const AddRomInput input{name, path, source.workDir, nullptr, wish};
            const auto measured = measureRom(input);
            if (!measured.ok()) {
                replay.refused.push_back({i + 1, measured.failure()});
                continue;
            }
            if (auto refusal = addRomOfBlocks(state, name, measured.value().source, measured.value().blocks,
                                              saveBox, wish)) {
                if (keptBank) {
                    clashes.push_back("  entry " + std::to_string(i + 1) + ": " + refusal->message);
                } else {
                    replay.refused.push_back({i + 1, *refusal});
                }
                continue;
            }
            entryOfRow.push_back(i);
            replay.saveBox = saveBox;
            if (entry.save &&
                state.table.text(state.table.rowCount() - 1, Column::SaveFlag) != kSaveFlagYes) {
                replay.warnings.push_back(noSaveMemoryWarning(source, i + 1, noBankLeft, state.table));
            }
        }
    }
    if (!clashes.empty()) {
        std::string text = "the save banks of the list " + inQuotes(source.shown) + " cannot all hold:";
        for (const auto& clash : clashes) {
            text += "\n" + clash;
        }
        replay.bankClash = Failure{std::move(text)};
    }
    std::sort(replay.refused.begin(), replay.refused.end(),
              [](const RefusedEntry& a, const RefusedEntry& b) { return a.entry < b.entry; });
    // The rows back in list order.
    std::vector<std::size_t> order(firstRow + entryOfRow.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(
        order.begin() + static_cast<std::ptrdiff_t>(firstRow), order.end(),
        [&](std::size_t a, std::size_t b) { return entryOfRow[a - firstRow] < entryOfRow[b - firstRow]; });
    const auto selected = state.selectedRow;
    reorderRows(state, order);
    state.selectedRow = selected;
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
