#include "saves/save_outputs.h"

#include "compile/output_policy.h"
#include "compile/recovery.h"
#include "files/same_file.h"
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "romtable/rom_file.h"
#include "saves/save_memory.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace romc {

namespace {

// The files no save output may take the place of, each with the words that say why.
// The files no save output may replace: the work folder's and the table's, and what this run reads or
// writes besides.
std::vector<KeptFile> keptFiles(const TableState& state, const fs::path& workDir,
                                std::span<const fs::path> alsoKept) {
    auto kept = romc::keptFiles(workDir, state.table);
    for (const auto& path : alsoKept) {
        kept.push_back({path, pathToUtf8(path.filename()), "a file this run reads or writes"});
    }
    return kept;
}

} // namespace

Refusal refuseSaveOutput(const fs::path& output, std::string_view shown, std::string_view what,
                         const TableState& state, const fs::path& workDir, std::span<const fs::path> alsoKept,
                         Disk* disk) {
    const std::string start = "Cannot write " + std::string(what) + " to " + inQuotes(shown) + ": ";
    std::error_code error;
    const auto status = fs::status(output, error);
    if (!error && fs::exists(status) && !fs::is_regular_file(status)) {
        return Failure{start + (fs::is_directory(status)
                                    ? "it is a folder"
                                    : "it is not a regular file (a device, pipe or socket)")};
    }
    for (const KeptFile& kept : keptFiles(state, workDir, alsoKept)) {
        if (sameFile(diskOr(disk), output, kept.path)) {
            return Failure{start + "it is " + kept.why + ", which no save output may replace"};
        }
    }
    return std::nullopt;
}

Outcome<SaveMemoryPlan> planSaveMemory(const TableState& state, const fs::path& workDir,
                                       std::span<const fs::path> alsoKept, Disk* disk) {
    SaveMemoryPlan plan;
    plan.roms = saveRomsOf(state, workDir, disk);
    std::vector<std::vector<std::uint8_t>> saves;
    std::vector<BankSave> banks;
    saves.reserve(plan.roms.size());
    const auto kept = keptFiles(state, workDir, alsoKept);
    for (const SaveRom& rom : plan.roms) {
        for (const KeptFile& file : kept) {
            if (sameFile(diskOr(disk), rom.savePath, file.path)) {
                return Failure{"Cannot use the save file " + inQuotes(rom.saveText) + " of " +
                               inQuotes(rom.name) + ": it is " + file.why + ", not a save file"};
            }
        }
        auto read = readSaveFile(rom, disk);
        if (!read.ok()) {
            return read.failure();
        }
        plan.found.push_back(read.value().has_value());
        if (!read.value()) {
            plan.warnings.push_back("save bank " + std::to_string(rom.bank) + " of " + inQuotes(rom.name) +
                                    " stays empty: its save file " + inQuotes(rom.saveText) +
                                    " is not there");
            continue;
        }
        saves.push_back(std::move(*read.value()));
        banks.push_back({rom.bank, saves.back()});
    }
    plan.bytes = buildSaveMemory(banks);
    return plan;
}

Refusal checkSaveMemoryPath(const fs::path& path, std::string_view shown, const TableState& state,
                            const fs::path& workDir, std::span<const fs::path> alsoKept, bool force,
                            Disk* disk) {
    std::vector<fs::path> kept(alsoKept.begin(), alsoKept.end());
    for (const SaveRom& rom : saveRomsOf(state, workDir, disk)) {
        kept.push_back(rom.savePath);
    }
    if (auto refusal = refuseSaveOutput(path, shown, "the save memory", state, workDir, kept, disk)) {
        return refusal;
    }
    std::error_code error;
    const auto bytes = fs::file_size(path, error);
    if (!error && bytes != kSaveMemoryBytes && !force) {
        return Failure{"Cannot write the save memory to " + inQuotes(shown) +
                       ": it would replace a file of " + std::to_string(bytes) +
                       " bytes, which is no save memory; give --force to replace it"};
    }
    return std::nullopt;
}

Refusal prepareSaveMemory(OutputTransaction& outputs, const fs::path& path, const SaveMemoryPlan& plan) {
    auto file = outputs.add(path);
    if (!file.ok()) {
        return file.failure();
    }
    return file.value()->writeAt(0, plan.bytes.data(), plan.bytes.size());
}

