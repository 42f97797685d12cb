// A ROM list on disk: read whole and checked before anything is trusted; written under a temporary name
// and renamed over its name only when complete, so that a failure never leaves half a list.
#pragma once

#include "compile/output_transaction.h"
#include "files/disk.h"
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
// The whole text of the file at `path`, with the same refusals.
Outcome<std::string> readListText(const std::filesystem::path& path, std::string_view shown,
                                  Disk* disk = nullptr);
Outcome<RomList> readRomList(const std::filesystem::path& path, std::string_view shown, Disk* disk = nullptr);

// Writes the list under a temporary name beside `path` as one of `outputs`: it takes its name when they are
// committed, so that a run which fails keeps the earlier list.
Refusal prepareRomList(OutputTransaction& outputs, const std::filesystem::path& path, const RomList& list);

// Writes the list to `path` at once: prepared, then renamed over the earlier file.
Refusal writeRomList(const std::filesystem::path& path, const RomList& list, Disk* disk = nullptr);
// Writes `text` to `path` the same way: the earlier file stays whole until the new one is.
Refusal writeListText(const std::filesystem::path& path, std::string_view text, Disk* disk = nullptr);

} // namespace romc
