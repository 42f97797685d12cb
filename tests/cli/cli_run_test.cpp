// Runs romcompiler-cli as a user does and checks its printout, exit status and files.
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

using test::runCli;

using CliRun = test::MenuFolderFixture;

TEST_F(CliRun, CompilesAndPrintsTheTable) {
    test::makeRom(folder.path(), "PUZZLE.GB", 32 * kBlockSize, 1);
    test::makeRom(folder.path(), "saver.gb", 4 * kBlockSize, 2);
    test::makeRom(folder.path(), "SPACE ADVENTURE DX.GBC", 2 * kBlockSize, 3);
    const auto run = runCli(folder, {"--quiet", "-C", folder.path().string(), "PUZZLE.GB", "--save", "--name",
                                     "My Save", "saver.gb", "SPACE ADVENTURE DX.GBC"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out,
        "PUZZLE\tPUZZLE.GB\t32\tN\tN/A\t32\t224\n"
        "MY SAVE\tsaver.gb\t4\tY\t 0\t4\t252\nSPACE ADVENTURE \tSPACE ADVENTURE DX.GBC\t2\tN\tN/A\t2\t254\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::readFile(folder / kImageName).size(), 64 * kBlockSize);
    EXPECT_EQ(test::readFile(folder / "Output1.GB").size(), kPieceSize);
}

TEST_F(CliRun, DryRunPrintsThePlacedTableAndWritesNothing) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    const auto before = contents();
    const auto run = runCli(folder, {"--dry-run", "-C", folder.path().string(), "A.GB"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "A\tA.GB\t8\tN\tN/A\t8\t248\n");
    EXPECT_EQ(contents(), before);
}

struct FailingRun {
    const char* what;
    std::vector<std::string> arguments;
    int status;
    const char* message;
};

TEST_F(CliRun, RefusalsAndUsageErrorsWriteNothing) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    test::makeRom(folder.path(), "TINY.GB", 100, 2);
    test::makeRom(folder.path(), "BIG.GB", 256 * kBlockSize, 3);
    const std::string dir = folder.path().string();
    const FailingRun cases[] = {
        {"refused ROM after a good one", {"-C", dir, "A.GB", "TINY.GB"}, 1, "\"TINY.GB\": it is 100 bytes"},
        {"missing ROM",
         {"-C", dir, "A.GB", "nope.gb"},
         1,
         "Cannot read \"nope.gb\": No such file or directory"},
        {"unplaceable ROM", {"-C", dir, "BIG.GB", "BIG.GB", "BIG.GB", "A.GB", "BIG.GB"}, 1, "does not fit"},
        // An absolute ROM: Windows takes "nowhere/.." away by spelling alone, POSIX needs the folder.
        {"missing work folder", {"-C", dir + "/nowhere", dir + "/A.GB"}, 1, "Cannot work in"},
        {"usage", {"-C", dir, "--frobnicate", "A.GB"}, 2, "unknown option --frobnicate"},
        {"no ROM", {"-C", dir}, 2, "no ROM given"},
    };
    const auto before = contents();
    for (const auto& c : cases) {
        const auto run = runCli(folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.what;
        EXPECT_EQ(contents(), before) << c.what;
    }
}

TEST_F(CliRun, SaveMemoryAskedForAndNotGivenIsWarnedEvenQuietlyAndTheMenuLimitNamesTheCommandLine) {
    test::makeRom(folder.path(), "S.GB", kBlockSize, 1);
    const std::string dir = folder.path().string();
    std::vector<std::string> seventeen = {"--quiet", "-C", dir};
    for (int i = 0; i < kSaveBanks + 1; ++i) {
        seventeen.insert(seventeen.end(), {"--save", "S.GB"});
    }
    const auto saved = runCli(folder, seventeen);
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "romcompiler-cli: warning: \"S.GB\" is added without save memory although --save "
                         "asks for it: all 16 save banks are taken\n");

    std::vector<std::string> tooMany = {"--quiet", "--dry-run", "-C", dir};
    tooMany.insert(tooMany.end(), kMaxMenuRows + 1, "S.GB");
    const auto refused = runCli(folder, tooMany);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Cannot add \"S.GB\": the menu lists at most 255 ROMs"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find("box"), std::string::npos) << refused.err;
    tooMany.pop_back();
    EXPECT_EQ(runCli(folder, tooMany).status, 0);
}

// A piece the new image does not reach is removed, one warning each, even with --quiet; a dry run or a
// refused compilation removes nothing.
TEST_F(CliRun, PiecesLeftFromALargerCompilationAreRemovedWithAWarning) {
    test::makeRom(folder.path(), "A.GB", 8 * kBlockSize, 1);
    test::makeRom(folder.path(), "BIG.GB", 256 * kBlockSize, 2);
    const std::string dir = folder.path().string();
    ASSERT_EQ(runCli(folder, {"--quiet", "-C", dir, "BIG.GB", "BIG.GB", "BIG.GB"}).status, 0);
    struct Case {
        std::vector<std::string> arguments;
        int status;
        int piecesLeft;
    };
    const Case cases[] = {
        {{"--quiet", "--dry-run", "-C", dir, "A.GB"}, 0, 4},
        {{"--quiet", "-C", dir, "BIG.GB", "BIG.GB", "BIG.GB", "BIG.GB"}, 1, 4},
        {{"--quiet", "-C", dir, "A.GB"}, 0, 1},
    };
    for (const auto& c : cases) {
        const auto run = runCli(folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        std::string warnings;
        for (int k = c.piecesLeft + 1; k <= kPieceCount; ++k) {
            warnings += "romcompiler-cli: warning: removed \"" + pieceName(k) +
                        "\", left from an earlier, larger compilation: the image ends before it\n";
        }
        if (c.status == 0) {
            EXPECT_EQ(run.err, warnings);
        }
        for (int k = 1; k <= kPieceCount; ++k) {
            EXPECT_EQ(std::filesystem::exists(folder / pieceName(k)), k <= c.piecesLeft) << pieceName(k);
        }
    }
}

TEST_F(CliRun, HelpPrintsUsage) {
    const auto run = runCli(folder, {"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: romcompiler-cli", 0), 0u);
}

// --names-from-header names a ROM by its cartridge title when the header is one the boot ROM accepts; a
// ROM without such a header, or one given --name, keeps the name it would have had.
TEST_F(CliRun, NamesFromHeaderTakeTheCartridgeTitleOfAnAcceptedHeader) {
    test::writeFile(folder / "my quest.gb", test::batteryRom());
    test::makeRom(folder.path(), "plain.gb", 2 * kBlockSize, 1);
    const struct {
        std::vector<std::string> arguments;
        const char* names; // the name column, joined by ";"
    } cases[] = {
        {{"my quest.gb", "plain.gb"}, "MY QUEST;PLAIN;"},
        {{"--names-from-header", "my quest.gb", "plain.gb"}, "QUEST;PLAIN;"},
        {{"--names-from-header", "--name", "mine", "my quest.gb", "plain.gb"}, "MINE;PLAIN;"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--quiet", "--dry-run", "-C", folder.path().string()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto run = runCli(folder, arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        std::string names;
        for (std::size_t line = 0; line < run.out.size(); line = run.out.find('\n', line) + 1) {
            names += run.out.substr(line, run.out.find('\t', line) - line) + ";";
        }
        EXPECT_EQ(names, c.names) << c.arguments.front();
    }
}

} // namespace
} // namespace romc
