#include "form/flash_view.h"

#include "plan/flash_colours.h"
#include "romtable/flash_units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace romform {

namespace {

using romc::BlockKind;

constexpr int kRegionsPerPiece = static_cast<int>(romc::kPieceBlocks) / romc::kSaveRegionBlocks;
constexpr const char* kMenuText = "#ffffff";
constexpr const char* kRomText = "#111111";
constexpr const char* kMenuFrame = "#263238";
constexpr const char* kSwatchFrame = "#9e9e9e";  // the legend's plain fills, which the grid frames in white
constexpr const char* kCutMark = "\xE2\x80\xA6"; // "…" where a name is cut

// Each printable ASCII character's advance at kFlashLabelFontPixels, in whole pixels rounded up: the larger
// of DejaVu Sans and Arial, so that a label measured here is never wider on either face.
constexpr std::array<std::uint8_t, 95> kAdvance = {
    4,  4, 5, 9, 7, 10, 8, 3, 4, 4, 5, 9, 4,  4, 4, 4,                                   // ' ' .. '/'
    7,  7, 7, 7, 7, 7,  7, 7, 7, 7, 4, 4, 9,  9, 9, 6,                                   // '0' .. '?'
    10, 7, 7, 8, 8, 7,  7, 8, 8, 3, 5, 7, 6,  9, 8, 8, 7, 8, 8, 7, 7, 8, 7, 10, 7, 7, 7, // '@' .. 'Z'
    4,  4, 4, 9, 5, 5,                                                                   // '[' .. '`'
    7,  7, 6, 7, 7, 4,  7, 7, 3, 3, 6, 3, 10, 7, 7, 7, 7, 5, 6, 4, 7, 6, 9, 6,  6, 6,    // 'a' .. 'z'
    7,  4, 7, 9};                                                                        // '{' .. '~'
constexpr int kWideAdvance = 10; // control characters and every character outside ASCII
static_assert(kAdvance[static_cast<std::size_t>('A' - ' ')] == 7 &&
                  kAdvance[static_cast<std::size_t>('a' - ' ')] == 7 &&
                  kAdvance[static_cast<std::size_t>('~' - ' ')] == 9,
              "the advances line up with their characters");

// A run's label keeps this far inside the run's frame: three pixels on the left, one on the right.
constexpr int kLabelInsetLeft = 3;
constexpr int kLabelInsetRight = 1;

// The left margin: the bank's name, then the region's first block against the grid.
constexpr PixelRect kBankColumn{4, 0, 48, kFlashCellHeight};
constexpr PixelRect kFirstBlockColumn{54, 0, kFlashGridX - 4 - 54, kFlashCellHeight};
constexpr int kAxisY = 4;
constexpr int kAxisHeight = kFlashGridY - 2 - kAxisY;
constexpr int kAxisStep = 8; // a number every this many blocks
constexpr int kLegendGap = 8;
constexpr int kLegendLine = 16;
constexpr int kSwatchSide = 12;
constexpr int kSwatchWords = 4;    // from the swatch to its words
constexpr int kLegendSpacing = 14; // between one entry's words and the next swatch
constexpr int kPointLineHeight = 18;
constexpr int kRightMargin = 8;
constexpr int kBottomMargin = 4;

// The length of the UTF-8 character starting at `at`.
std::size_t characterLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return end - at;
}

Rgb fillOf(const romc::FlashPlan& plan, int block) {
    switch (romc::blockKind(plan, block)) {
    case BlockKind::Menu:
        return rgbOf(romc::kMenuFill);
    case BlockKind::Free:
        return rgbOf(romc::kFreeFill);
    case BlockKind::LostToAlignment:
        return rgbOf(romc::kLostToAlignmentFill);
    case BlockKind::TakenByNoRow:
        return rgbOf(romc::kNoRowFill);
    case BlockKind::Rom:
    case BlockKind::DraftRom:
        break;
    }
    return rgbOf(romc::romFill(static_cast<std::size_t>(plan.owner[static_cast<std::size_t>(block)])));
}

// The letter alone, centred in the run, when nothing more fits; else the letter and the longest start of
// the name that fits, cut between characters and marked as cut.
FlashText runLabel(const romc::FlashPlan& plan, int owner, const PixelRect& run) {
    const std::string letter(1, owner == romc::kOwnerMenu ? romc::kMenuLetter
                                                          : romc::rowLetter(static_cast<std::size_t>(owner)));
    const PixelRect inside{run.x + kLabelInsetLeft, run.y, run.width - kLabelInsetLeft - kLabelInsetRight,
                           run.height};
    if (owner != romc::kOwnerMenu) {
        const std::string& name = plan.rows[static_cast<std::size_t>(owner)].name;
        const std::string whole = letter + " " + name;
        if (!name.empty() && flashTextWidth(whole) <= inside.width) {
            return {inside, whole, TextAlign::Left};
        }
        std::string cut;
        for (std::size_t at = 0; at < name.size();) {
            const std::size_t length = characterLength(name, at);
            std::string longer = name.substr(0, at + length);
            while (!longer.empty() && longer.back() == ' ') {
                longer.pop_back();
            }
            if (flashTextWidth(letter + " " + longer + kCutMark) > inside.width) {
                break;
            }
            cut = longer;
            at += length;
        }
        if (!cut.empty()) {
            return {inside, letter + " " + cut + kCutMark, TextAlign::Left};
        }
    }
    const PixelRect centred{run.x + 1, run.y, run.width - 2, run.height};
    return {centred, flashTextWidth(letter) <= centred.width ? letter : std::string(), TextAlign::Centre};
}

