// The status line's texts, each a function of the flash plan, so that every face shows the same words.
#pragma once

#include "plan/flash_plan.h"

#include <string>

namespace romc {

// What the next compilation would make of the table: "All 12 ROMs fit: 382 of 1024 blocks; Output.GB will be
// 12 MiB, 2 pieces", or "2 ROMs would not fit: "SAGA" (256 blocks) and "EPIC" (128 blocks); 300 blocks free,
// none aligned for them", and when equal ROMs can never all fit, how many of them there is room for.
std::string draftStatus(const FlashPlan& plan);

// "382 of 1024 blocks used".
std::string blocksStatus(const FlashPlan& plan);

// "3 of 16 save banks used", with "(1 given up by removed rows)" when removed rows keep banks.
std::string saveBanksStatus(const FlashPlan& plan);

// After a compilation: "Wrote Output.GB and Output1.GB..Output2.GB (16 MiB) in FOLDER".
std::string writtenStatus(const FlashPlan& plan);

// "Output3.GB and Output4.GB are left from an earlier, larger compilation", or "" when none is.
std::string stalePiecesStatus(const FlashPlan& plan);

// What pointing at a block names: "C SAGA: blocks 256-511, save bank 3", "menu: block 0", "free block 700".
std::string blockStatus(const FlashPlan& plan, int block);

} // namespace romc
