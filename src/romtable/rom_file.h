// Looking at a ROM file before trusting it: it must be a readable regular file. A ROM is opened once and
// checked on that handle, so that a path swapped for a pipe or a device after the check is never read; a
// pipe, a device or a folder is refused without ever waiting on it.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace romc {

// The path a ROM row names (UTF-8, as typed), taken relative to the folder the tool works in.
std::filesystem::path resolveRomPath(const std::filesystem::path& workDir, std::string_view path);

// A ROM file held open: what is checked is what is later read.
struct OpenRom {
    std::shared_ptr<OpenFile> file;
    std::uintmax_t bytes = 0;
};

// Opens the ROM file at `path` for reading and checks it is a regular file; `shown` is how the user wrote
// the path, for messages.
Outcome<OpenRom> openRomFile(Disk& disk, const std::filesystem::path& path, std::string_view shown);

// The whole blocks a file of `bytes` bytes fills; bytes after the last whole block do not count.
int wholeBlocks(std::uintmax_t bytes);

// The reason of the last failed C library call, as the system words it.
std::string systemReason(int error);

} // namespace romc
