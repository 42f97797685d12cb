// What must hold after every action, whatever the actions were: the table's own rules, the menu table and
// image that a compilation leaves, and the files that a refused action must leave alone. Each check returns
// "" when everything holds, otherwise the first thing that does not, said where it is.
#pragma once

#include "romtable/table_state.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace romc::hardening {

using Bytes = std::vector<std::uint8_t>;

// Seven columns of one length, a block map of 0 and 1 with block 0 taken, NextSaveBank 0 to 16, counter
// texts that follow the table, rows whose texts agree with each other and with the block map, and save ROMs
// that share no block and no save region.
std::string stateInvariantBreak(const TableState& state);

// No two rows with a place in flash share a block: what the menu lists right after a compilation.
std::string listedOverlapBreak(const RomTable& table);

// After a successful compilation of `state`: "Menu.GB" is `menuBefore` with the table written in (count
// byte, last page, names, complements, locations that decode back to the rows' locations); "Output.GB" is
// the menu, every listed ROM's whole blocks at its location and 0xFF in every free block up to the last
// taken one; the pieces are that image cut at 8 MiB, each ROM found in the piece of its blocks.
// Pieces that the image does not reach are not looked at.
std::string compiledOutputBreak(const TableState& state, const std::filesystem::path& workDir,
                                const Bytes& menuBefore);

// The number of pieces an image of `length` bytes is cut into.
int expectedPieces(std::uintmax_t length);

// The block a location entry leads the menu to.
int decodeLocation(std::uint8_t high, std::uint8_t low, int blocks);

// What can be seen of a folder's entries without reading large files: kind, size, inode and change time,
// and the bytes of small files such as "Menu.GB".
struct FileMark {
    char kind = '?'; // 'f' file, 'd' folder, 'l' link, 'o' other
    std::uintmax_t size = 0;
    std::uintmax_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::string linkTarget;
    Bytes smallContents;
    bool operator==(const FileMark&) const = default;
};
using FolderMarks = std::map<std::string, FileMark>;

FolderMarks folderMarks(const std::filesystem::path& folder);
std::string folderDifference(const FolderMarks& before, const FolderMarks& after);

// A temporary file or a journal left in the folder, or "".
std::string leftoverTempFile(const std::filesystem::path& folder);

// Everything observable of a state, for "a refused action changed nothing".
std::string stateDifference(const TableState& before, const TableState& after);

} // namespace romc::hardening
