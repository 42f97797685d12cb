// The flash as a picture drawn from the flash plan (`romcompiler-cli --map FILE.svg`): the 1024 blocks as 16
// rows, one per 2 MiB save region, of 64 columns; each ROM in a colour of its own with its letter and name,
// the menu block, the free blocks, the region and piece boundaries, each region's save bank and a legend.
#pragma once

#include "files/disk.h"
#include "plan/flash_plan.h"

#include <filesystem>

#include <string>

namespace romc {

// A standalone SVG document. Each block is one <rect> with id "block-N" and a class that says who holds it:
// "menu", "free", "none" (taken by no listed ROM) or "rom" with data-row holding the row's letter.
std::string flashMapSvg(const FlashPlan& plan);

// The comment every map starts with after its XML declaration: it tells a map this tool drew from any
// other file that happens to bear the name given to --map.
inline constexpr const char* kFlashMapSignature = "<!-- Flash map drawn by romcompiler -->";

// Whether the file at `path` is a map this tool drew (its first bytes carry the signature).
bool isFlashMapFile(Disk& disk, const std::filesystem::path& path);

} // namespace romc
