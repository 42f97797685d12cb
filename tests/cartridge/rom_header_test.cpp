// The cartridge header checks: facts for every ROM and a warning for each thing that will go wrong on the
// cartridge, on made-up headers. A header never refuses a ROM.
#include "cartridge/rom_header.h"
#include "romtable/add_rom.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace romc {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The title is a view of each case's literal: an owning string in these aggregate tables trips GCC 12's
// -Wmaybe-uninitialized at -O2 and above.
struct Fields {
    std::string_view title = "MADE UP";
    std::uint8_t colourFlag = 0x00;
    std::uint8_t cartridgeType = 0x00;
    std::uint8_t romSizeCode = 0x00;
    std::uint8_t ramSizeCode = 0x00;
    int logoFill = -1; // a byte every logo byte is set to; -1 keeps the pattern
};

// The boot ROM's sum, written out here on its own so the product's sum is checked against it.
std::uint8_t expectedChecksum(const Bytes& bytes) {
    int x = 0;
    for (std::size_t offset = 0x134; offset <= 0x14C; ++offset) {
        x = (x - bytes[offset] - 1) & 0xFF;
    }
    return static_cast<std::uint8_t>(x);
}

// The first 0x150 bytes of a ROM with these header fields and, unless told otherwise, the right checksum.
Bytes headerBytes(const Fields& fields, int checksumError = 0) {
    Bytes bytes = test::romBytes(0x150, 77);
    for (std::size_t i = 0; i < 16; ++i) {
        bytes[0x134 + i] = i < fields.title.size() ? static_cast<std::uint8_t>(fields.title[i]) : 0;
    }
    if (fields.colourFlag != 0) {
        bytes[0x143] = fields.colourFlag;
    }
    bytes[0x147] = fields.cartridgeType;
    bytes[0x148] = fields.romSizeCode;
    bytes[0x149] = fields.ramSizeCode;
    if (fields.logoFill >= 0) {
        std::fill(bytes.begin() + 0x104, bytes.begin() + 0x134, static_cast<std::uint8_t>(fields.logoFill));
    }
    bytes[0x14D] = static_cast<std::uint8_t>(expectedChecksum(bytes) + checksumError);
    return bytes;
}

