// The File menu's list commands through the model: the caption's "*" after each action, Save / Discard /
// Cancel before closing, a saved list opened again giving the same table, and lists refused whole or in part.
#include "form/window_model.h"
#include "lists/recent_lists.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace romform {
namespace {

using enum ControlId;
using romc::kBlockSize;

constexpr const char* kBare = "Tarnwick 256M ROM Compiler";

class ListCommandsTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        model.load();
        romc::test::makeRom(folder.path(), "a.gb", 2 * kBlockSize, 1);
        romc::test::makeRom(folder.path(), "b.gb", 4 * kBlockSize, 2);
    }

    void addRom(const std::string& file) {
        dialogs.choose((folder.path() / file).string());
        model.findFile();
        ASSERT_FALSE(model.addRom().message.has_value()) << file;
    }

    std::string listPath(const std::string& name) const { return (folder.path() / name).string(); }

    void writeFile(const std::string& name, const std::string& text) const {
        std::ofstream(folder.path() / name, std::ios::binary) << text;
    }

    std::string names() const {
        std::string joined;
        for (const auto& name : model.rows(List1)) {
            joined += name + ";";
        }
        return joined;
    }

    // The File menu's items from the first recent list to the one before "Work Folder...".
    std::vector<std::string> recentCaptions() const {
        std::vector<std::string> captions;
        const MenuBar bar = model.menuBar();
        for (const auto& item : bar.menus.front().items) {
            const int command = static_cast<int>(item.command);
            if (command >= static_cast<int>(MenuCommand::RecentList1) &&
                command <= static_cast<int>(MenuCommand::RecentList5)) {
                captions.push_back(item.caption);
            }
        }
        return captions;
    }

    std::filesystem::path recentFile() const { return folder.path() / "settings" / "recent-lists.json"; }

    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path(), recentFile()};
};

TEST_F(ListCommandsTest, FileAndHelpMenusInOrderWithShortcuts) {
    std::ostringstream shown;
    for (const auto& menu : model.menuBar().menus) {
        shown << menu.caption << ':';
        for (const auto& item : menu.items) {
            shown << (item.separatorBefore ? " |" : "") << ' ' << static_cast<int>(item.command) << '='
                  << item.caption << '[' << item.shortcut << ']';
        }
        shown << '\n';
    }
    EXPECT_EQ(shown.str(),
              "File: 200=Add ROMs...[Ctrl+Shift+A] 201=Names from Cartridge Titles[] | 100=Open "
              "List...[Ctrl+O] 101=Save List[Ctrl+S] 102=Save List As...[Ctrl+Shift+S] 400=Import "
              "Image...[Ctrl+I] | 320=Write Save Memory...[Ctrl+Shift+W] 321=Split Save "
              "Dump...[Ctrl+Shift+D] | 103=Work Folder...[Ctrl+Shift+F] 300=Remove Left-over "
              "Pieces...[Ctrl+Shift+R] | 190=Quit[Ctrl+Q]\nEdit: 210=Undo[Ctrl+Z] | 218=Rename[F2] 211=Move "
              "Up[Alt+Up] 212=Move Down[Alt+Down] 216=Move to Top[Alt+Home] 217=Move to Bottom[Alt+End] "
              "213=Sort by Name[Ctrl+Shift+N] | 214=Compact Save Banks[Ctrl+Shift+B] 215=Save "
              "Memory[Ctrl+Shift+M]\nView: 310=Flash Map[Ctrl+M]\nHelp: 900=About[F1]\n");
    const auto about = model.menuCommand(MenuCommand::About);
    ASSERT_TRUE(about.message.has_value());
    EXPECT_NE(about.message->text.find("Version "), std::string::npos);
}

