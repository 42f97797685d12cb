#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <vector>

namespace romc {
namespace {

using test::TableFixture;

class AddRom : public TableFixture {};

struct Row {
    const char* size;
    const char* flag;
    const char* bank;
    const char* location;
    const char* complement;
};

void expectRow(const RomTable& table, std::size_t row, const Row& expected) {
    EXPECT_EQ(table.text(row, Column::Size), expected.size) << "row " << row;
    EXPECT_EQ(table.text(row, Column::SaveFlag), expected.flag) << "row " << row;
    EXPECT_EQ(table.text(row, Column::SaveBank), expected.bank) << "row " << row;
    EXPECT_EQ(table.text(row, Column::Location), expected.location) << "row " << row;
    EXPECT_EQ(table.text(row, Column::Complement), expected.complement) << "row " << row;
}

int occupiedBlocks(const BlockMap& map) {
    int count = 0;
    for (auto b : map) {
        count += b;
    }
    return count;
}

TEST_F(AddRom, PlainRomIsAppendedUnplacedWithUpperCaseName) {
    const auto path = romFile(32);
    addOk(path, false, "my game");
    ASSERT_EQ(state.table.rowCount(), 1u);
    EXPECT_EQ(cell(0, Column::Name), "MY GAME");
    EXPECT_EQ(cell(0, Column::File), path);
    expectRow(state.table, 0, {"32", "N", "N/A", "0", "224"});
    EXPECT_EQ(occupiedBlocks(state.blocks), 1);
    EXPECT_EQ(state.nextSaveBank, 0);
    EXPECT_EQ(state.romCountText, "1");
    EXPECT_EQ(state.pagesText, "1");
    for (const auto& column : state.table.columns) {
        EXPECT_EQ(column.size(), 1u);
    }
}

// Save bank and location by the counter before the add, and the counter after.
struct SaveCase {
    int banksBefore; // save ROMs of 1 block added first, to bring the counter to this value
    int blocks;
    const char* bank;
    const char* location;
    int firstBlock;
    int nextAfter;
    bool boxAfter;
};

TEST_F(AddRom, SaveRomGetsNextBankAndFixedPlace) {
    const SaveCase cases[] = {
        {0, 32, " 0", "32", 32, 1, true},      {0, 64, " 1", "64", 64, 2, true},
        {0, 1, " 0", "1", 1, 1, true},         {3, 4, " 3", "192", 192, 4, true},
        {15, 8, " 15", "960", 960, 16, false}, {15, 64, " 15", "960", 960, 16, false},
        {1, 255, " 1", "64", 64, 5, true}, // reaches into regions 2 to 4: their banks are skipped
        {0, 40, " 0", "40", 40, 2, true},  // bank 0 at block 40 runs into region 1
        {0, 63, " 0", "63", 63, 2, true},      {0, 32 + 1, " 0", "33", 33, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bank " + std::to_string(c.banksBefore) + ", " + std::to_string(c.blocks) + " blocks");
        clearList(state);
        state.nextSaveBank = static_cast<std::int16_t>(c.banksBefore);
        const BlockMap before = state.blocks;
        addOk(romFile(c.blocks), true);
        expectRow(state.table, 0,
                  {std::to_string(c.blocks).c_str(), "Y", c.bank, c.location,
                   std::to_string(256 - c.blocks).c_str()});
        EXPECT_EQ(state.nextSaveBank, c.nextAfter);
        EXPECT_EQ(saveBox, c.boxAfter);
        for (int b = 0; b < kFlashBlocks; ++b) {
            const bool inRom = b >= c.firstBlock && b < c.firstBlock + c.blocks;
            ASSERT_EQ(state.blocks[b], inRom ? 1 : before[b]) << "block " << b;
        }
    }
}

TEST_F(AddRom, FullSizeRomNeverGetsSaveMemoryAndUnticksTheBox) {
    addOk(romFile(256), true);
    expectRow(state.table, 0, {"256", "N", "N/A", "0", "192"});
    EXPECT_EQ(state.nextSaveBank, 0);
    EXPECT_FALSE(saveBox);
    EXPECT_EQ(occupiedBlocks(state.blocks), 1);
}

TEST_F(AddRom, CountsOnlyWholeBlocks) {
    addOk(romFile(1, 40000 - kBlockSize));
    expectRow(state.table, 0, {"1", "N", "N/A", "0", "255"});
    addOk(romFile(255, kBlockSize - 1));
    expectRow(state.table, 1, {"255", "N", "N/A", "0", "1"});
}

TEST_F(AddRom, NoBankLeftAddsWithoutSaveAndKeepsTheBoxUnticked) {
    state.nextSaveBank = 15;
    addOk(romFile(8), true);
    EXPECT_FALSE(saveBox);
    EXPECT_FALSE(saveBoxAllowed(state, true)) << "a later tick is undone at once";
    const BlockMap before = state.blocks;
    addOk(romFile(8), true);
    expectRow(state.table, 1, {"8", "N", "N/A", "0", "248"});
    EXPECT_EQ(state.nextSaveBank, 16);
    EXPECT_EQ(state.blocks, before);
}

TEST_F(AddRom, SameFileTwiceGivesTwoRowsAndTwoBanks) {
    const auto path = romFile(4);
    addOk(path, true);
    addOk(path, true);
    EXPECT_EQ(cell(0, Column::File), cell(1, Column::File));
    EXPECT_EQ(cell(0, Column::SaveBank), " 0");
    EXPECT_EQ(cell(1, Column::SaveBank), " 1");
    EXPECT_EQ(cell(1, Column::Location), "64");
}

TEST_F(AddRom, CountersFollowTheRows) {
    const auto path = romFile(1);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"1", "1"}, {"10", "1"}, {"11", "2"}, {"20", "2"}, {"21", "3"}, {"255", "26"}};
    int rows = 0;
    for (const auto& [count, pages] : expected) {
        while (rows < std::stoi(count)) {
            addOk(path);
            ++rows;
        }
        EXPECT_EQ(state.romCountText, count);
        EXPECT_EQ(state.pagesText, pages);
    }
    // The menu's count is one byte: the 256th row is refused when it is added, and nothing changes.
    const TableState before = state;
    const auto refusal = add(path);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->message.find("the menu lists at most 255 ROMs"), std::string::npos)
        << refusal->message;
    EXPECT_EQ(state.table.rowCount(), before.table.rowCount());
    EXPECT_EQ(state.romCountText, "255");
}

