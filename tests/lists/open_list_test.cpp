#include "cli/table_text.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "support/table_fixture.h"

namespace romc {
namespace {

class OpenList : public test::TableFixture {
  public:
    const ListSource source{"", folder.path(), "g.json"};
};

TEST_F(OpenList, EntriesAreAddedInOrderOnAClearedTableAsAPersonAddsThem) {
    addOk(romFile(4), true); // a table in use: bank 0 taken, one row, a selection
    state.selectedRow.fill(0);
    const TableState current = state;
    std::filesystem::create_directory(folder / "roms");
    test::makeRom(folder.path(), "roms/Zelda DX.gbc", 8 * kBlockSize, 1);
    test::makeRom(folder.path(), "roms/big.gb", 70 * kBlockSize, 2);
    const RomList list{{{"roms/Zelda DX.gbc", std::nullopt, true},
                        {"roms/big.gb", "Big one", false},
                        {"roms/big.gb", "", true}},
                       {}};
    const ListReplay opened = openRomList(state, list, source);

    EXPECT_TRUE(opened.refused.empty());
    EXPECT_TRUE(opened.warnings.empty());
    EXPECT_EQ(tableText(opened.state.table), "ZELDA DX\troms/Zelda DX.gbc\t8\tY\t 0\t8\t248\n"
                                             "BIG ONE\troms/big.gb\t70\tN\tN/A\t0\t186\n"
                                             "\troms/big.gb\t70\tY\t 1\t64\t186\n");
    EXPECT_EQ(opened.state.nextSaveBank, 3); // 70 blocks from block 64 reach into region 2
    EXPECT_EQ(opened.state.romCountText, "3");
    EXPECT_EQ(opened.state.selectedRow[0], kNoRowSelected);
    EXPECT_TRUE(opened.saveBox);
    EXPECT_EQ(state.table.columns, current.table.columns); // the caller's table stays until it applies one
}

TEST_F(OpenList, RefusedEntriesAreNamedAndTheOthersAddedWithoutThem) {
    RomList list;
    for (int bank = 0; bank <= 14; ++bank) {
        list.entries.push_back({romFile(1), std::nullopt, true});
    }
    list.entries.push_back({romFile(65), "Past", true}); // bank 15 starts at block 960
    list.entries.push_back({"gone.gb", std::nullopt, false});
    list.entries.push_back({romFile(257), std::nullopt, false});
    list.entries.push_back({romFile(8), "last", true});
    const ListReplay opened = openRomList(state, list, source);

    EXPECT_EQ(opened.added(), 16u);
    ASSERT_EQ(opened.state.table.rowCount(), 16u);
    // Bank 15 stays free after the refused entry, so the last save ROM gets it.
    EXPECT_EQ(opened.state.table.text(15, Column::SaveBank), " 15");
    EXPECT_EQ(
        refusedEntriesMessage(opened, source),
        "3 of the 19 entries of the list \"g.json\" cannot be added:\n"
        "  entry 16: Cannot add \"ROM16.GB\" with save memory: its 65 blocks from save bank 15 at block "
        "960 would run past the last flash block 1023\n"
        "  entry 17: Cannot read \"gone.gb\": No such file or directory\n"
        "  entry 18: Cannot add \"ROM17.GB\": it is 8421376 bytes, longer than the largest ROM of 256 "
        "blocks (8388608 bytes)");
}

TEST_F(OpenList, SaveMemoryAskedForAndNotGivenIsWarnedByEntryAndNotKept) {
    RomList list{{{romFile(256), "whole", true}}, {"keys ignored"}};
    for (int bank = 0; bank <= 16; ++bank) {
        list.entries.push_back({romFile(1), std::nullopt, true});
    }
    const ListReplay opened = openRomList(state, list, source);

    ASSERT_TRUE(opened.refused.empty());
    EXPECT_EQ(opened.warnings, (std::vector<std::string>{
                                   "keys ignored",
                                   "the list \"g.json\", entry 1 (\"WHOLE\", \"ROM1.GB\"), asks for save "
                                   "memory and is added without: a 256-block ROM never gets save memory",
                                   "the list \"g.json\", entry 18 (\"ROM18\", \"ROM18.GB\"), asks for save "
                                   "memory and is added without: no save bank is left"}));
    EXPECT_FALSE(opened.saveBox);
    // Saved again, the list says what the table holds.
    const RomList kept = romListOfTable(opened.state.table, folder.path(), folder / "g.json");
    const bool saves[] = {kept.entries[0].save, kept.entries[16].save, kept.entries[17].save};
    EXPECT_EQ(std::vector<bool>(std::begin(saves), std::end(saves)), (std::vector<bool>{false, true, false}));
}

} // namespace
} // namespace romc
