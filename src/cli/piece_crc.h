// The CRC32 of each file a compilation wrote, as cartridge dumpers print it, so a dump of the flashed
// cartridge can be compared with what was written.
#pragma once

#include "plan/placement_report.h"
#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace romc {

// The CRC32 (the zip and PNG one) of a whole file; `shown` names it in a failure.
Outcome<std::uint32_t> fileCrc32(const std::filesystem::path& path, std::string_view shown);

// "Output.GB" and each piece its length reaches into, as found in `workDir` after a compilation.
std::vector<WrittenFile> writtenFiles(const std::filesystem::path& workDir);

} // namespace romc
