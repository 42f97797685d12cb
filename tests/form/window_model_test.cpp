// The window driven through its model as a user drives the window: start state, "Find File", "Add ROM"
// with the Save box rule, row selection, "Remove ROM", "Clear List", "Generate Compilation", the messages
// of refused ROMs and failed compilations, and what the face must show again after each event.
#include "compile/journal.h"
#include "files/temporary_name.h"
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace romform {
namespace {

using enum ControlId;
using romc::kBlockSize;
using romc::test::makeRom;
using Row = std::vector<std::string>;

constexpr ControlId kLists[] = {List1, List2, List3, List4, List5, List6, List7};

std::string markedBlocks(const romc::TableState& state) {
    std::string runs;
    int first = -1;
    for (int b = 0; b <= romc::kFlashBlocks; ++b) {
        const bool taken = b < romc::kFlashBlocks && state.blocks[static_cast<std::size_t>(b)] == 1;
        if (taken && first < 0) {
            first = b;
        } else if (!taken && first >= 0) {
            runs += (runs.empty() ? "" : ",") + std::to_string(first) + "-" + std::to_string(b - 1);
            first = -1;
        }
    }
    return runs;
}

class WindowModelTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        loaded = model.load();
    }

    Reaction findFile(const std::string& path) {
        dialogs.choose(path);
        return model.findFile();
    }

    void setSaveBox(bool ticked) {
        if (model.checked(Check1) != ticked) {
            model.saveBoxChanged(ticked);
        }
    }

    // "Find File" with `path`, the name as proposed or typed, "Save?" as given, "Add ROM".
    Reaction addRom(const std::string& path, bool save, std::optional<std::string> name = std::nullopt) {
        findFile(path);
        if (name) {
            model.textEdited(Text1, *name);
        }
        setSaveBox(save);
        return model.addRom();
    }

    void rom(const std::string& file, int blocks, std::size_t extraBytes = 0) {
        makeRom(folder.path(), file, static_cast<std::size_t>(blocks) * kBlockSize + extraBytes, ++seed_);
    }

    Row row(int r) const {
        Row texts;
        for (ControlId list : kLists) {
            const auto& rows = model.rows(list);
            texts.push_back(static_cast<std::size_t>(r) < rows.size() ? rows[static_cast<std::size_t>(r)]
                                                                      : "<missing>");
        }
        return texts;
    }

    // Everything a user can see, and the block map and save-bank counter behind it.
    std::string seen() const {
        std::ostringstream out;
        for (const Control& c : controlTable()) {
            out << c.name << ": [" << model.text(c.id) << "] " << model.enabled(c.id) << model.checked(c.id);
            for (const auto& text : model.rows(c.id)) {
                out << '|' << text;
            }
            out << " selected " << model.selectedRow(c.id) << '\n';
        }
        out << buttonStateName(model.buttonState()) << ' ' << markedBlocks(model.tableState())
            << " next bank " << model.tableState().nextSaveBank;
        return out.str();
    }

    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
    Reaction loaded;

  private:
    std::uint32_t seed_ = 0;
};

TEST_F(WindowModelTest, StartStateHasAddRomOffAndEverythingEmpty) {
    EXPECT_EQ(model.buttonState(), ButtonState::WaitingForFile);
    EXPECT_FALSE(model.enabled(Command2));
    EXPECT_TRUE(model.enabled(Command1) && model.enabled(Command3));
    EXPECT_TRUE(model.enabled(Command4) && model.enabled(Command5));
    EXPECT_EQ(model.text(Text1), "");
    EXPECT_EQ(model.text(Text2), " ");
    EXPECT_EQ(model.text(Text3), "0");
    EXPECT_EQ(model.text(Text4), "0");
    EXPECT_FALSE(model.checked(Check1));
    for (ControlId list : kLists) {
        EXPECT_TRUE(model.rows(list).empty());
        EXPECT_EQ(model.selectedRow(list), romc::kNoRowSelected);
    }
    EXPECT_EQ(markedBlocks(model.tableState()), "0-0");
    EXPECT_EQ(model.tableState().nextSaveBank, 0);
    EXPECT_EQ(model.caption(), "Tarnwick 256M ROM Compiler");
    // The window has File, Edit, View and Help menus and shows its work folder in the status line.
    ASSERT_EQ(model.menuBar().menus.size(), 4u);
    EXPECT_EQ(model.menuBar().menus[0].caption, "File");
    EXPECT_EQ(model.menuBar().menus[1].caption, "Edit");
    EXPECT_EQ(model.menuBar().menus[2].caption, "View");
    EXPECT_EQ(model.menuBar().menus[3].caption, "Help");
    EXPECT_EQ(model.statusText(),
              "No ROMs in the table: 1 of 1024 blocks (the menu)\n0 of 16 save banks used. Work folder: " +
                  folder.path().string());
    // Loading shows every control as the model holds it and puts the focus in the name box.
    EXPECT_EQ(loaded.refresh, Refresh::everything());
    EXPECT_EQ(loaded.focus, Text1);
    EXPECT_FALSE(loaded.message);
}

