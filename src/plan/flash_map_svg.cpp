#include "plan/flash_map_svg.h"

#include "compile/image.h"
#include "plan/flash_colours.h"
#include "romtable/rom_name.h"

#include <algorithm>
#include <cstdio>

namespace romc {

namespace {

// Geometry in SVG pixels: one cell per block, one grid row per save region.
constexpr int kCellWidth = 15;
constexpr int kCellHeight = 26;
constexpr int kGridX = 112;
constexpr int kGridY = 74;
constexpr int kGridWidth = kSaveRegionBlocks * kCellWidth;
constexpr int kGridHeight = kSaveBanks * kCellHeight;
constexpr int kBankLabelX = kGridX + kGridWidth + 12;
constexpr int kWidth = kBankLabelX + 250;
constexpr int kLegendY = kGridY + kGridHeight + 40;
constexpr int kLegendLine = 20;
constexpr int kLegendColumns = 2;
constexpr int kLegendColumnWidth = (kWidth - 40) / kLegendColumns;
constexpr double kMonoCharWidth = 6.7; // 11 px monospace
constexpr int kRegionsPerPiece = static_cast<int>(kPieceBlocks) / kSaveRegionBlocks;

static_assert(kSaveBanks * kSaveRegionBlocks == kFlashBlocks, "the grid holds every block once");

std::string num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string rowFill(std::size_t row) {
    return cssColour(romFill(row));
}
std::string rowStroke(std::size_t row) {
    return cssColour(romFrame(row));
}

// Text for XML: markup characters escaped, a control character shown as \xNN as everywhere else, and a
// byte that starts no UTF-8 character (or one of the two characters XML forbids) replaced by U+FFFD, so
// that any file name still makes a well-formed document.
std::vector<std::string> xmlCharacters(std::string_view text) {
    static constexpr const char* kReplacement = "\xEF\xBF\xBD";
    std::vector<std::string> characters;
    for (const auto character : splitCharacters(text)) {
        const auto first = static_cast<unsigned char>(character.front());
        if (character.size() == 1 && (first < 0x20 || first == 0x7F)) {
            characters.push_back(shownText(character));
        } else if ((character.size() == 1 && first > 0x7F) || character == "\xEF\xBF\xBE" ||
                   character == "\xEF\xBF\xBF") {
            characters.emplace_back(kReplacement);
        } else if (character == "&") {
            characters.emplace_back("&amp;");
        } else if (character == "<") {
            characters.emplace_back("&lt;");
        } else if (character == ">") {
            characters.emplace_back("&gt;");
        } else if (character == "\"") {
            characters.emplace_back("&quot;");
        } else {
            characters.emplace_back(character);
        }
    }
    return characters;
}

std::string xml(std::string_view text) {
    std::string escaped;
    for (const auto& character : xmlCharacters(text)) {
        escaped += character;
    }
    return escaped;
}

// How many monospace characters `width` pixels hold.
std::size_t charactersIn(double width) {
    return static_cast<std::size_t>(std::max(0.0, width / kMonoCharWidth));
}

// As much of `text` as `room` characters hold, cut with an ellipsis.
std::string fitted(std::string_view text, std::size_t room) {
    const auto characters = xmlCharacters(text);
    if (characters.size() <= room) {
        std::string all;
        for (const auto& character : characters) {
            all += character;
        }
        return all;
    }
    std::string cut;
    for (std::size_t i = 0; i + 1 < room; ++i) {
        cut += characters[i];
    }
    return cut.empty() ? cut : cut + "\u2026";
}

int cellX(int block) {
    return kGridX + (block % kSaveRegionBlocks) * kCellWidth;
}
int cellY(int block) {
    return kGridY + (block / kSaveRegionBlocks) * kCellHeight;
}

std::string rect(int x, int y, int width, int height, const std::string& attributes) {
    return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" " + attributes + "/>\n";
}

std::string text(double x, double y, const std::string& content, const std::string& attributes) {
    return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + attributes + ">" + content + "</text>\n";
}

std::string cells(const FlashPlan& plan) {
    std::string svg = "<g id=\"blocks\">\n";
    for (int block = 0; block < kFlashBlocks; ++block) {
        const int owner = plan.owner[static_cast<std::size_t>(block)];
        const std::string id = "id=\"block-" + std::to_string(block) + "\" ";
        std::string attributes;
        switch (owner) {
        case kOwnerMenu:
            attributes =
                id + "class=\"menu\" fill=\"" + kMenuFill + "\" stroke=\"#ffffff\" stroke-width=\"0.6\"";
            break;
        case kOwnerFree:
            attributes =
                id + "class=\"free\" fill=\"" + kFreeFill + "\" stroke=\"#d4d4d4\" stroke-width=\"0.6\"";
            break;
        case kOwnerNoRow:
            attributes =
                id + "class=\"none\" fill=\"" + kNoRowFill + "\" stroke=\"#ffffff\" stroke-width=\"0.6\"";
            break;
        default: {
            const auto row = static_cast<std::size_t>(owner);
            attributes = id + "class=\"rom\" data-row=\"" + std::to_string(row) + "\" data-letter=\"" +
                         xml(std::string(1, rowLetter(row))) + "\" fill=\"" + rowFill(row) +
                         "\" stroke=\"#ffffff\" stroke-opacity=\"0.7\" stroke-width=\"0.6\"";
        }
        }
        svg += rect(cellX(block), cellY(block), kCellWidth, kCellHeight, attributes);
    }
    return svg + "</g>\n";
}

// Each ROM's blocks, cut by grid row into runs, framed and labelled with the row's letter and as much of
// its name as the run holds.
std::string romLabels(const FlashPlan& plan) {
    std::string svg =
        "<g id=\"roms\" font-family=\"DejaVu Sans Mono, Menlo, Consolas, monospace\" font-size=\"11\">\n";
    for (int block = 0; block < kFlashBlocks;) {
        const int owner = plan.owner[static_cast<std::size_t>(block)];
        int end = block + 1;
        while (end < kFlashBlocks && end % kSaveRegionBlocks != 0 &&
               plan.owner[static_cast<std::size_t>(end)] == owner) {
            ++end;
        }
        const int x = cellX(block);
        const int y = cellY(block);
        const int width = (end - block) * kCellWidth;
        if (owner == kOwnerMenu) {
            svg += text(x + kCellWidth / 2.0, y + kCellHeight / 2.0 + 4, "#",
                        "fill=\"#ffffff\" text-anchor=\"middle\" font-weight=\"bold\"");
        } else if (owner >= 0) {
            const auto row = static_cast<std::size_t>(owner);
            const RowPlace& place = plan.rows[row];
            svg += rect(x, y, width, kCellHeight,
                        "fill=\"none\" stroke=\"" + rowStroke(row) + "\" stroke-width=\"1.4\"");
            const std::string label = std::string(1, rowLetter(row)) + " " + place.name;
            const std::string shown =
                width >= 3 * kCellWidth ? fitted(label, charactersIn(width - 6)) : xml(label.substr(0, 1));
            if (width >= 3 * kCellWidth) {
                svg += text(x + 3, y + kCellHeight / 2.0 + 4, shown, "fill=\"#111111\"");
            } else {
                svg += text(x + width / 2.0, y + kCellHeight / 2.0 + 4, shown,
                            "fill=\"#111111\" text-anchor=\"middle\" font-weight=\"bold\"");
            }
        }
        block = end;
    }
    return svg + "</g>\n";
}

std::string boundaries() {
    std::string svg = "<g id=\"boundaries\" stroke=\"#263238\">\n";
    for (int region = 0; region <= kSaveBanks; ++region) {
        const bool piece = region % kRegionsPerPiece == 0;
        const int y = kGridY + region * kCellHeight;
        svg += "<line x1=\"" + std::to_string(piece ? 8 : kGridX) + "\" y1=\"" + std::to_string(y) +
               "\" x2=\"" + std::to_string(kGridX + kGridWidth) + "\" y2=\"" + std::to_string(y) +
               "\" stroke-width=\"" + (piece ? "3" : "1.2") + "\"/>\n";
    }
    for (const int x : {kGridX, kGridX + kGridWidth}) {
        svg += "<line x1=\"" + std::to_string(x) + "\" y1=\"" + std::to_string(kGridY) + "\" x2=\"" +
               std::to_string(x) + "\" y2=\"" + std::to_string(kGridY + kGridHeight) +
               "\" stroke-width=\"1.5\"/>\n";
    }
    return svg + "</g>\n";
}

std::string axisLabels(const FlashPlan& plan) {
    std::string svg =
        "<g id=\"labels\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" font-size=\"11\" "
        "fill=\"#263238\">\n";
    for (int column = 0; column < kSaveRegionBlocks; column += 8) {
        svg += text(kGridX + column * kCellWidth + 2, kGridY - 6, std::to_string(column), "");
    }
    svg +=
        text(kGridX + kGridWidth, kGridY - 6, std::to_string(kSaveRegionBlocks - 1), "text-anchor=\"end\"");
    for (int piece = 1; piece <= kPieceCount; ++piece) {
        const double middle =
            kGridY + ((piece - 1) * kRegionsPerPiece + kRegionsPerPiece / 2.0) * kCellHeight;
        svg += text(20, middle, pieceName(piece),
                    "transform=\"rotate(-90 20 " + num(middle) +
                        ")\" text-anchor=\"middle\" font-weight=\"bold\"");
    }
    for (int bank = 0; bank < kSaveBanks; ++bank) {
        const int first = bank * kSaveRegionBlocks;
        const int y = kGridY + bank * kCellHeight;
        svg += text(kGridX - 6, y + 11, "bank " + std::to_string(bank),
                    "text-anchor=\"end\" font-weight=\"bold\"");
        svg += text(kGridX - 6, y + 23,
                    std::to_string(first) + "\u2013" + std::to_string(first + kSaveRegionBlocks - 1),
                    "text-anchor=\"end\" font-size=\"10\" fill=\"#607d8b\"");
        const auto holder = std::find_if(plan.rows.begin(), plan.rows.end(),
                                         [bank](const RowPlace& place) { return place.saveBank == bank; });
        if (holder != plan.rows.end()) {
            const auto row = static_cast<std::size_t>(holder - plan.rows.begin());
            svg += rect(kBankLabelX, y + 6, 14, 14,
                        "fill=\"" + rowFill(row) + "\" stroke=\"" + rowStroke(row) + "\"");
            svg += text(kBankLabelX + 20, y + 17,
                        "save bank " + std::to_string(bank) + ": " + xml(std::string(1, rowLetter(row))) +
                            " " + fitted(holder->name, charactersIn(150)),
                        "font-weight=\"bold\"");
        } else {
            svg += text(kBankLabelX + 20, y + 17, "save bank " + std::to_string(bank) + ": no save ROM",
                        "fill=\"#90a4ae\"");
        }
    }
    return svg + "</g>\n";
}

// One line of the legend, in columns placed by x so that they line up in any viewer; texts already escaped.
struct LegendEntry {
    std::string fill;
    std::string stroke;
    std::string letter;
    std::string name;
    std::string blocks;
    std::string place;
};

std::vector<LegendEntry> legendEntries(const FlashPlan& plan) {
    std::vector<LegendEntry> entries;
    entries.push_back({kMenuFill, "#263238", "#", "menu", "1 block", "at block 0"});
    entries.push_back({kFreeFill, "#9e9e9e", ".", "free block", "", ""});
    if (std::find(plan.owner.begin(), plan.owner.end(), kOwnerNoRow) != plan.owner.end()) {
        entries.push_back({kNoRowFill, "#616161", "~", "taken by no listed ROM", "", ""});
    }
    for (std::size_t row = 0; row < plan.rows.size(); ++row) {
        const RowPlace& place = plan.rows[row];
        LegendEntry entry{rowFill(row),
                          rowStroke(row),
                          xml(std::string(1, rowLetter(row))),
                          fitted(place.name, kMenuNameLength),
                          std::to_string(place.blocks) + (place.blocks == 1 ? " block" : " blocks"),
                          ""};
        if (!place.first) {
            entry.place = "not placed";
        } else if (place.blocks == 1) {
            entry.place = "at block " + std::to_string(*place.first);
        } else {
            entry.place =
                "at blocks " + std::to_string(*place.first) + "\u2013" + std::to_string(place.last());
        }
        if (place.saveBank) {
            entry.place += ", save bank " + std::to_string(*place.saveBank);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

bool isFlashMapFile(Disk& disk, const std::filesystem::path& path) {
    auto opened = disk.openForReading(path);
    if (!opened.value || opened.value->kind() != FileKind::Regular) {
        return false;
    }
    constexpr std::size_t kLookAt = 256;
    std::vector<std::uint8_t> head(kLookAt);
    std::size_t got = 0;
    if (opened.value->readAt(0, head, got)) {
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(head.data()), got);
    return text.find(kFlashMapSignature) != std::string_view::npos;
}

std::string flashMapSvg(const FlashPlan& plan) {
    const auto entries = legendEntries(plan);
    const int legendRows = static_cast<int>((entries.size() + kLegendColumns - 1) / kLegendColumns);
    const int height = kLegendY + 24 + legendRows * kLegendLine + 16;
    const auto used = std::count(plan.blocks.begin(), plan.blocks.end(), std::int16_t{1});

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + std::string(kFlashMapSignature) +
                      "\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) +
                      "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(kWidth) +
                      " " + std::to_string(height) + "\">\n";
    svg += "<title>Flash map</title>\n";
    svg += rect(0, 0, kWidth, height, "fill=\"#ffffff\"");
    svg += "<g font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" fill=\"#263238\">\n";
    svg += text(kGridX, 26,
                "Flash map: " + std::to_string(plan.rows.size()) +
                    (plan.rows.size() == 1 ? " ROM, " : " ROMs, ") + std::to_string(used) + " of " +
                    std::to_string(kFlashBlocks) + " blocks used",
                "font-size=\"17\" font-weight=\"bold\"");
    svg += text(
        kGridX, 46,
        "one row per 2 MiB save region (its save bank at the left and right), one cell per 32 KiB block; "
        "4 rows make one 8 MiB piece",
        "font-size=\"12\"");
    svg += "</g>\n";
    svg += cells(plan) + romLabels(plan) + boundaries() + axisLabels(plan);

    svg += "<g id=\"legend\" font-family=\"DejaVu Sans Mono, Menlo, Consolas, "
           "monospace\" font-size=\"12\" "
           "fill=\"#263238\">\n";
    svg += text(20, kLegendY, "Legend",
                "font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" "
                "font-size=\"14\" font-weight=\"bold\"");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int column = static_cast<int>(i) / legendRows;
        const int line = static_cast<int>(i) % legendRows;
        const int x = 20 + column * kLegendColumnWidth;
        const int y = kLegendY + 14 + line * kLegendLine;
        svg += rect(x, y, 14, 14, "fill=\"" + entries[i].fill + "\" stroke=\"" + entries[i].stroke + "\"");
        svg += text(x + 22, y + 11, entries[i].letter, "font-weight=\"bold\"");
        svg += text(x + 40, y + 11, entries[i].name, "");
        svg += text(x + 220, y + 11, entries[i].blocks, "text-anchor=\"end\"");
        svg += text(x + 234, y + 11, entries[i].place, "");
    }
    svg += "</g>\n</svg>\n";
    return svg;
}

} // namespace romc
