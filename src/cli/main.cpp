// romcompiler-cli: adds ROMs as the window's user would and generates the compilation.
#include "archives/rom_source_file.h"
#include "cartridge/rom_header.h"
#include "cli/cli_args.h"
#include "cli/inspect_command.h"
#include "cli/list_arguments.h"
#include "cli/map_output.h"
#include "cli/piece_crc.h"
#include "cli/save_arguments.h"
#include "cli/table_text.h"
#include "compile/compilation.h"
#include "compile/image.h"
#include "compile/menu_table.h"
#include "compile/pending_file.h"
#include "files/console.h"
#include "files/interruption.h"
#include "files/utf8_path.h"
#include "plan/flash_plan.h"
#include "plan/placement_report.h"
#include "plan/work_folder.h"
#include "romtable/add_rom.h"
#include "romtable/rom_file.h"
#include "romtable/rom_name.h"
#include "romtable/save_banks.h"
#include "romtable/table_state.h"
#include "version.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
// Refused, but only after the work of an interrupted compilation in the folder was completed: files there
// did change, and a script that takes 1 for "nothing changed" must not be told otherwise.
constexpr int kExitRefusedAfterRecovery = 3;

int fail(const romc::Failure& failure, int status) {
    std::cerr << "romcompiler-cli: " << failure.message << '\n';
    if (status == kExitUsage) {
        std::cerr << romc::kCliUsage;
    }
    return status;
}

// Writes to stdout and makes sure it arrived: a full disk or a closed pipe is a failure, as for any tool.
bool printed(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) {
        return true;
    }
    const int error = errno != 0 ? errno : EIO;
    std::cerr << "romcompiler-cli: Cannot write to standard output: " << romc::systemReason(error)
              << "; nothing was changed\n";
    return false;
}

// Warnings about the header of a ROM just added: they name the ROM and never stop the run.
// With --quiet only the warning that saves will be lost: the rest is about the file, this is about the
// player's saves.
void warnAboutHeader(const romc::TableState& state, const std::filesystem::path& workDir, std::size_t row,
                     bool quiet) {
    auto findings = romc::checkTableRow(state.table, row, workDir);
    if (quiet) {
        findings.warnings.clear();
        if (findings.savesLost) {
            findings.warnings.push_back(*findings.savesLost);
        }
    }
    for (const auto& warning : findings.warnings) {
        std::cerr << "romcompiler-cli: warning: \"" << state.table.text(row, romc::Column::File) << "\" ("
                  << state.table.text(row, romc::Column::Name) << "): " << warning << '\n';
    }
}

std::string reportText(const romc::TableState& state, const romc::CliArguments& cli,
                       const romc::ReportOutcome& outcome) {
    return romc::placementReport(romc::planFlash(state, romc::readWorkFolder(cli.workDir)), outcome);
}

// The menu's ROM count is one byte: a ROM beyond the last row it can list is refused before anything is
// written, naming the argument that went past it.
romc::Failure tooManyRoms(const std::string& argument) {
    return {"Cannot add " + romc::inQuotes(argument) + ": the menu lists at most " +
            std::to_string(romc::kMaxMenuRows) + " ROMs"};
}

void warnAboutRemovedPieces(const romc::OutputTransaction& outputs) {
    for (const auto& name : outputs.removed()) {
        std::cerr << "romcompiler-cli: warning: removed " << romc::inQuotes(name)
                  << ", left from an earlier, larger compilation: the image ends before it\n";
    }
    for (const auto& failure : outputs.warnings()) {
        std::cerr << "romcompiler-cli: warning: " << failure
                  << "; it is left from an earlier, larger compilation: do not flash it\n";
    }
}

