// The command line of romcompiler-cli: which ROMs to add, with which names and save flags, and where.
#pragma once

#include "romtable/failure.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romc {

// One ROM as a user of the window would add it, or a ROM list whose entries are added at that point.
struct RomArgument {
    std::string path;                    // with --member: "ARCHIVE::MEMBER", as the file column shows it
    std::optional<std::string> name;     // absent: the name the file picker proposes
    bool save = false;                   // "Save?" ticked for this ROM
    bool list = false;                   // --list: `path` names a ROM list (relative: from workDir)
    std::optional<std::string> sav{};    // --sav: the save ROM's save file (relative: from workDir)
    std::optional<std::string> member{}; // --member: the archive's member to add
};

struct CliArguments {
    std::filesystem::path workDir = ".";
    bool dryRun = false;
    bool help = false;
    bool version = false;
    bool report = false;                      // print the placement report after the table
    std::optional<std::filesystem::path> map; // draw the flash map as SVG here (relative: from workDir)
    bool quiet = false;                       // no header warnings
    bool force = false; // --map may replace a file that is not a flash map; --extract, files in its folder
    // --write-list: keep the final table as a ROM list here (relative: from workDir)
    std::optional<std::filesystem::path> writeList;
    // Print what this image holds instead of compiling.
    std::optional<std::filesystem::path> inspect;
    // With --inspect: take each ROM out into this folder, with a ROM list (relative: from workDir).
    std::optional<std::filesystem::path> extract;
    // --write-saves: build the save memory from the save files, one more output of the compilation.
    std::optional<std::filesystem::path> writeSaves;
    // --split-saves: cut this save dump into the save ROMs' save files instead of compiling.
    std::optional<std::filesystem::path> splitSaves;
    bool compactBanks = false;    // --compact-banks: save banks 0, 1, 2... in table order before compiling
    bool namesFromHeader = false; // --names-from-header: a ROM without --name is named by its cartridge title
    std::vector<RomArgument> roms;
};

extern const char* const kCliUsage;

// Reads the arguments after the program name; a failure is a usage error.
Outcome<CliArguments> parseCliArguments(const std::vector<std::string>& arguments);

// A file the command line names, taken from the work folder (-C DIR) when relative.
std::filesystem::path fromWorkDir(const CliArguments& cli, const std::filesystem::path& path);

} // namespace romc
