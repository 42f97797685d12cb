// Giving back the places of ROMs without save memory. A compilation places each of them in blocks that were
// free, so those blocks are its alone: they go back to the free flash when the row is removed, when a save
// ROM is given a place over them, and when a new compilation places the table anew. A save ROM's place is
// never given back: its saves on the cartridge belong to its bank.
#pragma once

#include "romtable/block_map.h"
#include "romtable/rom_table.h"

#include <cstddef>
#include <optional>

namespace romc {

struct BlockRun {
    int first;
    int last;
};

// The blocks a compilation gave row `row`, when it is a ROM without save memory that has a place.
std::optional<BlockRun> placedBlocks(const RomTable& table, std::size_t row);

// Frees the row's placed blocks and sets its location back to "0"; a row without such a place is left as it
// is.
void giveBackPlace(RomTable& table, BlockMap& blocks, std::size_t row);

// Gives back the place of every ROM without save memory: the table as it stood before its first compilation.
void giveBackPlaces(RomTable& table, BlockMap& blocks);

} // namespace romc
