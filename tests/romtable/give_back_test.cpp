// After a compilation the table stays editable: a removed ROM without save memory gives its blocks back, a
// save ROM added over a placed ROM sends that ROM back to the draft, and a new compilation places the ROMs
// without save memory anew in table order.
#include "compile/compilation.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

using Texts = std::vector<std::string>;
using GiveBack = test::TableFixture;

TEST_F(GiveBack, ChangeAndCompileAgain) {
    auto taken = [&](int first, int last) {
        return std::count(state.blocks.begin() + first, state.blocks.begin() + last + 1, 1);
    };
    auto locations = [&] { return state.table.column(Column::Location); };
    auto compile = [&] { ASSERT_FALSE(generateCompilation(state, {folder.path(), true})); };
    for (const int blocks : {128, 64, 4, 2}) {
        addOk(romFile(blocks));
    }
    compile();
    ASSERT_EQ(locations(), (Texts{"128", "64", "4", "2"}));

    selectNameRow(state, 3);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(taken(2, 3), 0) << "the removed ROM keeps its blocks";
    EXPECT_EQ(taken(0, kLastBlock), 1 + 128 + 64 + 4);

    addOk(romFile(8), true); // bank 0 at block 8: over nothing placed
    addOk(romFile(8), true); // bank 1 at block 64: where the 64-block ROM was placed
    EXPECT_EQ(locations(), (Texts{"128", "0", "4", "8", "64"}));
    EXPECT_EQ(taken(64, 127), 8);

    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    compile();
    EXPECT_EQ(locations(), (Texts{"128", "4", "8", "64"})) << "placed anew in the new table order";
    EXPECT_EQ(taken(0, kLastBlock), 1 + 64 + 4 + 8 + 8);
}

} // namespace
} // namespace romc
