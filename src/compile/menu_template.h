// "Menu.GB", read once through one open handle. The patched template is written whole under a temporary
// name and renamed over the file, so the template on disk is always the old one or the new one, and block
// 0 of the image is byte for byte the new one.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace romc {

struct MenuTemplate {
    std::vector<std::uint8_t> bytes;
    // The file the patched template replaces: "Menu.GB" itself, or, when "Menu.GB" is a link, the file it
    // leads to, so that the link keeps working and every folder that links to one template shares it.
    std::filesystem::path file;
    unsigned permissions = 0; // kept by the patched template
    FileIdentity identity;
};

// Reads the work folder's template; it must be a regular file no larger than the flash.
Outcome<MenuTemplate> readMenuTemplate(Disk& disk, const std::filesystem::path& workDir);

// What looks wrong with a template's bytes, one warning each, naming "Menu.GB": a header the boot ROM
// would not start (too short to hold one, a blank logo area, a wrong header checksum), and bytes past its
// one block that are not erased flash, which the image keeps where the ROMs from block 1 on overwrite them.
// The compilation writes the template as it is all the same: these are warnings, never refusals.
std::vector<std::string> menuTemplateWarnings(std::span<const std::uint8_t> bytes);

// The same for the work folder's "Menu.GB" as it is now; none when it cannot be read (the compilation
// says why).
std::vector<std::string> checkMenuTemplate(Disk& disk, const std::filesystem::path& workDir);

} // namespace romc
