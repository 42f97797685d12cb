// romcompiler-cli: adds ROMs as the window's user would and generates the compilation.
#include "cli/cli_args.h"
#include "cli/table_text.h"
#include "compile/compilation.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "romtable/table_state.h"

#include <iostream>

namespace {

constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

int fail(const romc::Failure& failure, int status) {
    std::cerr << "romcompiler-cli: " << failure.message << '\n';
    if (status == kExitUsage) {
        std::cerr << romc::kCliUsage;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments = romc::parseCliArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments.ok()) {
        return fail(arguments.failure(), kExitUsage);
    }
    const romc::CliArguments& cli = arguments.value();
    if (cli.help) {
        std::cout << romc::kCliUsage;
        return 0;
    }

    romc::TableState state;
    for (const auto& rom : cli.roms) {
        const std::string name = rom.name ? *rom.name : romc::proposeRomName(rom.path);
        bool saveBox = romc::saveBoxAllowed(state, rom.save);
        if (auto refusal = romc::addRom(state, {name, rom.path, cli.workDir}, saveBox)) {
            return fail(*refusal, kExitRefused);
        }
    }
    if (auto failure = romc::generateCompilation(state, {cli.workDir, cli.dryRun})) {
        return fail(*failure, kExitRefused);
    }
    std::cout << romc::tableText(state.table);
    return 0;
}
