// --write-saves, --split-saves and the warning of saves a compilation would strand: the command line's
// part of the save memory, over the core's save files, outputs and bank compare.
#pragma once

#include "cli/cli_args.h"
#include "romtable/table_state.h"
#include "saves/save_outputs.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace romc {

// --write-saves FILE, taken from the work folder when relative.
std::filesystem::path writeSavesPath(const CliArguments& cli);

// Checks the name of --write-saves and reads every save file into the save memory, before anything is
// written.
Outcome<SaveMemoryPlan> planWriteSaves(const CliArguments& cli, const TableState& state);

// The warning for games of the "Output.GB" there whose bank changes, or a bank another game takes;
// `saveMemory`: the save memory written with the compilation.
std::optional<std::string> saveMovesWarningFor(const CliArguments& cli, const TableState& state,
                                               const SaveMemoryPlan* saveMemory);

// --split-saves DUMP: cuts the dump into each save ROM's save file (only checked with --dry-run) and prints
// what was written; returns the exit status.
int splitSavesCommand(const CliArguments& cli, const TableState& state, std::ostream& out, std::ostream& err);

} // namespace romc
