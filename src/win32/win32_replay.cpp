#include "win32/win32_replay.h"

#include "files/utf8_path.h"
#include "win32/wide_text.h"

#include <array>
#include <cstring>
#include <optional>
#include <ostream>
#include <shlobj.h>

namespace romwin {

namespace {

using romform::Choice;

std::optional<romform::ControlId> controlNamed(const std::string& name) {
    for (const auto& entry : romform::controlTable()) {
        if (entry.name == name) {
            return entry.id;
        }
    }
    return std::nullopt;
}

std::optional<Choice> choiceNamed(const std::string& name) {
    constexpr std::array kChoices{std::pair{"Ok", Choice::Ok},           std::pair{"Yes", Choice::Yes},
                                  std::pair{"No", Choice::No},           std::pair{"Save", Choice::Save},
                                  std::pair{"Discard", Choice::Discard}, std::pair{"Cancel", Choice::Cancel}};
    for (const auto& [text, choice] : kChoices) {
        if (name == text) {
            return choice;
        }
    }
    return std::nullopt;
}

// As the file dialog gives it: a full path in the system's spelling.
std::string fullPath(const std::string& file) {
    return romc::pathToUtf8(std::filesystem::absolute(romc::pathFromUtf8(file)).make_preferred());
}

std::optional<int> number(const std::string& text) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        return used == text.size() ? std::optional<int>(value) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The same message the shell sends when a file is dropped: a DROPFILES block with the wide names.
void dropFile(HWND window, const std::string& file) {
    const std::wstring name = wide(fullPath(file));
    const std::size_t bytes = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), name.c_str(),
                name.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// One step on the window; "" or what is wrong with it.
std::string run(MainWindow& window, ScriptedDialogs& dialogs, const ReplayStep& step) {
    if (step.verb == "pick") {
        dialogs.queuePick({fullPath(step.target)});
        return {};
    }
    if (step.verb == "cancel") {
        dialogs.queuePick({});
        return {};
    }
    if (step.verb == "answer") {
        const auto choice = choiceNamed(step.target);
        if (!choice) {
            return "no such choice \"" + step.target + "\"";
        }
        dialogs.queueAnswer(*choice);
        return {};
    }
    if (step.verb == "menu") {
        const auto command = number(step.target);
        if (!command) {
            return "no menu command number \"" + step.target + "\"";
        }
        SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(*command, 0), 0);
        return {};
    }
    if (step.verb == "drop") {
        dropFile(window.handle(), step.target);
        return {};
    }
    if (step.verb == "close") {
        SendMessageW(window.handle(), WM_CLOSE, 0, 0);
        return {};
    }
    const auto id = controlNamed(step.target);
    if (!id || window.control(*id) == nullptr) {
        return "no control named \"" + step.target + "\"";
    }
    HWND control = window.control(*id);
    if (step.verb == "click") {
        SendMessageW(control, BM_CLICK, 0, 0);
    } else if (step.verb == "type") {
        // Setting an edit control's text sends EN_CHANGE, as typing does.
        SetWindowTextW(control, wide(step.argument).c_str());
    } else if (step.verb == "select") {
        const auto row = number(step.argument);
        if (!row) {
            return "no row number \"" + step.argument + "\"";
        }
        // LB_SETCURSEL tells nobody; a user's choice also sends LBN_SELCHANGE to the window.
        SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(*row), 0);
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(controlIdOf(*id), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    }
    return {};
}

} // namespace

ReplayEnd replay(MainWindow& window, ScriptedDialogs& dialogs, const std::vector<ReplayStep>& steps,
                 std::ostream& log) {
    for (const ReplayStep& step : steps) {
        if (step.verb == "hold") {
            return ReplayEnd::Held;
        }
        if (const std::string wrong = run(window, dialogs, step); !wrong.empty()) {
            log << "line " << step.line << ": " << wrong << '\n';
            return ReplayEnd::Failed;
        }
        if (window.handle() == nullptr) {
            break; // the step closed the window
        }
    }
    return ReplayEnd::Done;
}

} // namespace romwin
