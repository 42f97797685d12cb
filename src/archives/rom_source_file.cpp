#include "archives/rom_source_file.h"

#include "archives/archive_reader.h"
#include "archives/member_file.h"
#include "romtable/flash_units.h"
#include "romtable/rom_source.h"

#include <algorithm>

namespace romc {

namespace {

// Enough names to find one's way in a message; a whole collection would bury the reason.
constexpr std::size_t kNamesListed = 12;

std::string namesText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i) {
        text += (i == 0 ? "" : ", ") + inQuotes(names[i]);
    }
    if (names.size() > kNamesListed) {
        text += " and " + std::to_string(names.size() - kNamesListed) + " more";
    }
    return text;
}

std::vector<std::string> romNames(const std::vector<std::string>& members) {
    std::vector<std::string> roms;
    std::copy_if(members.begin(), members.end(), std::back_inserter(roms), isRomMemberName);
    return roms;
}

Failure cannotRead(std::string_view text, const std::string& reason) {
    return Failure{"Cannot read " + inQuotes(text) + ": " + reason};
}

std::string holding(const std::vector<std::string>& members) {
    return members.empty() ? "it holds nothing" : "it holds " + namesText(members);
}

// Why the archive gives no ROM for `source`, once the walk found none or several.
Failure noChosenRom(std::string_view text, const RomSource& source, const std::vector<std::string>& members) {
    if (!source.member.empty()) {
        return cannotRead(text,
                          "the archive holds no member " + inQuotes(source.member) + "; " + holding(members));
    }
    const auto roms = romNames(members);
    if (roms.empty()) {
        return cannotRead(text,
                          "the archive holds no ROM (a member named \"*.gb\", \"*.gbc\" or \"*.sgb\"); " +
                              holding(members));
    }
    return cannotRead(text, "the archive holds " + std::to_string(roms.size()) +
                                " ROMs and none is named; name one of " + namesText(roms));
}

Outcome<std::shared_ptr<OpenFile>> openArchiveFile(Disk& disk, const std::filesystem::path& workDir,
                                                   const std::string& archive) {
    auto opened = openRomFile(disk, resolveRomPath(workDir, archive), archive);
    if (!opened.ok()) {
        return opened.failure();
    }
    return std::move(opened.value().file);
}

} // namespace

Outcome<SourcedRom> openRomSource(Disk& disk, const std::filesystem::path& workDir, std::string_view text) {
    return openRomStart(disk, workDir, text, static_cast<std::size_t>(-1));
}

Outcome<SourcedRom> openRomStart(Disk& disk, const std::filesystem::path& workDir, std::string_view text,
                                 std::size_t start) {
    const RomSource source = romSourceOf(text);
    const ArchiveKind kind = archiveKindOf(source.file);
    if (kind == ArchiveKind::None) {
        auto opened = openRomFile(disk, resolveRomPath(workDir, text), text);
        if (!opened.ok()) {
            return opened.failure();
        }
        return SourcedRom{std::move(opened.value()), std::string(text), false};
    }
    auto archive = openArchiveFile(disk, workDir, source.file);
    if (!archive.ok()) {
        return archive.failure();
    }
    const std::size_t limit = static_cast<std::size_t>(kMaxRomBlocks) * kBlockSize;
    auto read = readArchiveRom(*archive.value(), kind, source.file, source.member, limit, start);
    const FileIdentity identity = archive.value()->identity();
    archive.value()->close();
    if (!read.ok()) {
        return cannotRead(text, read.failure().message);
    }
    if (!read.value().rom || (source.member.empty() && romNames(read.value().members).size() > 1)) {
        return noChosenRom(text, source, read.value().members);
    }
    UnpackedMember& member = *read.value().rom;
    const std::uintmax_t bytes = member.statedBytes ? *member.statedBytes : member.bytes.size();
    auto file = std::make_shared<MemberFile>(std::move(member.bytes), identity);
    return SourcedRom{OpenRom{std::move(file), bytes}, romSourceText(source.file, member.name),
                      member.pastLimit};
}

Outcome<std::vector<std::string>> romMembersOf(Disk& disk, const std::filesystem::path& workDir,
                                               std::string_view archiveText) {
    const std::string archive(archiveText);
    auto file = openArchiveFile(disk, workDir, archive);
    if (!file.ok()) {
        return file.failure();
    }
    auto members = archiveMembers(*file.value(), archiveKindOf(archive), archive);
    file.value()->close();
    if (!members.ok()) {
        return cannotRead(archive, members.failure().message);
    }
    return romNames(members.value());
}

std::string explicitRomSource(Disk& disk, const std::filesystem::path& workDir, std::string_view text) {
    const RomSource source = romSourceOf(text);
    if (archiveKindOf(source.file) == ArchiveKind::None || !source.member.empty()) {
        return std::string(text);
    }
    const auto roms = romMembersOf(disk, workDir, source.file);
    return roms.ok() && roms.value().size() == 1 ? romSourceText(source.file, roms.value().front())
                                                 : std::string(text);
}

} // namespace romc
