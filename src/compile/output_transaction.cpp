#include "compile/output_transaction.h"

#include "compile/journal.h"
#include "compile/recovery.h"
#include "files/interruption.h"
#include "files/utf8_path.h"

#include <algorithm>
#include <set>

namespace romc {

namespace {

bool nameTaken(Disk& disk, const std::filesystem::path& path) {
    return disk.entryAt(path).value != EntryKind::None;
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
}

} // namespace

OutputTransaction::OutputTransaction(Disk& disk, std::filesystem::path workDir)
    : disk_(disk), workDir_(std::move(workDir)) {}

OutputTransaction::~OutputTransaction() {
    if (journalWritten_) {
        dropJournal();
    }
}

Outcome<PendingFile*> OutputTransaction::add(const std::filesystem::path& finalPath,
                                             std::optional<unsigned> permissions) {
    auto created = PendingFile::create(disk_, finalPath, permissions);
    if (!created.ok()) {
        return created.failure();
    }
    files_.push_back(std::move(created.value()));
    return files_.back().get();
}

const PendingFile* OutputTransaction::file(std::string_view name) const {
    for (const auto& pending : files_) {
        if (pending->finalPath().parent_path() == workDir_ && pending->shownName() == name) {
            return pending.get();
        }
    }
    return nullptr;
}

void OutputTransaction::removeWhenCommitted(const std::filesystem::path& name) {
    obsolete_.push_back(name);
}

bool OutputTransaction::inWorkFolder(const PendingFile& file) const {
    return folderOf(file.finalPath()).lexically_normal() ==
               (workDir_.empty() ? std::filesystem::path(".") : workDir_).lexically_normal() &&
           journalFileName(file.finalPath().filename());
}

Refusal OutputTransaction::writeJournal() {
    Journal journal;
    auto folder = disk_.openForReading(workDir_.empty() ? std::filesystem::path(".") : workDir_);
    if (!folder.value) {
        return fileFailure("write", kJournalName, folder.error);
    }
    journal.folder = folder.value->identity();
    for (const auto& file : files_) {
        if (inWorkFolder(*file)) {
            journal.puts.push_back(
                {file->temporaryPath().filename(), file->finalPath().filename(), file->identity()});
        }
    }
    journal.removals = obsolete_;
    const std::string text = journalText(journal);

    auto written = PendingFile::create(disk_, workDir_ / kJournalName);
    if (!written.ok()) {
        return written.failure();
    }
    PendingFile& file = *written.value();
    Refusal failure = file.writeAt(0, text.data(), text.size());
    if (!failure) {
        failure = file.finish();
    }
    if (!failure) {
        failure = file.commit();
    }
    if (failure) {
        return failure;
    }
    journalWritten_ = true;
    if (auto error = disk_.syncFolder(workDir_)) {
        return fileFailure("write", kJournalName, error);
    }
    return std::nullopt;
}

void OutputTransaction::dropJournal() {
    disk_.remove(workDir_ / kJournalName);
    disk_.syncFolder(workDir_);
    journalWritten_ = false;
}

Refusal OutputTransaction::commit() {
    for (auto& file : files_) {
        if (!file->finished()) {
            if (auto failure = file->finish()) {
                return Failure{failure->message + "; nothing was changed"};
            }
        }
    }
    for (auto& file : files_) {
        if (auto failure = file->checkReplaceable()) {
            return Failure{failure->message + "; nothing was changed"};
        }
    }
    // The work folder's outputs go first, under the journal; the others follow.
    std::stable_partition(files_.begin(), files_.end(),
                          [this](const auto& file) { return inWorkFolder(*file); });
    const auto journaled = static_cast<std::size_t>(std::count_if(
        files_.begin(), files_.end(), [this](const auto& file) { return inWorkFolder(*file); }));

    // From here to the journal's removal an interruption waits, so that it never removes the temporary
    // files a journal in place still names.
    const InterruptionsDeferred whileRenaming;
    // One rename needs no journal: it happens whole or not at all.
    if (journaled + obsolete_.size() > 1) {
        if (auto failure = writeJournal()) {
            if (journalWritten_) {
                dropJournal();
            }
            return Failure{failure->message + "; nothing was changed"};
        }
    }
    std::set<std::filesystem::path> folders;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (auto failure = files_[i]->commit()) {
            std::vector<std::string> unchanged;
            for (std::size_t k = i; k < files_.size(); ++k) {
                unchanged.push_back(files_[k]->shownName());
            }
            std::string message = failure->message + "; ";
            message += written_.empty() ? "nothing was changed"
                                        : joinedNames(written_) + (written_.size() == 1 ? " is" : " are") +
                                              " already new, " + joinedNames(unchanged) +
                                              (unchanged.size() == 1 ? " is" : " are") + " as before";
            // The message says what is new; the temporary files go with this transaction, and so does the
            // journal that names them.
            if (journalWritten_) {
                dropJournal();
            }
            return Failure{std::move(message)};
        }
        written_.push_back(files_[i]->shownName());
        folders.insert(folderOf(files_[i]->finalPath()));
    }
    for (const auto& folder : folders) {
        disk_.syncFolder(folder);
    }
    for (const auto& name : obsolete_) {
        const auto path = workDir_ / name;
        if (auto error = disk_.remove(path); error && nameTaken(disk_, path)) {
            warnings_.push_back(fileFailure("remove", pathToUtf8(name), error).message);
        } else {
            removed_.push_back(pathToUtf8(name));
        }
    }
    if (journalWritten_) {
        dropJournal();
    }
    return std::nullopt;
}

Outcome<std::unique_ptr<FolderLock>> lockWorkFolder(Disk& disk, const std::filesystem::path& workDir,
                                                    LockNeed need) {
    auto lock = disk.lockFolder(workDir);
    if (lock.value) {
        return std::move(lock.value);
    }
    const std::string folder = pathToUtf8(workDir);
    if (lock.error == std::errc::resource_unavailable_try_again) {
        return Failure{"Another compilation is running in " + inQuotes(folder) +
                       "; nothing was changed. Try again when it has finished"};
    }
    if (need == LockNeed::UnlessUnwritable) {
        return std::unique_ptr<FolderLock>();
    }
    return Failure{"Cannot work in " + inQuotes(folder) + ": " + lock.error.message()};
}

} // namespace romc
