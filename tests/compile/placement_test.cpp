#include "compile/placement.h"
#include "romtable/number_text.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace romc {
namespace {

void appendRow(RomTable& table, int blocks, const char* flag = kSaveFlagNo,
               const char* location = kNotPlaced) {
    const std::string row = std::to_string(table.rowCount());
    table.column(Column::Name).push_back("ROM" + row);
    table.column(Column::File).push_back("rom" + row + ".gb");
    table.column(Column::Size).push_back(numberText(blocks));
    table.column(Column::SaveFlag).emplace_back(flag);
    table.column(Column::SaveBank).emplace_back(kNoSaveBank);
    table.column(Column::Location).emplace_back(location);
    table.column(Column::Complement).push_back(numberText(blocks == 256 ? 192 : 256 - blocks));
}

struct PlacementCase {
    const char* what;
    std::vector<int> sizes;
    std::vector<int> taken; // blocks marked before placement, besides the menu's
    std::vector<const char*> locations;
};

TEST(Placement, FirstFitWithNaturalAlignmentInTableOrder) {
    const PlacementCase cases[] = {
        {"worked example", {32, 2, 64, 1}, {}, {"32", "2", "64", "1"}},
        {"two 8 MiB ROMs", {256, 256}, {}, {"256", "512"}},
        {"three 8 MiB ROMs", {256, 256, 256}, {}, {"256", "512", "768"}},
        {"small ROM first takes the aligned spot", {1, 1, 2}, {}, {"1", "2", "4"}},
        {"around a save ROM", {32, 32}, {32, 33}, {"64", "96"}},
        {"odd size aligned to itself", {3, 3, 5}, {}, {"3", "6", "10"}},
        {"block 1023", {1}, {}, {"1"}},
        {"255 blocks", {255}, {}, {"255"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RomTable table;
        for (int size : c.sizes) {
            appendRow(table, size);
        }
        BlockMap map;
        resetBlockMap(map);
        for (int b : c.taken) {
            map[b] = 1;
        }
        ASSERT_FALSE(placeRoms(table, map));
        EXPECT_EQ(table.column(Column::Location),
                  std::vector<std::string>(c.locations.begin(), c.locations.end()));
        for (std::size_t row = 0; row < c.sizes.size(); ++row) {
            const int start = std::stoi(c.locations[row]);
            for (int b = start; b < start + c.sizes[row]; ++b) {
                ASSERT_EQ(map[b], 1) << "block " << b;
            }
        }
    }
}

TEST(Placement, LastFreeBlockIs1023) {
    BlockMap map;
    map.fill(1);
    map[kLastBlock] = 0;
    RomTable table;
    appendRow(table, 1);
    ASSERT_FALSE(placeRoms(table, map));
    EXPECT_EQ(table.text(0, Column::Location), "1023");
    EXPECT_EQ(largestFreeAlignedSpace(map), 0);
}

TEST(Placement, SaveRomIsNeverMoved) {
    RomTable table;
    appendRow(table, 8, kSaveFlagYes, "64");
    appendRow(table, 8);
    BlockMap map;
    resetBlockMap(map);
    markBlocks(map, 64, 71);
    ASSERT_FALSE(placeRoms(table, map));
    EXPECT_EQ(table.text(0, Column::Location), "64");
    EXPECT_EQ(table.text(1, Column::Location), "8");
}

TEST(Placement, RomThatDoesNotFitIsRefusedWithTheLargestSpace) {
    RomTable table;
    appendRow(table, 256);
    BlockMap map;
    resetBlockMap(map);
    for (int b : {300, 600, 900}) {
        map[b] = 1; // one taken block inside each 8 MiB quarter past the menu's; 675 to 899 stay free
    }
    const auto refusal = placeRoms(table, map);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "\"ROM0\" (rom0.gb) (256 blocks) does not fit in the flash: the largest free "
                                "aligned space is 225 blocks");
}

TEST(Placement, LargestFreeAlignedSpace) {
    BlockMap map;
    resetBlockMap(map);
    EXPECT_EQ(largestFreeAlignedSpace(map), 256);
    map.fill(1);
    std::fill(map.begin() + 512, map.begin() + 640, std::int16_t{0});
    EXPECT_EQ(largestFreeAlignedSpace(map), 128);
    map.fill(1);
    std::fill(map.begin() + 100, map.begin() + 228, std::int16_t{0});
    EXPECT_EQ(largestFreeAlignedSpace(map), 114); // 128 free blocks, but only 114 to 227 start at a multiple
}

TEST(Placement, FirstFitStartBounds) {
    BlockMap map;
    resetBlockMap(map);
    EXPECT_EQ(firstFitStart(map, 0), std::nullopt);
    EXPECT_EQ(firstFitStart(map, 1025), std::nullopt);
    EXPECT_EQ(firstFitStart(map, 1024), std::nullopt); // block 0 is the menu's
    EXPECT_EQ(firstFitStart(map, 512), 512);
}

} // namespace
} // namespace romc
