// The table kept through a crash: written after every change to the session list, offered back by the next
// start only when the model before was never destroyed, removed on a clean end; and where every file dialog
// opens.
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace romform {
namespace {

using enum ControlId;
using romc::kBlockSize;

class LastSessionTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        for (const auto& [file, blocks] : {std::pair{"a.gb", 2}, std::pair{"Café Quest.gb", 4}}) {
            romc::test::makeRom(folder.path(), file, static_cast<std::size_t>(blocks) * kBlockSize, blocks);
        }
    }

    // A window started over the settings folder, as a user's window is.
    std::unique_ptr<WindowModel> start(test::ScriptedDialogs& dialogs) const {
        auto model = std::make_unique<WindowModel>(dialogs, folder.path(), std::nullopt, sessionFile());
        loaded = model->load();
        return model;
    }

    void add(WindowModel& model, test::ScriptedDialogs& dialogs, const std::string& file, bool save) const {
        dialogs.choose(utf8Path(file));
        model.findFile();
        if (model.checked(Check1) != save) {
            model.saveBoxChanged(save);
        }
        ASSERT_FALSE(model.addRom().message.has_value()) << file;
    }

    // A killed process: nothing runs at its end, so the disk keeps what the last change wrote.
    void killed(std::unique_ptr<WindowModel>& model) const {
        const auto kept = folder.path() / "kept.json";
        std::error_code error;
        std::filesystem::copy_file(sessionFile(), kept, error);
        model.reset();
        if (!error) {
            std::filesystem::rename(kept, sessionFile());
        }
    }

    // A file of the folder as the dialogs name it: UTF-8 on every system.
    std::string utf8Path(const std::string& file) const {
        return romc::pathToUtf8(folder.path() / romc::pathFromUtf8(file));
    }

    std::filesystem::path sessionFile() const { return folder.path() / "settings" / "last-session.json"; }

    mutable Reaction loaded;
};

