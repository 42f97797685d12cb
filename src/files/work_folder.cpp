#include "files/work_folder.h"

#include "romtable/flash_units.h"

#include <vector>

namespace romc {

std::string pieceName(int k) {
    return "Output" + std::to_string(k) + ".GB";
}

std::optional<std::string> workFolderFileOf(Disk& disk, const std::filesystem::path& workDir,
                                            const FileIdentity& identity) {
    std::vector<std::string> names{kMenuTemplateName, kImageName};
    for (int k = 1; k <= kPieceCount; ++k) {
        names.push_back(pieceName(k));
    }
    for (const auto& name : names) {
        const auto opened = disk.openForReading(workDir / name);
        if (opened.value && opened.value->identity() == identity) {
            return name;
        }
    }
    return std::nullopt;
}

} // namespace romc
