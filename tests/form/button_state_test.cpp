// The buttons and the status line after each event, as the faces send them through handle(): "Add ROM"
// waits for a file, the others stay enabled, whether the outputs hold the table is kept once, and the
// status line leads with what the last action did.
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;

class ButtonStateEvents : public romc::test::MenuFolderFixture {
  public:
    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

// One run through every transition: each step is an event, the buttons after it, whether the outputs hold
// the table, and how the status line begins.
TEST_F(ButtonStateEvents, EveryEventMovesTheButtonsAndLeadsTheStatusLine) {
    romc::test::makeRom(folder.path(), "A.GB", romc::kBlockSize, 1);
    enum class Event { Load, FindFile, CancelFindFile, AddRom, RemoveRom, Compile, ClearList, SelectNone };
    const struct {
        Event event;
        bool addRom;
        bool compiled;
        const char* statusStart;
        bool ignored; // the event's button is disabled: nothing changes, nothing is shown
        const char* what;
    } steps[] = {
        {Event::Load, false, false, "No ROMs in the table", false, "window load"},
        {Event::CancelFindFile, false, false, "No ROMs", false, "a first cancelled dialog picks nothing"},
        {Event::Compile, false, false, "Generate Compilation: ", false, "an empty table is refused"},
        {Event::FindFile, true, false, "No ROMs", false, "a picked file: the refusal is gone"},
        {Event::AddRom, true, false, "The ROM fits", false, "Add ROM changes no button"},
        {Event::FindFile, true, false, "The ROM fits", false, "a second pick"},
        {Event::Compile, false, true, "Wrote Output.GB", false, "a compilation"},
        {Event::AddRom, false, true, "Wrote Output.GB", true, "Add ROM waits for a file"},
        {Event::SelectNone, false, true, "Wrote Output.GB", false,
         "a click on empty space keeps the outcome"},
        {Event::Compile, false, true, "Wrote Output.GB", false, "compiling the same table again"},
        {Event::CancelFindFile, true, true, "Wrote", false, "a cancel takes the held file again"},
        {Event::AddRom, true, false, "All 2 ROMs fit", false, "adding after a compilation: a draft again"},
        {Event::Compile, false, true, "Wrote", false, "the changed table compiled again"},
        {Event::RemoveRom, false, false, "The ROM fits", false, "removing after a compilation: a draft"},
        {Event::FindFile, true, false, "The ROM fits", false, "a pick"},
        {Event::Compile, false, true, "Wrote", false, "compiled again"},
        {Event::FindFile, true, true, "Wrote", false, "a pick after a compilation"},
        {Event::ClearList, true, false, "No ROMs", false, "Clear List unlocks everything"},
        {Event::ClearList, true, false, "No ROMs", false, "Clear List again"},
    };
    for (const auto& step : steps) {
        const romc::TableState before = model.tableState();
        Reaction reaction;
        switch (step.event) {
        case Event::Load:
            reaction = model.handle(Loaded{});
            break;
        case Event::FindFile:
        case Event::CancelFindFile:
            dialogs.choose(step.event == Event::FindFile ? "A.GB" : "");
            reaction = model.handle(Clicked{Command1});
            break;
        case Event::AddRom:
            reaction = model.handle(Clicked{Command2});
            break;
        case Event::RemoveRom:
            model.handle(RowChosen{List1, 0});
            reaction = model.handle(Clicked{Command5});
            break;
        case Event::Compile:
            reaction = model.handle(Clicked{Command4});
            break;
        case Event::ClearList:
            reaction = model.handle(Clicked{Command3});
            break;
        case Event::SelectNone:
            model.handle(RowChosen{List1, 0});
            reaction = model.handle(RowChosen{List1, romc::kNoRowSelected});
            EXPECT_EQ(model.selectedRow(List1), romc::kNoRowSelected) << step.what;
            break;
        }
        EXPECT_EQ(model.enabled(Command2), step.addRom) << step.what;
        EXPECT_TRUE(model.enabled(Command1) && model.enabled(Command3) && model.enabled(Command4) &&
                    model.enabled(Command5))
            << step.what;
        EXPECT_EQ(model.compiled(), step.compiled) << step.what;
        EXPECT_EQ(model.statusText().value_or("").rfind(step.statusStart, 0), 0u)
            << step.what << ": " << model.statusText().value_or("");
        if (step.ignored) {
            EXPECT_TRUE(reaction.refresh.empty() && !reaction.message) << step.what;
            EXPECT_EQ(model.tableState().table.columns, before.table.columns) << step.what;
            EXPECT_EQ(model.tableState().blocks, before.blocks) << step.what;
        } else {
            // Whatever the event, the status line is shown again: it never tells of the action before.
            EXPECT_TRUE(reaction.refresh.has(WindowPart::StatusLine)) << step.what;
        }
    }
}

} // namespace
} // namespace romform