RomHeader parsed(const Bytes& bytes) {
    const auto header = parseRomHeader(bytes);
    EXPECT_TRUE(header.has_value());
    return header.value_or(RomHeader{});
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

TEST(RomHeader, ChecksumOfKnownHeaders) {
    Bytes zeros(0x150, 0x00);
    EXPECT_EQ(headerChecksum(zeros), 0xE7); // 25 bytes of 0 each subtract 1: 0 - 25 = 0xE7
    Bytes ones(0x150, 0xFF);
    EXPECT_EQ(headerChecksum(ones), 0x00); // each 0xFF subtracts 256
    const Bytes made = headerBytes({"QUEST", 0x80, 0x1B, 0x05, 0x03});
    EXPECT_EQ(headerChecksum(made), expectedChecksum(made));
}

TEST(RomHeader, ReadsEachField) {
    const RomHeader header = parsed(headerBytes({"QUEST", 0x00, 0x13, 0x05, 0x03}, 1));
    EXPECT_EQ(header.title, "QUEST");
    EXPECT_EQ(header.cartridgeType, 0x13);
    EXPECT_EQ(header.romSizeCode, 0x05);
    EXPECT_EQ(header.ramSizeCode, 0x03);
    EXPECT_EQ(header.storedChecksum, static_cast<std::uint8_t>(header.headerChecksum + 1));
}

struct TitleCase {
    const char* what;
    std::string title;
    std::uint8_t colourFlag;
    std::string expected;
};

TEST(RomHeader, TitleStopsAtZeroAndAtTheColourFlag) {
    const TitleCase cases[] = {
        {"short title padded with zeros", "PUZZLE", 0x00, "PUZZLE"},
        {"16 characters on a Game Boy ROM", "ABCDEFGHIJKLMNOP", 0x00, "ABCDEFGHIJKLMNOP"},
        {"colour enhanced gives byte 0x143 to the flag", "ABCDEFGHIJKLMNOP", 0x80, "ABCDEFGHIJKLMNO"},
        {"colour only likewise", "ABCDEFGHIJKLMNOP", 0xC0, "ABCDEFGHIJKLMNO"},
        {"trailing blanks dropped", "GOLF   ", 0x00, "GOLF"},
        {"unprintable byte shown as ?", std::string("A\x01Z"), 0x00, "A?Z"},
    };
    for (const auto& c : cases) {
        Fields fields;
        fields.title = c.title;
        fields.colourFlag = c.colourFlag;
        Bytes bytes = headerBytes(fields);
        if (c.colourFlag == 0) {
            bytes[0x143] = c.title.size() >= 16 ? static_cast<std::uint8_t>(c.title[15]) : 0;
        }
        EXPECT_EQ(parsed(bytes).title, c.expected) << c.what;
    }
}

TEST(RomHeader, FewerBytesThanTheHeaderGiveNoHeader) {
    EXPECT_FALSE(parseRomHeader(Bytes(0x14F, 0)).has_value());
    EXPECT_TRUE(parseRomHeader(Bytes(0x150, 0)).has_value());
}

struct WarningCase {
    const char* what;
    Fields fields;
    std::uintmax_t fileBytes;
    bool save;
    int checksumError;
    std::vector<std::string> warnings; // a part of each expected warning, in order; empty: none at all
};

constexpr std::uintmax_t kKiB = 1024;

TEST(RomHeader, EachWarningOnMadeUpHeaders) {
    const WarningCase cases[] = {
        {"correct header, ROM only, no save", {"PUZZLE", 0, 0x00, 0x00, 0x00}, 32 * kKiB, false, 0, {}},
        {"correct checksum of a full header does not warn",
         {"ABCDEFGHIJKLMNO", 0xC0, 0x1B, 0x08, 0x04},
         8192 * kKiB,
         true,
         0,
         {}},
        {"battery RAM without save memory",
         {"QUEST", 0, 0x03, 0x05, 0x03},
         1024 * kKiB,
         false,
         0,
         {"cartridge type 0x03 (MBC1+RAM+BATTERY) keeps its saves in battery-backed RAM, but the ROM is "
          "added without save memory: its saves will be lost"}},
        {"battery RAM with save memory", {"QUEST", 0, 0x03, 0x05, 0x03}, 1024 * kKiB, true, 0, {}},
        {"MBC2's built-in RAM with a battery, no save",
         {"M2", 0, 0x06, 0x02, 0x00},
         128 * kKiB,
         false,
         0,
         {"its saves will be lost"}},
        {"MBC2's built-in RAM counts as RAM", {"M2", 0, 0x06, 0x02, 0x00}, 128 * kKiB, true, 0, {}},
        {"8 MiB battery ROM never gets a bank",
         {"SAGA", 0, 0x1B, 0x08, 0x04},
         8192 * kKiB,
         false,
         0,
         {"(an 8 MiB ROM never gets a save bank): its saves will be lost"}},
        {"save memory for a type without RAM",
         {"RACER", 0, 0x01, 0x02, 0x00},
         128 * kKiB,
         true,
         0,
         {"the ROM is added with save memory, but its cartridge type 0x01 (MBC1) has no RAM"}},
        {"ROM only with save memory",
         {"P", 0, 0x00, 0x00, 0x00},
         32 * kKiB,
         true,
         0,
         {"(ROM ONLY) has no RAM"}},
        {"clock battery without RAM, no save: nothing to lose",
         {"CLOCK", 0, 0x0F, 0x03, 0x00},
         256 * kKiB,
         false,
         0,
         {}},
        {"clock battery without RAM, with save",
         {"CLOCK", 0, 0x0F, 0x03, 0x00},
         256 * kKiB,
         true,
         0,
         {"(MBC3+TIMER+BATTERY) has no RAM"}},
        {"unknown type is never warned about", {"ODD", 0, 0x77, 0x00, 0x00}, 32 * kKiB, true, 0, {}},
        {"size code smaller than the file",
         {"TENNIS", 0, 0x01, 0x02, 0x00},
         256 * kKiB,
         false,
         0,
         {"the ROM size code 0x02 means 131072 bytes (128 KiB), but the file is 262144 bytes"}},
        {"size code larger than the file (cut dump)",
         {"CUT", 0, 0x19, 0x06, 0x00},
         1024 * kKiB,
         false,
         0,
         {"the ROM size code 0x06 means 2097152 bytes (2 MiB), but the file is 1048576 bytes: it may be a "
          "bad or cut dump"}},
        {"file a few bytes longer than its size code",
         {"LONG", 0, 0x00, 0x00, 0x00},
         32 * kKiB + 5,
         false,
         0,
         {"but the file is 32773 bytes"}},
        {"size code of no known size",
         {"ODD", 0, 0x00, 0x52, 0x00},
         32 * kKiB,
         false,
         0,
         {"the ROM size code 0x52 names no known ROM size; the file is 32768 bytes"}},
        {"wrong checksum",
         {"PINBALL", 0, 0x00, 0x00, 0x00},
         32 * kKiB,
         false,
         1,
         {": the game will not boot on hardware"}},
        {"a blank logo: the boot ROM stops",
         {"Z", 0, 0x00, 0x00, 0x00, 0x00},
         32 * kKiB,
         false,
         0,
         {"the logo area 0x104 to 0x133 is blank: the game will not boot on hardware"}},
        {"every warning at once",
         {"ALL", 0, 0x13, 0x04, 0x03},
         32 * kKiB,
         false,
         -3,
         {"its saves will be lost", "the ROM size code 0x04 means 524288 bytes",
          "will not boot on hardware"}},
    };
    for (const auto& c : cases) {
        const auto findings =
            checkRomHeader(parsed(headerBytes(c.fields, c.checksumError)), c.fileBytes, c.save);
        ASSERT_EQ(findings.warnings.size(), c.warnings.size()) << c.what << "\n" << joined(findings.warnings);
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_NE(findings.warnings[i].find(c.warnings[i]), std::string::npos)
                << c.what << ": expected \"" << c.warnings[i] << "\" in \"" << findings.warnings[i] << "\"";
        }
    }
}

