// Before a compilation replaces an image: which games with save memory in it get another bank in the new
// table, and which banks go to another game. On the cartridge each game's saves stay in the save memory of
// the bank it had, so after flashing such a game would read another game's saves, or none.
#pragma once

#include "romtable/table_state.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romc {

struct SaveMove {
    std::string name; // the game, as the new table names it (or the old image, for a bank taken over)
    int oldBank = 0;
    std::optional<int> newBank; // none: the game is in the new table without save memory
    std::string takenBy;        // the game of the new table that gets `oldBank`, when another one does
    bool gone = false;          // the game is not in the new table; its bank goes to `takenBy`
};

// Compares the image at `image` (a game is the same when its blocks hold the same bytes as a ROM file of
// the new table) with `state`, placed as the compilation places it. Nothing when there is no image, or it is
// not one this tool could have written.
std::vector<SaveMove> saveMoves(const std::filesystem::path& image, const TableState& state,
                                const std::filesystem::path& workDir);

// One warning naming every move and saying what to do; `savesWritten`: the save memory is written with the
// compilation and every moved game's save file was found, so the saves move with their games.
std::optional<std::string> saveMovesWarning(const std::vector<SaveMove>& moves, bool savesWritten);

} // namespace romc
