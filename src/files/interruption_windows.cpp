// Interruptions on Windows: console control events, which arrive on a thread of their own.
#include "files/interruption.h"
#include "files/temporary_files.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace romc {

namespace {

constexpr int kInterruptedBase = 128;
// The POSIX numbers, so that scripts see the same exit status on both systems.
constexpr int kInterruptSignal = 2;
constexpr int kHangUpSignal = 1;

BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? kInterruptSignal : kHangUpSignal;
    if (platform::interruptionsDeferred()) {
        // The renames run on the main thread; it ends the run when they are done.
        platform::holdInterruption(signal);
        constexpr DWORD kLookAgainMilliseconds = 10;
        while (platform::interruptionsDeferred()) {
            ::Sleep(kLookAgainMilliseconds);
        }
        // Unless the main thread took it when the renames ended, the interruption is still held here.
        if (const int held = platform::takeHeldInterruption(); held != 0) {
            platform::endInterruptedRun(held);
        }
        ::Sleep(INFINITE);
        return TRUE;
    }
    platform::endInterruptedRun(signal);
}

} // namespace

void endRunsCleanlyOnInterrupt() {
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void reportFileSizeLimitAsWriteError() {
    // Windows has no file-size signal: a write past a limit fails as a write.
}

namespace platform {

void removeFileNow(const std::filesystem::path::value_type* path) noexcept {
    // Temporary files are opened to allow deletion, so this works while they are open; the system
    // removes them when the process ends.
    ::DeleteFileW(path);
}

void endInterruptedRun(int signal) noexcept {
    removeTemporaryFilesNow();
    ::ExitProcess(static_cast<UINT>(kInterruptedBase + signal));
}

} // namespace platform

} // namespace romc
