// The table as romcompiler-cli prints it: one line per row, the seven columns separated by tabs.
#pragma once

#include "romtable/rom_table.h"

#include <string>

namespace romc {

std::string tableText(const RomTable& table);

} // namespace romc
