// A ROM list on disk: read whole and checked before anything is trusted; written under a temporary name
// and renamed over its name only when complete, so that a failure never leaves half a list.
#pragma once

#include "compile/pending_file.h"
#include "lists/rom_list.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace romc {

// No list of 255 ROMs comes near this; a larger file is not a list, and is refused before it is read.
inline constexpr std::uintmax_t kMaxListBytes = 16 * 1024 * 1024;

// Reads and parses the list at `path`; `shown` names it in messages. A folder, a device, a pipe or a file
// larger than any list is refused without being read.
Outcome<RomList> readRomList(const std::filesystem::path& path, std::string_view shown);

// Writes the list under a temporary name beside `path` and closes it; the caller's commit() renames it over
// `path`, so that a run which fails later keeps the earlier list.
Outcome<std::unique_ptr<PendingFile>> prepareRomList(const std::filesystem::path& path, const RomList& list);

// Writes the list to `path` at once: prepared, then renamed over the earlier file.
Refusal writeRomList(const std::filesystem::path& path, const RomList& list);

} // namespace romc
