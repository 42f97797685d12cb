// Runs romcompiler-cli as a user does from a shell, capturing its printout and exit status.
#pragma once

#include "support/rom_files.h"

#include <string>
#include <vector>

namespace romc::test {

struct CliRun {
    int status; // the exit status, or -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

// Runs the command-line program named by ROMC_CLI_PATH with `arguments`, started in `currentDir` (or where
// the tests run, when empty); its stderr is kept in a file beside `folder` while it runs.
CliRun runCli(const ScratchFolder& folder, const std::vector<std::string>& arguments,
              const std::filesystem::path& currentDir = {});

} // namespace romc::test