// Alt and a letter open each menu and choose each item: one key per menu on the bar, one per item in its
// menu, a word's first letter where one is free; the recent lists take their number.
TEST_F(ListCommandsTest, EveryMenuAndItemHasItsOwnAccessKey) {
    addRom("a.gb");
    dialogs.choose(listPath("a & b.json")); // a recent list whose "&" is shown as it is
    model.saveListAs();
    std::ostringstream shown;
    for (const auto& menu : model.menuBar().menus) {
        shown << markedCaption(menu.caption, menu.accessKey) << ':';
        for (const auto& item : menu.items) {
            shown << ' ' << markedCaption(item.caption, item.accessKey) << ';';
        }
        shown << '\n';
    }
    EXPECT_EQ(shown.str(), "&File: &Add ROMs...; &Names from Cartridge Titles; &Open List...; &Save List; "
                           "Save &List As...; &Import Image...; &Write Save Memory...; Split Save &Dump...; "
                           "&1 a && b.json; Work &Folder...; &Remove Left-over Pieces...; &Quit;\n&Edit: "
                           "&Undo; &Rename; &Move Up; Move &Down; Move &to Top; Move to &Bottom; &Sort by "
                           "Name; &Compact Save Banks; S&ave Memory;\n&View: &Flash Map;\n&Help: &About;\n");
    EXPECT_EQ(markedCaption("A&B", -1), "A&&B");
}

TEST_F(ListCommandsTest, CaptionFollowsEveryChangeAndSave) {
    EXPECT_EQ(model.caption(), kBare);
    addRom("a.gb"); // no list in use yet: no "*"
    EXPECT_EQ(model.caption(), kBare);
    dialogs.choose(listPath("games.json"));
    EXPECT_TRUE(model.menuCommand(MenuCommand::SaveListAs).refresh.has(WindowPart::Caption));
    const struct {
        const char* step;
        std::function<void()> act;
        const char* caption;
    } steps[] = {
        {"saved", [] {}, "games.json - "},
        {"added", [&] { addRom("b.gb"); }, "games.json* - "},
        {"saved again", [&] { model.menuCommand(MenuCommand::SaveList); }, "games.json - "},
        {"removed",
         [&] {
             model.rowSelected(List1, 0);
             model.removeRom();
         },
         "games.json* - "},
        {"cleared after save",
         [&] {
             model.saveList();
             model.clearList();
         },
         "games.json* - "},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(model.caption(), std::string(s.caption) + kBare) << s.step;
    }
    EXPECT_TRUE(dialogs.picks.empty());
}

TEST_F(ListCommandsTest, SavedListOpensAsTheSameTable) {
    addRom("a.gb");
    addRom("b.gb");
    dialogs.choose(listPath("games.json"));
    model.saveListAs();
    const std::string before = names();
    model.clearList();
    dialogs.answers = {Choice::Discard};
    dialogs.choose(listPath("games.json"));
    const auto opened = model.openList();
    EXPECT_FALSE(opened.message.has_value());
    EXPECT_EQ(names(), before);
    EXPECT_EQ(model.rows(List2).size(), 2u);
    EXPECT_EQ(model.caption(), std::string("games.json - ") + kBare);
    std::ifstream in(folder.path() / "games.json");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\"file\": \"a.gb\""), std::string::npos) << text.str();
}

TEST_F(ListCommandsTest, CloseAsksOnlyAboutUnsavedChangesToAList) {
    addRom("a.gb");
    EXPECT_TRUE(model.requestClose().closeWindow); // no list opened or saved: nothing asked
    EXPECT_TRUE(dialogs.asked.empty());
    dialogs.choose(listPath("games.json"));
    model.saveListAs();
    EXPECT_TRUE(model.requestClose().closeWindow); // saved: nothing asked
    const struct {
        Choice answer;
        bool closes;
        bool stillModified;
    } cases[] = {
        {Choice::Cancel, false, true},
        {Choice::Discard, true, true},
        {Choice::Save, true, false},
    };
    for (const auto& c : cases) {
        addRom("b.gb");
        dialogs.answers = {c.answer};
        EXPECT_EQ(model.requestClose().closeWindow, c.closes) << static_cast<int>(c.answer);
        EXPECT_EQ(model.listModified(), c.stillModified) << static_cast<int>(c.answer);
    }
    EXPECT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[0].choices, (std::vector{Choice::Save, Choice::Discard, Choice::Cancel}));
    const auto quit = model.menuCommand(MenuCommand::Quit);
    EXPECT_TRUE(quit.closeWindow);
}