TEST_F(WindowModelTest, FindFileProposesName) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/roms/PUZZLE.GB", "PUZZLE"},
        {"/roms/A VERY LONG GAME TITLE.GB", "A VERY LONG GAME"},
        {"/roms/SPACE ADVENTURE DX.GBC", "SPACE ADVENTURE "},
        {"/roms/ABC", ""},
        {"tetris.gb", "tetris"},
        // Characters are counted, not bytes: "é" is two bytes of UTF-8.
        {"/roms/Café Racer Deluxe.gb", "Café Racer Delux"},
    };
    for (const auto& c : cases) {
        model.textEdited(Text1, "OLD NAME");
        setSaveBox(true);
        const Reaction reaction = findFile(c.path);
        EXPECT_EQ(model.text(Text2), c.path);
        EXPECT_EQ(model.text(Text1), c.name) << c.path;
        EXPECT_EQ(model.buttonState(), ButtonState::FileHeld);
        EXPECT_TRUE(reaction.refresh.has(Text1) && reaction.refresh.has(Text2));
        EXPECT_TRUE(reaction.refresh.has(Command2));
        // A file with no valid header proposes no save memory: the box is unticked whatever the ROM before
        // had; the table is left alone.
        EXPECT_FALSE(model.checked(Check1));
        EXPECT_FALSE(reaction.refresh.has(List1));
        EXPECT_TRUE(model.rows(List1).empty());
    }
    ASSERT_FALSE(dialogs.shown.empty());
    const FileDialog& shown = dialogs.shown.front();
    EXPECT_EQ(shown.pick, FilePick::OneToOpen);
    EXPECT_EQ(shown.title, "Select File");
    ASSERT_EQ(shown.filters.size(), 2u);
    EXPECT_EQ(shown.filters[0].description, "GB ROM(*.GB *.GBC *.SGB *.ZIP *.7Z *.GZ)");
    EXPECT_EQ(shown.filters[0].patterns,
              (std::vector<std::string>{"*.GB", "*.GBC", "*.SGB", "*.ZIP", "*.7Z", "*.GZ"}));
    EXPECT_EQ(shown.filters[1].description, "All Files(*.*)");
    EXPECT_EQ(shown.defaultSuffix, "GB");
}

TEST_F(WindowModelTest, CancelledFirstFindFileEmptiesPathOnly) {
    model.textEdited(Text1, "KEPT");
    const Reaction reaction = findFile("");
    EXPECT_EQ(model.text(Text2), "");
    EXPECT_EQ(model.text(Text1), "KEPT");
    EXPECT_FALSE(model.enabled(Command2));
    EXPECT_EQ(model.buttonState(), ButtonState::WaitingForFile);
    EXPECT_EQ(reaction.refresh, Refresh{Text2});
}

// The dialog keeps its file from one use to the next: a cancel takes it again. It opens in the work folder
// with an empty name box, so that a folder typed there is not glued onto the last file.
TEST_F(WindowModelTest, CancelAfterAChoiceTakesTheHeldFileAgain) {
    findFile("/roms/PUZZLE.GB");
    model.textEdited(Text1, "EDITED");
    model.textEdited(Text2, "edited.gb");
    findFile("");
    EXPECT_EQ(model.text(Text2), "/roms/PUZZLE.GB");
    EXPECT_EQ(model.text(Text1), "PUZZLE");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    for (const FileDialog& shown : dialogs.shown) {
        EXPECT_EQ(shown.startPath, "");
        EXPECT_EQ(shown.startFolder, folder.path().string());
    }
}

