#include "plan/flash_plan.h"

#include "compile/image.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"

#include <algorithm>
#include <set>

namespace romc {

namespace {

std::optional<int> numberIn(const std::string& text, int low, int high) {
    const auto value = readNumberText(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// A row without save memory takes the place the placement pass gave it on the draft table.
void placeDraftRow(RowPlace& place, const RomTable& table, const RomTable& draft, std::size_t row,
                   const Placement& placement) {
    const auto misfit = std::find_if(placement.misfits.begin(), placement.misfits.end(),
                                     [row](const Misfit& m) { return m.row == row; });
    if (misfit == placement.misfits.end()) {
        place.first = numberIn(draft.text(row, Column::Location), kMenuBlock + 1, kLastBlock);
        const auto placedNow = placedBlocks(table, row);
        place.draft = !placedNow || placedNow->first != place.first;
    } else if (misfit->blocks == 0) {
        place.notPlaced = "its size \"" + table.text(row, Column::Size) + "\" is not a number of blocks";
    } else {
        place.notPlaced = "does not fit: the largest free aligned space is " +
                          std::to_string(misfit->largestFreeAlignedSpace) + " blocks";
    }
}

// A save ROM, or a row of any other save flag, keeps the place the table holds.
void placeFixedRow(RowPlace& place, const RomTable& table, std::size_t row) {
    const std::string& size = table.text(row, Column::Size);
    const std::string& location = table.text(row, Column::Location);
    const auto first = numberIn(location, kMenuBlock + 1, kLastBlock);
    if (place.blocks == 0) {
        place.notPlaced = "its size \"" + size + "\" is not a number of blocks";
    } else if (!first) {
        place.notPlaced = "its location \"" + location + "\" is not a block of the flash";
    } else if (*first + place.blocks - 1 > kLastBlock) {
        place.notPlaced = "its blocks would run past the last flash block";
    } else {
        place.first = first;
    }
}

void fillOwners(FlashPlan& plan) {
    plan.owner.fill(kOwnerFree);
    plan.owner[kMenuBlock] = kOwnerMenu;
    for (std::size_t row = 0; row < plan.rows.size(); ++row) {
        const RowPlace& place = plan.rows[row];
        if (place.first) {
            std::fill(plan.owner.begin() + *place.first, plan.owner.begin() + place.last() + 1,
                      static_cast<int>(row));
        }
    }
    for (int block = 0; block < kFlashBlocks; ++block) {
        const auto b = static_cast<std::size_t>(block);
        if (plan.blocks[b] == 1 && plan.owner[b] == kOwnerFree) {
            plan.owner[b] = kOwnerNoRow;
        }
    }
}

FlashUsage flashUsage(const FlashPlan& plan, std::uintmax_t menuBytes) {
    FlashUsage usage;
    usage.used = static_cast<int>(std::count(plan.blocks.begin(), plan.blocks.end(), std::int16_t{1}));
    usage.free = kFlashBlocks - usage.used;
    usage.lastOccupied = lastOccupiedBlock(plan.blocks);
    usage.freeAtEnd = kLastBlock - usage.lastOccupied;
    usage.lostToAlignment = usage.free - usage.freeAtEnd;
    usage.largestFreeAlignedSpace = largestFreeAlignedSpace(plan.blocks);

    std::vector<ImageRom> roms;
    for (const RowPlace& place : plan.rows) {
        if (place.first) {
            roms.push_back({nullptr, place.file, *place.first, place.blocks});
        }
    }
    // A template larger than the flash is refused by the compilation; the image never holds more.
    usage.imageBytes = imageLength(std::min<std::uintmax_t>(menuBytes, kFlashSize), roms, plan.blocks);
    usage.pieces = piecesFor(usage.imageBytes);
    return usage;
}

SaveBankUse saveBankUse(const FlashPlan& plan, int nextSaveBank) {
    SaveBankUse use;
    use.handedOut = std::clamp<int>(nextSaveBank, 0, kSaveBanks);
    std::set<int> held;
    for (const RowPlace& place : plan.rows) {
        if (place.saveBank) {
            held.insert(*place.saveBank);
        }
    }
    use.held = static_cast<int>(held.size());
    for (int bank = 0; bank < use.handedOut; ++bank) {
        const auto region = plan.owner.begin() + bank * kSaveRegionBlocks;
        if (held.count(bank) == 0 &&
            std::find(region, region + kSaveRegionBlocks, kOwnerNoRow) != region + kSaveRegionBlocks) {
            ++use.givenUp;
        }
    }
    return use;
}

} // namespace

int RowPlace::firstPiece() const {
    return pieceOfBlock(*first);
}

int RowPlace::lastPiece() const {
    return pieceOfBlock(last());
}

char rowLetter(std::size_t row) {
    constexpr std::size_t kLetters = 26;
    if (row < kLetters) {
        return static_cast<char>('A' + row);
    }
    if (row < 2 * kLetters) {
        return static_cast<char>('a' + (row - kLetters));
    }
    if (row < kLetteredRows) {
        return static_cast<char>('0' + (row - 2 * kLetters));
    }
    return kLaterRowsLetter;
}

int pieceOfBlock(int block) {
    return block / static_cast<int>(kPieceBlocks) + 1;
}

FlashPlan planFlash(const TableState& state, const WorkFolder& folder) {
    FlashPlan plan;
    plan.workDir = folder.path;
    const RomTable& table = state.table;
    RomTable draft = table;
    plan.blocks = state.blocks;
    giveBackPlaces(draft, plan.blocks);
    const Placement placement = placeEveryRomThatFits(draft, plan.blocks);
    plan.sizesWithoutRoom = placement.sizesWithoutRoom;
    for (const Misfit& misfit : placement.misfits) {
        plan.misfits.push_back(misfit.row);
    }

    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        RowPlace place;
        place.name = table.text(row, Column::Name);
        place.file = table.text(row, Column::File);
        place.blocks = numberIn(table.text(row, Column::Size), 1, kMaxRomBlocks).value_or(0);
        const std::string& flag = table.text(row, Column::SaveFlag);
        if (flag == kSaveFlagYes) {
            place.saveBank = numberIn(table.text(row, Column::SaveBank), 0, kSaveBanks - 1);
        }
        if (flag == kSaveFlagNo) {
            placeDraftRow(place, table, draft, row, placement);
        } else {
            placeFixedRow(place, table, row);
        }
        plan.rows.push_back(std::move(place));
    }
    fillOwners(plan);
    plan.usage = flashUsage(plan, folder.menuBytes);
    plan.saveBanks = saveBankUse(plan, state.nextSaveBank);
    plan.stalePieces = stalePieces(folder, plan.usage.imageBytes);
    return plan;
}

FlashPlan planFlash(const PlacedImage& image) {
    FlashPlan plan;
    plan.workDir = image.folder.path;
    plan.blocks[kMenuBlock] = 1;
    int nextSaveBank = 0;
    for (const PlacedRow& row : image.rows) {
        RowPlace place;
        place.name = row.name;
        place.blocks = row.blocks;
        place.saveBank = row.saveBank;
        place.first = row.first;
        markBlocks(plan.blocks, row.first, row.first + row.blocks - 1);
        nextSaveBank = std::max(nextSaveBank, row.saveBank.value_or(-1) + 1);
        plan.rows.push_back(std::move(place));
    }
    fillOwners(plan);
    plan.usage = flashUsage(plan, image.imageBytes != 0 ? image.imageBytes : image.folder.menuBytes);
    plan.saveBanks = saveBankUse(plan, nextSaveBank);
    plan.stalePieces = stalePieces(image.folder, plan.usage.imageBytes);
    return plan;
}

BlockKind blockKind(const FlashPlan& plan, int block) {
    const int owner = plan.owner[static_cast<std::size_t>(block)];
    switch (owner) {
    case kOwnerMenu:
        return BlockKind::Menu;
    case kOwnerNoRow:
        return BlockKind::TakenByNoRow;
    case kOwnerFree:
        return block < plan.usage.lastOccupied ? BlockKind::LostToAlignment : BlockKind::Free;
    default:
        return plan.rows[static_cast<std::size_t>(owner)].draft ? BlockKind::DraftRom : BlockKind::Rom;
    }
}

} // namespace romc
