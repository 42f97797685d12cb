// Reading the menu table back: the inverse of every location the patch writes, each entry no compilation
// could have written (crafted in block 0), and seeded random tables patched and read back row by row.
#include "compile/menu_patch.h"
#include "compile/menu_read.h"
#include "compile/menu_table.h"
#include "compile/placement.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <iostream>
#include <optional>
#include <random>

namespace romc {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Entry {
    std::string name;
    std::uint8_t high;
    std::uint8_t low;
    std::uint8_t complement;
};

// Block 0 of a template with these rows; a count or last page byte of -1 is the one the rows give.
Bytes craftedMenu(const std::vector<Entry>& rows, int count = -1, int lastPage = -1) {
    Bytes menu = test::menuTemplate();
    const int n = count >= 0 ? count : static_cast<int>(rows.size());
    menu[menu::kRomCountOffset] = static_cast<std::uint8_t>(n);
    menu[menu::kLastPageOffset] = static_cast<std::uint8_t>(lastPage >= 0 ? lastPage : (n - 1) / 10);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t entry = menu::kLocationEntries + 4 * r;
        menu[entry + 1] = rows[r].high;
        menu[entry + 2] = rows[r].complement;
        menu[entry + 3] = rows[r].low;
        std::string name = rows[r].name;
        name.resize(16, ' ');
        std::copy(name.begin(), name.end(),
                  menu.begin() + static_cast<std::ptrdiff_t>(menu::kNameEntries + 16 * r));
    }
    return menu;
}

std::vector<std::pair<int, int>> placesOf(const MenuTableRead& read) {
    std::vector<std::pair<int, int>> places;
    for (const auto& row : read.rows) {
        places.emplace_back(row.place ? row.place->first : -1, row.place ? row.place->blocks : -1);
    }
    return places;
}

TEST(MenuRead, EveryWrittenLocationReadsBack) {
    for (int blocks = 1; blocks <= kMaxRomBlocks; ++blocks) {
        const auto complement = static_cast<std::uint8_t>(blocks == 256 ? 192 : 256 - blocks);
        const int step = blocks == 256 ? 256 : 1; // an 8 MiB ROM is placed only at a quarter
        for (int first = step; first + blocks - 1 <= kLastBlock; first += step) {
            const auto place = decodeLocation(encodeLocation(first, blocks), complement);
            ASSERT_TRUE(place.ok()) << first << " " << blocks << ": " << place.failure().message;
            ASSERT_EQ(place.value().first, first) << blocks;
            ASSERT_EQ(place.value().blocks, blocks) << first;
        }
    }
}

struct TableCase {
    TableCase(const char* what, std::vector<Entry> rows, std::string problem,
              std::vector<std::pair<int, int>> places = {},
              std::optional<std::uintmax_t> imageBytes = std::nullopt, int count = -1, int lastPage = -1)
        : what(what), rows(std::move(rows)), problem(std::move(problem)), places(std::move(places)),
          imageBytes(imageBytes), count(count), lastPage(lastPage) {}
    const char* what;
    std::vector<Entry> rows;
    std::string problem;                      // a part of the one problem expected; "" for none
    std::vector<std::pair<int, int>> places;  // first block and blocks per row when there is no problem
    std::optional<std::uintmax_t> imageBytes; // none: "Menu.GB" alone
    int count;
    int lastPage;
};

constexpr std::uintmax_t kBlock = kBlockSize;

