// The Edit menu through the model: moves and sorting keep each save ROM's bank and blocks, every
// undoable action is taken back whole, and a compiled table changed and compiled again gives the image a
// fresh compilation of the final table gives.
#include "compile/image.h"
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <functional>
#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;
using romc::Column;

class EditMenuTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        model.load();
        int pattern = 1;
        for (const char* name : {"d.gb", "b.gb", "c.gb", "a.gb"}) {
            romc::test::makeRom(folder.path(), name, romc::kBlockSize * 2, pattern++);
        }
    }
    // Adds the ROMs of `names` ("a.gb" or "a.gb+" for save memory) through the boxes, as a user does.
    void add(WindowModel& into, test::ScriptedDialogs& answering, std::initializer_list<std::string> names) {
        for (std::string name : names) {
            const bool save = name.ends_with('+');
            name = name.substr(0, name.size() - (save ? 1 : 0));
            answering.choose((folder / name).string());
            into.findFile();
            into.saveBoxChanged(save);
            ASSERT_FALSE(into.addRom().message.has_value()) << name;
        }
    }
    std::string rowsOf(const WindowModel& of) const {
        std::string shown;
        const auto& table = of.tableState().table;
        for (std::size_t r = 0; r < table.rowCount(); ++r) {
            shown += table.text(r, Column::Name) + "/" + table.text(r, Column::SaveBank) + "/" +
                     table.text(r, Column::Location) + " ";
        }
        return shown;
    }
    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

TEST_F(EditMenuTest, MovesAndSortKeepSaveRomsWhereTheirBanksAreAndUndoTakesEachBack) {
    add(model, dialogs, {"d.gb", "b.gb+", "c.gb", "a.gb+"});
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    // The row chosen in the name column, then the Edit menu's move.
    const auto moving = [&](int row, MenuCommand command) {
        return [this, row, command] {
            model.rowSelected(List1, row);
            return model.menuCommand(command);
        };
    };
    const struct {
        const char* action;
        std::function<Reaction()> act;
        const char* rows; // name/bank/location after it
    } steps[] = {
        {"Move Up", moving(1, MenuCommand::MoveUp), "B/ 0/2 D/N/A/0 C/N/A/0 A/ 1/64 "},
        {"Move Down", moving(2, MenuCommand::MoveDown), "B/ 0/2 D/N/A/0 A/ 1/64 C/N/A/0 "},
        {"Move to Top", moving(3, MenuCommand::MoveToTop), "C/N/A/0 B/ 0/2 D/N/A/0 A/ 1/64 "},
        {"Move to Bottom", moving(1, MenuCommand::MoveToBottom), "C/N/A/0 D/N/A/0 A/ 1/64 B/ 0/2 "},
        {"Move Row", [&] { return model.rowDragged(3, 0); }, "B/ 0/2 C/N/A/0 D/N/A/0 A/ 1/64 "},
        {"Move Row", [&] { return model.rowDragged(0, 2); }, "C/N/A/0 D/N/A/0 B/ 0/2 A/ 1/64 "},
        // The name box's rules: 16 characters kept, ASCII letters in upper case.
        {"Rename",
         [&] {
             model.rowSelected(List1, 2);
             const int row = *model.menuCommand(MenuCommand::Rename).editName;
             return model.renameRow(row, "zed é 0123456789abc");
         },
         "C/N/A/0 D/N/A/0 ZED é 0123456789/ 0/2 A/ 1/64 "},
        {"Sort by Name", [&] { return model.menuCommand(MenuCommand::SortByName); },
         "A/ 1/64 C/N/A/0 D/N/A/0 ZED é 0123456789/ 0/2 "},
        {"Remove ROM",
         [&] {
             model.rowSelected(List1, 0);
             return model.removeRom();
         },
         "C/N/A/0 D/N/A/0 ZED é 0123456789/ 0/2 "},
        {"Clear List", [&] { return model.clearList(); }, ""},
    };
    std::vector<romc::TableState> before;
    for (const auto& step : steps) {
        before.push_back(model.tableState());
        step.act();
        EXPECT_EQ(rowsOf(model), step.rows) << step.action;
        EXPECT_EQ(model.menuBar().menus[1].items[0].caption, std::string("Undo ") + step.action);
    }
    for (std::size_t i = std::size(steps); i-- > 0;) {
        model.menuCommand(MenuCommand::Undo);
        EXPECT_EQ(model.tableState().table.columns, before[i].table.columns) << "undo " << steps[i].action;
        EXPECT_EQ(model.tableState().blocks, before[i].blocks) << "undo " << steps[i].action;
        EXPECT_EQ(model.tableState().nextSaveBank, before[i].nextSaveBank);
    }
    EXPECT_FALSE(model.menuBar().menus[1].items[0].enabled) << "nothing left to take back";

    // An addition starts the history afresh: an Undo never takes it away.
    model.rowSelected(List1, 0);
    model.removeRom();
    add(model, dialogs, {"a.gb"});
    EXPECT_TRUE(model.menuCommand(MenuCommand::Undo).refresh.empty());
}

