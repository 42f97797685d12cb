// The journal of a compilation's renames, ".romcompiler-journal" in its work folder: written whole before
// the first rename and removed after the last, so that the next run there can complete a compilation that
// was killed among its renames. It names files of its own folder only, by bare file name, and is bound to
// that folder by the folder's identity: copied, unpacked or planted elsewhere, it is refused, never obeyed.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

inline constexpr const char* kJournalName = ".romcompiler-journal";

// One output put in place by a rename within the folder.
struct JournalPut {
    std::filesystem::path temporary; // ".Output.GB.<16 hex>.romc-part"
    std::filesystem::path final;     // "Output.GB"
    FileIdentity identity;           // the temporary file's: the final name holds it once renamed
};

struct Journal {
    FileIdentity folder;                         // the work folder it was written in
    std::vector<JournalPut> puts;                // in the order of the renames
    std::vector<std::filesystem::path> removals; // pieces the new image no longer reaches, removed last
};

// Whether a file name may stand in a journal as an output: a bare name, no folder part, no drive, not "."
// or "..". An output with another name is put in place after the journal's renames, outside it.
bool journalFileName(const std::filesystem::path& name);

std::string journalText(const Journal& journal);

// The journal the text holds, refused unless every name in it is one this tool makes in a work folder: an
// output's file name with its own temporary name, and only pieces among the removals. The refusal gives
// the reason alone; `shown` names the journal file in it.
Outcome<Journal> parseJournal(std::string_view text, std::string_view shown);

} // namespace romc
