// Running a piece of the test in a child process: with a file-size limit that stands in for a full disk,
// and with an alarm so that a read that would block forever fails the test instead of hanging it. The
// command line runs through the one runner of tests/support. On Windows what only POSIX gives (a fork of
// the test, a file-size limit, signals, FIFOs, sockets, /dev) is absent: the tests that need it skip
// there, naming what they need.
#pragma once

#include "support/cli_runner.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace romc::hardening {

using ChildOutcome = test::CliRun;
using test::CliConditions;
using test::kHangSeconds;
using test::makeFifo;
using test::runCli;

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

// Bytes this process has read through system calls so far (/proc/self/io, or the process's I/O counters
// on Windows), if the system counts them.
std::optional<std::uintmax_t> bytesReadSoFar();

// A Unix socket at `path`: a file no ROM may be read from. False where the system has none.
bool makeSocket(const std::filesystem::path& path);

} // namespace romc::hardening
