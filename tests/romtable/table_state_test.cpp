#include "romtable/row_selection.h"
#include "support/table_fixture.h"

namespace romc {
namespace {

using test::TableFixture;

class TableState_ : public TableFixture {
  protected:
    // Three rows named A, B, C; B is a save ROM in bank 0.
    void addThree() {
        addOk(romFile(2), false, "a");
        addOk(romFile(4), true, "b");
        addOk(romFile(1), false, "c");
    }
    std::vector<std::string> names() const { return state.table.column(Column::Name); }
};

TEST_F(TableState_, StartsEmptyWithOnlyTheMenuBlockTaken) {
    const TableState fresh;
    EXPECT_EQ(fresh.blocks[0], 1);
    for (int b = 1; b < kFlashBlocks; ++b) {
        ASSERT_EQ(fresh.blocks[b], 0) << b;
    }
    EXPECT_EQ(fresh.nextSaveBank, 0);
    EXPECT_EQ(fresh.table.rowCount(), 0u);
    EXPECT_EQ(fresh.romCountText, "0");
    EXPECT_EQ(fresh.pagesText, "0");
}

TEST_F(TableState_, ClearListResetsTableFlashBanksAndCounters) {
    addThree();
    clearList(state);
    const TableState fresh;
    EXPECT_EQ(state.table.columns, fresh.table.columns);
    EXPECT_EQ(state.blocks, fresh.blocks);
    EXPECT_EQ(state.nextSaveBank, 0);
    EXPECT_EQ(state.romCountText, "0");
    EXPECT_EQ(state.pagesText, "0");
    clearList(state); // on an empty table too
    EXPECT_EQ(state.table.rowCount(), 0u);
}

TEST_F(TableState_, NameColumnSelectionSelectsTheWholeRow) {
    addThree();
    selectNameRow(state, 2);
    for (int selected : state.selectedRow) {
        EXPECT_EQ(selected, 2);
    }
}

TEST_F(TableState_, OtherColumnSelectionMovesNoOtherColumn) {
    addThree();
    selectNameRow(state, 0);
    selectColumnRow(state, Column::File, 2);
    EXPECT_EQ(state.selectedRow[static_cast<std::size_t>(Column::File)], 2);
    EXPECT_EQ(state.selectedRow[static_cast<std::size_t>(Column::Name)], 0);
    EXPECT_EQ(state.selectedRow[static_cast<std::size_t>(Column::Size)], 0);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(names(), (std::vector<std::string>{"B", "C"}));
}

struct RemoveCase {
    int selected;
    std::vector<std::string> namesAfter;
};

TEST_F(TableState_, RemoveRomDeletesTheSelectedRowFromEveryColumn) {
    const RemoveCase cases[] = {{0, {"B", "C"}}, {1, {"A", "C"}}, {2, {"A", "B"}}};
    for (const auto& c : cases) {
        clearList(state);
        addThree();
        selectNameRow(state, c.selected);
        ASSERT_TRUE(removeRom(state));
        EXPECT_EQ(names(), c.namesAfter) << "removed row " << c.selected;
        for (const auto& column : state.table.columns) {
            EXPECT_EQ(column.size(), 2u);
        }
        EXPECT_EQ(state.selectedRow[static_cast<std::size_t>(Column::Name)], kNoRowSelected);
        EXPECT_EQ(state.romCountText, "2");
        EXPECT_EQ(state.pagesText, "1");
    }
}

TEST_F(TableState_, RemovingTheLastRowEmptiesTheCounters) {
    addOk(romFile(1));
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(state.table.rowCount(), 0u);
    EXPECT_EQ(state.romCountText, "0");
    EXPECT_EQ(state.pagesText, "0");
}

TEST_F(TableState_, RemoveWithoutSelectionChangesNothing) {
    addThree();
    const TableState before = state;
    EXPECT_FALSE(removeRom(state)); // nothing selected since the adds
    selectColumnRow(state, Column::Location, 1);
    EXPECT_FALSE(removeRom(state)); // a selection in another column does not count
    selectNameRow(state, 7);        // no such row
    EXPECT_FALSE(removeRom(state));
    EXPECT_EQ(state.table.columns, before.table.columns);
    EXPECT_EQ(state.romCountText, before.romCountText);
}

TEST_F(TableState_, RemovedSaveRomKeepsItsBlocksAndBank) {
    state.nextSaveBank = 3;
    addOk(romFile(4), true, "saver");
    const BlockMap before = state.blocks;
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(state.blocks, before);
    EXPECT_EQ(state.blocks[192], 1);
    EXPECT_EQ(state.nextSaveBank, 4);
    addOk(romFile(4), true);
    EXPECT_EQ(cell(0, Column::SaveBank), " 4");
}

TEST_F(TableState_, ElevenRowsLessOneCountTen) {
    const auto path = romFile(1);
    for (int i = 0; i < 11; ++i) {
        addOk(path);
    }
    selectNameRow(state, 4);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(state.romCountText, "10");
    EXPECT_EQ(state.pagesText, "1");
    addOk(path);
    EXPECT_EQ(state.romCountText, "11");
    EXPECT_EQ(state.pagesText, "2");
}

} // namespace
} // namespace romc
