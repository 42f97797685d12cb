// Runs romcompiler-cli with --list and --write-list as a user or a script does, from other current folders.
#include "compile/image.h"
#include "support/cli_runner.h"
#include "support/table_fixture.h"

#include <fstream>
#include <random>
#include <sys/stat.h>

namespace romc {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::runCli;

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    const Bytes bytes = test::readFile(path);
    return {bytes.begin(), bytes.end()};
}

// "Menu.GB" as patched and every output, by name.
std::map<std::string, Bytes> compiledFiles(const fs::path& work) {
    std::map<std::string, Bytes> files;
    for (const std::string name :
         {"Menu.GB", kImageName, "Output1.GB", "Output2.GB", "Output3.GB", "Output4.GB"}) {
        if (fs::exists(work / name)) {
            files[name] = test::readFile(work / name);
        }
    }
    return files;
}

void expectSameFiles(const std::map<std::string, Bytes>& expected,
                     const std::map<std::string, Bytes>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (const auto& [name, bytes] : expected) {
        EXPECT_EQ(test::firstDifference(bytes, actual.at(name)), "equal") << name;
    }
}

class ListRun : public test::MenuFolderFixture {
  public:
    std::string work() const { return folder.path().string(); }
    static std::string list(const std::string& entries) {
        return R"({"romcompiler-list": 1, "roms": [)" + entries + "]}";
    }
};

// A table is kept with --write-list and built again with --list from another current folder: the same
// table and the same bytes, with the list named relative to the work folder or absolute; the list written
// again from it is the same file.
TEST_F(ListRun, RandomTablesComeBackAsTheSameTableAndTheSameBytes) {
    test::ScratchFolder outside;
    fs::create_directories(folder / "roms");
    fs::create_directories(folder / "elsewhere");
    const char* const names[] = {"Café", "a \"quoted\" \\ name", "", "lower case", "SIXTEEN LETTERS!"};
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::vector<std::string> arguments{"--quiet", "-C", work(), "--write-list", "games.json"};
        std::vector<std::string> files;
        for (std::uint32_t i = 0, roms = 3 + random() % 8; i < roms; ++i) {
            const std::string name = "roms/g" + std::to_string(seed) + "_" + std::to_string(i) + ".gb";
            const auto where = random() % 3; // in the work folder, below it, or elsewhere
            const fs::path rom =
                where == 2 ? outside / name.substr(5) : folder / name.substr(where == 0 ? 5 : 0);
            const std::size_t bytes = (std::size_t{1} << (random() % 7)) * kBlockSize + random() % 3 * 100;
            test::writeFile(rom, test::romBytes(bytes, seed * 100 + i));
            // Forward slashes, as lists keep them on every system.
            files.push_back(where == 2 ? rom.generic_string() : name.substr(where == 0 ? 5 : 0));
            if (random() % 5 < 2) {
                arguments.emplace_back("--save");
            }
            if (random() % 2 == 0) {
                arguments.insert(arguments.end(), {"--name", names[random() % std::size(names)]});
            }
            arguments.push_back(files[random() % 8 == 0 ? random() % files.size() : i]); // now and then twice
        }
        for (const auto& [name, bytes] : compiledFiles(folder.path())) {
            fs::remove(folder / name); // an earlier seed's pieces
        }
        test::writeFile(folder / "Menu.GB", test::menuTemplate());
        const auto first = runCli(folder, arguments, folder / "elsewhere");
        ASSERT_EQ(first.status, 0) << first.err;
        const auto compiled = compiledFiles(folder.path());

        test::writeFile(folder / "Menu.GB", test::menuTemplate());
        const auto again =
            runCli(folder, {"--quiet", "-C", work(), "--list", "games.json", "--write-list", "again.json"},
                   outside.path());
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, first.out);
        expectSameFiles(compiled, compiledFiles(folder.path()));
        EXPECT_EQ(readText(folder / "again.json"), readText(folder / "games.json"));

        test::ScratchFolder otherWork;
        test::writeFile(otherWork / "Menu.GB", test::menuTemplate());
        const auto absolute = runCli(
            folder, {"--quiet", "-C", otherWork.path().string(), "--list", work() + "/games.json"}, "/");
        ASSERT_EQ(absolute.status, 0) << absolute.err;
        expectSameFiles(compiled, compiledFiles(otherWork.path()));
    }
}