TEST(RomHeader, RomInFlashIsMeasuredByItsBlocks) {
    struct Case {
        std::uint8_t sizeCode;
        int blocks;
        int logoFill;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {0x05, 32, -1, {}},
        {0x00, 1, 0x00, {"the logo area 0x104 to 0x133 is blank: the game will not boot on hardware"}},
        {0x00, 1, 0x55, {}},
        {0x05,
         16,
         -1,
         {"the ROM size code 0x05 means 1048576 bytes (1 MiB), but it has 16 blocks (524288 bytes) "
          "in the image: it may be a bad or cut dump"}},
        {0x01, 1, -1, {"but it has 1 block (32768 bytes) in the image"}},
    };
    for (const auto& c : cases) {
        const auto warnings =
            checkRomInFlash(parsed(headerBytes({"F", 0, 0x00, c.sizeCode, 0x00, c.logoFill})), c.blocks);
        ASSERT_EQ(warnings.size(), c.warnings.size()) << joined(warnings);
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_NE(warnings[i].find(c.warnings[i]), std::string::npos) << warnings[i];
        }
    }
    Bytes blank(0x150, 0xFF);
    EXPECT_EQ(joined(checkRomInFlash(parsed(blank), 1)),
              "the ROM size code 0xFF names no known ROM size; it has 1 block (32768 bytes) in the image: it "
              "may be a bad dump\nthe header checksum at 0x14D is 0xFF, but the header bytes 0x134 to 0x14C "
              "give 0x00: the game will not boot on hardware\nthe logo area 0x104 to 0x133 is blank: the "
              "game will not boot on hardware\n");
}

TEST(RomHeader, WrongChecksumNamesBothValues) {
    const Bytes bytes = headerBytes({"PINBALL", 0, 0x00, 0x00, 0x00}, 0x5A);
    const std::uint8_t right = expectedChecksum(bytes);
    const auto findings = checkRomHeader(parsed(bytes), 32 * kKiB, false);
    ASSERT_EQ(findings.warnings.size(), 1u);
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "the header checksum at 0x14D is 0x%02X, but the header bytes 0x134 to 0x14C give 0x%02X: "
                  "the game will not boot on hardware",
                  static_cast<unsigned>(static_cast<std::uint8_t>(right + 0x5A)),
                  static_cast<unsigned>(right));
    EXPECT_EQ(findings.warnings[0], expected);
}

TEST(RomHeader, TooltipTextListsFactsThenWarnings) {
    const Bytes bytes = headerBytes({"QUEST", 0x80, 0x03, 0x05, 0x03});
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "0x%02X", static_cast<unsigned>(expectedChecksum(bytes)));
    const auto findings = checkRomHeader(parsed(bytes), 1024 * kKiB, false);
    EXPECT_EQ(
        headerFindingsText(findings),
        "Title: \"QUEST\"\nGame Boy Color enhanced, runs on Game Boy too (colour flag 0x80)\nCartridge type "
        "0x03: MBC1+RAM+BATTERY\nROM size code 0x05: 1 MiB (1048576 bytes); the file is 1048576 bytes\nRAM "
        "size code 0x03: 32 KiB\nHeader checksum " +
            std::string(checksum) +
            ": correct\nSave memory: no\nWarning: cartridge type 0x03 (MBC1+RAM+BATTERY) keeps its saves in "
            "battery-backed RAM, but the ROM is added without save memory: its saves will be lost");
}

class RomHeaderFiles : public ::testing::Test {
  protected:
    // A ROM file of `blocks` blocks whose first bytes are the given header.
    std::string romWithHeader(const std::string& name, int blocks, const Bytes& header) {
        Bytes bytes = test::romBytes(static_cast<std::size_t>(blocks) * kBlockSize, 5);
        std::copy(header.begin(), header.end(), bytes.begin());
        test::writeFile(folder / name, bytes);
        return name;
    }
    test::ScratchFolder folder;
};

