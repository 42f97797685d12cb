// The window model and archives: "Find File" or a drop of one archive holding several ROMs asks which to
// take, one question per ROM in the archive's order; "Add ROMs..." and a drop of several files add every ROM
// of each archive.
#include "archives/rom_source_file.h"
#include "cartridge/rom_header.h"
#include "form/window_model.h"
#include "romtable/rom_source.h"

namespace romform {

namespace {

constexpr const char* kFindFileAction = "Find File";

bool isArchiveAlone(const std::string& path) {
    const romc::RomSource source = romc::romSourceOf(path);
    return romc::archiveKindOf(source.file) != romc::ArchiveKind::None && source.member.empty();
}

} // namespace

std::optional<Reaction> WindowModel::chooseArchiveMember() {
    if (!isArchiveAlone(heldRomFile_)) {
        return std::nullopt;
    }
    const auto roms = romc::romMembersOf(romc::systemDisk(), workFolder_, heldRomFile_);
    if (!roms.ok()) {
        return failure(kFindFileAction, roms.failure().message, Severity::Warning);
    }
    if (roms.value().size() == 1) {
        heldRomFile_ = romc::romSourceText(heldRomFile_, roms.value().front());
        return std::nullopt;
    }
    if (roms.value().empty()) {
        // Add ROM words the refusal, listing what the archive holds.
        const auto opened = romc::openRomSource(romc::systemDisk(), workFolder_, heldRomFile_);
        return failure(kFindFileAction, opened.ok() ? "" : opened.failure().message, Severity::Warning);
    }
    const std::size_t count = roms.value().size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& member = roms.value()[i];
        const Question question{caption() + " - " + kFindFileAction,
                                romc::inQuotes(heldRomFile_) + " holds " + std::to_string(count) +
                                    " ROMs. Take " + romc::inQuotes(member) + " (" + std::to_string(i + 1) +
                                    " of " + std::to_string(count) + ")?",
                                Severity::Information,
                                {Choice::Yes, Choice::No, Choice::Cancel},
                                Choice::Yes,
                                Choice::Cancel};
        const Choice answer = dialogs_->ask(question);
        if (answer == Choice::Yes) {
            heldRomFile_ = romc::romSourceText(heldRomFile_, member);
            return std::nullopt;
        }
        if (answer == Choice::Cancel) {
            break;
        }
    }
    heldRomFile_ = romc::romSourceOf(heldRomFile_).file;
    return Reaction{};
}

std::vector<std::string> WindowModel::romsOfFiles(const std::vector<std::string>& files) const {
    std::vector<std::string> roms;
    for (const auto& file : files) {
        if (!isArchiveAlone(file)) {
            roms.push_back(file);
            continue;
        }
        const auto members = romc::romMembersOf(romc::systemDisk(), workFolder_, file);
        if (!members.ok() || members.value().empty()) {
            roms.push_back(file); // Add ROM says why it is refused
            continue;
        }
        for (const auto& member : members.value()) {
            roms.push_back(romc::romSourceText(file, member));
        }
    }
    return roms;
}

// A member of a solid 7z is reached by unpacking every member before it, and every change of the table
// checks every row again: a row's warnings are read again only when its archive changed (length, time).
std::string WindowModel::rowWarningOf(std::size_t row) {
    const std::string& file = state_.table.text(row, romc::Column::File);
    const romc::RomSource source = romc::romSourceOf(file);
    std::string stamp;
    if (romc::archiveKindOf(source.file) != romc::ArchiveKind::None) {
        std::error_code error;
        const auto path = romc::resolveRomPath(workFolder_, source.file);
        const auto bytes = std::filesystem::file_size(path, error);
        const auto changed =
            error ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(path, error);
        if (!error) {
            stamp = std::to_string(bytes) + "@" + std::to_string(changed.time_since_epoch().count());
        }
    }
    const std::string key = file + '\n' + state_.table.text(row, romc::Column::SaveFlag);
    const auto found = checkedArchiveRows_.find(key);
    if (!stamp.empty() && found != checkedArchiveRows_.end() && found->second.first == stamp) {
        return found->second.second;
    }
    std::string joined;
    for (const auto& warning : romc::checkTableRow(state_.table, row, workFolder_).warnings) {
        joined += (joined.empty() ? "" : "; ") + warning;
    }
    if (!stamp.empty()) {
        checkedArchiveRows_[key] = {stamp, joined};
    }
    return joined;
}

bool WindowModel::holdsSeveralRoms(const std::string& file) const {
    if (!isArchiveAlone(file)) {
        return false;
    }
    const auto members = romc::romMembersOf(romc::systemDisk(), workFolder_, file);
    return members.ok() && members.value().size() > 1;
}

} // namespace romform
