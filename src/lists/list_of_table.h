// Saving a table as a ROM list: the inverse of opening one.
#pragma once

#include "lists/rom_list.h"
#include "romtable/table_state.h"

#include <filesystem>

namespace romc {

// One entry per row, in table order, with the row's name and save flag ("Y" rows get save memory), a save
// ROM's bank and named save file, and its file named as a list at `listPath` names it (see listFileText);
// relative row paths start at `workDir`. Opening the list again adds the same rows, in the same order,
// with the same names, save flags, banks and save places.
RomList romListOfTable(const TableState& state, const std::filesystem::path& workDir,
                       const std::filesystem::path& listPath);

} // namespace romc
