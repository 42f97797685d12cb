#include "compile/menu_patch.h"

#include "compile/menu_table.h"
#include "romtable/number_text.h"
#include "romtable/rom_name.h"

#include <algorithm>
#include <string>

namespace romc {

using namespace menu;

std::uint8_t menuCharacter(std::string_view character) {
    const bool printable = character.size() == 1 && character[0] >= 0x20 && character[0] <= 0x7E;
    return printable ? static_cast<std::uint8_t>(character[0]) : kUnprintableName;
}

namespace {

// Reads a column text as a whole number in [low, high], or explains what is wrong with it.
Outcome<std::int64_t> readField(const RomTable& table, std::size_t row, Column column, std::string_view what,
                                std::int64_t low, std::int64_t high) {
    const std::string& text = table.text(row, column);
    const auto value = readNumberText(text);
    if (!value || *value < low || *value > high) {
        return Failure{"Cannot write the menu entry of row " + std::to_string(row + 1) + " (\"" +
                       table.text(row, Column::Name) + "\"): its " + std::string(what) + " \"" + text +
                       "\" is not a number from " + std::to_string(low) + " to " + std::to_string(high)};
    }
    return *value;
}

Outcome<std::int64_t> readCounter(std::string_view text, std::string_view box, std::int64_t low,
                                  std::int64_t high) {
    const auto value = readNumberText(text);
    if (!value || *value < low || *value > high) {
        return Failure{"Cannot write the menu: the " + std::string(box) + " box holds \"" +
                       std::string(text) + "\", not a number from " + std::to_string(low) + " to " +
                       std::to_string(high)};
    }
    return *value;
}

MenuEdit byteEdit(std::size_t offset, std::int64_t value) {
    return {offset, {static_cast<std::uint8_t>(value)}};
}

} // namespace

LocationBytes encodeLocation(int location, int blocks) {
    int rest = location;
    int steps = 0;
    while (rest > kLocationStep) {
        rest -= kLocationStep;
        ++steps;
    }
    if (blocks == kMaxRomBlocks) {
        return {static_cast<std::uint8_t>(steps), 0};
    }
    return {static_cast<std::uint8_t>(kLocationBase + steps), static_cast<std::uint8_t>(rest)};
}

std::array<std::uint8_t, 16> nameEntry(std::string_view name) {
    static_assert(kNameEntrySize == 16);
    std::array<std::uint8_t, 16> entry{};
    entry.fill(kNamePadding);
    const auto characters = splitCharacters(name);
    const std::size_t used = std::min(characters.size(), kNameEntrySize);
    for (std::size_t i = 0; i < used; ++i) {
        entry[i] = menuCharacter(characters[i]);
    }
    return entry;
}

Outcome<MenuPatch> patchMenuTable(const RomTable& table, std::string_view romCountText,
                                  std::string_view pagesText) {
    const auto romCount =
        readCounter(romCountText, "\"Number of ROMS\"", 0, static_cast<std::int64_t>(kMaxRows));
    if (!romCount.ok()) {
        return romCount.failure();
    }
    const auto pages = readCounter(pagesText, "\"Pages\"", 1, kMaxPages);
    if (!pages.ok()) {
        return pages.failure();
    }
    if (table.rowCount() > kMaxRows) {
        return Failure{"Cannot write the menu: it lists at most " + std::to_string(kMaxRows) +
                       " ROMs, the table has " + std::to_string(table.rowCount())};
    }

    MenuPatch patch;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto complement = readField(table, row, Column::Complement, "complement", 0, 255);
        const auto location = readField(table, row, Column::Location, "location", 0, kLastBlock);
        const auto blocks = readField(table, row, Column::Size, "size", 1, kMaxRomBlocks);
        for (const auto* field : {&complement, &location, &blocks}) {
            if (!field->ok()) {
                return field->failure();
            }
        }
        const auto name = nameEntry(table.text(row, Column::Name));
        const auto where =
            encodeLocation(static_cast<int>(location.value()), static_cast<int>(blocks.value()));
        const std::size_t entry = kLocationEntries + kLocationEntrySize * row;
        patch.push_back({kNameEntries + kNameEntrySize * row, {name.begin(), name.end()}});
        patch.push_back(byteEdit(entry + kComplementByte, complement.value()));
        patch.push_back(byteEdit(entry + kLocationLowByte, where.low));
        patch.push_back(byteEdit(entry + kLocationHighByte, where.high));
    }
    // The count goes last: the menu reads it to know how many entries are current.
    patch.push_back(byteEdit(kRomCountOffset, romCount.value()));
    patch.push_back(byteEdit(kLastPageOffset, pages.value() - 1));
    return patch;
}

void applyMenuPatch(std::vector<std::uint8_t>& menuBytes, const MenuPatch& patch) {
    for (const auto& edit : patch) {
        const std::size_t end = edit.offset + edit.bytes.size();
        if (menuBytes.size() < end) {
            menuBytes.resize(end, 0);
        }
        std::copy(edit.bytes.begin(), edit.bytes.end(),
                  menuBytes.begin() + static_cast<std::ptrdiff_t>(edit.offset));
    }
}

} // namespace romc
