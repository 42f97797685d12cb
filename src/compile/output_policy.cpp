#include "compile/output_policy.h"

#include "compile/output_transaction.h"
#include "files/same_file.h"
#include "files/work_folder.h"
#include "romtable/flash_units.h"
#include "romtable/rom_file.h"
#include "romtable/rom_source.h"

namespace romc {

namespace fs = std::filesystem;

std::vector<KeptFile> workFolderFiles(const fs::path& folder) {
    std::vector<KeptFile> kept{{folder / kMenuTemplateName, kMenuTemplateName, "the menu template"},
                               {folder / kImageName, kImageName, "the image"}};
    for (int k = 1; k <= kPieceCount; ++k) {
        kept.push_back({folder / pieceName(k), pieceName(k), "a piece of the image"});
    }
    return kept;
}

std::vector<KeptFile> keptFiles(const fs::path& workDir, const RomTable& table) {
    auto kept = workFolderFiles(workDir);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        // A member's archive is the file on disk that no output may replace.
        const std::string file = romSourceOf(table.text(row, Column::File)).file;
        kept.push_back(
            {resolveRomPath(workDir, file), file, "the ROM of " + inQuotes(table.text(row, Column::Name))});
    }
    return kept;
}

Refusal refuseKeptFile(Disk& disk, const fs::path& output, const std::vector<KeptFile>& kept,
                       std::string_view asked, std::string_view noun) {
    for (const auto& file : kept) {
        if (sameFile(disk, output, file.path)) {
            return Failure{std::string(asked) + " would replace " + inQuotes(file.shown) + "; give " +
                           std::string(noun) + " a name of its own"};
        }
    }
    return std::nullopt;
}

Refusal writeOutputFile(Disk& disk, const fs::path& path, std::string_view bytes) {
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    const auto lock = lockWorkFolder(disk, folder, LockNeed::UnlessUnwritable);
    if (!lock.ok()) {
        return lock.failure();
    }
    OutputTransaction outputs(disk, folder);
    auto file = outputs.add(path);
    if (!file.ok()) {
        return file.failure();
    }
    if (auto failure = file.value()->writeAt(0, bytes.data(), bytes.size())) {
        return failure;
    }
    return outputs.commit();
}

} // namespace romc
