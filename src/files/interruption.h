// How a command-line run ends when it is interrupted (Ctrl+C, SIGTERM, SIGHUP; on Windows Ctrl+C,
// Ctrl+Break and closing the console): every temporary file is removed and the run exits with 128 plus
// the signal's number (130, 143, 129). The renames that put a compilation in place are never cut in two:
// an interruption that comes during them waits until they are done.
#pragma once

namespace romc {

// Installs the handlers; the command line calls it once at start.
void endRunsCleanlyOnInterrupt();

// Going past a file-size limit becomes a write error that is reported and cleaned up like a full disk,
// instead of a kill in the middle of a write.
void reportFileSizeLimitAsWriteError();

// While one lives, an interruption is held back; when the last one goes, a held interruption ends the run.
class InterruptionsDeferred {
  public:
    InterruptionsDeferred();
    ~InterruptionsDeferred();
    InterruptionsDeferred(const InterruptionsDeferred&) = delete;
    InterruptionsDeferred& operator=(const InterruptionsDeferred&) = delete;
};

namespace platform {
// Whether interruptions are being held back now, and the one held, if any (0: none).
bool interruptionsDeferred() noexcept;
void holdInterruption(int signal) noexcept;
int takeHeldInterruption() noexcept;
// Removes the temporary files and ends the process as interrupted by `signal`.
[[noreturn]] void endInterruptedRun(int signal) noexcept;
} // namespace platform

} // namespace romc