TEST_F(ListCommandsTest, SaveThatFailsOnCloseKeepsTheWindowAndSaysWhy) {
    std::filesystem::create_directory(folder.path() / "lists");
    dialogs.choose((folder.path() / "lists" / "games.json").string());
    model.saveListAs();
    addRom("a.gb");
    std::filesystem::remove_all(folder.path() / "lists");
    dialogs.answers = {Choice::Save};
    const auto close = model.requestClose();
    EXPECT_FALSE(close.closeWindow);
    ASSERT_TRUE(close.message.has_value());
    EXPECT_NE(close.message->text.find("games.json"), std::string::npos) << close.message->text;
    EXPECT_TRUE(model.listModified());
}

TEST_F(ListCommandsTest, RecentListsNewestFirstKeptForTheNextRun) {
    addRom("a.gb");
    std::filesystem::create_directory(folder.path() / "other");
    const std::vector<std::filesystem::path> saved = {"l1.json", "l2.json",       "l3.json", "l4.json",
                                                      "l5.json", "other/l6.json", "l6.json", "l2.json"};
    for (const auto& name : saved) {
        dialogs.choose((folder.path() / name).string());
        EXPECT_TRUE(model.saveListAs().refresh.has(WindowPart::MenuBar)) << name;
    }
    // l2 saved again moves to the front; l1 falls off; the two "l6.json" show their whole paths.
    const std::vector<std::string> expected = {"1 l2.json", "2 " + listPath("l6.json"),
                                               "3 " + (folder.path() / "other" / "l6.json").string(),
                                               "4 l5.json", "5 l4.json"};
    EXPECT_EQ(recentCaptions(), expected);

    test::ScriptedDialogs nextDialogs;
    WindowModel nextRun{nextDialogs, folder.path(), recentFile()};
    nextRun.load();
    EXPECT_EQ(nextRun.recentLists(), model.recentLists());
    EXPECT_FALSE(nextRun.menuCommand(MenuCommand::RecentList5).message.has_value());
    EXPECT_EQ(nextRun.caption(), std::string("l4.json - ") + kBare);
    EXPECT_EQ(nextRun.rows(List1).size(), 1u);
    EXPECT_EQ(nextRun.recentLists().front(), folder.path() / "l4.json");
}

TEST_F(ListCommandsTest, RecentListAsksFirstAndForgetsAListThatIsGone) {
    for (const char* name : {"kept.json", "gone.json"}) {
        dialogs.choose(listPath(name));
        model.saveListAs();
    }
    addRom("a.gb"); // unsaved changes to gone.json
    dialogs.answers = {Choice::Cancel};
    EXPECT_FALSE(model.menuCommand(MenuCommand::RecentList1).message.has_value());
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(model.listModified());

    std::filesystem::remove(folder.path() / "gone.json");
    dialogs.answers = {Choice::Discard};
    const auto gone = model.menuCommand(MenuCommand::RecentList1);
    ASSERT_TRUE(gone.message.has_value());
    EXPECT_NE(gone.message->text.find("gone.json"), std::string::npos) << gone.message->text;
    EXPECT_EQ(recentCaptions(), std::vector<std::string>{"1 kept.json"});
    EXPECT_EQ(romc::readRecentLists(recentFile()), model.recentLists());
    EXPECT_FALSE(model.menuCommand(MenuCommand::RecentList5).message.has_value()); // no such entry
}

TEST_F(ListCommandsTest, BrokenListsChangeNothing) {
    addRom("a.gb");
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"{ not json", "games.json"},
        {R"({"romcompiler-list": 2, "roms": []})", "games.json"},
        {R"({"romcompiler-list": 1, "roms": [{"name": "X"}]})", "games.json"},
    };
    for (const auto& c : cases) {
        writeFile("games.json", c.text);
        const auto reaction = model.openListFile(listPath("games.json"));
        ASSERT_TRUE(reaction.message.has_value()) << c.text;
        EXPECT_EQ(reaction.message->severity, Severity::Error);
        EXPECT_NE(reaction.message->text.find(c.reason), std::string::npos) << reaction.message->text;
        EXPECT_EQ(names(), "A;") << c.text;
        EXPECT_EQ(model.caption(), kBare);
    }
}

