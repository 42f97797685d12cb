// Runs the command line on Windows through CreateProcessW, as a shell there would: the arguments travel
// as one wide command line, quoted as the C runtime splits it again, so non-ASCII names arrive intact.
#include "files/utf8_path.h"
#include "support/cli_runner.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace romc::test {

namespace {

std::wstring wide(const std::string& utf8) {
    return pathFromUtf8(utf8).wstring();
}

// Backslashes count only before a quote: there each is doubled, and the quote escaped.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

HANDLE inheritableFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string textOf(const std::filesystem::path& path) {
    const auto bytes = readFile(path);
    std::filesystem::remove(path);
    return {bytes.begin(), bytes.end()};
}

} // namespace

CliRun runCli(const std::vector<std::string>& arguments, const CliConditions& conditions) {
    if (conditions.fileSizeLimit || conditions.signal != 0 || conditions.stdoutFile) {
        return {false, -1, {}, "a file-size limit, a signal or stdout on a device: only POSIX gives them"};
    }
    const std::filesystem::path& currentDir = conditions.currentDir;
    const ScratchFolder folder; // beside it, the run's stdout and stderr
    std::wstring command = quoted(wide(ROMC_CLI_PATH));
    for (const auto& argument : arguments) {
        command += L" " + quoted(wide(argument));
    }
    // Files, not pipes: a child that fills one pipe while the other is read would wait for ever.
    const auto base = folder.path().parent_path() / folder.path().filename();
    const auto outFile = std::filesystem::path(base.native() + L".out");
    const auto errFile = std::filesystem::path(base.native() + L".err");
    const HANDLE out = inheritableFile(outFile);
    const HANDLE err = inheritableFile(errFile);

    STARTUPINFOW start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = out;
    start.hStdError = err;
    PROCESS_INFORMATION process{};
    CliRun run{false, -1, {}, {}};
    const bool started =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         currentDir.empty() ? nullptr : currentDir.c_str(), &start, &process);
    ::CloseHandle(out);
    ::CloseHandle(err);
    if (started) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        if (::GetExitCodeProcess(process.hProcess, &status)) {
            run.exited = true;
            run.status = static_cast<int>(status);
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    run.out = textOf(outFile);
    run.err = textOf(errFile);
    return run;
}

} // namespace romc::test
