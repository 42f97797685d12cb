#include "archives/archive_reader.h"

#include "archives/utf8_names.h"
#include "files/utf8_path.h"
#include "romtable/flash_units.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <zlib.h>

namespace romc {

namespace {

// libarchive asks for the archive's bytes a piece at a time; each piece is read through the seam's handle.
constexpr std::size_t kFeedBytes = 64 * 1024;

struct Feed {
    OpenFile* file = nullptr;
    std::uintmax_t offset = 0;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kFeedBytes);
};

la_ssize_t readPiece(archive* reader, void* data, const void** piece) {
    auto& feed = *static_cast<Feed*>(data);
    std::size_t got = 0;
    if (auto error = feed.file->readAt(feed.offset, feed.buffer, got)) {
        archive_set_error(reader, EIO, "%s", error.message().c_str());
        return -1;
    }
    feed.offset += got;
    *piece = feed.buffer.data();
    return static_cast<la_ssize_t>(got);
}

la_int64_t seekTo(archive*, void* data, la_int64_t offset, int whence) {
    auto& feed = *static_cast<Feed*>(data);
    const auto size = static_cast<la_int64_t>(feed.file->size());
    const la_int64_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? static_cast<la_int64_t>(feed.offset)
                                                 : size;
    const la_int64_t target = base + offset;
    if (target < 0) {
        return ARCHIVE_FATAL;
    }
    feed.offset = static_cast<std::uintmax_t>(target);
    return target;
}

struct ReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<archive, ReaderDeleter>;

std::string libraryReason(archive* reader) {
    const char* text = archive_error_string(reader);
    return text != nullptr && *text != '\0' ? text : "the archive library gives no reason";
}

// An archive opened for one pass over its members; closed when it goes.
struct OpenArchive {
    Utf8Names names; // first made, last gone: the library converts names while it reads
    Feed feed;
    Reader reader;
};

Outcome<std::unique_ptr<OpenArchive>> openArchive(OpenFile& file, ArchiveKind kind) {
    auto opened = std::make_unique<OpenArchive>();
    opened->feed.file = &file;
    opened->reader.reset(archive_read_new());
    archive* reader = opened->reader.get();
    if (reader == nullptr) {
        return Failure{"the archive library has no memory left"};
    }
    switch (kind) {
    case ArchiveKind::Zip:
        archive_read_support_format_zip(reader);
        break;
    case ArchiveKind::SevenZip:
        archive_read_support_format_7zip(reader);
        break;
    case ArchiveKind::Gzip:
    case ArchiveKind::None:
        archive_read_support_filter_gzip(reader);
        archive_read_support_format_raw(reader);
        break;
    }
    archive_read_set_callback_data(reader, &opened->feed);
    archive_read_set_read_callback(reader, readPiece);
    archive_read_set_seek_callback(reader, seekTo);
    if (archive_read_open1(reader) != ARCHIVE_OK) {
        return Failure{"it is damaged or no such archive: " + libraryReason(reader)};
    }
    return opened;
}

std::string memberName(archive_entry* entry, ArchiveKind kind, std::string_view archivePath) {
    if (kind == ArchiveKind::Gzip) {
        return gzipMemberName(archivePath);
    }
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) {
        return utf8;
    }
    // Where the library cannot give UTF-8 (Windows without iconv, for a 7z's UTF-16 names), it gives the
    // system's wide text.
    if (const wchar_t* wide = archive_entry_pathname_w(entry)) {
        return pathToUtf8(std::filesystem::path(std::wstring(wide)));
    }
    const char* raw = archive_entry_pathname(entry);
    return raw != nullptr ? raw : "";
}

