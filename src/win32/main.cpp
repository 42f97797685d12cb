// romcompiler.exe: the window on Windows, working in the current folder or, with --demo-folder, in a demo
// folder that it fills with a placeholder menu, sample ROMs and their list.
#include "app/demo_folder.h"
#include "files/console.h"
#include "files/utf8_path.h"
#include "form/window_arguments.h"
#include "win32/replay_script.h"
#include "win32/wide_text.h"
#include "win32/win32_dialogs.h"
#include "win32/win32_replay.h"
#include "win32/win32_window.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <objbase.h>
#include <optional>

namespace {

constexpr int kExitUsage = 2;
constexpr const char* kReplayOption = "--replay";

bool hasStream(DWORD stream) {
    HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Said where the user can read it: the program's own output when it has one (redirected, or under wine),
// the console it was started from, else a message box.
void tellUser(const std::string& text, bool failure) {
    const DWORD stream = failure ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    if (!hasStream(stream)) {
        if (AttachConsole(ATTACH_PARENT_PROCESS) == FALSE) {
            MessageBoxW(nullptr, romwin::wide(text).c_str(), romwin::wide(romform::kWindowCaption).c_str(),
                        MB_OK | (failure ? MB_ICONERROR : MB_ICONINFORMATION));
            return;
        }
        std::FILE* reopened = std::freopen("CONOUT$", "w", failure ? stderr : stdout);
        static_cast<void>(reopened);
    }
    (failure ? std::cerr : std::cout) << text << std::flush;
}

// The last line: a fault anywhere ends the program with a word to the user instead of silently. The table
// is already in the session list (written after every change), and the next start offers it back.
LONG WINAPI lastLine(EXCEPTION_POINTERS* fault) {
    char text[160];
    const auto code = fault != nullptr && fault->ExceptionRecord != nullptr
                          ? static_cast<unsigned long>(fault->ExceptionRecord->ExceptionCode)
                          : 0UL;
    std::snprintf(text, sizeof(text),
                  "ROM Compiler met a fault (exception 0x%08lX) and must close. The ROM table is kept: the "
                  "next start offers it back.",
                  code);
    MessageBoxA(nullptr, text, romform::kWindowCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return EXCEPTION_EXECUTE_HANDLER;
}

void uncaughtException() {
    MessageBoxA(nullptr,
                "ROM Compiler met an error it did not expect and must close. The ROM table is kept: the next "
                "start offers it back.",
                romform::kWindowCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    std::_Exit(3);
}

// Takes the test hook's "--replay SCRIPT" out of the arguments.
std::optional<std::string> takeReplayScript(std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == kReplayOption) {
            std::string script = arguments[i + 1];
            arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                            arguments.begin() + static_cast<std::ptrdiff_t>(i + 2));
            return script;
        }
    }
    return std::nullopt;
}

int runWindow(romform::ModalDialogs& dialogs, const romform::WindowArguments& arguments,
              romwin::Win32Dialogs* ownDialogs, romwin::ScriptedDialogs* scripted,
              const std::vector<romwin::ReplayStep>& steps) {
    std::function<void(const romform::Message&)> sink;
    if (scripted != nullptr) {
        sink = [](const romform::Message& message) {
            std::cout << "message: " << message.title << ": " << message.text << '\n' << std::flush;
        };
    }
    romwin::MainWindow window(GetModuleHandleW(nullptr), dialogs, sink);
    if (ownDialogs != nullptr) {
        ownDialogs->setOwner(window.handle());
    }
    if (arguments.list) {
        window.openList(*arguments.list);
    }
    window.show(SW_SHOWNORMAL);
    // Once the window has its place: the flash map opens beside it.
    if (arguments.flashMap) {
        window.openFlashMap();
    }
    if (scripted != nullptr) {
        const romwin::ReplayEnd end = romwin::replay(window, *scripted, steps, std::cout);
        if (end == romwin::ReplayEnd::Failed) {
            return 1;
        }
        // The script is over: the window goes whatever a last question was answered.
        if (end == romwin::ReplayEnd::Done && window.handle() != nullptr) {
            DestroyWindow(window.handle());
        }
    }
    return window.run();
}

} // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(&lastLine);
    std::set_terminate(&uncaughtException);
    std::vector<std::string> arguments = romc::commandLineArguments(argc, argv);
    const auto replayScript = takeReplayScript(arguments);
    const auto parsed = romform::parseWindowArguments(arguments, romform::ToolkitOptions::TakenOut);
    if (!parsed.ok()) {
        tellUser("romcompiler: " + parsed.failure().message + " (see romcompiler --help)\n", true);
        return kExitUsage;
    }
    if (parsed.value().help) {
        tellUser(romform::kWindowUsage, false);
        return 0;
    }
    if (parsed.value().version) {
        tellUser(romform::windowVersionText(), false);
        return 0;
    }
    romform::WindowArguments start = parsed.value();
    if (start.demoFolder) {
        if (const std::string failure = romapp::enterDemoFolder(*start.demoFolder, start.list);
            !failure.empty()) {
            tellUser("romcompiler: " + failure + '\n', true);
            return 1;
        }
    }

    // The themed controls and the task dialog come with version 6 of the common controls (the manifest).
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    // The common item dialog is a COM object of the window's thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    int exitCode = 0;
    if (replayScript) {
        const auto steps = romwin::readReplayScript(romc::pathFromUtf8(*replayScript));
        if (!steps.ok()) {
            std::cerr << "romcompiler: " << steps.failure().message << '\n';
            return kExitUsage;
        }
        romwin::ScriptedDialogs dialogs(std::cout);
        exitCode = runWindow(dialogs, start, nullptr, &dialogs, steps.value());
    } else {
        romwin::Win32Dialogs dialogs;
        exitCode = runWindow(dialogs, start, &dialogs, nullptr, {});
    }
    CoUninitialize();
    return exitCode;
}
