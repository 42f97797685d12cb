#include "compile/image.h"

#include "romtable/rom_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace romc {

namespace {

// Copies go through a buffer of 32 blocks: large enough to stream at disk speed, small enough that a full
// flash compiles in a few MiB of memory.
constexpr std::size_t kCopyChunk = 32 * kBlockSize;

constexpr std::uint8_t kFreeFlashByte = 0xFF;

std::uintmax_t blockOffset(int block) { return static_cast<std::uintmax_t>(block) * kBlockSize; }

Refusal copyRom(const ImageRom& rom, PendingFile& image, std::vector<std::uint8_t>& buffer) {
    std::FILE* file = std::fopen(rom.path.c_str(), "rb");
    if (file == nullptr) {
        return Failure{"Cannot open \"" + rom.shown + "\" for reading: " + systemReason(errno)};
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
    std::uintmax_t left = static_cast<std::uintmax_t>(rom.blocks) * kBlockSize;
    std::uintmax_t offset = blockOffset(rom.location);
    while (left > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uintmax_t>(left, kCopyChunk));
        errno = 0;
        if (std::fread(buffer.data(), 1, chunk, file) != chunk) {
            return Failure{"Cannot read \"" + rom.shown + "\": " +
                           (std::ferror(file) ? systemReason(errno)
                                              : "it became shorter than its " + std::to_string(rom.blocks) +
                                                    " blocks after it was added")};
        }
        if (auto failure = image.writeAt(offset, buffer.data(), chunk)) {
            return failure;
        }
        offset += chunk;
        left -= chunk;
    }
    return std::nullopt;
}

} // namespace

std::string pieceName(int k) { return "Output" + std::to_string(k) + ".GB"; }

Outcome<std::uintmax_t> assembleImage(const ImagePlan& plan, PendingFile& image) {
    std::uintmax_t length = 0;
    // Later writes win where they overlap: the menu first, then the ROMs in table order, then the fill.
    if (!plan.menu.empty()) {
        if (auto failure = image.writeAt(0, plan.menu.data(), plan.menu.size())) {
            return *failure;
        }
        length = plan.menu.size();
    }
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (const auto& rom : plan.roms) {
        if (auto failure = copyRom(rom, image, buffer)) {
            return *failure;
        }
        length = std::max(length, blockOffset(rom.location + rom.blocks));
    }
    int last = kLastBlock;
    while (plan.blocks[static_cast<std::size_t>(last)] != 1) {
        --last;  // block 0 is always taken, so this stops
    }
    const std::vector<std::uint8_t> fill(kBlockSize, kFreeFlashByte);
    for (int block = 0; block <= last; ++block) {
        if (plan.blocks[static_cast<std::size_t>(block)] == 0) {
            if (auto failure = image.writeAt(blockOffset(block), fill.data(), fill.size())) {
                return *failure;
            }
            length = std::max(length, blockOffset(block + 1));
        }
    }
    return length;
}

int piecesFor(std::uintmax_t imageLength) {
    int pieces = 1;
    while (pieces < kPieceCount && imageLength > pieces * kPieceSize) {
        ++pieces;
    }
    return pieces;
}

Refusal writePiece(PendingFile& image, std::uintmax_t imageLength, int k, PendingFile& piece) {
    const std::uintmax_t first = static_cast<std::uintmax_t>(k - 1) * kPieceSize;
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (std::size_t done = 0; done < kPieceSize; done += kCopyChunk) {
        const std::uintmax_t from = first + done;
        const std::size_t fromImage =
            from >= imageLength ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(kCopyChunk, imageLength - from));
        if (fromImage > 0) {
            if (auto failure = image.readAt(from, buffer.data(), fromImage)) {
                return failure;
            }
        }
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(fromImage), buffer.end(), std::uint8_t{0});
        if (auto failure = piece.writeAt(done, buffer.data(), kCopyChunk)) {
            return failure;
        }
    }
    return std::nullopt;
}

} // namespace romc
