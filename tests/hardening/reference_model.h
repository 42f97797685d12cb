// A second, plainly written account of what the table should hold after each user action: the randomized
// test and the fuzz target drive it beside the core and compare the two after every step.
#pragma once

#include "romtable/table_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace romc::hardening {

// A block, written out here and not taken from the core, so that the reference stays independent of it.
inline constexpr std::size_t kBlock = 32768;

enum class PathKind { Missing, Folder, Special, Regular };

// What a path names at the moment an action looks at it.
struct FileFacts {
    PathKind kind = PathKind::Missing;
    std::uintmax_t bytes = 0;
};

struct ModelRow {
    std::string name; // as typed
    std::string path;
    int blocks = 0;
    bool save = false;
    int bank = 0;
    int location = 0; // 0 while not placed
};

struct Model {
    std::vector<ModelRow> rows;
    std::array<int, 1024> blocks{};
    int nextSaveBank = 0;
    std::string romCountText = "0";
    std::string pagesText = "0";
    std::array<int, kColumnCount> selected{-1, -1, -1, -1, -1, -1, -1};
    bool saveBox = false;
    bool compiled = false; // "Remove ROM" and "Generate Compilation" stay off until Clear List

    Model() { blocks[0] = 1; }
};

// The user ticks or unticks "Save?"; the Save box rule may untick it again.
void modelSetSaveBox(Model& model, bool ticked);

// Add ROM with the name and path boxes as given; false when the file is refused (nothing changes).
bool modelAdd(Model& model, std::string_view name, std::string_view path, FileFacts file);

void modelSelect(Model& model, Column column, int row);
bool modelRemove(Model& model);
void modelClear(Model& model);

// What Generate Compilation finds besides the table.
struct CompileFacts {
    bool menuUsable = true;   // "Menu.GB" is a regular file that opens for reading and writing
    std::string outputFolder; // a folder stands under this output name ("" for none); only an output the
                              // image reaches is in the way
    std::function<FileFacts(const std::string& path)> file;
    std::uintmax_t menuBytes = 32768; // the template's length: the image is never shorter
};

// Generate Compilation. Success: the rows are placed and an empty list comes back. Refusal: nothing changes
// and the list holds the texts of which the core's message must contain one (one per cause that applies).
std::vector<std::string> modelCompile(Model& model, const CompileFacts& facts);

// The first place where the core's state (and the "Save?" box) differs from the model, or "".
std::string modelDifference(const Model& model, const TableState& state, bool saveBox);

// Column texts as the model expects them.
std::string modelName(std::string_view typed);

} // namespace romc::hardening
