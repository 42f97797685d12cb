// Places every ROM without save memory: first fit with natural alignment, in table order.
#pragma once

#include "romtable/block_map.h"
#include "romtable/failure.h"
#include "romtable/rom_table.h"

#include <optional>

namespace romc {

// The lowest start that is a multiple of `blocks` and whose `blocks` blocks are all free, if any.
std::optional<int> firstFitStart(const BlockMap& map, int blocks);

// The largest ROM size, in blocks, that would still find a free aligned place.
int largestFreeAlignedSpace(const BlockMap& map);

// Gives each row with save flag "N" its place, marking its blocks and writing its location. A row that does
// not fit is refused by name; callers place on copies so that a refusal leaves their state as it was.
Refusal placeRoms(RomTable& table, BlockMap& map);

} // namespace romc