Outcome<SplitPlan> planSplit(std::span<const std::uint8_t> dump, const TableState& state,
                             const fs::path& workDir, std::span<const fs::path> alsoKept, Disk* disk) {
    SplitPlan plan;
    const auto roms = saveRomsOf(state, workDir, disk);
    for (std::size_t i = 0; i < roms.size(); ++i) {
        const SaveRom& rom = roms[i];
        for (std::size_t j = 0; j < i; ++j) {
            if (sameFile(diskOr(disk), rom.savePath, roms[j].savePath)) {
                return Failure{"Cannot split the save dump: " + inQuotes(rom.name) + " (row " +
                               std::to_string(rom.row + 1) + ") and " + inQuotes(roms[j].name) + " (row " +
                               std::to_string(roms[j].row + 1) + ") share the save file " +
                               inQuotes(rom.saveText) + "; name a save file for each"};
            }
        }
        if (auto refusal =
                refuseSaveOutput(rom.savePath, rom.saveText, "the save file of " + inQuotes(rom.name), state,
                                 workDir, alsoKept, disk)) {
            return *refusal;
        }
        SplitFile file{rom, {}, SplitState::New};
        const auto bank = bankSave(dump, rom.bank, rom.usedBytes);
        file.bytes.assign(bank.begin(), bank.end());
        const auto existing = readSaveFile(rom, disk);
        if (existing.ok() && existing.value()) {
            file.state = *existing.value() == file.bytes ? SplitState::Same : SplitState::Differs;
        } else if (!existing.ok()) {
            // Too long or unreadable: it is replaced only as a differing file is, when the user says so.
            std::error_code error;
            if (!fs::is_regular_file(rom.savePath, error)) {
                return existing.failure();
            }
            file.state = SplitState::Differs;
        }
        plan.files.push_back(std::move(file));
    }
    return plan;
}

std::vector<std::string> differingSaveFiles(const SplitPlan& plan) {
    std::vector<std::string> names;
    for (const SplitFile& file : plan.files) {
        if (file.state == SplitState::Differs) {
            names.push_back(file.rom.saveText);
        }
    }
    return names;
}

Failure differingSavesRefused(const SplitPlan& plan) {
    std::string text =
        "Cannot split the save dump: these save files hold other saves than the dump and would "
        "be replaced (give --force to replace them):";
    for (const SplitFile& file : plan.files) {
        if (file.state == SplitState::Differs) {
            text += "\n  " + inQuotes(file.rom.saveText) + " (" + inQuotes(file.rom.name) + ", save bank " +
                    std::to_string(file.rom.bank) + ")";
        }
    }
    return Failure{std::move(text)};
}

Refusal prepareSplit(OutputTransaction& outputs, const SplitPlan& plan) {
    for (const SplitFile& file : plan.files) {
        if (file.state == SplitState::Same) {
            continue;
        }
        auto pending = outputs.add(file.rom.savePath);
        if (!pending.ok()) {
            return pending.failure();
        }
        if (auto failure = pending.value()->writeAt(0, file.bytes.data(), file.bytes.size())) {
            return failure;
        }
    }
    return std::nullopt;
}

Refusal writeSplit(const SplitPlan& plan, const fs::path& workDir, Disk* disk) {
    // A run killed among its renames is completed first, as before a compilation.
    const auto lock = takeWorkFolder(diskOr(disk), workDir);
    if (!lock.ok()) {
        return lock.failure();
    }
    OutputTransaction outputs(diskOr(disk), workDir);
    if (auto failure = prepareSplit(outputs, plan)) {
        return failure;
    }
    return outputs.commit();
}

Refusal writeSaveMemory(const fs::path& path, const SaveMemoryPlan& plan, const fs::path& workDir,
                        Disk* disk) {
    // A run killed among its renames is completed first, as before a compilation.
    const auto lock = takeWorkFolder(diskOr(disk), workDir);
    if (!lock.ok()) {
        return lock.failure();
    }
    OutputTransaction outputs(diskOr(disk), workDir);
    if (auto failure = prepareSaveMemory(outputs, path, plan)) {
        return failure;
    }
    return outputs.commit();
}

std::string saveFileStatus(const SaveRom& rom, Disk* disk) {
    const auto read = readSaveFile(rom, disk);
    if (!read.ok()) {
        return read.failure().message;
    }
    if (!read.value()) {
        return "no save file (" + inQuotes(rom.saveText) + ")";
    }
    return "save: " + pathToUtf8(pathFromUtf8(rom.saveText).filename()) + ", " +
           saveSizeText(read.value()->size());
}

std::vector<std::string> splitSummary(const SplitPlan& plan, bool dryRun) {
    std::vector<std::string> lines;
    for (const SplitFile& file : plan.files) {
        std::string verb;
        switch (file.state) {
        case SplitState::New:
            verb = dryRun ? "would write " : "wrote ";
            break;
        case SplitState::Same:
            verb = "left alone (unchanged) ";
            break;
        case SplitState::Differs:
            verb = dryRun ? "would replace " : "replaced ";
            break;
        }
        lines.push_back("save bank " + std::to_string(file.rom.bank) + " of " + inQuotes(file.rom.name) +
                        ": " + verb + inQuotes(file.rom.saveText) + ", " + saveSizeText(file.bytes.size()));
    }
    return lines;
}

} // namespace romc
