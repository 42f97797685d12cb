#include "compile/menu_read.h"

#include "compile/menu_table.h"
#include "romtable/number_text.h"

#include <algorithm>

namespace romc {

namespace {

using namespace menu;

constexpr int kLastPageByte = (static_cast<int>(kMaxRows) - 1) / kRowsPerPage;

std::string bytesText(LocationBytes where) {
    return "location bytes " + hexByteText(where.high) + " " + hexByteText(where.low);
}

std::string blocksText(const MenuPlace& place) {
    return "blocks " + std::to_string(place.first) + " to " + std::to_string(place.first + place.blocks - 1);
}

bool printable(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

// Why no placement puts this ROM here, if none does: the menu's block 0, past the flash, or a start that is
// neither a multiple of its size (first fit, a save ROM of bank 0) nor the start of a save region.
std::optional<std::string> unplaceable(const MenuPlace& place) {
    if (place.first == kMenuBlock) {
        return std::string("location 0: the row has no place in flash (block 0 is the menu's)");
    }
    if (place.first + place.blocks - 1 > kLastBlock) {
        return blocksText(place) + " run past the last flash block " + std::to_string(kLastBlock);
    }
    if (place.first % place.blocks != 0 && place.first % kSaveRegionBlocks != 0) {
        return "block " + std::to_string(place.first) + " is neither a multiple of its " +
               std::to_string(place.blocks) +
               " blocks nor the start of a save region: no placement puts it there";
    }
    return std::nullopt;
}

std::string rowText(const MenuRow& row, std::size_t index) {
    return "row " + std::to_string(index + 1) + " (\"" + escapedName(row.name) + "\")";
}

MenuRow readRow(std::span<const std::uint8_t> menu, std::size_t index) {
    MenuRow row;
    const std::size_t entry = kLocationEntries + kLocationEntrySize * index;
    row.where = {menu[entry + kLocationHighByte], menu[entry + kLocationLowByte]};
    row.complement = menu[entry + kComplementByte];
    const auto name = menu.subspan(kNameEntries + kNameEntrySize * index, kNameEntrySize);
    row.name.assign(name.begin(), name.end());
    while (!row.name.empty() && static_cast<std::uint8_t>(row.name.back()) == kNamePadding) {
        row.name.pop_back();
    }
    return row;
}

} // namespace

Outcome<MenuPlace> decodeLocation(LocationBytes where, std::uint8_t complement) {
    if (where.high <= kLastQuarter) {
        if (where.low != kQuarterLowByte) {
            return Failure{bytesText(where) + " are neither form: an 8 MiB ROM's low byte is 0"};
        }
        if (complement != kComplementOfMaxRom) {
            return Failure{bytesText(where) + " are an 8 MiB ROM's, but its complement is " +
                           std::to_string(complement) + ", not " + std::to_string(kComplementOfMaxRom)};
        }
        return MenuPlace{kQuarterBlocks * where.high, kMaxRomBlocks};
    }
    if (where.high < kLocationBase || where.high > kLastLocationHigh) {
        return Failure{bytesText(where) + ": a high byte is " + hexByteText(kLocationBase) + " to " +
                       hexByteText(kLastLocationHigh) + ", or 0 to " + std::to_string(kLastQuarter) +
                       " for an 8 MiB ROM"};
    }
    const int steps = where.high - kLocationBase;
    // A step of 255 is taken only while more than 255 is left, so after a step the low byte is never 0.
    if (steps > 0 && where.low == 0) {
        return Failure{bytesText(where) + " are no location: after a step of " +
                       std::to_string(kLocationStep) + " the low byte is 1 to 255"};
    }
    if (complement == 0) {
        return Failure{"complement 0 gives a size of 0 blocks"};
    }
    return MenuPlace{kLocationStep * steps + where.low, kMaxRomBlocks - complement};
}

MenuTableRead readMenuTable(std::span<const std::uint8_t> menu, std::optional<std::uintmax_t> imageBytes) {
    static_assert(kMaxRows <= 0xFF, "a ROM count byte never counts past the menu's rows");
    MenuTableRead read;
    menu = menu.first(std::min(menu.size(), kBlockSize));
    if (menu.size() <= kLastPageOffset) {
        read.problems.push_back("block 0 is " + std::to_string(menu.size()) +
                                " bytes, too short to hold a menu table");
        return read;
    }
    read.romCount = menu[kRomCountOffset];
    read.lastPage = menu[kLastPageOffset];
    if (read.romCount == 0) {
        read.problems.push_back("the ROM count is 0: no compilation writes a table without ROMs");
    } else if (const int expected = (read.romCount - 1) / kRowsPerPage; read.lastPage != expected) {
        const int from = read.lastPage * kRowsPerPage + 1;
        read.problems.push_back(
            "the last page byte is " + std::to_string(read.lastPage) + ", but " +
            std::to_string(read.romCount) + " ROMs end on page " + std::to_string(expected) +
            (read.lastPage > kLastPageByte
                 ? " (page " + std::to_string(read.lastPage) + " would hold ROMs " + std::to_string(from) +
                       " to " + std::to_string(from + kRowsPerPage - 1) + ", past the " +
                       std::to_string(kMaxRows) + " a menu lists)"
                 : std::string()));
    }
    const std::size_t held = menu.size() < kNameEntries ? 0 : (menu.size() - kNameEntries) / kNameEntrySize;
    const auto rows = static_cast<std::size_t>(read.romCount);
    if (held < rows) {
        read.problems.push_back("block 0 is " + std::to_string(menu.size()) + " bytes, too short for the " +
                                "name entries of " + std::to_string(rows) + " ROMs");
    }

    for (std::size_t index = 0; index < std::min(held, rows); ++index) {
        MenuRow row = readRow(menu, index);
        if (!std::all_of(row.name.begin(), row.name.end(),
                         [](char c) { return printable(static_cast<std::uint8_t>(c)); })) {
            read.warnings.push_back(rowText(row, index) + ": the name holds bytes the menu may not show");
        }
        auto place = decodeLocation(row.where, row.complement);
        std::optional<std::string> problem;
        if (!place.ok()) {
            problem = place.failure().message;
        } else if (auto reason = unplaceable(place.value())) {
            problem = reason;
        } else if (const MenuPlace& p = place.value();
                   imageBytes && static_cast<std::uintmax_t>(p.first + p.blocks) * kBlockSize > *imageBytes) {
            problem = blocksText(p) + " run past the end of the image (" + std::to_string(*imageBytes) +
                      " bytes, " + std::to_string(*imageBytes / kBlockSize) + " whole blocks)";
        } else {
            for (std::size_t other = 0; other < index && !problem; ++other) {
                const auto& earlier = read.rows[other].place;
                if (earlier && earlier->first <= p.first + p.blocks - 1 &&
                    p.first <= earlier->first + earlier->blocks - 1) {
                    problem = blocksText(p) + " overlap " + rowText(read.rows[other], other) + " at " +
                              blocksText(*earlier);
                }
            }
        }
        if (problem) {
            read.problems.push_back(rowText(row, index) + ": " + *problem);
        } else {
            row.place = place.value();
        }
        read.rows.push_back(std::move(row));
    }
    return read;
}

std::string escapedName(std::string_view name) {
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (printable(byte) && c != '\\') {
            shown += c;
        } else {
            shown += "\\x" + hexByteText(byte).substr(2);
        }
    }
    return shown;
}

} // namespace romc
