// Flash geometry of the 256-Mbit cartridge: everything is counted in 32 KiB blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace romc {

inline constexpr std::size_t kBlockSize = 32 * 1024;
inline constexpr int kFlashBlocks = 1024; // blocks 0 to 1023, 32 MiB
inline constexpr int kLastBlock = kFlashBlocks - 1;
inline constexpr int kMenuBlock = 0;               // the menu ROM always lives here
inline constexpr int kSaveRegionBlocks = 64;       // 2 MiB per save region
inline constexpr int kSaveBanks = 16;              // banks 0 to 15, one per region
inline constexpr int kNoSaveBankLeft = kSaveBanks; // NextSaveBank once every bank is handed out
inline constexpr int kMaxRomBlocks = 256;          // 8 MiB, the largest ROM that has a complement
inline constexpr int kComplementOfMaxRom = 192;    // written instead of 0 for a 256-block ROM
inline constexpr int kRowsPerPage = 10;            // menu entries shown on one page
inline constexpr int kMaxMenuRows = 255;           // the ROM count is one byte
inline constexpr std::size_t kPieceBlocks = 256;   // each output piece is 8 MiB
inline constexpr std::size_t kPieceSize = kPieceBlocks * kBlockSize;
inline constexpr int kPieceCount = kFlashBlocks / static_cast<int>(kPieceBlocks);
inline constexpr std::size_t kFlashSize = kFlashBlocks * kBlockSize;

// The cartridge's battery-backed save memory: one bank per save region, each game using the first bytes
// of its bank. Flashers read and write it whole as one "save dump".
inline constexpr std::size_t kSaveBankBytes = 32 * 1024;
inline constexpr std::size_t kSaveMemoryBytes = kSaveBanks * kSaveBankBytes;
inline constexpr std::uint8_t kBlankSaveByte = 0xFF; // what a bank holds where no game's save is written

static_assert(kSaveBanks * kSaveRegionBlocks == kFlashBlocks, "the save regions tile the flash");
static_assert(kSaveMemoryBytes == 524288, "the save memory is 512 KiB");
static_assert(kPieceSize == 8388608, "pieces are 8 MiB");
static_assert(kPieceCount == 4, "a full flash makes four pieces");

} // namespace romc
