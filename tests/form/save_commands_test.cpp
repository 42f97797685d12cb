// The save memory in the window: Compact Save Banks and Save Memory with their undo, the save memory written
// and a dump split through the dialogs (a differing save file replaced only on Yes), and the status line's
// warning when a compilation gives a game another bank.
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;
using romc::Column;

class SaveCommandsTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        model.load();
        int pattern = 1;
        for (const char* name : {"a.gb", "b.gb", "c.gb"}) {
            // Battery games: an image tells a save ROM by its place and its battery.
            const auto path = romc::test::makeRom(folder.path(), name, romc::kBlockSize * 2, pattern++);
            auto bytes = romc::test::readFile(path);
            bytes[romc::header::kCartridgeType] = 0x03;
            romc::test::writeFile(path, bytes);
        }
    }
    void add(const std::string& name, bool save) {
        dialogs.choose((folder / name).string());
        model.findFile();
        model.saveBoxChanged(save);
        ASSERT_FALSE(model.addRom().message.has_value()) << name;
    }
    std::string banks() const {
        std::string shown;
        const auto& table = model.tableState().table;
        for (std::size_t r = 0; r < table.rowCount(); ++r) {
            shown += table.text(r, Column::SaveBank) + "/" + table.text(r, Column::Location) + " ";
        }
        return shown;
    }
    bool itemChecked(MenuCommand command) const {
        for (const auto& menu : model.menuBar().menus) {
            for (const auto& item : menu.items) {
                if (item.command == command) {
                    return item.checked;
                }
            }
        }
        return false;
    }
    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

TEST_F(SaveCommandsTest, BanksAreGivenBackTurnedOnAndOffAndEachStepUndone) {
    add("a.gb", true);
    add("b.gb", true);
    add("c.gb", true);
    model.rowSelected(List1, 1);
    model.removeRom();
    ASSERT_EQ(banks(), " 0/2  2/128 ");
    const struct {
        MenuCommand command;
        int selected;
        const char* banks; // after it
    } steps[] = {
        {MenuCommand::CompactSaveBanks, -1, " 0/2  1/64 "},
        {MenuCommand::SaveMemory, 0, "N/A/2  1/64 "},  // off: the place stays until the next compilation
        {MenuCommand::SaveMemory, 0, " 2/128  1/64 "}, // on again: the next bank, the row where it was
        {MenuCommand::CompactSaveBanks, -1, " 0/2  1/64 "},
    };
    for (const auto& step : steps) {
        model.rowSelected(List1, step.selected);
        const Reaction reaction = model.menuCommand(step.command);
        EXPECT_FALSE(reaction.message.has_value()) << reaction.message->text;
        EXPECT_EQ(banks(), step.banks);
    }
    model.rowSelected(List1, 0);
    EXPECT_TRUE(itemChecked(MenuCommand::SaveMemory));
    for (std::size_t undone = 0; undone < std::size(steps); ++undone) {
        model.undo();
    }
    EXPECT_EQ(banks(), " 0/2  2/128 ");
}

TEST_F(SaveCommandsTest, SaveMemoryWrittenADumpSplitAndBanksThatChangeWarned) {
    add("a.gb", true);
    add("b.gb", true);
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    // A dump of the cartridge: each bank its own byte.
    std::vector<std::uint8_t> dump(romc::kSaveMemoryBytes);
    for (std::size_t i = 0; i < dump.size(); ++i) {
        dump[i] = static_cast<std::uint8_t>(i / romc::kSaveBankBytes + 1);
    }
    romc::test::writeFile(folder / "cart.sav", dump);
    romc::test::writeFile(folder / "a.sav", std::vector<std::uint8_t>(romc::kSaveBankBytes, 9));
    dialogs.choose((folder / "cart.sav").string());
    dialogs.answers.push_back(Choice::No);
    EXPECT_FALSE(model.menuCommand(MenuCommand::SplitSaveDump).message.has_value());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("\"" + (folder / "a.sav").string() + "\""), std::string::npos)
        << dialogs.asked[0].text;
    EXPECT_EQ(romc::test::readFile(folder / "a.sav"), std::vector<std::uint8_t>(romc::kSaveBankBytes, 9));
    dialogs.choose((folder / "cart.sav").string());
    dialogs.answers.push_back(Choice::Yes);
    ASSERT_TRUE(model.menuCommand(MenuCommand::SplitSaveDump).message.has_value());
    EXPECT_EQ(romc::test::readFile(folder / "a.sav"), std::vector<std::uint8_t>(romc::kSaveBankBytes, 1));
    EXPECT_EQ(romc::test::readFile(folder / "b.sav"), std::vector<std::uint8_t>(romc::kSaveBankBytes, 2));

    // B first now: the banks swap, which the status line says after compiling; the saves follow their
    // games into the save memory written next.
    model.rowSelected(List1, 1);
    model.menuCommand(MenuCommand::MoveUp);
    model.menuCommand(MenuCommand::CompactSaveBanks);
    ASSERT_EQ(banks(), " 0/2  1/64 ");
    ASSERT_EQ(model.tableState().table.text(0, Column::Name), "B");
    ASSERT_FALSE(model.generateCompilation().message.has_value());
    model.rowSelected(List1, romc::kNoRowSelected);
    EXPECT_NE(
        model.statusText()->find("\"A\" moves from save bank 0 to 1, and save bank 0 with its saves goes to "
                                 "\"B\""),
        std::string::npos)
        << *model.statusText();
    dialogs.choose((folder / "new.sav").string());
    const Reaction written = model.menuCommand(MenuCommand::WriteSaveMemory);
    ASSERT_TRUE(written.message.has_value());
    EXPECT_EQ(written.message->severity, Severity::Information) << written.message->text;
    std::vector<std::uint8_t> expected(romc::kSaveMemoryBytes, 0xFF);
    std::fill_n(expected.begin(), romc::kSaveBankBytes, 2);                        // B: bank 0
    std::fill_n(expected.begin() + romc::kSaveBankBytes, romc::kSaveBankBytes, 1); // A: bank 1
    EXPECT_EQ(romc::test::firstDifference(expected, romc::test::readFile(folder / "new.sav")), "equal");
}

} // namespace
} // namespace romform