struct RefusalCase {
    const char* what;
    std::size_t bytes; // 0: no file at all
    bool save;
    int nextSaveBank;
    const char* messagePart;
};

TEST_F(AddRom, RefusedFileChangesNothing) {
    const RefusalCase cases[] = {
        {"missing file", 0, false, 0, "No such file"},
        {"shorter than a block", 1000, false, 0, "1000 bytes, shorter than one 32768-byte flash block"},
        {"just short of a block", kBlockSize - 1, true, 0, "shorter than one"},
        {"longer than 256 blocks", 257 * kBlockSize, false, 0, "longer than the largest ROM of 256 blocks"},
        {"save ROM past block 1023", 65 * kBlockSize, true, 15, "would run past the last flash block 1023"},
        {"save ROM past block 1023 from bank 14", 129 * kBlockSize, true, 14, "save bank 14 at block 896"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clearList(state);
        addOk(romFile(2), true); // something to keep
        state.nextSaveBank = static_cast<std::int16_t>(std::max<int>(state.nextSaveBank, c.nextSaveBank));
        const TableState before = state;
        std::string path = "absent.GB";
        if (c.bytes > 0) {
            path = "refused.GB";
            test::makeRom(folder.path(), path, c.bytes, 7);
        }
        bool box = c.save;
        const auto refusal = addRom(state, {"x", path, folder.path()}, box);
        ASSERT_TRUE(refusal);
        EXPECT_NE(refusal->message.find(path), std::string::npos) << refusal->message;
        EXPECT_NE(refusal->message.find(c.messagePart), std::string::npos) << refusal->message;
        EXPECT_EQ(box, c.save) << "the Save box stays as it was";
        EXPECT_EQ(state.table.columns, before.table.columns);
        EXPECT_EQ(state.blocks, before.blocks);
        EXPECT_EQ(state.nextSaveBank, before.nextSaveBank);
        EXPECT_EQ(state.romCountText, before.romCountText);
        EXPECT_EQ(state.pagesText, before.pagesText);
    }
}

TEST_F(AddRom, FolderAndDeviceAreRefusedWithoutReading) {
    std::filesystem::create_directory(folder / "dir.GB");
    for (const std::string path : {"dir.GB", "/dev/zero", "/dev/null"}) {
        bool box = false;
        const auto refusal = addRom(state, {"x", path, folder.path()}, box);
        ASSERT_TRUE(refusal) << path;
        EXPECT_NE(refusal->message.find(path), std::string::npos);
        EXPECT_EQ(state.table.rowCount(), 0u);
    }
}

} // namespace
} // namespace romc
