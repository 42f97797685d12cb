// The file system of Windows, through the wide (W) API: paths are std::filesystem::path, which holds
// UTF-16 there, so a ROM named in any script opens as it is named.
#include "files/disk.h"
#include "files/same_file.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace romc {

namespace {

// Every handle lets other programs read, write and rename the file meanwhile: a flasher or an editor
// that has a ROM open does not stop a compilation, and a temporary file can be removed while open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The reasons a user meets every day in the words the tool uses on every system ("No such file or
// directory"); the rarer ones in the system's own.
std::error_code errorOf(DWORD error) {
    struct Reason {
        DWORD windows;
        std::errc portable;
    };
    static constexpr Reason kReasons[] = {
        {ERROR_FILE_NOT_FOUND, std::errc::no_such_file_or_directory},
        {ERROR_PATH_NOT_FOUND, std::errc::no_such_file_or_directory},
        {ERROR_INVALID_NAME, std::errc::no_such_file_or_directory},
        {ERROR_ACCESS_DENIED, std::errc::permission_denied},
        {ERROR_FILE_EXISTS, std::errc::file_exists},
        {ERROR_ALREADY_EXISTS, std::errc::file_exists},
        {ERROR_DISK_FULL, std::errc::no_space_on_device},
        {ERROR_HANDLE_DISK_FULL, std::errc::no_space_on_device},
        {ERROR_WRITE_PROTECT, std::errc::read_only_file_system},
        {ERROR_DIRECTORY, std::errc::not_a_directory},
    };
    for (const Reason& reason : kReasons) {
        if (reason.windows == error) {
            return std::make_error_code(reason.portable);
        }
    }
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        return DiskError::HeldByAnotherProgram;
    }
    return {static_cast<int>(error), std::system_category()};
}

std::error_code lastError() {
    return errorOf(::GetLastError());
}

struct HandleFacts {
    FileKind kind = FileKind::Other;
    std::uintmax_t size = 0;
    FileIdentity identity;
};

HandleFacts factsOf(HANDLE handle) {
    HandleFacts facts;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info)) {
        return facts;
    }
    facts.kind =
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Folder : FileKind::Regular;
    facts.size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    facts.identity = {info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return facts;
}

OVERLAPPED at(std::uintmax_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// One call moves at most this much, well inside a DWORD.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

class WindowsFile final : public OpenFile {
  public:
    WindowsFile(HANDLE handle, const HandleFacts& facts) : handle_(handle), facts_(facts) {}
    ~WindowsFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }
    WindowsFile(const WindowsFile&) = delete;
    WindowsFile& operator=(const WindowsFile&) = delete;

    FileKind kind() const override { return facts_.kind; }
    std::uintmax_t size() const override { return facts_.size; }
    FileIdentity identity() const override { return facts_.identity; }
    unsigned permissions() const override { return 0; }

    std::error_code readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) override {
        got = 0;
        while (got < into.size()) {
            OVERLAPPED where = at(offset + got);
            DWORD n = 0;
            const auto want = static_cast<DWORD>(std::min(into.size() - got, kLargestTransfer));
            if (!::ReadFile(handle_, into.data() + got, want, &n, &where)) {
                if (::GetLastError() == ERROR_HANDLE_EOF) {
                    break;
                }
                return lastError();
            }
            if (n == 0) {
                break;
            }
            got += n;
        }
        return {};
    }

    std::error_code writeAt(std::uintmax_t offset, std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            OVERLAPPED where = at(offset + done);
            DWORD n = 0;
            const auto want = static_cast<DWORD>(std::min(bytes.size() - done, kLargestTransfer));
            if (!::WriteFile(handle_, bytes.data() + done, want, &n, &where)) {
                return lastError();
            }
            if (n == 0) {
                return std::make_error_code(std::errc::no_space_on_device);
            }
            done += n;
        }
        return {};
    }

    std::error_code sync() override { return ::FlushFileBuffers(handle_) ? std::error_code{} : lastError(); }

    std::error_code close() override {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) ? std::error_code{} : lastError();
    }

  private:
    HANDLE handle_;
    HandleFacts facts_;
};

// A lock file that nobody else may open and that the system deletes when its handle closes, also when the
// process is killed: it never outlives the run.
class WindowsFolderLock final : public FolderLock {
  public:
    explicit WindowsFolderLock(HANDLE handle) : handle_(handle) {}
    ~WindowsFolderLock() override { ::CloseHandle(handle_); }
    WindowsFolderLock(const WindowsFolderLock&) = delete;
    WindowsFolderLock& operator=(const WindowsFolderLock&) = delete;

  private:
    HANDLE handle_;
};

constexpr const wchar_t* kLockFileName = L".romcompiler.lock";

DiskResult<std::unique_ptr<OpenFile>> opened(HANDLE handle) {
    return {std::make_unique<WindowsFile>(handle, factsOf(handle)), {}};
}

class WindowsDisk final : public Disk {
  public:
    DiskResult<std::unique_ptr<OpenFile>> openForReading(const std::filesystem::path& path) override {
        // FILE_FLAG_BACKUP_SEMANTICS lets a folder open too, so that it is refused as a folder; a named
        // pipe or a device opens without waiting and is refused by its kind.
        const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return {nullptr, lastError()};
        }
        return opened(handle);
    }

    DiskResult<std::unique_ptr<OpenFile>> createNew(const std::filesystem::path& path,
                                                    std::optional<unsigned> /*permissions*/) override {
        // CREATE_NEW is the exclusive creation: it fails on any existing name, a link included.
        const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return {nullptr, lastError()};
        }
        return opened(handle);
    }

    std::error_code replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? std::error_code{}
                   : lastError();
    }

    std::error_code remove(const std::filesystem::path& path) override {
        return ::DeleteFileW(path.c_str()) ? std::error_code{} : lastError();
    }

    std::error_code syncFolder(const std::filesystem::path& /*folder*/) override {
        // NTFS journals its folder entries, and every rename above is written through.
        return {};
    }

    std::error_code checkReplaceable(const std::filesystem::path& path) override {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return {}; // nothing there yet
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return DiskError::ReadOnlyFile;
        }
        // A rename over a file that any program holds open fails, even where that program shares
        // deletion (a flasher reading "Output1.GB", this process reading the image it inspects). Opening
        // the file for deletion while sharing nothing asks exactly that question without changing it.
        const HANDLE handle =
            ::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return ::GetLastError() == ERROR_SHARING_VIOLATION
                       ? std::error_code(DiskError::HeldByAnotherProgram)
                       : lastError();
        }
        ::CloseHandle(handle);
        return {};
    }

    DiskResult<std::unique_ptr<FolderLock>> lockFolder(const std::filesystem::path& folder) override {
        const std::filesystem::path lockFile = folder / kLockFileName;
        const HANDLE handle =
            ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
                // Held by another run (a file pending deletion also answers "access denied").
                if (error == ERROR_SHARING_VIOLATION ||
                    ::GetFileAttributesW(lockFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
                    return {nullptr, std::make_error_code(std::errc::resource_unavailable_try_again)};
                }
            }
            return {nullptr, errorOf(error)};
        }
        return {std::make_unique<WindowsFolderLock>(handle), {}};
    }
};

} // namespace

Disk& systemDisk() {
    static WindowsDisk disk;
    return disk;
}

} // namespace romc

namespace romc::platform {

bool sameName(const std::filesystem::path& a, const std::filesystem::path& b) {
    // Generic forms: "C:/a" and "C:\a" are one name; the file system ignores letter case.
    const std::wstring left = a.generic_wstring();
    const std::wstring right = b.generic_wstring();
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

} // namespace romc::platform