TEST_F(WindowModelTest, AddRomAppendsRow) {
    const struct {
        const char* what;
        std::size_t bytes;
        bool save;
        Row row; // without the path
        bool saveBoxAfter;
        int nextSaveBankAfter;
        const char* blocksAfter;
    } cases[] = {
        {"1 MiB without save",
         32 * kBlockSize,
         false,
         {"PUZZLE", "32", "N", "N/A", "0", "224"},
         false,
         0,
         "0-0"},
        {"first save ROM of 32 blocks",
         32 * kBlockSize,
         true,
         {"PUZZLE", "32", "Y", " 0", "32", "224"},
         true,
         1,
         "0-0,32-63"},
        {"first save ROM of 64 blocks",
         64 * kBlockSize,
         true,
         {"PUZZLE", "64", "Y", " 1", "64", "192"},
         true,
         2,
         "0-0,64-127"},
        {"256 blocks never get save memory",
         256 * kBlockSize,
         true,
         {"PUZZLE", "256", "N", "N/A", "0", "192"},
         false,
         0,
         "0-0"},
        {"40000 bytes make one block",
         40000,
         false,
         {"PUZZLE", "1", "N", "N/A", "0", "255"},
         false,
         0,
         "0-0"},
    };
    for (const auto& c : cases) {
        model.clearList();
        setSaveBox(false);
        makeRom(folder.path(), "puzzle.gb", c.bytes, 7);
        findFile("puzzle.gb");
        EXPECT_EQ(model.text(Text1), "puzzle"); // typed case stays until the row is added
        setSaveBox(c.save);
        const Reaction reaction = model.addRom();
        EXPECT_FALSE(reaction.message) << c.what;
        Row expected = c.row;
        expected.insert(expected.begin() + 1, "puzzle.gb");
        EXPECT_EQ(row(0), expected) << c.what;
        EXPECT_EQ(model.rows(List1).size(), 1u) << c.what;
        EXPECT_EQ(model.checked(Check1), c.saveBoxAfter) << c.what;
        EXPECT_EQ(model.tableState().nextSaveBank, c.nextSaveBankAfter) << c.what;
        EXPECT_EQ(markedBlocks(model.tableState()), c.blocksAfter) << c.what;
        EXPECT_EQ(model.text(Text3), "1");
        EXPECT_EQ(model.text(Text4), "1");
        // The input boxes keep their texts and "Add ROM" stays enabled: pressing it again adds the file
        // again.
        EXPECT_EQ(model.text(Text1), "puzzle");
        EXPECT_EQ(model.text(Text2), "puzzle.gb");
        EXPECT_TRUE(model.enabled(Command2));
        for (ControlId shown : {Check1, List1, List7, Text3, Text4}) {
            EXPECT_TRUE(reaction.refresh.has(shown)) << c.what << ": " << control(shown).name;
        }
        EXPECT_TRUE(reaction.refresh.has(WindowPart::FlashView));
        EXPECT_FALSE(reaction.refresh.has(Text1) || reaction.refresh.has(Text2)) << c.what;
    }
}

TEST_F(WindowModelTest, AddRomTakesWhatWasTypedIntoTheBoxes) {
    rom("A.GB", 2);
    model.clearList();
    model.textEdited(Text2, "A.GB");
    model.textEdited(Text1, "hand typed");
    EXPECT_TRUE(model.addRom().refresh.has(List1));
    EXPECT_EQ(row(0), (Row{"HAND TYPED", "A.GB", "2", "N", "N/A", "0", "254"}));
}

TEST_F(WindowModelTest, SaveBoxRuleHoldsOnceBank15IsHandedOut) {
    rom("ONE.GB", 1);
    for (int bank = 0; bank < 16; ++bank) {
        EXPECT_TRUE(model.checked(Check1) || bank == 0) << "box unticked before bank " << bank;
        addRom("ONE.GB", true);
        EXPECT_EQ(model.rows(List5).at(static_cast<std::size_t>(bank)), " " + std::to_string(bank));
        EXPECT_EQ(model.rows(List6).at(static_cast<std::size_t>(bank)),
                  std::to_string(bank == 0 ? 1 : bank * 64));
    }
    EXPECT_EQ(model.tableState().nextSaveBank, 16);
    EXPECT_FALSE(model.checked(Check1));
    // The user's tick is undone at once, and the face is told to show the box again.
    EXPECT_EQ(model.saveBoxChanged(true).refresh, Refresh{Check1});
    EXPECT_FALSE(model.checked(Check1));
    EXPECT_FALSE(model.addRom().message);
    EXPECT_EQ(row(16), (Row{"ONE", "ONE.GB", "1", "N", "N/A", "0", "255"}));
    EXPECT_EQ(model.text(Text3), "17");
    EXPECT_EQ(model.text(Text4), "2");
}

