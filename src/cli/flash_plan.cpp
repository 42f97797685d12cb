#include "cli/flash_plan.h"

#include "compile/image.h"
#include "compile/placement.h"
#include "romtable/number_text.h"

#include <algorithm>

namespace romc {

namespace {

std::optional<int> numberIn(const std::string& text, int low, int high) {
    const auto value = readNumberText(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

} // namespace

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

FlashPlan planFlash(const TableState& state) {
    FlashPlan plan;
    plan.blocks = state.blocks;
    const RomTable& table = state.table;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        RowPlace place;
        place.name = table.text(row, Column::Name);
        place.file = table.text(row, Column::File);
        const auto blocks = numberIn(table.text(row, Column::Size), 1, kMaxRomBlocks);
        place.blocks = blocks.value_or(0);
        const auto location = numberIn(table.text(row, Column::Location), 0, kLastBlock);
        if (table.text(row, Column::SaveFlag) == kSaveFlagYes) {
            place.saveBank = numberIn(table.text(row, Column::SaveBank), 0, kSaveBanks - 1);
        }
        if (!blocks) {
            place.notPlaced = "its size \"" + table.text(row, Column::Size) + "\" is not a number of blocks";
        } else if (location && (*location != 0 || place.saveBank)) {
            // A save ROM's place was fixed when it was added; any other row with a block number was placed
            // by a compilation (block 0 is the menu's, so a placed ROM never shows "0").
            if (*location + place.blocks - 1 <= kLastBlock) {
                place.first = *location;
            } else {
                place.notPlaced = "its blocks would run past the last flash block";
            }
        } else if (const auto start = firstFitStart(plan.blocks, place.blocks)) {
            markBlocks(plan.blocks, *start, *start + place.blocks - 1);
            place.first = *start;
        } else {
            place.notPlaced = "does not fit: the largest free aligned space is " +
                              std::to_string(largestFreeAlignedSpace(plan.blocks)) + " blocks";
        }
        plan.rows.push_back(std::move(place));
    }

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
    return plan;
}

FlashUsage flashUsage(const FlashPlan& plan, std::uintmax_t menuTemplateBytes) {
    FlashUsage usage;
    usage.used = static_cast<int>(std::count(plan.blocks.begin(), plan.blocks.end(), std::int16_t{1}));
    usage.free = kFlashBlocks - usage.used;
    usage.lastOccupied = lastOccupiedBlock(plan.blocks);
    usage.freeAtEnd = kLastBlock - usage.lastOccupied;
    usage.lostToAlignment = usage.free - usage.freeAtEnd;
    usage.largestFreeAlignedSpace = largestFreeAlignedSpace(plan.blocks);

    int romsEnd = 0;
    for (const RowPlace& place : plan.rows) {
        if (place.first) {
            romsEnd = std::max(romsEnd, place.last() + 1);
        }
    }
    usage.imageBytes =
        imageLength(std::min<std::uintmax_t>(menuTemplateBytes, kFlashSize), romsEnd, plan.blocks);
    usage.pieces = piecesFor(usage.imageBytes);
    return usage;
}

} // namespace romc
