#include "compile/placement.h"

#include "romtable/number_text.h"

#include <string>

namespace romc {

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

Refusal placeRoms(RomTable& table, BlockMap& map) {
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (table.text(row, Column::SaveFlag) != kSaveFlagNo) {
            continue; // a save ROM keeps the place its bank gave it
        }
        const auto blocks = readNumberText(table.text(row, Column::Size));
        const std::string rom =
            "\"" + table.text(row, Column::Name) + "\" (" + table.text(row, Column::File) + ")";
        if (!blocks || *blocks < 1 || *blocks > kMaxRomBlocks) {
            return Failure{"Cannot place " + rom + ": its size \"" + table.text(row, Column::Size) +
                           "\" is not a number of blocks from 1 to " + std::to_string(kMaxRomBlocks)};
        }
        const int size = static_cast<int>(*blocks);
        const auto start = firstFitStart(map, size);
        if (!start) {
            return Failure{rom + " (" + std::to_string(size) +
                           " blocks) does not fit in the flash: the largest free aligned space is " +
                           std::to_string(largestFreeAlignedSpace(map)) + " blocks"};
        }
        markBlocks(map, *start, *start + size - 1);
        table.column(Column::Location)[row] = numberText(*start);
    }
    return std::nullopt;
}

} // namespace romc