TEST_F(WindowModelTest, SaveBoxRuleLeavesTickBeforeBank16) {
    EXPECT_TRUE(model.saveBoxChanged(true).refresh.empty());
    EXPECT_TRUE(model.checked(Check1));
    EXPECT_TRUE(model.saveBoxChanged(false).refresh.empty());
    EXPECT_FALSE(model.checked(Check1));
}

TEST_F(WindowModelTest, CounterBoxesCountRowsAndPages) {
    rom("ONE.GB", 1);
    const struct {
        int rows;
        const char* count;
        const char* pages;
    } expected[] = {{1, "1", "1"}, {10, "10", "1"}, {11, "11", "2"}, {20, "20", "2"}, {21, "21", "3"}};
    int added = 0;
    for (const auto& e : expected) {
        while (added < e.rows) {
            addRom("ONE.GB", false);
            ++added;
        }
        EXPECT_EQ(model.text(Text3), e.count);
        EXPECT_EQ(model.text(Text4), e.pages);
    }
}

TEST_F(WindowModelTest, NameColumnSelectsWholeRow) {
    rom("ONE.GB", 1);
    for (int i = 0; i < 3; ++i) {
        addRom("ONE.GB", false);
    }
    const Reaction reaction = model.rowSelected(List1, 2);
    for (ControlId list : kLists) {
        EXPECT_EQ(model.selectedRow(list), 2);
        EXPECT_TRUE(reaction.refresh.has(list));
    }
    model.rowSelected(List1, romc::kNoRowSelected);
    for (ControlId list : kLists) {
        EXPECT_EQ(model.selectedRow(list), romc::kNoRowSelected);
    }
}

TEST_F(WindowModelTest, OtherColumnMovesNoOtherSelection) {
    rom("A.GB", 1);
    rom("B.GB", 1);
    rom("C.GB", 1);
    for (ControlId clicked : {List2, List3, List4, List5, List6, List7}) {
        model.clearList();
        for (const char* file : {"A.GB", "B.GB", "C.GB"}) {
            addRom(file, false);
        }
        model.rowSelected(List1, 0);
        EXPECT_TRUE(model.rowSelected(clicked, 2).refresh.empty());
        for (ControlId list : kLists) {
            EXPECT_EQ(model.selectedRow(list), list == clicked ? 2 : 0) << control(clicked).name;
        }
        // "Remove ROM" still removes the row selected in the name column.
        model.removeRom();
        EXPECT_EQ(model.rows(List1), (Row{"B", "C"}));
        EXPECT_EQ(model.rows(List2), (Row{"B.GB", "C.GB"}));
    }
}

TEST_F(WindowModelTest, RemoveRomDeletesSelectedRowFromEveryColumn) {
    rom("A.GB", 1);
    rom("B.GB", 4);
    rom("C.GB", 2);
    addRom("A.GB", false);
    addRom("B.GB", true);
    addRom("C.GB", false);
    const Row rowB = row(1);
    const Row rowC = row(2);
    model.rowSelected(List1, 0);
    const Reaction reaction = model.removeRom();
    EXPECT_EQ(row(0), rowB);
    EXPECT_EQ(row(1), rowC);
    for (ControlId list : kLists) {
        EXPECT_EQ(model.rows(list).size(), 2u);
        EXPECT_EQ(model.selectedRow(list), romc::kNoRowSelected);
        EXPECT_TRUE(reaction.refresh.has(list));
    }
    EXPECT_EQ(model.text(Text3), "2");
    EXPECT_EQ(model.text(Text4), "1");
    EXPECT_TRUE(model.enabled(Command5));

    // A removed save ROM keeps its bank and blocks handed out until "Clear List".
    model.rowSelected(List1, 0);
    model.removeRom();
    EXPECT_EQ(model.rows(List1), Row{"C"});
    EXPECT_EQ(markedBlocks(model.tableState()), "0-0,4-7");
    EXPECT_EQ(model.tableState().nextSaveBank, 1);

    model.rowSelected(List1, 0);
    model.removeRom();
    for (ControlId list : kLists) {
        EXPECT_TRUE(model.rows(list).empty());
    }
    EXPECT_EQ(model.text(Text3), "0");
    EXPECT_EQ(model.text(Text4), "0");
}

