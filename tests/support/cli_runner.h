// Runs romcompiler-cli as a user does from a shell, capturing its printout and exit status; and what else
// a run may meet (a signal, a file-size limit, stdout on a device) where the system gives it.
#pragma once

#include "support/rom_files.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romc::test {

struct CliRun {
    bool exited = false; // false: it did not end by itself (a signal; the alarm means it hung)
    int status = 0;      // the exit status, or the signal that ended it
    std::string out;     // its stdout (or a child function's result)
    std::string err;     // its stderr
};

struct CliConditions {
    std::optional<std::uintmax_t> fileSizeLimit;
    int signal = 0; // sent `signalAfter` into the run when not 0
    std::chrono::microseconds signalAfter{0};
    std::optional<std::filesystem::path> stdoutFile; // such as /dev/full
    std::filesystem::path currentDir;                // where it starts; empty: where the tests run
};

// A run given no more time than this is taken to hang, and is ended.
inline constexpr unsigned kHangSeconds = 60;

// Runs the command-line program named by ROMC_CLI_PATH with `arguments`. On Windows only `currentDir` of
// the conditions can be given: a run asked for more does not start (exited false, err says why).
CliRun runCli(const std::vector<std::string>& arguments, const CliConditions& conditions = {});

// The same, as most tests call it: started in `currentDir` (or where the tests run, when empty).
inline CliRun runCli(const ScratchFolder& /*folder*/, const std::vector<std::string>& arguments,
                     const std::filesystem::path& currentDir = {}) {
    CliConditions conditions;
    conditions.currentDir = currentDir;
    return runCli(arguments, conditions);
}

} // namespace romc::test
