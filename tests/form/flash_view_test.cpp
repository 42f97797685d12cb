// The flash view's picture and hit test: every point of the grid names its block, each block is drawn in
// the colour of what holds it, and runs are labelled and marked draft as the plan says.
#include "form/flash_view.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace romform {
namespace {

using romc::BlockKind;

TEST(FlashView, EveryPointOfTheGridNamesItsBlockAndNoneOutside) {
    const struct {
        int x;
        int y;
        std::optional<int> block;
    } cases[] = {
        {kFlashGridX, kFlashGridY, 0},
        {kFlashGridX + kFlashCellWidth - 1, kFlashGridY + kFlashCellHeight - 1, 0},
        {kFlashGridX + kFlashCellWidth, kFlashGridY, 1},
        {kFlashGridX, kFlashGridY + kFlashCellHeight, 64},
        {kFlashGridX + kFlashGridWidth - 1, kFlashGridY + kFlashGridHeight - 1, 1023},
        {kFlashGridX - 1, kFlashGridY, std::nullopt},
        {kFlashGridX, kFlashGridY - 1, std::nullopt},
        {kFlashGridX + kFlashGridWidth, kFlashGridY, std::nullopt},
        {kFlashGridX, kFlashGridY + kFlashGridHeight, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blockAtPoint(c.x, c.y), c.block) << c.x << "," << c.y;
    }
    for (int block = 0; block < romc::kFlashBlocks; block += 37) {
        const PixelRect cell = flashCellRect(block);
        EXPECT_EQ(blockAtPoint(cell.x + cell.width / 2, cell.y + cell.height / 2), block);
    }
}

TEST(FlashView, ColoursConvertAsTheMapWritesThem) {
    EXPECT_EQ(rgbOf("#37474f"), (Rgb{0x37, 0x47, 0x4f}));
    EXPECT_EQ(rgbOf(romc::HslColour{0, 100, 50}), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgbOf(romc::HslColour{120, 100, 25}), (Rgb{0, 128, 0}));
    EXPECT_EQ(rgbOf(romc::HslColour{240, 50, 50}), (Rgb{64, 64, 191}));
    EXPECT_EQ(rgbOf(romc::HslColour{420, 100, 50}), rgbOf(romc::HslColour{60, 100, 50}));
}

class FlashPictureTest : public romc::test::TableFixture {};

TEST_F(FlashPictureTest, CellsAndRunsTellMenuRomsDraftsAndSpaceLostToAlignment) {
    addFile("save.gb", 2, true, "SAVER");          // bank 0: placed at block 1 when added
    addFile("eight.gb", 8, false, "EIGHT BLOCKS"); // draft: first fit at block 8, blocks 3-7 lost
    const FlashPicture picture = flashPicture(romc::planFlash(state));
    ASSERT_EQ(picture.cells.size(), static_cast<std::size_t>(romc::kFlashBlocks));
    const struct {
        int block;
        BlockKind kind;
    } cells[] = {{0, BlockKind::Menu},     {1, BlockKind::LostToAlignment}, {2, BlockKind::Rom},
                 {3, BlockKind::Rom},      {4, BlockKind::LostToAlignment}, {7, BlockKind::LostToAlignment},
                 {8, BlockKind::DraftRom}, {15, BlockKind::DraftRom},       {16, BlockKind::Free}};
    for (const auto& c : cells) {
        EXPECT_EQ(picture.cells[static_cast<std::size_t>(c.block)].kind, c.kind) << c.block;
    }
    EXPECT_EQ(picture.cells[2].fill, rgbOf(romc::romFill(0)));
    EXPECT_EQ(picture.cells[8].fill, rgbOf(romc::romFill(1)));
    EXPECT_NE(picture.cells[1].fill, picture.cells[16].fill);
    ASSERT_EQ(picture.runs.size(), 3u);
    EXPECT_EQ(picture.runs[0].label.text, "#");
    EXPECT_EQ(picture.runs[1].label.text, "A"); // two cells: the letter only
    EXPECT_FALSE(picture.runs[1].draft);
    EXPECT_EQ(picture.runs[2].label.text, "B EIGHT BLOCKS");
    EXPECT_TRUE(picture.runs[2].draft);
    EXPECT_EQ(picture.runs[2].rect,
              (PixelRect{flashCellRect(8).x, flashCellRect(8).y, 8 * kFlashCellWidth, kFlashCellHeight}));
    ASSERT_EQ(picture.rowLabels.size(), static_cast<std::size_t>(romc::kSaveBanks));
    EXPECT_EQ(picture.rowLabels[15].bank.text, "bank 15");
    EXPECT_TRUE(picture.rowLabels[4].pieceStarts);
    EXPECT_FALSE(picture.rowLabels[5].pieceStarts);
}

// One ROM per size, each placed by first fit into one grid row: A at block 1, B at 2, C at 4, D at 8, E at
// 12, F at 16, G at 64, H over banks 4 to 7.
struct LabelCase {
    int blocks;
    const char* name;
    const char* label; // of the ROM's first run
};
constexpr LabelCase kLabelCases[] = {
    {1, "WIDE", "A"},                               // the letter alone, centred
    {2, "I", "B I"},                                // a narrow name whole in two cells
    {4, "RACING", "C RA\u2026"},                    // cut, marked as cut
    {8, "EIGHT BLOCKS", "D EIGHT BLOCKS"},          // exactly as wide as the run allows
    {4, "CAF\u00e9 QUEST", "E CAF\u2026"},          // cut before the two-byte character, never inside it
    {16, "A VERY LONG GAME", "F A VERY LONG GAME"}, // sixteen characters, whole
    {64, "WWWWWWWWWWWWWWWW", "G WWWWWWWWWWWWWWWW"}, // the widest letters, whole across a region
    {256, "EIGHT MEGABYTES", "H EIGHT MEGABYTES"},  // on each of its four grid rows
};

class FlashViewTest : public romc::test::TableFixture {
  protected:
    FlashPicture labelledPicture() {
        for (std::size_t row = 0; row < std::size(kLabelCases); ++row) {
            addFile("rom" + std::to_string(row) + ".gb", kLabelCases[row].blocks, false,
                    kLabelCases[row].name);
        }
        return flashPicture(romc::planFlash(state));
    }
};

// Labels hold as much of the name as their run allows, and no text reaches past its box or over another.
TEST_F(FlashViewTest, RunLabelsFitTheirRunsAndNoTextOverlaps) {
    const FlashPicture picture = labelledPicture();
    ASSERT_EQ(picture.runs.size(), 1 + std::size(kLabelCases) + 3); // the menu, each ROM, H's other rows
    EXPECT_EQ(picture.runs[0].label.text, "#");
    for (std::size_t row = 0; row < std::size(kLabelCases); ++row) {
        const FlashRun& run = picture.runs[row + 1];
        EXPECT_EQ(run.rect.width,
                  std::min(kLabelCases[row].blocks, romc::kSaveRegionBlocks) * kFlashCellWidth);
        EXPECT_EQ(run.label.text, kLabelCases[row].label) << kLabelCases[row].name;
        EXPECT_EQ(run.label.align, row == 0 ? TextAlign::Centre : TextAlign::Left);
    }
    for (std::size_t run = picture.runs.size() - 3; run < picture.runs.size(); ++run) {
        EXPECT_EQ(picture.runs[run].label.text, "H EIGHT MEGABYTES");
    }

    std::vector<FlashText> texts = picture.axis;
    for (const FlashRun& run : picture.runs) {
        const PixelRect& label = run.label.rect;
        EXPECT_TRUE(label.x > run.rect.x && label.x + label.width < run.rect.x + run.rect.width &&
                    label.y >= run.rect.y && label.y + label.height <= run.rect.y + run.rect.height)
            << run.label.text;
        texts.push_back(run.label);
    }
    for (const FlashRowLabel& row : picture.rowLabels) {
        texts.insert(texts.end(), {row.bank, row.firstBlock});
    }
    for (const FlashLegendEntry& entry : picture.legend) {
        texts.insert(texts.end(), {entry.words, {entry.swatch, ""}});
    }
    texts.push_back({picture.pointLine, ""});
    for (std::size_t a = 0; a < texts.size(); ++a) {
        const PixelRect& box = texts[a].rect;
        EXPECT_LE(flashTextWidth(texts[a].text), box.width) << texts[a].text;
        EXPECT_TRUE(box.x >= 0 && box.y >= 0 && box.x + box.width <= picture.width &&
                    box.y + box.height <= picture.height)
            << texts[a].text;
        for (std::size_t b = a + 1; b < texts.size(); ++b) {
            EXPECT_FALSE(box.overlaps(texts[b].rect)) << texts[a].text << " over " << texts[b].text;
        }
    }
}

TEST_F(FlashViewTest, AxisAndFirstBlocksAddUpToTheBlockBelowAndTheLegendNamesEveryFill) {
    labelledPicture();
    addFile("gone.gb", 16, true, "GONE"); // a save ROM removed: its blocks stay taken until a compilation
    selectNameRow(state, static_cast<int>(std::size(kLabelCases)));
    ASSERT_TRUE(removeRom(state));
    const FlashPicture picture = flashPicture(romc::planFlash(state));
    ASSERT_TRUE(std::any_of(picture.cells.begin(), picture.cells.end(),
                            [](const FlashCell& cell) { return cell.kind == BlockKind::TakenByNoRow; }));
    ASSERT_EQ(picture.axis.size(), 1u + romc::kSaveRegionBlocks / 8);
    EXPECT_EQ(picture.axis[0].text, "block");
    for (std::size_t column = 1; column < picture.axis.size(); ++column) {
        const FlashText& offset = picture.axis[column];
        EXPECT_EQ(offset.text, "+" + std::to_string((column - 1) * 8));
        for (const FlashRowLabel& row : picture.rowLabels) {
            EXPECT_EQ(blockAtPoint(offset.rect.x, row.firstBlock.rect.y),
                      std::stoi(row.firstBlock.text) + std::stoi(offset.text.substr(1)));
        }
    }
    for (const FlashCell& cell : picture.cells) {
        if (cell.kind == BlockKind::Rom || cell.kind == BlockKind::DraftRom) {
            continue;
        }
        EXPECT_TRUE(std::any_of(picture.legend.begin(), picture.legend.end(),
                                [&](const FlashLegendEntry& entry) { return entry.fill == cell.fill; }))
            << static_cast<int>(cell.kind);
    }
    EXPECT_TRUE(std::any_of(picture.legend.begin(), picture.legend.end(),
                            [](const FlashLegendEntry& entry) { return entry.dashed; }));
}

TEST_F(FlashViewTest, DrawingScalesToTheWindowWithItsAspectAndPointsFollow) {
    const FlashPicture picture = flashPicture(romc::planFlash(state));
    const int w = picture.width;
    const int h = picture.height;
    const struct {
        int width;
        int height;
        double scale;
        double x;
        double y;
    } cases[] = {
        {2 * w, 2 * h, 2, 0, 0},
        {w / 2, h / 2, 0.5, 0, 0},
        {2 * w, h, 1, w / 2.0, 0},                 // wider: centred across
        {w, 3 * h, 1, 0, 1.0 * h},                 // taller: centred down
        {0, 0, 1.0 / w, 0, (1 - 1.0 * h / w) / 2}, // shrunk to nothing: still a picture
    };
    for (const auto& c : cases) {
        const FlashViewFit fit = fitFlashView(picture, c.width, c.height);
        EXPECT_DOUBLE_EQ(fit.scale, c.scale) << c.width << "x" << c.height;
        EXPECT_DOUBLE_EQ(fit.x, c.x) << c.width << "x" << c.height;
        EXPECT_DOUBLE_EQ(fit.y, c.y) << c.width << "x" << c.height;
        if (c.width == 0) {
            continue;
        }
        for (int block = 0; block < romc::kFlashBlocks; block += 97) {
            const PixelRect cell = flashCellRect(block);
            const double windowX = fit.x + (cell.x + 0.5) * fit.scale;
            const double windowY = fit.y + (cell.y + 0.5) * fit.scale;
            EXPECT_EQ(blockAtPoint(fit.pictureX(static_cast<int>(std::ceil(windowX))),
                                   fit.pictureY(static_cast<int>(std::ceil(windowY)))),
                      block);
        }
    }
}

TEST_F(FlashViewTest, OpensBesideTheMainWindowElseOverItWholeOnItsScreen) {
    const FlashPicture picture = flashPicture(romc::planFlash(state));
    const int w = picture.width;
    const int h = picture.height;
    const PixelRect fullHd{0, 0, 1920, 1080};
    const struct {
        const char* where;
        PixelRect main;
        PixelRect screen;
        int frameWidth;
        int frameHeight;
        double scale;
        int x;
        int y;
        double shownScale;
    } cases[] = {
        {"right", {0, 0, 570, 357}, fullHd, 0, 0, 1, 578, 0, 1},
        {"right, framed", {10, 20, 570, 357}, fullHd, 16, 39, 1, 588, 20, 1},
        {"left", {1300, 100, 570, 357}, fullHd, 0, 0, 1, 1300 - 8 - w, 100, 1},
        {"right, up to the foot", {0, 900, 570, 357}, fullHd, 0, 0, 1, 578, 1080 - h, 1},
        {"below", {0, 0, 570, 357}, {0, 0, 1280, 800}, 0, 0, 1, 0, 365, 1},
        {"below, second screen", {2000, 50, 570, 357}, {1920, 0, 1280, 1024}, 0, 0, 1, 2000, 415, 1},
        {"over, twice the scale", {0, 0, 1140, 714}, fullHd, 0, 0, 2, 1920 - 2 * w, 0, 2},
        {"over, scaled down, framed", {0, 0, 1140, 714}, {0, 0, 1280, 800}, 16, 39, 2, 0, 0, 1264.0 / w},
    };
    for (const auto& c : cases) {
        const FlashViewFrame place =
            placeFlashView(picture, c.main, c.screen, c.frameWidth, c.frameHeight, c.scale);
        const int clientWidth = static_cast<int>(std::lround(w * c.shownScale));
        const int clientHeight = static_cast<int>(std::lround(h * c.shownScale));
        EXPECT_EQ(place.frame,
                  (PixelRect{c.x, c.y, clientWidth + c.frameWidth, clientHeight + c.frameHeight}))
            << c.where;
        EXPECT_EQ(place.clientWidth, clientWidth) << c.where;
        EXPECT_EQ(place.clientHeight, clientHeight) << c.where;
    }
}

} // namespace
} // namespace romform
