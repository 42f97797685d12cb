#include "compile/compilation.h"

#include "compile/image.h"
#include "compile/menu_patch.h"
#include "compile/menu_table.h"
#include "compile/pending_file.h"
#include "compile/placement.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace romc {

namespace {

const std::string kMenuShown = std::string("\"") + menu::kTemplateName + "\"";

// The template must be there, be a file, and open for reading and writing; its bytes are read whole.
Outcome<std::vector<std::uint8_t>> readMenuTemplate(const std::filesystem::path& workDir) {
    const auto path = workDir / menu::kTemplateName;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is missing from " +
                       workDir.string()};
    }
    if (!std::filesystem::is_regular_file(status)) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is not a regular file"};
    }
    const auto bytes = std::filesystem::file_size(path, error);
    if (error || bytes > kFlashSize) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is " +
                       (error ? "unreadable: " + error.message()
                              : std::to_string(bytes) + " bytes, larger than the whole flash")};
    }
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        return Failure{"Cannot open " + kMenuShown + " for reading and writing: " + systemReason(errno)};
    }
    std::vector<std::uint8_t> menuBytes(static_cast<std::size_t>(bytes));
    const bool read = std::fread(menuBytes.data(), 1, menuBytes.size(), file) == menuBytes.size();
    std::fclose(file);
    if (!read) {
        return Failure{"Cannot read " + kMenuShown + ": " + systemReason(errno != 0 ? errno : EIO)};
    }
    return menuBytes;
}

// Only the outputs this image writes: a piece it does not reach is neither written nor in the way.
Refusal checkOutputNames(const std::filesystem::path& workDir, int pieces) {
    for (int k = 0; k <= pieces; ++k) {
        const std::string name = k == 0 ? kImageName : pieceName(k);
        std::error_code error;
        if (std::filesystem::is_directory(std::filesystem::symlink_status(workDir / name, error))) {
            return Failure{"Cannot write \"" + name + "\": a folder of that name is in the way"};
        }
    }
    return std::nullopt;
}

// Every placed ROM, checked to be readable and still of the size its row records.
Outcome<std::vector<ImageRom>> placedRoms(const RomTable& table, const std::filesystem::path& workDir) {
    std::vector<ImageRom> roms;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto location = readNumberText(table.text(row, Column::Location));
        const auto blocks = readNumberText(table.text(row, Column::Size));
        if (!location || *location == 0 || !blocks) {
            continue; // no place in flash, nothing to copy (the menu table patch has vetted the numbers)
        }
        const std::string& shown = table.text(row, Column::File);
        ImageRom rom{resolveRomPath(workDir, shown), shown, static_cast<int>(*location),
                     static_cast<int>(*blocks)};
        const auto length = measureRomFile(rom.path, shown);
        if (!length.ok()) {
            return length.failure();
        }
        if (wholeBlocks(length.value()) != rom.blocks) {
            return Failure{"Cannot compile: \"" + shown + "\" was " + std::to_string(rom.blocks) +
                           " blocks when it was added and is now " + std::to_string(length.value()) +
                           " bytes; add it again"};
        }
        roms.push_back(std::move(rom));
    }
    return roms;
}

Refusal writeOutputs(const ImagePlan& plan, const MenuPatch& patch, const std::filesystem::path& workDir) {
    auto image = PendingFile::create(workDir / kImageName);
    if (!image.ok()) {
        return image.failure();
    }
    std::vector<std::unique_ptr<PendingFile>> pieces;
    std::vector<PendingFile*> pieceFiles;
    for (int k = 1; k <= piecesFor(imageLength(plan)); ++k) {
        auto piece = PendingFile::create(workDir / pieceName(k));
        if (!piece.ok()) {
            return piece.failure();
        }
        pieceFiles.push_back(piece.value().get());
        pieces.push_back(std::move(piece.value()));
    }
    if (auto failure = writeImage(plan, *image.value(), pieceFiles)) {
        return failure;
    }
    for (PendingFile* file : pieceFiles) {
        if (auto failure = file->finish()) {
            return failure;
        }
    }
    if (auto failure = image.value()->finish()) {
        return failure;
    }
    // The menu keeps its patch on disk, as each compilation leaves it; it is written only once every
    // output is complete, and the outputs take their names last.
    if (auto failure = writeMenuPatch(workDir / menu::kTemplateName, patch)) {
        return failure;
    }
    if (auto failure = image.value()->commit()) {
        return failure;
    }
    for (auto& piece : pieces) {
        if (auto failure = piece->commit()) {
            return failure;
        }
    }
    return std::nullopt;
}

} // namespace

Refusal generateCompilation(TableState& state, const CompileRequest& request) {
    if (state.table.rowCount() == 0) {
        return Failure{"There is nothing to compile: the table holds no ROMs"};
    }
    // Place on copies: the table and block map change only when the whole compilation succeeds. The ROMs
    // without save memory that an earlier compilation placed are placed anew, in today's table order.
    RomTable table = state.table;
    BlockMap blocks = state.blocks;
    giveBackPlaces(table, blocks);
    if (auto failure = placeRoms(table, blocks)) {
        return failure;
    }
    const auto patch = patchMenuTable(table, state.romCountText, state.pagesText);
    if (!patch.ok()) {
        return patch.failure();
    }
    auto menuBytes = readMenuTemplate(request.workDir);
    if (!menuBytes.ok()) {
        return menuBytes.failure();
    }
    auto roms = placedRoms(table, request.workDir);
    if (!roms.ok()) {
        return roms.failure();
    }
    ImagePlan plan{std::move(menuBytes.value()), std::move(roms.value()), blocks};
    applyMenuPatch(plan.menu, patch.value());
    if (auto failure = checkOutputNames(request.workDir, piecesFor(imageLength(plan)))) {
        return failure;
    }
    if (!request.dryRun) {
        if (auto failure = writeOutputs(plan, patch.value(), request.workDir)) {
            return failure;
        }
    }
    state.table = std::move(table);
    state.blocks = blocks;
    return std::nullopt;
}

} // namespace romc
