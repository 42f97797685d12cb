#include "romtable/row_selection.h"

#include "romtable/give_back.h"

namespace romc {

namespace {

bool isRow(const TableState& state, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < state.table.rowCount();
}

} // namespace

void selectNameRow(TableState& state, int row) {
    state.selectedRow.fill(isRow(state, row) ? row : kNoRowSelected);
}

void selectColumnRow(TableState& state, Column column, int row) {
    if (column == Column::Name) {
        selectNameRow(state, row);
        return;
    }
    state.selectedRow[static_cast<std::size_t>(column)] = isRow(state, row) ? row : kNoRowSelected;
}

bool removeRom(TableState& state) {
    const int row = state.selectedRow[static_cast<std::size_t>(Column::Name)];
    if (!isRow(state, row)) {
        return false;
    }
    giveBackPlace(state.table, state.blocks, static_cast<std::size_t>(row));
    for (auto& column : state.table.columns) {
        column.erase(column.begin() + row);
    }
    if (static_cast<std::size_t>(row) < state.saveFiles.size()) {
        state.saveFiles.erase(state.saveFiles.begin() + row);
    }
    state.selectedRow.fill(kNoRowSelected);
    refreshCounters(state);
    return true;
}

} // namespace romc
