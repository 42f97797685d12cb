// One policy for every file the tool writes besides the image: a list, a map, an extraction, a save file.
// Such an output never takes the place of a file the cartridge or the table depends on, and it is put in
// place as the image is: whole under a temporary name, synced, renamed, under its folder's lock.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/rom_table.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

// A file an output may not replace, and how a message names it.
struct KeptFile {
    std::filesystem::path path;
    std::string shown; // "Menu.GB", or the ROM's path as the table shows it
    std::string why;   // "the menu template", "the ROM of \"TETRIS\""
};

// "Menu.GB", "Output.GB" and the four pieces of `folder`.
std::vector<KeptFile> workFolderFiles(const std::filesystem::path& folder);

// The work folder's files and every ROM file of the table (relative paths taken from `workDir`).
std::vector<KeptFile> keptFiles(const std::filesystem::path& workDir, const RomTable& table);

// Refuses `output` when it is one of `kept`, by identity where both exist (links, letter case, ".."),
// else by name: '<asked> would replace "<kept>"; give <noun> a name of its own'.
Refusal refuseKeptFile(Disk& disk, const std::filesystem::path& output, const std::vector<KeptFile>& kept,
                       std::string_view asked, std::string_view noun);

// Writes `bytes` to `path` as one output: under the lock of its folder, whole under a temporary name,
// synced and renamed over the earlier file, which stays whole until then.
Refusal writeOutputFile(Disk& disk, const std::filesystem::path& path, std::string_view bytes);

} // namespace romc
