#include "romtable/save_banks.h"

#include "romtable/add_rom.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/row_order.h"

#include <numeric>
#include <vector>

namespace romc {

namespace {

int rowBlocks(const RomTable& table, std::size_t row) {
    const auto blocks = readNumberText(table.text(row, Column::Size));
    return blocks ? static_cast<int>(*blocks) : 0;
}

bool isSaveRow(const RomTable& table, std::size_t row) {
    return table.text(row, Column::SaveFlag) == kSaveFlagYes;
}

Outcome<TableState> compacted(const TableState& state) {
    TableState fresh = state;
    clearList(fresh);
    const RomTable& table = state.table;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        bool saveBox = isSaveRow(table, row);
        if (auto refusal =
                addRomOfBlocks(fresh, table.text(row, Column::Name), table.text(row, Column::File),
                               rowBlocks(table, row), saveBox, {std::nullopt, namedSaveFile(state, row)})) {
            return *refusal;
        }
        if (isSaveRow(table, row) && !isSaveRow(fresh.table, row)) {
            return Failure{"Cannot compact the save banks: " + inQuotes(table.text(row, Column::Name)) +
                           " would get no save bank"};
        }
    }
    // Names were upper-cased once already; keep the texts exactly as they were.
    fresh.table.column(Column::Name) = table.column(Column::Name);
    fresh.selectedRow = state.selectedRow;
    return fresh;
}

} // namespace

Refusal compactSaveBanks(TableState& state) {
    auto fresh = compacted(state);
    if (!fresh.ok()) {
        return fresh.failure();
    }
    state = std::move(fresh.value());
    return std::nullopt;
}

bool saveBanksCompact(const TableState& state) {
    const auto fresh = compacted(state);
    if (!fresh.ok()) {
        return true; // nothing compacting could give
    }
    for (std::size_t row = 0; row < state.table.rowCount(); ++row) {
        if (isSaveRow(state.table, row) &&
            (fresh.value().table.text(row, Column::SaveBank) != state.table.text(row, Column::SaveBank))) {
            return false;
        }
    }
    return fresh.value().nextSaveBank == state.nextSaveBank;
}

Refusal setSaveMemory(TableState& state, std::size_t row, bool on) {
    RomTable& table = state.table;
    if (row >= table.rowCount() || isSaveRow(table, row) == on) {
        return std::nullopt;
    }
    if (!on) {
        // It keeps its blocks as a ROM without save memory has a place: the next compilation gives them back
        // and places it anew. Its bank stays handed out: the cartridge still holds its saves there.
        table.column(Column::SaveFlag)[row] = kSaveFlagNo;
        table.column(Column::SaveBank)[row] = kNoSaveBank;
        if (row < state.saveFiles.size()) {
            state.saveFiles[row].clear();
        }
        return std::nullopt;
    }
    // Added again at the end as Add ROM adds a save ROM, then put back at its menu position.
    TableState changed = state;
    const std::string name = table.text(row, Column::Name);
    const std::string file = table.text(row, Column::File);
    const int blocks = rowBlocks(table, row);
    giveBackPlace(changed.table, changed.blocks, row);
    for (auto& column : changed.table.columns) {
        column.erase(column.begin() + static_cast<std::ptrdiff_t>(row));
    }
    changed.saveFiles.resize(changed.table.rowCount() + 1);
    changed.saveFiles.erase(changed.saveFiles.begin() + static_cast<std::ptrdiff_t>(row));
    if (changed.nextSaveBank >= kNoSaveBankLeft) {
        return Failure{"Cannot give " + inQuotes(name) + " save memory: all " + std::to_string(kSaveBanks) +
                       " save banks are handed out (Compact Save Banks takes back those of removed ROMs)"};
    }
    if (blocks == kMaxRomBlocks) {
        return Failure{"Cannot give " + inQuotes(name) + " save memory: a " + std::to_string(kMaxRomBlocks) +
                       "-block ROM never gets save memory"};
    }
    bool saveBox = true;
    if (auto refusal = addRomOfBlocks(changed, name, file, blocks, saveBox)) {
        return refusal;
    }
    changed.table.column(Column::Name).back() = name;
    std::vector<std::size_t> order(changed.table.rowCount());
    std::iota(order.begin(), order.end(), std::size_t{0});
    order.pop_back();
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(row), changed.table.rowCount() - 1);
    const auto selected = state.selectedRow;
    reorderRows(changed, order);
    changed.selectedRow = selected;
    state = std::move(changed);
    return std::nullopt;
}

} // namespace romc
