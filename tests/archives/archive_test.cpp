#include "archives/rom_source_file.h"
#include "compile/compilation.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "romtable/rom_name.h"
#include "romtable/rom_source.h"
#include "support/archive_files.h"
#include "support/table_fixture.h"

#include <functional>

// A namespace of its own: the unity build puts this file beside others with helpers of the same names.
namespace romc::archives_test {
namespace {

using test::ArchiveEntry;
using test::ArchiveFormat;
using test::readFile;
using test::romBytes;
using test::writeArchive;
using test::writeFile;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kKiB = 1024;

Bytes blocksOfRom(int blocks, std::uint32_t seed) {
    return romBytes(static_cast<std::size_t>(blocks) * kBlockSize, seed);
}

TEST(RomSourceText, SplitsAtTheFirstSeparatorAfterAnArchive) {
    const struct {
        const char* text;
        const char* file;
        const char* member;
    } cases[] = {
        {"roms/Tetris.gb", "roms/Tetris.gb", ""},
        {"roms/Tetris.zip", "roms/Tetris.zip", ""},
        {"roms/Tetris.zip::Tetris (World).gb", "roms/Tetris.zip", "Tetris (World).gb"},
        {"All.7Z::gb/a::b.gbc", "All.7Z", "gb/a::b.gbc"},
        {"odd::name.gb", "odd::name.gb", ""},
        {"x.gb.GZ::x.gb", "x.gb.GZ", "x.gb"},
        {"C:\\roms\\a.zip::a.gb", "C:\\roms\\a.zip", "a.gb"},
    };
    for (const auto& c : cases) {
        const RomSource source = romSourceOf(c.text);
        EXPECT_EQ(source.file, c.file) << c.text;
        EXPECT_EQ(source.member, c.member) << c.text;
        EXPECT_EQ(romSourceText(source.file, source.member), c.text);
    }
    EXPECT_EQ(proposeRomName("Tetris (World).zip::Tetris (World).gb"), "Tetris (World)");
    EXPECT_EQ(proposeRomName("All.7z::gb/Mario Land.gb"), "Mario Land");
    EXPECT_TRUE(isRomMemberName("A.GBC"));
    EXPECT_TRUE(isRomMemberName("a.sgb"));
    EXPECT_FALSE(isRomMemberName("a.gba"));
    EXPECT_FALSE(isRomMemberName("readme.txt"));
}

// Twelve ROMs, some with save memory, placed by first fit and by save bank.
struct Game {
    int blocks;
    bool save;
};
constexpr Game kTwelve[] = {{1, false}, {2, true},  {4, false}, {8, false}, {1, true}, {2, false},
                            {1, false}, {16, true}, {2, false}, {4, false}, {8, true}, {1, false}};

std::string gameFile(std::size_t i) {
    return "Game " + std::to_string(i + 1) + ".gb";
}

// The same twelve ROMs in one form each, laid down in a folder of their own; what each row's path box reads.
using Route = std::function<std::vector<std::string>(const std::filesystem::path& folder)>;

std::vector<std::string> plainFiles(const std::filesystem::path& folder) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < std::size(kTwelve); ++i) {
        writeFile(folder / gameFile(i), blocksOfRom(kTwelve[i].blocks, static_cast<std::uint32_t>(i + 1)));
        texts.push_back(gameFile(i));
    }
    return texts;
}

std::vector<std::string> zipEach(const std::filesystem::path& folder) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < std::size(kTwelve); ++i) {
        const std::string zip = "Game " + std::to_string(i + 1) + ".zip";
        writeArchive(folder / zip, i % 2 == 0 ? ArchiveFormat::ZipDeflate : ArchiveFormat::ZipStored,
                     {{"readme.txt", {'h', 'i'}},
                      {gameFile(i), blocksOfRom(kTwelve[i].blocks, static_cast<std::uint32_t>(i + 1))}});
        texts.push_back(zip); // named alone: its one ROM
    }
    return texts;
}

