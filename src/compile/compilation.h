// "Generate Compilation": places the ROMs without save memory, patches the menu table into "Menu.GB" and
// writes "Output.GB" with its pieces. Everything is checked before anything changes.
#pragma once

#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <filesystem>

namespace romc {

struct CompileRequest {
    std::filesystem::path workDir; // holds "Menu.GB" and receives the outputs; relative ROM paths start here
    bool dryRun = false;           // check and place, write nothing
};

// On success the table shows every ROM's location and the block map holds every ROM. On failure the state,
// "Menu.GB" and every output are as they were, and the message names the cause.
Refusal generateCompilation(TableState& state, const CompileRequest& request);

} // namespace romc
