// Interruptions on Linux and other POSIX systems: signals.
#include "files/interruption.h"
#include "files/temporary_files.h"

#include <csignal>
#include <unistd.h>

namespace romc {

namespace {

constexpr int kInterruptedBase = 128;

extern "C" void onInterrupt(int signal) {
    if (platform::interruptionsDeferred()) {
        platform::holdInterruption(signal);
        return;
    }
    platform::endInterruptedRun(signal);
}

} // namespace

void endRunsCleanlyOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // One handler at a time: a second Ctrl+C while the files are being removed waits for it.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&action.sa_mask, signal);
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

void reportFileSizeLimitAsWriteError() {
    std::signal(SIGXFSZ, SIG_IGN);
}

namespace platform {

void removeFileNow(const std::filesystem::path::value_type* path) noexcept {
    ::unlink(path);
}

void endInterruptedRun(int signal) noexcept {
    removeTemporaryFilesNow();
    ::_exit(kInterruptedBase + signal);
}

} // namespace platform

} // namespace romc