std::vector<std::string> oneSevenZip(const std::filesystem::path& folder, ArchiveFormat format) {
    std::vector<ArchiveEntry> entries{{"notes.txt", {'x'}}};
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < std::size(kTwelve); ++i) {
        entries.push_back({gameFile(i), blocksOfRom(kTwelve[i].blocks, static_cast<std::uint32_t>(i + 1))});
        texts.push_back(romSourceText("All.7z", gameFile(i)));
    }
    writeArchive(folder / "All.7z", format, entries);
    return texts;
}

std::vector<std::string> gzipEach(const std::filesystem::path& folder) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < std::size(kTwelve); ++i) {
        const std::string gz = gameFile(i) + ".gz";
        writeArchive(folder / gz, ArchiveFormat::Gzip,
                     {{gameFile(i), blocksOfRom(kTwelve[i].blocks, static_cast<std::uint32_t>(i + 1))}});
        texts.push_back(gz);
    }
    return texts;
}

class Archives : public test::TableFixture {
  public:
    // Adds each text as Find File and Add ROM would: the name proposed from the ROM the text names.
    void addAll(const std::vector<std::string>& texts, const std::filesystem::path& work) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string source = explicitRomSource(systemDisk(), work, texts[i]);
            saveBox = saveBoxAllowed(state, kTwelve[i].save);
            const auto refusal = addRom(state, {proposeRomName(source), source, work}, saveBox);
            ASSERT_FALSE(refusal) << refusal->message;
        }
    }
};

TEST_F(Archives, TwelveRomsFromPlainFilesZipsOneSevenZipAndGzipsCompileByteForByte) {
    const std::pair<const char*, Route> routes[] = {
        {"plain", plainFiles},
        {"zip", zipEach},
        {"7z LZMA2", [](const auto& f) { return oneSevenZip(f, ArchiveFormat::SevenZipLzma2); }},
        {"7z LZMA", [](const auto& f) { return oneSevenZip(f, ArchiveFormat::SevenZipLzma); }},
        {"gzip", gzipEach},
    };
    std::map<std::string, Bytes> first;
    std::vector<std::string> firstNames;
    for (const auto& [what, route] : routes) {
        const auto work = folder / what;
        std::filesystem::create_directory(work);
        writeFile(work / "Menu.GB", test::menuTemplate());
        state = TableState{};
        addAll(route(work), work);
        const auto failure = generateCompilation(state, {work, false});
        ASSERT_FALSE(failure) << what << ": " << failure->message;
        std::map<std::string, Bytes> outputs;
        for (const char* name : {"Menu.GB", "Output.GB", "Output1.GB", "Output2.GB"}) {
            if (std::filesystem::exists(work / name)) {
                outputs[name] = readFile(work / name);
            }
        }
        if (first.empty()) {
            first = outputs;
            firstNames = state.table.column(Column::Name);
            continue;
        }
        EXPECT_EQ(state.table.column(Column::Name), firstNames) << what;
        ASSERT_EQ(outputs.size(), first.size()) << what;
        for (const auto& [name, bytes] : outputs) {
            EXPECT_TRUE(bytes == first[name])
                << what << " " << name << ": " << test::firstDifference(first[name], bytes);
        }
    }
    EXPECT_EQ(firstNames.front(), "GAME 1");
}

// An archive laid down for one refusal, and the text the path box names it by.
struct RefusalCase {
    const char* what;
    std::function<std::string(const std::filesystem::path&)> make;
    const char* reason;
};

std::string flipped(const std::filesystem::path& path, std::size_t fromEnd) {
    auto bytes = readFile(path);
    bytes[bytes.size() - fromEnd] ^= 0x5A;
    writeFile(path, bytes);
    return path.filename().string();
}

