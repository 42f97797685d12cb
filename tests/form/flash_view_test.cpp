// The flash view's picture and hit test: every point of the grid names its block, each block is drawn in
// the colour of what holds it, and runs are labelled and marked draft as the plan says.
#include "form/flash_view.h"
#include "support/table_fixture.h"

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
    EXPECT_EQ(picture.runs[0].label, "#");
    EXPECT_EQ(picture.runs[1].label, "A"); // two cells: the letter only
    EXPECT_FALSE(picture.runs[1].draft);
    EXPECT_EQ(picture.runs[2].label, "B EIGHT BLOCKS");
    EXPECT_TRUE(picture.runs[2].draft);
    EXPECT_EQ(picture.runs[2].rect,
              (PixelRect{flashCellRect(8).x, flashCellRect(8).y, 8 * kFlashCellWidth, kFlashCellHeight}));
    ASSERT_EQ(picture.rowLabels.size(), static_cast<std::size_t>(romc::kSaveBanks));
    EXPECT_EQ(picture.rowLabels[15].text, "bank 15");
    EXPECT_TRUE(picture.rowLabels[4].pieceStarts);
    EXPECT_FALSE(picture.rowLabels[5].pieceStarts);
}

} // namespace
} // namespace romform
