// The order of the table's rows, which is the order of the games in the menu. A save ROM keeps its save
// bank and its blocks wherever its row goes: its saves on the cartridge belong to that bank. The ROMs
// without save memory lose their places, which the next compilation gives them anew in the new order.
#pragma once

#include "romtable/table_state.h"

#include <cstddef>
#include <vector>

namespace romc {

enum class RowMove { Up, Down, Top, Bottom };

// "Move Up", "Move Down", "Move to Top", "Move to Bottom": the menu item and the undo step.
const char* rowMoveName(RowMove move);

// Whether the row selected in the name column has a neighbour on that side (for Top and Bottom: is not
// there already).
bool rowCanMove(const TableState& state, RowMove move);

// Swaps the row selected in the name column with its neighbour, or takes it to the first or last row, the
// rows between keeping their order; the selection goes with the row. Returns false, changing nothing, when
// rowCanMove says no.
bool moveSelectedRow(TableState& state, RowMove move);

// Takes row `from` to the place `to` (the row dragged in the name column), the rows between keeping their
// order; the moved row becomes the selected one. Returns false, changing nothing, when either is no row
// or they are the same.
bool moveRowTo(TableState& state, int from, int to);

// Orders the rows by menu name (byte order, which is alphabetical for the names Add ROM makes), rows of
// equal names in the order they had. The selection follows its row. Returns false, changing nothing,
// when the rows are in that order already.
bool sortByName(TableState& state);

// Puts the rows in the order `order` names (order[i]: the old index of the new row i), with the selection
// and the named save files going along with their rows.
void reorderRows(TableState& state, const std::vector<std::size_t>& order);

} // namespace romc
