// The save memory and the games' save files as outputs of a run: checked before anything is written, then
// written under temporary names through the run's transaction, so that they take their names with the
// other outputs or not at all.
#pragma once

#include "compile/output_transaction.h"
#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"
#include "saves/save_files.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

// What a save output may never replace: the work folder's template, image and pieces and the table's ROMs,
// with `alsoKept` (the dump being split, the lists of the run). `what` names the output ("the save
// memory", "the save file of \"TETRIS\""). A folder or device there is refused as well. This is the one
// rule of what the save outputs may replace.
Refusal refuseSaveOutput(const std::filesystem::path& output, std::string_view shown, std::string_view what,
                         const TableState& state, const std::filesystem::path& workDir,
                         std::span<const std::filesystem::path> alsoKept, Disk* disk = nullptr);

// The save memory built from the table's save files, with a warning for each save ROM that has none.
struct SaveMemoryPlan {
    std::vector<std::uint8_t> bytes; // the whole save memory
    std::vector<SaveRom> roms;
    std::vector<bool> found;           // per save ROM: its save file was there and went in
    std::vector<std::string> warnings; // a save ROM without a save file, whose bank stays empty
};

// Reads every save ROM's save file; one that cannot be used refuses the whole save memory, naming it: so
// does a save file that is the menu, the image, a piece, a ROM or one of `alsoKept` (the run's outputs).
Outcome<SaveMemoryPlan> planSaveMemory(const TableState& state, const std::filesystem::path& workDir,
                                       std::span<const std::filesystem::path> alsoKept = {},
                                       Disk* disk = nullptr);

// The save memory may replace only an earlier save memory (a file of its size), unless `force`; never a
// file `refuseSaveOutput` keeps, nor a save file it is built from.
Refusal checkSaveMemoryPath(const std::filesystem::path& path, std::string_view shown,
                            const TableState& state, const std::filesystem::path& workDir,
                            std::span<const std::filesystem::path> alsoKept, bool force,
                            Disk* disk = nullptr);

// Writes the save memory under a temporary name as one of `outputs`.
Refusal prepareSaveMemory(OutputTransaction& outputs, const std::filesystem::path& path,
                          const SaveMemoryPlan& plan);

// A save dump cut into the games' save files.
enum class SplitState { New, Same, Differs };
struct SplitFile {
    SaveRom rom;
    std::vector<std::uint8_t> bytes; // the game's bank, cut to what its header declares
    SplitState state = SplitState::New;
};
struct SplitPlan {
    std::vector<SplitFile> files;
};

// Cuts `dump` (already checked to be a whole save memory) into each save ROM's save file and compares each
// with the file there (a clock footer an emulator added is no difference). Refused, naming them, when two
// save ROMs share a save file, or an existing save file cannot be read or may not be replaced.
Outcome<SplitPlan> planSplit(std::span<const std::uint8_t> dump, const TableState& state,
                             const std::filesystem::path& workDir,
                             std::span<const std::filesystem::path> alsoKept, Disk* disk = nullptr);

// The save files that differ from what the dump holds: replaced only when the user says so.
std::vector<std::string> differingSaveFiles(const SplitPlan& plan);
Failure differingSavesRefused(const SplitPlan& plan);

// Writes each new or differing save file under a temporary name as one of `outputs`; files that would not
// change are left alone.
Refusal prepareSplit(OutputTransaction& outputs, const SplitPlan& plan);

// The split written at once, under the work folder's lock, all files or none.
Refusal writeSplit(const SplitPlan& plan, const std::filesystem::path& workDir, Disk* disk = nullptr);

// The save memory written at once to `path`, under the work folder's lock, whole or not at all.
Refusal writeSaveMemory(const std::filesystem::path& path, const SaveMemoryPlan& plan,
                        const std::filesystem::path& workDir, Disk* disk = nullptr);

// What a save ROM's save file is now, for the status line and the name's tooltip: "save: TETRIS.sav, 8 KiB",
// "no save file (TETRIS.sav)", or why it cannot be used.
std::string saveFileStatus(const SaveRom& rom, Disk* disk = nullptr);

// One line per save ROM: the file written, left alone or replaced.
std::vector<std::string> splitSummary(const SplitPlan& plan, bool dryRun);

} // namespace romc
