// romcompiler-cli: adds ROMs as the window's user would and generates the compilation.
#include "cartridge/rom_header.h"
#include "cli/cli_args.h"
#include "cli/flash_map_svg.h"
#include "cli/flash_plan.h"
#include "cli/inspect_command.h"
#include "cli/placement_report.h"
#include "cli/table_text.h"
#include "compile/compilation.h"
#include "compile/image.h"
#include "compile/menu_table.h"
#include "compile/pending_file.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "romtable/table_state.h"
#include "version.h"

#include <csignal>
#include <iostream>
#include <memory>

namespace {

constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

int fail(const romc::Failure& failure, int status) {
    std::cerr << "romcompiler-cli: " << failure.message << '\n';
    if (status == kExitUsage) {
        std::cerr << romc::kCliUsage;
    }
    return status;
}

std::filesystem::path fromWorkDir(const romc::CliArguments& cli, const std::filesystem::path& path) {
    return path.is_absolute() ? path : cli.workDir / path;
}

// The map is drawn beside the outputs, so a name that would replace the menu, an output or a ROM is a
// usage error rather than a lost file.
romc::Refusal checkMapName(const romc::CliArguments& cli) {
    std::vector<std::filesystem::path> kept{cli.workDir / romc::menu::kTemplateName,
                                            cli.workDir / romc::kImageName};
    for (int k = 1; k <= romc::kPieceCount; ++k) {
        kept.push_back(cli.workDir / romc::pieceName(k));
    }
    for (const auto& rom : cli.roms) {
        kept.push_back(fromWorkDir(cli, rom.path));
    }
    std::error_code error;
    const auto map = std::filesystem::weakly_canonical(fromWorkDir(cli, *cli.map), error);
    for (const auto& path : kept) {
        std::error_code keptError;
        if (!error && map == std::filesystem::weakly_canonical(path, keptError) && !keptError) {
            return romc::Failure{"--map " + cli.map->string() + " would replace \"" +
                                 path.filename().string() + "\"; give the map a name of its own"};
        }
    }
    return std::nullopt;
}

// Warnings about the header of the ROM just added: they name the ROM and never stop the run.
void warnAboutHeader(const romc::TableState& state, const std::filesystem::path& workDir) {
    const std::size_t row = state.table.rowCount() - 1;
    const auto findings = romc::checkTableRow(state.table, row, workDir);
    for (const auto& warning : findings.warnings) {
        std::cerr << "romcompiler-cli: warning: \"" << state.table.text(row, romc::Column::File) << "\" ("
                  << state.table.text(row, romc::Column::Name) << "): " << warning << '\n';
    }
}

std::uintmax_t menuTemplateBytes(const std::filesystem::path& workDir) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(workDir / romc::menu::kTemplateName, error);
    return error ? 0 : bytes;
}

void printReport(const romc::TableState& state, const romc::CliArguments& cli, romc::ReportOutcome outcome) {
    const auto plan = romc::planFlash(state);
    const auto usage = romc::flashUsage(plan, menuTemplateBytes(cli.workDir));
    std::cout << romc::placementReport(plan, usage, outcome);
}

} // namespace

int main(int argc, char** argv) {
    // Past a file-size limit the system would kill the tool mid-write; ignoring the signal turns it into
    // a write error that is reported and cleaned up like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto arguments = romc::parseCliArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments.ok()) {
        return fail(arguments.failure(), kExitUsage);
    }
    const romc::CliArguments& cli = arguments.value();
    if (cli.help) {
        std::cout << romc::kCliUsage;
        return 0;
    }
    if (cli.version) {
        std::cout << "romcompiler-cli " << romc::kVersion << '\n';
        return 0;
    }
    if (cli.inspect) {
        return romc::inspectCommand(fromWorkDir(cli, *cli.inspect), cli.quiet, std::cout, std::cerr);
    }
    if (cli.map) {
        if (auto failure = checkMapName(cli)) {
            return fail(*failure, kExitUsage);
        }
    }

    romc::TableState state;
    for (const auto& rom : cli.roms) {
        const std::string name = rom.name ? *rom.name : romc::proposeRomName(rom.path);
        bool saveBox = romc::saveBoxAllowed(state, rom.save);
        if (auto refusal = romc::addRom(state, {name, rom.path, cli.workDir}, saveBox)) {
            return fail(*refusal, kExitRefused);
        }
        if (!cli.quiet) {
            warnAboutHeader(state, cli.workDir);
        }
    }

    // The map's file is made before the compilation, so a map that cannot be written stops the run before
    // anything else is; it takes its name only once the compilation has succeeded.
    std::unique_ptr<romc::PendingFile> map;
    if (cli.map) {
        auto created = romc::PendingFile::create(fromWorkDir(cli, *cli.map));
        if (!created.ok()) {
            return fail(created.failure(), kExitRefused);
        }
        map = std::move(created.value());
    }

    if (auto failure = romc::generateCompilation(state, {cli.workDir, cli.dryRun})) {
        if (cli.report) {
            printReport(state, cli, {romc::ReportMode::Refused, {}, failure->message});
        }
        return fail(*failure, kExitRefused);
    }
    std::cout << romc::tableText(state.table);
    if (cli.report) {
        printReport(
            state, cli,
            cli.dryRun ? romc::ReportOutcome{romc::ReportMode::DryRun, {}, {}}
                       : romc::ReportOutcome{romc::ReportMode::Written, romc::writtenFiles(cli.workDir), {}});
    }
    if (map) {
        const std::string svg = romc::flashMapSvg(romc::planFlash(state));
        romc::Refusal failure = map->writeAt(0, svg.data(), svg.size());
        if (!failure) {
            failure = map->finish();
        }
        if (!failure) {
            failure = map->commit();
        }
        if (failure) {
            return fail({failure->message + (cli.dryRun ? "" : " (the compilation itself was written)")},
                        kExitRefused);
        }
    }
    return 0;
}
