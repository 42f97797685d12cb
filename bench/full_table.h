// The table the window benchmarks start from: a work folder with "Menu.GB", 255 one-block ROMs and the list
// of them, every sixteenth with save memory (one a save bank); and dialogs that answer nothing.
#pragma once

#include "form/modal_dialogs.h"
#include "romtable/flash_units.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace romc::bench {

inline constexpr int kFullTableRows = 255; // the most the menu holds

class NoDialogs : public romform::ModalDialogs {
  public:
    std::vector<std::string> pickFiles(const romform::FileDialog&) override { return {}; }
    romform::Choice ask(const romform::Question& question) override { return question.escapeChoice; }
};

inline void writeBytes(const std::filesystem::path& path, std::size_t bytes) {
    std::ofstream(path, std::ios::binary) << std::string(bytes, '\x5A');
}

// Made anew under the system's temporary folder; "list.json" names the ROMs.
inline std::filesystem::path fullTableFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    writeBytes(folder / "Menu.GB", kBlockSize);
    std::ofstream list(folder / "list.json");
    list << "{\"romcompiler-list\": 1, \"roms\": [";
    for (int i = 0; i < kFullTableRows; ++i) {
        const std::string rom = "rom" + std::to_string(i) + ".gb";
        writeBytes(folder / rom, kBlockSize);
        list << (i == 0 ? "" : ",") << "{\"file\": \"" << rom
             << "\", \"save\": " << (i % kSaveBanks == 0 ? "true" : "false") << "}";
    }
    list << "]}";
    return folder;
}

} // namespace romc::bench