// Everything the run prints on stdout, made before any output takes its name.
std::string printout(const romc::CliArguments& cli, const romc::PreparedCompilation& prepared) {
    std::string text = romc::tableText(prepared.compiled.table);
    if (cli.report) {
        text += reportText(
            prepared.compiled, cli,
            cli.dryRun
                ? romc::ReportOutcome{romc::ReportMode::DryRun, {}, {}}
                : romc::ReportOutcome{romc::ReportMode::Written, romc::writtenFiles(*prepared.outputs), {}});
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    romc::endRunsCleanlyOnInterrupt();
    romc::reportFileSizeLimitAsWriteError();
    romc::useBinaryStandardStreams();
    const auto arguments = romc::parseCliArguments(romc::commandLineArguments(argc, argv));
    if (!arguments.ok()) {
        return fail(arguments.failure(), kExitUsage);
    }
    const romc::CliArguments& cli = arguments.value();
    if (cli.help || cli.version) {
        const std::string text =
            cli.help ? std::string(romc::kCliUsage) : std::string("romcompiler-cli ") + romc::kVersion + "\n";
        return printed(text) ? 0 : kExitRefused;
    }
    if (cli.map) {
        if (auto failure = romc::checkMapName(cli)) {
            return fail(*failure, kExitUsage);
        }
        if (auto failure = romc::checkMapReplaceable(cli)) {
            return fail(*failure, kExitRefused);
        }
    }
    if (cli.inspect) {
        romc::InspectOptions options{cli.quiet, std::nullopt, {}, cli.force, cli.report, std::nullopt};
        if (cli.extract) {
            options.extractTo = romc::fromWorkDir(cli, *cli.extract);
            options.extractShown = romc::pathToUtf8(*cli.extract);
        }
        if (cli.map) {
            options.map = romc::mapPath(cli);
        }
        if (cli.splitSaves) {
            options.splitSaves = romc::fromWorkDir(cli, *cli.splitSaves);
            options.splitSavesShown = romc::pathToUtf8(*cli.splitSaves);
        }
        return romc::inspectCommand(romc::fromWorkDir(cli, *cli.inspect), options, std::cout, std::cerr);
    }

    romc::TableState state;
    for (const auto& rom : cli.roms) {
        const std::size_t firstNewRow = state.table.rowCount();
        if (rom.list) {
            const auto warnings = romc::addListArgument(state, cli, rom.path);
            if (!warnings.ok()) {
                return fail(warnings.failure(), kExitRefused);
            }
            for (const auto& warning : warnings.value()) {
                std::cerr << "romcompiler-cli: warning: " << warning << '\n';
            }
        } else {
            if (state.table.rowCount() >= romc::kMaxMenuRows) {
                return fail(tooManyRoms(rom.path), kExitRefused);
            }
            // An archive named alone that holds one ROM proposes that ROM's name, as Find File does.
            const std::string source = romc::explicitRomSource(romc::systemDisk(), cli.workDir, rom.path);
            const std::string name =
                rom.name ? *rom.name
                         : romc::proposeMenuName(source, cli.workDir,
                                                 cli.namesFromHeader ? romc::NamesFrom::CartridgeTitles
                                                                     : romc::NamesFrom::FileNames);
            bool saveBox = romc::saveBoxAllowed(state, rom.save);
            const bool noBankLeft = state.nextSaveBank >= romc::kNoSaveBankLeft;
            romc::AddRomInput input{name, source, cli.workDir};
            input.wish.saveFile = rom.sav.value_or("");
            if (auto refusal = romc::addRom(state, input, saveBox)) {
                return fail(*refusal, kExitRefused);
            }
            // Even with --quiet: the user asked for save memory by name and does not get it.
            const std::size_t added = state.table.rowCount() - 1;
            if (rom.save && state.table.text(added, romc::Column::SaveFlag) != romc::kSaveFlagYes) {
                std::cerr << "romcompiler-cli: warning: " << romc::inQuotes(source)
                          << " is added without save memory although --save asks for it: "
                          << (noBankLeft ? "all " + std::to_string(romc::kSaveBanks) + " save banks are taken"
                                         : "a " + std::to_string(romc::kMaxRomBlocks) +
                                               "-block ROM never gets save memory")
                          << '\n';
            }
        }
        if (state.table.rowCount() > romc::kMaxMenuRows) {
            return fail(tooManyRoms(rom.path), kExitRefused);
        }
        for (std::size_t row = firstNewRow; row < state.table.rowCount(); ++row) {
            warnAboutHeader(state, cli.workDir, row, cli.quiet);
        }
    }

    if (cli.compactBanks) {
        if (auto failure = romc::compactSaveBanks(state)) {
            return fail(*failure, kExitRefused);
        }
    }
    if (cli.splitSaves) {
        return romc::splitSavesCommand(cli, state, std::cout, std::cerr);
    }
    if (cli.writeList) {
        if (auto failure = romc::checkWriteListName(cli, state)) {
            return fail(*failure, kExitUsage);
        }
    }
    // The save memory is read and checked before anything is written; it goes out with the compilation.
    std::optional<romc::SaveMemoryPlan> saveMemory;
    if (cli.writeSaves) {
        auto planned = romc::planWriteSaves(cli, state);
        if (!planned.ok()) {
            return fail(planned.failure(), kExitRefused);
        }
        saveMemory = std::move(planned.value());
        for (const auto& warning : saveMemory->warnings) {
            std::cerr << "romcompiler-cli: warning: " << warning << '\n';
        }
    }
    romc::CompileNotes notes;
    auto prepared = romc::prepareCompilation(state, {cli.workDir, cli.dryRun, nullptr, &notes});
    // What was found of an interrupted run comes first: it changed files whatever happens next.
    for (const auto& note : notes.recovery.notes) {
        std::cerr << "romcompiler-cli: note: " << note << '\n';
    }
    for (const auto& warning : notes.templateWarnings) {
        std::cerr << "romcompiler-cli: warning: " << warning << '\n';
    }
    const int refused = notes.recovery.changed ? kExitRefusedAfterRecovery : kExitRefused;
    if (!prepared.ok()) {
        if (cli.report) {
            printed(reportText(state, cli, {romc::ReportMode::Refused, {}, prepared.failure().message}));
        }
        return fail(prepared.failure(), refused);
    }
    // Said before the image is replaced: after flashing, these games would read other saves or none.
    if (const auto moved =
            romc::saveMovesWarningFor(cli, prepared.value().compiled, saveMemory ? &*saveMemory : nullptr)) {
        std::cerr << "romcompiler-cli: warning: " << *moved << '\n';
    }
    if (cli.map) {
        const auto plan = romc::planFlash(prepared.value().compiled, romc::readWorkFolder(cli.workDir));
        if (auto failure = romc::prepareMap(romc::mapPath(cli), plan, *prepared.value().outputs)) {
            return fail(*failure, refused);
        }
    }
    // The list is one more output: it takes its name with the compilation, or not at all.
    if (cli.writeList) {
        if (auto failure =
                romc::prepareWriteList(cli, prepared.value().compiled, *prepared.value().outputs)) {
            return fail(*failure, refused);
        }
    }
    if (saveMemory && !cli.dryRun) {
        if (auto failure =
                romc::prepareSaveMemory(*prepared.value().outputs, romc::writeSavesPath(cli), *saveMemory)) {
            return fail(*failure, refused);
        }
    }
    // The printout goes out before the outputs take their names: when it cannot be written, nothing is
    // changed, and exit status 1 keeps its meaning.
    if (!printed(printout(cli, prepared.value()))) {
        return refused;
    }
    if (auto failure = romc::commitCompilation(prepared.value(), state)) {
        return fail(*failure, refused);
    }
    warnAboutRemovedPieces(*prepared.value().outputs);
    return 0;
}
