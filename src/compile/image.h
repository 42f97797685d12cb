// The flash image "Output.GB" and its 8 MiB pieces "Output1.GB" to "Output4.GB".
#pragma once

#include "compile/pending_file.h"
#include "files/disk.h"
#include "files/work_folder.h"
#include "romtable/block_map.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace romc {

// A ROM that has a place in flash, in table order, held open since it was checked.
struct ImageRom {
    std::shared_ptr<OpenFile> file;
    std::string shown; // the path as the table holds it, for messages
    int location;      // first block
    int blocks;        // only these whole blocks are copied, so a ROM never writes into a neighbour
};

// What the image holds, in the order the bytes are laid down where they overlap: the menu at block 0, then
// each ROM at its block in table order, then 0xFF in every free block up to the last occupied one. A byte
// that none of them covers is 0x00.
inline constexpr std::uint8_t kFreeFlashByte = 0xFF;

struct ImagePlan {
    std::vector<std::uint8_t> menu; // the template as patched
    std::vector<ImageRom> roms;
    BlockMap blocks; // after placement
};

// The image ends with its furthest write: the menu's `menuBytes`, each ROM's whole blocks, and the fill of
// each free block below the last occupied one. One length for the outputs and for every view of the flash.
std::uintmax_t imageLength(std::uintmax_t menuBytes, const std::vector<ImageRom>& roms,
                           const BlockMap& blocks);
std::uintmax_t imageLength(const ImagePlan& plan);

// The pieces the image reaches into: the first always, each further one when the image is longer than the
// pieces before it.
int piecesFor(std::uintmax_t imageLength);

// Lays down the image bytes from `offset` on into `window`; fails when a ROM cannot be read whole.
Refusal composeImage(const ImagePlan& plan, std::uintmax_t offset, std::span<std::uint8_t> window);

// Writes the image and its pieces (pieces[k - 1] is piece k, one for each piece the image reaches) in one
// pass. Every piece is 8 MiB; the part past the image's end is zeros.
Refusal writeImage(const ImagePlan& plan, PendingFile& image, const std::vector<PendingFile*>& pieces);

} // namespace romc
