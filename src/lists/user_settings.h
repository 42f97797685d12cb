// The user's choices that outlast a run ("Names from Cartridge Titles"), kept in "settings.json" in the
// settings folder. Read leniently (a missing, broken or foreign file is the defaults, a key of a later
// version is kept when written back) and written whole under a temporary name, so that two windows
// choosing at once leave one whole file.
#pragma once

#include "cartridge/rom_header.h"
#include "files/disk.h"
#include "romtable/failure.h"

#include <filesystem>
#include <optional>

namespace romc {

inline constexpr const char* kUserSettingsFileName = "settings.json";

struct UserSettings {
    NamesFrom namesFrom = NamesFrom::FileNames; // Find File, Add ROMs and drops
    bool operator==(const UserSettings&) const = default;
};

// "settings.json" in the user's settings folder; none where the system names no such folder.
std::optional<std::filesystem::path> userSettingsFile();

// The settings `file` holds; the defaults for what it does not hold, or holds in a form not understood.
UserSettings readUserSettings(const std::filesystem::path& file, Disk* disk = nullptr);

// Writes `settings` to `file`, making its folder when missing and keeping the keys it does not know.
Refusal writeUserSettings(const std::filesystem::path& file, const UserSettings& settings,
                          Disk* disk = nullptr);

} // namespace romc
