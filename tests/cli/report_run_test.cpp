// romcompiler-cli with --report, --map and --quiet, run as a user runs it: the report after the table, the
// CRC32 of every written file, a refused compilation that explains itself and writes nothing, and header
// warnings that never change an output byte.
#include "cli/cli_args.h"
#include "cli/piece_crc.h"
#include "compile/image.h"
#include "compile/menu_table.h"
#include "romtable/flash_units.h"
#include "support/cli_runner.h"
#include "support/rom_files.h"
#include "support/table_fixture.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace romc {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::batteryRom;
using test::referenceCrc32;
using test::runCli;

class ReportRun : public test::MenuFolderFixture {
  protected:
    std::vector<std::string> fullFlashArguments() {
        const int sizes[] = {256, 256, 256, 128, 64, 32, 16, 8, 4, 2, 1};
        std::vector<std::string> arguments{"-C", folder.path().string()};
        std::uint32_t seed = 1;
        for (const int blocks : sizes) {
            const std::string name = "R" + std::to_string(seed) + ".GB";
            test::makeRom(folder.path(), name, static_cast<std::size_t>(blocks) * kBlockSize, seed++);
            arguments.push_back(name);
        }
        return arguments;
    }

    std::string dir() const { return folder.path().string(); }
};

TEST_F(ReportRun, FullFlashReportGivesTheCrcOfEachWrittenFile) {
    auto arguments = fullFlashArguments();
    arguments.insert(arguments.begin(), {"--report", "--quiet"});
    const auto run = runCli(folder, arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // The table comes first, exactly as without --report; the report follows.
    EXPECT_EQ(run.out.rfind("R1\tR1.GB\t256\tN\tN/A\t256\t192\n", 0), 0u) << run.out;
    const auto reportAt = run.out.find("\nPlacement report\n");
    ASSERT_NE(reportAt, std::string::npos);
    const std::string lastRow = "R11\tR11.GB\t1\tN\tN/A\t1\t255\n";
    ASSERT_GE(reportAt, lastRow.size());
    EXPECT_EQ(run.out.substr(reportAt - lastRow.size(), lastRow.size()), lastRow);

    for (int k = 0; k <= kPieceCount; ++k) {
        const std::string name = k == 0 ? kImageName : pieceName(k);
        const Bytes bytes = test::readFile(folder / name);
        const std::string expected = "  " + name + std::string(11 - name.size(), ' ') +
                                     (k == 0 ? " 33554432" : "  8388608") + " bytes  CRC32 " +
                                     crcText(referenceCrc32(bytes)) + "\n";
        EXPECT_NE(run.out.find(expected), std::string::npos) << "missing: " << expected << "in:\n" << run.out;
    }
    EXPECT_NE(run.out.find("Blocks used:                  1024 of 1024"), std::string::npos);
}

TEST_F(ReportRun, DryRunReportAndMapWriteOnlyTheMap) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    const auto before = contents();
    const auto run = runCli(folder, {"--dry-run", "--report", "--map", "plan.svg", "-C", dir(), "A.GB"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("A\tA.GB\t8\tN\tN/A\t8\t248\n\nPlacement report\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("Dry run: no file was written, so there is no CRC32. A compilation would write:"),
              std::string::npos);
    EXPECT_EQ(run.out.find("CRC32 "), std::string::npos);

    auto after = contents();
    ASSERT_EQ(after.count("plan.svg"), 1u) << "the map goes to the -C folder";
    const std::string svg(after["plan.svg"].begin(), after["plan.svg"].end());
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    std::size_t blocks = 0;
    for (auto at = svg.find("id=\"block-"); at != std::string::npos; at = svg.find("id=\"block-", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(blocks, static_cast<std::size_t>(kFlashBlocks));
    after.erase("plan.svg");
    EXPECT_EQ(after, before);
}

TEST_F(ReportRun, UnplaceableRomIsRefusedWithTheReportOfWhatFits) {
    test::makeRom(folder.path(), "SAVE.GB", 32 * kBlockSize, 1);
    test::makeRom(folder.path(), "BIG.GB", 256 * kBlockSize, 2);
    test::makeRom(folder.path(), "SMALL.GB", 8 * kBlockSize, 3);
    const auto before = contents();
    const auto run = runCli(folder, {"--report", "--map", "map.svg", "-C", dir(), "--save", "SAVE.GB",
                                     "BIG.GB", "BIG.GB", "BIG.GB", "BIG.GB", "SMALL.GB"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        run.err.find("\"BIG\" (BIG.GB) (256 blocks) does not fit in the flash: the largest free aligned "
                     "space is 128 blocks"),
        std::string::npos)
        << run.err;
    // No table (it is printed only for a compilation that succeeded), but the report of what fits.
    EXPECT_EQ(run.out.rfind("\nPlacement report\n================\nNot compiled: ", 0), 0u) << run.out;
    EXPECT_NE(
        run.out.find("E    BIG        256          -  not placed: does not fit: the largest free aligned "
                     "space is 128 blocks\n"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("F    SMALL        8          -      8     15  0x0040000-0x007FFFF  Output1.GB\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("save ROM: A SAVE"), std::string::npos);
    EXPECT_EQ(contents(), before) << "nothing written: no output, no map, no temporary file";
}

TEST_F(ReportRun, HeaderWarningsGoToStderrAndChangeNoOutputByte) {
    test::writeFile(folder / "Q.GB", batteryRom());
    const auto warned = runCli(folder, {"-C", dir(), "Q.GB"});
    ASSERT_EQ(warned.status, 0) << warned.err;
    EXPECT_EQ(
        warned.err,
        "romcompiler-cli: warning: \"Q.GB\" (Q): cartridge type 0x03 (MBC1+RAM+BATTERY) keeps its saves in "
        "battery-backed RAM, but the ROM is added without save memory: its saves will be lost\n");
    const auto warnedFiles = contents();

    test::writeFile(folder / menu::kTemplateName, test::menuTemplate());
    const auto quiet = runCli(folder, {"--quiet", "-C", dir(), "Q.GB"});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, warned.err) << "--quiet keeps the warning that saves will be lost";
    EXPECT_EQ(quiet.out, warned.out);
    const auto quietFiles = contents();
    ASSERT_EQ(quietFiles.size(), warnedFiles.size());
    for (const auto& [name, bytes] : warnedFiles) {
        EXPECT_EQ(test::firstDifference(bytes, quietFiles.at(name)), "equal") << name;
    }

    const auto saved = runCli(folder, {"-C", dir(), "--save", "Q.GB"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "") << "a battery ROM with save memory is as it should be";
}

TEST_F(ReportRun, QuietSilencesEveryOtherHeaderWarning) {
    test::makeRom(folder.path(), "P.GB", kBlockSize, 7); // a byte pattern: no header the boot ROM takes
    EXPECT_NE(runCli(folder, {"-C", dir(), "P.GB"}).err, "");
    test::writeFile(folder / menu::kTemplateName, test::menuTemplate());
    const auto quiet = runCli(folder, {"--quiet", "-C", dir(), "P.GB"});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
}

struct ReportUsageCase {
    const char* what;
    std::vector<std::string> arguments;
    const char* message;
};

TEST_F(ReportRun, MapUsageErrorsWriteNothing) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    const ReportUsageCase cases[] = {
        {"no file", {"-C", dir(), "A.GB", "--map"}, "--map needs a value"},
        {"empty file name", {"-C", dir(), "--map", "", "A.GB"}, "--map needs a file name"},
        {"twice", {"-C", dir(), "--map", "a.svg", "--map", "b.svg", "A.GB"}, "--map given twice"},
        {"over an output", {"-C", dir(), "--map", "Output2.GB", "A.GB"}, "would replace \"Output2.GB\""},
        {"over the menu", {"-C", dir(), "--map", "Menu.GB", "A.GB"}, "would replace \"Menu.GB\""},
        {"over a ROM", {"-C", dir(), "--map", "A.GB", "A.GB"}, "would replace \"A.GB\""},
    };
    const auto before = contents();
    for (const auto& c : cases) {
        const auto run = runCli(folder, c.arguments);
        EXPECT_EQ(run.status, 2) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find("usage: romcompiler-cli"), std::string::npos) << c.what;
        EXPECT_EQ(run.out, "") << c.what;
        EXPECT_EQ(contents(), before) << c.what;
    }
}

// Where names ignore letter case, "menu.gb" is "Menu.GB": the map must not replace the menu by another
// spelling. Elsewhere it is a file of its own, and the menu is patched as usual.
TEST_F(ReportRun, MapNamedLikeTheMenuInOtherLettersNeverReplacesIt) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    const bool caseBlind = std::filesystem::exists(folder / "menu.gb");
    const auto before = contents();
    const auto run = runCli(folder, {"-C", dir(), "--map", "menu.gb", "A.GB"});
    if (caseBlind) {
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("would replace \"Menu.GB\""), std::string::npos) << run.err;
        EXPECT_EQ(contents(), before);
        return;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    const auto map = test::readFile(folder / "menu.gb");
    const auto menu = test::readFile(folder / "Menu.GB");
    EXPECT_EQ(std::string(map.begin(), map.begin() + 5), "<?xml");
    EXPECT_EQ(menu.size(), 32u * 1024u);
}

TEST(ReportArguments, NewOptionsAreReadAnywhereBeforeOrBetweenRoms) {
    const auto parsed =
        parseCliArguments({"A.GB", "--report", "--save", "B.GB", "--map", "m.svg", "--quiet"});
    ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
    const CliArguments& cli = parsed.value();
    EXPECT_TRUE(cli.report);
    EXPECT_TRUE(cli.quiet);
    ASSERT_TRUE(cli.map);
    EXPECT_EQ(*cli.map, "m.svg");
    ASSERT_EQ(cli.roms.size(), 2u);
    EXPECT_FALSE(cli.roms[0].save);
    EXPECT_TRUE(cli.roms[1].save);

    const auto plain = parseCliArguments({"A.GB"});
    ASSERT_TRUE(plain.ok());
    EXPECT_FALSE(plain.value().report);
    EXPECT_FALSE(plain.value().quiet);
    EXPECT_FALSE(plain.value().map);
}

TEST(PieceCrc, KnownCheckValue) {
    test::ScratchFolder folder;
    const std::string text = "123456789";
    test::writeFile(folder / "check.bin", Bytes(text.begin(), text.end()));
    const auto crc = fileCrc32(systemDisk(), folder / "check.bin", "check.bin");
    ASSERT_TRUE(crc.ok()) << crc.failure().message;
    EXPECT_EQ(crc.value(), 0xCBF43926u);
    EXPECT_EQ(crcText(crc.value()), "CBF43926");
    EXPECT_EQ(crcText(0x0000ABCDu), "0000ABCD");

    const Bytes big = test::romBytes(3 * 1024 * 1024 + 17, 4); // more than one read of 1 MiB
    test::writeFile(folder / "big.bin", big);
    EXPECT_EQ(fileCrc32(systemDisk(), folder / "big.bin", "big.bin").value(), referenceCrc32(big));

    const auto missing = fileCrc32(systemDisk(), folder / "gone.bin", "gone.bin");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().message, "Cannot open \"gone.bin\" for reading: No such file or directory");
}

} // namespace
} // namespace romc
