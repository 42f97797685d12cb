// Runs a replay script's steps on the window, through the same messages a user's clicks and keys send.
#pragma once

#include "win32/replay_script.h"
#include "win32/win32_window.h"

#include <iosfwd>

namespace romwin {

enum class ReplayEnd {
    Done,   // every step ran; the window is closed next
    Held,   // a "hold" step: the window stays open
    Failed, // a step named no control, or a value the window does not know; written to the log
};

ReplayEnd replay(MainWindow& window, ScriptedDialogs& dialogs, const std::vector<ReplayStep>& steps,
                 std::ostream& log);

} // namespace romwin
