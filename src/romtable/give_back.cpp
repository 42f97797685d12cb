#include "romtable/give_back.h"

#include "romtable/number_text.h"

namespace romc {

std::optional<BlockRun> placedBlocks(const RomTable& table, std::size_t row) {
    if (table.text(row, Column::SaveFlag) != kSaveFlagNo) {
        return std::nullopt;
    }
    const auto first = readNumberText(table.text(row, Column::Location));
    const auto blocks = readNumberText(table.text(row, Column::Size));
    // Block 0 is the menu's, so a placed ROM never shows location "0".
    if (!first || !blocks || *first <= kMenuBlock || *blocks < 1 || *blocks > kMaxRomBlocks ||
        *first + *blocks - 1 > kLastBlock) {
        return std::nullopt;
    }
    return BlockRun{static_cast<int>(*first), static_cast<int>(*first + *blocks - 1)};
}

void giveBackPlace(RomTable& table, BlockMap& blocks, std::size_t row) {
    if (const auto run = placedBlocks(table, row)) {
        freeBlocks(blocks, run->first, run->last);
        table.column(Column::Location)[row] = std::string(kNotPlaced);
    }
}

void giveBackPlaces(RomTable& table, BlockMap& blocks) {
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        giveBackPlace(table, blocks, row);
    }
}

} // namespace romc
