// Giving save banks back and taking them: "Compact Save Banks" hands the save ROMs banks 0, 1, 2... in table
// order, as a fresh table would, taking back what removed save ROMs held; "Save Memory" turns a row's save
// memory on (the next bank, as Add ROM) or off (its place goes back at the next compilation, its bank stays
// handed out until the banks are compacted or the list cleared).
#pragma once

#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <cstddef>

namespace romc {

// Adds the rows again, in order, to an emptied table; the named save files stay with their rows. Refused,
// changing nothing, when a save ROM would not get save memory again.
Refusal compactSaveBanks(TableState& state);

// Whether compacting would change any row's bank or place.
bool saveBanksCompact(const TableState& state);

// Turns the save memory of `row` on or off, the row staying where it is in the menu. On is refused when
// no bank is left, the ROM has 256 blocks or its blocks would run past the flash.
Refusal setSaveMemory(TableState& state, std::size_t row, bool on);

} // namespace romc
