// The flash as a picture drawn from the flash plan (`romcompiler-cli --map FILE.svg`): the 1024 blocks as 16
// rows, one per 2 MiB save region, of 64 columns; each ROM in a colour of its own with its letter and name,
// the menu block, the free blocks, the region and piece boundaries, each region's save bank and a legend.
#pragma once

#include "plan/flash_plan.h"

#include <string>

namespace romc {

// A standalone SVG document. Each block is one <rect> with id "block-N" and a class that says who holds it:
// "menu", "free", "none" (taken by no listed ROM) or "rom" with data-row holding the row's letter.
std::string flashMapSvg(const FlashPlan& plan);

} // namespace romc
