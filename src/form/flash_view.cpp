#include "form/flash_view.h"

#include "plan/flash_colours.h"
#include "romtable/flash_units.h"

#include <cmath>
#include <cstdlib>

namespace romform {

namespace {

using romc::BlockKind;

// A run narrower than this many cells shows its letter only.
constexpr int kNamedRunCells = 4;
constexpr std::size_t kLabelNameCharacters = 12;
constexpr int kRegionsPerPiece = static_cast<int>(romc::kPieceBlocks) / romc::kSaveRegionBlocks;
constexpr const char* kMenuText = "#ffffff";
constexpr const char* kRomText = "#111111";
constexpr const char* kMenuFrame = "#263238";

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

std::string runLabel(const romc::FlashPlan& plan, int owner, int cells) {
    if (owner == romc::kOwnerMenu) {
        return std::string(1, romc::kMenuLetter);
    }
    const auto row = static_cast<std::size_t>(owner);
    std::string label(1, romc::rowLetter(row));
    if (cells >= kNamedRunCells) {
        // Whole characters only: a name is cut between UTF-8 characters, never inside one.
        const std::string& name = plan.rows[row].name;
        std::size_t end = 0;
        for (std::size_t shown = 0; end < name.size() && shown < kLabelNameCharacters; ++shown) {
            ++end;
            while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
                ++end;
            }
        }
        label += " " + name.substr(0, end);
    }
    return label;
}

} // namespace

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
            run.label = runLabel(plan, owner, end - block);
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
    for (int bank = 0; bank < romc::kSaveBanks; ++bank) {
        picture.rowLabels.push_back(
            {{0, kFlashGridY + bank * kFlashCellHeight, kFlashGridX - 4, kFlashCellHeight},
             "bank " + std::to_string(bank),
             bank % kRegionsPerPiece == 0});
    }
    return picture;
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
