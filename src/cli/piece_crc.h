// The CRC32 of each file a compilation wrote, as cartridge dumpers print it, so a dump of the flashed
// cartridge can be compared with what was written.
#pragma once

#include "compile/output_transaction.h"
#include "files/disk.h"
#include "plan/placement_report.h"
#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace romc {

// The CRC32 (the zip and PNG one) of a whole file; `shown` names it in a failure.
Outcome<std::uint32_t> fileCrc32(Disk& disk, const std::filesystem::path& path, std::string_view shown);

// "Output.GB" and each of its pieces, as a prepared compilation wrote them under their temporary names:
// the bytes that take the outputs' names when it is committed.
std::vector<WrittenFile> writtenFiles(const OutputTransaction& outputs);

} // namespace romc
