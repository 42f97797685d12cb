#include "compile/output_transaction.h"

#include "files/interruption.h"
#include "files/temporary_name.h"
#include "files/utf8_path.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace romc {

namespace {

constexpr const char* kJournalName = ".romcompiler-journal";
constexpr std::string_view kJournalHeader = "romcompiler journal 1";
constexpr std::string_view kPut = "put";
constexpr std::string_view kRemove = "remove";
constexpr std::string_view kEnd = "end";
constexpr std::uintmax_t kLargestJournal = 1024 * 1024;

// Paths go into the journal as UTF-8 with '%', tabs, line ends and other control bytes as %XX, so that
// any file name survives one line.
std::string encodePath(const std::filesystem::path& path) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : pathToUtf8(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            encoded += '%';
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 0xF];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::optional<std::filesystem::path> decodePath(std::string_view encoded) {
    std::string text;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            text += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size()) {
            return std::nullopt;
        }
        const int high = hexValue(encoded[i + 1]);
        const int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return pathFromUtf8(text);
}

struct JournalEntry {
    bool put = false; // false: remove
    std::filesystem::path from;
    std::filesystem::path to;
};

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return parts;
        }
        start = tab + 1;
    }
}

// The entries of a complete journal; none when it is not one this tool wrote whole.
std::optional<std::vector<JournalEntry>> parseJournal(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kJournalHeader) {
        return std::nullopt;
    }
    std::vector<JournalEntry> entries;
    while (std::getline(lines, line)) {
        const auto parts = fields(line);
        if (parts.size() == 1 && parts[0] == kEnd) {
            return entries;
        }
        JournalEntry entry;
        if (parts.size() == 3 && parts[0] == kPut) {
            const auto from = decodePath(parts[1]);
            const auto to = decodePath(parts[2]);
            if (!from || !to) {
                return std::nullopt;
            }
            entries.push_back({true, *from, *to});
        } else if (parts.size() == 2 && parts[0] == kRemove) {
            const auto path = decodePath(parts[1]);
            if (!path) {
                return std::nullopt;
            }
            entries.push_back({false, {}, *path});
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt; // cut short: no "end"
}

std::optional<std::string> readSmallFile(Disk& disk, const std::filesystem::path& path) {
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

bool nameTaken(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + inQuotes(names[i]);
    }
    return text;
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

void OutputTransaction::removeWhenCommitted(const std::filesystem::path& path) {
    obsolete_.push_back(path);
}

Refusal OutputTransaction::writeJournal() {
    std::string text(kJournalHeader);
    text += '\n';
    for (const auto& file : files_) {
        text += std::string(kPut) + '\t' + encodePath(file->temporaryPath()) + '\t' +
                encodePath(file->finalPath()) + '\n';
    }
    for (const auto& path : obsolete_) {
        text += std::string(kRemove) + '\t' + encodePath(path) + '\n';
    }
    text += std::string(kEnd) + '\n';

    auto journal = PendingFile::create(disk_, workDir_ / kJournalName);
    if (!journal.ok()) {
        return journal.failure();
    }
    PendingFile& file = *journal.value();
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
    // One rename needs no journal: it happens whole or not at all.
    if (files_.size() + obsolete_.size() > 1) {
        if (auto failure = writeJournal()) {
            return Failure{failure->message + "; nothing was changed"};
        }
    }

    const InterruptionsDeferred whileRenaming;
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
            return Failure{std::move(message)};
        }
        written_.push_back(files_[i]->shownName());
        folders.insert(files_[i]->finalPath().parent_path());
    }
    for (const auto& folder : folders) {
        disk_.syncFolder(folder.empty() ? std::filesystem::path(".") : folder);
    }
    for (const auto& path : obsolete_) {
        const std::string name = pathToUtf8(path.filename());
        if (auto error = disk_.remove(path); error && nameTaken(path)) {
            warnings_.push_back(fileFailure("remove", name, error).message);
        } else {
            removed_.push_back(name);
        }
    }
    if (journalWritten_) {
        dropJournal();
    }
    return std::nullopt;
}

std::vector<std::string> recoverWorkFolder(Disk& disk, const std::filesystem::path& workDir) {
    std::vector<std::string> notes;
    const auto journalPath = workDir / kJournalName;
    if (const auto text = readSmallFile(disk, journalPath)) {
        if (const auto entries = parseJournal(*text)) {
            std::vector<std::string> completed;
            for (const auto& entry : *entries) {
                if (entry.put && nameTaken(entry.from) && !disk.replace(entry.from, entry.to)) {
                    completed.push_back(pathToUtf8(entry.to.filename()));
                } else if (!entry.put && nameTaken(entry.to)) {
                    disk.remove(entry.to);
                }
            }
            if (!completed.empty()) {
                disk.syncFolder(workDir);
                notes.push_back("Completed the outputs of an interrupted compilation: " +
                                joinedNames(completed));
            }
        }
        disk.remove(journalPath);
        disk.syncFolder(workDir);
    }
    int leftovers = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workDir, error)) {
        if (isTemporaryName(entry.path().filename()) && !disk.remove(entry.path())) {
            ++leftovers;
        }
    }
    if (leftovers > 0) {
        notes.push_back("Removed " + std::to_string(leftovers) + " temporary file" +
                        (leftovers == 1 ? "" : "s") + " left by an interrupted run");
    }
    return notes;
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
