// A folder to try the window in: a placeholder menu template and a few made-up ROM files of different
// sizes, so that a newcomer can pick, add and compile at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace romapp {

struct DemoFile {
    const char* name;
    std::size_t bytes;
    // A made-up cartridge header, so the row tooltips show what a good dump looks like; no title: none.
    const char* title = nullptr;
    std::uint8_t cartridgeType = 0;
    std::uint8_t ramSizeCode = 0;
};

// The files a demo folder holds: "Menu.GB" first, then the sample ROMs.
const std::vector<DemoFile>& demoFiles();

// The bytes of a demo file: every block starts with a line naming the file and the block, followed by a
// pattern of its own, so each ROM can be found in the compiled image by eye; a sample ROM carries a
// cartridge header whose size code and checksum agree with it.
std::vector<std::uint8_t> demoBytes(const DemoFile& file);

// Creates `folder` if it is missing and writes each demo file that is not there yet; files already there
// are left as they are, since compilations patch "Menu.GB" in place. Returns "" or the reason it failed.
std::string fillDemoFolder(const std::filesystem::path& folder);

} // namespace romapp
