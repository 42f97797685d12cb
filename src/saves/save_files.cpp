#include "saves/save_files.h"

#include "cartridge/rom_header.h"
#include "files/utf8_path.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"
#include "saves/save_size.h"

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace romc {

namespace {

// The bytes its header declares for the save ROM at `romPath`; a ROM that cannot be read or holds no
// header gets the whole bank, so that nothing of its saves is cut off.
std::size_t declaredSaveBytes(Disk& disk, const fs::path& romPath) {
    auto opened = disk.openForReading(romPath);
    if (!opened.value || opened.value->kind() != FileKind::Regular) {
        return kSaveBankBytes;
    }
    std::vector<std::uint8_t> first(header::kEnd);
    std::size_t got = 0;
    if (opened.value->readAt(0, first, got) || got < first.size()) {
        return kSaveBankBytes;
    }
    const auto parsed = parseRomHeader(first);
    return parsed ? saveBytesOfHeader(parsed->cartridgeType, parsed->ramSizeCode) : kSaveBankBytes;
}

// Reads a regular file of at most `limit` bytes whole; `what` names its kind in messages. None when the
// file does not exist.
Outcome<std::optional<std::vector<std::uint8_t>>> readSmallFile(Disk& disk, const fs::path& path,
                                                                std::string_view shown, std::string_view what,
                                                                std::uintmax_t limit) {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return std::optional<std::vector<std::uint8_t>>{};
    }
    const std::string start = "Cannot read the " + std::string(what) + " " + inQuotes(shown) + ": ";
    if (error) {
        return Failure{start + error.message()};
    }
    if (fs::is_directory(status)) {
        return Failure{start + "it is a folder, not a file"};
    }
    // A pipe or a device is never opened: reading one could wait for ever.
    if (!fs::is_regular_file(status)) {
        return Failure{start + "it is not a regular file (a device, pipe or socket)"};
    }
    auto opened = disk.openForReading(path);
    if (!opened.value) {
        return Failure{start + opened.error.message()};
    }
    OpenFile& file = *opened.value;
    if (file.kind() != FileKind::Regular) {
        return Failure{start + (file.kind() == FileKind::Folder
                                    ? std::string("it is a folder, not a file")
                                    : "it is not a regular file (a device, pipe or socket)")};
    }
    if (file.size() > limit) {
        return std::optional<std::vector<std::uint8_t>>{std::vector<std::uint8_t>(limit + 1)};
    }
    // Read to the end, one byte past the limit at most: the file may have grown since its size was taken.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(limit) + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        std::size_t got = 0;
        if (auto readError = file.readAt(filled, std::span(bytes).subspan(filled), got)) {
            return Failure{start + readError.message()};
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.resize(filled);
    return std::optional<std::vector<std::uint8_t>>{std::move(bytes)};
}

} // namespace

std::string romSaveFileText(std::string_view romPath) {
    const std::string path(romPath);
    const fs::path asPath = pathFromUtf8(path);
    const std::string extension = pathToUtf8(asPath.extension());
    return path.substr(0, path.size() - extension.size()) + kSaveFileExtension;
}

std::vector<SaveRom> saveRomsOf(const TableState& state, const fs::path& workDir, Disk* disk) {
    const RomTable& table = state.table;
    std::vector<SaveRom> roms;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (table.text(row, Column::SaveFlag) != kSaveFlagYes) {
            continue;
        }
        const auto bank = readNumberText(table.text(row, Column::SaveBank));
        if (!bank || *bank < 0 || *bank >= kSaveBanks) {
            continue;
        }
        SaveRom rom;
        rom.row = row;
        rom.name = table.text(row, Column::Name);
        rom.bank = static_cast<int>(*bank);
        const std::string& named = namedSaveFile(state, row);
        rom.named = !named.empty();
        rom.saveText = rom.named ? named : romSaveFileText(table.text(row, Column::File));
        rom.savePath = resolveRomPath(workDir, rom.saveText);
        rom.usedBytes =
            declaredSaveBytes(diskOr(disk), resolveRomPath(workDir, table.text(row, Column::File)));
        roms.push_back(std::move(rom));
    }
    return roms;
}

Outcome<std::optional<std::vector<std::uint8_t>>> readSaveFile(const SaveRom& rom, Disk* disk) {
    // A save with the longest clock footer is the longest a bank takes; one byte more is too long.
    constexpr std::uintmax_t kLongest = kSaveBankBytes + saveram::kLongestClockFooter;
    auto read = readSmallFile(diskOr(disk), rom.savePath, rom.saveText, "save file", kLongest);
    if (!read.ok() || !read.value()) {
        return read;
    }
    std::vector<std::uint8_t>& bytes = *read.value();
    const std::size_t kept = withoutClockFooter(bytes.size());
    if (kept > kSaveBankBytes) {
        return Failure{
            "Cannot use the save file " + inQuotes(rom.saveText) + " of " + inQuotes(rom.name) + ": it is " +
            (bytes.size() > kLongest ? "over " + std::to_string(kLongest) : std::to_string(bytes.size())) +
            " bytes, longer than a save bank of " + std::to_string(kSaveBankBytes) +
            " bytes (after a clock footer of 44 or 48 bytes is dropped)"};
    }
    bytes.resize(kept);
    return read;
}

Outcome<std::vector<std::uint8_t>> readSaveDump(const fs::path& path, std::string_view shown, Disk* disk) {
    auto read = readSmallFile(diskOr(disk), path, shown, "save dump", kSaveMemoryBytes);
    if (!read.ok()) {
        return read.failure();
    }
    if (!read.value()) {
        return Failure{"Cannot read the save dump " + inQuotes(shown) + ": " + systemReason(ENOENT)};
    }
    std::vector<std::uint8_t>& bytes = *read.value();
    if (bytes.size() != kSaveMemoryBytes) {
        return Failure{"Cannot split the save dump " + inQuotes(shown) + ": it is " +
                       (bytes.size() > kSaveMemoryBytes ? "more than " + std::to_string(kSaveMemoryBytes)
                                                        : std::to_string(bytes.size())) +
                       " bytes; a save dump is the whole save memory, " + std::to_string(kSaveMemoryBytes) +
                       " bytes (" + std::to_string(kSaveBanks) + " banks of " +
                       std::to_string(kSaveBankBytes) + ")"};
    }
    return std::move(bytes);
}

std::string saveSizeText(std::size_t bytes) {
    if (bytes >= 1024 && bytes % 1024 == 0) {
        return std::to_string(bytes / 1024) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

} // namespace romc
