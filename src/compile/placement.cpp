#include "compile/placement.h"

#include "romtable/number_text.h"

#include <algorithm>
#include <map>

namespace romc {

namespace {

// The row's size when it is a number of blocks that can be placed at all.
std::optional<int> placeableBlocks(const RomTable& table, std::size_t row) {
    const auto blocks = readNumberText(table.text(row, Column::Size));
    if (!blocks || *blocks < 1 || *blocks > kMaxRomBlocks) {
        return std::nullopt;
    }
    return static_cast<int>(*blocks);
}

std::string romText(const RomTable& table, std::size_t row) {
    return "\"" + table.text(row, Column::Name) + "\" (" + table.text(row, Column::File) + ")";
}

std::string sizeInBlocks(int blocks) {
    return std::to_string(blocks) + " blocks";
}

} // namespace

std::optional<int> firstFitStart(const BlockMap& map, int blocks) {
    if (blocks <= 0 || blocks > kFlashBlocks) {
        return std::nullopt;
    }
    for (int start = 0; start + blocks - 1 <= kLastBlock; start += blocks) {
        if (blocksFree(map, start, start + blocks - 1)) {
            return start;
        }
    }
    return std::nullopt;
}

int largestFreeAlignedSpace(const BlockMap& map) {
    for (int blocks = kMaxRomBlocks; blocks > 0; --blocks) {
        if (firstFitStart(map, blocks)) {
            return blocks;
        }
    }
    return 0;
}

int freeAlignedPlaces(const BlockMap& map, int blocks) {
    int places = 0;
    for (int start = 0; blocks > 0 && start + blocks - 1 <= kLastBlock; start += blocks) {
        places += blocksFree(map, start, start + blocks - 1) ? 1 : 0;
    }
    return places;
}

Placement placeEveryRomThatFits(RomTable& table, BlockMap& map) {
    const BlockMap before = map;
    std::map<int, int> romsOfSize;
    Placement placement;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (table.text(row, Column::SaveFlag) != kSaveFlagNo) {
            continue; // a save ROM keeps the place its bank gave it
        }
        const auto blocks = placeableBlocks(table, row);
        if (!blocks) {
            placement.misfits.push_back({row, 0, largestFreeAlignedSpace(map)});
            continue;
        }
        ++romsOfSize[*blocks];
        const auto start = firstFitStart(map, *blocks);
        if (!start) {
            placement.misfits.push_back({row, *blocks, largestFreeAlignedSpace(map)});
            continue;
        }
        markBlocks(map, *start, *start + *blocks - 1);
        table.column(Column::Location)[row] = numberText(*start);
    }
    for (const auto& [blocks, roms] : romsOfSize) {
        const bool misfit = std::any_of(placement.misfits.begin(), placement.misfits.end(),
                                        [blocks = blocks](const Misfit& m) { return m.blocks == blocks; });
        const int places = freeAlignedPlaces(before, blocks);
        if (misfit && roms > 1 && roms > places) {
            placement.sizesWithoutRoom.push_back({blocks, roms, places});
        }
    }
    return placement;
}

std::string sizeWithoutRoomText(const SizeWithoutRoom& size) {
    return std::to_string(size.roms) + " ROMs of " + sizeInBlocks(size.blocks) +
           " can never all fit beside the menu and the save ROMs: there is room for " +
           (size.places == 0 ? std::string("none") : std::to_string(size.places));
}

Refusal placeRoms(RomTable& table, BlockMap& map) {
    const Placement placement = placeEveryRomThatFits(table, map);
    for (const Misfit& misfit : placement.misfits) {
        if (misfit.blocks == 0) {
            return Failure{"Cannot place " + romText(table, misfit.row) + ": its size \"" +
                           table.text(misfit.row, Column::Size) + "\" is not a number of blocks from 1 to " +
                           std::to_string(kMaxRomBlocks)};
        }
    }
    const auto& misfits = placement.misfits;
    if (misfits.empty()) {
        return std::nullopt;
    }
    auto rom = [&](const Misfit& misfit) {
        return romText(table, misfit.row) + " (" + sizeInBlocks(misfit.blocks) + ")";
    };
    std::string message;
    if (misfits.size() == 1) {
        message = rom(misfits.front()) + " does not fit in the flash: the largest free aligned space is " +
                  sizeInBlocks(misfits.front().largestFreeAlignedSpace);
    } else {
        message = std::to_string(misfits.size()) + " ROMs do not fit in the flash: ";
        for (std::size_t i = 0; i < misfits.size(); ++i) {
            message += (i == 0 ? "" : i + 1 == misfits.size() ? " and " : ", ") + rom(misfits[i]);
        }
        message += "; the largest free aligned space left is " + sizeInBlocks(largestFreeAlignedSpace(map));
    }
    for (const SizeWithoutRoom& size : placement.sizesWithoutRoom) {
        message += "; " + sizeWithoutRoomText(size);
    }
    return Failure{message};
}

} // namespace romc
