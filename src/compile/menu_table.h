// Layout of the game table inside the menu ROM "Menu.GB". The menu's own code reads these bytes; nothing
// else of the template is ever touched.
#pragma once

#include "files/work_folder.h"
#include "romtable/flash_units.h"

#include <cstddef>
#include <cstdint>

namespace romc::menu {

inline constexpr const char* kTemplateName = kMenuTemplateName;

inline constexpr std::size_t kRomCountOffset = 0x4043; // ROM count, one byte
inline constexpr std::size_t kLastPageOffset = 0x4048; // pages - 1, one byte

// Location entry of row r: 4 bytes at kLocationEntries + 4r; byte 0 is the template's own.
inline constexpr std::size_t kLocationEntries = 0x4666;
inline constexpr std::size_t kLocationEntrySize = 4;
inline constexpr std::size_t kLocationHighByte = 1;
// The complement byte is 256 - blocks, except for an 8 MiB ROM, whose 0 is written as 192: a 64-block ROM's
// complement too. The location form tells the two apart. A complement of 0 is the 256 of a ROM shorter than
// one block, cut to a byte.
inline constexpr std::size_t kComplementByte = 2;
inline constexpr std::size_t kLocationLowByte = 3;

// Name entry of row r: 16 bytes at kNameEntries + 16r, padded with blanks, no terminating zero.
inline constexpr std::size_t kNameEntries = 0x6F40;
inline constexpr std::size_t kNameEntrySize = 16;
inline constexpr std::uint8_t kNamePadding = 0x20;
inline constexpr std::uint8_t kUnprintableName = '?';

// A location is written as steps of 255 blocks above 0x90, except for an 8 MiB ROM, whose high byte is the
// quarter of the flash it starts in and whose low byte is 0.
inline constexpr std::uint8_t kLocationBase = 0x90;
inline constexpr int kLocationStep = 255;
inline constexpr std::uint8_t kLastLocationHigh = kLocationBase + kLastBlock / kLocationStep; // 0x94
inline constexpr int kQuarterBlocks = kMaxRomBlocks; // an 8 MiB ROM starts at 256 x its high byte
inline constexpr std::uint8_t kLastQuarter = kLastBlock / kQuarterBlocks; // 3: blocks 768 to 1023
inline constexpr std::uint8_t kQuarterLowByte = 0;

inline constexpr std::size_t kMaxRows = kMaxMenuRows;
inline constexpr int kMaxPages = 256; // the last page byte holds pages - 1

static_assert(kRomCountOffset < kLastPageOffset && kLastPageOffset < kLocationEntries);
static_assert(kLocationEntries + kMaxRows * kLocationEntrySize <= kNameEntries,
              "location entries end before the name entries start");
static_assert(kNameEntries + kMaxRows * kNameEntrySize <= kBlockSize, "name entries stay inside block 0");
static_assert(kLocationBase + kLastBlock / kLocationStep <= 0xFF, "every location fits the high byte");
static_assert(kLastQuarter < kLocationBase, "the 8 MiB form never takes a high byte of the stepped form");
static_assert(kQuarterBlocks * (kLastQuarter + 1) == kFlashBlocks, "four quarters make the flash");

} // namespace romc::menu