TEST_F(WindowModelTest, RemoveRomWithoutSelectionChangesNothing) {
    rom("A.GB", 1);
    addRom("A.GB", false);
    addRom("A.GB", false);
    model.rowSelected(List2, 1);
    const std::string before = seen();
    const Reaction reaction = model.removeRom();
    EXPECT_TRUE(reaction.refresh.empty() && !reaction.message);
    EXPECT_EQ(seen(), before);
}

TEST_F(WindowModelTest, ClearListEmptiesTableAndEnablesButtons) {
    rom("A.GB", 2);
    addRom("A.GB", true);
    addRom("A.GB", false, "Other");
    model.rowSelected(List1, 1);
    const Reaction reaction = model.clearList();
    for (ControlId list : kLists) {
        EXPECT_TRUE(model.rows(list).empty());
        EXPECT_EQ(model.selectedRow(list), romc::kNoRowSelected);
        EXPECT_TRUE(reaction.refresh.has(list));
    }
    EXPECT_EQ(model.text(Text3), "0");
    EXPECT_EQ(model.text(Text4), "0");
    EXPECT_EQ(markedBlocks(model.tableState()), "0-0");
    EXPECT_EQ(model.tableState().nextSaveBank, 0);
    // The input boxes and the Save box keep what the user put there.
    EXPECT_EQ(model.text(Text1), "Other");
    EXPECT_EQ(model.text(Text2), "A.GB");
    EXPECT_FALSE(model.checked(Check1));
    EXPECT_FALSE(reaction.refresh.has(Text1) || reaction.refresh.has(Check1));
    EXPECT_EQ(model.buttonState(), ButtonState::FileHeld);
}

TEST_F(WindowModelTest, ClearListEnablesAddRomWithoutAPickedFile) {
    const Reaction reaction = model.clearList();
    EXPECT_TRUE(model.enabled(Command2) && model.enabled(Command4) && model.enabled(Command5));
    EXPECT_TRUE(reaction.refresh.has(Command2) && reaction.refresh.has(Command4) &&
                reaction.refresh.has(Command5));
}

// A one-block ROM whose cartridge header names `cartridgeType`, with a size code and checksum that agree.
std::vector<std::uint8_t> romWithHeader(std::uint8_t cartridgeType) {
    std::vector<std::uint8_t> bytes = romc::test::romBytes(kBlockSize, 99);
    const std::string title = "QUEST";
    std::fill(bytes.begin() + 0x134, bytes.begin() + 0x144, std::uint8_t{0});
    std::copy(title.begin(), title.end(), bytes.begin() + 0x134);
    bytes[0x147] = cartridgeType;
    bytes[0x148] = 0x00; // 32 KiB
    bytes[0x149] = 0x02; // 8 KiB of RAM
    std::uint8_t sum = 0;
    for (std::size_t i = 0x134; i <= 0x14C; ++i) {
        sum = static_cast<std::uint8_t>(sum - bytes[i] - 1);
    }
    bytes[0x14D] = sum;
    return bytes;
}

