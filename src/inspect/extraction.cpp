#include "inspect/extraction.h"

#include "compile/image.h"
#include "compile/output_policy.h"
#include "compile/output_transaction.h"
#include "compile/recovery.h"
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "lists/list_file.h"
#include "romtable/flash_units.h"
#include "saves/save_files.h"
#include "saves/save_memory.h"
#include "saves/save_size.h"

#include <algorithm>
#include <system_error>

namespace romc {

namespace fs = std::filesystem;

namespace {

// A ROM must never take the name of the image it came from or of a work folder's own files: a rebuild in
// that folder would refuse it as a game, and replacing it would lose the image.
std::vector<std::string> reservedNames(const ImageFile& image) {
    std::vector<std::string> names;
    for (const auto& kept : workFolderFiles({})) {
        names.push_back(kept.shown);
    }
    for (const auto& part : image.parts()) {
        names.push_back(pathToUtf8(part.path.filename()));
    }
    return names;
}

Refusal makeFolder(const fs::path& folder) {
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (fs::is_directory(status)) {
        return std::nullopt;
    }
    if (fs::exists(status)) {
        return Failure{"Cannot extract into " + inQuotes(pathToUtf8(folder)) + ": it is not a folder"};
    }
    fs::create_directories(folder, error);
    if (error) {
        return fileFailure("create the folder", pathToUtf8(folder), error);
    }
    return std::nullopt;
}

// Blocks below the table's end that no ROM holds: a compilation fills each with 0xFF, so any other byte
// there (a removed save ROM's blocks read as zeros) is not what a rebuild writes.
Outcome<std::vector<std::string>> unfilledBlocks(const ImageFile& image, const Inspection& inspection) {
    std::vector<bool> held(kFlashBlocks, false);
    int end = 1;
    for (const auto& rom : inspection.roms) {
        std::fill_n(held.begin() + rom.first, rom.blocks, true);
        end = std::max(end, rom.first + rom.blocks);
    }
    std::vector<std::uint8_t> block(kBlockSize);
    int first = 0;
    int count = 0;
    for (int b = 1; b < end; ++b) {
        if (held[static_cast<std::size_t>(b)]) {
            continue;
        }
        if (auto failure = image.read(static_cast<std::uintmax_t>(b) * kBlockSize, block)) {
            return *failure;
        }
        if (std::any_of(block.begin(), block.end(),
                        [](std::uint8_t byte) { return byte != kFreeFlashByte; })) {
            first = count == 0 ? b : first;
            ++count;
        }
    }
    if (count == 0) {
        return std::vector<std::string>{};
    }
    return std::vector<std::string>{"a rebuild from " + inQuotes(kExtractedListName) +
                                    " does not give this image back: " + std::to_string(count) +
                                    (count == 1 ? " block" : " blocks") + " that no ROM holds, from block " +
                                    std::to_string(first) + ", " + (count == 1 ? "is" : "are") +
                                    " not filled with 0xFF as a compilation leaves free blocks"};
}

Refusal writeRom(OutputTransaction& outputs, const ImageFile& image, const InspectedRom& rom,
                 const fs::path& path) {
    auto file = outputs.add(path);
    if (!file.ok()) {
        return file.failure();
    }
    std::uintmax_t offset = 0;
    return readRomBlocks(image, rom, [&](std::span<const std::uint8_t> block) -> Refusal {
        auto failure = file.value()->writeAt(offset, block.data(), block.size());
        offset += block.size();
        return failure;
    });
}

} // namespace

std::vector<std::string> filesInTheWay(const ExtractionPlan& plan, const fs::path& folder) {
    std::vector<std::string> names = plan.files;
    names.emplace_back(kExtractedListName);
    for (const ListEntry& entry : plan.list.entries) {
        if (entry.sav) {
            names.push_back(*entry.sav);
        }
    }
    std::vector<std::string> found;
    for (const auto& name : names) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(folder / pathFromUtf8(name), error))) {
            found.push_back(name);
        }
    }
    return found;
}

Outcome<Extracted> extractImage(const ImageFile& image, const Inspection& inspection,
                                const ExtractRequest& request) {
    const std::string shownImage = inQuotes(image.parts().front().shown);
    if (!inspection.problems.empty()) {
        return Failure{"Cannot extract the ROMs of " + shownImage +
                       ": it is not an image this tool could have written: " + inspection.problems.front()};
    }
    if (image.form() == ImageForm::MenuOnly) {
        return Failure{"Cannot extract the ROMs of " + shownImage +
                       ": it is a menu template, which holds the table but no ROMs"};
    }
    if (inspection.roms.empty()) {
        return Failure{"Cannot extract the ROMs of " + shownImage + ": its table holds no ROMs"};
    }
    ExtractionPlan plan = planExtraction(inspection, reservedNames(image));
    // With a save dump each save ROM's saves go beside it: "NAME.GB" and "NAME.sav".
    std::vector<std::vector<std::uint8_t>> saves(inspection.roms.size());
    if (!request.saveDump.empty()) {
        for (std::size_t row = 0; row < inspection.roms.size(); ++row) {
            ListEntry& entry = plan.list.entries[row];
            const InspectedRom& rom = inspection.roms[row];
            if (!entry.save || !entry.bank) {
                continue;
            }
            entry.sav = romSaveFileText(plan.files[row]);
            const std::size_t used =
                rom.header ? saveBytesOfHeader(rom.header->cartridgeType, rom.header->ramSizeCode)
                           : kSaveBankBytes;
            const auto bytes = bankSave(request.saveDump, *entry.bank, used);
            saves[row].assign(bytes.begin(), bytes.end());
        }
    }
    auto unfilled = unfilledBlocks(image, inspection);
    if (!unfilled.ok()) {
        return unfilled.failure();
    }
    Extracted extracted;
    extracted.list = request.folder / kExtractedListName;
    extracted.files = plan.files;
    extracted.warnings = std::move(plan.warnings);
    extracted.warnings.insert(extracted.warnings.end(), unfilled.value().begin(), unfilled.value().end());
    extracted.replaced = filesInTheWay(plan, request.folder);
    if (!extracted.replaced.empty() && !(request.mayReplace && request.mayReplace(extracted.replaced))) {
        extracted.declined = true;
        return extracted;
    }

    if (auto failure = makeFolder(request.folder)) {
        return *failure;
    }
    Disk& disk = diskOr(request.disk);
    Recovery recovery;
    const auto lock = takeWorkFolder(disk, request.folder, &recovery);
    if (!lock.ok()) {
        return lock.failure();
    }
    extracted.notes = std::move(recovery.notes);
    OutputTransaction outputs(disk, request.folder);
    for (std::size_t row = 0; row < inspection.roms.size(); ++row) {
        const fs::path path = request.folder / pathFromUtf8(plan.files[row]);
        if (auto failure = writeRom(outputs, image, inspection.roms[row], path)) {
            return *failure;
        }
        if (const auto& sav = plan.list.entries[row].sav) {
            auto file = outputs.add(request.folder / pathFromUtf8(*sav));
            if (!file.ok()) {
                return file.failure();
            }
            if (auto failure = file.value()->writeAt(0, saves[row].data(), saves[row].size())) {
                return *failure;
            }
            extracted.saves.push_back(*sav);
        }
    }
    if (auto failure = prepareRomList(outputs, extracted.list, plan.list)) {
        return *failure;
    }
    if (auto failure = outputs.commit()) {
        return *failure;
    }
    return extracted;
}

} // namespace romc
