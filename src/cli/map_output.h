// --map FILE.svg: the flash map as one more output of a run, for a compilation and for an inspected image
// alike, and the checks that keep it from taking the place of a file that is not a map.
#pragma once

#include "cli/cli_args.h"
#include "compile/output_transaction.h"
#include "plan/flash_plan.h"

#include <filesystem>

namespace romc {

// The map's path: a relative --map is taken from the work folder.
std::filesystem::path mapPath(const CliArguments& cli);

// A name that would replace "Menu.GB", an output, a ROM of the command line or the inspected image (or a
// piece beside it) is a usage error rather than a lost file.
Refusal checkMapName(const CliArguments& cli);

// A map may replace only a map: any other file of that name is the user's, unless --force says otherwise.
Refusal checkMapReplaceable(const CliArguments& cli);

// Draws the plan into a temporary file for `path`: it takes its name when `outputs` is committed, or never.
Refusal prepareMap(const std::filesystem::path& path, const FlashPlan& plan, OutputTransaction& outputs);

} // namespace romc
