// The CRC32 of each file a compilation wrote, as cartridge dumpers print it, so a dump of the flashed
// cartridge can be compared with what was written.
#pragma once

#include "compile/output_transaction.h"
#include "files/disk.h"
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
Outcome<std::uint32_t> fileCrc32(Disk& disk, const std::filesystem::path& path, std::string_view shown);

// "Output.GB" and each of its pieces, as a prepared compilation wrote them under their temporary names:
// the bytes that take the outputs' names when it is committed.
std::vector<WrittenFile> writtenFiles(const OutputTransaction& outputs);

// Eight upper-case hex digits, the way dumpers show a CRC32.
std::string crcText(std::uint32_t crc);

} // namespace romc
