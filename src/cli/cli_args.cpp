#include "cli/cli_args.h"

namespace romc {

const char* const kCliUsage =
    "usage: romcompiler-cli [-C DIR] [--dry-run] [--save] [--name NAME] ROM [[--save] [--name NAME] ROM]...\n"
    "\n"
    "Adds each ROM to the table as the window's \"Add ROM\" does, then generates the compilation:\n"
    "\"Menu.GB\" is patched and \"Output.GB\" with \"Output1.GB\"..\"Output4.GB\" is written.\n"
    "\n"
    "  -C DIR       work in DIR: \"Menu.GB\", the outputs and relative ROM paths are taken from there\n"
    "  --dry-run    add, check and place, print the table, write no file\n"
    "  --save       the next ROM gets save memory (\"Save?\" ticked)\n"
    "  --name NAME  menu name of the next ROM (default: proposed from its file name)\n"
    "  --           what follows is a ROM path even if it starts with '-'\n"
    "  --help       print this text\n"
    "\n"
    "Prints the final table, one row per line, the seven columns separated by tabs.\n"
    "Exit status: 0 done, 1 a ROM refused or the compilation failed (nothing written), 2 usage error.\n";

Outcome<CliArguments> parseCliArguments(const std::vector<std::string>& arguments) {
    CliArguments parsed;
    RomArgument next;
    bool workDirGiven = false;
    bool pending = false;  // --save or --name seen for a ROM not yet named
    bool onlyRoms = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = !onlyRoms && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            next.path = argument;
            parsed.roms.push_back(std::move(next));
            next = RomArgument{};
            pending = false;
        } else if (argument == "--") {
            onlyRoms = true;
        } else if (argument == "--help" || argument == "-h") {
            parsed.help = true;
        } else if (argument == "--dry-run") {
            parsed.dryRun = true;
        } else if (argument == "--save") {
            next.save = true;
            pending = true;
        } else if (argument == "--name" || argument == "-C") {
            if (i + 1 >= arguments.size()) {
                return Failure{argument + " needs a value"};
            }
            const std::string& value = arguments[++i];
            if (argument == "-C") {
                if (workDirGiven) {
                    return Failure{"-C given twice"};
                }
                parsed.workDir = value;
                workDirGiven = true;
            } else {
                if (next.name) {
                    return Failure{"--name given twice for one ROM"};
                }
                next.name = value;
                pending = true;
            }
        } else {
            return Failure{"unknown option " + argument};
        }
    }
    if (parsed.help) {
        return parsed;
    }
    if (pending) {
        return Failure{"--save and --name must stand before the ROM they belong to"};
    }
    if (parsed.roms.empty()) {
        return Failure{"no ROM given"};
    }
    return parsed;
}

} // namespace romc
