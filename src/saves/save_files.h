// Each save ROM's save file: where it is (the one the user named, else the ROM's file with ".sav" for its
// extension, as emulators keep it), how many bytes of its bank the game uses, and reading one, or a whole
// save dump, with the refusals that name the file and the reason.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

inline constexpr const char* kSaveFileExtension = ".sav";

struct SaveRom {
    std::size_t row = 0;
    std::string name; // the menu name
    int bank = 0;
    std::string saveText;           // the save file as messages and lists name it (relative: from workDir)
    std::filesystem::path savePath; // the same, taken from the work folder
    bool named = false;             // named by the user ("sav" of a list, --sav), not the ROM's ".sav"
    std::size_t usedBytes = 0;      // what the header declares of the bank (the whole bank when unknown)
};

// The ROM's own save file: its path text with ".sav" for its extension ("roms/TETRIS.GB" ->
// "roms/TETRIS.sav").
std::string romSaveFileText(std::string_view romPath);

// The table's save ROMs in table order, each with its bank, save file and the bytes its header declares.
std::vector<SaveRom> saveRomsOf(const TableState& state, const std::filesystem::path& workDir,
                                Disk* disk = nullptr);

// The save file of `rom` as it is now: none when there is no such file; refused, naming it, when it is a
// folder, a device, unreadable or longer than a bank once a clock footer is dropped. The footer is dropped.
Outcome<std::optional<std::vector<std::uint8_t>>> readSaveFile(const SaveRom& rom, Disk* disk = nullptr);

// A whole save dump, refused unless it is a regular file of exactly the save memory's size.
Outcome<std::vector<std::uint8_t>> readSaveDump(const std::filesystem::path& path, std::string_view shown,
                                                Disk* disk = nullptr);

// "8 KiB", "512 bytes": a save's size as the status line shows it.
std::string saveSizeText(std::size_t bytes);

} // namespace romc
