// The smoke test's scripts: each line becomes one step with its control and argument, and a line that
// cannot be a step names its line and why, before anything runs.
#include "win32/replay_script.h"

#include <gtest/gtest.h>
#include <sstream>

namespace romwin {
namespace {

TEST(ReplayScript, LinesBecomeSteps) {
    const auto steps = parseReplayScript("# a comment\r\n"
                                         "pick C:\\roms\\Saga Of Two.gb\n\ntype Text1 TETRIS DX\r\nclick "
                                         "Command2\nselect List1 3\ncancel\nclose");
    ASSERT_TRUE(steps.ok()) << steps.failure().message;
    const struct {
        const char *verb, *target, *argument;
        int line;
    } expected[] = {
        {"pick", "C:\\roms\\Saga Of Two.gb", "", 2},
        {"type", "Text1", "TETRIS DX", 4},
        {"click", "Command2", "", 5},
        {"select", "List1", "3", 6},
        {"cancel", "", "", 7},
        {"close", "", "", 8},
    };
    ASSERT_EQ(steps.value().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const ReplayStep& step = steps.value()[i];
        EXPECT_EQ(step.verb, expected[i].verb);
        EXPECT_EQ(step.target, expected[i].target);
        EXPECT_EQ(step.argument, expected[i].argument);
        EXPECT_EQ(step.line, expected[i].line);
    }
}

TEST(ReplayScript, RefusedLinesNameTheirLine) {
    const struct {
        const char *script, *message;
    } cases[] = {
        {"click Command1\npress Command2\n", "line 2: unknown step \"press\""},
        {"pick\n", "line 1: \"pick\" needs an argument"},
        {"\n\ntype\n", "line 3: \"type\" needs an argument"},
        {"Click Command1\n", "line 1: unknown step \"Click\""},
    };
    for (const auto& c : cases) {
        const auto steps = parseReplayScript(c.script);
        ASSERT_FALSE(steps.ok()) << c.script;
        EXPECT_EQ(steps.failure().message, c.message);
    }
}

TEST(ReplayScript, DialogsTakeTheQueuedAnswersAndLogTheRest) {
    std::ostringstream log;
    ScriptedDialogs dialogs(log);
    dialogs.queuePick({"A.GB", "B.GB"});
    dialogs.queueAnswer(romform::Choice::Yes);
    romform::FileDialog dialog;
    dialog.title = "Open";
    EXPECT_EQ(dialogs.pickFiles(dialog), (std::vector<std::string>{"A.GB", "B.GB"}));
    EXPECT_TRUE(dialogs.pickFiles(dialog).empty()); // nothing queued: cancelled
    romform::Question question;
    question.title = "Clear List";
    question.choices = {romform::Choice::Yes, romform::Choice::No};
    question.escapeChoice = romform::Choice::No;
    EXPECT_EQ(dialogs.ask(question), romform::Choice::Yes);
    EXPECT_EQ(dialogs.ask(question), romform::Choice::No); // unanswered: the escape choice
    EXPECT_EQ(
        log.str(),
        "unanswered file dialog: Open\n"
        "question: Clear List: Yes\nunanswered question: Clear List ( Yes No )\nquestion: Clear List: No\n");
}

} // namespace
} // namespace romwin