// Each way a session ends, and what the next start offers and leaves.
TEST_F(LastSessionTest, AnUncleanEndIsOfferedBackAndACleanOneIsNot) {
    const struct {
        const char* what;
        bool clean;    // the model destroyed, as when the window closes
        bool cleared;  // Clear List before the end
        Choice answer; // to the question, when asked
        bool asked;
        std::vector<std::string> namesAfter;
        bool fileAfter;
    } cases[] = {
        {"killed, restored", false, false, Choice::Yes, true, {"A", "CAFé QUEST"}, true},
        {"killed, declined", false, false, Choice::No, true, {}, false},
        {"closed", true, false, Choice::Yes, false, {}, false},
        {"killed with an empty table", false, true, Choice::Yes, false, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(sessionFile());
        test::ScriptedDialogs first;
        auto model = start(first);
        add(*model, first, "a.gb", false);
        add(*model, first, "Café Quest.gb", true);
        ASSERT_TRUE(std::filesystem::exists(sessionFile()));
        if (c.cleared) {
            model->clearList();
        }
        if (c.clean) {
            model.reset();
        } else {
            killed(model);
        }
        EXPECT_EQ(std::filesystem::exists(sessionFile()), !c.clean && !c.cleared);

        test::ScriptedDialogs next;
        next.answers.push_back(c.answer);
        auto restarted = start(next);
        ASSERT_EQ(next.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(next.asked[0].text,
                      "The last session ended unexpectedly with 2 ROMs in the table. Restore them?");
            EXPECT_EQ(next.asked[0].defaultChoice, Choice::Yes);
        }
        EXPECT_EQ(restarted->rows(List1), c.namesAfter);
        EXPECT_EQ(std::filesystem::exists(sessionFile()), c.fileAfter);
        if (!c.namesAfter.empty()) {
            EXPECT_EQ(restarted->rows(List4), (std::vector<std::string>{"N", "Y"}));
            // The same file; a list spells its paths with "/" on every system.
            EXPECT_TRUE(std::filesystem::equivalent(romc::pathFromUtf8(restarted->rows(List2)[1]),
                                                    romc::pathFromUtf8(utf8Path("Café Quest.gb"))));
            EXPECT_TRUE(restarted->enabled(Command4));
            EXPECT_EQ(restarted->listFile(), std::filesystem::path()); // a table to save, no list in use
        }
        restarted.reset();
        EXPECT_FALSE(std::filesystem::exists(sessionFile()));
    }
}

TEST_F(LastSessionTest, EveryChangeIsKeptAndAMissingRomIsNamedOnRestore) {
    test::ScriptedDialogs first;
    auto model = start(first);
    add(*model, first, "a.gb", false);
    add(*model, first, "Café Quest.gb", false);
    model->rowSelected(List1, 0);
    model->removeRom();
    killed(model);
    std::filesystem::remove(folder.path() / romc::pathFromUtf8("Café Quest.gb"));

    test::ScriptedDialogs next;
    next.answers.push_back(Choice::Yes);
    auto restarted = start(next);
    ASSERT_EQ(next.asked.size(), 1u);
    EXPECT_EQ(next.asked[0].text,
              "The last session ended unexpectedly with 1 ROM in the table. Restore them?");
    EXPECT_TRUE(restarted->rows(List1).empty());
    ASSERT_TRUE(loaded.message.has_value());
    EXPECT_NE(loaded.message->text.find("Café Quest.gb"), std::string::npos) << loaded.message->text;
}

// A second window started while the first is open neither offers nor touches the first one's table.
TEST_F(LastSessionTest, ASecondWindowLeavesTheFirstOnesTableAlone) {
    test::ScriptedDialogs first;
    auto open = start(first);
    add(*open, first, "a.gb", false);
    {
        test::ScriptedDialogs second;
        auto other = start(second);
        EXPECT_TRUE(second.asked.empty());
        add(*other, second, "Café Quest.gb", false);
    } // the second window closes
    ASSERT_TRUE(std::filesystem::exists(sessionFile()));
    killed(open);
    test::ScriptedDialogs next;
    next.answers.push_back(Choice::Yes);
    auto restarted = start(next);
    ASSERT_EQ(next.asked.size(), 1u);
    EXPECT_EQ(restarted->rows(List1), std::vector<std::string>{"A"});
}

// A settings folder that cannot be made takes away the safety net, not the user's work: no message, the
// table changes as always.
TEST_F(LastSessionTest, AnUnwritableSettingsFolderChangesNothingTheUserSees) {
    romc::test::writeFile(folder.path() / "settings", std::vector<std::uint8_t>{1}); // a file, not a folder
    test::ScriptedDialogs dialogs;
    auto model = start(dialogs);
    dialogs.choose(utf8Path("a.gb"));
    model->findFile();
    const Reaction added = model->addRom();
    EXPECT_FALSE(added.message.has_value());
    EXPECT_EQ(model->rows(List1), std::vector<std::string>{"A"});
    EXPECT_FALSE(std::filesystem::exists(sessionFile()));
}

// Every file dialog opens in the work folder with no name left from an earlier use; Save List As proposes
// the list in use, else "games.json" there.
TEST_F(LastSessionTest, DialogsOpenInTheWorkFolderWithoutAStaleName) {
    test::ScriptedDialogs dialogs;
    auto model = start(dialogs);
    const std::string work = romc::pathToUtf8(folder.path());
    const std::string list = utf8Path("mine.json");
    const struct {
        const char* what;
        std::function<Reaction()> act;
        std::string answer;
        FilePick pick;
        std::string startPath;
    } cases[] = {
        {"Find File", [&] { return model->findFile(); }, utf8Path("a.gb"), FilePick::OneToOpen, ""},
        {"Find File again", [&] { return model->findFile(); }, "", FilePick::OneToOpen, ""},
        {"Add ROMs", [&] { return model->addRoms(); }, "", FilePick::SeveralToOpen, ""},
        {"Open List", [&] { return model->openList(); }, "", FilePick::OneToOpen, ""},
        {"Save List As, no list", [&] { return model->saveListAs(); }, list, FilePick::OneToSave,
         utf8Path("games.json")},
        {"Save List As, a list in use", [&] { return model->saveListAs(); }, "", FilePick::OneToSave, list},
        {"Import Image", [&] { return model->importImage(); }, "", FilePick::OneToOpen, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.shown.clear();
        dialogs.choose(c.answer);
        const Reaction reaction = c.act();
        EXPECT_FALSE(reaction.message.has_value());
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].pick, c.pick);
        EXPECT_EQ(dialogs.shown[0].startFolder, work);
        EXPECT_EQ(dialogs.shown[0].startPath, c.startPath);
    }
}

} // namespace
} // namespace romform
