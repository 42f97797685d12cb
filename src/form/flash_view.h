// The flash view as data: the 1024 blocks drawn as 16 grid rows of 64, one row per save region, each block
// a cell filled in its ROM's colour (the SVG map's colours) or as the menu, free space, space lost to
// alignment or a removed save ROM's blocks; draft places marked as such; each ROM's run of cells in a grid
// row labelled with its row letter. A face paints exactly this, at its own scale, and asks the model what
// a point names.
#pragma once

#include "plan/flash_colours.h"
#include "plan/flash_plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romform {

// Geometry in pixels at 96 dpi; a face multiplies by its scale.
inline constexpr int kFlashCellWidth = 12;
inline constexpr int kFlashCellHeight = 22;
inline constexpr int kFlashGridX = 64; // room for the bank labels on the left
inline constexpr int kFlashGridY = 8;
inline constexpr int kFlashGridWidth = romc::kSaveRegionBlocks * kFlashCellWidth;
inline constexpr int kFlashGridHeight = romc::kSaveBanks * kFlashCellHeight;
inline constexpr int kFlashViewWidth = kFlashGridX + kFlashGridWidth + 8;
inline constexpr int kFlashViewHeight = kFlashGridY + kFlashGridHeight + 8;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    bool operator==(const PixelRect&) const = default;
};

struct FlashCell {
    PixelRect rect;
    romc::BlockKind kind = romc::BlockKind::Free;
    Rgb fill;
};

// A ROM's (or the menu's) cells within one grid row, framed and labelled.
struct FlashRun {
    PixelRect rect;
    std::string label; // "C" or "C SAGA" when the run is wide enough; "#" for the menu
    Rgb frame;
    Rgb text;
    bool draft = false; // drawn with a dashed frame: the next compilation's place, not the table's
};

// "bank 0" .. "bank 15" beside each grid row, and a thicker line where a piece ends.
struct FlashRowLabel {
    PixelRect rect;
    std::string text;
    bool pieceStarts = false; // the row starts "Output1.GB".."Output4.GB"
};

struct FlashPicture {
    std::vector<FlashCell> cells; // one per block, block 0 first
    std::vector<FlashRun> runs;
    std::vector<FlashRowLabel> rowLabels;
};

FlashPicture flashPicture(const romc::FlashPlan& plan);

// The block under a point of the view, none between or beside the cells.
std::optional<int> blockAtPoint(int x, int y);

PixelRect flashCellRect(int block);

// The colour of an HSL colour of the flash map, and of its "#rrggbb" fills.
Rgb rgbOf(const romc::HslColour& colour);
Rgb rgbOf(const char* hex);

} // namespace romform
