#include "cartridge/rom_header.h"

#include "archives/rom_source_file.h"
#include "compile/row_checks.h"
#include "files/disk.h"
#include "files/utf8_path.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"
#include "romtable/rom_name.h"
#include "romtable/rom_source.h"

#include <algorithm>
#include <array>
#include <memory>
#include <system_error>

namespace romc {

namespace {

struct KnownKind {
    std::uint8_t code;
    const char* name;
    bool ram;
    bool battery;
};

// The cartridge types a Game Boy game declares. MBC2 holds its RAM inside the controller; MBC3+TIMER+BATTERY
// has a battery for its clock but no RAM; the camera, HuC1 and HuC3 keep RAM powered by a battery.
constexpr std::array kKnownKinds{
    KnownKind{0x00, "ROM ONLY", false, false},
    KnownKind{0x01, "MBC1", false, false},
    KnownKind{0x02, "MBC1+RAM", true, false},
    KnownKind{0x03, "MBC1+RAM+BATTERY", true, true},
    KnownKind{0x05, "MBC2", true, false},
    KnownKind{0x06, "MBC2+BATTERY", true, true},
    KnownKind{0x08, "ROM+RAM", true, false},
    KnownKind{0x09, "ROM+RAM+BATTERY", true, true},
    KnownKind{0x0B, "MMM01", false, false},
    KnownKind{0x0C, "MMM01+RAM", true, false},
    KnownKind{0x0D, "MMM01+RAM+BATTERY", true, true},
    KnownKind{0x0F, "MBC3+TIMER+BATTERY", false, true},
    KnownKind{0x10, "MBC3+TIMER+RAM+BATTERY", true, true},
    KnownKind{0x11, "MBC3", false, false},
    KnownKind{0x12, "MBC3+RAM", true, false},
    KnownKind{0x13, "MBC3+RAM+BATTERY", true, true},
    KnownKind{0x19, "MBC5", false, false},
    KnownKind{0x1A, "MBC5+RAM", true, false},
    KnownKind{0x1B, "MBC5+RAM+BATTERY", true, true},
    KnownKind{0x1C, "MBC5+RUMBLE", false, false},
    KnownKind{0x1D, "MBC5+RUMBLE+RAM", true, false},
    KnownKind{0x1E, "MBC5+RUMBLE+RAM+BATTERY", true, true},
    KnownKind{0x22, "MBC7+SENSOR+RUMBLE+RAM+BATTERY", true, true},
    KnownKind{0xFC, "POCKET CAMERA", true, true},
    KnownKind{0xFE, "HuC3", true, true},
    KnownKind{0xFF, "HuC1+RAM+BATTERY", true, true},
};

// Types whose save memory the type byte does not describe: named, but never warned about.
constexpr std::array<std::pair<std::uint8_t, const char*>, 2> kUndescribedKinds{{
    {0x20, "MBC6"},
    {0xFD, "BANDAI TAMA5"},
}};

constexpr std::uintmax_t kRomSizeUnit = 32 * 1024;

std::string sizeText(std::uintmax_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) {
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    }
    return std::to_string(bytes / 1024) + " KiB";
}

// Bytes of cartridge RAM a RAM size code announces, if the code is one in use.
std::optional<std::uintmax_t> ramBytes(std::uint8_t code) {
    static constexpr std::array<std::uintmax_t, 6> kBytes{0,         2 * 1024,   8 * 1024,
                                                          32 * 1024, 128 * 1024, 64 * 1024};
    if (code < kBytes.size()) {
        return kBytes[code];
    }
    return std::nullopt;
}

std::string colourText(std::uint8_t flag) {
    if (flag == header::kColourOnly) {
        return "Game Boy Color only (colour flag " + hexByteText(flag) + ")";
    }
    if (flag == header::kColourEnhanced) {
        return "Game Boy Color enhanced, runs on Game Boy too (colour flag " + hexByteText(flag) + ")";
    }
    return "Game Boy (colour flag " + hexByteText(flag) + ")";
}

// The size and checksum warnings; `romBytesText` says how many bytes the ROM really has.
void addIntegrityWarnings(const RomHeader& header, std::uintmax_t romBytes, const std::string& romBytesText,
                          std::vector<std::string>& warnings) {
    const HeaderIntegrity integrity = headerIntegrity(header, romBytes);
    if (!integrity.declaredBytes) {
        warnings.push_back("the ROM size code " + hexByteText(header.romSizeCode) +
                           " names no known ROM size; " + romBytesText + ": it may be a bad dump");
    } else if (!integrity.sizeMatches) {
        warnings.push_back("the ROM size code " + hexByteText(header.romSizeCode) + " means " +
                           std::to_string(*integrity.declaredBytes) + " bytes (" +
                           sizeText(*integrity.declaredBytes) + "), but " + romBytesText +
                           ": it may be a bad or cut dump");
    }
    if (!integrity.checksumRight) {
        warnings.push_back("the header checksum at 0x14D is " + hexByteText(header.storedChecksum) +
                           ", but the header bytes 0x134 to 0x14C give " +
                           hexByteText(header.headerChecksum) + ": the game will not boot on hardware");
    }
    if (!integrity.logoPresent) {
        warnings.push_back("the logo area 0x104 to 0x133 is blank: the game will not boot on hardware");
    }
}

HeaderFindings unreadable(const std::string& warning) {
    HeaderFindings findings;
    findings.warnings.push_back(warning);
    return findings;
}

} // namespace