std::string cut(const std::filesystem::path& path) {
    auto bytes = readFile(path);
    bytes.resize(bytes.size() / 2);
    writeFile(path, bytes);
    return path.filename().string();
}

TEST_F(Archives, BadArchivesAreRefusedNamingArchiveMemberAndReasonAndChangeNothing) {
    const auto rom = blocksOfRom(4, 7);
    const RefusalCase cases[] = {
        {"deflate data damaged",
         [&](const auto& f) {
             writeArchive(f / "damaged.zip", ArchiveFormat::ZipDeflate,
                          {{"a.gb", romBytes(8 * kBlockSize, 3)}});
             auto bytes = readFile(f / "damaged.zip");
             for (std::size_t i = 60; i < 600; i += 7) {
                 bytes[i] ^= 0xFF;
             }
             writeFile(f / "damaged.zip", bytes);
             return std::string("damaged.zip::a.gb");
         },
         "\"damaged.zip::a.gb\": its member \"a.gb\" is damaged"},
        {"zip truncated",
         [&](const auto& f) {
             writeArchive(f / "cut.zip", ArchiveFormat::ZipStored, {{"a.gb", rom}});
             return cut(f / "cut.zip");
         },
         "\"cut.zip\": its member \"a.gb\" is damaged"},
        {"7z truncated",
         [&](const auto& f) {
             writeArchive(f / "cut.7z", ArchiveFormat::SevenZipLzma2, {{"a.gb", rom}});
             return cut(f / "cut.7z");
         },
         "\"cut.7z\": it is damaged"},
        {"gzip truncated",
         [&](const auto& f) {
             writeArchive(f / "cut.gb.gz", ArchiveFormat::Gzip, {{"cut.gb", rom}});
             return cut(f / "cut.gb.gz");
         },
         "\"cut.gb.gz\": it is damaged"},
        {"zip checksum wrong",
         [&](const auto& f) {
             writeArchive(f / "crc.zip", ArchiveFormat::ZipStored, {{"a.gb", rom}});
             auto bytes = readFile(f / "crc.zip");
             bytes[100] ^= 0x01; // inside the stored data, after the local header
             writeFile(f / "crc.zip", bytes);
             return std::string("crc.zip");
         },
         "\"crc.zip\": its member \"a.gb\" is damaged or fails its checksum"},
        {"gzip checksum wrong",
         [&](const auto& f) {
             writeArchive(f / "crc.gb.gz", ArchiveFormat::Gzip, {{"crc.gb", rom}});
             return flipped(f / "crc.gb.gz", 6); // the trailer's CRC32
         },
         "\"crc.gb.gz\": its member \"crc.gb\" is damaged or fails its checksum"},
        {"encrypted member",
         [&](const auto& f) {
             writeArchive(f / "locked.zip", ArchiveFormat::ZipDeflate, {{"a.gb", rom}}, "secret");
             return std::string("locked.zip");
         },
         "\"locked.zip\": its member \"a.gb\" is encrypted"},
        {"absolute member name",
         [&](const auto& f) {
             writeArchive(f / "abs.zip", ArchiveFormat::ZipStored, {{"/tmp/abs.gb", rom}});
             return std::string("abs.zip");
         },
         "\"abs.zip\": it holds a member with an absolute name, \"/tmp/abs.gb\"; such an archive is refused "
         "whole"},
        {"member name leaving the folder",
         [&](const auto& f) {
             writeArchive(f / "up.7z", ArchiveFormat::SevenZipLzma2,
                          {{"ok.gb", rom}, {"x/../../up.gb", rom}});
             return std::string("up.7z::ok.gb");
         },
         "\"up.7z::ok.gb\": it holds a member whose name leaves the archive's folder, \"x/../../up.gb\""},
        {"link inside",
         [&](const auto& f) {
             writeArchive(f / "link.zip", ArchiveFormat::ZipStored,
                          {{"b.txt", {'b'}}, {"a.gb", {}, "/etc/passwd"}});
             return std::string("link.zip");
         },
         "\"link.zip\": it holds a link, \"a.gb\" to \"/etc/passwd\""},
        {"no ROM member",
         [&](const auto& f) {
             writeArchive(f / "docs.zip", ArchiveFormat::ZipDeflate,
                          {{"readme.txt", {'r'}}, {"game.gba", rom}});
             return std::string("docs.zip");
         },
         "\"docs.zip\": the archive holds no ROM (a member named \"*.gb\", \"*.gbc\" or \"*.sgb\"); it holds "
         "\"readme.txt\", \"game.gba\""},
        {"several ROMs, none named",
         [&](const auto& f) {
             writeArchive(f / "two.7z", ArchiveFormat::SevenZipLzma2,
                          {{"a.gb", rom}, {"b.GBC", rom}, {"c.txt", {}}});
             return std::string("two.7z");
         },
         "\"two.7z\": the archive holds 2 ROMs and none is named; name one of \"a.gb\", \"b.GBC\""},
        {"named member missing",
         [&](const auto& f) {
             writeArchive(f / "one.zip", ArchiveFormat::ZipStored, {{"a.gb", rom}});
             return std::string("one.zip::b.gb");
         },
         "\"one.zip::b.gb\": the archive holds no member \"b.gb\"; it holds \"a.gb\""},
        {"no archive at all",
         [&](const auto& f) {
             writeFile(f / "fake.zip", rom);
             return std::string("fake.zip");
         },
         "\"fake.zip\": it is damaged or no such archive"},
        {"40 KiB unpacking past 8 MiB",
         [&](const auto& f) {
             writeArchive(f / "bomb.zip", ArchiveFormat::ZipDeflate, {{"big.gb", Bytes(9 * 1024 * kKiB, 0)}});
             EXPECT_LE(std::filesystem::file_size(f / "bomb.zip"), 40 * kKiB);
             return std::string("bomb.zip");
         },
         "Cannot add \"bomb.zip::big.gb\": it unpacks to more than 8388608 bytes, longer than the largest "
         "ROM"},
    };
    addOk(romFile(2), false, "kept");
    const TableState before = state;
    for (const auto& c : cases) {
        const std::string text = c.make(folder.path());
        const auto contents = this->contents();
        const auto refusal = add(text);
        ASSERT_TRUE(refusal) << c.what << " is added as " << state.table.column(Column::File).back();
        EXPECT_NE(refusal->message.find(c.reason), std::string::npos) << c.what << ": " << refusal->message;
        EXPECT_EQ(state.table.columns, before.table.columns) << c.what;
        EXPECT_EQ(state.blocks, before.blocks) << c.what;
        EXPECT_EQ(this->contents(), contents) << c.what << ": nothing is unpacked to disk";
    }
}

