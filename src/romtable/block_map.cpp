#include "romtable/block_map.h"

#include <algorithm>
#include <cassert>

namespace romc {

void resetBlockMap(BlockMap& blocks) {
    blocks.fill(0);
    blocks[kMenuBlock] = 1;
}

void markBlocks(BlockMap& blocks, int first, int last) {
    assert(first >= 0 && last <= kLastBlock);
    std::fill(blocks.begin() + first, blocks.begin() + last + 1, std::int16_t{1});
}

void freeBlocks(BlockMap& blocks, int first, int last) {
    assert(first > kMenuBlock && last <= kLastBlock);
    std::fill(blocks.begin() + first, blocks.begin() + last + 1, std::int16_t{0});
}

bool blocksFree(const BlockMap& blocks, int first, int last) {
    assert(first >= 0 && last <= kLastBlock);
    return std::all_of(blocks.begin() + first, blocks.begin() + last + 1,
                       [](std::int16_t b) { return b == 0; });
}

int lastOccupiedBlock(const BlockMap& blocks) {
    int last = kLastBlock;
    while (last > 0 && blocks[static_cast<std::size_t>(last)] != 1) {
        --last;
    }
    return last;
}

} // namespace romc
