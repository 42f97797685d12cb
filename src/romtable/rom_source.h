// Where a ROM's bytes come from: a plain file, or one member of a ZIP, 7z or gzip archive. The path box,
// the file column and the command line name a member as the archive's path, "::", then the member's name
// inside the archive: "roms/Tetris (World).zip::Tetris (World).gb". The text is split at the first "::"
// that follows an archive's name (".zip", ".7z", ".gz", any case), so a member's own name may hold "::".
#pragma once

#include <string>
#include <string_view>

namespace romc {

inline constexpr std::string_view kMemberSeparator = "::";

enum class ArchiveKind { None, Zip, SevenZip, Gzip };

// The kind of archive a path names, by its ending in any case; None for any other file.
ArchiveKind archiveKindOf(std::string_view path);

struct RomSource {
    std::string file;   // the plain file or the archive, as typed (relative: from the work folder)
    std::string member; // empty: the file itself, or the archive's only ROM when `file` is an archive
};

RomSource romSourceOf(std::string_view text);

// The text that names `member` of the archive `file`; `file` alone for an empty member.
std::string romSourceText(std::string_view file, std::string_view member);

// Whether an archive member is taken for a ROM: its name ends in ".gb", ".gbc" or ".sgb", any case.
bool isRomMemberName(std::string_view member);

// What a gzip file holds: one member, named as the file without ".gz" ("Tetris.gb.gz" holds "Tetris.gb").
std::string gzipMemberName(std::string_view gzipPath);

} // namespace romc
