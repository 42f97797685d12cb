// Running a piece of the test, or romcompiler-cli, in a child process: with a file-size limit that stands
// in for a full disk, and with an alarm so that a read that would block forever fails the test instead of
// hanging it.
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

// Runs `body` in a child; its result comes back in `out`.
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

// Bytes this process has read through system calls so far (from /proc/self/io), if the system counts them.
std::optional<std::uintmax_t> bytesReadSoFar();

} // namespace romc::hardening
