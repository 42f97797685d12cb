#include "lists/session_list.h"

#include "files/user_config.h"
#include "files/utf8_path.h"
#include "lists/list_file.h"

namespace romc {

std::optional<std::filesystem::path> sessionListFile() {
    return userConfigFile(kSessionListFileName);
}

Refusal writeSessionList(const std::filesystem::path& file, const RomList& list, Disk* disk) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return fileFailure("make the folder", pathToUtf8(file.parent_path()), error);
    }
    return writeRomList(file, list, disk);
}

} // namespace romc