bool leavesItsFolder(std::string_view name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool isAbsoluteName(std::string_view name) {
    const bool drive =
        name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
    return name.front() == '/' || name.front() == '\\' || drive;
}

// Why a member makes the whole archive untrusted, if it does.
std::optional<std::string> untrustedMember(archive_entry* entry, const std::string& name) {
    if (name.empty()) {
        return std::string("it holds a member without a name");
    }
    if (isAbsoluteName(name)) {
        return "it holds a member with an absolute name, " + inQuotes(name);
    }
    if (leavesItsFolder(name)) {
        return "it holds a member whose name leaves the archive's folder, " + inQuotes(name);
    }
    const char* linkTarget = archive_entry_symlink(entry);
    const char* hardLink = archive_entry_hardlink(entry);
    const auto type = archive_entry_filetype(entry);
    if (linkTarget != nullptr || hardLink != nullptr || (type != AE_IFREG && type != AE_IFDIR && type != 0)) {
        return "it holds a link, " + inQuotes(name) +
               (linkTarget != nullptr ? " to " + inQuotes(linkTarget)
                : hardLink != nullptr ? " to " + inQuotes(hardLink)
                                      : std::string());
    }
    if (archive_entry_is_encrypted(entry) != 0) {
        return "its member " + inQuotes(name) + " is encrypted";
    }
    return std::nullopt;
}

// libarchive 3.6 (Debian 12) fails to read a 7z member after skipping one whose size is a multiple of
// 64 KiB, as ROM sizes are ("Truncated 7-Zip file body", libarchive issue 2106, fixed later). In a solid
// 7z block skipping unpacks the member all the same, so the walk unpacks it and drops the bytes; only a
// member stated larger than any ROM is skipped, to spend no time on it.
constexpr la_int64_t kReadThroughLimit = static_cast<la_int64_t>(kMaxRomBlocks) * kBlockSize;

Refusal readThrough(archive* reader, archive_entry* entry, const std::string& name) {
    if (!archive_entry_size_is_set(entry) || archive_entry_size(entry) > kReadThroughLimit) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> piece(kFeedBytes);
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, piece.data(), piece.size());
        if (got < 0) {
            return Failure{"its member " + inQuotes(name) + " is damaged: " + libraryReason(reader)};
        }
        if (got == 0) {
            return std::nullopt;
        }
    }
}

// Walks every member, refusing the archive at the first untrusted one, even after the member wanted:
// headers cost little, and an archive is trusted whole or not at all. `visit` sets `read` when it read the
// member's data; `moreToRead` says whether a later member may still be read.
template <class Visit, class MoreToRead>
Refusal walkMembers(OpenArchive& opened, ArchiveKind kind, std::string_view archivePath, Visit visit,
                    MoreToRead moreToRead) {
    archive* reader = opened.reader.get();
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader, &entry);
        if (status == ARCHIVE_EOF) {
            return std::nullopt;
        }
        if (status < ARCHIVE_WARN) {
            return Failure{"it is damaged: " + libraryReason(reader)};
        }
        const std::string name = memberName(entry, kind, archivePath);
        if (auto reason = untrustedMember(entry, name)) {
            return Failure{*reason + "; such an archive is refused whole"};
        }
        if (archive_entry_filetype(entry) == AE_IFDIR) {
            continue;
        }
        bool read = false;
        if (auto failure = visit(reader, entry, name, read)) {
            return failure;
        }
        if (!read && kind == ArchiveKind::SevenZip && moreToRead()) {
            if (auto failure = readThrough(reader, entry, name)) {
                return failure;
            }
        }
    }
}

// One member's bytes, unpacked until its end or one byte past `limit`, block by block as the library
// hands them out (no copy into a buffer of ours first).
Outcome<UnpackedMember> unpack(archive* reader, archive_entry* entry, const std::string& name,
                               std::size_t limit) {
    UnpackedMember unpacked{name, {}, false, {}};
    if (archive_entry_size_is_set(entry) != 0 && archive_entry_size(entry) > 0) {
        unpacked.bytes.reserve(std::min(static_cast<std::size_t>(archive_entry_size(entry)), limit + 1));
    }
    for (;;) {
        const void* block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF) {
            return unpacked;
        }
        if (status < ARCHIVE_OK) {
            return Failure{"its member " + inQuotes(name) +
                           " is damaged or fails its checksum: " + libraryReason(reader)};
        }
        // A sparse member's holes are zeros up to the block's offset.
        const auto at = std::min(static_cast<std::size_t>(std::max<la_int64_t>(offset, 0)), limit + 1);
        if (at > unpacked.bytes.size()) {
            unpacked.bytes.resize(at, 0);
        }
        const auto* bytes = static_cast<const std::uint8_t*>(block);
        const auto kept = std::min(size, limit + 1 - unpacked.bytes.size());
        unpacked.bytes.insert(unpacked.bytes.end(), bytes, bytes + kept);
        if (unpacked.bytes.size() > limit) {
            unpacked.pastLimit = true;
            return unpacked;
        }
    }
}

