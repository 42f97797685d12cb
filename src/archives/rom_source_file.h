// A ROM opened wherever it lies: a plain file, or a member of an archive unpacked into memory. Every place
// that reads a ROM (Add ROM, the compilation, the header checks, the "Save?" proposal, the window's tips)
// opens it here, so that a member is read and checked as a plain file is. An archive is opened once per
// read, walked once, and closed at once.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/rom_file.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

struct SourcedRom {
    OpenRom rom;                 // the plain file's handle, or the member's bytes
    std::string source;          // the text naming what was read: the member named, even when the archive
                                 // alone was given and held one ROM
    bool pastLargestRom = false; // a member that unpacks past 256 blocks; `rom.bytes` then tells no length
};

// Opens the ROM that `text` (the path box or file column text) names, relative texts taken from `workDir`.
// An archive named alone must hold exactly one ROM member; refusals name the archive, the member and the
// reason, and list what an archive holds when no ROM or several are found.
Outcome<SourcedRom> openRomSource(Disk& disk, const std::filesystem::path& workDir, std::string_view text);

// The same for a look at the ROM's first `bytes` bytes: a member of a ZIP or 7z is unpacked only that far,
// and `rom.bytes` is the length the archive states.
Outcome<SourcedRom> openRomStart(Disk& disk, const std::filesystem::path& workDir, std::string_view text,
                                 std::size_t bytes);

// The members of the archive `archiveText` whose names are ROMs', in the archive's order: what Find File
// offers to choose from and "Add ROMs..." adds. Refused as reading it for a ROM would be.
Outcome<std::vector<std::string>> romMembersOf(Disk& disk, const std::filesystem::path& workDir,
                                               std::string_view archiveText);

// The text naming the ROM that `text` names: the member made explicit when `text` names an archive alone
// that holds exactly one ROM; `text` itself otherwise (Add ROM then says what is wrong).
std::string explicitRomSource(Disk& disk, const std::filesystem::path& workDir, std::string_view text);

} // namespace romc
