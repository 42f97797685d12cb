// What the flash plan needs to know of the work folder, and the pieces a compilation leaves behind there: an
// "OutputK.GB" beyond the pieces the image reaches is left from an earlier, larger compilation, and whoever
// flashes it writes stale data.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/flash_units.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace romc {

struct WorkFolder {
    std::filesystem::path path;
    std::uintmax_t menuBytes = 0;               // the length of "Menu.GB"; 0 when it cannot be read
    std::array<bool, kPieceCount> pieceThere{}; // pieceThere[k - 1]: a file "OutputK.GB" is in the folder
};

// Looks at "Menu.GB" and the four piece names, reading no file's contents.
WorkFolder readWorkFolder(const std::filesystem::path& workDir);

// The pieces in the folder that an image of `imageBytes` bytes does not reach, ascending.
std::vector<int> stalePieces(const WorkFolder& folder, std::uintmax_t imageBytes);

struct PieceRemoval {
    std::string name; // "Output3.GB"
    Refusal failure;  // why it could not be removed
};

// Removes the pieces that the folder's "Output.GB" does not reach, under the folder's lock. Nothing is
// removed when there is no "Output.GB": without it nothing tells which pieces belong to it.
std::vector<PieceRemoval> removeStalePieces(Disk& disk, const std::filesystem::path& workDir);

} // namespace romc
