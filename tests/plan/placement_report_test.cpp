// The placement report's numbers and text: where each row lies, the blocks used, free and lost to alignment,
// and the text map, for a full flash and for a table with save ROMs and a ROM that does not fit.
#include "compile/compilation.h"
#include "compile/menu_table.h"
#include "plan/flash_plan.h"
#include "plan/placement_report.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "support/rom_files.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace romc {
namespace {

using test::Rom;

class PlacementReport : public test::TableFixture {
  protected:
    void addAll(const std::vector<Rom>& roms) {
        for (const auto& rom : roms) {
            addFile(std::string(rom.name) + ".GB", rom.blocks, rom.save, rom.name);
        }
    }

    std::vector<std::string> lines(const std::string& text) const {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }

    bool hasLine(const std::string& text, const std::string& line) const {
        for (const auto& each : lines(text)) {
            if (each == line) {
                return true;
            }
        }
        return false;
    }

    // Every block's owner agrees with the block map: taken blocks have an owner, free blocks none.
    void expectOwnersMatchBlockMap(const FlashPlan& plan, const BlockMap& blocks) const {
        for (int block = 0; block < kFlashBlocks; ++block) {
            const auto b = static_cast<std::size_t>(block);
            EXPECT_EQ(plan.owner[b] != kOwnerFree, blocks[b] == 1) << "block " << block;
        }
    }
};

// A 32 KiB template and ROMs of 256, 256, 256, 128, 64, 32, 16, 8, 4, 2 and 1 blocks fill the flash exactly.
const std::vector<Rom> kFullFlash = {
    {"EIGHT A", 256, false}, {"EIGHT B", 256, false}, {"EIGHT C", 256, false}, {"FOUR", 128, false},
    {"TWO", 64, false},      {"ONE", 32, false},      {"HALF", 16, false},     {"QUARTER", 8, false},
    {"B4", 4, false},        {"B2", 2, false},        {"B1", 1, false},
};

TEST_F(PlacementReport, FullFlashNumbers) {
    addAll(kFullFlash);
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));

    const int expectedFirst[] = {256, 512, 768, 128, 64, 32, 16, 8, 4, 2, 1};
    ASSERT_EQ(plan.rows.size(), 11u);
    for (std::size_t row = 0; row < plan.rows.size(); ++row) {
        ASSERT_TRUE(plan.rows[row].first) << "row " << row;
        EXPECT_EQ(*plan.rows[row].first, expectedFirst[row]) << "row " << row;
        EXPECT_FALSE(plan.rows[row].saveBank) << "row " << row;
        for (int block = *plan.rows[row].first; block <= plan.rows[row].last(); ++block) {
            EXPECT_EQ(plan.owner[static_cast<std::size_t>(block)], static_cast<int>(row))
                << "block " << block;
        }
    }
    EXPECT_EQ(plan.owner[0], kOwnerMenu);
    EXPECT_EQ(plan.blocks, state.blocks);
    expectOwnersMatchBlockMap(plan, state.blocks);

    const FlashUsage& usage = plan.usage;
    EXPECT_EQ(usage.used, 1024);
    EXPECT_EQ(usage.free, 0);
    EXPECT_EQ(usage.lostToAlignment, 0);
    EXPECT_EQ(usage.freeAtEnd, 0);
    EXPECT_EQ(usage.lastOccupied, 1023);
    EXPECT_EQ(usage.largestFreeAlignedSpace, 0);
    EXPECT_EQ(usage.imageBytes, kFlashSize);
    EXPECT_EQ(usage.pieces, 4);
}

TEST_F(PlacementReport, FullFlashText) {
    addAll(kFullFlash);
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    const std::string report = placementReport(plan, {ReportMode::DryRun, {}, {}});

    const char* const rows[] = {
        "Row  Name     Blocks  Save bank  First   Last  Image bytes          Pieces",
        "#    (menu)        1          -      0      0  0x0000000-0x0007FFF  Output1.GB",
        "A    EIGHT A     256          -    256    511  0x0800000-0x0FFFFFF  Output2.GB",
        "B    EIGHT B     256          -    512    767  0x1000000-0x17FFFFF  Output3.GB",
        "C    EIGHT C     256          -    768   1023  0x1800000-0x1FFFFFF  Output4.GB",
        "D    FOUR        128          -    128    255  0x0400000-0x07FFFFF  Output1.GB",
        "E    TWO          64          -     64    127  0x0200000-0x03FFFFF  Output1.GB",
        "F    ONE          32          -     32     63  0x0100000-0x01FFFFF  Output1.GB",
        "K    B1            1          -      1      1  0x0008000-0x000FFFF  Output1.GB",
        "Blocks used:                  1024 of 1024 (the menu and the placed ROMs)",
        "Blocks free:                     0",
        "  free at the end:               0",
        "Largest free aligned space:      0 blocks (the largest ROM that would still find a place)",
        "bank  0     0-  63  #KJJIIIIHHHHHHHHGGGGGGGGGGGGGGGGFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF  no save ROM",
        "bank  1    64- 127  EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  no save ROM",
        "bank  3   192- 255  DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDD  no save ROM",
        "bank  4   256- 319  AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA  no save ROM",
        "bank 11   704- 767  BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB  no save ROM",
        "bank 15   960-1023  CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC  no save ROM",
        "Dry run: no file was written, so there is no CRC32. A compilation would write:",
        "  Output.GB   33554432 bytes",
        "  Output4.GB   8388608 bytes  blocks 768 to 1023",
    };
    for (const char* line : rows) {
        EXPECT_TRUE(hasLine(report, line)) << "missing line:\n" << line << "\nin:\n" << report;
    }
    EXPECT_EQ(report.find("not written: the image ends"), std::string::npos);
    EXPECT_EQ(report.find("CRC32 "), std::string::npos);
}