std::uint8_t headerChecksum(std::span<const std::uint8_t> firstBytes) {
    std::uint8_t sum = 0;
    for (std::size_t offset = header::kChecksumFirst; offset <= header::kChecksumLast; ++offset) {
        sum = static_cast<std::uint8_t>(sum - firstBytes[offset] - 1);
    }
    return sum;
}

std::optional<RomHeader> parseRomHeader(std::span<const std::uint8_t> firstBytes) {
    if (firstBytes.size() < header::kEnd) {
        return std::nullopt;
    }
    RomHeader parsed;
    parsed.colourFlag = firstBytes[header::kColourFlag];
    parsed.cartridgeType = firstBytes[header::kCartridgeType];
    parsed.romSizeCode = firstBytes[header::kRomSizeCode];
    parsed.ramSizeCode = firstBytes[header::kRamSizeCode];
    parsed.storedChecksum = firstBytes[header::kChecksum];
    parsed.headerChecksum = headerChecksum(firstBytes);
    const auto logo = firstBytes.subspan(header::kLogo, header::kLogoLength);
    parsed.logoBlank =
        std::all_of(logo.begin(), logo.end(), [&](std::uint8_t byte) { return byte == logo[0]; }) &&
        (logo[0] == 0x00 || logo[0] == header::kErasedByte);

    // A colour game gives the title's last byte to the colour flag.
    const bool colour =
        parsed.colourFlag == header::kColourEnhanced || parsed.colourFlag == header::kColourOnly;
    const std::size_t titleLength = colour ? header::kTitleLength - 1 : header::kTitleLength;
    for (std::size_t i = 0; i < titleLength; ++i) {
        const std::uint8_t byte = firstBytes[header::kTitle + i];
        if (byte == 0) {
            break;
        }
        parsed.title += byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '?';
    }
    while (!parsed.title.empty() && parsed.title.back() == ' ') {
        parsed.title.pop_back();
    }
    return parsed;
}

CartridgeKind cartridgeKind(std::uint8_t cartridgeType) {
    for (const auto& kind : kKnownKinds) {
        if (kind.code == cartridgeType) {
            return {kind.name, true, kind.ram, kind.battery};
        }
    }
    for (const auto& [code, name] : kUndescribedKinds) {
        if (code == cartridgeType) {
            return {name, false, false, false};
        }
    }
    return {"unknown", false, false, false};
}

