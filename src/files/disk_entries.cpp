// The looks the seam takes at a folder's names: the same on every system, through std::filesystem.
#include "files/disk.h"

namespace romc {

namespace fs = std::filesystem;

DiskResult<EntryKind> Disk::entryAt(const fs::path& path) {
    std::error_code error;
    const auto status = fs::symlink_status(path, error);
    if (error && status.type() != fs::file_type::not_found) {
        return {EntryKind::None, error};
    }
    switch (status.type()) {
    case fs::file_type::not_found:
        return {EntryKind::None, {}};
    case fs::file_type::regular:
        return {EntryKind::File, {}};
    case fs::file_type::directory:
        return {EntryKind::Folder, {}};
    case fs::file_type::symlink:
        return {EntryKind::Link, {}};
    default:
        return {EntryKind::Other, {}};
    }
}

DiskResult<std::vector<fs::path>> Disk::folderNames(const fs::path& folder) {
    std::vector<fs::path> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename());
    }
    return {std::move(names), error};
}

} // namespace romc