TEST_F(WindowModelTest, NameToolTipShowsHeaderFactsAndWarnings) {
    romc::test::writeFile(folder / "QUEST.GB", romWithHeader(0x03)); // MBC1+RAM+BATTERY
    romc::test::writeFile(folder / "QUEST2.GB", romWithHeader(0x03));
    addRom("QUEST.GB", false);
    addRom("QUEST2.GB", true, "QUEST");
    const std::string withoutSave = model.nameToolTip(0);
    const std::string withSave = model.nameToolTip(1);
    EXPECT_NE(withoutSave.find("QUEST"), std::string::npos) << withoutSave;
    EXPECT_NE(withoutSave.find("saves will be lost"), std::string::npos) << withoutSave;
    EXPECT_EQ(withSave.find("Warning"), std::string::npos) << withSave;
    EXPECT_EQ(model.nameToolTip(2), "");
    EXPECT_EQ(model.nameToolTip(-1), "");
    // The warning is in view without hovering: marked on its row, and in the status line once selected.
    EXPECT_NE(model.rowWarning(0).find("saves will be lost"), std::string::npos) << model.rowWarning(0);
    EXPECT_EQ(model.rowWarning(1), "");
    EXPECT_EQ(model.rowWarning(2), "");
    EXPECT_TRUE(model.rowSelected(List1, 0).refresh.has(WindowPart::StatusLine));
    // Under the draft, which the last action's outcome keeps leading.
    EXPECT_TRUE(model.statusText()->find("\n\"QUEST\": " + model.rowWarning(0) + "\n") != std::string::npos)
        << *model.statusText();
    // A save ROM says whether its save file is there, in the tooltip and the status line.
    EXPECT_NE(withSave.find("no save file (\"QUEST2.sav\")"), std::string::npos) << withSave;
    model.rowSelected(List1, 1);
    EXPECT_TRUE(model.statusText()->find("\n\"QUEST\": no save file (\"QUEST2.sav\")") != std::string::npos)
        << *model.statusText();
    romc::test::writeFile(folder / "QUEST2.sav", std::vector<std::uint8_t>(8192 + 48, 1));
    EXPECT_TRUE(model.statusText()->find("\n\"QUEST\": save: QUEST2.sav, 8 KiB") != std::string::npos)
        << *model.statusText();
    model.rowSelected(List1, romc::kNoRowSelected);
    EXPECT_TRUE(model.statusText()->starts_with("All 2 ROMs fit")) << *model.statusText();
}

TEST_F(WindowModelTest, CompilationPlacesRomsAndLocksButtons) {
    rom("quest.gb", 32);
    rom("PUZZLE.GB", 4);
    rom("tiny.gb", 1, 100);
    addRom("quest.gb", true);
    addRom("PUZZLE.GB", false);
    addRom("tiny.gb", false, "My Tiny Game");
    const Reaction reaction = model.generateCompilation();
    EXPECT_FALSE(reaction.message) << reaction.message->text;
    EXPECT_EQ(model.rows(List6), (Row{"32", "4", "1"}));
    EXPECT_EQ(model.rows(List1), (Row{"QUEST", "PUZZLE", "MY TINY GAME"}));
    EXPECT_TRUE(reaction.refresh.has(List6) && reaction.refresh.has(Command4));
    EXPECT_TRUE(model.compiled());
    EXPECT_TRUE(std::filesystem::exists(folder / "Output.GB"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Output1.GB"));
}

TEST_F(WindowModelTest, StatusLineTellsTheDraftThenWhatWasWrittenAndOffersToRemoveLeftoverPieces) {
    const auto firstLine = [&] {
        const std::string text = *model.statusText();
        return text.substr(0, text.find('\n'));
    };
    const auto leftoverItem = [&] {
        const MenuBar bar = model.menuBar();
        for (const auto& item : bar.menus.front().items) {
            if (item.command == MenuCommand::RemoveLeftoverPieces) {
                return item.enabled;
            }
        }
        ADD_FAILURE() << "no Remove Left-over Pieces item";
        return false;
    };
    for (const char* piece : {"Output3.GB", "Output4.GB"}) {
        std::ofstream(folder.path() / piece) << "from a larger compilation";
    }
    rom("a.gb", 2);
    rom("big.gb", 256);
    addRom((folder.path() / "a.gb").string(), false);
    EXPECT_EQ(firstLine(), "The ROM fits: 3 of 1024 blocks; Output.GB will be 128 KiB, 1 piece");
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(addRom((folder.path() / "big.gb").string(), false, "BIG" + std::to_string(i))
                        .refresh.has(WindowPart::StatusLine));
    }
    EXPECT_TRUE(firstLine().starts_with("1 ROM would not fit: \"BIG3\" (256 blocks)")) << firstLine();
    model.rowSelected(List1, 4);
    model.removeRom();
    EXPECT_FALSE(leftoverItem()); // not compiled yet: nothing says which pieces "Output.GB" reaches
    model.rowSelected(List1, 3);
    model.removeRom();
    model.rowSelected(List1, 2);
    model.removeRom();

    ASSERT_FALSE(model.generateCompilation().message.has_value());
    const std::string wrote =
        "Wrote Output.GB and Output1.GB..Output2.GB (16 MiB) in " + folder.path().string();
    EXPECT_EQ(firstLine(), wrote) << "the compilation removed the pieces its image does not reach";
    EXPECT_FALSE(leftoverItem());
    for (const char* piece : {"Output3.GB", "Output4.GB"}) {
        std::ofstream(folder.path() / piece) << "copied back from a backup";
    }
    EXPECT_EQ(firstLine(), wrote + ". Output3.GB and Output4.GB are left from an earlier, larger compilation"
                                   " (File > Remove Left-over Pieces)");
    EXPECT_TRUE(leftoverItem());
    const struct {
        Choice answer;
        bool removed;
    } answers[] = {{Choice::No, false}, {Choice::Yes, true}};
    for (const auto& a : answers) {
        dialogs.answers = {a.answer};
        const auto reaction = model.menuCommand(MenuCommand::RemoveLeftoverPieces);
        EXPECT_FALSE(reaction.message.has_value());
        EXPECT_EQ(std::filesystem::exists(folder.path() / "Output3.GB"), !a.removed);
        EXPECT_EQ(std::filesystem::exists(folder.path() / "Output4.GB"), !a.removed);
    }
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "Output2.GB"));
    EXPECT_FALSE(leftoverItem());
    EXPECT_EQ(firstLine().find("left from"), std::string::npos) << firstLine();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_NE(dialogs.asked[0].text.find("Output3.GB and Output4.GB"), std::string::npos)
        << dialogs.asked[0].text;
}

