// Fuzzes the command line: the input is the argument list, split at zero bytes. Whatever the arguments, the
// parser must answer with a result or a usage message, and a result must survive being written back out as
// arguments and read again.
#include "cli/cli_args.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The arguments that say the same as `parsed`. A ROM path that looks like an option needs "--" before it,
// after which no option is read, so no later ROM can carry --save or --name.
std::vector<std::string> argumentsFor(const romc::CliArguments& parsed) {
    std::vector<std::string> arguments;
    if (parsed.dryRun) {
        arguments.emplace_back("--dry-run");
    }
    if (parsed.report) {
        arguments.emplace_back("--report");
    }
    if (parsed.quiet) {
        arguments.emplace_back("--quiet");
    }
    if (parsed.map) {
        arguments.emplace_back("--map");
        arguments.push_back(parsed.map->string());
    }
    if (parsed.inspect) {
        arguments.emplace_back("--inspect");
        arguments.push_back(parsed.inspect->string());
    }
    if (parsed.workDir != ".") {
        arguments.emplace_back("-C");
        arguments.push_back(parsed.workDir.string());
    }
    if (parsed.writeList) {
        arguments.emplace_back("--write-list");
        arguments.push_back(parsed.writeList->string());
    }
    bool onlyRoms = false;
    for (const auto& rom : parsed.roms) {
        if (onlyRoms && (rom.save || rom.name || rom.list)) {
            std::abort(); // an option was read after "--"
        }
        if (rom.list) {
            arguments.emplace_back("--list");
            arguments.push_back(rom.path);
            continue;
        }
        if (rom.save) {
            arguments.emplace_back("--save");
        }
        if (rom.name) {
            arguments.emplace_back("--name");
            arguments.push_back(*rom.name);
        }
        // "--save -- -x.gb": options before "--" belong to the first ROM after it.
        if (!onlyRoms && looksLikeOption(rom.path)) {
            arguments.emplace_back("--");
            onlyRoms = true;
        }
        arguments.push_back(rom.path);
    }
    return arguments;
}

bool sameRoms(const romc::CliArguments& a, const romc::CliArguments& b) {
    if (a.roms.size() != b.roms.size() || a.dryRun != b.dryRun || a.workDir != b.workDir ||
        a.report != b.report || a.quiet != b.quiet || a.map != b.map || a.writeList != b.writeList ||
        a.inspect != b.inspect) {
        return false;
    }
    for (std::size_t i = 0; i < a.roms.size(); ++i) {
        if (a.roms[i].path != b.roms[i].path || a.roms[i].name != b.roms[i].name ||
            a.roms[i].save != b.roms[i].save || a.roms[i].list != b.roms[i].list) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0) {
        arguments.push_back(current);
    }

    const auto parsed = romc::parseCliArguments(arguments);
    if (!parsed.ok()) {
        if (parsed.failure().message.empty()) {
            std::abort(); // a usage error must say what is wrong
        }
        return 0;
    }
    const romc::CliArguments& cli = parsed.value();
    if (cli.help || cli.version) {
        return 0; // nothing else is read then
    }
    if ((cli.roms.empty() && !cli.inspect) || (cli.inspect && !cli.roms.empty()) ||
        cli.roms.size() > arguments.size()) {
        std::abort();
    }
    const auto again = romc::parseCliArguments(argumentsFor(cli));
    if (!again.ok() || again.value().help || again.value().version || !sameRoms(cli, again.value())) {
        std::abort();
    }
    return 0;
}
