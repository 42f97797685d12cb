// The command line of romcompiler-cli: which ROMs to add, with which names and save flags, and where.
#pragma once

#include "romtable/failure.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romc {

// One ROM as a user of the window would add it.
struct RomArgument {
    std::string path;
    std::optional<std::string> name; // absent: the name the file picker proposes
    bool save = false;               // "Save?" ticked for this ROM
};

struct CliArguments {
    std::filesystem::path workDir = ".";
    bool dryRun = false;
    bool help = false;
    bool version = false;
    bool report = false;                      // print the placement report after the table
    std::optional<std::filesystem::path> map; // draw the flash map as SVG here (relative: from workDir)
    bool quiet = false;                       // no header warnings
    // Print what this image holds instead of compiling.
    std::optional<std::filesystem::path> inspect;
    std::vector<RomArgument> roms;
};

extern const char* const kCliUsage;

// Reads the arguments after the program name; a failure is a usage error.
Outcome<CliArguments> parseCliArguments(const std::vector<std::string>& arguments);

} // namespace romc
