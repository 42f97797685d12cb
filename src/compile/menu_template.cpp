#include "compile/menu_template.h"

#include "cartridge/rom_header.h"
#include "compile/image.h"
#include "compile/menu_table.h"
#include "files/utf8_path.h"
#include "romtable/flash_units.h"
#include "romtable/number_text.h"

#include <algorithm>
#include <cerrno>

namespace romc {

namespace {

const std::string kMenuShown = inQuotes(menu::kTemplateName);

constexpr const char* kWillNotBoot = ": the menu will not boot";

} // namespace

std::vector<std::string> menuTemplateWarnings(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> warnings;
    const auto parsed = parseRomHeader(bytes);
    if (!parsed) {
        warnings.push_back(kMenuShown + " is " + std::to_string(bytes.size()) +
                           " bytes, too short to hold a cartridge header (" + std::to_string(header::kEnd) +
                           " bytes)" + kWillNotBoot);
    } else {
        if (parsed->logoBlank) {
            warnings.push_back(kMenuShown + " has a blank logo area" + kWillNotBoot);
        }
        if (parsed->storedChecksum != parsed->headerChecksum) {
            warnings.push_back(kMenuShown + " has the header checksum " +
                               hexByteText(parsed->storedChecksum) + " where the boot ROM computes " +
                               hexByteText(parsed->headerChecksum) + kWillNotBoot);
        }
    }
    if (bytes.size() > kBlockSize && !std::all_of(bytes.begin() + kBlockSize, bytes.end(),
                                                  [](std::uint8_t b) { return b == kFreeFlashByte; })) {
        warnings.push_back(
            kMenuShown + " is " + std::to_string(bytes.size()) + " bytes, more than its one block (" +
            std::to_string(kBlockSize) +
            " bytes): what lies past the block goes into the image, where the ROMs placed from "
            "block 1 on overwrite it");
    }
    return warnings;
}

std::vector<std::string> checkMenuTemplate(Disk& disk, const std::filesystem::path& workDir) {
    const auto menu = readMenuTemplate(disk, workDir);
    return menu.ok() ? menuTemplateWarnings(menu.value().bytes) : std::vector<std::string>{};
}

Outcome<MenuTemplate> readMenuTemplate(Disk& disk, const std::filesystem::path& workDir) {
    const auto path = workDir / menu::kTemplateName;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::status(path, error))) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is missing from " +
                       inQuotes(pathToUtf8(workDir))};
    }
    MenuTemplate menu;
    menu.file = std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))
                    ? std::filesystem::canonical(path, error)
                    : path;
    if (error) {
        return Failure{"Cannot compile: the link " + kMenuShown + " leads nowhere: " + error.message()};
    }
    auto opened = disk.openForReading(menu.file);
    if (!opened.value) {
        return Failure{"Cannot open " + kMenuShown + " for reading: " + opened.error.message()};
    }
    OpenFile& file = *opened.value;
    if (file.kind() != FileKind::Regular) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is not a regular file"};
    }
    if (file.size() > kFlashSize) {
        return Failure{"Cannot compile: the menu template " + kMenuShown + " is " +
                       std::to_string(file.size()) + " bytes, larger than the whole flash"};
    }
    menu.bytes.resize(static_cast<std::size_t>(file.size()));
    std::size_t got = 0;
    if (auto readError = file.readAt(0, menu.bytes, got)) {
        return fileFailure("read", menu::kTemplateName, readError);
    }
    if (got != menu.bytes.size()) {
        return Failure{"Cannot read " + kMenuShown + ": it became shorter while it was read"};
    }
    menu.permissions = file.permissions();
    menu.identity = file.identity();
    return menu;
}

} // namespace romc
