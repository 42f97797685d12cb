// Reading the menu table back: the inverse of every location the patch writes, each entry no compilation
// could have written (crafted in block 0), and seeded random tables patched and read back row by row.
#include "compile/menu_patch.h"
#include "compile/menu_read.h"
#include "compile/menu_table.h"
#include "compile/placement.h"
#include "support/table_fixture.h"

#include <iostream>
#include <optional>
#include <random>
#include <tuple>

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

constexpr std::uintmax_t kBlock = kBlockSize;

struct EntryCase {
    std::vector<Entry> rows;
    std::uintmax_t imageBytes; // 0: "Menu.GB" alone
    std::string problem;       // a part of the one problem expected
};

TEST(MenuRead, EachEntryNoCompilationWritesIsNamed) {
    const EntryCase cases[] = {
        {{{"A", 0x95, 0x01, 255}},
         0,
         "row 1 (\"A\"): location bytes 0x95 0x01: a high byte is 0x90 to 0x94, or 0"},
        {{{"A", 0x8F, 0x01, 255}}, 0, "location bytes 0x8F 0x01: a high byte is"},
        {{{"A", 0x04, 0x00, 192}}, 0, "location bytes 0x04 0x00: a high byte is"},
        {{{"A", 0x91, 0x00, 255}}, 0, "location bytes 0x91 0x00 are no location"},
        {{{"A", 0x01, 0x05, 192}}, 0, "are neither form"},
        {{{"A", 0x02, 0x00, 224}}, 0, "but its complement is 224, not 192"},
        {{{"A", 0x90, 0x20, 0}}, 0, "complement 0 gives a size of 0 blocks"},
        {{{"A", 0x90, 0x00, 224}}, 0, "location 0: the row has no place in flash"},
        {{{"A", 0x00, 0x00, 192}}, 0, "location 0"}, // an 8 MiB ROM at quarter 0
        {{{"A", 0x94, 0x04, 255}}, 0, "blocks 1024 to 1024 run past the last flash block"},
        {{{"A", 0x94, 0x01, 248}}, 0, "blocks 1021 to 1028 run past the last flash block"},
        {{{"A", 0x90, 0x03, 254}}, 0, "block 3 is neither a multiple of its 2 blocks"},
        {{{"A", 0x90, 0x20, 224}}, 63 * kBlock, "blocks 32 to 63 run past the end of the image"},
        {{{"A", 0x90, 0x20, 224}, {"B", 0x90, 0x30, 240}},
         0,
         "row 2 (\"B\"): blocks 48 to 63 overlap row 1 (\"A\") at blocks 32 to 63"},
    };
    for (const auto& c : cases) {
        const auto read =
            readMenuTable(craftedMenu(c.rows), c.imageBytes ? std::optional(c.imageBytes) : std::nullopt);
        ASSERT_EQ(read.problems.size(), 1u) << c.problem;
        EXPECT_NE(read.problems[0].find(c.problem), std::string::npos) << read.problems[0];
        EXPECT_FALSE(read.rows.back().place) << "an untrusted row has no place";
    }
}

TEST(MenuRead, CountAndPageByteMustAgree) {
    const std::vector<Entry> one{{"A", 0x90, 0x01, 255}};
    const std::tuple<int, int, std::size_t, std::string> cases[] = {
        {0, 0, menu::kNameEntries, "the ROM count is 0"},
        {1, 1, menu::kNameEntries + 16, "the last page byte is 1, but 1 ROMs end on page 0"},
        {1, 30, menu::kNameEntries + 16, "past the 255 a menu lists"},
        {2, 0, menu::kNameEntries + 31, "block 0 is 28511 bytes, too short for the name entries of 2 ROMs"},
        {1, 0, menu::kLastPageOffset, "block 0 is 16456 bytes, too short to hold a menu table"},
    };
    for (const auto& [count, lastPage, bytes, problem] : cases) {
        Bytes menu = craftedMenu(one, count, lastPage);
        menu.resize(bytes);
        const auto read = readMenuTable(menu, std::nullopt);
        ASSERT_EQ(read.problems.size(), 1u) << problem;
        EXPECT_NE(read.problems[0].find(problem), std::string::npos) << read.problems[0];
    }
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
    std::vector<std::string> small;
    std::vector<std::string> any;
    for (int size : {1, 2, 3, 4, 7, 8, 16, 24, 32, 48, 64, 100, 128, 256}) {
        (size <= 4 ? small : any).push_back(romFile(size));
    }
    any.insert(any.end(), small.begin(), small.end());
    std::mt19937 random(20240615);
    int tables = 0;
    int rowsRead = 0;
    for (int attempt = 0; tables < 400; ++attempt) {
        clearList(state);
        // Every tenth table has up to 255 rows of small ROMs, so that long tables fit.
        const bool longTable = attempt % 10 == 0;
        addRandomRows(random, longTable ? small : any,
                      std::uniform_int_distribution<int>(1, longTable ? 255 : 24)(random));
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
