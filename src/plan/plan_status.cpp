#include "plan/plan_status.h"

#include "compile/image.h"

#include <algorithm>
#include <vector>

namespace romc {

namespace {

// A status line has room for this many names; the rest are counted.
constexpr std::size_t kNamedMisfits = 3;

constexpr std::uintmax_t kKiB = 1024;
constexpr std::uintmax_t kMiB = 1024 * kKiB;

std::string count(std::uintmax_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string blocksText(int blocks) {
    return count(static_cast<std::uintmax_t>(blocks), "block", "blocks");
}

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text;
}

// Exact, in the largest unit that holds the length whole.
std::string sizeText(std::uintmax_t bytes) {
    if (bytes > 0 && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MiB";
    }
    if (bytes > 0 && bytes % kKiB == 0) {
        return std::to_string(bytes / kKiB) + " KiB";
    }
    return count(bytes, "byte", "bytes");
}

std::string misfitText(const RowPlace& place) {
    return "\"" + place.name + "\" (" + (place.blocks > 0 ? blocksText(place.blocks) : "no size") + ")";
}

// Why the misfits find no place: a size with more ROMs than places says it all; otherwise the free space.
std::string misfitReason(const FlashPlan& plan) {
    if (!plan.sizesWithoutRoom.empty()) {
        std::vector<std::string> sizes;
        for (const SizeWithoutRoom& size : plan.sizesWithoutRoom) {
            sizes.push_back(sizeWithoutRoomText(size));
        }
        return listed(sizes);
    }
    const int free = plan.usage.free;
    if (free == 0) {
        return "no block free";
    }
    int smallest = kMaxRomBlocks;
    for (const std::size_t row : plan.misfits) {
        smallest = std::min(smallest, std::max(plan.rows[row].blocks, 1));
    }
    // Enough free blocks, but not at a multiple of the size: alignment is the whole reason.
    if (free >= smallest) {
        return blocksText(free) + " free, none aligned for " + (plan.misfits.size() == 1 ? "it" : "them");
    }
    return blocksText(free) + " free, the largest aligned space " +
           blocksText(plan.usage.largestFreeAlignedSpace);
}

std::string piecesText(int pieces) {
    return pieces == 1 ? pieceName(1) : pieceName(1) + ".." + pieceName(pieces);
}

} // namespace

std::string draftStatus(const FlashPlan& plan) {
    const std::string used =
        std::to_string(plan.usage.used) + " of " + std::to_string(kFlashBlocks) + " blocks";
    if (plan.rows.empty()) {
        return "No ROMs in the table: " + used + " (the menu)";
    }
    if (plan.misfits.empty()) {
        // What the compilation would write, so that the flasher's space is known before pressing it.
        return (plan.rows.size() == 1 ? "The ROM fits: "
                                      : "All " + std::to_string(plan.rows.size()) + " ROMs fit: ") +
               used + "; " + kImageName + " will be " + sizeText(plan.usage.imageBytes) + ", " +
               count(static_cast<std::uintmax_t>(plan.usage.pieces), "piece", "pieces");
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < plan.misfits.size() && i < kNamedMisfits; ++i) {
        names.push_back(misfitText(plan.rows[plan.misfits[i]]));
    }
    if (plan.misfits.size() > kNamedMisfits) {
        names.push_back(std::to_string(plan.misfits.size() - kNamedMisfits) + " more");
    }
    return count(plan.misfits.size(), "ROM", "ROMs") + " would not fit: " + listed(names) + "; " +
           misfitReason(plan);
}

std::string blocksStatus(const FlashPlan& plan) {
    return std::to_string(plan.usage.used) + " of " + std::to_string(kFlashBlocks) + " blocks used";
}

std::string saveBanksStatus(const FlashPlan& plan) {
    std::string text =
        std::to_string(plan.saveBanks.handedOut) + " of " + std::to_string(kSaveBanks) + " save banks used";
    if (plan.saveBanks.givenUp > 0) {
        text += " (" + std::to_string(plan.saveBanks.givenUp) + " given up by " +
                (plan.saveBanks.givenUp == 1 ? "a removed row" : "removed rows") + ")";
    }
    return text;
}

std::string writtenStatus(const FlashPlan& plan) {
    return std::string("Wrote ") + kImageName + " and " + piecesText(plan.usage.pieces) + " (" +
           sizeText(plan.usage.imageBytes) + ") in " + plan.workDir.string();
}

std::string stalePiecesStatus(const FlashPlan& plan) {
    if (plan.stalePieces.empty()) {
        return {};
    }
    std::vector<std::string> names;
    for (const int k : plan.stalePieces) {
        names.push_back(pieceName(k));
    }
    return listed(names) + (names.size() == 1 ? " is" : " are") + " left from an earlier, larger compilation";
}

std::string blockStatus(const FlashPlan& plan, int block) {
    const std::string head = "Block " + std::to_string(block) + ": ";
    switch (blockKind(plan, block)) {
    case BlockKind::Menu:
        return head + "the menu";
    case BlockKind::Free:
        return head + "free, past the end of the image";
    case BlockKind::LostToAlignment:
        return head + "free, lost to alignment (the image fills it with 0xFF)";
    case BlockKind::TakenByNoRow:
        return head + "taken by a removed save ROM";
    case BlockKind::Rom:
    case BlockKind::DraftRom:
        break;
    }
    const auto row = static_cast<std::size_t>(plan.owner[static_cast<std::size_t>(block)]);
    const RowPlace& place = plan.rows[row];
    std::string text = head + rowLetter(row) + " \"" + place.name + "\", " +
                       (place.blocks == 1 ? "block " + std::to_string(*place.first)
                                          : "blocks " + std::to_string(*place.first) + " to " +
                                                std::to_string(place.last()));
    if (place.saveBank) {
        text += ", save bank " + std::to_string(*place.saveBank);
    }
    if (place.draft) {
        text += ", where the next compilation places it";
    }
    return text;
}

} // namespace romc
