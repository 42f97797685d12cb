// The flash plan against the compilation on seeded random tables: every draft place is the place the
// compilation then gives, every ROM the plan says would not fit is named by the refusal, the image length
// is the one written. Compiling, changing and compiling again gives what a fresh
// compilation of the final table gives, wherever the final table can be built fresh.
#include "compile/compilation.h"
#include "compile/image.h"
#include "plan/flash_plan.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>
#include <random>

namespace romc {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kPoolSizes[] = {1, 2, 3, 4, 8, 16, 32, 48, 64, 100, 128, 256};
constexpr int kSteps = 160;
constexpr std::size_t kMaxRows = 40;

class PlanAgainstCompilation : public test::TableFixture, public ::testing::WithParamInterface<unsigned> {
  protected:
    void SetUp() override {
        TableFixture::SetUp();
        for (const int blocks : kPoolSizes) {
            pool_.push_back((folder / romFile(blocks)).string()); // absolute, so a second folder shares them
        }
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    FlashPlan plan() const { return planFlash(state, readWorkFolder(folder.path())); }

    void addRandomRom() {
        const auto& file = pool_[static_cast<std::size_t>(pick(0, static_cast<int>(pool_.size()) - 1))];
        (void)add(file, pick(0, 3) == 0, "R" + std::to_string(++names_)); // a refused save ROM is fine
    }

    void removeRandomRow() {
        selectNameRow(state, pick(0, static_cast<int>(state.table.rowCount())));
        removeRom(state);
    }

    // One Generate Compilation, checked against the plan made just before it.
    void compileAndCompare(bool dryRun) {
        const FlashPlan before = plan();
        const TableState unchanged = state;
        const auto failure = generateCompilation(state, {folder.path(), dryRun});
        ASSERT_EQ(failure.has_value(), !before.misfits.empty()) << (failure ? failure->message : "compiled");
        if (failure) {
            for (const std::size_t row : before.misfits) {
                EXPECT_NE(failure->message.find("\"" + before.rows[row].name + "\""), std::string::npos)
                    << "the refusal does not name " << before.rows[row].name << ": " << failure->message;
            }
            EXPECT_EQ(state.table.columns, unchanged.table.columns);
            return;
        }
        for (std::size_t row = 0; row < state.table.rowCount(); ++row) {
            ASSERT_TRUE(before.rows[row].first) << "row " << row;
            EXPECT_EQ(numberText(*before.rows[row].first), cell(row, Column::Location)) << "row " << row;
        }
        EXPECT_EQ(before.blocks, state.blocks);
        const FlashPlan after = plan();
        for (const RowPlace& place : after.rows) {
            EXPECT_FALSE(place.draft) << place.name << " is still a draft after its compilation";
        }
        if (!dryRun) {
            EXPECT_EQ(std::filesystem::file_size(folder / kImageName), before.usage.imageBytes);
            compareWithFreshCompilation();
        }
    }

    // The final table added anew in its order to an empty table, where that gives the same save banks and
    // the same taken blocks (no removed save ROM keeps blocks), compiles to the same places and image.
    void compareWithFreshCompilation() {
        test::ScratchFolder other;
        test::writeFile(other / "Menu.GB", test::menuTemplate());
        TableState fresh;
        for (std::size_t row = 0; row < state.table.rowCount(); ++row) {
            bool box = cell(row, Column::SaveFlag) == kSaveFlagYes;
            if (addRom(fresh, {cell(row, Column::Name), cell(row, Column::File), other.path()}, box)) {
                return; // a save ROM that a fresh start places past the flash
            }
        }
        RomTable givenBack = state.table;
        BlockMap blocks = state.blocks;
        giveBackPlaces(givenBack, blocks);
        if (givenBack.columns != fresh.table.columns || blocks != fresh.blocks) {
            return; // history the final table does not show: not the table a fresh start would build
        }
        ++freshComparisons_;
        ASSERT_FALSE(generateCompilation(fresh, {other.path(), false}));
        EXPECT_EQ(fresh.table.columns, state.table.columns);
        // Block 0 holds the menu, whose table an earlier, longer compilation may have left longer.
        const Bytes mine = test::readFile(folder / kImageName);
        const Bytes theirs = test::readFile(other / kImageName);
        ASSERT_EQ(mine.size(), theirs.size());
        EXPECT_EQ(test::firstDifference(Bytes(theirs.begin() + kBlockSize, theirs.end()),
                                        Bytes(mine.begin() + kBlockSize, mine.end())),
                  "equal");
    }

    std::mt19937 random_{GetParam()};
    std::vector<std::string> pool_;
    int names_ = 0;
    int freshComparisons_ = 0;
};

TEST_P(PlanAgainstCompilation, DraftIsWhatTheCompilationWrites) {
    int compilations = 0;
    for (int step = 0; step < kSteps && !HasFatalFailure(); ++step) {
        SCOPED_TRACE("seed " + std::to_string(GetParam()) + ", step " + std::to_string(step));
        const int action = pick(0, 19);
        if (action < 11 && state.table.rowCount() < kMaxRows) {
            addRandomRom();
        } else if (action < 15) {
            removeRandomRow();
        } else if (action < 19 && state.table.rowCount() > 0) {
            compileAndCompare(pick(0, 2) != 0);
            ++compilations;
        } else {
            clearList(state);
        }
    }
    EXPECT_GT(compilations, 10);
    EXPECT_GT(freshComparisons_, 0) << "no compilation again matched a fresh table";
}

INSTANTIATE_TEST_SUITE_P(Seeds, PlanAgainstCompilation, ::testing::Values(1u, 7u, 2024u, 31337u));

} // namespace
} // namespace romc
