// Running a piece of the test, or romcompiler-cli, in a child process: with a file-size limit that stands
// in for a full disk, and with an alarm so that a read that would block forever fails the test instead of
// hanging it. On Windows the command line runs through CreateProcess, and what only POSIX gives (a fork
// of the test, a file-size limit, signals, FIFOs, sockets, /dev) is absent: the tests that need it skip
// there, naming what they need.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace romc::hardening {

struct ChildOutcome {
    bool exited = false; // false: killed by a signal (the alarm means it hung)
    int status = 0;      // exit status, or the signal
    std::string out;     // what the child reported (a function's result, or the CLI's stdout)
    std::string err;     // the CLI's stderr
};

inline constexpr unsigned kHangSeconds = 60;

#ifdef _WIN32
inline constexpr bool kPosixChildren = false;
#else
inline constexpr bool kPosixChildren = true;
#endif
// How a test that needs one of them says why it skips: GTEST_SKIP() << "signals" << kOnlyOnPosix.
inline constexpr const char* kOnlyOnPosix = " only POSIX gives a test (not Windows)";

// Runs `body` in a child; its result comes back in `out`. Windows has no fork: there `body` runs in this
// process, and a file-size limit is refused (exited false).
ChildOutcome runInChild(const std::function<std::string()>& body,
                        std::optional<std::uintmax_t> fileSizeLimit = {});

// Runs romcompiler-cli with `arguments`.
ChildOutcome runCli(const std::vector<std::string>& arguments,
                    std::optional<std::uintmax_t> fileSizeLimit = {});

// What else a run of romcompiler-cli may meet: a signal sent after a while, stdout going to a file.
struct CliConditions {
    std::optional<std::uintmax_t> fileSizeLimit;
    int signal = 0; // sent `signalAfter` into the run when not 0
    std::chrono::microseconds signalAfter{0};
    std::optional<std::filesystem::path> stdoutFile; // such as /dev/full
};
ChildOutcome runCli(const std::vector<std::string>& arguments, const CliConditions& conditions);

// Bytes this process has read through system calls so far (/proc/self/io, or the process's I/O counters
// on Windows), if the system counts them.
std::optional<std::uintmax_t> bytesReadSoFar();

// A FIFO, or a Unix socket, at `path`: files no ROM may be read from. False where the system has none.
bool makeFifo(const std::filesystem::path& path);
bool makeSocket(const std::filesystem::path& path);

} // namespace romc::hardening
