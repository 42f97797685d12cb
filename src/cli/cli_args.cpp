#include "cli/cli_args.h"

#include "romtable/rom_source.h"

namespace romc {

const char* const kCliUsage =
    "usage: romcompiler-cli [-C DIR] [--dry-run] [--report] [--map FILE.svg [--force]] [--quiet]\n"
    "                       [--write-list FILE] [--write-saves FILE] [--compact-banks]\n"
    "                       [--names-from-header]\n"
    "                       ([--save] [--name NAME] [--sav FILE] [--member NAME] ROM | --list FILE)...\n"
    "       romcompiler-cli [-C DIR] [--dry-run] [--force] --split-saves DUMP (ROM | --list FILE)...\n"
    "       romcompiler-cli [-C DIR] [--quiet] [--report] [--map FILE.svg] --inspect IMAGE\n"
    "                       [--extract FOLDER [--split-saves DUMP]] [--force]\n"
    "\n"
    "Adds each ROM to the table as the window's \"Add ROM\" does, then generates the compilation:\n"
    "\"Menu.GB\" is patched and \"Output.GB\" with \"Output1.GB\"..\"Output4.GB\" is written.\n"
    "\n"
    "  -C DIR       work in DIR: \"Menu.GB\", the outputs and relative ROM paths are taken from there\n"
    "  --dry-run    add, check and place, print the table; \"Menu.GB\" is only read, and nothing is\n"
    "               written but the files asked for by name with --map and --write-list\n"
    "  --report     after the table, print each ROM's blocks, byte range and pieces, the blocks used, free\n"
    "               and lost to alignment, a text map of the flash and the CRC32 of each file written\n"
    "  --map FILE   draw the flash as an SVG picture into FILE (a relative FILE is taken from DIR); an\n"
    "               existing FILE is replaced only when it is such a map\n"
    "  --force      let --map replace a FILE that is not a flash map, and --extract files in FOLDER\n"
    "  --quiet      print no warnings about the ROMs' cartridge headers but lost saves\n"
    "  --save       the next ROM gets save memory (\"Save?\" ticked)\n"
    "  --name NAME  menu name of the next ROM (default: proposed from its file name)\n"
    "  --names-from-header\n"
    "               a ROM without --name is named by the title in its cartridge header when the header\n"
    "               is one the boot ROM accepts (logo not blank, checksum right), else by its file name\n"
    "  --member NAME\n"
    "               the next ROM is the member NAME of the archive (.zip, .7z, .gz) named after it; an\n"
    "               archive holding one ROM (*.gb, *.gbc, *.sgb) needs no --member\n"
    "  --list FILE  add the ROMs of the ROM list FILE here, in its order, with its names and save flags;\n"
    "               a ROM refused refuses the whole list. May be given more than once, between ROMs\n"
    "  --write-list FILE\n"
    "               keep the final table as a ROM list in FILE (also with --dry-run)\n"
    "  --sav FILE   the save file of the next ROM (default: the ROM's file with \".sav\" for extension)\n"
    "  --write-saves FILE\n"
    "               write the cartridge's save memory (512 KiB) into FILE: each save ROM's save file at\n"
    "               its bank, every other byte 0xFF; FILE is replaced only when it is a save memory\n"
    "  --split-saves DUMP\n"
    "               instead of compiling, cut the save dump DUMP into each save ROM's save file (cut to\n"
    "               what its header declares); a save file that differs is replaced only with --force\n"
    "  --compact-banks\n"
    "               give the save ROMs banks 0, 1, 2... in table order, as a fresh table would\n"
    "  --inspect IMAGE  print the table that IMAGE (\"Output.GB\", \"Output1.GB\" with the pieces after it,\n"
    "               or \"Menu.GB\") holds and check it before flashing; exit 1 when no compilation wrote "
    "it.\n"
    "               --report and --map draw the image as they draw a compilation; IMAGE is only read\n"
    "  --extract FOLDER\n"
    "               with --inspect: write each ROM of IMAGE into FOLDER (made when missing) as a \".GB\"\n"
    "               file named from its menu name, and \"list.json\", the ROM list that builds IMAGE again\n"
    "               with -C WORK --list FOLDER/list.json; files already there are kept unless --force\n"
    "  --           what follows is a ROM path even if it starts with '-'\n"
    "  --help       print this text\n"
    "  --version    print the program's version\n"
    "\n"
    "Relative FILEs of --list and --write-list are taken from DIR, as ROM paths are; the ROM paths in a\n"
    "list are taken from the list's own folder.\n"
    "Prints the final table, one row per line, the seven columns separated by tabs.\n"
    "Each ROM's cartridge header is checked; what looks wrong is a warning on stderr, never a refusal.\n"
    "Control characters in names and paths are shown as \\xNN.\n"
    "Exit status: 0 done, everything asked for written; 1 a ROM or list refused, the compilation\n"
    "failed or the printout could not be written (nothing changed); 2 usage error; 3 refused as for 1,\n"
    "after completing an interrupted compilation in DIR (those files changed, as the note says first);\n"
    "128 + N when stopped by signal N (130 for Ctrl+C), its temporary files removed.\n";

namespace {

// --list FILE stands among the ROMs as one more source of rows; --write-list FILE is asked for once.
Refusal readListOption(CliArguments& parsed, const std::vector<std::string>& arguments, std::size_t& i,
                       bool pending) {
    const std::string& option = arguments[i];
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        return Failure{option + " needs a file name"};
    }
    const std::string& value = arguments[++i];
    if (option == "--write-list") {
        if (parsed.writeList) {
            return Failure{"--write-list given twice"};
        }
        parsed.writeList = value;
        return std::nullopt;
    }
    if (pending) {
        return Failure{"--save, --name, --sav and --member belong to the ROM after them, not to a --list"};
    }
    parsed.roms.push_back({value, std::nullopt, false, true});
    return std::nullopt;
}

// The value after the option at i, given once: refused when the option came before, or when no value (or
// an empty one) follows it.
template <class T>
Refusal takeOnce(std::optional<T>& into, const std::vector<std::string>& arguments, std::size_t& i,
                 const std::string& needs, const std::string& twice) {
    if (into) {
        return Failure{twice};
    }
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        return Failure{needs};
    }
    into = T(arguments[++i]);
    return std::nullopt;
}

} // namespace

