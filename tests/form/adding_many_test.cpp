// Many ROMs at once through the model: a multiple selection or a drop with a refused file in the middle,
// the header's proposal for "Save?", and the keys that act as the buttons.
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/archive_files.h"
#include "support/table_fixture.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;
using romc::kBlockSize;

// A one-block ROM whose header the boot ROM accepts, of cartridge type `type`.
std::vector<std::uint8_t> romWithType(std::uint8_t type, const std::vector<std::uint8_t>& logo) {
    std::vector<std::uint8_t> bytes(kBlockSize, 0);
    std::copy(logo.begin(), logo.end(), bytes.begin() + 0x104);
    bytes[0x134] = 'G';
    bytes[0x147] = type;
    std::uint8_t sum = 0;
    for (std::size_t i = 0x134; i <= 0x14C; ++i) {
        sum = static_cast<std::uint8_t>(sum - bytes[i] - 1);
    }
    bytes[0x14D] = sum;
    return bytes;
}

class AddingManyTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        model.load();
        const std::vector<std::uint8_t> logo(0x30, 0xCE);
        romc::test::writeFile(folder / "battery.gb", romWithType(0x03, logo)); // MBC1+RAM+BATTERY
        romc::test::writeFile(folder / "plain.gb", romWithType(0x00, logo));   // ROM only
        romc::test::makeRom(folder.path(), "pattern.gb", kBlockSize, 5);       // no valid header
        romc::test::makeRom(folder.path(), "short.gb", 100, 6);                // refused: under a block
    }
    std::string path(const char* name) const { return (folder / name).string(); }
    std::string column(ControlId list) const {
        std::string joined;
        for (const auto& text : model.rows(list)) {
            joined += text + ";";
        }
        return joined;
    }

    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

TEST_F(AddingManyTest, SeveralFilesAddedInOrderWithRefusalsInOneMessage) {
    dialogs.picks.push_back({path("battery.gb"), path("short.gb"), path("plain.gb"), path("pattern.gb")});
    const auto reaction = model.menuCommand(MenuCommand::AddRoms);
    EXPECT_EQ(dialogs.shown.back().pick, FilePick::SeveralToOpen);
    EXPECT_EQ(column(List1), "BATTERY;PLAIN;PATTERN;");
    // The header proposes: the battery ROM takes bank 0, the plain one none, the one without a valid
    // header none either.
    EXPECT_EQ(column(List4), "Y;N;N;");
    ASSERT_TRUE(reaction.message.has_value());
    EXPECT_NE(reaction.message->text.find("1 of the 4 files cannot be added; the other 3"), std::string::npos)
        << reaction.message->text;
    EXPECT_NE(reaction.message->text.find("short.gb"), std::string::npos);
    // Nothing was put in the boxes: "Add ROM" would only be refused.
    EXPECT_EQ(model.buttonState(), ButtonState::WaitingForFile);
}

TEST_F(AddingManyTest, OneDropFillsTheBoxesSeveralAreAddedAlsoToACompiledTable) {
    const auto one = model.filesDropped({path("battery.gb")});
    EXPECT_EQ(model.text(Text2), path("battery.gb"));
    EXPECT_EQ(model.text(Text1), "battery"); // proposed as "Find File" proposes; Add ROM upper-cases it
    EXPECT_TRUE(model.checked(Check1));
    EXPECT_TRUE(model.rows(List1).empty());
    EXPECT_TRUE(model.enabled(Command2));
    EXPECT_TRUE(one.refresh.has(Check1));

    model.filesDropped({path("plain.gb"), path("pattern.gb")});
    EXPECT_EQ(column(List1), "PLAIN;PATTERN;");
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    EXPECT_FALSE(model.filesDropped({path("plain.gb"), path("pattern.gb")}).message.has_value());
    EXPECT_EQ(column(List1), "PLAIN;PATTERN;PLAIN;PATTERN;");
    EXPECT_FALSE(model.generateCompilation().message.has_value()) << "a changed table compiles again";
}

TEST_F(AddingManyTest, EnterAddsAndDeleteRemovesAsTheButtonsDo) {
    EXPECT_TRUE(model.enterPressed(Text1).refresh.empty()); // "Add ROM" is off: nothing picked yet
    // Find File and a dropped file leave the focus in the name box, where Enter adds the ROM.
    dialogs.choose(path("plain.gb"));
    EXPECT_EQ(model.findFile().focus, Text1);
    EXPECT_EQ(model.filesDropped({path("plain.gb")}).focus, Text1);
    const struct {
        ControlId control;
        bool enter;
        const char* rows;
    } steps[] = {
        {Text2, true, "PLAIN;"},
        {Text1, true, "PLAIN;PLAIN;"},
        {Text3, true, "PLAIN;PLAIN;"},
        {List3, false, "PLAIN;PLAIN;"}, // no row chosen in the name column
    };
    for (const auto& s : steps) {
        s.enter ? model.enterPressed(s.control) : model.deletePressed(s.control);
        EXPECT_EQ(column(List1), s.rows) << indexOf(s.control);
    }
    model.rowSelected(List1, 0);
    model.deletePressed(List5);
    EXPECT_EQ(column(List1), "PLAIN;");
}

