#include "cli/table_text.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "romtable/row_order.h"
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
    EXPECT_EQ(tableText(opened.state.table),
              "ZELDA DX\troms/Zelda DX.gbc\t8\tY\t 0\t8\t248\n"
              "BIG ONE\troms/big.gb\t70\tN\tN/A\t0\t186\n\troms/big.gb\t70\tY\t 1\t64\t186\n");
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
        "3 of the 19 entries of the list \"g.json\" cannot be added:\n  entry 16: Cannot add \"ROM16.GB\" "
        "with save memory: its 65 blocks from save bank 15 at block 960 would run past the last flash block "
        "1023\n  entry 17: Cannot read \"gone.gb\": No such file or directory\n  entry 18: Cannot add "
        "\"ROM17.GB\": it is 8421376 bytes, longer than the largest ROM of 256 blocks (8388608 bytes)");
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
    const RomList kept = romListOfTable(opened.state, folder.path(), folder / "g.json");
    const bool saves[] = {kept.entries[0].save, kept.entries[16].save, kept.entries[17].save};
    EXPECT_EQ(std::vector<bool>(std::begin(saves), std::end(saves)), (std::vector<bool>{false, true, false}));
}

// Kept banks are taken whatever the list order; save ROMs without one get the banks after the highest taken;
// banks that cannot all hold refuse the list whole, naming each entry.
TEST_F(OpenList, KeptBanksHoldWhateverTheOrderAndClashesRefuseTheList) {
    struct Entry {
        int blocks;
        bool save;
        std::optional<int> bank;
    };
    const struct {
        const char* what;
        std::vector<Entry> entries;
        const char* banks;     // the save bank column, row after row, or the clash message
        const char* locations; // the location column
    } cases[] = {
        {"no kept banks: handed out in list order",
         {{4, true, {}}, {70, true, {}}, {8, true, {}}},
         " 0, 1, 3",
         "4,64,192"},
        {"kept banks out of order, then the next after the highest",
         {{8, true, 3}, {16, true, {}}, {4, true, 0}, {2, false, {}}},
         " 3, 4, 0,N/A",
         "192,256,4,0"},
        {"a bank a removed ROM held is taken again", {{8, true, 5}, {8, true, 2}}, " 5, 2", "320,128"},
        {"a kept ROM reaching into the next region pushes the others past it",
         {{4, true, {}}, {70, true, 1}},
         " 3, 1",
         "192,64"},
        {"the same bank twice",
         {{4, true, 2}, {8, true, 2}},
         "entry 2: Cannot add \"ROM2.GB\" in save bank 2: its blocks 128 to 135 meet the save regions of row "
         "1 (\"ROM1\", save bank 2)",
         ""},
        {"a save ROM over another's regions",
         {{70, true, 1}, {4, true, 2}},
         "entry 2: Cannot add \"ROM2.GB\" in save bank 2: its blocks 128 to 131 meet the save regions of row "
         "1",
         ""},
        {"bank 0 for a whole region",
         {{64, true, 0}},
         "entry 1: Cannot add \"ROM1.GB\" in save bank 0: bank 0 shares its region with the menu and takes "
         "only ROMs below 64 blocks; it has 64",
         ""},
        {"past the last block",
         {{4, true, 0}, {128, true, 15}},
         "entry 2: Cannot add \"ROM2.GB\" in save bank 15: its 128 blocks from block 960 would run past the "
         "last flash block 1023",
         ""},
    };
    for (const auto& c : cases) {
        RomList list;
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            const Entry& e = c.entries[i];
            const std::string file = "ROM" + std::to_string(i + 1) + ".GB";
            test::makeRom(folder.path(), file, static_cast<std::size_t>(e.blocks) * kBlockSize,
                          static_cast<std::uint32_t>(i + 1));
            list.entries.push_back({file, std::nullopt, e.save, {}, e.bank, std::nullopt});
        }
        const ListReplay opened = openRomList(state, list, source);
        if (std::string(c.locations).empty()) {
            ASSERT_TRUE(opened.bankClash) << c.what;
            const std::string expected =
                "the save banks of the list \"g.json\" cannot all hold:\n  " + std::string(c.banks);
            EXPECT_EQ(opened.bankClash->message.substr(0, expected.size()), expected) << c.what;
            continue;
        }
        ASSERT_FALSE(opened.bankClash) << c.what << ": " << opened.bankClash->message;
        ASSERT_TRUE(opened.refused.empty()) << c.what;
        std::string banks, locations;
        for (std::size_t row = 0; row < opened.state.table.rowCount(); ++row) {
            banks += (row ? "," : "") + opened.state.table.text(row, Column::SaveBank);
            locations += (row ? "," : "") + opened.state.table.text(row, Column::Location);
        }
        EXPECT_EQ(banks, c.banks) << c.what;
        EXPECT_EQ(locations, c.locations) << c.what;
    }
}

// Moved, sorted, removed and added again, saved and opened: the same banks and save places.
TEST_F(OpenList, ATableSavedAndOpenedKeepsItsBanksAfterMovesSortsAndRemovals) {
    addOk(romFile(8), true, "zeta");
    addOk(romFile(4), false, "beta");
    const std::string gone = romFile(16);
    addOk(gone, true, "gamma");
    addOk(romFile(70), true, "alpha");
    addOk(romFile(2), true, "delta");
    sortByName(state);
    selectNameRow(state, 0);
    moveSelectedRow(state, RowMove::Down);
    selectNameRow(state, 3); // GAMMA
    ASSERT_EQ(cell(3, Column::Name), "GAMMA");
    removeRom(state);
    addOk(gone, true, "gamma"); // given the next bank, not its old one
    const RomList kept = romListOfTable(state, folder.path(), folder / "g.json");
    const auto text = romListText(kept, "g.json");
    ASSERT_TRUE(text.ok());
    const ListReplay opened = openRomList(TableState{}, parseRomList(text.value(), "g.json").value(), source);
    ASSERT_FALSE(opened.bankClash) << opened.bankClash->message;
    for (const Column column : {Column::Name, Column::SaveFlag, Column::SaveBank, Column::Location}) {
        EXPECT_EQ(opened.state.table.column(column), state.table.column(column));
    }
    for (int block = 0; block < kFlashBlocks; ++block) {
        // Opened afresh, the removed ROM's blocks are free again; every kept save ROM's are taken.
        if (state.blocks[block] == 0) {
            EXPECT_EQ(opened.state.blocks[block], 0) << block;
        }
    }
    EXPECT_EQ(opened.state.nextSaveBank, state.nextSaveBank);
}

} // namespace
} // namespace romc
