// Where the tool keeps what the runs of one user share (the lists used lately): a folder "romcompiler" in
// the system's folder for a user's settings.
#pragma once

#include <filesystem>
#include <optional>

namespace romc {

inline constexpr const char* kUserConfigFolderName = "romcompiler";

// $XDG_CONFIG_HOME/romcompiler, else ~/.config/romcompiler; %APPDATA%\romcompiler on Windows. None when
// the environment names no such folder: nothing is kept between runs then.
std::optional<std::filesystem::path> userConfigFolder();

// A file of that folder ("recent-lists.json", "last-session.json", "settings.json"); none without the folder.
inline std::optional<std::filesystem::path> userConfigFile(const char* name) {
    auto folder = userConfigFolder();
    return folder ? std::optional(*folder / name) : std::nullopt;
}

} // namespace romc
