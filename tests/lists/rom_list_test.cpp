#include "lists/rom_list.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

// Escapes, UTF-8, an entry without name: what is read is written back byte for byte.
const std::string kWritten =
    "{\n  \"romcompiler-list\": 1,\n  \"roms\": [\n    { \"name\": \"PUZZLE\", \"file\": \"roms/PUZZLE.GB\", "
    "\"save\": false },\n    { \"name\": \"CAFé\\t\\u0001\", \"file\": \"C:\\\\R\\\\\\\"q\\\".gb\", "
    "\"save\": true },\n    { \"file\": \"x.gb\", \"save\": false },\n    { \"name\": \"Q\", \"file\": "
    "\"q.gb\", \"save\": true, \"bank\": 7, \"sav\": \"saves/Q.sav\" }\n  ]\n}\n";

TEST(RomList, ReadsAndWritesTheSameBytes) {
    const auto list = parseRomList(kWritten, "l.json");
    ASSERT_TRUE(list.ok()) << list.failure().message;
    ASSERT_EQ(list.value().entries.size(), 4u);
    EXPECT_EQ(list.value().entries[3].bank, 7);
    EXPECT_EQ(list.value().entries[3].sav, "saves/Q.sav");
    EXPECT_EQ(list.value().entries[1].bank, std::nullopt);
    EXPECT_EQ(list.value().entries[1].name, "CAF\xC3\xA9\t\x01");
    EXPECT_EQ(list.value().entries[1].file, "C:\\R\\\"q\".gb");
    EXPECT_TRUE(list.value().entries[1].save);
    EXPECT_EQ(list.value().entries[2].name, std::nullopt);
    EXPECT_EQ(romListText(list.value(), "l.json").value(), kWritten);
    EXPECT_EQ(romListText({}, "l.json").value(), "{\n  \"romcompiler-list\": 1,\n  \"roms\": []\n}\n");

    const auto notUtf8 = romListText({{{"a.gb", "A", false}, {"b.gb", "B\xFF", false}}, {}}, "l.json");
    ASSERT_FALSE(notUtf8.ok());
    EXPECT_EQ(notUtf8.failure().message, "Cannot write the list \"l.json\": the name of entry 2 is not valid "
                                         "UTF-8 text, which a list cannot hold");
}

TEST(RomList, DefaultsEditorFormsAndUnknownKeysWarnedOnce) {
    const struct {
        const char* text;
        const char* warning; // "" for none
    } cases[] = {
        {"\xEF\xBB\xBF{\r\n\"roms\": [ {\"file\": \"a.gb\"} ],\r\n\"romcompiler-list\": 1\r\n}\r\n", ""},
        {R"({"romcompiler-list": 1, "notes": "x", "roms": [{"file": "a.gb", "rating": 5}, {"rating": 1,
            "file": "a.gb", "cover": "c.png"}, {"file": "a.gb", "rating": 2}]})",
         "the list \"l.json\" holds keys this version does not know; they are ignored: \"notes\" (beside "
         "\"roms\"), \"rating\" (3 entries, first entry 1), \"cover\" (entry 2)"},
    };
    for (const auto& c : cases) {
        const auto list = parseRomList(c.text, "l.json");
        ASSERT_TRUE(list.ok()) << list.failure().message;
        EXPECT_EQ(list.value().entries[0].file, "a.gb");
        EXPECT_EQ(list.value().entries[0].name, std::nullopt);
        EXPECT_FALSE(list.value().entries[0].save);
        EXPECT_EQ(list.value().warnings,
                  *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
    }
}

TEST(RomList, BrokenListsAreRefusedWithTheEntryAndTheReason) {
    const struct {
        const char* text;
        const char* reason; // what follows `Cannot open the list "l.json": `
    } cases[] = {
        {"", "it is not valid JSON: parse error at line 1, column 1"},
        {R"({"romcompiler-list": 1, "roms": [)", "it is not valid JSON: parse error at line 1, column 34"},
        {"{\"romcompiler-list\": 1, \"roms\": [{\"file\": \"\xFF\"}]}", "it is not valid JSON"},
        {R"({"romcompiler-list": 1, "roms": [], "x": 1e400})",
         "it is not valid JSON: number overflow parsing"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": "ééééééééééééééééééééé"}]})",
         "entry 1: \"save\" is \"ééééééééééééééééééé...; it must be"},
        {R"([{"file": "a.gb"}])", "it is an array, not a ROM list"},
        {R"({"roms": []})", "it is not a ROM list: it has no \"romcompiler-list\" format version"},
        {R"({"romcompiler-list": 2, "roms": 5})",
         "it is format version 2, written by a newer version of the program; this version reads format 1"},
        {R"({"romcompiler-list": "1", "roms": []})", "\"romcompiler-list\" is \"1\"; it must be the format"},
        {R"({"romcompiler-list": 0, "roms": []})",
         "\"romcompiler-list\" is 0; the first format version is 1"},
        {R"({"romcompiler-list": 1})", "it has no \"roms\""},
        {R"({"romcompiler-list": 1, "roms": {"file": "a.gb"}})",
         "\"roms\" is an object; it must be an array"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb"}, "b.gb"]})",
         "entry 2 is \"b.gb\"; each entry must be an object with \"file\""},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb"}, {"name": "B", "save": true}]})",
         "entry 2 has no \"file\""},
        {R"({"romcompiler-list": 1, "roms": [{"file": 12}]})", "entry 1: \"file\" is 12; it must be the ROM"},
        {R"({"romcompiler-list": 1, "roms": [{"file": ""}]})", "entry 1: \"file\" is empty"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb\u0000.txt"}]})",
         "entry 1: \"file\" holds a zero character"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "name": null}]})",
         "entry 1: \"name\" is null; it must be the menu name as a string"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": "yes"}]})",
         "entry 1: \"save\" is \"yes\"; it must be true or false"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": true, "bank": 16}]})",
         "entry 1: \"bank\" is 16; it must be a save bank, a whole number from 0 to 15"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": true, "bank": -1}]})",
         "entry 1: \"bank\" is -1; it must be a save bank"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": true, "bank": 1.5}]})",
         "entry 1: \"bank\" is 1.5; it must be a save bank"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "bank": 2}]})",
         "entry 1 has \"bank\" but not \"save\": true"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": true, "sav": ""}]})",
         "entry 1: \"sav\" is \"\"; it must be the save file's path as a non-empty string"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "save": true, "sav": 3}]})",
         "entry 1: \"sav\" is 3; it must be the save file's path"},
    };
    for (const auto& c : cases) {
        const auto list = parseRomList(c.text, "l.json");
        ASSERT_FALSE(list.ok()) << c.text;
        const std::string expected = "Cannot open the list \"l.json\": " + std::string(c.reason);
        EXPECT_EQ(list.failure().message.substr(0, expected.size()), expected) << c.text;
    }
}

} // namespace
} // namespace romc
