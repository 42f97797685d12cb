// One test per mend of the engine, each written so that undoing the mend makes it fail: refusals that
// change nothing, save ROMs longer than their region, counters that follow the table, checks before any
// change, outputs that appear whole or not at all, Remove ROM without a selection, names from short file
// names, unprintable name characters; and the two engine decisions (whole blocks only, nothing changed by
// a failed compilation).
#include "compile/compilation.h"
#include "compile/menu_table.h"
#include "hardening/state_checks.h"
#include "romtable/add_rom.h"
#include "romtable/number_text.h"
#include "romtable/rom_name.h"
#include "romtable/row_selection.h"
#include "support/rom_files.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romc::hardening {
namespace {

namespace fs = std::filesystem;

// Files are made once per size and reused, as a user adds the same ROM again.
class Mends : public test::TableFixture {
  public:
    // "ROM<blocks>+<extra>.gb" of whole blocks plus `extra` bytes.
    std::string rom(int blocks, std::size_t extra = 0) {
        const std::string name = "ROM" + std::to_string(blocks) + "+" + std::to_string(extra) + ".gb";
        if (!fs::exists(folder / name)) {
            test::makeRom(folder.path(), name, static_cast<std::size_t>(blocks) * kBlockSize + extra,
                          ++roms_);
        }
        return name;
    }

  private:
    std::uint32_t roms_ = 0;
};

// Mend 1: a refused file leaves no row, no counter, no block, no bank and the "Save?" box as they were.
TEST_F(Mends, RefusedAddRomChangesNothingAtAll) {
    addOk(rom(2), true); // bank 0 at block 2, box stays ticked
    for (int bank = 1; bank <= 14; ++bank) {
        addOk(rom(1), true);
    }
    ASSERT_EQ(state.nextSaveBank, 15);
    test::writeFile(folder / "short.gb", test::romBytes(kBlockSize - 1, 1));
    test::writeFile(folder / "over.gb", {});
    fs::resize_file(folder / "over.gb", 257 * kBlockSize);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"missing.gb", "No such file or directory"},
        {"short.gb", "32767 bytes, shorter than one 32768-byte flash block"},
        {"over.gb", "8421376 bytes, longer than the largest ROM of 256 blocks"},
        {rom(65), "would run past the last flash block 1023"}, // bank 15 starts at block 960
    };
    for (const auto& c : cases) {
        const TableState before = state;
        bool box = true;
        const auto refusal = addRom(state, {"x", c.path, folder.path()}, box);
        ASSERT_TRUE(refusal) << c.path;
        EXPECT_NE(refusal->message.find("\"" + c.path + "\""), std::string::npos) << refusal->message;
        EXPECT_NE(refusal->message.find(c.reason), std::string::npos) << refusal->message;
        EXPECT_EQ(stateDifference(before, state), "") << c.path;
        EXPECT_TRUE(box) << c.path << " unticked the Save? box";
    }
    addOk(rom(64), true); // exactly fills the last region
    EXPECT_EQ(state.table.text(15, Column::Location), "960");
}

// Mend 2: a save ROM longer than its region takes the regions it reaches; no later save ROM lands on it.
struct LongSaveCase {
    int firstBank; // banks handed out before, one block each
    int blocks;
    const char* location;
    int nextSaveBank;
    bool boxAfter;
};

class LongSaveRom : public Mends, public ::testing::WithParamInterface<LongSaveCase> {};