TEST_F(RomHeaderFiles, TableRowIsCheckedAgainstItsSaveFlag) {
    const std::string quest = romWithHeader("QUEST.GB", 32, headerBytes({"QUEST", 0, 0x03, 0x05, 0x03}));
    const std::string copy = romWithHeader("QUEST2.GB", 32, headerBytes({"QUEST", 0, 0x03, 0x05, 0x03}));
    TableState state;
    bool saveBox = true;
    ASSERT_FALSE(addRom(state, {"quest", quest, folder.path()}, saveBox));
    saveBox = false;
    ASSERT_FALSE(addRom(state, {"quest again", copy, folder.path()}, saveBox));
    const TableState before = state;

    EXPECT_TRUE(checkTableRow(state.table, 0, folder.path()).warnings.empty());
    const auto unsaved = checkTableRow(state.table, 1, folder.path());
    ASSERT_EQ(unsaved.warnings.size(), 1u);
    EXPECT_NE(unsaved.warnings[0].find("its saves will be lost"), std::string::npos);
    // What the table tells of a row comes with its file's warnings, for every way a row comes in.
    saveBox = true;
    ASSERT_FALSE(addRom(state, {"caf\xC3\xA9 ", quest, folder.path()}, saveBox));
    const auto third = checkTableRow(state.table, 2, folder.path()).warnings;
    ASSERT_EQ(third.size(), 3u);
    EXPECT_EQ(third[0], "the menu shows the name as \"CAF?\x20\": it cannot show \"\xC3\xA9\"");
    EXPECT_EQ(third[1], "the name \"CAF\xC3\xA9 \" ends in a blank");
    EXPECT_EQ(third[2], "the same ROM as row 1 (\"QUEST\")");
    state = before;
    // Checking reads the file and nothing else.
    EXPECT_EQ(state.table.columns, before.table.columns);
    EXPECT_EQ(state.blocks, before.blocks);
}

TEST_F(RomHeaderFiles, UnreadableOrShortFileIsOneWarning) {
    test::writeFile(folder / "short.gb", Bytes(0x100, 0));
    const auto shortFile = checkRomFile(folder / "short.gb", "short.gb", false);
    ASSERT_EQ(shortFile.warnings.size(), 1u);
    EXPECT_EQ(shortFile.warnings[0], "\"short.gb\" is 256 bytes, too short to hold a cartridge header");
    EXPECT_TRUE(shortFile.facts.empty());

    const auto missing = checkRomFile(folder / "gone.gb", "gone.gb", false);
    ASSERT_EQ(missing.warnings.size(), 1u);
    EXPECT_EQ(missing.warnings[0].rfind("cannot read the cartridge header of \"gone.gb\": ", 0), 0u)
        << missing.warnings[0];
}

TEST(RomHeader, SaveBoxProposedOnlyByAHeaderTheBootRomWouldAccept) {
    const struct {
        const char* what;
        Fields fields;
        int checksumError;
        std::optional<bool> proposed;
    } cases[] = {
        {"MBC1+RAM+BATTERY", {"QUEST", 0, 0x03}, 0, true},
        {"MBC2+BATTERY (its RAM is built in)", {"QUEST", 0, 0x06}, 0, true},
        {"MBC3+TIMER+BATTERY: a clock, no RAM", {"CLOCK", 0, 0x0F}, 0, false},
        {"MBC1+RAM without battery", {"QUEST", 0, 0x02}, 0, false},
        {"ROM only", {"PUZZLE", 0, 0x00}, 0, false},
        {"unknown type", {"ODD", 0, 0xEE}, 0, std::nullopt},
        {"wrong checksum", {"QUEST", 0, 0x03}, 1, std::nullopt},
        {"blank logo", {"QUEST", 0, 0x03, 0, 0, 0xFF}, 0, std::nullopt},
    };
    test::ScratchFolder folder;
    for (const auto& c : cases) {
        test::writeFile(folder / "rom.gb", headerBytes(c.fields, c.checksumError));
        EXPECT_EQ(proposedSaveMemory(folder / "rom.gb"), c.proposed) << c.what;
    }
    test::writeFile(folder / "short.gb", Bytes(0x100, 0));
    EXPECT_EQ(proposedSaveMemory(folder / "short.gb"), std::nullopt);
    EXPECT_EQ(proposedSaveMemory(folder / "missing.gb"), std::nullopt);
    EXPECT_EQ(proposedSaveMemory(folder.path()), std::nullopt);
}

} // namespace
} // namespace romc
