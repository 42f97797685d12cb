// Whether two paths name one file, as the guards that keep "Menu.GB", the outputs and the ROMs from being
// overwritten by a map or a list must ask: on Windows "menu.gb" is "Menu.GB", on Linux a link can be.
#pragma once

#include "files/disk.h"

#include <filesystem>

namespace romc {

// When both exist: whether they are one file (its identity, whatever the spelling: links, letter case,
// ".."). Otherwise: whether the system would take the two names for one once the file is made.
bool sameFile(Disk& disk, const std::filesystem::path& a, const std::filesystem::path& b);

namespace platform {
// Whether the system takes two spellings of a path for the same name: exactly equal on POSIX, equal but
// for letter case on Windows.
bool sameName(const std::filesystem::path& a, const std::filesystem::path& b);
} // namespace platform

} // namespace romc
