// The status line's texts: tables that fit, one, two and many ROMs that would not fit, save banks given up,
// a compilation written in one and in several pieces, stale pieces, and what pointing at a block names.
#include "compile/compilation.h"
#include "compile/image.h"
#include "plan/plan_status.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>
#include <map>

namespace romc {
namespace {

using test::Rom;

class PlanStatus : public test::TableFixture {
  protected:
    // `equal` ROMs "Q1", "Q2"... of 128 blocks, then `roms`; one file per size.
    void addAll(int equal, std::vector<Rom> roms) {
        for (int i = equal; i > 0; --i) {
            roms.insert(roms.begin(), {"Q" + std::to_string(i), 128});
        }
        for (const Rom& rom : roms) {
            auto [file, fresh] = files_.try_emplace(rom.blocks);
            file->second = fresh ? romFile(rom.blocks) : file->second;
            addOk(file->second, rom.save, rom.name);
        }
    }
    FlashPlan plan() const { return planFlash(state, readWorkFolder(folder.path())); }

  private:
    std::map<int, std::string> files_;
};

TEST_F(PlanStatus, DraftSaysWhatFitsAndWhyTheRestDoesNot) {
    struct Case {
        int equal;
        std::vector<Rom> roms;
        const char* status;
    };
    const Case cases[] = {
        {0, {}, "No ROMs in the table: 1 of 1024 blocks (the menu)"},
        {0, {{"ONE", 32}}, "The ROM fits: 33 of 1024 blocks; Output.GB will be 2 MiB, 1 piece"},
        {0,
         {{"A", 128},
          {"B", 64},
          {"C", 64},
          {"D", 32},
          {"E", 32},
          {"F", 16},
          {"G", 16},
          {"H", 8},
          {"I", 8},
          {"J", 8},
          {"K", 4},
          {"L", 1}},
         "All 12 ROMs fit: 382 of 1024 blocks; Output.GB will be 12 MiB, 2 pieces"},
        // Blocks 2 to 63 are free, but a 48-block ROM may start only at 0, 48, 96...
        {0,
         {{"SAVE", 1, true}, {"P", 256}, {"Q", 256}, {"R", 256}, {"S", 128}, {"T", 64}, {"ODD", 48}},
         "1 ROM would not fit: \"ODD\" (48 blocks); 62 blocks free, none aligned for it"},
        {6,
         {{"G", 64}, {"H", 64}, {"SAGA", 256}, {"EPIC", 128}},
         "2 ROMs would not fit: \"SAGA\" (256 blocks) and \"EPIC\" (128 blocks); 127 blocks free, the "
         "largest aligned space 64 blocks"},
        {9,
         {},
         "2 ROMs would not fit: \"Q8\" (128 blocks) and \"Q9\" (128 blocks); 9 ROMs of 128 blocks can never "
         "all fit beside the menu and the save ROMs: there is room for 7"},
        {11,
         {},
         "4 ROMs would not fit: \"Q8\" (128 blocks), \"Q9\" (128 blocks), \"Q10\" (128 blocks) and 1 more; "
         "11 ROMs of 128 blocks can never all fit beside the menu and the save ROMs: there is room for 7"},
        {0,
         {{"A", 256},
          {"B", 256},
          {"C", 256},
          {"D", 128},
          {"E", 64},
          {"F", 32},
          {"G", 16},
          {"H", 8},
          {"I", 4},
          {"J", 2},
          {"K", 1},
          {"LAST", 1}},
         "1 ROM would not fit: \"LAST\" (1 block); no block free"},
    };
    for (const auto& c : cases) {
        clearList(state);
        addAll(c.equal, c.roms);
        EXPECT_EQ(draftStatus(plan()), c.status);
    }
}

TEST_F(PlanStatus, BlocksAndSaveBanksCountWhatRemovedRowsKeep) {
    EXPECT_EQ(saveBanksStatus(plan()), "0 of 16 save banks used");
    addAll(0, {{"FIRST", 64, true}, {"SECOND", 8, true}, {"GAME", 32}}); // banks 1 and 2; bank 0 skipped
    EXPECT_EQ(saveBanksStatus(plan()), "3 of 16 save banks used");
    const char* const afterRemoval[] = {"3 of 16 save banks used (1 given up by a removed row)",
                                        "3 of 16 save banks used (2 given up by removed rows)"};
    for (const char* status : afterRemoval) {
        selectNameRow(state, static_cast<int>(state.table.rowCount()) - 2);
        ASSERT_TRUE(removeRom(state));
        EXPECT_EQ(saveBanksStatus(plan()), status);
        EXPECT_EQ(blocksStatus(plan()), "105 of 1024 blocks used") << "a removed save ROM keeps its blocks";
    }
}

TEST_F(PlanStatus, WrittenNamesTheOutputsTheirSizeAndFolder) {
    const std::pair<int, std::string> cases[] = {
        {1, "Wrote Output.GB and Output1.GB (64 KiB) in "},
        {32, "Wrote Output.GB and Output1.GB (2 MiB) in "},
        {256, "Wrote Output.GB and Output1.GB..Output2.GB (16 MiB) in "}};
    for (const auto& [blocks, written] : cases) {
        clearList(state);
        addAll(0, {{"GAME", blocks}});
        ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
        EXPECT_EQ(writtenStatus(plan()), written + folder.path().string());
    }
}

TEST_F(PlanStatus, StalePiecesAreNamedUntilRemoved) {
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, ""},
        {{4}, "Output4.GB is left from an earlier, larger compilation"},
        {{3, 4}, "Output3.GB and Output4.GB are left from an earlier, larger compilation"},
        {{2, 3, 4}, "Output2.GB, Output3.GB and Output4.GB are left from an earlier, larger compilation"}};
    test::writeFile(folder / pieceName(4), {1});
    EXPECT_TRUE(removeStalePieces(systemDisk(), folder.path()).empty())
        << "no Output.GB tells which pieces are stale";
    addAll(0, {{"GAME", 4}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    std::filesystem::remove(folder / pieceName(4));
    for (const auto& [there, stale] : cases) {
        for (const int k : there) {
            test::writeFile(folder / pieceName(k), {1, 2, 3});
        }
        EXPECT_EQ(stalePiecesStatus(plan()), stale);
        EXPECT_EQ(removeStalePieces(systemDisk(), folder.path()).size(), there.size());
        EXPECT_EQ(stalePiecesStatus(plan()), "");
    }
    EXPECT_TRUE(std::filesystem::exists(folder / pieceName(1)));
    std::filesystem::create_directory(folder / pieceName(3));
    EXPECT_EQ(stalePiecesStatus(plan()), "") << "a folder is nobody's piece";
}

TEST_F(PlanStatus, PointingAtABlockNamesItsHolder) {
    addAll(0, {{"GONE", 16, true}, {"SAVED", 8, true}, {"GAME", 32}});
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    addAll(0, {{"NEW", 2}});
    const FlashPlan drawn = plan();
    const std::pair<int, const char*> cases[] = {
        {3, "Block 3: C \"NEW\", blocks 2 to 3, where the next compilation places it"},
        {20, "Block 20: taken by a removed save ROM"},
        {64, "Block 64: A \"SAVED\", blocks 64 to 71, save bank 1"},
        {40, "Block 40: B \"GAME\", blocks 32 to 63"},
        {10, "Block 10: free, lost to alignment (the image fills it with 0xFF)"},
        {72, "Block 72: free, past the end of the image"},
    };
    for (const auto& [block, status] : cases) {
        EXPECT_EQ(blockStatus(drawn, block), status);
    }
}

} // namespace
} // namespace romc
