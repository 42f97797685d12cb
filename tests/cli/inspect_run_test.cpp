// romcompiler-cli --inspect run as a user runs it: the table of a compiled image and of its template, names
// with control characters, a table no compilation wrote, and the exit status of each mistake.
#include "cli/piece_crc.h"
#include "compile/menu_table.h"
#include "files/utf8_path.h"
#include "support/cli_runner.h"
#include "support/table_fixture.h"

#include <fstream>

namespace romc {
namespace {

class InspectRun : public test::MenuFolderFixture {
  protected:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        test::writeFile(folder / "Q.GB", test::batteryRom());
        test::makeRom(folder.path(), "P.GB", 4 * kBlockSize, 5);
        const auto run =
            test::runCli(folder, {"--quiet", "-C", dir(), "--save", "--name", "Quest", "Q.GB", "P.GB"});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    std::string dir() const { return folder.path().string(); }
    test::CliRun inspect(const std::string& image, bool quiet = true) {
        std::vector<std::string> arguments{"-C", dir(), "--inspect", image};
        if (quiet) {
            arguments.insert(arguments.begin(), "--quiet");
        }
        return test::runCli(folder, arguments);
    }
    void setByte(const std::string& name, std::size_t offset, std::uint8_t value) {
        std::fstream file(folder / name, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(offset));
        file.put(static_cast<char>(value));
    }
    std::string crcOf(const std::string& rom) {
        return crcText(test::referenceCrc32(test::readFile(folder / rom)));
    }
};

TEST_F(InspectRun, PrintsEachRowOfTheImage) {
    const auto run = inspect("Output.GB");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string quest = "QUEST\t32\t32\t0\t" + crcOf("Q.GB") + "\tQUEST\tok\n";
    ASSERT_EQ(run.out.rfind(quest + "P\t4\t4\t0\t" + crcOf("P.GB") + "\t", 0), 0u) << run.out;
    EXPECT_EQ(inspect("Output1.GB").out, run.out);
    EXPECT_EQ(inspect("Menu.GB").out, "QUEST\t32\t32\t0\nP\t4\t4\t0\n");

    const auto warned = inspect("Output.GB", false);
    EXPECT_EQ(warned.out, run.out);
    EXPECT_EQ(warned.err.rfind("romcompiler-cli: warning: row 2 (\"P\"): ", 0), 0u) << warned.err;
    EXPECT_EQ(warned.err.find("row 1"), std::string::npos) << "the made-up battery ROM's header is sound";
}

TEST_F(InspectRun, ControlCharactersAreEscapedAndAnUntrustedTableIsRefused) {
    setByte("Output.GB", menu::kNameEntries, 0x07);
    setByte("Output.GB", menu::kNameEntries + 2, '\t');
    const auto run = inspect("Output.GB");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("\\x07U\\x09ST\t32\t32\t0\t", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "romcompiler-cli: warning: row 1 (\"\\x07U\\x09ST\"): the name holds bytes the menu "
                       "may not show\nromcompiler-cli: warning: \"Output1.GB\" does not match \"Output.GB\": "
                       "they differ first at byte 0x6F40 of the piece (byte 0x6F40 of the image, block 0)\n");

    setByte("Menu.GB", menu::kLocationEntries + 4 + menu::kLocationHighByte, 0x95);
    const auto refused = inspect("Menu.GB");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "romcompiler-cli: \"Menu.GB\" is not an image this tool could have written: row 2 (\"P\"): "
              "location bytes 0x95 0x04: a high byte is 0x90 to 0x94, or 0 to 3 for an 8 MiB ROM\n");
}

TEST_F(InspectRun, ExitStatusOfEachMistake) {
    const std::pair<std::vector<std::string>, std::pair<int, std::string>> cases[] = {
        {{"--inspect"}, {2, "romcompiler-cli: --inspect needs an image\nusage:"}},
        {{"--inspect", "Output.GB", "Q.GB"},
         {2, "romcompiler-cli: --inspect reads an image: it takes no ROM"}},
        {{"--inspect", "Output.GB", "--dry-run"},
         {2, "romcompiler-cli: --inspect reads an image: it takes no ROM"}},
        {{"--inspect", "a", "--inspect", "b"}, {2, "romcompiler-cli: --inspect given twice"}},
        {{"--inspect", "gone.GB"},
         {1, "romcompiler-cli: Cannot read \"gone.GB\": No such file or directory\n"}},
        {{"--inspect", "Output2.GB"}, {1, "romcompiler-cli: \"Output2.GB\" is piece 2 of an image"}},
        {{"--extract", "out", "Q.GB"},
         {2, "romcompiler-cli: --extract takes the ROMs out of an image: give it with --inspect IMAGE"}},
        {{"--inspect", "Output.GB", "--extract"}, {2, "romcompiler-cli: --extract needs a folder"}},
        {{"--inspect", "Output.GB", "--extract", "a", "--extract", "b"},
         {2, "romcompiler-cli: --extract given twice"}},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<std::string> withDir{"-C", dir()};
        withDir.insert(withDir.end(), arguments.begin(), arguments.end());
        const auto run = test::runCli(folder, withDir);
        EXPECT_EQ(run.status, expected.first) << arguments.back();
        EXPECT_EQ(run.err.rfind(expected.second, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// The table goes to stdout as --inspect prints it; the files and the summary to the folder and stderr. An
// existing file stops the extraction before anything is written, until --force lets it go.
TEST_F(InspectRun, InterruptedCompilationInTheFolderIsNamedAndNothingIsVouchedFor) {
    test::writeFile(folder / ".romcompiler-journal", std::vector<std::uint8_t>{'x'});
    for (const char* image : {"Output.GB", "Output1.GB"}) {
        const auto run = inspect(image);
        EXPECT_EQ(run.status, 1) << image;
        EXPECT_EQ(run.out, "") << image;
        EXPECT_NE(run.err.find("was interrupted"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Do not flash them before the next compilation there completes it"),
                  std::string::npos)
            << run.err;
    }
}

TEST_F(InspectRun, ExtractWritesTheRomsAndTheirListAndReplacesOnlyWithForce) {
    const auto alone = inspect("Output.GB");
    const auto run =
        test::runCli(folder, {"--quiet", "-C", dir(), "--inspect", "Output.GB", "--extract", "out"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, alone.out);
    // The list's path as the system spells it: "out\\list.json" on Windows.
    EXPECT_EQ(run.err, "romcompiler-cli: extracted 2 ROMs into \"out\", listed in " +
                           inQuotes(pathToUtf8(std::filesystem::path("out") / "list.json")) + "\n");
    EXPECT_EQ(test::readFile(folder / "out" / "QUEST.GB"), test::readFile(folder / "Q.GB"));
    EXPECT_EQ(test::readFile(folder / "out" / "P.GB"), test::readFile(folder / "P.GB"));
    const auto list = test::readFile(folder / "out" / "list.json");
    EXPECT_EQ(std::string(list.begin(), list.end()),
              "{\n  \"romcompiler-list\": 1,\n  \"roms\": [\n    { \"name\": \"QUEST\", \"file\": "
              "\"QUEST.GB\", \"save\": true, \"bank\": 0 },\n    { \"name\": \"P\", \"file\": \"P.GB\", "
              "\"save\": false }\n  ]\n}\n");

    test::writeFile(folder / "out" / "P.GB", {1, 2, 3});
    const auto kept =
        test::runCli(folder, {"--quiet", "-C", dir(), "--inspect", "Output.GB", "--extract", "out"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "romcompiler-cli: Cannot extract into \"out\": it already holds \"QUEST.GB\", "
                        "\"P.GB\", \"list.json\"; nothing was written. Give --force to replace them\n");
    EXPECT_EQ(test::readFile(folder / "out" / "P.GB"), (std::vector<std::uint8_t>{1, 2, 3}));
    const auto forced = test::runCli(
        folder, {"--quiet", "-C", dir(), "--inspect", "Output.GB", "--extract", "out", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(test::readFile(folder / "out" / "P.GB"), test::readFile(folder / "P.GB"));

    // Built again from the list with the same template, in another folder: the same image.
    const test::ScratchFolder work;
    test::writeFile(work / "Menu.GB", test::readFile(folder / "Menu.GB"));
    const auto rebuilt = test::runCli(
        folder, {"--quiet", "-C", work.path().string(), "--list", (folder / "out" / "list.json").string()});
    EXPECT_EQ(rebuilt.status, 0) << rebuilt.err;
    EXPECT_EQ(test::firstDifference(test::readFile(folder / "Output.GB"), test::readFile(work / "Output.GB")),
              "equal");
}

} // namespace
} // namespace romc
