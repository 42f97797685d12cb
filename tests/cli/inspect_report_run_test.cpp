// romcompiler-cli --inspect with --report and --map: an image read back is drawn exactly as the compilation
// that wrote it drew itself, and the map is kept from taking the place of any file that is not a map.
#include "cartridge/rom_header.h"
#include "plan/flash_map_svg.h"
#include "support/cli_runner.h"
#include "support/table_fixture.h"

#include <random>

namespace romc {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string textOf(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// The report from its title up to the list of files, and the lines of that list naming a file. The list's
// own title and its last line differ on purpose: a compilation wrote its files and removed stale pieces,
// an inspection only read them.
struct ReportParts {
    std::string placement;
    std::vector<std::string> files;
};

ReportParts reportParts(const std::string& out) {
    ReportParts parts;
    const auto start = out.find("\nPlacement report\n");
    const auto list = out.find("files, with the CRC32", start);
    if (start == std::string::npos || list == std::string::npos) {
        return parts;
    }
    const auto listLine = out.rfind('\n', list);
    parts.placement = out.substr(start, listLine - start);
    for (auto at = out.find('\n', list); at + 1 < out.size(); at = out.find('\n', at + 1)) {
        const std::string line = out.substr(at + 1, out.find('\n', at + 1) - at - 1);
        if (line.find(" bytes  CRC32 ") != std::string::npos) {
            parts.files.push_back(line);
        }
    }
    return parts;
}

class InspectReportRun : public test::MenuFolderFixture {
  protected:
    std::string dir() const { return folder.path().string(); }

    // A ROM whose header declares a battery exactly when it is added with save memory, so that the image
    // tells its save ROMs as the table did.
    void writeRom(const std::string& name, int blocks, bool save, std::uint32_t seed) {
        Bytes bytes = test::romBytes(static_cast<std::size_t>(blocks) * kBlockSize, seed);
        bytes[header::kCartridgeType] = save ? 0x03 : 0x00;
        test::writeFile(folder / name, bytes);
    }

    // Compiles a random table of a few ROMs (up to 64 blocks, save ROMs up to 32) with --report and --map.
    test::CliRun compileRandomTable(std::mt19937& random) {
        std::vector<std::string> arguments{"--quiet", "-C", dir(), "--report", "--map", "compiled.svg"};
        const std::string letters = "ABCXYZ019 -";
        for (std::uint32_t i = 0, roms = 2 + random() % 10; i < roms; ++i) {
            const bool save = random() % 3 == 0;
            const int blocks = 1 << (random() % (save ? 6 : 7));
            const std::string file = "R" + std::to_string(i) + ".GB";
            writeRom(file, blocks, save, static_cast<std::uint32_t>(random()));
            // Upper case and no blank at the end: the menu holds names so, and the table as typed.
            std::string name(1, 'G');
            for (std::uint32_t c = 0, length = random() % 12; c < length; ++c) {
                name += letters[random() % letters.size()];
            }
            name += 'Q';
            if (save) {
                arguments.emplace_back("--save");
            }
            arguments.insert(arguments.end(), {"--name", name, file});
        }
        return test::runCli(folder, arguments);
    }
};

TEST_F(InspectReportRun, ReportAndMapOfAnImageEqualThoseOfItsCompilation) {
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        test::writeFile(folder / "Menu.GB", test::menuTemplate());
        const auto compiled = compileRandomTable(random);
        ASSERT_EQ(compiled.status, 0) << compiled.err;
        const ReportParts expected = reportParts(compiled.out);
        ASSERT_FALSE(expected.placement.empty()) << compiled.out;
        const auto before = contents();

        for (const std::string image : {"Output.GB", "Output1.GB"}) {
            const auto run = test::runCli(
                folder, {"--quiet", "-C", dir(), "--report", "--inspect", image, "--map", "inspected.svg"});
            ASSERT_EQ(run.status, 0) << image << ": " << run.err;
            const ReportParts got = reportParts(run.out);
            EXPECT_EQ(got.placement, expected.placement) << image;
            // Read from "Output1.GB", the image is its pieces: "Output.GB" is not among its files.
            auto files = expected.files;
            if (image != "Output.GB") {
                files.erase(files.begin());
            }
            EXPECT_EQ(got.files, files) << image;
            EXPECT_EQ(textOf(test::readFile(folder / "inspected.svg")),
                      textOf(test::readFile(folder / "compiled.svg")))
                << image;
            std::filesystem::remove(folder / "inspected.svg");
            EXPECT_EQ(contents(), before) << image << ": nothing but the map may change";
        }
    }
}

// The template alone holds no cartridge headers, so no row is taken as a save ROM; the usage figures stay
// those of the image, and the template is the one file listed.
TEST_F(InspectReportRun, TemplateAloneGivesTheUsageOfTheTable) {
    writeRom("S.GB", 2, true, 1);
    writeRom("P.GB", 4, false, 2);
    ASSERT_EQ(test::runCli(folder, {"--quiet", "-C", dir(), "--save", "S.GB", "P.GB"}).status, 0);
    const auto image = test::runCli(folder, {"--quiet", "-C", dir(), "--report", "--inspect", "Output.GB"});
    const auto menu = test::runCli(folder, {"--quiet", "-C", dir(), "--report", "--inspect", "Menu.GB"});
    ASSERT_EQ(menu.status, 0) << menu.err;
    const struct {
        std::string line;
        bool inImage;
        bool inMenu;
    } cases[] = {
        {"A    S            2          0      2      3", true, false},
        {"A    S            2          -      2      3", false, true},
        {"B    P            4          -      4      7", true, true},
        {"Blocks used:                     7 of 1024", true, true},
        {"  lost to alignment:             1 (free blocks below the last occupied block, 7", true, true},
        {"  Menu.GB        32768 bytes  CRC32 ", false, true},
        {"  Output.GB     262144 bytes  CRC32 ", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(image.out.find(c.line) != std::string::npos, c.inImage) << c.line << "\n" << image.out;
        EXPECT_EQ(menu.out.find(c.line) != std::string::npos, c.inMenu) << c.line << "\n" << menu.out;
    }
}

TEST_F(InspectReportRun, MapNeverTakesThePlaceOfAnotherFile) {
    writeRom("P.GB", 4, false, 2);
    ASSERT_EQ(test::runCli(folder, {"--quiet", "-C", dir(), "P.GB"}).status, 0);
    test::writeFile(folder / "notes.svg", {'<', 's', 'v', 'g', '>'});
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    } cases[] = {
        {{"--map", "notes.svg"},
         1,
         "romcompiler-cli: --map \"notes.svg\" would replace a file that is not a flash map; give --force to "
         "replace it\n"},
        {{"--map", "Output1.GB"},
         2,
         "romcompiler-cli: --map \"Output1.GB\" would replace \"Output1.GB\"; give the map a name of its "
         "own"},
        {{"--map", "Output.GB", "--force"},
         2,
         "romcompiler-cli: --map \"Output.GB\" would replace \"Output.GB\"; give the map a name of its own"},
        {{"--write-list", "x.json"},
         2,
         "romcompiler-cli: --inspect reads an image: it takes no ROM, --dry-run or --write-list"},
    };
    const auto before = contents();
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--quiet", "-C", dir(), "--inspect", "Output.GB"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto run = test::runCli(folder, arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.front();
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(contents(), before) << c.arguments.front();
    }

    const auto forced = test::runCli(
        folder, {"--quiet", "-C", dir(), "--inspect", "Output.GB", "--map", "notes.svg", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(isFlashMapFile(systemDisk(), folder / "notes.svg"));
}

} // namespace
} // namespace romc