TEST_P(LongSaveRom, RaisesNextSaveBankPastTheRegionsItReaches) {
    const auto& c = GetParam();
    for (int bank = 0; bank < c.firstBank; ++bank) {
        addOk(rom(1), true);
    }
    addOk(rom(c.blocks), true);
    EXPECT_EQ(state.table.text(state.table.rowCount() - 1, Column::Location), c.location);
    EXPECT_EQ(state.nextSaveBank, c.nextSaveBank);
    EXPECT_EQ(saveBox, c.boxAfter);
    if (c.boxAfter) {
        addOk(rom(3), true); // the next save ROM starts after every block of the long one
        const int next = std::stoi(state.table.text(state.table.rowCount() - 1, Column::Location));
        EXPECT_GE(next, std::stoi(c.location) + c.blocks);
        EXPECT_EQ(stateInvariantBreak(state), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Mends, LongSaveRom,
                         ::testing::Values(LongSaveCase{0, 32, "32", 1, true},  // fits bank 0: as before
                                           LongSaveCase{0, 33, "33", 2, true},  // reaches region 1
                                           LongSaveCase{0, 63, "63", 2, true},  // blocks 63 to 125
                                           LongSaveCase{0, 64, "64", 2, true},  // bank 1, fits
                                           LongSaveCase{0, 100, "64", 3, true}, // bank 1, reaches region 2
                                           LongSaveCase{1, 255, "64", 5, true}, // regions 1 to 4
                                           LongSaveCase{14, 128, "896", 16, false})); // banks 14 and 15

// Mend 3: the counters follow the table after Remove ROM and Clear List, so the menu's count byte always
// equals the entries written.
TEST_F(Mends, CountersFollowRemoveAndClearAndTheMenuCountMatchesItsEntries) {
    for (int i = 0; i < 11; ++i) {
        addOk(rom(1));
    }
    selectNameRow(state, 10);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(state.romCountText, "10");
    EXPECT_EQ(state.pagesText, "1");
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    const Bytes menu = test::readFile(folder / "Menu.GB");
    EXPECT_EQ(menu[menu::kRomCountOffset], 10);
    EXPECT_EQ(menu[menu::kLastPageOffset], 0);
    clearList(state);
    EXPECT_EQ(state.romCountText, "0");
    EXPECT_EQ(state.pagesText, "0");
    addOk(rom(1));
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    EXPECT_EQ(state.romCountText, "0");
    EXPECT_EQ(state.pagesText, "0");
}

// Mend 4: every check before any change.
TEST_F(Mends, EmptyTableIsRefusedAsNothingToCompile) {
    const auto marks = folderMarks(folder.path());
    const auto failure = generateCompilation(state, {folder.path(), false});
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find("nothing to compile"), std::string::npos) << failure->message;
    EXPECT_EQ(folderDifference(marks, folderMarks(folder.path())), "");
}

TEST_F(Mends, RomThatDoesNotFitIsRefusedByNameWithItsSizeAndTheLargestSpace) {
    for (const char* name : {"one", "two", "three", "four"}) {
        addOk(rom(256), false, name);
    }
    const TableState before = state;
    const auto marks = folderMarks(folder.path());
    const auto failure = generateCompilation(state, {folder.path(), false});
    ASSERT_TRUE(failure) << "a ROM listed in the menu but missing from the image";
    EXPECT_EQ(failure->message, "\"FOUR\" (ROM256+0.gb) (256 blocks) does not fit in the flash: the largest "
                                "free aligned space is 128 blocks; 4 ROMs of 256 blocks can never all fit "
                                "beside the menu and the save ROMs: there is room for 3");
    EXPECT_EQ(stateDifference(before, state), "");
    EXPECT_EQ(folderDifference(marks, folderMarks(folder.path())), "");
}

TEST_F(Mends, MoreThan255RowsAreRefusedBeforeAnythingIsWritten) {
    for (int i = 0; i < 255; ++i) {
        addOk(rom(1));
    }
    const std::string oneMore = rom(1);
    const auto marks = folderMarks(folder.path());
    const TableState full = state;
    bool saveBox = false;
    const auto refused = addRom(state, {"ONE MORE", oneMore, folder.path()}, saveBox);
    ASSERT_TRUE(refused) << "the 256th row is refused when it is added";
    EXPECT_EQ(stateDifference(full, state), "");
    // A count box changed by other means is still refused by the compilation, before anything is written.
    state.romCountText = "256";
    const TableState before = state;
    const auto failure = generateCompilation(state, {folder.path(), false});
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find("\"256\""), std::string::npos) << failure->message;
    EXPECT_EQ(stateDifference(before, state), "");
    EXPECT_EQ(folderDifference(marks, folderMarks(folder.path())), "");
}

// Mend 6: Remove ROM without a selected row in the name column changes nothing; short file names.
TEST_F(Mends, RemoveRomWithoutANameSelectionChangesNothing) {
    addOk(rom(1));
    addOk(rom(2));
    selectColumnRow(state, Column::File, 1); // a selection in another column does not count
    const TableState before = state;
    EXPECT_FALSE(removeRom(state));
    EXPECT_EQ(stateDifference(before, state), "");
}

TEST(MendsNames, ShortFileNamesProposeNothingAndTheFolderIsDropped) {
    EXPECT_EQ(proposeRomName("ab"), "");
    EXPECT_EQ(proposeRomName("roms/ab"), "");
    EXPECT_EQ(proposeRomName("abc"), "");
    EXPECT_EQ(proposeRomName("/home/me/roms/PUZZLE.GB"), "PUZZLE");
    EXPECT_EQ(proposeRomName("roms/"), "");
}

// Mend 7 and whole blocks: an unprintable character is '?'; a ROM copies only its whole blocks, so the
// odd remainder of a save ROM never lands on the ROM after it.
TEST_F(Mends, UnprintableNamesAndOddRemaindersStayOutOfTheImage) {
    addOk(rom(4), false, "Pok\xC3\xA9mon\tX\x7F"); // placed at block 4 at compilation
    addOk(rom(2, 7232), true, "saved");            // fixed at blocks 2 and 3; 7232 more bytes
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    ASSERT_EQ(state.table.text(0, Column::Location), "4");
    const Bytes menu = test::readFile(folder / "Menu.GB");
    const std::string entry(menu.begin() + menu::kNameEntries, menu.begin() + menu::kNameEntries + 16);
    EXPECT_EQ(entry, "POK?MON?X?      ");
    const Bytes image = test::readFile(folder / "Output.GB");
    const Bytes following = test::readFile(folder / rom(4));
    EXPECT_TRUE(std::equal(following.begin(), following.begin() + kBlockSize,
                           image.begin() + 4 * static_cast<std::ptrdiff_t>(kBlockSize)))
        << "the save ROM's remainder spilled into block 4";
    EXPECT_EQ(compiledOutputBreak(state, folder.path(), test::menuTemplate()), "");
}

// Found by fuzzing: a text of more than 64 bits wrapped around to a small number.
TEST(MendsNumbers, TextsPast64BitsAreNoNumber) {
    EXPECT_EQ(readNumberText("9223372036854775807"), 9223372036854775807);
    EXPECT_EQ(readNumberText("9223372036854775808"), std::nullopt);
    EXPECT_EQ(readNumberText("18446744073709551617"), std::nullopt);
    EXPECT_EQ(readNumberText("00020000000000000000001"), std::nullopt);
}

} // namespace
} // namespace romc::hardening