void addLegend(FlashPicture& picture, int top) {
    struct Entry {
        Rgb fill;
        Rgb frame;
        bool dashed;
        const char* words;
    };
    const Entry entries[] = {
        {rgbOf(romc::kMenuFill), rgbOf(kMenuFrame), false, "the menu (#)"},
        {rgbOf(romc::romFill(0)), rgbOf(romc::romFrame(0)), false, "a ROM: row letter, name"},
        {rgbOf(romc::romFill(1)), rgbOf(romc::romFrame(1)), true, "where the next compilation puts it"},
        {rgbOf(romc::kLostToAlignmentFill), rgbOf(kSwatchFrame), false, "lost to alignment"},
        {rgbOf(romc::kNoRowFill), rgbOf(kSwatchFrame), false, "removed save ROM"},
        {rgbOf(romc::kFreeFill), rgbOf(kSwatchFrame), false, "free"},
    };
    // From the window's left edge, so that the whole legend takes one line at the design font.
    const int left = kBankColumn.x;
    int x = left;
    int y = top;
    for (const Entry& entry : entries) {
        const int wordsWidth = flashTextWidth(entry.words);
        const int width = kSwatchSide + kSwatchWords + wordsWidth;
        if (x > left && x + width > kFlashGridX + kFlashGridWidth) {
            x = left;
            y += kLegendLine;
        }
        picture.legend.push_back(
            {{x, y + (kLegendLine - kSwatchSide) / 2, kSwatchSide, kSwatchSide},
             entry.fill,
             entry.frame,
             entry.dashed,
             {{x + kSwatchSide + kSwatchWords, y, wordsWidth, kLegendLine}, entry.words}});
        x += width + kLegendSpacing;
    }
    picture.height = y + kLegendLine;
}

} // namespace

int flashTextWidth(std::string_view text) {
    int width = 0;
    for (std::size_t at = 0; at < text.size(); at += characterLength(text, at)) {
        const auto byte = static_cast<unsigned char>(text[at]);
        width += byte >= ' ' && byte <= '~' ? kAdvance[byte - ' '] : kWideAdvance;
    }
    return width;
}

PixelRect flashCellRect(int block) {
    return {kFlashGridX + (block % romc::kSaveRegionBlocks) * kFlashCellWidth,
            kFlashGridY + (block / romc::kSaveRegionBlocks) * kFlashCellHeight, kFlashCellWidth,
            kFlashCellHeight};
}

std::optional<int> blockAtPoint(int x, int y) {
    if (x < kFlashGridX || y < kFlashGridY || x >= kFlashGridX + kFlashGridWidth ||
        y >= kFlashGridY + kFlashGridHeight) {
        return std::nullopt;
    }
    return (y - kFlashGridY) / kFlashCellHeight * romc::kSaveRegionBlocks +
           (x - kFlashGridX) / kFlashCellWidth;
}

FlashPicture flashPicture(const romc::FlashPlan& plan) {
    FlashPicture picture;
    picture.width = kFlashGridX + kFlashGridWidth + kRightMargin;
    picture.cells.reserve(romc::kFlashBlocks);
    for (int block = 0; block < romc::kFlashBlocks; ++block) {
        picture.cells.push_back({flashCellRect(block), romc::blockKind(plan, block), fillOf(plan, block)});
    }
    for (int block = 0; block < romc::kFlashBlocks;) {
        const int owner = plan.owner[static_cast<std::size_t>(block)];
        int end = block + 1;
        while (end < romc::kFlashBlocks && end % romc::kSaveRegionBlocks != 0 &&
               plan.owner[static_cast<std::size_t>(end)] == owner) {
            ++end;
        }
        if (owner >= 0 || owner == romc::kOwnerMenu) {
            const PixelRect first = flashCellRect(block);
            FlashRun run;
            run.rect = {first.x, first.y, (end - block) * kFlashCellWidth, kFlashCellHeight};
            run.label = runLabel(plan, owner, run.rect);
            if (owner == romc::kOwnerMenu) {
                run.frame = rgbOf(kMenuFrame);
                run.text = rgbOf(kMenuText);
            } else {
                run.frame = rgbOf(romc::romFrame(static_cast<std::size_t>(owner)));
                run.text = rgbOf(kRomText);
                run.draft = plan.rows[static_cast<std::size_t>(owner)].draft;
            }
            picture.runs.push_back(run);
        }
        block = end;
    }
    picture.axis.push_back(
        {{kFirstBlockColumn.x, kAxisY, kFirstBlockColumn.width, kAxisHeight}, "block", TextAlign::Right});
    for (int column = 0; column < romc::kSaveRegionBlocks; column += kAxisStep) {
        picture.axis.push_back(
            {{kFlashGridX + column * kFlashCellWidth, kAxisY, kAxisStep * kFlashCellWidth, kAxisHeight},
             "+" + std::to_string(column)});
    }
    for (int bank = 0; bank < romc::kSaveBanks; ++bank) {
        const int y = kFlashGridY + bank * kFlashCellHeight;
        picture.rowLabels.push_back(
            {{{kBankColumn.x, y, kBankColumn.width, kBankColumn.height},
              "bank " + std::to_string(bank),
              TextAlign::Right},
             {{kFirstBlockColumn.x, y, kFirstBlockColumn.width, kFirstBlockColumn.height},
              std::to_string(bank * romc::kSaveRegionBlocks),
              TextAlign::Right},
             bank % kRegionsPerPiece == 0});
    }
    addLegend(picture, kFlashGridY + kFlashGridHeight + kLegendGap);
    picture.pointLine = {kFlashGridX, picture.height + 2, kFlashGridWidth, kPointLineHeight};
    picture.height = picture.pointLine.y + picture.pointLine.height + kBottomMargin;
    return picture;
}