TEST_F(Archives, ArchiveChangedAfterAddRomIsRefusedByTheCompilation) {
    const struct {
        const char* what;
        std::function<void(const std::filesystem::path&)> change;
        const char* reason;
    } cases[] = {
        {"member longer",
         [](const auto& zip) {
             writeArchive(zip, ArchiveFormat::ZipDeflate, {{"a.gb", blocksOfRom(3, 1)}});
         },
         "Cannot compile: \"game.zip::a.gb\" was 2 blocks when it was added and is now 98304 bytes"},
        {"member gone",
         [](const auto& zip) {
             writeArchive(zip, ArchiveFormat::ZipDeflate, {{"b.gb", blocksOfRom(2, 1)}});
         },
         "Cannot read \"game.zip::a.gb\": the archive holds no member \"a.gb\"; it holds \"b.gb\""},
        {"archive damaged", [](const auto& zip) { cut(zip); },
         "Cannot read \"game.zip::a.gb\": its member \"a.gb\" is damaged"},
        {"archive gone", [](const auto& zip) { std::filesystem::remove(zip); }, "Cannot read \"game.zip\""},
    };
    for (const auto& c : cases) {
        state = TableState{};
        writeArchive(folder / "game.zip", ArchiveFormat::ZipDeflate, {{"a.gb", blocksOfRom(2, 1)}});
        addOk("game.zip");
        ASSERT_EQ(state.table.text(0, Column::File), "game.zip::a.gb") << "the row names the member read";
        c.change(folder / "game.zip");
        const auto contents = this->contents();
        const TableState before = state;
        const auto failure = generateCompilation(state, {folder.path(), false});
        ASSERT_TRUE(failure) << c.what;
        EXPECT_NE(failure->message.find(c.reason), std::string::npos) << c.what << ": " << failure->message;
        EXPECT_EQ(this->contents(), contents) << c.what;
        EXPECT_EQ(state.table.columns, before.table.columns) << c.what;
    }
}

