#include "plan/placement_report.h"

#include "compile/image.h"
#include "romtable/rom_name.h"

#include <algorithm>
#include <cstdio>

namespace romc {

namespace {

// Columns line up on the characters a terminal shows, not on bytes: "é" is two bytes and one column.
std::size_t shownWidth(const std::string& text) {
    return splitCharacters(text).size();
}

std::string padLeft(const std::string& text, std::size_t width) {
    const std::size_t shown = shownWidth(text);
    return shown >= width ? text : std::string(width - shown, ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    const std::size_t shown = shownWidth(text);
    return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string number(std::uintmax_t value) {
    return std::to_string(value);
}

std::string hexOffset(std::uintmax_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%07jX", offset);
    return text;
}

std::string piecesText(int first, int last) {
    std::string text;
    for (int k = pieceOfBlock(first); k <= pieceOfBlock(last); ++k) {
        text += (text.empty() ? "" : ", ") + pieceName(k);
    }
    return text;
}

std::string blocksWord(std::uintmax_t count) {
    return count == 1 ? " block" : " blocks";
}

// The row that holds save bank `bank`, if any.
const RowPlace* saveRomOfBank(const FlashPlan& plan, int bank, std::size_t& row) {
    for (row = 0; row < plan.rows.size(); ++row) {
        if (plan.rows[row].saveBank == bank) {
            return &plan.rows[row];
        }
    }
    return nullptr;
}

char blockLetter(int owner) {
    switch (owner) {
    case kOwnerMenu:
        return kMenuLetter;
    case kOwnerFree:
        return kFreeLetter;
    case kOwnerNoRow:
        return kNoRowLetter;
    default:
        return rowLetter(static_cast<std::size_t>(owner));
    }
}

std::string rowsText(const FlashPlan& plan) {
    std::size_t nameWidth = 6; // "(menu)"
    for (const auto& place : plan.rows) {
        nameWidth = std::max(nameWidth, shownWidth(place.name));
    }
    const std::string header = padRight("Row", 5) + padRight("Name", nameWidth + 2) +
                               "Blocks  Save bank  First   Last  " + padRight("Image bytes", 21) + "Pieces\n";
    auto line = [&](char letter, const std::string& name, int blocks, const std::string& bank,
                    const std::string& rest) {
        return padRight(std::string(1, letter), 5) + padRight(name, nameWidth + 2) +
               padLeft(number(blocks), 6) + padLeft(bank, 11) + rest + '\n';
    };
    auto placed = [&](int first, int last) {
        return padLeft(number(first), 7) + padLeft(number(last), 7) + "  " + imageByteRange(first, last) +
               "  " + piecesText(first, last);
    };
    std::string text = header;
    text += line(kMenuLetter, "(menu)", 1, "-", placed(kMenuBlock, kMenuBlock));
    for (std::size_t row = 0; row < plan.rows.size(); ++row) {
        const RowPlace& place = plan.rows[row];
        const std::string bank = place.saveBank ? number(static_cast<std::uintmax_t>(*place.saveBank)) : "-";
        text += line(rowLetter(row), place.name, place.blocks, bank,
                     place.first ? placed(*place.first, place.last()) : "  not placed: " + place.notPlaced);
    }
    return text;
}

bool someNotPlaced(const FlashPlan& plan) {
    return std::any_of(plan.rows.begin(), plan.rows.end(),
                       [](const RowPlace& place) { return !place.first; });
}

std::string usageText(const FlashUsage& usage) {
    const std::size_t w = 6;
    std::string text;
    text += "Blocks used:                " + padLeft(number(static_cast<std::uintmax_t>(usage.used)), w) +
            " of " + number(kFlashBlocks) + " (the menu and the placed ROMs)\n";
    text +=
        "Blocks free:                " + padLeft(number(static_cast<std::uintmax_t>(usage.free)), w) + "\n";
    text += "  lost to alignment:        " +
            padLeft(number(static_cast<std::uintmax_t>(usage.lostToAlignment)), w) +
            " (free blocks below the last occupied block, " +
            number(static_cast<std::uintmax_t>(usage.lastOccupied)) +
            ": gaps left because a ROM\n"
            "                                    starts only at a multiple of its size and a save ROM only "
            "at its\n"
            "                                    bank's place; the image fills them with 0xFF)\n";
    text += "  free at the end:          " + padLeft(number(static_cast<std::uintmax_t>(usage.freeAtEnd)), w);
    if (usage.freeAtEnd > 0) {
        text += " (blocks " + number(static_cast<std::uintmax_t>(usage.lastOccupied + 1)) + " to " +
                number(kLastBlock) + ", past the end of the image)";
    }
    text += "\nLargest free aligned space: " +
            padLeft(number(static_cast<std::uintmax_t>(usage.largestFreeAlignedSpace)), w) +
            blocksWord(static_cast<std::uintmax_t>(usage.largestFreeAlignedSpace)) +
            " (the largest ROM that would still find a place)\n";
    return text;
}

std::string outputsText(const FlashPlan& plan, const ReportOutcome& outcome) {
    const FlashUsage& usage = plan.usage;
    std::string text;
    const bool listed = outcome.mode == ReportMode::Written || outcome.mode == ReportMode::Inspected;
    if (listed) {
        text += outcome.mode == ReportMode::Written
                    ? "Written files, with the CRC32 a cartridge dumper shows for them:\n"
                    : "The image's files, with the CRC32 a cartridge dumper shows for them:\n";
        for (const auto& file : outcome.files) {
            text += "  " + padRight(file.name, 11) + padLeft(number(file.bytes), 9) + " bytes  " +
                    (file.crc ? "CRC32 " + crcText(*file.crc) : file.problem) + '\n';
        }
    } else {
        if (outcome.mode == ReportMode::DryRun) {
            text += "Dry run: no file was written, so there is no CRC32. A compilation would write:\n";
        } else {
            text += std::string("Not compiled, so no file was written and there is no CRC32. ") +
                    (someNotPlaced(plan) ? "Without the rows marked \"not placed\" it would write:\n"
                                         : "Once the cause is mended it would write:\n");
        }
        text += "  " + padRight(kImageName, 11) + padLeft(number(usage.imageBytes), 9) + " bytes\n";
        for (int k = 1; k <= usage.pieces; ++k) {
            text += "  " + padRight(pieceName(k), 11) + padLeft(number(kPieceSize), 9) + " bytes  blocks " +
                    number(static_cast<std::uintmax_t>((k - 1) * kPieceBlocks)) + " to " +
                    number(static_cast<std::uintmax_t>(k * kPieceBlocks - 1)) + '\n';
        }
    }
    if (usage.pieces < kPieceCount) {
        const int unwritten = kPieceCount - usage.pieces;
        std::string skipped = pieceName(usage.pieces + 1);
        if (unwritten > 1) {
            skipped += (unwritten == 2 ? " and " : " to ") + pieceName(kPieceCount);
        }
        skipped += unwritten == 1 ? " is" : " are";
        if (outcome.mode == ReportMode::Inspected) {
            text += "  " + skipped + " not part of the image: it ends before them.\n";
        } else {
            text += "  " + skipped +
                    " not written: the image ends before them; files of those names from an\n"
                    "  earlier compilation " +
                    (outcome.mode == ReportMode::Written ? "are removed" : "would be removed") + ".\n";
        }
    }
    return text;
}

} // namespace

std::string crcText(std::uint32_t crc) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[crc & 0x0F];
        crc >>= 4;
    }
    return text;
}

std::string imageByteRange(int first, int last) {
    return hexOffset(static_cast<std::uintmax_t>(first) * kBlockSize) + "-" +
           hexOffset(static_cast<std::uintmax_t>(last + 1) * kBlockSize - 1);
}

std::string flashMapText(const FlashPlan& plan) {
    const std::string lead(19, ' '); // "bank 15  960-1023  "
    std::string ruler = lead;
    for (int column = 0; column < kSaveRegionBlocks; column += 8) {
        ruler += padRight(number(static_cast<std::uintmax_t>(column)), 8);
    }
    while (ruler.back() == ' ') {
        ruler.pop_back();
    }

    bool noRow = false;
    std::string text = ruler + '\n';
    for (int bank = 0; bank < kSaveBanks; ++bank) {
        const int first = bank * kSaveRegionBlocks;
        const int last = first + kSaveRegionBlocks - 1;
        if (first % static_cast<int>(kPieceBlocks) == 0) {
            text += pieceName(pieceOfBlock(first)) + " (blocks " +
                    number(static_cast<std::uintmax_t>(first)) + " to " +
                    number(static_cast<std::uintmax_t>(first + kPieceBlocks - 1)) + ")\n";
        }
        text += "bank " + padLeft(number(static_cast<std::uintmax_t>(bank)), 2) + "  " +
                padLeft(number(static_cast<std::uintmax_t>(first)), 4) + "-" +
                padLeft(number(static_cast<std::uintmax_t>(last)), 4) + "  ";
        for (int block = first; block <= last; ++block) {
            const int owner = plan.owner[static_cast<std::size_t>(block)];
            noRow = noRow || owner == kOwnerNoRow;
            text += blockLetter(owner);
        }
        std::size_t row = 0;
        if (const RowPlace* save = saveRomOfBank(plan, bank, row)) {
            text += "  save ROM: " + std::string(1, rowLetter(row)) + " " + save->name + '\n';
        } else {
            text += "  no save ROM\n";
        }
    }

    std::string key = "Key: '#' the menu, ";
    if (!plan.rows.empty()) {
        key += std::string("'A'") +
               (plan.rows.size() > 1 ? " to '" + std::string(1, rowLetter(plan.rows.size() - 1)) + "'" : "") +
               " the rows in table order (A-Z, then a-z, then 0-9, then '+'), ";
    }
    key += "'.' free";
    if (noRow) {
        key += ", '~' taken by no listed ROM";
    }
    return text + key + ".\n";
}

std::string placementReport(const FlashPlan& plan, const ReportOutcome& outcome) {
    std::string text = "\nPlacement report\n================\n";
    if (outcome.mode == ReportMode::Refused) {
        text += "Not compiled: " + outcome.refusal + "\n";
        if (someNotPlaced(plan)) {
            text +=
                "The rows marked \"not placed\" do not fit. The other rows are shown where they would go if\n"
                "those were removed from the table.\n";
        }
    }
    text += '\n' + rowsText(plan) + '\n' + usageText(plan.usage) + '\n';
    text +=
        "Flash map: one line per 2 MiB save region, one character per 32 KiB block.\n" + flashMapText(plan);
    text += '\n' + outputsText(plan, outcome);
    return text;
}

} // namespace romc
