// Everything the window owns for one run: the table, the block map, the save-bank counter, the counter
// boxes and the selection of each list. The window and the command line both act on one of these.
#pragma once

#include "romtable/block_map.h"
#include "romtable/rom_table.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace romc {

inline constexpr int kNoRowSelected = -1;

struct TableState {
    RomTable table;
    BlockMap blocks{};
    std::int16_t nextSaveBank = 0;  // the save bank the next save ROM receives; 16 = none left
    std::string romCountText = "0"; // "Number of ROMS" box
    std::string pagesText = "0";    // "Pages" box
    // Per row, beside the seven columns: the save file the user named for a save ROM ("" for none, when the
    // ROM's own ".sav" is taken). It may be shorter than the table; missing rows have none.
    std::vector<std::string> saveFiles;
    std::array<int, kColumnCount> selectedRow{kNoRowSelected, kNoRowSelected, kNoRowSelected, kNoRowSelected,
                                              kNoRowSelected, kNoRowSelected, kNoRowSelected};

    TableState() { startupReset(); }

    // State right after the window loads: empty table, only the menu block taken, bank 0 next.
    void startupReset();
};

// The counter box texts for a table of `rows` rows: "0"/"0" when empty, else the rows and ceil(rows / 10).
std::string romCountTextFor(std::size_t rows);
std::string pagesTextFor(std::size_t rows);

// Sets both counter boxes from the table as it stands.
void refreshCounters(TableState& state);

// "Clear List": empties the table, frees the flash and the save banks. The counters follow the empty table,
// so the menu never announces ROMs that are not listed.
void clearList(TableState& state);

// The save file the user named for `row`, or "" when none was named.
const std::string& namedSaveFile(const TableState& state, std::size_t row);

// The Save box rule: once no save bank is left the box cannot stay ticked.
bool saveBoxAllowed(const TableState& state, bool ticked);

} // namespace romc