// Archives in the window: Find File takes an archive's one ROM, or asks which of several; a drop of an
// archive with several ROMs and "Add ROMs..." add each; "Save?" is proposed from the member's header.
TEST_F(AddingManyTest, ArchivesGiveTheirRomsToFindFileDropsAndAddRoms) {
    using romc::test::ArchiveFormat;
    const std::vector<std::uint8_t> logo(0x30, 0xCE);
    const auto battery = romWithType(0x03, logo);
    const auto plain = romWithType(0x00, logo);
    romc::test::writeArchive(folder / "one.zip", ArchiveFormat::ZipDeflate,
                             {{"readme.txt", {'r'}}, {"Tetris (World).gb", battery}});
    romc::test::writeArchive(folder / "all.7z", ArchiveFormat::SevenZipLzma2,
                             {{"a.gb", plain}, {"b.gbc", battery}, {"c.sgb", plain}});
    romc::test::writeArchive(folder / "docs.zip", ArchiveFormat::ZipStored, {{"readme.txt", {'r'}}});

    const struct {
        const char* file;
        std::vector<Choice> answers;
        std::string path;      // the path box afterwards
        bool saveBox;          // "Save?" as the member's header proposes
        std::size_t questions; // how many "Take ...?" questions were asked
        const char* message;   // a refusal shown instead, or ""
    } cases[] = {
        {"one.zip", {}, path("one.zip") + "::Tetris (World).gb", true, 0, ""},
        {"all.7z", {Choice::No, Choice::Yes}, path("all.7z") + "::b.gbc", true, 2, ""},
        {"all.7z", {Choice::No, Choice::No, Choice::No}, path("all.7z") + "::b.gbc", true, 3, ""},
        {"docs.zip", {}, path("all.7z") + "::b.gbc", true, 0, "the archive holds no ROM"},
    };
    std::string firstQuestion;
    for (const auto& c : cases) {
        dialogs.asked.clear();
        dialogs.choose(path(c.file));
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        const auto reaction = model.findFile();
        EXPECT_EQ(model.text(Text2), c.path) << c.file;
        EXPECT_EQ(model.checked(Check1), c.saveBox) << c.file;
        EXPECT_EQ(dialogs.asked.size(), c.questions) << c.file;
        EXPECT_EQ(reaction.message.has_value(), *c.message != '\0') << c.file;
        if (reaction.message) {
            EXPECT_NE(reaction.message->text.find(c.message), std::string::npos) << reaction.message->text;
            EXPECT_NE(reaction.message->text.find("\"readme.txt\""), std::string::npos) << "what it holds";
        }
        EXPECT_TRUE(model.rows(List1).empty()) << "Find File adds nothing";
        if (firstQuestion.empty() && !dialogs.asked.empty()) {
            firstQuestion = dialogs.asked.front().text;
        }
    }
    EXPECT_NE(firstQuestion.find("holds 3 ROMs. Take \"a.gb\" (1 of 3)?"), std::string::npos)
        << firstQuestion;
    EXPECT_EQ(model.text(Text1), "b") << "the name proposed from the member's own file name";

    model.filesDropped({path("all.7z")});
    EXPECT_EQ(column(List1), "A;B;C;");
    EXPECT_EQ(model.rowWarning(0), "");
    // The archive changed: the rows' headers are read again at the next change of the table.
    auto broken = plain;
    broken[0x14D] ^= 0xFF;
    broken.resize(2 * kBlockSize, 0);
    romc::test::writeArchive(folder / "all.7z", ArchiveFormat::SevenZipLzma2,
                             {{"a.gb", broken}, {"b.gbc", battery}, {"c.sgb", plain}});
    dialogs.picks.push_back({path("one.zip"), path("docs.zip")});
    const auto reaction = model.menuCommand(MenuCommand::AddRoms);
    EXPECT_EQ(column(List1), "A;B;C;TETRIS (WORLD);");
    EXPECT_NE(model.rowWarning(0).find("header checksum"), std::string::npos) << model.rowWarning(0);
    EXPECT_EQ(model.rows(List2).back(), path("one.zip") + "::Tetris (World).gb");
    ASSERT_TRUE(reaction.message.has_value());
    EXPECT_NE(reaction.message->text.find("1 of the 2 files cannot be added"), std::string::npos)
        << reaction.message->text;
    const auto compiled = model.generateCompilation();
    ASSERT_TRUE(compiled.message.has_value()) << "the changed archive is refused";
    EXPECT_NE(compiled.message->text.find("all.7z::a.gb\" was 1 blocks when it was added"), std::string::npos)
        << compiled.message->text;
}

} // namespace
} // namespace romform

