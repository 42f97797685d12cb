// The one seam between the tool and the file system for the files it reads and writes: ROMs, "Menu.GB",
// the outputs, lists and maps. Opening, exclusive creation, flushing, renaming and locking are written once
// per platform behind this interface, so the rest of the core has no platform code, and fault tests can put
// in a disk that fails on cue.
//
// Errors come back as std::error_code; the callers word the message, naming the file as the user knows it
// (fileFailure in romtable/failure.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

namespace romc {

// What an open handle names. A ROM or a template is read only when it is a regular file: a pipe or a
// device could block for ever or never end.
enum class FileKind { Regular, Folder, Other };

// Which file a handle holds, whatever path led to it: two paths name the same file when their identities
// are equal (links, letter case, "..", another spelling of the folder).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    bool operator==(const FileIdentity&) const = default;
};

class OpenFile {
  public:
    virtual ~OpenFile() = default;

    // As the handle saw the file when it was opened.
    virtual FileKind kind() const = 0;
    virtual std::uintmax_t size() const = 0;
    virtual FileIdentity identity() const = 0;
    // Permission bits, where the system has them (0 elsewhere): a replaced template keeps its own.
    virtual unsigned permissions() const = 0;

    // Reads up to into.size() bytes at `offset`; `got` tells how many came (fewer only at the end).
    virtual std::error_code readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) = 0;
    // Writes every byte at `offset`, lengthening the file as needed.
    virtual std::error_code writeAt(std::uintmax_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Puts what was written on the disk itself, not only in the system's caches.
    virtual std::error_code sync() = 0;
    virtual std::error_code close() = 0;
};

// Held while a compilation works in a folder; the lock dies with the handle or the process.
class FolderLock {
  public:
    virtual ~FolderLock() = default;
};

// Reasons of the tool's own, where the system's words would mislead.
enum class DiskError {
    ReadOnlyFile = 1,     // the file is marked read-only and cannot be replaced
    HeldByAnotherProgram, // another program has the file open and does not let it be replaced
};
const std::error_category& diskErrorCategory();
inline std::error_code make_error_code(DiskError error) {
    return {static_cast<int>(error), diskErrorCategory()};
}

// What a name in a folder holds, looked at without following a link.
enum class EntryKind { None, File, Folder, Link, Other };

template <class T> struct DiskResult {
    T value;
    std::error_code error;
};

class Disk {
  public:
    virtual ~Disk() = default;

    // Opens an existing file for reading. Never blocks on a pipe or device (the caller refuses anything
    // that is not a regular file after looking at kind()), never creates a file.
    virtual DiskResult<std::unique_ptr<OpenFile>> openForReading(const std::filesystem::path& path) = 0;
    // Creates a new file for writing; fails when anything, a link included, already has that name.
    // `permissions` (where the system has them) are given to the new file; none: the system's default.
    virtual DiskResult<std::unique_ptr<OpenFile>> createNew(const std::filesystem::path& path,
                                                            std::optional<unsigned> permissions) = 0;
    // Renames `from` over `to` in one step: `to` names the old file or the new one, never a mix. A link
    // at `to` is replaced, not followed.
    virtual std::error_code replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual std::error_code remove(const std::filesystem::path& path) = 0;
    // Puts the folder's entries (the names just created, renamed or removed) on the disk.
    virtual std::error_code syncFolder(const std::filesystem::path& folder) = 0;
    // Whether an existing file at `path` could be replaced now: on some systems a file held open by
    // another program (a flasher) or marked read-only cannot be. A missing file is no obstacle.
    virtual std::error_code checkReplaceable(const std::filesystem::path& path) = 0;
    // Takes the folder's lock without waiting; std::errc::resource_unavailable_try_again when another
    // process holds it. Leaves no file behind once released.
    virtual DiskResult<std::unique_ptr<FolderLock>> lockFolder(const std::filesystem::path& folder) = 0;
    // What has the name `path` now (EntryKind::None: nothing), a link not followed. The write path asks
    // here, not the file system directly, so that fault tests see every look it takes.
    virtual DiskResult<EntryKind> entryAt(const std::filesystem::path& path);
    // The names of the entries in `folder`, "." and ".." left out, in no set order.
    virtual DiskResult<std::vector<std::filesystem::path>> folderNames(const std::filesystem::path& folder);
};

// The machine's own file system.
Disk& systemDisk();

// The given disk, or the system's when none is given.
inline Disk& diskOr(Disk* disk) {
    return disk != nullptr ? *disk : systemDisk();
}

} // namespace romc

template <> struct std::is_error_code_enum<romc::DiskError> : std::true_type {};
