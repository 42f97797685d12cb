// What taking the ROMs out of an inspected image writes: one file per row, named from its menu name, and a
// ROM list naming them in table order with each row's name and save flag. Before anything is written, the
// list is replayed through Add ROM's rules and the placement, so that a list which would build a different
// image is named in a warning instead of passing for a copy.
#pragma once

#include "inspect/inspection.h"
#include "lists/rom_list.h"

#include <string>
#include <vector>

namespace romc {

inline constexpr const char* kExtractedListName = "list.json";

struct ExtractionPlan {
    std::vector<std::string> files;    // one file name per row, in table order
    RomList list;                      // entries naming `files`, relative to the folder they go to
    std::vector<std::string> warnings; // each way a rebuild from the list would differ from the image
};

// The name a row is listed under: the name entry's bytes, each byte outside printable ASCII as '?' (what
// the menu patch writes for such a character), so that the list holds valid UTF-8.
std::string listedName(const InspectedRom& rom);

// Names the files and the list's entries; `reserved` are file names beside them that must not be taken
// (the image's own, the work folder's). Checks the rebuild (see `rebuildDifferences`).
ExtractionPlan planExtraction(const Inspection& inspection, const std::vector<std::string>& reserved);

// How a table opened from `list` on an emptied table (Add ROM per entry, then the placement of the ROMs
// without save memory) would differ from the inspected rows: a place, a name, or an entry Add ROM refuses.
// One warning per row, in table order; empty when the rebuild gives every row back.
std::vector<std::string> rebuildDifferences(const std::vector<InspectedRom>& roms, const RomList& list);

} // namespace romc
