#include "inspect/inspection.h"

#include "compile/menu_read.h"
#include "inspect/piece_checks.h"
#include "romtable/flash_units.h"

#include <algorithm>
#include <array>
#include <vector>

namespace romc {

namespace {

std::uintmax_t blockOffset(int block) {
    return static_cast<std::uintmax_t>(block) * kBlockSize;
}

} // namespace

std::optional<int> saveBankAt(int first, int blocks) {
    if (blocks >= kMaxRomBlocks) {
        return std::nullopt; // an 8 MiB ROM never gets save memory
    }
    if (first >= kSaveRegionBlocks && first % kSaveRegionBlocks == 0 &&
        first / kSaveRegionBlocks < kSaveBanks) {
        return first / kSaveRegionBlocks;
    }
    if (first == blocks && blocks < kSaveRegionBlocks) {
        return 0;
    }
    return std::nullopt;
}

bool listedWithSave(const InspectedRom& rom) {
    return rom.saveBank && rom.header && cartridgeKind(rom.header->cartridgeType).battery;
}

Outcome<Inspection> inspectImage(const ImageFile& image) {
    Inspection inspection;
    inspection.form = image.form();
    inspection.imageBytes = image.bytes();
    std::vector<std::uint8_t> menu(
        static_cast<std::size_t>(std::min<std::uintmax_t>(kBlockSize, image.bytes())));
    if (auto failure = image.read(0, menu)) {
        return *failure;
    }
    const bool withRoms = image.form() != ImageForm::MenuOnly;
    const MenuTableRead table = readMenuTable(menu, withRoms ? std::optional(image.bytes()) : std::nullopt);
    inspection.romCount = table.romCount;
    inspection.lastPage = table.lastPage;
    inspection.problems = table.problems;
    inspection.warnings = table.warnings;
    if (!inspection.problems.empty()) {
        return inspection;
    }

    std::uintmax_t tableEnd = kBlockSize;
    for (const MenuRow& row : table.rows) {
        // Made whole at once: filling in the save bank afterwards trips GCC 12's -Wmaybe-uninitialized.
        InspectedRom rom{row.name,          row.place->first,
                         row.place->blocks, saveBankAt(row.place->first, row.place->blocks),
                         std::nullopt,      {}};
        if (withRoms) {
            std::array<std::uint8_t, header::kEnd> first{};
            if (auto failure = image.read(blockOffset(rom.first), first)) {
                return *failure;
            }
            rom.header = parseRomHeader(first);
            rom.headerWarnings = checkRomInFlash(*rom.header, rom.blocks);
        }
        tableEnd = std::max(tableEnd, blockOffset(rom.first + rom.blocks));
        inspection.roms.push_back(std::move(rom));
    }
    const auto pieces = checkPieces(image, tableEnd);
    inspection.warnings.insert(inspection.warnings.end(), pieces.begin(), pieces.end());
    return inspection;
}

Refusal readRomBlocks(const ImageFile& image, const InspectedRom& rom,
                      const std::function<Refusal(std::span<const std::uint8_t>)>& take) {
    std::vector<std::uint8_t> block(kBlockSize);
    for (int i = 0; i < rom.blocks; ++i) {
        if (auto failure = image.read(blockOffset(rom.first + i), block)) {
            return failure;
        }
        if (auto failure = take(block)) {
            return failure;
        }
    }
    return std::nullopt;
}

} // namespace romc
