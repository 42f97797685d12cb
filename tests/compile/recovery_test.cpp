// What the next run makes of a journal it finds: one that is not its folder's, or names files no
// compilation writes, is refused and nothing is touched; one whose files are gone changes nothing and says
// which outputs are new; "Menu.GB" that will not boot is warned about and written as before.
#include "compile/compilation.h"
#include "compile/journal.h"
#include "compile/menu_template.h"
#include "compile/recovery.h"
#include "files/temporary_name.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

namespace fs = std::filesystem;

FileIdentity identityOf(const fs::path& path) {
    return systemDisk().openForReading(path).value->identity();
}

class NextRun : public test::TableFixture {
  public:
    void SetUp() override {
        TableFixture::SetUp();
        addOk(romFile(4));
        ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    }

    // A journal of this folder that puts a planted temporary file over "Output.GB".
    Journal plantedJournal() const {
        const fs::path temporary = temporaryNameFor("Output.GB");
        test::writeFile(folder.path() / temporary, std::vector<std::uint8_t>(kBlockSize, 0x66));
        return {
            identityOf(folder.path()), {{temporary, "Output.GB", identityOf(folder.path() / temporary)}}, {}};
    }

    void plant(const std::string& text) const {
        test::writeFile(folder / kJournalName, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
};

TEST_F(NextRun, JournalNotOfThisFolderOrNamingOtherFilesIsRefusedAndNothingIsTouched) {
    test::ScratchFolder other;
    const struct {
        const char* what;
        std::function<std::string(Journal)> text;
        const char* reason;
    } cases[] = {
        {"an absolute name",
         [](Journal j) {
             j.puts[0].final = fs::absolute("elsewhere.txt");
             j.puts[0].temporary = temporaryNameFor(j.puts[0].final).filename();
             return journalText(j);
         },
         "which is no file of this folder"},
        {"a name in the folder above",
         [](Journal j) {
             j.puts[0].final = "../Output2.GB";
             return journalText(j);
         },
         "which is no file of this folder"},
        {"a temporary name of another file",
         [](Journal j) {
             j.puts[0].temporary = temporaryNameFor("Menu.GB");
             return journalText(j);
         },
         "which is no temporary name of \"Output.GB\""},
        {"a removal of the menu",
         [](Journal j) {
             j.removals = {"Menu.GB"};
             return journalText(j);
         },
         "which is no piece of an image"},
        {"another folder's journal",
         [&](Journal j) {
             j.folder = identityOf(other.path());
             return journalText(j);
         },
         "written in another folder"},
        {"an older version", [](Journal) { return std::string("romcompiler journal 1\nend\n"); },
         "not a journal this version"},
        {"one cut short",
         [](Journal j) {
             const std::string whole = journalText(j);
             return whole.substr(0, whole.rfind("end"));
         },
         "cut short"},
    };
    for (const auto& c : cases) {
        plant(c.text(plantedJournal()));
        const auto before = contents();
        const auto recovery = recoverWorkFolder(systemDisk(), folder.path());
        ASSERT_TRUE(recovery.refusal) << c.what;
        EXPECT_NE(recovery.refusal->message.find(c.reason), std::string::npos) << recovery.refusal->message;
        EXPECT_NE(recovery.refusal->message.find(kJournalName), std::string::npos);
        EXPECT_EQ(contents(), before) << c.what;
        const auto compiled = generateCompilation(state, {folder.path(), false});
        ASSERT_TRUE(compiled) << c.what << ": no compilation until the user has looked";
        EXPECT_EQ(contents(), before) << c.what;
        for (const auto& [name, bytes] : before) {
            if (isTemporaryName(name) || name == kJournalName) {
                fs::remove(folder / name);
            }
        }
    }
}

TEST_F(NextRun, JournalWhoseFilesAreGoneChangesNothingAndSaysWhichAreNew) {
    // "Output.GB" was put in place; "Menu.GB"'s temporary file was removed by someone.
    const FileIdentity gone{identityOf(folder.path()).volume, 1};
    plant(journalText({identityOf(folder.path()),
                       {{temporaryNameFor("Output.GB"), "Output.GB", identityOf(folder / "Output.GB")},
                        {temporaryNameFor("Menu.GB"), "Menu.GB", gone}},
                       {"Output1.GB"}}));
    const auto before = contents();
    const auto recovery = recoverWorkFolder(systemDisk(), folder.path());
    EXPECT_FALSE(recovery.refusal);
    EXPECT_FALSE(recovery.changed);
    ASSERT_EQ(recovery.notes.size(), 1u);
    EXPECT_NE(recovery.notes[0].find("cannot be completed"), std::string::npos) << recovery.notes[0];
    EXPECT_NE(recovery.notes[0].find("New: \"Output.GB\"; as before: \"Menu.GB\""), std::string::npos)
        << recovery.notes[0];
    EXPECT_EQ(contents(), before) << "not even the piece the journal would have removed";

    // The next compilation writes every output anew and ends the journal.
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    EXPECT_FALSE(fs::exists(folder / kJournalName));
}

TEST_F(NextRun, TemplateThatWillNotBootIsWarnedAboutAndWrittenAsBefore) {
    auto blankLogo = test::menuTemplate();
    std::fill_n(blankLogo.begin() + 0x104, 48, 0);
    auto longWithData = test::menuTemplate();
    longWithData.resize(40000, 0x11);
    auto longErased = test::menuTemplate();
    longErased.resize(40000, 0xFF);
    const std::string json = R"({ "romcompiler-list": 1, "roms": [] })";
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> warnings; // a part of each, in order
    } cases[] = {
        {"empty", {}, {"is 0 bytes, too short to hold a cartridge header"}},
        {"100 bytes", std::vector<std::uint8_t>(100, 0x31), {"is 100 bytes, too short"}},
        {"a ROM list", std::vector<std::uint8_t>(json.begin(), json.end()), {"too short"}},
        {"a blank logo", blankLogo, {"blank logo area"}},
        {"40000 bytes", longWithData, {"is 40000 bytes, more than its one block"}},
        {"40000 bytes, erased past its block", longErased, {}},
    };
    for (const auto& c : cases) {
        test::writeFile(folder / "Menu.GB", c.bytes);
        CompileNotes notes;
        ASSERT_FALSE(generateCompilation(state, {folder.path(), false, nullptr, &notes})) << c.what;
        ASSERT_EQ(notes.templateWarnings.size(), c.warnings.size()) << c.what;
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_NE(notes.templateWarnings[i].find(c.warnings[i]), std::string::npos)
                << notes.templateWarnings[i];
            EXPECT_NE(notes.templateWarnings[i].find("\"Menu.GB\""), std::string::npos);
        }
        // Written as before: the template's bytes past the menu table stay in the image's block 0.
        const auto image = test::readFile(folder / "Output.GB");
        const auto menu = test::readFile(folder / "Menu.GB");
        ASSERT_GE(image.size(), menu.size()) << c.what;
        const auto block0 = static_cast<std::ptrdiff_t>(std::min(menu.size(), kBlockSize));
        EXPECT_TRUE(std::equal(menu.begin(), menu.begin() + block0, image.begin())) << c.what;
        EXPECT_TRUE(std::equal(c.bytes.begin(),
                               c.bytes.begin() + std::min<std::ptrdiff_t>(c.bytes.size(), 0x4043),
                               menu.begin()))
            << c.what;
    }
}

} // namespace
} // namespace romc
