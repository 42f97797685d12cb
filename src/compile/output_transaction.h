// The outputs of one run put in place together. Each file is written whole under a temporary name and
// flushed to the disk; only then are they renamed over their names, in the order they were added, with a
// journal in the work folder naming every rename there, so that a run killed among the renames (or a power
// cut) is completed by the next compilation there instead of leaving files of two compilations side by
// side. Outputs outside the work folder (a list or map the user named elsewhere) are renamed after those.
//
// Order on the disk: every temporary file synced; the journal written, synced and renamed into place; the
// folder synced; the renames; each folder synced; the obsolete files removed; the journal removed and the
// folder synced. A power cut before the journal is in place leaves every file as it was (the next
// compilation removes the temporary files); after it, the next compilation completes the renames. From the
// journal's first byte to its removal, Ctrl+C and the other interruptions wait: the journal never points
// at temporary files an interrupted run has removed.
#pragma once

#include "compile/pending_file.h"
#include "files/disk.h"
#include "romtable/failure.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace romc {

class OutputTransaction {
  public:
    OutputTransaction(Disk& disk, std::filesystem::path workDir);
    ~OutputTransaction(); // uncommitted, it removes every temporary file
    OutputTransaction(const OutputTransaction&) = delete;
    OutputTransaction& operator=(const OutputTransaction&) = delete;

    // A new output, to be written through the returned file, which the transaction owns.
    Outcome<PendingFile*> add(const std::filesystem::path& finalPath,
                              std::optional<unsigned> permissions = {});
    // A piece of the work folder that the new outputs make obsolete (the new image no longer reaches it),
    // removed after them; `name` is its bare file name.
    void removeWhenCommitted(const std::filesystem::path& name);

    // Puts everything in place. Every output is finished and checked before the first rename, so a
    // failure then changes nothing; a failure among the renames says which files are already new.
    Refusal commit();

    // After commit: the outputs put in place and the obsolete files removed, by file name, and each
    // obsolete file that could not be removed, as a warning.
    const std::vector<std::string>& written() const { return written_; }
    const std::vector<std::string>& removed() const { return removed_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    bool empty() const { return files_.empty() && obsolete_.empty(); }
    // The output to be put in place under the file name `name` in the work folder, if any.
    const PendingFile* file(std::string_view name) const;

  private:
    Refusal writeJournal();
    void dropJournal();
    bool inWorkFolder(const PendingFile& file) const;

    Disk& disk_;
    std::filesystem::path workDir_;
    std::vector<std::unique_ptr<PendingFile>> files_;
    std::vector<std::filesystem::path> obsolete_;
    std::vector<std::string> written_;
    std::vector<std::string> removed_;
    std::vector<std::string> warnings_;
    bool journalWritten_ = false;
};

// The work folder's lock, held from a compilation's first check to its last rename: a second compilation
// in the folder is refused at once, naming the folder. UnlessUnwritable: a folder where no lock can be
// taken for any other reason gives no lock and no failure.
enum class LockNeed { Always, UnlessUnwritable };
Outcome<std::unique_ptr<FolderLock>> lockWorkFolder(Disk& disk, const std::filesystem::path& workDir,
                                                    LockNeed need = LockNeed::Always);

} // namespace romc