// Two save ROMs fix banks 0 and 1; three 8 MiB ROMs fill pieces 2 to 4, so a fourth does not fit; the ROMs
// after it are still placed in the report, as they would be without it.
const std::vector<Rom> kSavesAndMisfit = {
    {"SAVE ONE", 32, true}, {"SAVE TWO", 64, true}, {"BIG A", 256, false}, {"BIG B", 256, false},
    {"BIG C", 256, false},  {"BIG D", 256, false},  {"MID", 128, false},   {"SMALL", 8, false},
};

TEST_F(PlacementReport, SavesAndAnUnplaceableRomNumbers) {
    addAll(kSavesAndMisfit);
    const TableState added = state;
    const auto refusal = generateCompilation(state, {folder.path(), true});
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->message.find("\"BIG D\" (BIG D.GB) (256 blocks) does not fit"), std::string::npos)
        << refusal->message;
    EXPECT_EQ(state.blocks, added.blocks); // the refusal changed nothing

    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    struct Expected {
        std::optional<int> first;
        std::optional<int> bank;
    };
    const Expected expected[] = {{32, 0},   {64, 1},  {256, {}}, {512, {}},
                                 {768, {}}, {{}, {}}, {128, {}}, {8, {}}};
    ASSERT_EQ(plan.rows.size(), std::size(expected));
    for (std::size_t row = 0; row < plan.rows.size(); ++row) {
        EXPECT_EQ(plan.rows[row].first, expected[row].first) << "row " << row;
        EXPECT_EQ(plan.rows[row].saveBank, expected[row].bank) << "row " << row;
    }
    EXPECT_EQ(plan.rows[5].notPlaced, "does not fit: the largest free aligned space is 128 blocks");
    expectOwnersMatchBlockMap(plan, plan.blocks);
    // The report's block map is a placed copy; the state's holds the save ROMs alone.
    for (int block = 0; block < kFlashBlocks; ++block) {
        const auto b = static_cast<std::size_t>(block);
        if (state.blocks[b] == 1) {
            EXPECT_EQ(plan.blocks[b], 1) << "block " << block;
        }
    }

    const FlashUsage& usage = plan.usage;
    EXPECT_EQ(usage.used, 1001);          // 1 + 32 + 64 + 3 * 256 + 128 + 8
    EXPECT_EQ(usage.free, 23);            // blocks 1 to 7 and 16 to 31
    EXPECT_EQ(usage.lostToAlignment, 23); // all below the last occupied block
    EXPECT_EQ(usage.freeAtEnd, 0);
    EXPECT_EQ(usage.lastOccupied, 1023);
    EXPECT_EQ(usage.largestFreeAlignedSpace, 16); // blocks 16 to 31
    EXPECT_EQ(usage.pieces, 4);
}

TEST_F(PlacementReport, SavesAndAnUnplaceableRomText) {
    addAll(kSavesAndMisfit);
    const auto refusal = generateCompilation(state, {folder.path(), true});
    ASSERT_TRUE(refusal);
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    const std::string report = placementReport(plan, {ReportMode::Refused, {}, refusal->message});

    const std::string expected[] = {
        "Not compiled: " + refusal->message,
        "The rows marked \"not placed\" do not fit. The other rows are shown where they would go if",
        "A    SAVE ONE      32          0     32     63  0x0100000-0x01FFFFF  Output1.GB",
        "B    SAVE TWO      64          1     64    127  0x0200000-0x03FFFFF  Output1.GB",
        "F    BIG D        256          -  not placed: does not fit: the largest free aligned space is 128 "
        "blocks",
        "G    MID          128          -    128    255  0x0400000-0x07FFFFF  Output1.GB",
        "Blocks used:                  1001 of 1024 (the menu and the placed ROMs)",
        "Blocks free:                    23",
        "  lost to alignment:            23 (free blocks below the last occupied block, 1023: gaps left "
        "because a ROM",
        "Largest free aligned space:     16 blocks (the largest ROM that would still find a place)",
        "bank  0     0-  63  #.......HHHHHHHH................AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA  save ROM: A "
        "SAVE ONE",
        "bank  1    64- 127  BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB  save ROM: B "
        "SAVE TWO",
        "bank  2   128- 191  GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG  no save ROM",
        "Not compiled, so no file was written and there is no CRC32. Without the rows marked \"not placed\" "
        "it would write:",
    };
    for (const auto& line : expected) {
        EXPECT_TRUE(hasLine(report, line)) << "missing line:\n" << line << "\nin:\n" << report;
    }
}

