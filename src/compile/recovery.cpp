#include "compile/recovery.h"

#include "compile/journal.h"
#include "compile/output_transaction.h"
#include "files/temporary_name.h"
#include "files/utf8_path.h"

#include <algorithm>

namespace romc {

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kLargestJournal = 1024 * 1024;

std::optional<std::string> readJournalText(Disk& disk, const fs::path& path) {
    auto opened = disk.openForReading(path);
    if (!opened.value || opened.value->kind() != FileKind::Regular ||
        opened.value->size() > kLargestJournal) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(opened.value->size()), '\0');
    std::size_t got = 0;
    const auto error =
        opened.value->readAt(0, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()), got);
    if (error || got != text.size()) {
        return std::nullopt;
    }
    return text;
}

std::optional<FileIdentity> identityAt(Disk& disk, const fs::path& path) {
    const auto opened = disk.openForReading(path);
    if (!opened.value) {
        return std::nullopt;
    }
    return opened.value->identity();
}

std::string shownFolder(const fs::path& workDir) {
    return inQuotes(pathToUtf8(workDir.empty() ? fs::path(".") : workDir));
}

std::string shownJournal(const fs::path& workDir) {
    return pathToUtf8(workDir / kJournalName);
}

// Where each of the journal's outputs stands: still under its temporary name, already renamed (its final
// name holds the very file the journal saw written), or neither.
enum class PutState { Pending, Done, Lost };

PutState stateOf(Disk& disk, const fs::path& workDir, const JournalPut& put) {
    if (identityAt(disk, workDir / put.temporary) == put.identity) {
        return PutState::Pending;
    }
    return identityAt(disk, workDir / put.final) == put.identity ? PutState::Done : PutState::Lost;
}

std::string names(const std::vector<std::string>& shown) {
    return shown.empty() ? "none" : joinedNames(shown);
}

void removeTemporaryFiles(Disk& disk, const fs::path& workDir, Recovery& recovery) {
    const auto listed = disk.folderNames(workDir);
    int removed = 0;
    for (const auto& name : listed.value) {
        if (isTemporaryName(name) && !disk.remove(workDir / name)) {
            ++removed;
        }
    }
    if (removed > 0) {
        recovery.notes.push_back("Removed " + std::to_string(removed) + " temporary file" +
                                 (removed == 1 ? "" : "s") + " left by an interrupted run in " +
                                 shownFolder(workDir));
        recovery.changed = true;
    }
}

} // namespace

std::string joinedNames(const std::vector<std::string>& shown) {
    std::string text;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == shown.size() ? " and " : ", ") + inQuotes(shown[i]);
    }
    return text;
}

Recovery recoverWorkFolder(Disk& disk, const fs::path& workDir) {
    Recovery recovery;
    const fs::path journalPath = workDir / kJournalName;
    if (disk.entryAt(journalPath).value != EntryKind::None) {
        const auto text = readJournalText(disk, journalPath);
        auto journal =
            text ? parseJournal(*text, shownJournal(workDir))
                 : Outcome<Journal>(Failure{"Cannot read the journal " + inQuotes(shownJournal(workDir))});
        if (journal.ok() && identityAt(disk, workDir) != journal.value().folder) {
            journal = Failure{"Cannot use the journal " + inQuotes(shownJournal(workDir)) +
                              ": it was written in another folder and copied or moved here"};
        }
        if (!journal.ok()) {
            recovery.refusal = Failure{
                journal.failure().message + "; nothing was changed. If no compilation of " +
                "yours was interrupted in " + shownFolder(workDir) + ", remove that file and compile again"};
            return recovery;
        }
        std::vector<std::string> pending;
        std::vector<std::string> done;
        std::vector<std::string> lost;
        bool inOrder = true; // renames run in order: none is done after one still pending
        for (const auto& put : journal.value().puts) {
            const std::string name = pathToUtf8(put.final);
            switch (stateOf(disk, workDir, put)) {
            case PutState::Pending:
                pending.push_back(name);
                break;
            case PutState::Done:
                inOrder = inOrder && pending.empty();
                done.push_back(name);
                break;
            case PutState::Lost:
                lost.push_back(name);
                break;
            }
        }
        if (!lost.empty() || !inOrder) {
            // Renaming what is left would only mix the files further, and removing a piece would take away
            // the one copy some flasher may still need: every file stays, and the user is told which is
            // which.
            lost.insert(lost.end(), pending.begin(), pending.end());
            recovery.notes.push_back(
                "The interrupted compilation of " + shownFolder(workDir) +
                " cannot be completed: files it was writing are gone. New: " + names(done) +
                "; as before: " + names(lost) + ". Nothing was changed; compile again before flashing");
            return recovery;
        }
        std::vector<std::string> completed;
        for (const auto& put : journal.value().puts) {
            if (std::find(pending.begin(), pending.end(), pathToUtf8(put.final)) == pending.end()) {
                continue;
            }
            if (auto error = disk.replace(workDir / put.temporary, workDir / put.final)) {
                recovery.refusal = fileFailure("replace", pathToUtf8(put.final), error);
                recovery.refusal->message += " while completing the interrupted compilation of " +
                                             shownFolder(workDir) + "; " + names(completed) + " completed";
                recovery.changed = !completed.empty();
                return recovery;
            }
            completed.push_back(pathToUtf8(put.final));
        }
        std::vector<std::string> removed;
        for (const auto& name : journal.value().removals) {
            const auto there = disk.entryAt(workDir / name).value;
            if (there != EntryKind::None && there != EntryKind::Folder && !disk.remove(workDir / name)) {
                removed.push_back(pathToUtf8(name));
            }
        }
        disk.syncFolder(workDir);
        disk.remove(journalPath);
        disk.syncFolder(workDir);
        if (!completed.empty() || !removed.empty()) {
            std::string note =
                "Completed the interrupted compilation of " + shownFolder(workDir) + ": " + names(completed);
            if (!removed.empty()) {
                note += "; removed " + joinedNames(removed) + ", which its image does not reach";
            }
            recovery.notes.push_back(std::move(note));
            recovery.changed = true;
        }
    }
    removeTemporaryFiles(disk, workDir, recovery);
    return recovery;
}

Outcome<std::unique_ptr<FolderLock>> takeWorkFolder(Disk& disk, const fs::path& workDir, Recovery* recovery) {
    auto lock = lockWorkFolder(disk, workDir);
    if (!lock.ok()) {
        return lock.failure();
    }
    Recovery found = recoverWorkFolder(disk, workDir);
    if (found.refusal) {
        return *found.refusal;
    }
    if (recovery != nullptr) {
        *recovery = std::move(found);
    }
    return std::move(lock.value());
}

Recovery recoverWorkFolderNow(Disk& disk, const fs::path& workDir) {
    const auto lock = lockWorkFolder(disk, workDir, LockNeed::UnlessUnwritable);
    if (!lock.ok() || !lock.value()) {
        return {};
    }
    return recoverWorkFolder(disk, workDir);
}

std::optional<std::string> interruptedCompilation(Disk& disk, const fs::path& workDir) {
    if (disk.entryAt(workDir / kJournalName).value == EntryKind::None) {
        return std::nullopt;
    }
    return "A compilation in " + shownFolder(workDir) +
           " was interrupted while it put its outputs in place (its journal " + inQuotes(kJournalName) +
           " is there): the files may be a mix of two compilations. Do not flash them before the next "
           "compilation there completes it";
}

} // namespace romc
