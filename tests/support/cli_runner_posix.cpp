#include "support/cli_runner.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace romc::test {

namespace {

std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

} // namespace

CliRun runCli(const ScratchFolder& folder, const std::vector<std::string>& arguments,
              const std::filesystem::path& currentDir) {
    std::string command = shellQuoted(ROMC_CLI_PATH);
    if (!currentDir.empty()) {
        command = "cd " + shellQuoted(currentDir.string()) + " && " + command;
    }
    for (const auto& argument : arguments) {
        command += " " + shellQuoted(argument);
    }
    const auto errFile = folder.path().parent_path() / (folder.path().filename().string() + ".err");
    command += " 2>" + shellQuoted(errFile.string());
    CliRun run{};
    std::FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        run.out.append(chunk.data(), got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto err = readFile(errFile);
    run.err.assign(err.begin(), err.end());
    std::filesystem::remove(errFile);
    return run;
}

} // namespace romc::test