// libarchive does not compare a gzip file's trailer with what it unpacked; a flipped bit in the data
// would pass unseen. The trailer is the file's last 8 bytes: the CRC32 and the length (modulo 2^32) of
// the unpacked bytes, both little-endian. A gzip file of several members (rare for a ROM) ends with the
// last one's trailer and is refused here.
Refusal checkGzipTrailer(OpenFile& file, const UnpackedMember& member) {
    constexpr std::size_t kTrailerBytes = 8;
    std::array<std::uint8_t, kTrailerBytes> trailer{};
    std::size_t got = 0;
    const auto size = file.size();
    if (size < kTrailerBytes || file.readAt(size - kTrailerBytes, trailer, got) || got != kTrailerBytes) {
        return Failure{"it is damaged: it has no gzip trailer"};
    }
    const auto littleEndian = [&](std::size_t at) {
        return static_cast<std::uint32_t>(trailer[at]) | static_cast<std::uint32_t>(trailer[at + 1]) << 8 |
               static_cast<std::uint32_t>(trailer[at + 2]) << 16 |
               static_cast<std::uint32_t>(trailer[at + 3]) << 24;
    };
    uLong crc = crc32(0, Z_NULL, 0);
    crc = crc32_z(crc, member.bytes.data(), member.bytes.size());
    if (littleEndian(0) != static_cast<std::uint32_t>(crc) ||
        littleEndian(4) != static_cast<std::uint32_t>(member.bytes.size())) {
        return Failure{
            "its member " + inQuotes(member.name) +
            " is damaged or fails its checksum: the gzip trailer does not match the unpacked bytes"};
    }
    return std::nullopt;
}

} // namespace

Outcome<std::vector<std::string>> archiveMembers(OpenFile& file, ArchiveKind kind,
                                                 std::string_view archivePath) {
    auto opened = openArchive(file, kind);
    if (!opened.ok()) {
        return opened.failure();
    }
    std::vector<std::string> members;
    auto failure = walkMembers(
        *opened.value(), kind, archivePath,
        [&](archive*, archive_entry*, const std::string& name, bool&) -> Refusal {
            members.push_back(name);
            return std::nullopt;
        },
        [] { return false; });
    if (failure) {
        return *failure;
    }
    return members;
}

Outcome<ArchiveRomRead> readArchiveRom(OpenFile& file, ArchiveKind kind, std::string_view archivePath,
                                       std::string_view member, std::size_t limit, std::size_t start) {
    auto opened = openArchive(file, kind);
    if (!opened.ok()) {
        return opened.failure();
    }
    ArchiveRomRead read;
    auto failure = walkMembers(
        *opened.value(), kind, archivePath,
        [&](archive* reader, archive_entry* entry, const std::string& name, bool& dataRead) -> Refusal {
            read.members.push_back(name);
            const bool wanted = !read.rom && (member.empty() ? isRomMemberName(name) : name == member);
            if (!wanted) {
                return std::nullopt;
            }
            dataRead = true;
            // Only the start, where the archive states the length: what the header checks read.
            const bool startOnly = start < limit && archive_entry_size_is_set(entry) != 0;
            auto unpacked = unpack(reader, entry, name, startOnly ? start : limit);
            if (unpacked.ok() && startOnly) {
                unpacked.value().pastLimit = false;
                unpacked.value().statedBytes = static_cast<std::uintmax_t>(archive_entry_size(entry));
            }
            if (!unpacked.ok()) {
                return unpacked.failure();
            }
            read.rom = std::move(unpacked.value());
            return std::nullopt;
        },
        [&] { return !read.rom.has_value(); });
    if (failure) {
        return *failure;
    }
    if (kind == ArchiveKind::Gzip && read.rom && !read.rom->pastLimit && !read.rom->statedBytes) {
        if (auto wrong = checkGzipTrailer(file, *read.rom)) {
            return *wrong;
        }
    }
    return read;
}

} // namespace romc