TEST(MenuRead, EachEntryNoCompilationWritesIsNamed) {
    const TableCase cases[] = {
        // Corners that a compilation does write.
        {"complement 192 in the stepped form is 64 blocks", {{"A", 0x90, 0x40, 192}}, "", {{64, 64}}},
        {"complement 192 in the quarter form is 256 blocks", {{"A", 0x01, 0x00, 192}}, "", {{256, 256}}},
        {"8 MiB ROM in the last quarter ends at block 1023",
         {{"A", 0x03, 0x00, 192}},
         "",
         {{768, 256}},
         kFlashSize},
        {"either side of the first step of 255",
         {{"A", 0x90, 0xFF, 255}, {"B", 0x91, 0x01, 255}},
         "",
         {{255, 1}, {256, 1}}},
        {"block 1023", {{"A", 0x94, 0x03, 255}}, "", {{1023, 1}}, 1024 * kBlock},
        {"save ROM of bank 0 at the block of its size", {{"A", 0x90, 0x20, 224}}, "", {{32, 32}}},
        {"save ROM longer than its region at its start", {{"A", 0x90, 0x80, 156}}, "", {{128, 100}}},
        // Entries no compilation writes.
        {"high byte past 0x94",
         {{"A", 0x95, 0x01, 255}},
         "row 1 (\"A\"): location bytes 0x95 0x01: a high byte is"},
        {"high byte below 0x90", {{"A", 0x8F, 0x01, 255}}, "a high byte is 0x90 to 0x94, or 0 to 3"},
        {"high byte between the quarters and 0x90", {{"A", 0x04, 0x00, 192}}, "a high byte is"},
        {"low byte 0 after a step", {{"A", 0x91, 0x00, 255}}, "location bytes 0x91 0x00 are no location"},
        {"quarter form with a low byte", {{"A", 0x01, 0x05, 192}}, "are neither form"},
        {"quarter form without complement 192",
         {{"A", 0x02, 0x00, 224}},
         "but its complement is 224, not 192"},
        {"complement 0", {{"A", 0x90, 0x20, 0}}, "complement 0 gives a size of 0 blocks"},
        {"unplaced row at location 0", {{"A", 0x90, 0x00, 224}}, "location 0: the row has no place in flash"},
        {"8 MiB ROM at quarter 0", {{"A", 0x00, 0x00, 192}}, "location 0"},
        {"location past block 1023",
         {{"A", 0x94, 0x04, 255}},
         "blocks 1024 to 1024 run past the last flash block"},
        {"blocks past block 1023",
         {{"A", 0x94, 0x01, 248}},
         "blocks 1021 to 1028 run past the last flash block"},
        {"no placement puts it there",
         {{"A", 0x90, 0x03, 254}},
         "block 3 is neither a multiple of its 2 blocks"},
        {"blocks past the image",
         {{"A", 0x90, 0x20, 224}},
         "blocks 32 to 63 run past the end of the image",
         {},
         63 * kBlock},
        {"two ROMs overlap",
         {{"A", 0x90, 0x20, 224}, {"B", 0x90, 0x30, 240}},
         "row 2 (\"B\"): blocks 48 to 63 overlap row 1 (\"A\") at blocks 32 to 63"},
        {"count 0", {}, "the ROM count is 0", {}, std::nullopt, 0, 0},
        {"page byte of fewer rows",
         {{"A", 0x90, 0x01, 255}},
         "the last page byte is 1, but 1 ROMs end on page 0",
         {},
         std::nullopt,
         -1,
         1},
        {"page byte of more than 255 rows",
         {{"A", 0x90, 0x01, 255}},
         "past the 255 a menu lists",
         {},
         std::nullopt,
         -1,
         30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MenuTableRead read = readMenuTable(craftedMenu(c.rows, c.count, c.lastPage), c.imageBytes);
        if (c.problem.empty()) {
            EXPECT_TRUE(read.problems.empty()) << read.problems.front();
            EXPECT_EQ(placesOf(read), c.places);
        } else {
            ASSERT_EQ(read.problems.size(), 1u);
            EXPECT_NE(read.problems[0].find(c.problem), std::string::npos) << read.problems[0];
            if (read.problems[0].starts_with("row ")) {
                EXPECT_FALSE(read.rows.back().place) << "an untrusted row has no place";
            }
        }
    }
}

TEST(MenuRead, ShortBlockZeroHoldsNoTable) {
    EXPECT_EQ(readMenuTable(Bytes(menu::kLastPageOffset, 0), std::nullopt).problems,
              std::vector<std::string>{"block 0 is 16456 bytes, too short to hold a menu table"});
    Bytes menu = craftedMenu({{"A", 0x90, 0x01, 255}, {"B", 0x90, 0x02, 255}});
    menu.resize(menu::kNameEntries + 16 + 15);
    const auto read = readMenuTable(menu, std::nullopt);
    EXPECT_EQ(read.rows.size(), 1u);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_NE(read.problems[0].find("too short for the name entries of 2 ROMs"), std::string::npos);
}

TEST(MenuRead, NamesAsTheEntriesHoldThem) {
    const auto read = readMenuTable(craftedMenu({{"PUZZLE", 0x90, 0x01, 255},
                                                 {"A B  ", 0x90, 0x02, 255},
                                                 {"ABCDEFGHIJKLMNOP", 0x90, 0x03, 255},
                                                 {"", 0x90, 0x04, 255},
                                                 {"\x01\tA\\\xC3", 0x90, 0x05, 255}}),
                                    std::nullopt);
    ASSERT_TRUE(read.problems.empty());
    std::vector<std::string> names;
    for (const auto& row : read.rows) {
        names.push_back(escapedName(row.name));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"PUZZLE", "A B", "ABCDEFGHIJKLMNOP", "", "\\x01\\x09A\\x5C\\xC3"}));
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0].rfind("row 5 (\"\\x01\\x09A\\x5C\\xC3\"): the name holds bytes", 0), 0u);
}

