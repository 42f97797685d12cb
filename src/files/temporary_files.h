// The temporary files that exist at this moment, so that a run stopped by Ctrl+C, SIGTERM or SIGHUP
// removes every one of them before it ends. Registering is for the thread that writes the files;
// removeTemporaryFilesNow may run inside a signal handler.
#pragma once

#include <filesystem>

namespace romc {

// Keeps `path` on the list of files to remove on an interruption for as long as it lives.
class TemporaryFileGuard {
  public:
    explicit TemporaryFileGuard(const std::filesystem::path& path);
    ~TemporaryFileGuard();
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  private:
    int slot_;
};

// Removes every file on the list; uses nothing a signal handler may not.
void removeTemporaryFilesNow() noexcept;

namespace platform {
// Removes one file by its system path; async-signal-safe.
void removeFileNow(const std::filesystem::path::value_type* path) noexcept;
} // namespace platform

} // namespace romc
