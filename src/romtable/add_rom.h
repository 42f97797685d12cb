// "Add ROM": measures the picked file and appends one row; a save ROM gets its save bank and fixed place.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <filesystem>
#include <string_view>

namespace romc {

struct AddRomInput {
    std::string_view name; // ROM name box
    std::string_view path; // file path box, as typed; relative paths are taken from workDir
    std::filesystem::path workDir;
    Disk* disk = nullptr; // none: the system's
};

// Appends the row, or refuses the file with the reason and changes nothing at all. `saveBox` is the "Save?"
// box: read before the add, and unticked when this ROM may not, or the next one cannot, have save memory.
Refusal addRom(TableState& state, const AddRomInput& input, bool& saveBox);

// What Add ROM does once the file is measured at `blocks` blocks (1 to 256): the save bank and place, the
// refusal of a save ROM that would run past the flash, the new row. Replaying a table without its files
// (to foresee where a list's save ROMs go) takes the same road as adding them.
Refusal addRomOfBlocks(TableState& state, std::string_view name, std::string_view path, int blocks,
                       bool& saveBox);

} // namespace romc
