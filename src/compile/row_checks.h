// What the table itself tells of a row, whatever its file holds: a name the menu will not show as it
// stands, and a ROM that is in the table twice. Warnings, never refusals: the row is added as before.
#pragma once

#include "romtable/rom_table.h"

#include <cstddef>
#include <string>
#include <vector>

namespace romc {

std::vector<std::string> tableRowWarnings(const RomTable& table, std::size_t row);

} // namespace romc
