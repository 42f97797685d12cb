// The menu table patch: every row's name and location entry, the ROM count and the last page, as byte
// edits at fixed offsets of "Menu.GB".
#pragma once

#include "romtable/failure.h"
#include "romtable/rom_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace romc {

struct MenuEdit {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

// In write order: per row its name entry, complement, location low and high byte; then the ROM count, then
// the last page byte.
using MenuPatch = std::vector<MenuEdit>;

struct LocationBytes {
    std::uint8_t high;
    std::uint8_t low;
};

// The two location bytes the menu uses to find a ROM that starts at block `location`.
LocationBytes encodeLocation(int location, int blocks);

// The byte the menu shows for one character of a name (one of splitCharacters): itself when it is
// printable ASCII, else '?'.
std::uint8_t menuCharacter(std::string_view character);

// 16 bytes: the name's characters, one byte each ('?' for a character outside printable ASCII), cut after
// the 16th and padded with blanks.
std::array<std::uint8_t, 16> nameEntry(std::string_view name);

// The edits for the table as it stands, read back from its texts and the two counter boxes; a text that is
// not a number in range is refused by row and column.
Outcome<MenuPatch> patchMenuTable(const RomTable& table, std::string_view romCountText,
                                  std::string_view pagesText);

// The template's bytes as the patch leaves them; a template shorter than an edit grows with zero bytes.
void applyMenuPatch(std::vector<std::uint8_t>& menu, const MenuPatch& patch);

} // namespace romc
