// Reading the menu table back from block 0 of an image or from "Menu.GB": the exact inverse of the patch.
// An entry that no compilation could have written is named with its row and reason and never trusted.
#pragma once

#include "compile/menu_patch.h"
#include "romtable/failure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

// Where a ROM lies in flash.
struct MenuPlace {
    int first = 0; // first block
    int blocks = 0;
};

// The place a location entry and a complement byte stand for, or why no compilation writes these bytes.
Outcome<MenuPlace> decodeLocation(LocationBytes where, std::uint8_t complement);

struct MenuRow {
    std::string name; // the name entry's bytes, trailing blanks dropped
    LocationBytes where{};
    std::uint8_t complement = 0;
    std::optional<MenuPlace> place; // none: the entry is not trusted (see the table's problems)
};

struct MenuTableRead {
    int romCount = 0;
    int lastPage = 0;                  // the last page byte: pages - 1
    std::vector<MenuRow> rows;         // the counted rows that block 0 holds, in table order
    std::vector<std::string> problems; // empty: a table a compilation could have written
    std::vector<std::string> warnings; // names with bytes the menu may not show
};

// Reads the table from the first bytes of the menu ROM (at most one block is looked at). `imageBytes` is
// the length of the image the table was found in, so that every ROM must lie inside it; none for
// "Menu.GB" alone.
MenuTableRead readMenuTable(std::span<const std::uint8_t> menu, std::optional<std::uintmax_t> imageBytes);

// A name as a message or a printout shows it: printable ASCII as it is, every other byte and the backslash
// as \xNN, so that no control character reaches a terminal and no two names look alike.
std::string escapedName(std::string_view name);

} // namespace romc