TEST_F(WindowModelTest, RefusedRomShowsWarningAndKeepsEverything) {
    const struct {
        const char* file;
        std::optional<std::size_t> bytes; // none: no such file
        int bigSaveRomsFirst;
        const char* reason;
    } cases[] = {
        {"GONE.GB", std::nullopt, 0, "No such file"},
        {"SHORT.GB", 1000, 0, "shorter than one"},
        {"HUGE.GB", 257 * kBlockSize, 0, "longer than the largest"},
        {"BIG.GB", 255 * kBlockSize, 3, "past the last flash block"},
    };
    rom("A.GB", 1);
    for (const auto& c : cases) {
        model.clearList();
        if (c.bytes) {
            makeRom(folder.path(), c.file, *c.bytes, 2);
        }
        addRom("A.GB", false);
        for (int i = 0; i < c.bigSaveRomsFirst; ++i) {
            addRom(c.file, true);
        }
        findFile(c.file);
        setSaveBox(c.bigSaveRomsFirst > 0);
        model.rowSelected(List1, 0);
        const std::string before = seen();

        const Reaction reaction = model.addRom();
        ASSERT_TRUE(reaction.message) << c.file;
        EXPECT_EQ(reaction.message->severity, Severity::Warning);
        EXPECT_EQ(reaction.message->title, "Tarnwick 256M ROM Compiler - Add ROM");
        EXPECT_NE(reaction.message->text.find('"' + std::string(c.file) + '"'), std::string::npos)
            << reaction.message->text;
        EXPECT_NE(reaction.message->text.find(c.reason), std::string::npos) << reaction.message->text;
        EXPECT_TRUE(reaction.refresh.empty());
        EXPECT_EQ(seen(), before);
    }
}

TEST_F(WindowModelTest, FailedCompilationShowsErrorAndKeepsEverything) {
    enum class Cause { EmptyTable, NoMenu, RomGone, RomDoesNotFit };
    const struct {
        Cause cause;
        const char* reason;
    } cases[] = {
        {Cause::EmptyTable, "nothing to compile"},
        {Cause::NoMenu, "\"Menu.GB\" is missing"},
        {Cause::RomGone, "\"B.GB\""},
        {Cause::RomDoesNotFit, "does not fit"},
    };
    for (const auto& c : cases) {
        model.clearList();
        romc::test::writeFile(folder / "Menu.GB", romc::test::menuTemplate());
        rom("A.GB", 4);
        rom("B.GB", 2);
        rom("FULL.GB", 256);
        if (c.cause != Cause::EmptyTable) {
            addRom("A.GB", true);
            addRom("B.GB", false);
        }
        if (c.cause == Cause::RomDoesNotFit) {
            for (int i = 0; i < 4; ++i) {
                addRom("FULL.GB", false);
            }
        }
        if (c.cause == Cause::RomGone) {
            std::filesystem::remove(folder / "B.GB");
        }
        if (c.cause == Cause::NoMenu) {
            std::filesystem::remove(folder / "Menu.GB");
        }
        const std::string before = seen();
        const auto filesBefore = contents();

        const Reaction reaction = model.generateCompilation();
        ASSERT_TRUE(reaction.message) << c.reason;
        EXPECT_EQ(reaction.message->severity, Severity::Error);
        EXPECT_EQ(reaction.message->title, "Tarnwick 256M ROM Compiler - Generate Compilation");
        EXPECT_NE(reaction.message->text.find(c.reason), std::string::npos) << reaction.message->text;
        EXPECT_TRUE(reaction.refresh.empty());
        EXPECT_EQ(seen(), before);
        EXPECT_EQ(contents(), filesBefore) << c.reason;
    }
}