TEST_F(ListRun, ListsStandAmongTheRomsAndTheirPathsComeFromTheirFolder) {
    test::ScratchFolder outside;
    fs::create_directories(folder / "lists");
    fs::create_directories(folder / "roms");
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    test::makeRom(folder.path(), "B.GB", 1 * kBlockSize, 2);
    test::makeRom(folder.path(), "roms/x.gb", 2 * kBlockSize, 3);
    const std::string y = test::makeRom(outside.path(), "y.gb", 4 * kBlockSize, 4).generic_string();
    writeText(folder / "lists/l.json", list(R"({"file": "../roms/x.gb", "name": "X", "cover": "x.png"},
        {"file": ")" + y + R"(", "save": true})"));
    auto expected = contents();
    // The list's names are taken from the work folder, as ROM paths are, whatever the current folder.
    const auto run = runCli(folder,
                            {"--dry-run", "--quiet", "-C", work(), "A.GB", "--list", "lists/l.json", "--save",
                             "B.GB", "--list", "lists/l.json", "--write-list", "kept.json"},
                            outside.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "A\tA.GB\t8\tN\tN/A\t8\t248\n"
                       "X\tlists/../roms/x.gb\t2\tN\tN/A\t2\t254\nY\t" +
                           y + "\t4\tY\t 0\t4\t252\n" +
                           "B\tB.GB\t1\tY\t 1\t64\t255\nX\tlists/../roms/x.gb\t2\tN\tN/A\t16\t254\nY\t" + y +
                           "\t4\tY\t 2\t128\t252\n");
    const std::string warning = "romcompiler-cli: warning: the list \"lists/l.json\" holds keys this version "
                                "does not know; they are ignored: \"cover\" (entry 1)\n";
    EXPECT_EQ(run.err, warning + warning); // once per list opened, also with --quiet
    const std::string kept =
        "{\n  \"romcompiler-list\": 1,\n  \"roms\": [\n"
        "    { \"name\": \"A\", \"file\": \"A.GB\", \"save\": false },\n    { \"name\": \"X\", \"file\": "
        "\"roms/x.gb\", \"save\": false },\n    { \"name\": \"Y\", \"file\": \"" +
        y +
        "\", \"save\": true, \"bank\": 0 },\n    { \"name\": \"B\", \"file\": \"B.GB\", \"save\": true, "
        "\"bank\": 1 },\n    { \"name\": \"X\", \"file\": \"roms/x.gb\", \"save\": false },\n    { \"name\": "
        "\"Y\", \"file\": \"" +
        y + "\", \"save\": true, \"bank\": 2 }\n  ]\n}\n";
    expected["kept.json"].assign(kept.begin(), kept.end());
    EXPECT_EQ(contents(), expected); // a dry run writes the list and nothing else
}

TEST_F(ListRun, RefusedListsAndListNamesWriteNothing) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    test::makeRom(folder.path(), "tiny.gb", 100, 2);
    test::makeRom(folder.path(), "BIG.GB", 256 * kBlockSize, 3);
    writeText(folder / "broken.json", R"({"romcompiler-list": 1, "roms": [)");
    writeText(folder / "refused.json", list(R"({"file": "A.GB"}, {"file": "gone.gb"}, {"file": "tiny.gb"})"));
    writeText(folder / "good.json", list(R"({"file": "A.GB"})"));
    const bool pipes = test::makeFifo(folder / "pipe.json");
    const struct {
        std::vector<std::string> arguments; // after -C and the work folder
        int status;
        const char* message;
    } cases[] = {
        {{"--list", "broken.json"},
         1,
         "romcompiler-cli: Cannot open the list \"broken.json\": it is not valid"},
        {{"--list", "good.json", "--list", "refused.json", "--write-list", "new.json"},
         1,
         "romcompiler-cli: 2 of the 3 entries of the list \"refused.json\" cannot be added:\n  entry 2: "
         "Cannot read \"gone.gb\": No such file or directory\n  entry 3: Cannot add \"tiny.gb\": it is 100 "
         "bytes, shorter than one 32768-byte flash block\nthe list is refused; nothing is written\n"},
        {{"A.GB", "--list", "missing.json"}, 1, "\"missing.json\": No such file or directory"},
        {{"--list", "pipe.json"}, 1, "\"pipe.json\": it is not a regular file (a device, pipe or socket)"},
        {{"--list", "."}, 1, "Cannot open the list \".\": it is a folder, not a list file"},
        {{"A.GB", "--write-list", "Menu.GB"}, 2, "--write-list Menu.GB would replace \"Menu.GB\""},
        {{"--list", "good.json", "--write-list", "./A.GB"}, 2, "would replace \"A.GB\""},
        {{"A.GB", "--map", "x.svg", "--write-list", "x.svg"}, 2, "would replace \"x.svg\""},
        {{"A.GB", "--write-list", "none/l.json"}, 1, "Cannot create \"l.json\""},
        {{"BIG.GB", "BIG.GB", "BIG.GB", "A.GB", "BIG.GB", "--write-list", "l.json"}, 1, "does not fit"},
    };
    const auto before = contents();
    for (const auto& c : cases) {
        if (!pipes && std::string_view(c.message).find("pipe.json") != std::string_view::npos) {
            continue;
        }
        std::vector<std::string> arguments{"-C", work()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto run = runCli(folder, arguments);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(contents(), before) << c.message;
    }
}

} // namespace
} // namespace romc
