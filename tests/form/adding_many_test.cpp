// Many ROMs at once through the model: a multiple selection or a drop with a refused file in the middle,
// the header's proposal for "Save?", and the keys that act as the buttons.
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

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
    // header keeps the box as the row before left it.
    EXPECT_EQ(column(List4), "Y;N;N;");
    ASSERT_TRUE(reaction.message.has_value());
    EXPECT_NE(reaction.message->text.find("1 of the 4 files cannot be added; the other 3"), std::string::npos)
        << reaction.message->text;
    EXPECT_NE(reaction.message->text.find("short.gb"), std::string::npos);
    EXPECT_EQ(model.buttonState(), ButtonState::Ready);
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

} // namespace
} // namespace romform
