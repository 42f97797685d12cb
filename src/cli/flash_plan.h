// Where every row of the table lies in the flash, block by block: what the placement report and the flash
// map both show. After a compilation it reads the places the compilation gave; before one (a dry run, or a
// compilation refused because a ROM does not fit) it places a copy, skipping the ROMs that do not fit, so the
// user sees what the table would give without them.
#pragma once

#include "romtable/block_map.h"
#include "romtable/flash_units.h"
#include "romtable/table_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romc {

// Who holds a block: a row index (0, 1, ...) or one of these.
inline constexpr int kOwnerMenu = -1;
inline constexpr int kOwnerFree = -2;
inline constexpr int kOwnerNoRow =
    -3; // marked taken, but no listed ROM covers it (a removed save ROM's blocks)

struct RowPlace {
    std::string name;
    std::string file;
    int blocks = 0;
    std::optional<int> saveBank; // only for a save ROM
    std::optional<int> first;    // first block; none when the ROM has no place
    std::string notPlaced;       // why it has no place

    int last() const { return *first + blocks - 1; }
};

struct FlashPlan {
    std::vector<RowPlace> rows;            // in table order
    BlockMap blocks{};                     // after placement
    std::array<int, kFlashBlocks> owner{}; // per block; where rows overlap, the later row, as in the image
};

FlashPlan planFlash(const TableState& state);

// The character that stands for a row in the text map and the SVG: 'A' to 'Z', then 'a' to 'z', then '0' to
// '9' (62 rows); every later row is '+'.
char rowLetter(std::size_t row);
inline constexpr char kMenuLetter = '#';
inline constexpr char kFreeLetter = '.';
inline constexpr char kNoRowLetter = '~';
inline constexpr char kLaterRowsLetter = '+';
inline constexpr std::size_t kLetteredRows = 62;

// The counts the report gives. Free blocks split in two: those below the last occupied block are lost to
// alignment (the gaps first fit leaves because a ROM of s blocks starts only at a multiple of s and a save
// ROM only where its bank puts it; the image fills them with 0xFF, so they take room in the outputs and hold
// no game), and those above it are free at the end (not part of the image at all).
struct FlashUsage {
    int used = 0; // blocks the block map marks taken, the menu's included
    int free = 0;
    int lostToAlignment = 0;
    int freeAtEnd = 0;
    int lastOccupied = 0;
    int largestFreeAlignedSpace = 0; // the largest ROM, in blocks, that would still find a place
    std::uintmax_t imageBytes = 0;   // the length "Output.GB" has (or would have)
    int pieces = 1;                  // "Output1.GB" up to this one are written
};

// `menuTemplateBytes` is the length of "Menu.GB", which the image starts with (0 when unknown).
FlashUsage flashUsage(const FlashPlan& plan, std::uintmax_t menuTemplateBytes);

// The piece (1 to 4) that holds a block: piece k holds blocks 256 (k - 1) to 256 k - 1.
int pieceOfBlock(int block);

} // namespace romc
