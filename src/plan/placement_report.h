// The placement report, a text drawn from the flash plan (`romcompiler-cli --report` prints it after the
// table): each row's place, blocks, byte range and pieces; the blocks used, free and lost to alignment; a
// text map of the flash; and the CRC32 of each file written.
#pragma once

#include "plan/flash_plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romc {

// One output file as the report lists it.
struct WrittenFile {
    std::string name; // "Output.GB", "Output1.GB", ...
    std::uintmax_t bytes = 0;
    std::optional<std::uint32_t> crc;
    std::string problem; // why there is no CRC, when there is none
};

// Eight upper-case hex digits, the way dumpers show a CRC32.
std::string crcText(std::uint32_t crc);

enum class ReportMode {
    Written,   // the compilation wrote its files; `files` holds them with their CRC32
    DryRun,    // placed and checked, nothing written
    Refused,   // the compilation was refused; `refusal` says why, nothing was written
    Inspected, // an image read back; `files` holds the image's files with their CRC32
};

struct ReportOutcome {
    ReportMode mode = ReportMode::Written;
    std::vector<WrittenFile> files;
    std::string refusal;
};

// One line per 2 MiB save region (16), one character per block (64), each line starting with its save bank
// and first and last block and ending with the save ROM that holds the bank.
std::string flashMapText(const FlashPlan& plan);

// The whole report.
std::string placementReport(const FlashPlan& plan, const ReportOutcome& outcome);

// "0x0100000-0x01FFFFF": the bytes of the image that blocks first to last fill.
std::string imageByteRange(int first, int last);

} // namespace romc