// The editor hands its text back for the row it was opened over, and only while the table stands as it was;
// a drag names two rows that exist and differ. Whatever is refused changes nothing and leaves no undo step.
TEST_F(EditMenuTest, RenameAndDragTakeOnlyWhatStillAppliesToTheirRows) {
    add(model, dialogs, {"a.gb", "b.gb+", "c.gb"});
    const struct {
        const char* what;
        std::function<Reaction()> act;
        const char* names; // after it
        bool undoable;
    } cases[] = {
        {"a renamed row", [&] { return model.renameRow(*model.renameRequested(0).editName, "x y"); },
         "X Y B C", true},
        {"the name it had", [&] { return model.renameRow(*model.renameRequested(1).editName, "b"); }, "A B C",
         false},
        {"another row than the editor's",
         [&] {
             model.renameRequested(0);
             return model.renameRow(1, "x");
         },
         "A B C", false},
        {"a row that moved since",
         [&] {
             model.renameRequested(0);
             model.rowDragged(2, 1);
             return model.renameRow(0, "x");
         },
         "A C B", true},
        {"the editor handed back twice",
         [&] {
             model.renameRow(*model.renameRequested(2).editName, "z");
             return model.renameRow(2, "w");
         },
         "A B Z", true},
        {"no such row to rename",
         [&] { return model.renameRow(model.renameRequested(3).editName.value_or(3), "x"); }, "A B C", false},
        {"a row dropped on itself", [&] { return model.rowDragged(1, 1); }, "A B C", false},
        {"a drag from no row", [&] { return model.rowDragged(-1, 0); }, "A B C", false},
        {"a drag to no row", [&] { return model.rowDragged(0, 3); }, "A B C", false},
    };
    for (const auto& c : cases) {
        const auto before = model.tableState();
        const Reaction reaction = c.act();
        std::string names;
        for (const auto& name : model.rows(List1)) {
            names += (names.empty() ? "" : " ") + name;
        }
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(model.menuBar().menus[1].items[0].enabled, c.undoable) << c.what;
        model.undo();
        EXPECT_EQ(model.tableState().table.columns, before.table.columns) << c.what;
        EXPECT_EQ(model.tableState().blocks, before.blocks) << c.what;
    }
    // A double-click selects the row it opens the editor over; Rename needs a selected row.
    EXPECT_EQ(model.renameRequested(1).editName, 1);
    EXPECT_EQ(model.selectedRow(List7), 1);
    EXPECT_EQ(model.nameEdited("abcdefghijklmnopq"), "abcdefghijklmnop");
    model.rowSelected(List1, romc::kNoRowSelected);
    EXPECT_FALSE(model.menuBar().menus[1].items[1].enabled);
    EXPECT_FALSE(model.menuCommand(MenuCommand::Rename).editName.has_value());
}

TEST_F(EditMenuTest, ClearListAsksFirstAndNoKeepsTheTable) {
    add(model, dialogs, {"a.gb", "b.gb"});
    dialogs.answers.push_back(Choice::No);
    EXPECT_TRUE(model.clearList().refresh.empty());
    EXPECT_EQ(model.rows(List1).size(), 2u);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("all 2 ROMs"), std::string::npos) << dialogs.asked[0].text;
}

// Compile, change (remove, move, add) and compile again: the image equals that of a window that only ever
// saw the final table. The save ROM stays in its bank, so the final table is added in its bank order.
TEST_F(EditMenuTest, ChangedAndCompiledAgainEqualsAFreshCompilation) {
    add(model, dialogs, {"a.gb+", "b.gb", "c.gb", "d.gb"});
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    model.rowSelected(List1, 1);
    model.removeRom();
    model.rowSelected(List1, 2);
    model.menuCommand(MenuCommand::MoveUp);
    add(model, dialogs, {"b.gb"});
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    EXPECT_EQ(rowsOf(model), "A/ 0/2 D/N/A/4 C/N/A/6 B/N/A/8 ");
    const auto again = romc::test::readFile(folder / romc::kImageName);

    romc::test::ScratchFolder fresh;
    std::filesystem::copy_file(folder / "Menu.GB", fresh / "Menu.GB");
    test::ScriptedDialogs freshDialogs;
    WindowModel freshModel{freshDialogs, fresh.path()};
    freshModel.load();
    add(freshModel, freshDialogs, {"a.gb+", "d.gb", "c.gb", "b.gb"});
    ASSERT_FALSE(freshModel.generateCompilation().message.has_value());
    EXPECT_EQ(romc::test::firstDifference(romc::test::readFile(fresh / romc::kImageName), again), "equal");
}

} // namespace
} // namespace romform
