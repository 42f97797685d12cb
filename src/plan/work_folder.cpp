#include "plan/work_folder.h"

#include "compile/image.h"
#include "compile/menu_table.h"
#include "compile/output_transaction.h"

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

std::vector<PieceRemoval> removeStalePieces(Disk& disk, const std::filesystem::path& workDir) {
    const auto lock = lockWorkFolder(disk, workDir);
    if (!lock.ok()) {
        return {{kImageName, lock.failure()}};
    }
    const auto image = disk.openForReading(workDir / kImageName);
    if (!image.value || image.value->kind() != FileKind::Regular) {
        return {};
    }
    std::vector<PieceRemoval> removals;
    for (const int k : stalePieces(readWorkFolder(workDir), image.value->size())) {
        PieceRemoval removal{pieceName(k), std::nullopt};
        if (auto error = disk.remove(workDir / removal.name)) {
            removal.failure = fileFailure("remove", removal.name, error);
        }
        removals.push_back(std::move(removal));
    }
    disk.syncFolder(workDir);
    return removals;
}

} // namespace romc