HeaderFindings checkRomHeader(const RomHeader& header, std::uintmax_t fileBytes, bool saveMemory) {
    HeaderFindings findings;
    const CartridgeKind kind = cartridgeKind(header.cartridgeType);
    const std::string typeText =
        "cartridge type " + hexByteText(header.cartridgeType) + " (" + kind.name + ")";

    findings.facts.push_back("Title: \"" + header.title + "\"");
    findings.facts.push_back(colourText(header.colourFlag));
    findings.facts.push_back("Cartridge type " + hexByteText(header.cartridgeType) + ": " + kind.name);

    const bool sizeKnown = header.romSizeCode <= header::kLargestRomSizeCode;
    const std::uintmax_t romBytes = sizeKnown ? kRomSizeUnit << header.romSizeCode : 0;
    findings.facts.push_back("ROM size code " + hexByteText(header.romSizeCode) + ": " +
                             (sizeKnown ? sizeText(romBytes) + " (" + std::to_string(romBytes) + " bytes)"
                                        : std::string("not a known size")) +
                             "; the file is " + std::to_string(fileBytes) + " bytes");

    const auto ram = ramBytes(header.ramSizeCode);
    findings.facts.push_back("RAM size code " + hexByteText(header.ramSizeCode) + ": " +
                             (!ram        ? std::string("not a known size")
                              : *ram == 0 ? "none"
                                          : sizeText(*ram)));

    const bool checksumRight = header.storedChecksum == header.headerChecksum;
    findings.facts.push_back(
        "Header checksum " + hexByteText(header.storedChecksum) + ": " +
        (checksumRight ? std::string("correct") : "wrong, should be " + hexByteText(header.headerChecksum)));
    findings.facts.push_back(std::string("Save memory: ") + (saveMemory ? "yes" : "no"));

    // Only battery-backed RAM keeps saves; a battery that runs a clock alone has nothing to lose.
    if (kind.known && kind.ram && kind.battery && !saveMemory) {
        findings.savesLost =
            typeText + " keeps its saves in battery-backed RAM, but the ROM is added without save memory" +
            (fileBytes / kBlockSize == kMaxRomBlocks ? " (an 8 MiB ROM never gets a save bank)" : "") +
            ": its saves will be lost";
        findings.warnings.push_back(*findings.savesLost);
    }
    if (kind.known && !kind.ram && saveMemory) {
        findings.warnings.push_back("the ROM is added with save memory, but its " + typeText +
                                    " has no RAM: its save bank is of no use to it");
    }
    addIntegrityWarnings(header, fileBytes, "the file is " + std::to_string(fileBytes) + " bytes",
                         findings.warnings);
    return findings;
}

HeaderIntegrity headerIntegrity(const RomHeader& header, std::uintmax_t romBytes) {
    HeaderIntegrity integrity;
    integrity.logoPresent = !header.logoBlank;
    integrity.checksumRight = header.storedChecksum == header.headerChecksum;
    if (header.romSizeCode <= header::kLargestRomSizeCode) {
        integrity.declaredBytes = kRomSizeUnit << header.romSizeCode;
        integrity.sizeMatches = *integrity.declaredBytes == romBytes;
    }
    return integrity;
}

std::vector<std::string> checkRomInFlash(const RomHeader& header, int blocks) {
    const std::uintmax_t bytes = static_cast<std::uintmax_t>(blocks) * kBlockSize;
    std::vector<std::string> warnings;
    addIntegrityWarnings(header, bytes,
                         "it has " + std::to_string(blocks) + (blocks == 1 ? " block (" : " blocks (") +
                             std::to_string(bytes) + " bytes) in the image",
                         warnings);
    return warnings;
}

namespace {

// The first bytes of a ROM, as far as a header reaches, read through one handle: a plain file's, or the
// member of an archive that the path names after "::".
struct HeaderBytes {
    std::array<std::uint8_t, header::kEnd> bytes{};
    std::size_t got = 0;
    std::uintmax_t fileBytes = 0;
    bool regular = false;
    std::optional<std::string> failure; // the message of a ROM that cannot be opened
    std::error_code error;
};

// `shown`: the ROM as the user named it, for a message about an archive that cannot be read.
HeaderBytes readHeaderBytes(const std::filesystem::path& path, std::string_view shown = {}) {
    HeaderBytes read;
    const std::string text = pathToUtf8(path);
    std::shared_ptr<OpenFile> file;
    if (archiveKindOf(romSourceOf(text).file) == ArchiveKind::None) {
        auto opened = systemDisk().openForReading(path);
        if (!opened.value) {
            read.error = opened.error;
            return read;
        }
        read.fileBytes = opened.value->size();
        file = std::move(opened.value);
    } else {
        auto opened = openRomStart(systemDisk(), {}, text, header::kEnd);
        if (!opened.ok()) {
            read.failure = opened.failure().message;
            const auto at = read.failure->find(inQuotes(text));
            if (!shown.empty() && at != std::string::npos) {
                read.failure->replace(at, inQuotes(text).size(), inQuotes(shown));
            }
            return read;
        }
        read.fileBytes = opened.value().rom.bytes;
        file = std::move(opened.value().rom.file);
    }
    read.regular = file->kind() == FileKind::Regular;
    read.error = file->readAt(0, read.bytes, read.got);
    return read;
}

} // namespace