int FlashViewFit::pictureX(int windowX) const {
    return static_cast<int>(std::floor((windowX - x) / scale));
}

int FlashViewFit::pictureY(int windowY) const {
    return static_cast<int>(std::floor((windowY - y) / scale));
}

FlashViewFit fitFlashView(const FlashPicture& picture, int clientWidth, int clientHeight) {
    // A window shrunk to nothing still maps its points somewhere: the picture at its smallest.
    const double width = std::max(clientWidth, 1);
    const double height = std::max(clientHeight, 1);
    FlashViewFit fit;
    fit.scale = std::min(width / picture.width, height / picture.height);
    fit.x = (width - picture.width * fit.scale) / 2;
    fit.y = (height - picture.height * fit.scale) / 2;
    return fit;
}

FlashViewFrame placeFlashView(const FlashPicture& picture, const PixelRect& main, const PixelRect& screen,
                              int frameExtraWidth, int frameExtraHeight, double scale) {
    const int gap = static_cast<int>(std::lround(kRightMargin * scale));
    const int right = screen.x + screen.width;
    const int bottom = screen.y + screen.height;
    const auto sized = [&](double at) {
        FlashViewFrame view;
        view.clientWidth = static_cast<int>(std::lround(picture.width * at));
        view.clientHeight = static_cast<int>(std::lround(picture.height * at));
        view.frame.width = view.clientWidth + frameExtraWidth;
        view.frame.height = view.clientHeight + frameExtraHeight;
        return view;
    };
    // Kept on the screen: moved up and left as far as it reaches past the bottom and the right.
    const auto onScreen = [&](FlashViewFrame view, int x, int y) {
        view.frame.x = std::max(screen.x, std::min(x, right - view.frame.width));
        view.frame.y = std::max(screen.y, std::min(y, bottom - view.frame.height));
        return view;
    };
    FlashViewFrame view = sized(scale);
    const int width = view.frame.width;
    const int height = view.frame.height;
    if (height <= screen.height) {
        if (main.x + main.width + gap + width <= right) {
            return onScreen(view, main.x + main.width + gap, main.y);
        }
        if (main.x - gap - width >= screen.x) {
            return onScreen(view, main.x - gap - width, main.y);
        }
    }
    if (width <= screen.width && main.y + main.height + gap + height <= bottom) {
        return onScreen(view, main.x, main.y + main.height + gap);
    }
    // No room beside the main window: over it at the screen's right, as large as the screen allows.
    const double fits = std::min(static_cast<double>(screen.width - frameExtraWidth) / picture.width,
                                 static_cast<double>(screen.height - frameExtraHeight) / picture.height);
    return onScreen(sized(std::min(scale, fits)), right, main.y);
}

Rgb rgbOf(const romc::HslColour& colour) {
    // The usual HSL to RGB conversion, rounded to the nearest step.
    const double s = colour.saturation / 100.0;
    const double l = colour.lightness / 100.0;
    const double chroma = (1 - std::abs(2 * l - 1)) * s;
    const double h = std::fmod(colour.hue, 360.0) / 60.0;
    const double x = chroma * (1 - std::abs(std::fmod(h, 2.0) - 1));
    double r = 0;
    double g = 0;
    double b = 0;
    if (h < 1) {
        r = chroma, g = x;
    } else if (h < 2) {
        r = x, g = chroma;
    } else if (h < 3) {
        g = chroma, b = x;
    } else if (h < 4) {
        g = x, b = chroma;
    } else if (h < 5) {
        r = x, b = chroma;
    } else {
        r = chroma, b = x;
    }
    const double m = l - chroma / 2;
    const auto channel = [m](double value) {
        return static_cast<std::uint8_t>(std::lround((value + m) * 255));
    };
    return {channel(r), channel(g), channel(b)};
}

Rgb rgbOf(const char* hex) {
    const unsigned long value = std::strtoul(hex + 1, nullptr, 16);
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

} // namespace romform
