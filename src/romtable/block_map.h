// Which 32 KiB blocks of the flash are taken: 1 = occupied (menu or a ROM whose place is fixed), 0 = free.
#pragma once

#include "romtable/flash_units.h"

#include <array>
#include <cstdint>

namespace romc {

using BlockMap = std::array<std::int16_t, kFlashBlocks>;

// Frees every block, then takes block 0 for the menu ROM.
void resetBlockMap(BlockMap& blocks);

// Marks blocks first to last (inclusive) as occupied; both must lie in 0 to 1023.
void markBlocks(BlockMap& blocks, int first, int last);

// Frees blocks first to last (inclusive); both must lie in 1 to 1023, since block 0 stays the menu's.
void freeBlocks(BlockMap& blocks, int first, int last);

bool blocksFree(const BlockMap& blocks, int first, int last);

// The highest occupied block; block 0 is always the menu's, so there is one.
int lastOccupiedBlock(const BlockMap& blocks);

} // namespace romc
