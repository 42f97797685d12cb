// Looking at a ROM file before trusting it: it must be a readable regular file. Only its length is taken;
// a FIFO, a device or a directory is refused without being opened.
#pragma once

#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace romc {

// The path a ROM row names, taken relative to the folder the tool works in.
std::filesystem::path resolveRomPath(const std::filesystem::path& workDir, std::string_view path);

// The length in bytes of the ROM file at `path`; `shown` is how the user wrote the path, for messages.
Outcome<std::uintmax_t> measureRomFile(const std::filesystem::path& path, std::string_view shown);

// The whole blocks a file of `bytes` bytes fills; bytes after the last whole block do not count.
int wholeBlocks(std::uintmax_t bytes);

// The reason of the last failed C library call, as the system words it.
std::string systemReason(int error);

} // namespace romc
