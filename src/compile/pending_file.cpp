#include "compile/pending_file.h"

#include "files/interruption.h"
#include "files/temporary_name.h"
#include "files/utf8_path.h"

#include <span>

namespace romc {

namespace {

// Names are fresh each time, so a clash means only that the impossible happened or that someone is
// planting names; a few more tries tell the two apart.
constexpr int kCreateAttempts = 4;

} // namespace

PendingFile::PendingFile(Disk& disk, std::filesystem::path finalPath, std::filesystem::path tempPath,
                         std::unique_ptr<OpenFile> file)
    : disk_(disk), final_(std::move(finalPath)), temp_(std::move(tempPath)),
      shown_(pathToUtf8(final_.filename())), file_(std::move(file)), identity_(file_->identity()),
      guard_(temp_) {}

Outcome<std::unique_ptr<PendingFile>> PendingFile::create(Disk& disk, const std::filesystem::path& finalPath,
                                                          std::optional<unsigned> permissions) {
    std::error_code error;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        auto temp = temporaryNameFor(finalPath);
        // An interruption between creating the file and putting it on the list of temporary files would
        // leave it behind: it waits until the file is on the list.
        const InterruptionsDeferred untilListed;
        auto created = disk.createNew(temp, permissions);
        if (created.value) {
            return std::unique_ptr<PendingFile>(
                new PendingFile(disk, finalPath, std::move(temp), std::move(created.value)));
        }
        error = created.error;
        if (error != std::errc::file_exists) {
            break;
        }
    }
    return fileFailure("create", pathToUtf8(finalPath.filename()), error);
}

PendingFile::~PendingFile() {
    if (file_) {
        file_->close();
    }
    if (!committed_) {
        disk_.remove(temp_);
    }
}

Refusal PendingFile::writeAt(std::uintmax_t offset, const void* bytes, std::size_t size) {
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    if (auto error = file_->writeAt(offset, std::span(first, size))) {
        return fileFailure("write", shown_, error);
    }
    return std::nullopt;
}

Refusal PendingFile::finish() {
    auto error = file_->sync();
    const auto closed = file_->close();
    file_.reset();
    if (!error) {
        error = closed;
    }
    if (error) {
        return fileFailure("write", shown_, error);
    }
    return std::nullopt;
}

Refusal PendingFile::checkReplaceable() {
    if (disk_.entryAt(final_).value == EntryKind::Folder) {
        return Failure{"Cannot replace " + inQuotes(shown_) + ": a folder of that name is in the way"};
    }
    if (auto error = disk_.checkReplaceable(final_)) {
        return fileFailure("replace", shown_, error);
    }
    return std::nullopt;
}

Refusal PendingFile::commit() {
    if (auto error = disk_.replace(temp_, final_)) {
        return fileFailure("replace", shown_, error);
    }
    committed_ = true;
    return std::nullopt;
}

} // namespace romc
