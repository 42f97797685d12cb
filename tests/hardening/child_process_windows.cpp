#include "hardening/child_process.h"
#include "support/cli_runner.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace romc::hardening {

namespace {

// What a child cannot be given here; the tests that ask for it skip before they do.
ChildOutcome notHere(const std::string& what) {
    return {false, -1, {}, what + kOnlyOnPosix};
}

} // namespace

ChildOutcome runInChild(const std::function<std::string()>& body,
                        std::optional<std::uintmax_t> fileSizeLimit) {
    if (fileSizeLimit) {
        return notHere("a file-size limit");
    }
    return {true, 0, body(), {}};
}

ChildOutcome runCli(const std::vector<std::string>& arguments, std::optional<std::uintmax_t> fileSizeLimit) {
    return runCli(arguments, CliConditions{fileSizeLimit, 0, {}, {}});
}

ChildOutcome runCli(const std::vector<std::string>& arguments, const CliConditions& conditions) {
    if (conditions.fileSizeLimit || conditions.signal != 0 || conditions.stdoutFile) {
        return notHere("a file-size limit, a signal or stdout on a device");
    }
    const test::ScratchFolder captures; // beside it, the run's stdout and stderr
    const test::CliRun run = test::runCli(captures, arguments);
    return {run.status != -1, run.status, run.out, run.err};
}

std::optional<std::uintmax_t> bytesReadSoFar() {
    IO_COUNTERS counters{};
    // wine keeps no count and answers 0, which no process that has read its test files could have read.
    if (!::GetProcessIoCounters(::GetCurrentProcess(), &counters) || counters.ReadTransferCount == 0) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(counters.ReadTransferCount);
}

bool makeFifo(const std::filesystem::path& /*path*/) {
    return false;
}

bool makeSocket(const std::filesystem::path& /*path*/) {
    return false;
}

} // namespace romc::hardening
