// "Generate Compilation": places the ROMs without save memory, patches the menu table into "Menu.GB" and
// writes "Output.GB" with its pieces, as one transaction under the work folder's lock: everything is
// checked and written under temporary names before any name changes, and then every output changes, or
// none does.
#pragma once

#include "compile/output_transaction.h"
#include "compile/recovery.h"
#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace romc {

// What a compilation has to tell besides its outcome, filled in as far as it got, refused or not.
struct CompileNotes {
    Recovery recovery;                         // an interrupted run's work completed or found: said first
    std::vector<std::string> templateWarnings; // what looks wrong with "Menu.GB"
};

struct CompileRequest {
    std::filesystem::path workDir; // holds "Menu.GB" and receives the outputs; relative ROM paths start here
    bool dryRun = false;           // check and place; "Menu.GB" is only read; nothing is written
    Disk* disk = nullptr;          // none: the system's
    CompileNotes* notes = nullptr; // where the notes go; none: they are not wanted
};

// A compilation checked, placed and written under temporary names, holding the work folder's lock: no
// output's name has changed yet. Files the user asked for by name (a map, a list) join `outputs` before
// the commit, so that they are put in place with the compilation or not at all.
struct PreparedCompilation {
    TableState compiled; // every location filled in, the block map after placement
    std::unique_ptr<FolderLock> lock;
    std::unique_ptr<OutputTransaction> outputs; // empty for a dry run
    std::uintmax_t imageBytes = 0;              // the length "Output.GB" has, or would have
    int pieces = 0;                             // "Output1.GB" up to this one
};

// Every check, the placement and, unless a dry run, every output under its temporary name, and the
// removal of the pieces the new image does not reach. Before any of it, under the lock, the work of an
// interrupted compilation in the folder is completed (request.notes says so). On failure nothing else has
// changed and the message names the cause.
Outcome<PreparedCompilation> prepareCompilation(const TableState& state, const CompileRequest& request);

// Puts the prepared outputs in place; on success `state` becomes the compiled table. On failure `state`
// is as it was and the message says which files, if any, are already new.
Refusal commitCompilation(PreparedCompilation& prepared, TableState& state);

// Both steps at once. On success the table shows every ROM's location and the block map holds every ROM.
// On failure the state, "Menu.GB" and every output are as they were.
Refusal generateCompilation(TableState& state, const CompileRequest& request);

} // namespace romc