HeaderFindings checkRomFile(const std::filesystem::path& path, std::string_view shown, bool saveMemory) {
    const std::string quoted = inQuotes(shown);
    std::error_code error;
    if (archiveKindOf(romSourceOf(shown).file) == ArchiveKind::None) {
        static_cast<void>(std::filesystem::file_size(path, error));
    }
    if (error) {
        return unreadable("cannot read the cartridge header of " + quoted + ": " + error.message());
    }
    const HeaderBytes read = readHeaderBytes(path, shown);
    if (read.failure) {
        return unreadable("cannot read the cartridge header: " + *read.failure);
    }
    if (read.error) {
        return unreadable("cannot read the cartridge header of " + quoted + ": " + read.error.message());
    }
    const std::span bytes(read.bytes.data(), read.got);
    const auto parsed = parseRomHeader(bytes);
    if (!parsed) {
        return unreadable(quoted + " is " + std::to_string(read.got) +
                          " bytes, too short to hold a cartridge header");
    }
    return checkRomHeader(*parsed, read.fileBytes, saveMemory);
}

HeaderFindings checkTableRow(const RomTable& table, std::size_t row, const std::filesystem::path& workDir) {
    const std::string& shown = table.text(row, Column::File);
    HeaderFindings findings = checkRomFile(resolveRomPath(workDir, shown), shown,
                                           table.text(row, Column::SaveFlag) == kSaveFlagYes);
    // The same checks for every way a row comes in: the name as the menu will show it, a ROM twice.
    for (auto& warning : tableRowWarnings(table, row)) {
        findings.warnings.push_back(std::move(warning));
    }
    return findings;
}

std::string headerFindingsText(const HeaderFindings& findings) {
    std::string text;
    for (const auto& fact : findings.facts) {
        text += (text.empty() ? "" : "\n") + fact;
    }
    for (const auto& warning : findings.warnings) {
        text += (text.empty() ? "Warning: " : "\nWarning: ") + warning;
    }
    return text;
}

namespace {

// The header of the ROM at `path` when the boot ROM would start it: its logo area not blank, its checksum
// right. Anything else proposes nothing, so made-up and damaged ROMs keep the user's choices.
std::optional<RomHeader> acceptedHeader(const std::filesystem::path& path) {
    const HeaderBytes read = readHeaderBytes(path);
    const auto parsed = read.failure || read.error || !read.regular
                            ? std::nullopt
                            : parseRomHeader(std::span(read.bytes.data(), read.got));
    if (!parsed) {
        return std::nullopt;
    }
    const HeaderIntegrity integrity = headerIntegrity(*parsed, read.fileBytes);
    if (!integrity.logoPresent || !integrity.checksumRight) {
        return std::nullopt;
    }
    return parsed;
}

} // namespace

std::optional<bool> proposedSaveMemory(const std::filesystem::path& path) {
    const auto accepted = acceptedHeader(path);
    if (!accepted) {
        return std::nullopt;
    }
    const CartridgeKind kind = cartridgeKind(accepted->cartridgeType);
    if (!kind.known) {
        return std::nullopt;
    }
    return kind.ram && kind.battery;
}

std::optional<std::string> cartridgeTitleName(const std::filesystem::path& path) {
    const auto accepted = acceptedHeader(path);
    if (!accepted || accepted->title.empty()) {
        return std::nullopt;
    }
    return accepted->title;
}

std::string proposeMenuName(std::string_view source, const std::filesystem::path& workDir, NamesFrom from) {
    if (from == NamesFrom::CartridgeTitles) {
        if (auto title = cartridgeTitleName(resolveRomPath(workDir, source))) {
            return *std::move(title);
        }
    }
    return proposeRomName(source);
}

} // namespace romc
