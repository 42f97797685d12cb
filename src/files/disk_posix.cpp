// The file system of Linux and other POSIX systems.
#include "files/disk.h"
#include "files/same_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace romc {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

FileKind kindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode)) {
        return FileKind::Regular;
    }
    return S_ISDIR(info.st_mode) ? FileKind::Folder : FileKind::Other;
}

class PosixFile final : public OpenFile {
  public:
    PosixFile(int fd, const struct stat& info) : fd_(fd), info_(info) {}
    ~PosixFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    FileKind kind() const override { return kindOf(info_); }
    std::uintmax_t size() const override { return static_cast<std::uintmax_t>(info_.st_size); }
    FileIdentity identity() const override {
        return {static_cast<std::uint64_t>(info_.st_dev), static_cast<std::uint64_t>(info_.st_ino)};
    }
    unsigned permissions() const override { return static_cast<unsigned>(info_.st_mode & 07777); }

    std::error_code readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) override {
        got = 0;
        while (got < into.size()) {
            const ssize_t n =
                ::pread(fd_, into.data() + got, into.size() - got, static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return lastError();
            }
            if (n == 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        return {};
    }

    std::error_code writeAt(std::uintmax_t offset, std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return lastError();
            }
            if (n == 0) {
                return std::make_error_code(std::errc::no_space_on_device);
            }
            done += static_cast<std::size_t>(n);
        }
        return {};
    }

    std::error_code sync() override { return ::fsync(fd_) == 0 ? std::error_code{} : lastError(); }

    std::error_code close() override {
        const int fd = fd_;
        fd_ = -1;
        // The descriptor is gone whatever close says, so it is never closed twice.
        return ::close(fd) == 0 ? std::error_code{} : lastError();
    }

  private:
    int fd_;
    struct stat info_;
};

// The lock is the folder's own: a lock file could outlive a killed run and block the next one.
class PosixFolderLock final : public FolderLock {
  public:
    explicit PosixFolderLock(int fd) : fd_(fd) {}
    ~PosixFolderLock() override { ::close(fd_); }
    PosixFolderLock(const PosixFolderLock&) = delete;
    PosixFolderLock& operator=(const PosixFolderLock&) = delete;

  private:
    int fd_;
};

DiskResult<std::unique_ptr<OpenFile>> opened(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const auto error = lastError();
        ::close(fd);
        return {nullptr, error};
    }
    return {std::make_unique<PosixFile>(fd, info), {}};
}

class PosixDisk final : public Disk {
  public:
    DiskResult<std::unique_ptr<OpenFile>> openForReading(const std::filesystem::path& path) override {
        // O_NONBLOCK: opening a pipe with no writer, or a terminal, would otherwise wait for ever.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            return {nullptr, lastError()};
        }
        auto file = opened(fd);
        if (file.value && file.value->kind() == FileKind::Regular) {
            // Reads of a regular file never block anyway; clear the flag so they are ordinary reads.
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        }
        return file;
    }

    DiskResult<std::unique_ptr<OpenFile>> createNew(const std::filesystem::path& path,
                                                    std::optional<unsigned> permissions) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            return {nullptr, lastError()};
        }
        if (permissions && ::fchmod(fd, static_cast<mode_t>(*permissions)) != 0) {
            const auto error = lastError();
            ::close(fd);
            ::unlink(path.c_str());
            return {nullptr, error};
        }
        return opened(fd);
    }

    std::error_code replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code{} : lastError();
    }

    std::error_code remove(const std::filesystem::path& path) override {
        return ::unlink(path.c_str()) == 0 ? std::error_code{} : lastError();
    }

    std::error_code syncFolder(const std::filesystem::path& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return lastError();
        }
        const int synced = ::fsync(fd);
        const auto error = lastError();
        ::close(fd);
        // Some file systems cannot sync a folder at all; their renames are as durable as they get.
        if (synced != 0 && error != std::errc::invalid_argument && error != std::errc::not_supported) {
            return error;
        }
        return {};
    }

    std::error_code checkReplaceable(const std::filesystem::path& path) override {
        // A rename would replace even a file marked read-only; the mark is the owner's wish to keep it.
        // A link is replaced, not followed, so only its own permissions count.
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_SYMLINK_NOFOLLOW) != 0 && errno != ENOENT) {
            return errno == EACCES || errno == EROFS ? std::error_code(DiskError::ReadOnlyFile) : lastError();
        }
        return {};
    }

    DiskResult<std::unique_ptr<FolderLock>> lockFolder(const std::filesystem::path& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return {nullptr, lastError()};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const auto error = errno == EWOULDBLOCK
                                   ? std::make_error_code(std::errc::resource_unavailable_try_again)
                                   : lastError();
            ::close(fd);
            return {nullptr, error};
        }
        return {std::make_unique<PosixFolderLock>(fd), {}};
    }
};

} // namespace

Disk& systemDisk() {
    static PosixDisk disk;
    return disk;
}

} // namespace romc

namespace romc::platform {

bool sameName(const std::filesystem::path& a, const std::filesystem::path& b) {
    return a == b;
}

} // namespace romc::platform
