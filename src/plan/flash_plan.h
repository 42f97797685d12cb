// The flash plan: where every row of the table lies in the flash, block by block, and what the next
// "Generate Compilation" would make of the table as it stands. The placement report, the flash map and the
// window's status line and flash view all draw from it. ROMs without save memory are placed by the placement
// pass itself on a copy of the table, after their earlier places are given back, exactly as the compilation
// places them; a ROM that does not fit is left out, so the others show where they would go without it.
#pragma once

#include "compile/placement.h"
#include "plan/work_folder.h"
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
    bool draft = false;          // a place the next compilation gives, not the one the table holds now
    std::string notPlaced;       // why it has no place

    int last() const { return *first + blocks - 1; }
    std::uintmax_t firstByte() const { return static_cast<std::uintmax_t>(*first) * kBlockSize; }
    std::uintmax_t lastByte() const { return static_cast<std::uintmax_t>(last() + 1) * kBlockSize - 1; }
    int firstPiece() const;
    int lastPiece() const;
};

// The counts every view gives. Free blocks split in two: those below the last occupied block are lost to
// alignment (the gaps first fit leaves because a ROM of s blocks starts only at a multiple of s and a save
// ROM only where its bank puts it; the image fills them with 0xFF, so they take room in the outputs and hold
// no game), and those above it are free at the end (not part of the image at all).
struct FlashUsage {
    int used = 0; // blocks taken, the menu's included
    int free = 0;
    int lostToAlignment = 0;
    int freeAtEnd = 0;
    int lastOccupied = 0;
    int largestFreeAlignedSpace = 0; // the largest ROM, in blocks, that would still find a place
    std::uintmax_t imageBytes = 0;   // the length "Output.GB" has (or would have)
    int pieces = 1;                  // "Output1.GB" up to this one are written
};

// The save banks: handed out (the next save ROM gets bank `handedOut`; 16 means none is left), held by a
// listed row, and given up by removed rows (their regions keep blocks that no listed row covers). The rest
// of those handed out were skipped or reached into by a save ROM longer than its region.
struct SaveBankUse {
    int handedOut = 0;
    int held = 0;
    int givenUp = 0;
};

struct FlashPlan {
    std::vector<RowPlace> rows;            // in table order
    BlockMap blocks{};                     // after the draft placement
    std::array<int, kFlashBlocks> owner{}; // per block; where rows overlap, the later row, as in the image
    FlashUsage usage;
    std::vector<std::size_t> misfits; // rows without save memory that would find no place, in table order
    std::vector<SizeWithoutRoom> sizesWithoutRoom; // equal ROMs that can never all fit
    SaveBankUse saveBanks;
    std::filesystem::path workDir;
    std::vector<int> stalePieces; // pieces in the work folder that the image does not reach, ascending
};

// The plan of the table as it stands; `folder` gives the menu template's length (the image starts with it)
// and the pieces already in the work folder.
FlashPlan planFlash(const TableState& state, const WorkFolder& folder = {});

// A row whose place is settled, as an image read back holds it: nothing is placed again.
struct PlacedRow {
    std::string name;
    int first = 0;
    int blocks = 0;
    std::optional<int> saveBank; // only for a save ROM
};

// What an image holds: its rows in table order, its length (0: the length a compilation of these rows would
// give with the menu template of `folder`), and the folder beside it for the pieces there.
struct PlacedImage {
    std::vector<PlacedRow> rows;
    std::uintmax_t imageBytes = 0;
    WorkFolder folder;
};

// The plan of an image as it is: every row at its place, none a draft; the save banks handed out are those
// up to the highest one a row holds, as Add ROM hands them out in order.
FlashPlan planFlash(const PlacedImage& image);

// What a block is, as the flash view tells it apart.
enum class BlockKind {
    Menu,
    Rom,             // a ROM at the place the table holds
    DraftRom,        // a ROM at the place the next compilation gives it
    Free,            // free above the last occupied block: not part of the image
    LostToAlignment, // free below the last occupied block: filled with 0xFF in the image
    TakenByNoRow,    // a removed save ROM's blocks
};
BlockKind blockKind(const FlashPlan& plan, int block);

// The character that stands for a row in the text map and the SVG: 'A' to 'Z', then 'a' to 'z', then '0' to
// '9' (62 rows); every later row is '+'.
char rowLetter(std::size_t row);
inline constexpr char kMenuLetter = '#';
inline constexpr char kFreeLetter = '.';
inline constexpr char kNoRowLetter = '~';
inline constexpr char kLaterRowsLetter = '+';
inline constexpr std::size_t kLetteredRows = 62;

// The piece (1 to 4) that holds a block: piece k holds blocks 256 (k - 1) to 256 k - 1.
int pieceOfBlock(int block);

} // namespace romc