TEST_F(Archives, ListNamingMembersRoundTripsAndRefusesAMemberOfNoArchive) {
    writeArchive(folder / "All.7z", ArchiveFormat::SevenZipLzma2,
                 {{"gb/Quest.gb", test::batteryRom()}, {"Pözzle.gbc", blocksOfRom(1, 2)}});
    writeArchive(folder / "One.zip", ArchiveFormat::ZipDeflate, {{"Racer.gb", blocksOfRom(4, 3)}});
    addOk("All.7z::gb/Quest.gb", true, proposeRomName("All.7z::gb/Quest.gb"));
    addOk("All.7z::Pözzle.gbc", false, "pözzle"); // a 7z keeps its names in UTF-16
    addOk("One.zip", false, "racer");
    const auto listPath = folder / "games.json";
    const auto text = romListText(romListOfTable(state, folder.path(), listPath), "games.json");
    ASSERT_TRUE(text.ok()) << text.failure().message;
    EXPECT_NE(
        text.value().find(
            R"({ "name": "QUEST", "file": "All.7z", "member": "gb/Quest.gb", "save": true, "bank": 0 })"),
        std::string::npos)
        << text.value();
    EXPECT_NE(text.value().find(R"("file": "One.zip", "member": "Racer.gb")"), std::string::npos)
        << text.value();
    const auto parsed = parseRomList(text.value(), "games.json");
    ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
    const auto replay = openRomList(TableState{}, parsed.value(), {"", folder.path(), "games.json"});
    EXPECT_TRUE(replay.refused.empty());
    EXPECT_EQ(replay.state.table.columns, state.table.columns);
    // Listed alone, an archive of one ROM is that ROM, named from the member.
    const auto alone = parseRomList(R"({"romcompiler-list": 1, "roms": [{"file": "One.zip"}]})", "one.json");
    ASSERT_TRUE(alone.ok());
    const auto one = openRomList(TableState{}, alone.value(), {"", folder.path(), "one.json"});
    ASSERT_EQ(one.state.table.rowCount(), 1u);
    EXPECT_EQ(one.state.table.text(0, Column::Name), "RACER");
    EXPECT_EQ(one.state.table.text(0, Column::File), "One.zip::Racer.gb");

    const std::pair<const char*, const char*> refused[] = {
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.gb", "member": "a.gb"}]})",
         R"(entry 1: "member" names a member of "a.gb", which is no .zip, .7z or .gz archive)"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.zip", "member": ""}]})",
         R"(entry 1: "member" is "")"},
        {R"({"romcompiler-list": 1, "roms": [{"file": "a.zip", "member": 3}]})", R"(entry 1: "member" is 3)"},
    };
    for (const auto& [list, reason] : refused) {
        const auto result = parseRomList(list, "l.json");
        ASSERT_FALSE(result.ok()) << list;
        EXPECT_NE(result.failure().message.find(reason), std::string::npos) << result.failure().message;
    }
}

} // namespace
} // namespace romc::archives_test
