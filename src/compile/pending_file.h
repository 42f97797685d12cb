// An output file written under a temporary name beside its final one and renamed over it only when
// complete and on the disk, so that a failure never leaves a half-written file under an output name.
#pragma once

#include "files/disk.h"
#include "files/temporary_files.h"
#include "romtable/failure.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace romc {

class PendingFile {
  public:
    // Creates the temporary file for `finalPath` in the same folder, under a name no other run uses,
    // exclusively (a link planted there is never followed). `permissions`: those the final file gets.
    static Outcome<std::unique_ptr<PendingFile>> create(Disk& disk, const std::filesystem::path& finalPath,
                                                        std::optional<unsigned> permissions = {});

    ~PendingFile(); // removes the temporary file unless it was put in place
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Writes `size` bytes at `offset`, lengthening the file as needed; the gap before it reads as zeros.
    Refusal writeAt(std::uintmax_t offset, const void* bytes, std::size_t size);
    // Flushes to the disk and closes; the data is then complete under the temporary name.
    Refusal finish();
    bool finished() const { return !file_; }
    // Whether the final name can be replaced now (on Windows a program may hold it open).
    Refusal checkReplaceable();
    // Renames the temporary file over the final name (a link there is replaced, not followed).
    Refusal commit();

    const std::filesystem::path& finalPath() const { return final_; }
    const std::filesystem::path& temporaryPath() const { return temp_; }
    const std::string& shownName() const { return shown_; } // the final file's name, for messages
    // The temporary file's identity, which the final name holds once it is put in place.
    const FileIdentity& identity() const { return identity_; }

  private:
    PendingFile(Disk& disk, std::filesystem::path finalPath, std::filesystem::path tempPath,
                std::unique_ptr<OpenFile> file);

    Disk& disk_;
    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::string shown_;
    std::unique_ptr<OpenFile> file_;
    FileIdentity identity_;
    TemporaryFileGuard guard_;
    bool committed_ = false;
};

} // namespace romc
