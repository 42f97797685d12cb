#include "romtable/row_order.h"

#include "romtable/give_back.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace romc {

namespace {

int selectedRow(const TableState& state) {
    return state.selectedRow[static_cast<std::size_t>(Column::Name)];
}

} // namespace

void reorderRows(TableState& state, const std::vector<std::size_t>& order) {
    for (auto& column : state.table.columns) {
        std::vector<std::string> reordered;
        reordered.reserve(column.size());
        for (std::size_t old : order) {
            reordered.push_back(std::move(column[old]));
        }
        column = std::move(reordered);
    }
    state.saveFiles.resize(order.size());
    std::vector<std::string> saveFiles;
    for (std::size_t old : order) {
        saveFiles.push_back(std::move(state.saveFiles[old]));
    }
    state.saveFiles = std::move(saveFiles);
    const int selected = selectedRow(state);
    int moved = kNoRowSelected;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == selected) {
            moved = static_cast<int>(i);
        }
    }
    state.selectedRow.fill(moved);
    giveBackPlaces(state.table, state.blocks);
}

bool rowCanMove(const TableState& state, RowMove move) {
    const int row = selectedRow(state);
    const int rows = static_cast<int>(state.table.rowCount());
    if (row < 0 || row >= rows) {
        return false;
    }
    return move == RowMove::Up || move == RowMove::Top ? row > 0 : row + 1 < rows;
}

const char* rowMoveName(RowMove move) {
    switch (move) {
    case RowMove::Up:
        return "Move Up";
    case RowMove::Down:
        return "Move Down";
    case RowMove::Top:
        return "Move to Top";
    case RowMove::Bottom:
        return "Move to Bottom";
    }
    return "";
}

bool moveSelectedRow(TableState& state, RowMove move) {
    if (!rowCanMove(state, move)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(selectedRow(state));
    std::vector<std::size_t> order(state.table.rowCount());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto at = order.begin() + static_cast<std::ptrdiff_t>(row);
    switch (move) {
    case RowMove::Up:
        std::iter_swap(at, at - 1);
        break;
    case RowMove::Down:
        std::iter_swap(at, at + 1);
        break;
    case RowMove::Top:
        std::rotate(order.begin(), at, at + 1);
        break;
    case RowMove::Bottom:
        std::rotate(at, at + 1, order.end());
        break;
    }
    reorderRows(state, order);
    return true;
}

bool moveRowTo(TableState& state, int from, int to) {
    const int rows = static_cast<int>(state.table.rowCount());
    if (from < 0 || from >= rows || to < 0 || to >= rows || from == to) {
        return false;
    }
    std::vector<std::size_t> order(static_cast<std::size_t>(rows));
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto at = [&](int row) { return order.begin() + row; };
    if (from < to) {
        std::rotate(at(from), at(from + 1), at(to + 1));
    } else {
        std::rotate(at(to), at(from), at(from + 1));
    }
    state.selectedRow.fill(from);
    reorderRows(state, order);
    return true;
}

bool sortByName(TableState& state) {
    const auto& names = state.table.column(Column::Name);
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    if (std::is_sorted(names.begin(), names.end())) {
        return false;
    }
    reorderRows(state, order);
    return true;
}

} // namespace romc
