// The Game Boy cartridge header of a ROM, read only to warn the user: a header never refuses a ROM and never
// changes a byte that is written. The facts and warnings are texts the command line prints and the window
// shows as a tooltip on the ROM's row; the image reader checks each ROM it finds in flash the same way.
#pragma once

#include "romtable/flash_units.h"
#include "romtable/rom_table.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

namespace header {
// The boot ROM compares these bytes with the logo it holds and starts no game whose logo differs. This tool
// holds no copy of the logo, so it can only tell that the area is blank (erased flash, a zeroed dump).
inline constexpr std::size_t kEntryPoint = 0x100; // four bytes of code, usually "nop; jp 0x150"
inline constexpr std::size_t kLogo = 0x104;
inline constexpr std::size_t kLogoLength = 48;
inline constexpr std::uint8_t kErasedByte = 0xFF;
inline constexpr std::size_t kTitle = 0x134;      // upper-case ASCII, padded with zeros
inline constexpr std::size_t kTitleLength = 16;   // its last byte doubles as the colour flag
inline constexpr std::size_t kColourFlag = 0x143; // 0x80: colour enhanced, 0xC0: Game Boy Color only
inline constexpr std::size_t kCartridgeType = 0x147;
inline constexpr std::size_t kRomSizeCode = 0x148; // the ROM is 32 KiB << code
inline constexpr std::size_t kRamSizeCode = 0x149;
inline constexpr std::size_t kChecksumFirst = 0x134; // the boot ROM sums these bytes ...
inline constexpr std::size_t kChecksumLast = 0x14C;
inline constexpr std::size_t kChecksum = 0x14D; // ... and locks up unless the result is stored here
inline constexpr std::size_t kGlobalChecksum =
    0x14E;                                 // big-endian sum of every other byte; no boot ROM checks it
inline constexpr std::size_t kEnd = 0x150; // bytes a file needs to hold the whole header
inline constexpr std::uint8_t kColourEnhanced = 0x80;
inline constexpr std::uint8_t kColourOnly = 0xC0;
inline constexpr std::uint8_t kLargestRomSizeCode = 0x08; // 8 MiB

static_assert(kLogo + kLogoLength == kTitle, "the title follows the logo");
static_assert(kTitle + kTitleLength - 1 == kColourFlag, "the colour flag is the title's last byte");
static_assert(kChecksumLast + 1 == kChecksum, "the checksum follows the bytes it covers");
static_assert(kGlobalChecksum + 2 == kEnd, "the global checksum ends the header");
static_assert(kEnd <= kBlockSize, "the header lies inside a ROM's first block");
static_assert((std::size_t{32 * 1024} << kLargestRomSizeCode) == kMaxRomBlocks * kBlockSize,
              "the largest ROM size code is the largest ROM the flash takes");
} // namespace header

struct RomHeader {
    std::string title; // printable ASCII, up to the first zero byte, trailing blanks dropped
    std::uint8_t colourFlag = 0;
    std::uint8_t cartridgeType = 0;
    std::uint8_t romSizeCode = 0;
    std::uint8_t ramSizeCode = 0;
    std::uint8_t storedChecksum = 0; // the byte at 0x14D
    std::uint8_t headerChecksum = 0; // what the boot ROM computes over 0x134 to 0x14C
    bool logoBlank = false;          // the logo area is all 0x00 or all 0xFF
};

// The header held by the first bytes of a ROM; none when there are fewer than 0x150 of them.
std::optional<RomHeader> parseRomHeader(std::span<const std::uint8_t> firstBytes);

// The boot ROM's sum over 0x134 to 0x14C: x = x - byte - 1 for each byte, starting at 0. `firstBytes` must
// hold at least 0x14D bytes.
std::uint8_t headerChecksum(std::span<const std::uint8_t> firstBytes);

// What the cartridge type byte says about save memory.
struct CartridgeKind {
    std::string name;     // "MBC1+RAM+BATTERY", or "unknown"
    bool known = false;   // false: the byte names no type whose memory is known, so nothing is warned
    bool ram = false;     // the cartridge has RAM a game can keep its saves in (MBC2's is built in)
    bool battery = false; // a battery keeps that RAM, or only a clock, powered
};
CartridgeKind cartridgeKind(std::uint8_t cartridgeType);

// What can be told of a ROM's bytes from its header alone: whether the boot ROM finds a logo area that is
// not blank and the checksum it computes, and whether the declared size is the size the ROM has.
struct HeaderIntegrity {
    bool logoPresent = false;
    bool checksumRight = false;
    std::optional<std::uintmax_t> declaredBytes; // none: the size code names no known size
    bool sizeMatches = false;                    // declared size == `romBytes`
};
HeaderIntegrity headerIntegrity(const RomHeader& header, std::uintmax_t romBytes);

// The warnings of `headerIntegrity` for a ROM of `blocks` blocks found in a flash image: a blank logo, a
// wrong checksum, a size code against the blocks, as Add ROM warns of them.
std::vector<std::string> checkRomInFlash(const RomHeader& header, int blocks);

// Facts shown for every ROM, and warnings for what will go wrong on the cartridge.
struct HeaderFindings {
    std::vector<std::string> facts;
    std::vector<std::string> warnings;
    // The warning, among `warnings`, that a battery-backed ROM added without save memory will lose its saves:
    // the one a user who asked for quiet still has to hear.
    std::optional<std::string> savesLost;
};

// Checks a header against the file it came from (`fileBytes` long) and whether the ROM was added with save
// memory.
HeaderFindings checkRomHeader(const RomHeader& header, std::uintmax_t fileBytes, bool saveMemory);

// Reads the header of the file at `path` and checks it; a file that cannot be read, or is too short to hold
// a header, gives one warning that says so. `shown` is the path as the user wrote it.
HeaderFindings checkRomFile(const std::filesystem::path& path, std::string_view shown, bool saveMemory);

// The findings for one row of the table: its file, taken from `workDir` when relative, and its save flag.
HeaderFindings checkTableRow(const RomTable& table, std::size_t row, const std::filesystem::path& workDir);

// What the header of the ROM file at `path` proposes for "Save?": save memory for a battery-backed
// cartridge type, none for any other known type. No proposal when the file holds no header the boot ROM
// would accept (a blank logo, a wrong checksum) or names a type whose memory is not known: the user's tick
// stands then.
std::optional<bool> proposedSaveMemory(const std::filesystem::path& path);

// One text for one ROM: the facts, then each warning, one per line; what the window shows as the tooltip
// of the row's name.
std::string headerFindingsText(const HeaderFindings& findings);

// Where the name proposed for a picked or added ROM comes from.
enum class NamesFrom { FileNames, CartridgeTitles };

// The title of the ROM file at `path` for its menu name: none when the header is one the boot ROM would not
// accept (a blank logo, a wrong checksum), or its title is empty.
std::optional<std::string> cartridgeTitleName(const std::filesystem::path& path);

// The menu name proposed for the ROM `source` as the path box names it (relative: from `workDir`): its
// cartridge title when `from` asks for titles and it has one, else the name proposed from its file name.
std::string proposeMenuName(std::string_view source, const std::filesystem::path& workDir, NamesFrom from);

} // namespace romc