TEST_F(ListCommandsTest, RefusedEntriesAreNamedAndTheOthersAddedOnlyOnYes) {
    addRom("a.gb");
    writeFile("games.json", R"({"romcompiler-list": 1, "roms": [{"file": "gone.gb"}, {"file": "b.gb"}]})");
    dialogs.answers = {Choice::No};
    model.openListFile(listPath("games.json"));
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("gone.gb"), std::string::npos) << dialogs.asked[0].text;
    EXPECT_EQ(names(), "A;");
    dialogs.answers = {Choice::Yes};
    model.openListFile(listPath("games.json"));
    EXPECT_EQ(names(), "B;");
    // What was opened is no longer what the file holds.
    EXPECT_EQ(model.caption(), std::string("games.json* - ") + kBare);
}

TEST_F(ListCommandsTest, ListsMoveTheWorkFolderUntilTheUserChoosesOne) {
    const auto lists = folder.path() / "lists";
    std::filesystem::create_directory(lists);
    addRom("a.gb");
    dialogs.choose((lists / "games.json").string());
    EXPECT_TRUE(model.saveListAs().refresh.has(WindowPart::StatusLine));
    EXPECT_EQ(model.workFolder(), lists);
    EXPECT_TRUE(model.statusText()->ends_with(". Work folder: " + lists.string())) << *model.statusText();

    dialogs.choose((folder.path() / "a.gb").string()); // a file, not a folder
    const auto refused = model.menuCommand(MenuCommand::WorkFolder);
    ASSERT_TRUE(refused.message.has_value());
    EXPECT_NE(refused.message->text.find("a.gb\" is not a folder"), std::string::npos);
    EXPECT_EQ(model.workFolder(), lists);

    dialogs.choose(folder.path().string());
    model.chooseWorkFolder();
    EXPECT_EQ(dialogs.shown.back().pick, FilePick::Folder);
    dialogs.choose((lists / "other.json").string());
    model.saveListAs();
    EXPECT_EQ(model.workFolder(), folder.path()); // chosen in this run: saving no longer moves it
}

TEST_F(ListCommandsTest, SaveListAsNeverReplacesTheMenuAnOutputOrARomOfTheTable) {
    addRom("a.gb");
    writeFile("Output.GB", "an image");
    const auto before = contents();
    for (const char* kept : {"Menu.GB", "Output.GB", "Output3.GB", "a.gb"}) {
        dialogs.choose(listPath(kept)); // the dialog's own "Replace?" was answered yes
        const Reaction reaction = model.saveListAs();
        ASSERT_TRUE(reaction.message.has_value()) << kept;
        const std::string& text = reaction.message->text;
        EXPECT_NE(text.find("would replace \""), std::string::npos) << text;
        EXPECT_NE(text.find(std::string(kept) + "\";"), std::string::npos) << text;
        EXPECT_EQ(contents(), before) << kept;
        EXPECT_TRUE(model.listFile().empty()) << "Ctrl+S must not write there next";
        EXPECT_TRUE(recentCaptions().empty());
    }
}

TEST_F(ListCommandsTest, OpenedListLeavesAddRomOffUntilAFileIsPicked) {
    addRom("a.gb");
    dialogs.choose(listPath("games.json"));
    ASSERT_FALSE(model.saveListAs().message.has_value());
    for (const bool picked : {true, false}) {
        model.textEdited(Text2, picked ? listPath("b.gb") : "");
        ASSERT_FALSE(model.openListFile(listPath("games.json")).message.has_value());
        EXPECT_EQ(model.enabled(Command2), picked) << "with a file in the box: " << picked;
        EXPECT_TRUE(model.enabled(Command4));
    }
}

} // namespace
} // namespace romform
