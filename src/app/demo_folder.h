// A folder to try the window in: a placeholder menu template, made-up ROM files of every size from 32 KiB to
// 8 MiB, and a list of them, so that the first window a newcomer sees shows a full table and its flash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romapp {

// The list of the sample ROMs that the demo folder holds beside them.
inline constexpr const char* kDemoListName = "samples.json";

struct DemoFile {
    const char* name;
    std::size_t bytes;
    // A made-up cartridge header, so the row tooltips show what a good dump looks like; no title: none.
    const char* title = nullptr;
    std::uint8_t cartridgeType = 0;
    std::uint8_t ramSizeCode = 0;
    // The ROM's row in the sample list: its menu name, and whether it is added with save memory. No name:
    // not in the list (the menu template).
    const char* listedName = nullptr;
    bool listedWithSave = false;
};

// The files a demo folder holds: "Menu.GB" first, then the sample ROMs in the list's order.
const std::vector<DemoFile>& demoFiles();

// The bytes of a demo file: every block starts with a line naming the file and the block, followed by a
// pattern of its own, so each ROM can be found in the compiled image by eye; a sample ROM carries a
// cartridge header whose size code and checksums agree with it.
std::vector<std::uint8_t> demoBytes(const DemoFile& file);

// The text of the sample list: every sample ROM in the order of demoFiles(), one of them with save memory;
// together they take more than the flash holds, so that one of them is left without a place.
std::string demoListText();

// Creates `folder` if it is missing and writes each demo file and the list that is not there yet; files
// already there are left as they are, since compilations patch "Menu.GB" in place and the user may have
// changed the list. Returns "" or the reason it failed.
std::string fillDemoFolder(const std::filesystem::path& folder);

// Fills the demo folder named by `folder` (UTF-8) and makes it the current folder. A list named on the
// command line is a path from the folder the program was started in, so `list` is made absolute first.
// Returns "" or the reason it failed.
std::string enterDemoFolder(const std::string& folder, std::optional<std::string>& list);

} // namespace romapp