TEST_F(WindowModelTest, CounterBoxesAndDebugTakeNoInput) {
    rom("A.GB", 1);
    addRom("A.GB", false);
    const std::string before = seen();
    // Typing into a counter box shows the count again; "Debug" shows and changes nothing.
    EXPECT_EQ(model.textEdited(Text3, "99").refresh, Refresh{Text3});
    EXPECT_EQ(model.textEdited(Text4, "9").refresh, Refresh{Text4});
    const Reaction debug = model.debug();
    EXPECT_TRUE(debug.refresh.empty() && !debug.message);
    EXPECT_TRUE(model.menuCommand(MenuCommand{}).refresh.empty());
    EXPECT_EQ(seen(), before);
}

} // namespace
} // namespace romform

namespace romform {
namespace {

// The name box takes the 16 characters the menu shows, cut on a character, and the status line shows the
// name as the menu will, naming the characters it cannot show.
TEST_F(WindowModelTest, NameBoxTakesSixteenCharactersAndTheStatusLineShowsTheMenuName) {
    const struct {
        const char* typed;
        const char* box;
        bool cut;
        const char* status; // the start of the second line; "" for none
    } cases[] = {
        {"Caf\xC3\xA9", "Caf\xC3\xA9", false, "Menu name \"CAF?\" (\"\xC3\xA9\" cannot be shown). "},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP", true, "Menu name \"ABCDEFGHIJKLMNOP\". "},
        {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         true, "Menu name \"????????????????\""},
        {"What?", "What?", false, "Menu name \"WHAT?\". "},
        {"", "", false, "0 of 16"},
    };
    for (const auto& c : cases) {
        const Reaction reaction = model.textEdited(Text1, c.typed);
        EXPECT_EQ(model.text(Text1), c.box) << c.typed;
        EXPECT_EQ(reaction.refresh.has(Text1), c.cut) << c.typed;
        EXPECT_TRUE(reaction.refresh.has(WindowPart::StatusLine));
        const std::string status = model.statusText().value_or("");
        EXPECT_EQ(status.substr(status.find('\n') + 1, std::string(c.status).size()), c.status) << status;
    }
}

TEST_F(WindowModelTest, WindowCompletesAnInterruptedCompilationWhenItComesToTheFolderAndSaysSo) {
    romc::test::ScratchFolder work;
    romc::test::writeFile(work / "Menu.GB", romc::test::menuTemplate());
    const auto identity = [](const std::filesystem::path& path) {
        return romc::systemDisk().openForReading(path).value->identity();
    };
    const auto temporary = romc::temporaryNameFor("Output.GB");
    const std::vector<std::uint8_t> image(romc::kBlockSize, 0x3C);
    romc::test::writeFile(work.path() / temporary, image);
    const std::string journal = romc::journalText(
        {identity(work.path()), {{temporary, "Output.GB", identity(work.path() / temporary)}}, {}});
    romc::test::writeFile(work / romc::kJournalName,
                          std::vector<std::uint8_t>(journal.begin(), journal.end()));

    WindowModel started{dialogs, work.path()};
    started.load();
    EXPECT_TRUE(started.statusText()->starts_with("Completed the interrupted compilation of \"" +
                                                  work.path().string() + "\": \"Output.GB\"\n"))
        << *started.statusText();
    EXPECT_EQ(romc::test::readFile(work / "Output.GB"), image);
    EXPECT_FALSE(std::filesystem::exists(work / romc::kJournalName));
}

} // namespace
} // namespace romform
