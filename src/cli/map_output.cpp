#include "cli/map_output.h"

#include "compile/image.h"
#include "compile/menu_table.h"
#include "compile/output_policy.h"
#include "files/same_file.h"
#include "files/utf8_path.h"
#include "plan/flash_map_svg.h"

#include <vector>

namespace romc {

namespace fs = std::filesystem;

fs::path mapPath(const CliArguments& cli) {
    return fromWorkDir(cli, *cli.map);
}

Refusal checkMapName(const CliArguments& cli) {
    auto kept = workFolderFiles(cli.workDir);
    for (const auto& rom : cli.roms) {
        const fs::path path = fromWorkDir(cli, rom.path);
        kept.push_back({path, pathToUtf8(path.filename()), "a ROM of the command line"});
    }
    if (cli.inspect) {
        const fs::path image = fromWorkDir(cli, *cli.inspect);
        kept.push_back({image, pathToUtf8(image.filename()), "the image inspected"});
        const auto beside = workFolderFiles(image.parent_path());
        kept.insert(kept.end(), beside.begin(), beside.end());
    }
    return refuseKeptFile(systemDisk(), mapPath(cli), kept, "--map " + inQuotes(pathToUtf8(*cli.map)),
                          "the map");
}

Refusal checkMapReplaceable(const CliArguments& cli) {
    const auto path = mapPath(cli);
    if (cli.force || systemDisk().entryAt(path).value == EntryKind::None) {
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