// Random tables as users fill them (save ROMs, removed rows, names of every printable kind), patched into
// the template by the compilation's own steps and read back.
class MenuReadBack : public test::TableFixture {};

TEST_F(MenuReadBack, RandomTablesReadBackRowByRow) {
    const std::vector<int> sizes = {1, 2, 3, 4, 7, 8, 16, 24, 32, 48, 64, 100, 128, 256};
    std::vector<std::string> files;
    for (int size : sizes) {
        files.push_back(romFile(size));
    }
    std::mt19937 random(20240615);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::string alphabet = "abcXYZ 0129-!.'/~";
    int tables = 0;
    int rowsRead = 0;
    for (int attempt = 0; tables < 400; ++attempt) {
        clearList(state);
        const int rows = pick(1, attempt % 10 == 0 ? 255 : 24);
        for (int r = 0; r < rows; ++r) {
            std::string name;
            for (int i = pick(0, 20); i > 0; --i) {
                name += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
            }
            const std::size_t file = static_cast<std::size_t>(pick(0, rows > 24 ? 3 : 13));
            if (add(files[file], pick(0, 3) == 0, name)) {
                continue; // a save ROM that would run past block 1023
            }
            if (pick(0, 15) == 0) {
                selectNameRow(state, pick(0, static_cast<int>(state.table.rowCount()) - 1));
                removeRom(state);
            }
        }
        RomTable table = state.table;
        BlockMap blocks = state.blocks;
        if (table.rowCount() == 0 || placeRoms(table, blocks)) {
            continue; // a table that does not fit is refused before any menu is written
        }
        const auto patch = patchMenuTable(table, state.romCountText, state.pagesText);
        ASSERT_TRUE(patch.ok()) << patch.failure().message;
        Bytes menu = test::menuTemplate();
        applyMenuPatch(menu, patch.value());
        const MenuTableRead read = readMenuTable(menu, std::nullopt);
        ASSERT_TRUE(read.problems.empty()) << "table " << tables << ": " << read.problems.front();
        ASSERT_EQ(read.rows.size(), table.rowCount());
        for (std::size_t r = 0; r < table.rowCount(); ++r) {
            std::string name = table.text(r, Column::Name).substr(0, 16);
            name.erase(name.find_last_not_of(' ') + 1);
            ASSERT_EQ(read.rows[r].name, name) << "table " << tables << " row " << r;
            ASSERT_EQ(read.rows[r].place->first, std::stoi(table.text(r, Column::Location)));
            ASSERT_EQ(read.rows[r].place->blocks, std::stoi(table.text(r, Column::Size)));
        }
        ++tables;
        rowsRead += static_cast<int>(table.rowCount());
    }
    std::cout << "[ read back  ] " << tables << " tables, " << rowsRead << " rows\n";
}

} // namespace
} // namespace romc
