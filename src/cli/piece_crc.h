// The CRC32 of each file a compilation wrote, as cartridge dumpers print it, so a dump of the flashed
// cartridge can be compared with what was written.
#pragma once

#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

// One output file as the report lists it.
struct WrittenFile {
    std::string name; // "Output.GB", "Output1.GB", ...
    std::uintmax_t bytes = 0;
    std::optional<std::uint32_t> crc;
    std::string problem; // why there is no CRC, when there is none
};

// The CRC32 (the zip and PNG one) of a whole file; `shown` names it in a failure.
Outcome<std::uint32_t> fileCrc32(const std::filesystem::path& path, std::string_view shown);

// "Output.GB" and each piece its length reaches into, as found in `workDir` after a compilation.
std::vector<WrittenFile> writtenFiles(const std::filesystem::path& workDir);

// Eight upper-case hex digits, the way dumpers show a CRC32.
std::string crcText(std::uint32_t crc);

} // namespace romc