TEST_F(PlacementReport, FreeAtTheEndAndPiecesNotWritten) {
    addAll({{"SAVE", 16, true}, {"GAME", 64, false}, {"TINY", 1, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    const FlashUsage& usage = plan.usage;
    // Menu at 0, TINY at 1, SAVE at 16 to 31 (bank 0), GAME at 64 to 127.
    EXPECT_EQ(usage.used, 1 + 1 + 16 + 64);
    EXPECT_EQ(usage.lastOccupied, 127);
    EXPECT_EQ(usage.lostToAlignment, 14 + 32); // blocks 2 to 15 and 32 to 63
    EXPECT_EQ(usage.freeAtEnd, 1023 - 127);
    EXPECT_EQ(usage.free, usage.lostToAlignment + usage.freeAtEnd);
    EXPECT_EQ(usage.largestFreeAlignedSpace, 256);
    EXPECT_EQ(usage.imageBytes, 128 * kBlockSize);
    EXPECT_EQ(usage.pieces, 1);

    const std::string report = placementReport(plan, {ReportMode::DryRun, {}, {}});
    EXPECT_TRUE(
        hasLine(report, "  free at the end:             896 (blocks 128 to 1023, past the end of the image)"))
        << report;
    EXPECT_TRUE(hasLine(report, "  Output2.GB to Output4.GB are not written: the image ends before them; "
                                "files of those names from an"))
        << report;
}

TEST_F(PlacementReport, ColumnsAlignOnTheCharactersShownNotOnBytes) {
    addAll({{"CAF\xC3\xA9", 4, false}, {"ABCDE", 8, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const std::string report =
        placementReport(planFlash(state, readWorkFolder(folder.path())), {ReportMode::DryRun, {}, {}});
    std::vector<std::size_t> widths;
    for (const auto& line : lines(report)) {
        if (line.starts_with("A ") || line.starts_with("B ")) {
            widths.push_back(splitCharacters(line).size());
        }
    }
    ASSERT_EQ(widths.size(), 2u) << report;
    EXPECT_EQ(widths[0], widths[1]) << report;
}

TEST_F(PlacementReport, WrittenFilesShowTheirCrc) {
    addAll({{"GAME", 4, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    ReportOutcome outcome{ReportMode::Written, {}, {}};
    outcome.files.push_back({"Output.GB", 8 * kBlockSize, 0x0123ABCDu, {}});
    outcome.files.push_back({"Output1.GB", kPieceSize, {}, "Cannot read \"Output1.GB\": Permission denied"});
    const std::string report = placementReport(plan, outcome);
    EXPECT_TRUE(hasLine(report, "  Output.GB     262144 bytes  CRC32 0123ABCD")) << report;
    EXPECT_TRUE(
        hasLine(report, "  Output1.GB   8388608 bytes  Cannot read \"Output1.GB\": Permission denied"))
        << report;
    EXPECT_TRUE(hasLine(report, "  Output2.GB to Output4.GB are not written: the image ends before them; "
                                "files of those names from an"));
}

TEST(RowLetters, LettersThenLowerCaseThenDigitsThenPlus) {
    const std::pair<std::size_t, char> cases[] = {{0, 'A'},  {25, 'Z'}, {26, 'a'}, {51, 'z'},
                                                  {52, '0'}, {61, '9'}, {62, '+'}, {254, '+'}};
    for (const auto& [row, letter] : cases) {
        EXPECT_EQ(rowLetter(row), letter) << "row " << row;
    }
}

TEST(ImageByteRange, CoversWholeBlocks) {
    EXPECT_EQ(imageByteRange(0, 0), "0x0000000-0x0007FFF");
    EXPECT_EQ(imageByteRange(32, 63), "0x0100000-0x01FFFFF");
    EXPECT_EQ(imageByteRange(1023, 1023), "0x1FF8000-0x1FFFFFF");
}

} // namespace
} // namespace romc
