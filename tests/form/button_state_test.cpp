// The four states of "Add ROM", "Remove ROM" and "Generate Compilation", what "Find File" makes of each,
// and the events of the window that move from one to the next.
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;

TEST(ButtonState, EachStateEnablesItsButtons) {
    const struct {
        ButtonState state;
        ButtonsEnabled enabled;
    } cases[] = {
        {ButtonState::Start, {false, true, true}},
        {ButtonState::Ready, {true, true, true}},
        {ButtonState::Compiled, {false, true, true}},
        {ButtonState::CompiledAndAdding, {true, true, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buttonsEnabled(c.state), c.enabled) << buttonStateName(c.state);
    }
}

TEST(ButtonState, PickedFileEnablesAddRomOnly) {
    const struct {
        ButtonState before;
        ButtonState after;
    } cases[] = {
        {ButtonState::Start, ButtonState::Ready},
        {ButtonState::Ready, ButtonState::Ready},
        {ButtonState::Compiled, ButtonState::CompiledAndAdding},
        {ButtonState::CompiledAndAdding, ButtonState::CompiledAndAdding},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(buttonStateName(afterFilePicked(c.before)), buttonStateName(c.after));
    }
}

class ButtonStateEvents : public romc::test::MenuFolderFixture {
  public:
    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

// One run through every transition: each step is an event and the state the buttons must show after it.
TEST_F(ButtonStateEvents, EveryEventMovesTheButtonsAsDesigned) {
    romc::test::makeRom(folder.path(), "A.GB", romc::kBlockSize, 1);
    enum class Event { Load, FindFile, CancelFindFile, AddRom, RemoveRom, Compile, ClearList };
    const struct {
        Event event;
        ButtonState after;
        bool ignored; // the event's button is disabled: nothing changes, nothing is shown
        const char* what;
    } steps[] = {
        {Event::Load, ButtonState::Start, false, "window load"},
        {Event::CancelFindFile, ButtonState::Start, false, "a first cancelled dialog picks nothing"},
        {Event::Compile, ButtonState::Start, false, "an empty table is refused and locks nothing"},
        {Event::FindFile, ButtonState::Ready, false, "a picked file"},
        {Event::AddRom, ButtonState::Ready, false, "Add ROM changes no button"},
        {Event::FindFile, ButtonState::Ready, false, "a second pick"},
        {Event::Compile, ButtonState::Compiled, false, "a compilation"},
        {Event::AddRom, ButtonState::Compiled, true, "Add ROM waits for a file"},
        {Event::Compile, ButtonState::Compiled, false, "compiling the same table again"},
        {Event::CancelFindFile, ButtonState::CompiledAndAdding, false, "a cancel takes the held file again"},
        {Event::AddRom, ButtonState::Ready, false, "adding after a compilation: a draft again"},
        {Event::Compile, ButtonState::Compiled, false, "the changed table compiled again"},
        {Event::RemoveRom, ButtonState::Start, false, "removing after a compilation: a draft, no file held"},
        {Event::FindFile, ButtonState::Ready, false, "a pick"},
        {Event::Compile, ButtonState::Compiled, false, "compiled again"},
        {Event::FindFile, ButtonState::CompiledAndAdding, false, "a pick after a compilation"},
        {Event::ClearList, ButtonState::Ready, false, "Clear List unlocks everything"},
        {Event::ClearList, ButtonState::Ready, false, "Clear List from Ready"},
    };
    for (const auto& step : steps) {
        const romc::TableState before = model.tableState();
        Reaction reaction;
        switch (step.event) {
        case Event::Load:
            reaction = model.load();
            break;
        case Event::FindFile:
        case Event::CancelFindFile:
            dialogs.choose(step.event == Event::FindFile ? "A.GB" : "");
            reaction = model.findFile();
            break;
        case Event::AddRom:
            reaction = model.addRom();
            break;
        case Event::RemoveRom:
            model.rowSelected(List1, 0);
            reaction = model.removeRom();
            break;
        case Event::Compile:
            reaction = model.generateCompilation();
            break;
        case Event::ClearList:
            reaction = model.clearList();
            break;
        }
        EXPECT_STREQ(buttonStateName(model.buttonState()), buttonStateName(step.after)) << step.what;
        const ButtonsEnabled enabled = buttonsEnabled(step.after);
        EXPECT_EQ(model.enabled(Command2), enabled.addRom) << step.what;
        EXPECT_EQ(model.enabled(Command5), enabled.removeRom) << step.what;
        EXPECT_EQ(model.enabled(Command4), enabled.generateCompilation) << step.what;
        EXPECT_TRUE(model.enabled(Command1) && model.enabled(Command3)) << step.what;
        if (step.ignored) {
            EXPECT_TRUE(reaction.refresh.empty() && !reaction.message) << step.what;
            EXPECT_EQ(model.tableState().table.columns, before.table.columns) << step.what;
            EXPECT_EQ(model.tableState().blocks, before.blocks) << step.what;
        }
    }
}

} // namespace
} // namespace romform
