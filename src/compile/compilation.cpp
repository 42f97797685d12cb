#include "compile/compilation.h"

#include "archives/rom_source_file.h"
#include "compile/image.h"
#include "compile/menu_patch.h"
#include "compile/menu_table.h"
#include "compile/menu_template.h"
#include "compile/placement.h"
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "romtable/flash_units.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"

#include <vector>

namespace romc {

namespace {

// Only the outputs this image writes: a piece it does not reach is neither written nor in the way.
Refusal checkOutputNames(Disk& disk, const std::filesystem::path& workDir, int pieces) {
    for (int k = 0; k <= pieces; ++k) {
        const std::string name = k == 0 ? kImageName : pieceName(k);
        if (disk.entryAt(workDir / name).value == EntryKind::Folder) {
            return Failure{"Cannot write " + inQuotes(name) + ": a folder of that name is in the way"};
        }
    }
    return std::nullopt;
}

// A piece the new image does not reach is no longer an output of it: flashing it would write stale data.
// It goes with the compilation, removed once the new outputs are in place. A folder of that name is
// nobody's output.
void removeStalePieces(Disk& disk, const std::filesystem::path& workDir, int pieces,
                       OutputTransaction& outputs) {
    for (int k = pieces + 1; k <= kPieceCount; ++k) {
        const auto there = disk.entryAt(workDir / pieceName(k)).value;
        if (there != EntryKind::None && there != EntryKind::Folder) {
            outputs.removeWhenCommitted(pieceName(k));
        }
    }
}

// Every placed ROM, opened and checked to be a regular file still of the size its row records. The
// handles stay open: the bytes copied are those of the file checked. A member of an archive is unpacked
// again into memory and checked the same way: an archive changed since Add ROM is refused here.
Outcome<std::vector<ImageRom>> placedRoms(Disk& disk, const RomTable& table,
                                          const std::filesystem::path& workDir) {
    std::vector<ImageRom> roms;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto location = readNumberText(table.text(row, Column::Location));
        const auto blocks = readNumberText(table.text(row, Column::Size));
        if (!location || *location == 0 || !blocks) {
            continue; // no place in flash, nothing to copy (the menu table patch has vetted the numbers)
        }
        const std::string& shown = table.text(row, Column::File);
        auto sourced = openRomSource(disk, workDir, shown);
        if (!sourced.ok()) {
            return sourced.failure();
        }
        auto& opened = sourced.value().rom;
        const std::uintmax_t bytes = opened.bytes;
        if (sourced.value().pastLargestRom || wholeBlocks(bytes) != *blocks) {
            const std::string now = sourced.value().pastLargestRom
                                        ? "more than " + std::to_string(kMaxRomBlocks * kBlockSize)
                                        : std::to_string(bytes);
            return Failure{"Cannot compile: " + inQuotes(shown) + " was " + std::to_string(*blocks) +
                           " blocks when it was added and is now " + now + " bytes; add it again"};
        }
        if (const auto own = workFolderFileOf(disk, workDir, opened.file->identity())) {
            return Failure{"Cannot compile: the ROM " + inQuotes(shown) + " is the work folder's " +
                           inQuotes(*own) + ", not a game"};
        }
        roms.push_back(
            {std::move(opened.file), shown, static_cast<int>(*location), static_cast<int>(*blocks)});
    }
    return roms;
}

// The image and its pieces, then the patched template, under temporary names in that order: the order in
// which they are later put in place.
Refusal writeOutputs(const ImagePlan& plan, const MenuTemplate& menu, OutputTransaction& outputs,
                     const std::filesystem::path& workDir) {
    std::vector<PendingFile*> pieces;
    for (int k = 1; k <= piecesFor(imageLength(plan)); ++k) {
        auto piece = outputs.add(workDir / pieceName(k));
        if (!piece.ok()) {
            return piece.failure();
        }
        pieces.push_back(piece.value());
    }
    auto image = outputs.add(workDir / kImageName);
    if (!image.ok()) {
        return image.failure();
    }
    if (auto failure = writeImage(plan, *image.value(), pieces)) {
        return failure;
    }
    // The template on disk is the image's block 0 to the byte: both come from these bytes.
    auto patched = outputs.add(menu.file, menu.permissions);
    if (!patched.ok()) {
        return patched.failure();
    }
    return patched.value()->writeAt(0, plan.menu.data(), plan.menu.size());
}

} // namespace

Outcome<PreparedCompilation> prepareCompilation(const TableState& state, const CompileRequest& request) {
    Disk& disk = diskOr(request.disk);
    CompileNotes unwanted;
    CompileNotes& notes = request.notes != nullptr ? *request.notes : unwanted;
    if (state.table.rowCount() == 0) {
        return Failure{"There is nothing to compile: the table holds no ROMs"};
    }
    PreparedCompilation prepared;
    // A dry run writes nothing in the folder: it keeps clear of a compilation running there, but a folder
    // it may not write to (where no lock can be made) does not stop it.
    auto lock =
        lockWorkFolder(disk, request.workDir, request.dryRun ? LockNeed::UnlessUnwritable : LockNeed::Always);
    if (!lock.ok()) {
        return lock.failure();
    }
    prepared.lock = std::move(lock.value());
    if (!request.dryRun) {
        notes.recovery = recoverWorkFolder(disk, request.workDir);
        if (notes.recovery.refusal) {
            return *notes.recovery.refusal;
        }
    }
    // Place on a copy: the table and block map change only when the whole compilation succeeds. The ROMs
    // without save memory that an earlier compilation placed are placed anew, in today's table order.
    prepared.compiled = state;
    giveBackPlaces(prepared.compiled.table, prepared.compiled.blocks);
    if (auto failure = placeRoms(prepared.compiled.table, prepared.compiled.blocks)) {
        return *failure;
    }
    const auto patch = patchMenuTable(prepared.compiled.table, state.romCountText, state.pagesText);
    if (!patch.ok()) {
        return patch.failure();
    }
    auto menu = readMenuTemplate(disk, request.workDir);
    if (!menu.ok()) {
        return menu.failure();
    }
    notes.templateWarnings = menuTemplateWarnings(menu.value().bytes);
    auto roms = placedRoms(disk, prepared.compiled.table, request.workDir);
    if (!roms.ok()) {
        return roms.failure();
    }
    ImagePlan plan{menu.value().bytes, std::move(roms.value()), prepared.compiled.blocks};
    applyMenuPatch(plan.menu, patch.value());
    prepared.imageBytes = imageLength(plan);
    prepared.pieces = piecesFor(prepared.imageBytes);
    if (auto failure = checkOutputNames(disk, request.workDir, prepared.pieces)) {
        return *failure;
    }
    prepared.outputs = std::make_unique<OutputTransaction>(disk, request.workDir);
    if (!request.dryRun) {
        if (auto failure = writeOutputs(plan, menu.value(), *prepared.outputs, request.workDir)) {
            return *failure;
        }
        removeStalePieces(disk, request.workDir, prepared.pieces, *prepared.outputs);
    }
    return prepared;
}

Refusal commitCompilation(PreparedCompilation& prepared, TableState& state) {
    if (auto failure = prepared.outputs->commit()) {
        return failure;
    }
    state.table = prepared.compiled.table;
    state.blocks = prepared.compiled.blocks;
    return std::nullopt;
}

Refusal generateCompilation(TableState& state, const CompileRequest& request) {
    auto prepared = prepareCompilation(state, request);
    if (!prepared.ok()) {
        return prepared.failure();
    }
    return commitCompilation(prepared.value(), state);
}

} // namespace romc
