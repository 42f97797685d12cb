// The placement report that `romcompiler-cli --report` prints after the table: each row's place, blocks,
// byte range and pieces; the blocks used, free and lost to alignment; a text map of the flash; and the
// CRC32 of each file written.
#pragma once

#include "cli/flash_plan.h"
#include "cli/piece_crc.h"

#include <string>
#include <vector>

namespace romc {

enum class ReportMode {
    Written, // the compilation wrote its files; `files` holds them with their CRC32
    DryRun,  // placed and checked, nothing written
    Refused, // the compilation was refused; `refusal` says why, nothing was written
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
std::string placementReport(const FlashPlan& plan, const FlashUsage& usage, const ReportOutcome& outcome);

// "0x0100000-0x01FFFFF": the bytes of the image that blocks first to last fill.
std::string imageByteRange(int first, int last);

} // namespace romc
