// The save memory on the command line: a dump split by one table and written again by another, each game's
// bytes at its new bank; the warning of saves a compilation would strand; what is refused.
#include "cartridge/rom_header.h"
#include "saves/save_size.h"
#include "support/cli_runner.h"
#include "support/table_fixture.h"

#include <fstream>
#include <random>

namespace romc {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::runCli;

class SaveRun : public test::MenuFolderFixture {
  public:
    std::string work() const { return folder.path().string(); }

    // A ROM whose header declares `type` and RAM size `ramCode`.
    void makeSaveRom(const std::string& name, int blocks, std::uint8_t type, std::uint8_t ramCode,
                     std::uint32_t seed) {
        Bytes bytes = test::romBytes(static_cast<std::size_t>(blocks) * kBlockSize, seed);
        bytes[header::kCartridgeType] = type;
        bytes[header::kRamSizeCode] = ramCode;
        test::writeFile(folder / name, bytes);
    }

    static Bytes randomBytes(std::size_t size, std::uint32_t seed) {
        std::mt19937 random(seed);
        Bytes bytes(size);
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        return bytes;
    }

    // Three battery games: 8 KiB of RAM, 32 KiB, and MBC2's 512 bytes.
    void makeGames() {
        makeSaveRom("A.GB", 8, 0x03, 0x02, 1);
        makeSaveRom("B.GB", 4, 0x13, 0x03, 2);
        makeSaveRom("C.GB", 16, 0x06, 0x00, 3);
        makeSaveRom("P.GB", 2, 0x00, 0x00, 4);
    }
};

// Split by one table, written by another that moved, removed and added the games again: every game's
// bytes land at its new bank, byte for byte, and nothing else is written into the save memory.
TEST_F(SaveRun, ADumpSplitByOneTableIsWrittenByAnotherAtTheNewBanks) {
    makeGames();
    const auto old = runCli(folder, {"--quiet", "-C", work(), "--save", "A.GB", "P.GB", "--save", "B.GB",
                                     "--save", "C.GB", "--write-list", "old.json"});
    ASSERT_EQ(old.status, 0) << old.err;
    // Banks 0, 1, 2 for A, B, C.
    const Bytes dump = randomBytes(kSaveMemoryBytes, 7);
    test::writeFile(folder / "cart.sav", dump);
    const auto split = runCli(folder, {"-C", work(), "--split-saves", "cart.sav", "--list", "old.json"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(
        split.out,
        "save bank 0 of \"A\": wrote \"A.sav\", 8 KiB\n"
        "save bank 1 of \"B\": wrote \"B.sav\", 32 KiB\nsave bank 2 of \"C\": wrote \"C.sav\", 512 bytes\n");
    const auto bank = [&dump](int k, std::size_t bytes) {
        return Bytes(dump.begin() + k * static_cast<std::ptrdiff_t>(kSaveBankBytes),
                     dump.begin() + k * static_cast<std::ptrdiff_t>(kSaveBankBytes) +
                         static_cast<std::ptrdiff_t>(bytes));
    };
    EXPECT_EQ(test::readFile(folder / "A.sav"), bank(0, 8192));
    EXPECT_EQ(test::readFile(folder / "C.sav"), bank(2, 512));
    // Split again: nothing changes, nothing is written.
    const auto again = runCli(folder, {"-C", work(), "--split-saves", "cart.sav", "--list", "old.json"});
    EXPECT_EQ(again.out.find("wrote"), std::string::npos) << again.out;

    // An emulator's clock footer on C's save is dropped when the save memory is built.
    Bytes withClock = test::readFile(folder / "C.sav");
    withClock.resize(withClock.size() + 48, 0x11);
    test::writeFile(folder / "C.sav", withClock);
    // Another table: C first, B gone, A compacted to bank 1.
    const auto built = runCli(folder, {"--quiet", "-C", work(), "--save", "C.GB", "--save", "A.GB", "P.GB",
                                       "--write-saves", "new.sav"});
    ASSERT_EQ(built.status, 0) << built.err;
    Bytes expected(kSaveMemoryBytes, 0xFF);
    std::copy_n(dump.begin() + 2 * kSaveBankBytes, 512, expected.begin()); // C: bank 0
    std::copy_n(dump.begin(), 8192, expected.begin() + kSaveBankBytes);    // A: bank 1
    EXPECT_EQ(test::firstDifference(expected, test::readFile(folder / "new.sav")), "equal");
    EXPECT_NE(
        built.err.find("\"A\" moves from save bank 0 to 1, and save bank 0 with its saves goes to \"C\""),
        std::string::npos)
        << built.err;
    EXPECT_NE(built.err.find("the saves move with their games"), std::string::npos) << built.err;
}

// Taken out of an image with the cartridge's dump, each game's save lies beside it and in the list, and
// the list builds the same save memory again, but for the bytes past what each header declares.
TEST_F(SaveRun, AnExtractionSplitsTheDumpBesideTheRomsAndItsListBuildsTheSaveMemory) {
    makeGames();
    ASSERT_EQ(runCli(folder, {"--quiet", "-C", work(), "--save", "A.GB", "P.GB", "--save", "C.GB"}).status,
              0);
    const Bytes dump = randomBytes(kSaveMemoryBytes, 9);
    test::writeFile(folder / "cart.sav", dump);
    const auto extracted = runCli(folder, {"--quiet", "-C", work(), "--inspect", "Output.GB", "--extract",
                                           "out", "--split-saves", "cart.sav"});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_NE(extracted.err.find("with 2 save files from \"cart.sav\""), std::string::npos) << extracted.err;
    const Bytes list = test::readFile(folder / "out/list.json");
    EXPECT_NE(
        std::string(list.begin(), list.end())
            .find("{ \"name\": \"C\", \"file\": \"C.GB\", \"save\": true, \"bank\": 1, \"sav\": \"C.sav\" }"),
        std::string::npos)
        << std::string(list.begin(), list.end());
    fs::copy_file(folder / "Menu.GB", folder / "out/Menu.GB");
    const auto built = runCli(folder, {"--quiet", "-C", (folder / "out").string(), "--list", "list.json",
                                       "--write-saves", "mem.sav"});
    ASSERT_EQ(built.status, 0) << built.err;
    Bytes expected(kSaveMemoryBytes, 0xFF);
    std::copy_n(dump.begin(), 8192, expected.begin());                                  // A: bank 0, 8 KiB
    std::copy_n(dump.begin() + kSaveBankBytes, 512, expected.begin() + kSaveBankBytes); // C: bank 1, MBC2
    EXPECT_EQ(test::firstDifference(expected, test::readFile(folder / "out/mem.sav")), "equal");
}

// A list's kept banks hold on the command line; --compact-banks hands them out afresh in table order.
TEST_F(SaveRun, KeptBanksHoldAndCompactBanksGivesThemOutAfresh) {
    makeGames();
    std::ofstream(folder / "kept.json")
        << R"({"romcompiler-list": 1, "roms": [{"file": "A.GB", "save": true, "bank": 5},)"
        << R"({"file": "P.GB"}, {"file": "B.GB", "save": true, "bank": 3}, {"file": "C.GB", "save": true}]})";
    const auto kept = runCli(folder, {"--quiet", "--dry-run", "-C", work(), "--list", "kept.json"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out,
              "A\tA.GB\t8\tY\t 5\t320\t248\n"
              "P\tP.GB\t2\tN\tN/A\t2\t254\nB\tB.GB\t4\tY\t 3\t192\t252\nC\tC.GB\t16\tY\t 6\t384\t240\n");
    const auto compact =
        runCli(folder, {"--quiet", "--dry-run", "--compact-banks", "-C", work(), "--list", "kept.json"});
    ASSERT_EQ(compact.status, 0) << compact.err;
    EXPECT_EQ(compact.out,
              "A\tA.GB\t8\tY\t 0\t8\t248\n"
              "P\tP.GB\t2\tN\tN/A\t2\t254\nB\tB.GB\t4\tY\t 1\t64\t252\nC\tC.GB\t16\tY\t 2\t128\t240\n");
}

// A compilation that replaces an image with save games in other banks says so, and what to do.
TEST_F(SaveRun, BanksThatChangeAgainstTheImageAreWarnedAbout) {
    makeGames();
    ASSERT_EQ(runCli(folder, {"--quiet", "-C", work(), "--save", "A.GB", "--save", "B.GB"}).status, 0);
    const struct {
        std::vector<std::string> roms;
        const char* warning; // "" for none
    } cases[] = {
        {{"--save", "A.GB", "--save", "B.GB", "P.GB"}, ""},
        {{"--save", "B.GB", "--save", "A.GB"},
         "romcompiler-cli: warning: save banks change against the image this compilation replaces: \"A\" "
         "moves from save bank 0 to 1, and save bank 0 with its saves goes to \"B\"; \"B\" moves from save "
         "bank 1 to 0, and save bank 1 with its saves goes to \"A\"; split the save dump before flashing, "
         "then write the save memory\n"},
        {{"--save", "C.GB", "--save", "B.GB"},
         "romcompiler-cli: warning: save banks change against the image this compilation replaces: \"A\" "
         "leaves the table, and save bank 0 with its saves goes to \"C\"; split the save dump before "
         "flashing, then write the save memory\n"},
        {{"--save", "A.GB", "B.GB"},
         "romcompiler-cli: warning: save banks change against the image this compilation replaces: \"B\" "
         "loses its save bank 1; split the save dump before flashing, then write the save memory\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--quiet", "--dry-run", "-C", work()};
        arguments.insert(arguments.end(), c.roms.begin(), c.roms.end());
        const auto run = runCli(folder, arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        // After the header's own warning that a battery game without save memory loses its saves.
        const std::string warning = c.warning;
        EXPECT_EQ(run.err.find("save banks change") == std::string::npos, warning.empty()) << run.err;
        EXPECT_TRUE(run.err.ends_with(warning)) << run.err;
    }
}

// Bad dumps and save files are refused with the file and the reason, and nothing is written.
TEST_F(SaveRun, BadDumpsAndSaveFilesAreRefusedAndWriteNothing) {
    makeGames();
    test::writeFile(folder / "short.sav", Bytes(1000, 1));
    test::writeFile(folder / "cart.sav", randomBytes(kSaveMemoryBytes, 3));
    fs::create_directory(folder / "folder.sav");
    test::writeFile(folder / "long.sav", Bytes(kSaveBankBytes + 1, 2));
    test::writeFile(folder / "A.sav", Bytes(8192, 5)); // differs from the dump
    const auto before = contents();
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"--split-saves", "short.sav", "--save", "A.GB"},
         "Cannot split the save dump \"short.sav\": it is 1000 bytes; a save dump is the whole save memory, "
         "524288 bytes (16 banks of 32768)"},
        {{"--split-saves", "folder.sav", "--save", "A.GB"},
         "Cannot read the save dump \"folder.sav\": it is a folder, not a file"},
        {{"--split-saves", "cart.sav", "--save", "A.GB"},
         "Cannot split the save dump: these save files hold other saves than the dump and would be replaced "
         "(give --force to replace them):\n  \"A.sav\" (\"A\", save bank 0)"},
        {{"--split-saves", "cart.sav", "--save", "--sav", "Menu.GB", "B.GB"},
         "Cannot write the save file of \"B\" to \"Menu.GB\": it is the menu template, which no save output "
         "may replace"},
        {{"--split-saves", "cart.sav", "--save", "--sav", "cart.sav", "B.GB"},
         "Cannot write the save file of \"B\" to \"cart.sav\": it is a file this run reads or writes, which "
         "no save output may replace"},
        {{"--split-saves", "cart.sav", "--save", "A.GB", "--save", "A.GB"},
         "Cannot split the save dump: \"A\" (row 2) and \"A\" (row 1) share the save file \"A.sav\"; name a "
         "save file for each"},
        {{"--write-saves", "out.sav", "--save", "--sav", "folder.sav", "B.GB"},
         "Cannot read the save file \"folder.sav\": it is a folder, not a file"},
        {{"--write-saves", "out.sav", "--save", "--sav", "long.sav", "B.GB"},
         "Cannot use the save file \"long.sav\" of \"B\": it is 32769 bytes, longer than a save bank of "
         "32768 bytes (after a clock footer of 44 or 48 bytes is dropped)"},
        {{"--write-saves", "out.sav", "--save", "--sav", "Menu.GB", "B.GB"},
         "Cannot use the save file \"Menu.GB\" of \"B\": it is the menu template, not a save file"},
        {{"--write-saves", "out.sav", "--write-list", "l.json", "--save", "--sav", "l.json", "B.GB"},
         "Cannot use the save file \"l.json\" of \"B\": it is a file this run reads or writes, not a save "
         "file"},
        {{"--write-saves", "short.sav", "--save", "B.GB"},
         "Cannot write the save memory to \"short.sav\": it would replace a file of 1000 bytes, which is no "
         "save memory; give --force to replace it"},
        {{"--write-saves", "A.sav", "--save", "A.GB"},
         "Cannot write the save memory to \"A.sav\": it is a file this run reads or writes, which no save "
         "output may replace"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--quiet", "-C", work()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto run = runCli(folder, arguments);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(run.err, "romcompiler-cli: " + std::string(c.message) + "\n");
        EXPECT_EQ(contents(), before) << c.message;
    }
    // With --force the differing save file is replaced by the dump's bank.
    const auto forced =
        runCli(folder, {"-C", work(), "--force", "--split-saves", "cart.sav", "--save", "A.GB"});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out, "save bank 0 of \"A\": replaced \"A.sav\", 8 KiB\n");
}

TEST(SaveSize, HeaderCodesAndClockFooters) {
    const struct {
        std::uint8_t type, ram;
        std::size_t bytes;
    } sizes[] = {{0x03, 0x00, 32768}, {0x03, 0x01, 2048},  {0x03, 0x02, 8192}, {0x1B, 0x03, 32768},
                 {0x1B, 0x04, 32768}, {0x1B, 0x05, 32768}, {0x05, 0x00, 512},  {0x06, 0x03, 512}};
    for (const auto& s : sizes) {
        EXPECT_EQ(saveBytesOfHeader(s.type, s.ram), s.bytes) << int(s.type) << " " << int(s.ram);
    }
    const std::size_t footers[][2] = {{8192, 8192},    {8192 + 48, 8192}, {32768 + 44, 32768},
                                      {512 + 48, 512}, {48, 48},          {8192 + 47, 8192 + 47}};
    for (const auto& f : footers) {
        EXPECT_EQ(withoutClockFooter(f[0]), f[1]) << f[0];
    }
}

} // namespace
} // namespace romc
