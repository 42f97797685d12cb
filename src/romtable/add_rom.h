// "Add ROM": measures the picked file and appends one row; a save ROM gets its save bank and fixed place.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace romc {

// What a save ROM brings beyond the "Save?" box: the bank it kept from an earlier run, and its save file.
struct SaveWish {
    std::optional<int> bank{}; // none: the next bank, as Add ROM hands them out
    std::string saveFile{};    // as the user named it; empty: the ROM's own ".sav" beside it
};

struct AddRomInput {
    std::string_view name; // ROM name box
    std::string_view path; // file path box, as typed; relative paths are taken from workDir
    std::filesystem::path workDir;
    Disk* disk = nullptr; // none: the system's
    SaveWish wish{};
};

struct SavePlace {
    int bank;
    int location; // first block
};

// Where a save ROM of `blocks` blocks lies in `bank`: bank 0 at the block equal to its size (it shares
// region 0 with the menu), bank k at the first block of region k.
SavePlace savePlaceOfBank(int bank, int blocks);

// A ROM measured for Add ROM: its size in whole blocks, and its source as the file column shows it (for an
// archive, "ARCHIVE::MEMBER" of the member read, so that the compilation reads the same one).
struct MeasuredRom {
    int blocks = 0;
    std::string source;
};

// The ROM measured, or why Add ROM refuses it (not a readable regular file or archive member, the work
// folder's own file, shorter than a block or longer than the largest ROM).
Outcome<MeasuredRom> measureRom(const AddRomInput& input);

// Appends the row, or refuses the file with the reason and changes nothing at all. `saveBox` is the "Save?"
// box: read before the add, and unticked when this ROM may not, or the next one cannot, have save memory.
Refusal addRom(TableState& state, const AddRomInput& input, bool& saveBox);

// What Add ROM does once the file is measured at `blocks` blocks (1 to 256): the save bank and place, the
// refusal of a save ROM that would run past the flash, the new row. Replaying a table without its files
// (to foresee where a list's save ROMs go) takes the same road as adding them.
// A wished bank is refused when the ROM cannot lie there: bank 0 for a ROM of a whole region or more, blocks
// past the flash, or save regions another save ROM of the table reaches.
Refusal addRomOfBlocks(TableState& state, std::string_view name, std::string_view path, int blocks,
                       bool& saveBox, const SaveWish& wish = {});

} // namespace romc
