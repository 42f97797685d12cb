#include "compile/menu_patch.h"
#include "compile/menu_table.h"
#include "romtable/number_text.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace romc {
namespace {

struct LocationCase {
    int location;
    int blocks;
    std::uint8_t high;
    std::uint8_t low;
};

TEST(MenuPatch, LocationBytesStepBy255) {
    const LocationCase cases[] = {
        {0, 1, 0x90, 0x00},     {1, 1, 0x90, 0x01},   {64, 64, 0x90, 0x40},   {255, 1, 0x90, 0xFF},
        {256, 1, 0x91, 0x01},   {300, 4, 0x91, 0x2D}, {510, 2, 0x91, 0xFF},   {511, 1, 0x92, 0x01},
        {765, 1, 0x92, 0xFF},   {766, 2, 0x93, 0x01}, {960, 8, 0x93, 0xC3},   {1021, 1, 0x94, 0x01},
        {1023, 1, 0x94, 0x03},  {192, 4, 0x90, 0xC0}, {256, 256, 0x01, 0x00}, {512, 256, 0x02, 0x00},
        {768, 256, 0x03, 0x00}, {0, 256, 0x00, 0x00},
    };
    for (const auto& c : cases) {
        const auto bytes = encodeLocation(c.location, c.blocks);
        EXPECT_EQ(bytes.high, c.high) << "location " << c.location << ", " << c.blocks << " blocks";
        EXPECT_EQ(bytes.low, c.low) << "location " << c.location << ", " << c.blocks << " blocks";
    }
}

struct NameCase {
    const char* name;
    const char* entry;
};

TEST(MenuPatch, NameEntryIsPaddedCutAndPrintable) {
    const NameCase cases[] = {
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"ABC", "ABC             "},
        {"", "                "},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP"},
        {"CAF\xC3\x89 TAB\t~", "CAF? TAB?~      "},
        {"\x7F\x1F", "??              "},
    };
    for (const auto& c : cases) {
        const auto entry = nameEntry(c.name);
        EXPECT_EQ(std::string(entry.begin(), entry.end()), c.entry) << c.name;
    }
}

void appendRow(RomTable& table, const std::string& name, int blocks, int location) {
    table.column(Column::Name).push_back(name);
    table.column(Column::File).push_back(name + ".gb");
    table.column(Column::Size).push_back(numberText(blocks));
    table.column(Column::SaveFlag).emplace_back(kSaveFlagNo);
    table.column(Column::SaveBank).emplace_back(kNoSaveBank);
    table.column(Column::Location).push_back(numberText(location));
    table.column(Column::Complement).push_back(numberText(blocks == 256 ? 192 : 256 - blocks));
}

std::vector<std::uint8_t> patched(const RomTable& table, const std::string& count, const std::string& pages,
                                  std::vector<std::uint8_t> menuBytes = test::menuTemplate()) {
    const auto patch = patchMenuTable(table, count, pages);
    EXPECT_TRUE(patch.ok()) << (patch.ok() ? "" : patch.failure().message);
    if (patch.ok()) {
        applyMenuPatch(menuBytes, patch.value());
    }
    return menuBytes;
}

TEST(MenuPatch, WritesEntriesAndCountsAndNothingElse) {
    RomTable table;
    appendRow(table, "PUZZLE", 32, 32);
    appendRow(table, "BIG", 256, 512);
    appendRow(table, "SAVER", 4, 192);
    const auto original = test::menuTemplate();
    const auto menuBytes = patched(table, "3", "1");

    std::vector<std::uint8_t> expected = original;
    const auto put = [&](std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    const auto putName = [&](std::size_t row, const std::string& entry) {
        std::copy(entry.begin(), entry.end(),
                  expected.begin() + 0x6F40 + 16 * static_cast<std::ptrdiff_t>(row));
    };
    putName(0, "PUZZLE          ");
    putName(1, "BIG             ");
    putName(2, "SAVER           ");
    put(0x4666 + 1, {0x90, 224, 32});
    put(0x466A + 1, {0x02, 192, 0x00});
    put(0x466E + 1, {0x90, 252, 0xC0});
    put(0x4043, {3});
    put(0x4048, {0});
    EXPECT_EQ(test::firstDifference(expected, menuBytes), "equal");
}

struct CountCase {
    int rows;
    std::uint8_t countByte;
    std::uint8_t lastPageByte;
};

TEST(MenuPatch, CountAndLastPageBytes) {
    const CountCase cases[] = {{1, 1, 0}, {10, 10, 0}, {11, 11, 1}, {20, 20, 1}, {21, 21, 2}, {255, 255, 25}};
    for (const auto& c : cases) {
        RomTable table;
        for (int r = 0; r < c.rows; ++r) {
            appendRow(table, "R" + std::to_string(r), 1, 1 + r);
        }
        const auto menuBytes = patched(table, numberText(c.rows), numberText((c.rows - 1) / 10 + 1));
        EXPECT_EQ(menuBytes[menu::kRomCountOffset], c.countByte) << c.rows << " rows";
        EXPECT_EQ(menuBytes[menu::kLastPageOffset], c.lastPageByte) << c.rows << " rows";
        if (c.rows == 255) {
            EXPECT_EQ(menuBytes[0x4A61], 255) << "the last location entry ends at 0x4A61";
            EXPECT_EQ(menuBytes[0x7F2F], ' ') << "the last name entry ends at 0x7F2F";
            EXPECT_EQ(menuBytes[0x7F20], 'R');
        }
    }
}

TEST(MenuPatch, ShortTemplateIsLengthenedWithZeros) {
    RomTable table;
    appendRow(table, "A", 1, 1);
    const auto menuBytes = patched(table, "1", "1", std::vector<std::uint8_t>(0x100, 0xAA));
    ASSERT_EQ(menuBytes.size(), 0x6F40u + 16);
    EXPECT_EQ(menuBytes[0xFF], 0xAA);
    EXPECT_EQ(menuBytes[0x100], 0x00);
    EXPECT_EQ(menuBytes[0x4042], 0x00);
    EXPECT_EQ(menuBytes[0x4666], 0x00) << "the first byte of a location entry is never written";
}

struct BadTextCase {
    const char* count;
    const char* pages;
    const char* complement;
    const char* message;
};

TEST(MenuPatch, RefusesTextsThatAreNotNumbersInRange) {
    const BadTextCase cases[] = {
        {"256", "26", "255", "the \"Number of ROMS\" box holds \"256\", not a number from 0 to 255"},
        {"x", "1", "255", "\"Number of ROMS\" box holds \"x\""},
        {"1", "0", "255", "the \"Pages\" box holds \"0\", not a number from 1 to 256"},
        {"1", "257", "255", "\"Pages\" box holds \"257\""},
        {"1", "1", "256", "row 1 (\"A\"): its complement \"256\" is not a number from 0 to 255"},
        {"1", "1", "", "its complement \"\""},
    };
    for (const auto& c : cases) {
        RomTable table;
        appendRow(table, "A", 1, 1);
        table.column(Column::Complement)[0] = c.complement;
        const auto patch = patchMenuTable(table, c.count, c.pages);
        ASSERT_FALSE(patch.ok()) << c.message;
        EXPECT_NE(patch.failure().message.find(c.message), std::string::npos) << patch.failure().message;
    }
}

} // namespace
} // namespace romc
