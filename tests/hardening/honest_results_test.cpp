// The command line tells the truth: exit 1 means nothing was changed and exit 0 that everything asked for
// was written; no file name can break the printout or the map.
#include "compile/output_transaction.h"
#include "files/disk.h"
#include "files/work_folder.h"
#include "hardening/child_process.h"
#include "romtable/flash_units.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>

namespace romc::hardening {
namespace {

namespace fs = std::filesystem;
using Contents = std::map<std::string, std::vector<std::uint8_t>>;

class HonestResults : public ::testing::Test {
  public:
    void SetUp() override {
        test::writeFile(folder / kMenuTemplateName, test::menuTemplate());
        test::makeRom(folder.path(), "game.gb", 4 * kBlockSize, 1);
    }

    ChildOutcome cli(std::vector<std::string> arguments, const CliConditions& conditions = {}) const {
        arguments.insert(arguments.begin(), {"--quiet", "-C", folder.path().string()});
        return runCli(arguments, conditions);
    }

    Contents contents() const { return test::folderContents(folder.path()); }

    test::ScratchFolder folder;
};

struct RefusedCase {
    const char* label;
    std::function<void(const fs::path& folder)> prepare;
    std::vector<std::string> arguments;
    const char* says;
    bool stdoutFull = false;     // stdout is /dev/full
    const char* needs = nullptr; // what only POSIX gives this case, if anything
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.label;
}

class RefusedRun : public HonestResults, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedRun, ExitsOneAndChangesNothing) {
    const auto& c = GetParam();
    if (c.needs != nullptr && !kPosixChildren) {
        GTEST_SKIP() << c.needs << kOnlyOnPosix;
    }
    c.prepare(folder.path());
    const Contents before = contents();
    CliConditions conditions;
    if (c.stdoutFull) {
        conditions.stdoutFile = "/dev/full";
    }
    const auto run = cli(c.arguments, conditions);
    EXPECT_TRUE(run.exited && run.status == 1) << run.status << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, RefusedRun,
    ::testing::Values(
        RefusedCase{"StdoutFull",
                    [](const fs::path&) {},
                    {"game.gb"},
                    "Cannot write to standard output: No space left on device; nothing was changed",
                    true,
                    "/dev/full"},
        RefusedCase{"MapOverAFolder",
                    [](const fs::path& f) { fs::create_directories(f / "maps" / "in"); },
                    {"--map", "maps", "game.gb"},
                    "\"maps\" would replace a file that is not a flash map"},
        RefusedCase{"MapOverAFolderDespiteForce",
                    [](const fs::path& f) { fs::create_directories(f / "maps"); },
                    {"--force", "--map", "maps", "game.gb"},
                    "a folder of that name is in the way"},
        RefusedCase{"MapOverSomeoneElsesFile",
                    [](const fs::path& f) {
                        test::writeFile(f / "notes.svg", {'<', 's', 'v', 'g', '>'});
                    },
                    {"--map", "notes.svg", "game.gb"},
                    "give --force to replace it"},
        RefusedCase{"RomIsTheTemplate", [](const fs::path&) {}, {"./Menu.GB"}, "menu template \"Menu.GB\""},
        RefusedCase{"RomIsTheTemplateByALink",
                    [](const fs::path& f) { test::makeLink(f / "Menu.GB", f / "menu-link.gb"); },
                    {"menu-link.gb"},
                    "menu template \"Menu.GB\"",
                    false,
                    "a symbolic link"},
        RefusedCase{"RomIsAnOutputByAHardLink",
                    [](const fs::path& f) {
                        test::writeFile(f / "Output.GB", test::romBytes(kBlockSize, 5));
                        fs::create_hard_link(f / "Output.GB", f / "copy.gb");
                    },
                    {"copy.gb"},
                    "output \"Output.GB\""},
        RefusedCase{"ControlCharactersInARefusedPath",
                    [](const fs::path&) {},
                    {"no\nsuch\tfile.gb"},
                    "\"no\\x0Asuch\\x09file.gb\""}),
    [](const auto& info) { return std::string(info.param.label); });

// This process holds the folder's lock as a running compilation does: the command line in another process
// is refused at once, naming the folder, and changes nothing; once the lock is gone it compiles.
TEST_F(HonestResults, CompilationInAFolderAnotherProcessCompilesInIsRefused) {
    auto held = lockWorkFolder(systemDisk(), folder.path());
    ASSERT_TRUE(held.ok()) << held.failure().message;
    const Contents before = contents();
    for (const char* dryRun : {"--dry-run", "--report"}) {
        const auto run = cli({dryRun, "game.gb"});
        EXPECT_TRUE(run.exited && run.status == 1) << run.status << "\n" << run.err;
        EXPECT_NE(run.err.find("Another compilation is running in \"" + folder.path().string()),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(contents(), before);
    }
    held.value().reset();
    const auto run = cli({"game.gb"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(HonestResults, MapReplacesOnlyAMapOrWithForce) {
    test::writeFile(folder / "notes.svg", {'n', 'o', 't', 'e'});
    ASSERT_EQ(cli({"--force", "--map", "notes.svg", "game.gb"}).status, 0);
    ASSERT_EQ(cli({"--map", "notes.svg", "game.gb"}).status, 0) << "a map this tool drew is replaced";
    const auto svg = test::readFile(folder / "notes.svg");
    EXPECT_NE(std::string(svg.begin(), svg.end()).find("<svg"), std::string::npos);
}

TEST_F(HonestResults, DryRunReadsTheTemplateAndWritesOnlyTheMapAskedFor) {
    const fs::path menu = folder / kMenuTemplateName;
    fs::permissions(menu, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto identity = [&menu] { return systemDisk().openForReading(menu).value->identity(); };
    Contents before = contents();
    const FileIdentity menuBefore = identity();
    const auto run = cli({"--dry-run", "--map", "plan.svg", "game.gb"});
    ASSERT_EQ(run.status, 0) << run.err;
    Contents after = contents();
    EXPECT_EQ(after.erase("plan.svg"), 1u) << "the map was written";
    EXPECT_EQ(after, before);
    EXPECT_TRUE(identity() == menuBefore) << "the template was replaced";
}

// Tab, line end and invalid UTF-8 in file names: the table keeps one line per row and seven columns, and
// the map stays well-formed XML.
TEST_F(HonestResults, HostileFileNamesKeepThePrintoutAndTheMapWhole) {
    if (!kPosixChildren) {
        GTEST_SKIP() << "file names with control characters and bytes that are no UTF-8" << kOnlyOnPosix;
    }
    const std::vector<std::string> names{"tab\there.gb", "line\nend.gb", "bad\xFF\xFE.gb",
                                         "sur\xED\xA0\x80.gb", "amp&<lt>.gb"};
    std::vector<std::string> arguments{"--map", "map.svg"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        test::makeRom(folder.path(), names[i], kBlockSize, static_cast<std::uint32_t>(10 + i));
        arguments.push_back(names[i]);
    }
    const auto run = cli(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::size_t rows = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
        ++rows;
    }
    EXPECT_EQ(rows, names.size());
    EXPECT_NE(run.out.find("tab\\x09here.gb"), std::string::npos) << run.out;

    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed: the map's XML is not checked";
    }
    const std::string check = "xmllint --noout '" + (folder / "map.svg").string() + "' 2>&1";
    EXPECT_EQ(std::system(check.c_str()), 0) << "the map is not well-formed XML";
}

} // namespace
} // namespace romc::hardening
