#include "files/user_config.h"

#include <cstdlib>
#include <string_view>

namespace romc {

std::optional<std::filesystem::path> userConfigFolder() {
    // The wide variable: a user name outside the ANSI code page survives.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || std::wstring_view(appData).empty()) {
        return std::nullopt;
    }
    std::filesystem::path folder(appData);
    if (!folder.is_absolute()) {
        return std::nullopt;
    }
    return folder / kUserConfigFolderName;
}

} // namespace romc
