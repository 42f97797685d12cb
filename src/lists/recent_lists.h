// The lists used lately, kept between runs for the File menu: most recent first, each list once, at most
// kRecentListCount. Kept as JSON so that any file name survives, and written like a list (whole, under a
// temporary name), so that two windows closing at once leave one whole file.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <cstddef>
#include <filesystem>
#include <vector>

namespace romc {

inline constexpr std::size_t kRecentListCount = 5;
inline constexpr const char* kRecentListsFileName = "recent-lists.json";

// "recent-lists.json" in the user's settings folder; none where the system names no such folder.
std::optional<std::filesystem::path> recentListsFile();

// The lists kept in `file`. A missing, unreadable or broken file is no recent lists: they are a convenience,
// never a reason to refuse to start.
std::vector<std::filesystem::path> readRecentLists(const std::filesystem::path& file, Disk* disk = nullptr);

// `recent` with `list` in front (moved there when it was already kept), cut to kRecentListCount.
std::vector<std::filesystem::path> withListInFront(std::vector<std::filesystem::path> recent,
                                                   const std::filesystem::path& list);

// Writes `recent` to `file`, making its folder when missing.
Refusal writeRecentLists(const std::filesystem::path& file, const std::vector<std::filesystem::path>& recent,
                         Disk* disk = nullptr);

} // namespace romc
