// How many bytes of its save bank a game uses, as its cartridge header declares them, and the real-time
// clock footer some emulators append to a save file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace romc {

namespace saveram {
inline constexpr std::size_t kMbc2Bytes = 512; // MBC2 keeps 512 half-bytes of RAM on the chip itself
inline constexpr std::uint8_t kMbc2 = 0x05;
inline constexpr std::uint8_t kMbc2Battery = 0x06;
inline constexpr std::size_t kLongestClockFooter = 48;
inline constexpr std::size_t kClockFooters[] = {44, kLongestClockFooter}; // appended after the RAM
inline constexpr std::size_t kSaveFileUnit = 512; // every RAM size is a multiple of this
} // namespace saveram

// The bytes of its bank a game keeps its saves in, from the header's cartridge type (0x147) and RAM size
// code (0x149): 512 for MBC2, 2 KiB, 8 KiB or 32 KiB; the whole bank when the header declares none (a
// type with built-in or unknown RAM) or more than a bank holds (128 KiB, 64 KiB).
std::size_t saveBytesOfHeader(std::uint8_t cartridgeType, std::uint8_t ramSizeCode);

// A save file's length without the clock footer an emulator may have appended: a footer leaves 44 or 48
// bytes over a whole number of 512-byte units.
std::size_t withoutClockFooter(std::size_t bytes);

} // namespace romc
