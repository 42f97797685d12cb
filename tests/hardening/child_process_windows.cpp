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

std::optional<std::uintmax_t> bytesReadSoFar() {
    IO_COUNTERS counters{};
    // wine keeps no count and answers 0, which no process that has read its test files could have read.
    if (!::GetProcessIoCounters(::GetCurrentProcess(), &counters) || counters.ReadTransferCount == 0) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(counters.ReadTransferCount);
}

bool makeSocket(const std::filesystem::path& /*path*/) {
    return false;
}

} // namespace romc::hardening
