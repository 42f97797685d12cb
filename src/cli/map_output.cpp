#include "cli/map_output.h"

#include "compile/image.h"
#include "compile/menu_table.h"
#include "files/same_file.h"
#include "files/utf8_path.h"
#include "plan/flash_map_svg.h"

#include <vector>

namespace romc {

namespace {

namespace fs = std::filesystem;

fs::path fromWorkDir(const CliArguments& cli, const fs::path& path) {
    return path.is_absolute() ? path : cli.workDir / path;
}

// The menu, the image and its pieces in `folder`.
void addOutputsOf(const fs::path& folder, std::vector<fs::path>& kept) {
    kept.push_back(folder / menu::kTemplateName);
    kept.push_back(folder / kImageName);
    for (int k = 1; k <= kPieceCount; ++k) {
        kept.push_back(folder / pieceName(k));
    }
}

} // namespace

fs::path mapPath(const CliArguments& cli) {
    return fromWorkDir(cli, *cli.map);
}

Refusal checkMapName(const CliArguments& cli) {
    std::vector<fs::path> kept;
    addOutputsOf(cli.workDir, kept);
    for (const auto& rom : cli.roms) {
        kept.push_back(fromWorkDir(cli, rom.path));
    }
    if (cli.inspect) {
        const fs::path image = fromWorkDir(cli, *cli.inspect);
        kept.push_back(image);
        addOutputsOf(image.parent_path(), kept);
    }
    const auto map = mapPath(cli);
    for (const auto& path : kept) {
        if (sameFile(systemDisk(), map, path)) {
            return Failure{"--map " + inQuotes(pathToUtf8(*cli.map)) + " would replace " +
                           inQuotes(pathToUtf8(path.filename())) + "; give the map a name of its own"};
        }
    }
    return std::nullopt;
}

Refusal checkMapReplaceable(const CliArguments& cli) {
    const auto path = mapPath(cli);
    std::error_code error;
    if (cli.force || !fs::exists(fs::symlink_status(path, error))) {
        return std::nullopt;
    }
    if (!isFlashMapFile(systemDisk(), path)) {
        return Failure{"--map " + inQuotes(pathToUtf8(*cli.map)) +
                       " would replace a file that is not a flash map; give --force to replace it"};
    }
    return std::nullopt;
}

Refusal prepareMap(const fs::path& path, const FlashPlan& plan, OutputTransaction& outputs) {
    auto map = outputs.add(path);
    if (!map.ok()) {
        return map.failure();
    }
    const std::string svg = flashMapSvg(plan);
    return map.value()->writeAt(0, svg.data(), svg.size());
}

} // namespace romc
