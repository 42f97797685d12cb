#include "files/user_config.h"

#include <cstdlib>
#include <string_view>

namespace romc {

namespace {

// A variable that is unset or empty names nothing; a relative one is ignored, as the XDG rules say, so
// that settings never depend on the folder the program was started in.
std::optional<std::filesystem::path> absoluteFolderIn(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || std::string_view(value).empty()) {
        return std::nullopt;
    }
    std::filesystem::path folder(value);
    if (!folder.is_absolute()) {
        return std::nullopt;
    }
    return folder;
}

} // namespace

std::optional<std::filesystem::path> userConfigFolder() {
    if (auto config = absoluteFolderIn("XDG_CONFIG_HOME")) {
        return *config / kUserConfigFolderName;
    }
    if (auto home = absoluteFolderIn("HOME")) {
        return *home / ".config" / kUserConfigFolderName;
    }
    return std::nullopt;
}

} // namespace romc
