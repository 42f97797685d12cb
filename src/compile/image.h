// The flash image "Output.GB" and its 8 MiB pieces "Output1.GB" to "Output4.GB".
#pragma once

#include "compile/menu_patch.h"
#include "compile/pending_file.h"
#include "romtable/block_map.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace romc {

inline constexpr const char* kImageName = "Output.GB";

// "Output1.GB" for the first piece (k = 1) to "Output4.GB" for the last.
std::string pieceName(int k);

// A ROM that has a place in flash, in table order.
struct ImageRom {
    std::filesystem::path path;
    std::string shown;  // the path as the table holds it, for messages
    int location;       // first block
    int blocks;         // only these whole blocks are copied, so a ROM never writes into a neighbour
};

struct ImagePlan {
    std::vector<std::uint8_t> menu;  // the template as patched, for block 0
    std::vector<ImageRom> roms;
    BlockMap blocks;                 // after placement
};

// Writes the image: the menu at block 0, then each ROM at its block, then 0xFF in every free block up to
// the last occupied one. Returns the image length, the end of its furthest write.
Outcome<std::uintmax_t> assembleImage(const ImagePlan& plan, PendingFile& image);

// The pieces the image reaches into: the first always, each further one when the image is longer than the
// pieces before it. Every piece is 8 MiB; the part past the image's end is zeros.
int piecesFor(std::uintmax_t imageLength);

// Writes piece k (1 to 4) of the image, which is `imageLength` bytes long.
Refusal writePiece(PendingFile& image, std::uintmax_t imageLength, int k, PendingFile& piece);

} // namespace romc
