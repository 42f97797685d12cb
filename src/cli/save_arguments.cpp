#include "cli/save_arguments.h"

#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "romtable/rom_file.h"
#include "saves/save_moves.h"

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace romc {

namespace {

// The run's other named files, which no save output may replace.
std::vector<fs::path> namedFilesOf(const CliArguments& cli) {
    std::vector<fs::path> named;
    for (const auto& rom : cli.roms) {
        if (rom.list) {
            named.push_back(fromWorkDir(cli, pathFromUtf8(rom.path)));
        }
    }
    for (const auto& file : {cli.writeList, cli.map, cli.splitSaves}) {
        if (file) {
            named.push_back(fromWorkDir(cli, *file));
        }
    }
    return named;
}

} // namespace

fs::path writeSavesPath(const CliArguments& cli) {
    return fromWorkDir(cli, *cli.writeSaves);
}

Outcome<SaveMemoryPlan> planWriteSaves(const CliArguments& cli, const TableState& state) {
    const auto named = namedFilesOf(cli);
    if (auto refusal = checkSaveMemoryPath(writeSavesPath(cli), pathToUtf8(*cli.writeSaves), state,
                                           cli.workDir, named, cli.force)) {
        return *refusal;
    }
    std::vector<fs::path> outputs = named;
    outputs.push_back(writeSavesPath(cli));
    return planSaveMemory(state, cli.workDir, outputs);
}

std::optional<std::string> saveMovesWarningFor(const CliArguments& cli, const TableState& state,
                                               const SaveMemoryPlan* saveMemory) {
    const auto moves = saveMoves(cli.workDir / kImageName, state, cli.workDir);
    bool savesFollow = saveMemory != nullptr;
    if (saveMemory) {
        for (const SaveMove& move : moves) {
            for (std::size_t i = 0; i < saveMemory->roms.size(); ++i) {
                if (saveMemory->roms[i].name == move.name && !saveMemory->found[i]) {
                    savesFollow = false;
                }
            }
        }
    }
    return saveMovesWarning(moves, savesFollow);
}

int splitSavesCommand(const CliArguments& cli, const TableState& state, std::ostream& out,
                      std::ostream& err) {
    constexpr int kRefused = 1;
    const auto fail = [&err](const Failure& failure) {
        err << "romcompiler-cli: " << failure.message << '\n';
        return kRefused;
    };
    const std::string dumpShown = pathToUtf8(*cli.splitSaves);
    const auto dump = readSaveDump(fromWorkDir(cli, *cli.splitSaves), dumpShown);
    if (!dump.ok()) {
        return fail(dump.failure());
    }
    const auto named = namedFilesOf(cli);
    const auto plan = planSplit(dump.value(), state, cli.workDir, named);
    if (!plan.ok()) {
        return fail(plan.failure());
    }
    if (!cli.force && !differingSaveFiles(plan.value()).empty()) {
        return fail(differingSavesRefused(plan.value()));
    }
    if (!cli.dryRun) {
        if (auto failure = writeSplit(plan.value(), cli.workDir)) {
            return fail(*failure);
        }
    }
    for (const auto& line : splitSummary(plan.value(), cli.dryRun)) {
        out << line << '\n';
    }
    if (plan.value().files.empty()) {
        err << "romcompiler-cli: warning: the table holds no save ROM; nothing is cut out of "
            << inQuotes(dumpShown) << '\n';
    }
    return 0;
}

} // namespace romc
