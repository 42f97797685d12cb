// An output file written beside its final name and renamed over it only when complete, so that a failure
// never leaves a half-written file under an output name.
#pragma once

#include "romtable/failure.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace romc {

class PendingFile {
  public:
    // Creates the temporary file for `finalPath` in the same folder. A file left there by an earlier crash,
    // or a link planted under that name, is removed first; the new file is created exclusively.
    static Outcome<std::unique_ptr<PendingFile>> create(const std::filesystem::path& finalPath);

    ~PendingFile(); // removes the temporary file unless it was committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Writes `size` bytes at `offset`, lengthening the file as needed; the gap before it reads as zeros.
    Refusal writeAt(std::uintmax_t offset, const void* bytes, std::size_t size);
    // Flushes and closes; the data is then complete on disk under the temporary name.
    Refusal finish();
    // Renames the temporary file over the final name (a link there is replaced, not followed).
    Refusal commit();

    const std::string& shownName() const { return shown_; }

  private:
    PendingFile(std::filesystem::path finalPath, std::filesystem::path tempPath, std::FILE* stream);
    Failure writeFailure(int error) const;

    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::string shown_;
    std::FILE* stream_;
    bool committed_ = false;
};

} // namespace romc
