// Places every ROM without save memory: first fit with natural alignment, in table order.
#pragma once

#include "romtable/block_map.h"
#include "romtable/failure.h"
#include "romtable/rom_table.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace romc {

// The lowest start that is a multiple of `blocks` and whose `blocks` blocks are all free, if any.
std::optional<int> firstFitStart(const BlockMap& map, int blocks);

// The largest ROM size, in blocks, that would still find a free aligned place.
int largestFreeAlignedSpace(const BlockMap& map);

// How many ROMs of `blocks` blocks the free aligned places hold side by side.
int freeAlignedPlaces(const BlockMap& map, int blocks);

// A row without save memory that the pass could not place.
struct Misfit {
    std::size_t row;
    int blocks;                  // 0 when the size text is no number of blocks from 1 to 256
    int largestFreeAlignedSpace; // when the pass came to it
};

// Two or more ROMs of one size that can never all have a place beside what was taken before the pass (the
// menu and the save ROMs), whatever the order: the free aligned places of that size are fewer than the ROMs.
struct SizeWithoutRoom {
    int blocks;
    int roms;
    int places;
};

struct Placement {
    std::vector<Misfit> misfits; // in table order
    std::vector<SizeWithoutRoom> sizesWithoutRoom;
};

// Gives each row with save flag "N" its place, marking its blocks and writing its location. A row that finds
// none keeps its location and the pass goes on, so the rows after it are placed as they would be without it.
Placement placeEveryRomThatFits(RomTable& table, BlockMap& map);

// "9 ROMs of 128 blocks can never all fit beside the menu and the save ROMs: there is room for 7".
std::string sizeWithoutRoomText(const SizeWithoutRoom& size);

// Places as placeEveryRomThatFits does and refuses a table in which a row finds no place, naming every such
// row; callers place on copies so that a refusal leaves their state as it was.
Refusal placeRoms(RomTable& table, BlockMap& map);

} // namespace romc
