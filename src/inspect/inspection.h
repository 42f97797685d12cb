// What an image holds and what to check before flashing it: the menu table read back, each ROM's place,
// save bank and cartridge header, and the pieces beside the image. Each row carries what a flash plan needs
// (name, first block, blocks, save bank).
#pragma once

#include "cartridge/rom_header.h"
#include "inspect/image_file.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace romc {

struct InspectedRom {
    std::string name; // the name entry's bytes, trailing blanks dropped (escapedName shows it)
    int first = 0;    // first block
    int blocks = 0;
    std::optional<int> saveBank;     // the bank of the save place the ROM sits at (saveBankAt)
    std::optional<RomHeader> header; // none for "Menu.GB" alone
    std::vector<std::string> headerWarnings;
};

struct Inspection {
    ImageForm form = ImageForm::Image;
    std::uintmax_t imageBytes = 0; // as read, the pieces joined
    int romCount = 0;
    int lastPage = 0;
    std::vector<InspectedRom> roms;    // every row in table order; empty when there is a problem
    std::vector<std::string> problems; // why no compilation wrote this table; then nothing in it is trusted
    std::vector<std::string> warnings; // what to look at before flashing (names, pieces); never a problem
};

// The save bank whose place Add ROM gives a save ROM of `blocks` blocks starting at block `first`, if this
// is one: bank 0 at the block numbered like its size (under 64 blocks), bank k at the start of region k.
// A ROM without save memory placed there by first fit sits at the same place; a place tells no more.
std::optional<int> saveBankAt(int first, int blocks);

// Whether the row is a save ROM: it sits where Add ROM puts a save ROM of its bank and its cartridge header
// declares a battery. A place alone does not tell: first fit puts ROMs without save memory there too. The
// ROM list of an extraction and the flash plan of an image both take a row as a save ROM by this rule.
bool listedWithSave(const InspectedRom& rom);

// Reads the table from block 0 and checks the image; fails only when a file cannot be read.
Outcome<Inspection> inspectImage(const ImageFile& image);

// Hands the ROM's bytes to `take` one block at a time, in order; stops at the first failure, a read's or
// `take`'s.
Refusal readRomBlocks(const ImageFile& image, const InspectedRom& rom,
                      const std::function<Refusal(std::span<const std::uint8_t>)>& take);

} // namespace romc
