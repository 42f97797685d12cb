#include "romtable/table_state.h"

#include "romtable/number_text.h"

namespace romc {

void TableState::startupReset() {
    nextSaveBank = 0;
    resetBlockMap(blocks);
}

std::string romCountTextFor(std::size_t rows) {
    return numberText(static_cast<std::int64_t>(rows));
}

std::string pagesTextFor(std::size_t rows) {
    if (rows == 0) {
        return "0";
    }
    return numberText(static_cast<std::int64_t>((rows - 1) / kRowsPerPage + 1));
}

void refreshCounters(TableState& state) {
    state.romCountText = romCountTextFor(state.table.rowCount());
    state.pagesText = pagesTextFor(state.table.rowCount());
}

void clearList(TableState& state) {
    for (auto& column : state.table.columns) {
        column.clear();
    }
    state.saveFiles.clear();
    state.selectedRow.fill(kNoRowSelected);
    state.nextSaveBank = 0;
    resetBlockMap(state.blocks);
    refreshCounters(state);
}

const std::string& namedSaveFile(const TableState& state, std::size_t row) {
    static const std::string none;
    return row < state.saveFiles.size() ? state.saveFiles[row] : none;
}

bool saveBoxAllowed(const TableState& state, bool ticked) {
    return ticked && state.nextSaveBank < kNoSaveBankLeft;
}

} // namespace romc
