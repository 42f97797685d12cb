// Selecting rows and "Remove ROM". Only a selection in the name column selects the whole row, and only the
// row selected there is removed.
#pragma once

#include "romtable/rom_table.h"
#include "romtable/table_state.h"

namespace romc {

// A selection in the name column selects the same row in all seven columns.
void selectNameRow(TableState& state, int row);

// A selection in any other column moves that column alone.
void selectColumnRow(TableState& state, Column column, int row);

// Removes the row selected in the name column from every column. A save ROM's bank and blocks stay handed
// out; the blocks a compilation gave a ROM without save memory go back to the free flash.
// Returns false, changing nothing, when no row is selected there.
bool removeRom(TableState& state);

} // namespace romc
