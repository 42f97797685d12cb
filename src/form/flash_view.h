// The flash view as data: the 1024 blocks drawn as 16 grid rows of 64, one row per save region, each block
// a cell filled in its ROM's colour (the SVG map's colours) or as the menu, free space, space lost to
// alignment or a removed save ROM's blocks; draft places marked as such; each ROM's run of cells in a grid
// row labelled with its row letter and as much of its name as the run holds. Block numbers run along the
// top (the block within the region) and down the left (each region's first block), and a legend under the
// grid names every fill. A face paints exactly this, scaled by `fitFlashView` to its window, and asks the
// model what a point names.
#pragma once

#include "plan/flash_colours.h"
#include "plan/flash_plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace romform {

// Geometry in pixels at 96 dpi; a face multiplies by its scale.
inline constexpr int kFlashCellWidth = 12;
inline constexpr int kFlashCellHeight = 22;
inline constexpr int kFlashGridX = 92; // room for the bank names and first blocks on the left
inline constexpr int kFlashGridY = 22; // room for the block axis above
inline constexpr int kFlashGridWidth = romc::kSaveRegionBlocks * kFlashCellWidth;
inline constexpr int kFlashGridHeight = romc::kSaveBanks * kFlashCellHeight;
// Every text of the picture is sized for this font height; the point line under it for the larger one.
inline constexpr int kFlashLabelFontPixels = 10;
inline constexpr int kFlashPointFontPixels = 12;

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
    bool overlaps(const PixelRect& other) const {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height &&
               other.y < y + height;
    }
    bool operator==(const PixelRect&) const = default;
};

struct FlashCell {
    PixelRect rect;
    romc::BlockKind kind = romc::BlockKind::Free;
    Rgb fill;
};

// A text of the picture, drawn in `rect` at kFlashLabelFontPixels, vertically centred and clipped to it.
enum class TextAlign { Left, Centre, Right };
struct FlashText {
    PixelRect rect;
    std::string text;
    TextAlign align = TextAlign::Left;
};

// A ROM's (or the menu's) cells within one grid row, framed and labelled inside its frame.
struct FlashRun {
    PixelRect rect;
    FlashText label; // "#" for the menu; "C", "C SAG…" or "C SAGA 1": as much as the run holds
    Rgb frame;
    Rgb text;
    bool draft = false; // drawn with a dashed frame: the next compilation's place, not the table's
};

// "bank 0" .. "bank 15" and the row's first block beside each grid row, and a thicker line where a piece
// ends.
struct FlashRowLabel {
    FlashText bank;
    FlashText firstBlock;
    bool pieceStarts = false; // the row starts "Output1.GB".."Output4.GB"
};

// One entry of the legend: a swatch drawn as a cell (filled, framed solid or dashed) and its words.
struct FlashLegendEntry {
    PixelRect swatch;
    Rgb fill;
    Rgb frame;
    bool dashed = false;
    FlashText words;
};

struct FlashPicture {
    int width = 0; // the whole picture, the point line included
    int height = 0;
    std::vector<FlashCell> cells; // one per block, block 0 first
    std::vector<FlashRun> runs;
    std::vector<FlashRowLabel> rowLabels;
    std::vector<FlashText> axis; // "+0", "+8" .. "+56" over the grid's columns, with its heading
    std::vector<FlashLegendEntry> legend;
    PixelRect pointLine; // where the text of the pointed block goes, at kFlashPointFontPixels
};

FlashPicture flashPicture(const romc::FlashPlan& plan);

// The block under a point of the picture, none between or beside the cells.
std::optional<int> blockAtPoint(int x, int y);

PixelRect flashCellRect(int block);

// The width a text takes at kFlashLabelFontPixels, at most: each character's advance rounded up, the
// larger of the faces' sans fonts (DejaVu Sans, Arial); a character outside ASCII as a wide one.
int flashTextWidth(std::string_view text);

// How a window shows the picture: scaled to fit its client area with the aspect kept, centred. A window
// point (wx, wy) shows the picture's point ((wx - x) / scale, (wy - y) / scale).
struct FlashViewFit {
    double scale = 1;
    double x = 0;
    double y = 0;
    int pictureX(int windowX) const;
    int pictureY(int windowY) const;
};
FlashViewFit fitFlashView(const FlashPicture& picture, int clientWidth, int clientHeight);

// Where the flash view opens, in a face's screen pixels: `main` is the main window's frame, `screen` the
// work area of the screen that shows it, `frameExtra` what the view's frame adds around its client area,
// `scale` the face's pixels per picture pixel (its dpi / 96). Beside the main window (right, else left,
// else below) when the picture fits there at `scale`; else over it, kept on the screen and scaled down
// as far as the screen needs. Returns the frame; the client area is the frame less `frameExtra`.
struct FlashViewFrame {
    PixelRect frame;
    int clientWidth = 0;
    int clientHeight = 0;
};
FlashViewFrame placeFlashView(const FlashPicture& picture, const PixelRect& main, const PixelRect& screen,
                              int frameExtraWidth, int frameExtraHeight, double scale);

// The colour of an HSL colour of the flash map, and of its "#rrggbb" fills.
Rgb rgbOf(const romc::HslColour& colour);
Rgb rgbOf(const char* hex);

} // namespace romform
