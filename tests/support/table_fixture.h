// A scratch folder holding a menu template, and a table in it filled as the window's user fills it: pick a
// file, tick "Save?", Add ROM.
#pragma once

#include "cartridge/rom_header.h"
#include "compile/compilation.h"
#include "romtable/add_rom.h"
#include "romtable/flash_units.h"
#include "romtable/row_selection.h"
#include "romtable/table_state.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace romc::test {

// A ROM of a test table: its menu name, its size and whether "Save?" is ticked for it.
struct Rom {
    std::string name;
    int blocks;
    bool save = false;
};

// A scratch folder with "Menu.GB" in it, as every compilation needs.
class MenuFolderFixture : public ::testing::Test {
  public:
    void SetUp() override { writeFile(folder / "Menu.GB", menuTemplate()); }
    std::map<std::string, std::vector<std::uint8_t>> contents() const {
        return folderContents(folder.path());
    }

    ScratchFolder folder;
};

class TableFixture : public MenuFolderFixture {
  public:
    // Writes "ROMn.GB" of `blocks` whole blocks plus `extraBytes`, each file with its own pattern.
    // With `cartridgeType`, the header's cartridge type byte says so (0x03: a battery keeps its saves).
    std::string romFile(int blocks, std::size_t extraBytes = 0,
                        std::optional<std::uint8_t> cartridgeType = {}) {
        const std::string name = "ROM" + std::to_string(++files_) + ".GB";
        const auto path =
            makeRom(folder.path(), name, static_cast<std::size_t>(blocks) * kBlockSize + extraBytes, files_);
        if (cartridgeType) {
            auto bytes = readFile(path);
            bytes[header::kCartridgeType] = *cartridgeType;
            writeFile(path, bytes);
        }
        return name;
    }

    // Writes `file` of `blocks` whole blocks and adds it under the menu name `name`.
    void addFile(const std::string& file, int blocks, bool save, const std::string& name) {
        makeRom(folder.path(), file, static_cast<std::size_t>(blocks) * kBlockSize, ++files_);
        addOk(file, save, name);
    }

    // Add ROM with the "Save?" box as the user leaves it; the box keeps what Add ROM makes of it.
    Refusal add(const std::string& path, bool save = false, const std::string& name = "game") {
        saveBox = saveBoxAllowed(state, save);
        return addRom(state, {name, path, folder.path()}, saveBox);
    }

    void addOk(const std::string& path, bool save = false, const std::string& name = "game") {
        const auto refusal = add(path, save, name);
        ASSERT_FALSE(refusal) << refusal->message;
    }

    // Generate Compilation in the folder, which must succeed.
    void compileOk() {
        const auto failure = generateCompilation(state, {folder.path(), false});
        ASSERT_FALSE(failure) << failure->message;
    }

    // Adds up to `rows` rows as a user might: files picked at random, "Save?" ticked one time in four, names
    // of up to 20 printable characters, now and then a row removed again; a refused add is left out.
    // `saveFiles`: a row with "Save?" ticked takes its file from these instead; `removeSome` false: no row
    // is removed, a table built by adding ROMs only.
    void addRandomRows(std::mt19937& random, const std::vector<std::string>& files, int rows,
                       const std::vector<std::string>& saveFiles = {}, bool removeSome = true) {
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        const std::string alphabet = "abcXYZ 0129-!.'/~";
        for (int r = 0; r < rows; ++r) {
            std::string name;
            for (int i = pick(0, 20); i > 0; --i) {
                name += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
            }
            const auto file = static_cast<std::size_t>(pick(0, static_cast<int>(files.size()) - 1));
            const bool save = pick(0, 3) == 0;
            const auto& path = save && !saveFiles.empty() ? saveFiles[file % saveFiles.size()] : files[file];
            if (!add(path, save, name) && removeSome && pick(0, 15) == 0) {
                selectNameRow(state, pick(0, static_cast<int>(state.table.rowCount()) - 1));
                removeRom(state);
            }
        }
    }

    const std::string& cell(std::size_t row, Column column) const { return state.table.text(row, column); }

    TableState state;
    bool saveBox = false;

  private:
    std::uint32_t files_ = 0;
};

} // namespace romc::test