Outcome<CliArguments> parseCliArguments(const std::vector<std::string>& arguments) {
    CliArguments parsed;
    RomArgument next;
    bool workDirGiven = false;
    bool pending = false; // --save or --name seen for a ROM not yet named
    bool onlyRoms = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = !onlyRoms && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (next.member && archiveKindOf(argument) == ArchiveKind::None) {
                return Failure{"--member names a member of a .zip, .7z or .gz archive, and \"" + argument +
                               "\" is none"};
            }
            next.path = next.member ? romSourceText(argument, *next.member) : argument;
            parsed.roms.push_back(std::move(next));
            next = RomArgument{};
            pending = false;
        } else if (argument == "--") {
            onlyRoms = true;
        } else if (argument == "--help" || argument == "-h") {
            parsed.help = true;
        } else if (argument == "--version") {
            parsed.version = true;
        } else if (argument == "--dry-run") {
            parsed.dryRun = true;
        } else if (argument == "--report") {
            parsed.report = true;
        } else if (argument == "--quiet") {
            parsed.quiet = true;
        } else if (argument == "--force") {
            parsed.force = true;
        } else if (argument == "--save") {
            next.save = true;
            pending = true;
        } else if (argument == "--inspect") {
            if (i + 1 >= arguments.size() || parsed.inspect) {
                return Failure{parsed.inspect ? "--inspect given twice" : "--inspect needs an image"};
            }
            parsed.inspect = arguments[++i];
        } else if (argument == "--extract") {
            if (auto failure = takeOnce(parsed.extract, arguments, i, "--extract needs a folder",
                                        "--extract given twice")) {
                return *failure;
            }
        } else if (argument == "--compact-banks") {
            parsed.compactBanks = true;
        } else if (argument == "--names-from-header") {
            parsed.namesFromHeader = true;
        } else if (argument == "--sav" || argument == "--write-saves" || argument == "--split-saves") {
            const std::string needs = argument + " needs a file name";
            auto failure = argument == "--sav"
                               ? takeOnce(next.sav, arguments, i, needs, "--sav given twice for one ROM")
                               : takeOnce(argument == "--write-saves" ? parsed.writeSaves : parsed.splitSaves,
                                          arguments, i, needs, argument + " given twice");
            if (failure) {
                return *failure;
            }
            pending = pending || argument == "--sav";
        } else if (argument == "--member") {
            if (auto failure = takeOnce(next.member, arguments, i, "--member needs a member's name",
                                        "--member given twice for one ROM")) {
                return *failure;
            }
            pending = true;
        } else if (argument == "--name" || argument == "-C" || argument == "--map") {
            if (i + 1 >= arguments.size()) {
                return Failure{argument + " needs a value"};
            }
            const std::string& value = arguments[++i];
            if (argument == "--map") {
                if (parsed.map) {
                    return Failure{"--map given twice"};
                }
                if (value.empty()) {
                    return Failure{"--map needs a file name"};
                }
                parsed.map = value;
            } else if (argument == "-C") {
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
        } else if (argument == "--list" || argument == "--write-list") {
            if (auto failure = readListOption(parsed, arguments, i, pending)) {
                return *failure;
            }
        } else {
            return Failure{"unknown option " + argument};
        }
    }
    if (parsed.help || parsed.version) {
        return parsed;
    }
    if (pending) {
        return Failure{"--save, --name, --sav and --member must stand before the ROM they belong to"};
    }
    if (parsed.extract && !parsed.inspect) {
        return Failure{"--extract takes the ROMs out of an image: give it with --inspect IMAGE"};
    }
    if (parsed.inspect) {
        if (!parsed.roms.empty() || parsed.dryRun || parsed.writeList) {
            return Failure{"--inspect reads an image: it takes no ROM, --dry-run or --write-list"};
        }
        if (parsed.writeSaves || parsed.compactBanks) {
            return Failure{"--inspect reads an image: it takes no --write-saves or --compact-banks"};
        }
        if (parsed.splitSaves && !parsed.extract) {
            return Failure{
                "--split-saves with --inspect writes the saves beside the ROMs --extract takes out: "
                "give --extract FOLDER"};
        }
        return parsed;
    }
    if (parsed.splitSaves && (parsed.writeSaves || parsed.map || parsed.writeList || parsed.report)) {
        return Failure{
            "--split-saves cuts a save dump instead of compiling: it takes no --write-saves, --map, "
            "--write-list or --report"};
    }
    if (parsed.roms.empty()) {
        return Failure{"no ROM given"};
    }
    return parsed;
}

std::filesystem::path fromWorkDir(const CliArguments& cli, const std::filesystem::path& path) {
    return path.is_absolute() ? path : cli.workDir / path;
}

} // namespace romc
