// What a run finds in a work folder from a compilation that did not end: a journal whose renames it
// completes, or reports as beyond completing, and temporary files it removes. It runs under the folder's
// lock, before a compilation there and when the window starts in or moves to the folder.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace romc {

struct Recovery {
    std::vector<std::string> notes; // for the user, before anything else the run says
    bool changed = false;           // files of the folder were renamed or removed
    // A journal that is not this folder's or names files no compilation writes: it is left as it is, and
    // no compilation runs in the folder until the user has looked.
    Refusal refusal;
};

// Completes the renames of a compilation killed while it put its outputs in place (only when every file
// its journal names is still there to finish it; else every file stays as it is, and the note says which
// are new and which old), and removes the temporary files killed runs left. Call it holding the lock.
Recovery recoverWorkFolder(Disk& disk, const std::filesystem::path& workDir);

// The folder's lock for a run that writes there, taken before anything else, and the recovery done under
// it (told in `recovery` when given); refused when the lock cannot be had or the journal is refused.
Outcome<std::unique_ptr<FolderLock>> takeWorkFolder(Disk& disk, const std::filesystem::path& workDir,
                                                    Recovery* recovery = nullptr);

// The same recovery, taking the folder's lock for the moment: for the window when it comes to a folder. A
// folder where a compilation is running, or where no lock can be had, is left alone.
Recovery recoverWorkFolderNow(Disk& disk, const std::filesystem::path& workDir);

// Whether the folder holds the journal of an interrupted compilation: then its outputs may be a mix of two
// compilations, and the text says so for the user who is about to read or flash them.
std::optional<std::string> interruptedCompilation(Disk& disk, const std::filesystem::path& workDir);

// "Output.GB" and "Menu.GB", each in quotes, joined by commas and a last "and".
std::string joinedNames(const std::vector<std::string>& names);

} // namespace romc