namespace romform {
namespace {

// Every way a ROM comes in names it by its cartridge title once the user chose so, and by its file name
// when not or when its header is not one the boot ROM accepts; the choice outlasts the window, and a
// settings file that cannot be read or written never stands in the way.
TEST_F(AddingManyTest, NamesFromCartridgeTitlesForEveryWayInKeptForTheNextRuns) {
    const auto settings = folder / "config" / "settings.json";
    const struct {
        const char* way;
        std::function<void(WindowModel&)> add;
    } ways[] = {
        {"Find File",
         [&](WindowModel& into) {
             for (const char* file : {"battery.gb", "pattern.gb"}) {
                 dialogs.choose(path(file));
                 into.findFile();
                 into.addRom();
             }
         }},
        {"Add ROMs",
         [&](WindowModel& into) {
             dialogs.picks.push_back({path("battery.gb"), path("pattern.gb")});
             into.addRoms();
         }},
        {"one drop each",
         [&](WindowModel& into) {
             for (const char* file : {"battery.gb", "pattern.gb"}) {
                 into.filesDropped({path(file)});
                 into.addRom();
             }
         }},
        {"one drop of both",
         [&](WindowModel& into) {
             into.filesDropped({path("battery.gb"), path("pattern.gb")});
         }},
    };
    for (const bool titles : {false, true}) {
        for (const auto& way : ways) {
            // A new window each time: after the first choice, the settings file says which.
            WindowModel window{dialogs, folder.path(), std::nullopt, std::nullopt, settings};
            window.load();
            if ((window.namesFrom() == romc::NamesFrom::CartridgeTitles) != titles) {
                EXPECT_FALSE(window.menuCommand(MenuCommand::NamesFromTitles).message.has_value());
            }
            EXPECT_EQ(window.menuBar().menus[0].items[1].checked, titles) << way.way;
            way.add(window);
            const std::vector<std::string> expected{titles ? "G" : "BATTERY", "PATTERN"};
            EXPECT_EQ(window.rows(List1), expected) << way.way << (titles ? " by titles" : " by file names");
        }
    }

    const struct {
        const char* what;
        const char* text; // the settings file before
        romc::NamesFrom read;
        const char* written; // after the choice is turned
    } files[] = {
        {"broken", "{\"names-from\": ", romc::NamesFrom::FileNames,
         "{\n  \"names-from\": \"cartridge-titles\"\n}\n"},
        {"not an object", "[1]", romc::NamesFrom::FileNames,
         "{\n  \"names-from\": \"cartridge-titles\"\n}\n"},
        {"an unknown value, a later key", "{\"later\": [1], \"names-from\": \"menu\"}",
         romc::NamesFrom::FileNames,
         "{\n  \"later\": [\n    1\n  ],\n  \"names-from\": \"cartridge-titles\"\n}\n"},
        {"titles", "{\"names-from\": \"cartridge-titles\"}", romc::NamesFrom::CartridgeTitles,
         "{\n  \"names-from\": \"file-names\"\n}\n"},
    };
    for (const auto& file : files) {
        romc::test::writeFile(settings,
                              std::vector<std::uint8_t>(file.text, file.text + std::strlen(file.text)));
        WindowModel window{dialogs, folder.path(), std::nullopt, std::nullopt, settings};
        window.load();
        EXPECT_EQ(window.namesFrom(), file.read) << file.what;
        window.menuCommand(MenuCommand::NamesFromTitles);
        const auto written = romc::test::readFile(settings);
        EXPECT_EQ(std::string(written.begin(), written.end()), file.written) << file.what;
    }

    // A settings folder that cannot be made: the choice holds for this window, and the user is told.
    WindowModel window{dialogs, folder.path(), std::nullopt, std::nullopt,
                       folder / "Menu.GB" / "settings.json"};
    window.load();
    const Reaction turned = window.menuCommand(MenuCommand::NamesFromTitles);
    ASSERT_TRUE(turned.message.has_value());
    EXPECT_EQ(turned.message->severity, Severity::Warning);
    EXPECT_EQ(window.namesFrom(), romc::NamesFrom::CartridgeTitles);
}

} // namespace
} // namespace romform
