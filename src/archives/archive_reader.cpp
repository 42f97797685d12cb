#include "archives/archive_reader.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>

namespace romc {

namespace {

// libarchive asks for the archive's bytes a piece at a time; each piece is read through the seam's handle.
constexpr std::size_t kFeedBytes = 64 * 1024;

struct Feed {
    OpenFile* file = nullptr;
    std::uintmax_t offset = 0;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kFeedBytes);
    std::error_code error;
};

la_ssize_t readPiece(archive* reader, void* data, const void** piece) {
    auto& feed = *static_cast<Feed*>(data);
    std::size_t got = 0;
    if (auto error = feed.file->readAt(feed.offset, feed.buffer, got)) {
        feed.error = error;
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

la_int64_t skipAhead(archive*, void* data, la_int64_t request) {
    auto& feed = *static_cast<Feed*>(data);
    const auto size = feed.file->size();
    const auto skipped =
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(std::max<la_int64_t>(request, 0)),
                                 size > feed.offset ? size - feed.offset : 0);
    feed.offset += skipped;
    return static_cast<la_int64_t>(skipped);
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
    archive_read_set_skip_callback(reader, skipAhead);
    if (archive_read_open1(reader) != ARCHIVE_OK) {
        return Failure{"it is damaged or no such archive: " + libraryReason(reader)};
    }
    return opened;
}

std::string memberName(archive_entry* entry, ArchiveKind kind, std::string_view archivePath) {
    if (kind == ArchiveKind::Gzip) {
        return gzipMemberName(archivePath);
    }
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
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
    return name.empty() || name.front() == '/' || name.front() == '\\' || drive;
}

// Why a member makes the whole archive untrusted, if it does.
std::optional<std::string> untrustedMember(archive_entry* entry, const std::string& name) {
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

// Walks the members, refusing the archive at the first untrusted one; `visit` returns true to stop there.
template <class Visit>
Refusal walkMembers(OpenArchive& opened, ArchiveKind kind, std::string_view archivePath, Visit visit) {
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
        bool stop = false;
        if (auto failure = visit(reader, entry, name, stop)) {
            return failure;
        }
        if (stop) {
            return std::nullopt;
        }
    }
}

Outcome<UnpackedMember> unpack(archive* reader, const std::string& name, std::size_t limit) {
    UnpackedMember unpacked{name, {}, false};
    std::vector<std::uint8_t> piece(kFeedBytes);
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, piece.data(), piece.size());
        if (got < 0) {
            return Failure{"its member " + inQuotes(name) +
                           " is damaged or fails its checksum: " + libraryReason(reader)};
        }
        if (got == 0) {
            return unpacked;
        }
        const auto kept = std::min(static_cast<std::size_t>(got), limit + 1 - unpacked.bytes.size());
        unpacked.bytes.insert(unpacked.bytes.end(), piece.begin(),
                              piece.begin() + static_cast<std::ptrdiff_t>(kept));
        if (unpacked.bytes.size() > limit) {
            unpacked.pastLimit = true;
            return unpacked;
        }
    }
}

} // namespace

Outcome<std::vector<std::string>> archiveMembers(OpenFile& file, ArchiveKind kind,
                                                 std::string_view archivePath) {
    auto opened = openArchive(file, kind);
    if (!opened.ok()) {
        return opened.failure();
    }
    std::vector<std::string> members;
    auto failure = walkMembers(*opened.value(), kind, archivePath,
                               [&](archive*, archive_entry*, const std::string& name, bool&) -> Refusal {
                                   members.push_back(name);
                                   return std::nullopt;
                               });
    if (failure) {
        return *failure;
    }
    return members;
}

Outcome<ArchiveRomRead> readArchiveRom(OpenFile& file, ArchiveKind kind, std::string_view archivePath,
                                       std::string_view member, std::size_t limit) {
    auto opened = openArchive(file, kind);
    if (!opened.ok()) {
        return opened.failure();
    }
    ArchiveRomRead read;
    auto failure =
        walkMembers(*opened.value(), kind, archivePath,
                    [&](archive* reader, archive_entry*, const std::string& name, bool& stop) -> Refusal {
                        read.members.push_back(name);
                        const bool wanted =
                            member.empty() ? isRomMemberName(name) && !read.rom : name == member;
                        if (!wanted) {
                            return std::nullopt;
                        }
                        stop = !member.empty();
                        auto unpacked = unpack(reader, name, limit);
                        if (!unpacked.ok()) {
                            return unpacked.failure();
                        }
                        read.rom = std::move(unpacked.value());
                        return std::nullopt;
                    });
    if (failure) {
        return *failure;
    }
    return read;
}

} // namespace romc
