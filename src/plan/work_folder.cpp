#include "plan/work_folder.h"

#include "compile/image.h"
#include "compile/menu_table.h"

#include <system_error>

namespace romc {

namespace {

// A folder of a piece's name is nobody's output: it is neither stale nor removed.
bool fileThere(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace

WorkFolder readWorkFolder(const std::filesystem::path& workDir) {
    WorkFolder folder;
    folder.path = workDir;
    std::error_code error;
    const auto menuBytes = std::filesystem::file_size(workDir / menu::kTemplateName, error);
    folder.menuBytes = error ? 0 : menuBytes;
    for (int k = 1; k <= kPieceCount; ++k) {
        folder.pieceThere[static_cast<std::size_t>(k - 1)] = fileThere(workDir / pieceName(k));
    }
    return folder;
}

std::vector<int> stalePieces(const WorkFolder& folder, std::uintmax_t imageBytes) {
    std::vector<int> stale;
    for (int k = piecesFor(imageBytes) + 1; k <= kPieceCount; ++k) {
        if (folder.pieceThere[static_cast<std::size_t>(k - 1)]) {
            stale.push_back(k);
        }
    }
    return stale;
}

std::vector<PieceRemoval> removeStalePieces(const std::filesystem::path& workDir) {
    std::error_code error;
    const auto imageBytes = std::filesystem::file_size(workDir / kImageName, error);
    if (error) {
        return {};
    }
    std::vector<PieceRemoval> removals;
    for (const int k : stalePieces(readWorkFolder(workDir), imageBytes)) {
        PieceRemoval removal{pieceName(k), std::nullopt};
        if (!std::filesystem::remove(workDir / removal.name, error) && error) {
            removal.failure = Failure{"Cannot remove \"" + removal.name + "\": " + error.message()};
        }
        removals.push_back(std::move(removal));
    }
    return removals;
}

} // namespace romc
