// Reading ZIP, 7z and gzip archives through libarchive, from a handle the file system seam opened: the
// members an archive holds, and one member's bytes unpacked into memory. Nothing is unpacked to disk. An
// archive is refused whole when any member has an absolute name or one that leaves its folder (".."), is a
// link, or is encrypted: such an archive is not a ROM collection to trust.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/rom_source.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

// The members of the archive, in the archive's order, folders left out; the reason when it cannot be read
// or is refused. `archivePath` names a gzip file's one member.
Outcome<std::vector<std::string>> archiveMembers(OpenFile& archive, ArchiveKind kind,
                                                 std::string_view archivePath);

// One member unpacked, checked against its checksum where the format has one.
struct UnpackedMember {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool pastLimit = false; // it unpacks to more than the limit; `bytes` stops one byte past it
    std::optional<std::uintmax_t> statedBytes; // only the start was unpacked; the length the archive states
};

// One pass over the archive for a ROM: the member named `member`, or, with none named, the first whose
// name is a ROM's (the walk goes on to see whether another follows). Unpacking stops once a member passes
// `limit` bytes: a small archive that unpacks to gigabytes never fills memory.
struct ArchiveRomRead {
    std::optional<UnpackedMember> rom; // none: no such member, or no ROM member
    std::vector<std::string> members;  // every member, folders left out
};

// With `start` below `limit`, only the member's first `start` bytes are unpacked when the archive states
// its length (ZIP, 7z): enough for a look at the cartridge header, trusting that stated length and
// checking no checksum. Add ROM and the compilation unpack the whole member.
Outcome<ArchiveRomRead> readArchiveRom(OpenFile& archive, ArchiveKind kind, std::string_view archivePath,
                                       std::string_view member, std::size_t limit,
                                       std::size_t start = static_cast<std::size_t>(-1));

} // namespace romc
