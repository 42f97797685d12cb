// The window's table kept between a crash and the next start: after every change the table is written as a
// ROM list to "last-session.json" in the user's settings folder, whole and renamed as lists are; a clean
// end removes it, so that a start which finds it knows the last session ended unexpectedly.
#pragma once

#include "files/disk.h"
#include "lists/rom_list.h"
#include "romtable/failure.h"

#include <filesystem>
#include <optional>

namespace romc {

inline constexpr const char* kSessionListFileName = "last-session.json";

// "last-session.json" in the user's settings folder; none where the system names no such folder.
std::optional<std::filesystem::path> sessionListFile();

// Writes `list` to `file`, making its folder when missing; the earlier file stays whole until the new one is.
Refusal writeSessionList(const std::filesystem::path& file, const RomList& list, Disk* disk = nullptr);

} // namespace romc
