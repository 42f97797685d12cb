#include "compile/image.h"

#include <algorithm>

namespace romc {

namespace {

// The image is laid down one save region at a time: large enough to stream at disk speed, small enough
// that a full flash compiles in a few MiB of memory. Pieces hold a whole number of windows.
constexpr std::size_t kWindowSize = kSaveRegionBlocks * kBlockSize;
static_assert(kPieceSize % kWindowSize == 0);

std::uintmax_t blockOffset(int block) {
    return static_cast<std::uintmax_t>(block) * kBlockSize;
}

// The part of [first, first + size) that falls inside the window, as offsets into the window and the source.
struct Overlap {
    std::size_t windowStart = 0;
    std::size_t sourceStart = 0;
    std::size_t size = 0;
};

Overlap overlap(std::uintmax_t windowOffset, std::size_t windowSize, std::uintmax_t first,
                std::uintmax_t size) {
    const std::uintmax_t begin = std::max(windowOffset, first);
    const std::uintmax_t end = std::min(windowOffset + windowSize, first + size);
    if (begin >= end) {
        return {};
    }
    return {static_cast<std::size_t>(begin - windowOffset), static_cast<std::size_t>(begin - first),
            static_cast<std::size_t>(end - begin)};
}

Refusal readRomPart(const ImageRom& rom, const Overlap& part, std::uint8_t* into) {
    std::size_t got = 0;
    if (auto error = rom.file->readAt(part.sourceStart, std::span(into, part.size), got)) {
        return fileFailure("read", rom.shown, error);
    }
    if (got != part.size) {
        return Failure{"Cannot read " + inQuotes(rom.shown) + ": it became shorter than its " +
                       std::to_string(rom.blocks) + " blocks after it was added"};
    }
    return std::nullopt;
}

} // namespace

std::uintmax_t imageLength(std::uintmax_t menuBytes, const std::vector<ImageRom>& roms,
                           const BlockMap& blocks) {
    std::uintmax_t length = menuBytes;
    for (const auto& rom : roms) {
        length = std::max(length, blockOffset(rom.location + rom.blocks));
    }
    for (int block = lastOccupiedBlock(blocks); block >= 0; --block) {
        if (blocks[static_cast<std::size_t>(block)] == 0) {
            return std::max(length, blockOffset(block + 1)); // the highest fill block
        }
    }
    return length;
}

std::uintmax_t imageLength(const ImagePlan& plan) {
    return imageLength(plan.menu.size(), plan.roms, plan.blocks);
}

int piecesFor(std::uintmax_t imageLength) {
    int pieces = 1;
    while (pieces < kPieceCount && imageLength > static_cast<std::uintmax_t>(pieces) * kPieceSize) {
        ++pieces;
    }
    return pieces;
}

Refusal composeImage(const ImagePlan& plan, std::uintmax_t offset, std::span<std::uint8_t> window) {
    std::fill(window.begin(), window.end(), std::uint8_t{0});
    const auto menuPart = overlap(offset, window.size(), 0, plan.menu.size());
    std::copy_n(plan.menu.begin() + static_cast<std::ptrdiff_t>(menuPart.sourceStart), menuPart.size,
                window.begin() + static_cast<std::ptrdiff_t>(menuPart.windowStart));
    for (const auto& rom : plan.roms) {
        const auto part = overlap(offset, window.size(), blockOffset(rom.location), blockOffset(rom.blocks));
        if (part.size > 0) {
            if (auto failure = readRomPart(rom, part, window.data() + part.windowStart)) {
                return failure;
            }
        }
    }
    const int last = lastOccupiedBlock(plan.blocks);
    for (int block = 0; block <= last; ++block) {
        if (plan.blocks[static_cast<std::size_t>(block)] == 0) {
            const auto part = overlap(offset, window.size(), blockOffset(block), kBlockSize);
            std::fill_n(window.begin() + static_cast<std::ptrdiff_t>(part.windowStart), part.size,
                        kFreeFlashByte);
        }
    }
    return std::nullopt;
}

Refusal writeImage(const ImagePlan& plan, PendingFile& image, const std::vector<PendingFile*>& pieces) {
    const std::uintmax_t length = imageLength(plan);
    const std::uintmax_t piecesEnd = pieces.size() * kPieceSize;
    std::vector<std::uint8_t> window(kWindowSize);
    for (std::uintmax_t offset = 0; offset < std::max(length, piecesEnd); offset += kWindowSize) {
        const std::size_t inImage =
            offset >= length
                ? 0
                : static_cast<std::size_t>(std::min<std::uintmax_t>(kWindowSize, length - offset));
        if (inImage > 0) {
            if (auto failure = composeImage(plan, offset, std::span(window).first(inImage))) {
                return failure;
            }
            if (auto failure = image.writeAt(offset, window.data(), inImage)) {
                return failure;
            }
        }
        if (offset < piecesEnd) {
            std::fill(window.begin() + static_cast<std::ptrdiff_t>(inImage), window.end(), std::uint8_t{0});
            PendingFile& piece = *pieces[static_cast<std::size_t>(offset / kPieceSize)];
            if (auto failure = piece.writeAt(offset % kPieceSize, window.data(), window.size())) {
                return failure;
            }
        }
    }
    return std::nullopt;
}

} // namespace romc
