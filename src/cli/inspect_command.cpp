#include "cli/inspect_command.h"

#include "cli/map_output.h"
#include "cli/piece_crc.h"
#include "compile/image.h"
#include "compile/menu_read.h"
#include "compile/recovery.h"
#include "files/utf8_path.h"
#include "inspect/extraction.h"
#include "inspect/inspection.h"
#include "inspect/inspection_plan.h"
#include "plan/placement_report.h"
#include "romtable/number_text.h"
#include "saves/save_files.h"

#include <memory>
#include <ostream>
#include <zlib.h>

namespace romc {

namespace {

constexpr int kExitNotAnImage = 1;
constexpr const char* kProgram = "romcompiler-cli: ";
constexpr const char* kNone = "-";

Outcome<std::uint32_t> romCrc32(const ImageFile& image, const InspectedRom& rom) {
    uLong crc = crc32(0L, Z_NULL, 0);
    auto failure = readRomBlocks(image, rom, [&crc](std::span<const std::uint8_t> block) -> Refusal {
        crc = crc32(crc, block.data(), static_cast<uInt>(block.size()));
        return std::nullopt;
    });
    if (failure) {
        return *failure;
    }
    return static_cast<std::uint32_t>(crc);
}

// "ok", or what the header gets wrong, in a few words.
std::string checksText(const InspectedRom& rom) {
    const HeaderIntegrity integrity =
        headerIntegrity(*rom.header, static_cast<std::uintmax_t>(rom.blocks) * kBlockSize);
    std::string text;
    const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (!integrity.logoPresent) {
        add("blank logo");
    }
    if (!integrity.checksumRight) {
        add("header checksum wrong");
    }
    if (!integrity.sizeMatches) {
        add("size code " + hexByteText(rom.header->romSizeCode) + " for " + std::to_string(rom.blocks) +
            (rom.blocks == 1 ? " block" : " blocks"));
    }
    return text.empty() ? "ok" : text;
}

std::string rowLabel(std::size_t row, const InspectedRom& rom) {
    return "row " + std::to_string(row + 1) + " (\"" + escapedName(rom.name) + "\")";
}

// The files the report lists with their CRC32: the image's own and, for "Output.GB", the pieces beside it
// that it reaches, as the compilation that wrote them lists them.
std::vector<WrittenFile> imageFiles(const ImageFile& image, const FlashPlan& plan) {
    std::vector<ImagePart> parts = image.parts();
    if (image.form() == ImageForm::Image && image.besideOutputs()) {
        for (int k = 1; k <= plan.usage.pieces; ++k) {
            const auto piece = parts.front().path.parent_path() / pieceName(k);
            std::error_code error;
            const auto bytes = std::filesystem::file_size(piece, error);
            if (!error) {
                parts.push_back({piece, pieceName(k), bytes});
            }
        }
    }
    std::vector<WrittenFile> files;
    for (const ImagePart& part : parts) {
        WrittenFile file{part.shown, part.bytes, std::nullopt, {}};
        if (const auto crc = fileCrc32(systemDisk(), part.path, part.shown); crc.ok()) {
            file.crc = crc.value();
        } else {
            file.problem = crc.failure().message;
        }
        files.push_back(std::move(file));
    }
    return files;
}

// Every existing file is named, and nothing is written, unless --force lets them go.
int extractCommand(const ImageFile& image, const Inspection& inspection, const InspectOptions& options,
                   std::ostream& err) {
    const bool force = options.force;
    ExtractRequest request{*options.extractTo, [force](const std::vector<std::string>&) { return force; }};
    if (options.splitSaves) {
        auto dump = readSaveDump(*options.splitSaves, options.splitSavesShown);
        if (!dump.ok()) {
            err << kProgram << dump.failure().message << '\n';
            return kExitNotAnImage;
        }
        request.saveDump = std::move(dump.value());
    }
    const auto extracted = extractImage(image, inspection, request);
    if (!extracted.ok()) {
        err << kProgram << extracted.failure().message << '\n';
        return kExitNotAnImage;
    }
    const Extracted& done = extracted.value();
    const std::string folder = inQuotes(options.extractShown);
    if (done.declined) {
        std::string names;
        for (const auto& name : done.replaced) {
            names += (names.empty() ? "" : ", ") + inQuotes(name);
        }
        err << kProgram << "Cannot extract into " << folder << ": it already holds " << names
            << "; nothing was written. Give --force to replace "
            << (done.replaced.size() == 1 ? "it" : "them") << '\n';
        return kExitNotAnImage;
    }
    for (const auto& note : done.notes) {
        err << kProgram << "note: " << note << '\n';
    }
    for (const auto& warning : done.warnings) {
        err << kProgram << "warning: " << warning << '\n';
    }
    err << kProgram << "extracted " << done.files.size() << (done.files.size() == 1 ? " ROM" : " ROMs")
        << " into " << folder << ", listed in "
        << inQuotes(pathToUtf8(pathFromUtf8(options.extractShown) / kExtractedListName));
    if (options.splitSaves) {
        err << ", with " << done.saves.size() << (done.saves.size() == 1 ? " save file" : " save files")
            << " from " << inQuotes(options.splitSavesShown);
    }
    err << '\n';
    return 0;
}

} // namespace

int inspectCommand(const std::filesystem::path& imagePath, const InspectOptions& options, std::ostream& out,
                   std::ostream& err) {
    const bool quiet = options.quiet;
    // Files of an interrupted compilation may be a mix of two: whatever they hold, they must not be flashed
    // before the next compilation there completes it.
    const auto folder =
        imagePath.parent_path().empty() ? std::filesystem::path(".") : imagePath.parent_path();
    if (const auto interrupted = interruptedCompilation(systemDisk(), folder)) {
        err << kProgram << *interrupted << '\n';
        return kExitNotAnImage;
    }
    const auto image = ImageFile::open(imagePath);
    if (!image.ok()) {
        err << kProgram << image.failure().message << '\n';
        return kExitNotAnImage;
    }
    const auto inspected = inspectImage(image.value());
    if (!inspected.ok()) {
        err << kProgram << inspected.failure().message << '\n';
        return kExitNotAnImage;
    }
    const Inspection& inspection = inspected.value();
    const std::string shown = "\"" + image.value().parts().front().shown + "\"";
    if (!inspection.problems.empty()) {
        for (const auto& problem : inspection.problems) {
            err << kProgram << shown << " is not an image this tool could have written: " << problem << '\n';
        }
        return kExitNotAnImage;
    }

    // The map is drawn before anything is printed, and takes its name after the printout, as a
    // compilation's outputs do.
    const FlashPlan plan = planOfInspection(image.value(), inspection);
    std::unique_ptr<OutputTransaction> mapOutput;
    if (options.map) {
        const auto folder = options.map->parent_path();
        mapOutput = std::make_unique<OutputTransaction>(systemDisk(), folder.empty() ? "." : folder);
        if (auto failure = prepareMap(*options.map, plan, *mapOutput)) {
            err << kProgram << failure->message << '\n';
            return kExitNotAnImage;
        }
    }

    for (const InspectedRom& rom : inspection.roms) {
        out << escapedName(rom.name) << '\t' << rom.first << '\t' << rom.blocks << '\t'
            << (rom.saveBank ? std::to_string(*rom.saveBank) : kNone);
        if (rom.header) {
            const auto crc = romCrc32(image.value(), rom);
            if (!crc.ok()) {
                out.flush();
                err << kProgram << crc.failure().message << '\n';
                return kExitNotAnImage;
            }
            out << '\t' << crcText(crc.value()) << '\t' << rom.header->title << '\t' << checksText(rom);
        }
        out << '\n';
    }
    if (options.report) {
        out << placementReport(plan, {ReportMode::Inspected, imageFiles(image.value(), plan), {}});
    }
    out.flush();
    if (mapOutput) {
        if (auto failure = mapOutput->commit()) {
            err << kProgram << failure->message << '\n';
            return kExitNotAnImage;
        }
    }
    for (std::size_t row = 0; row < inspection.roms.size() && !quiet; ++row) {
        for (const auto& warning : inspection.roms[row].headerWarnings) {
            err << kProgram << "warning: " << rowLabel(row, inspection.roms[row]) << ": " << warning << '\n';
        }
    }
    for (const auto& warning : inspection.warnings) {
        err << kProgram << "warning: " << warning << '\n';
    }
    return options.extractTo ? extractCommand(image.value(), inspection, options, err) : 0;
}

} // namespace romc
