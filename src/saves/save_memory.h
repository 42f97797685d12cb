// The cartridge's save memory as one "save dump": save bank k is the 32 KiB at byte k x 32768, and a game
// keeps its saves in the first bytes of its bank. Building one from the games' saves, and cutting a game's
// saves out of one.
#pragma once

#include "romtable/flash_units.h"

#include <cstdint>
#include <span>
#include <vector>

namespace romc {

struct BankSave {
    int bank;                            // 0 to 15
    std::span<const std::uint8_t> bytes; // at most a bank's bytes
};

// The whole save memory: each save at its bank's first byte, every other byte blank (0xFF), as erased.
std::vector<std::uint8_t> buildSaveMemory(std::span<const BankSave> saves);

// The first `bytes` bytes (at most a bank) of save bank `bank` of a whole save dump.
std::span<const std::uint8_t> bankSave(std::span<const std::uint8_t> dump, int bank, std::size_t bytes);

} // namespace romc
