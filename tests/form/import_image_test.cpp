// File > "Import Image..." through the model: unsaved changes settled before any dialog, the image and the
// folder asked for in turn, the list opened with the image's rows, a refused image named with its reason,
// and files already in the folder replaced only when the user says so.
#include "compile/compilation.h"
#include "form/window_model.h"
#include "scripted_dialogs.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace romform {
namespace {

using enum ControlId;
using romc::kBlockSize;

class ImportImageTest : public romc::test::MenuFolderFixture {
  public:
    void SetUp() override {
        MenuFolderFixture::SetUp();
        model.load();
        romc::TableState compiled;
        for (const auto& [file, blocks] : {std::pair{"A.GB", 2}, std::pair{"B.GB", 4}}) {
            romc::test::makeRom(folder.path(), file, static_cast<std::size_t>(blocks) * kBlockSize, blocks);
            bool saveBox = false;
            ASSERT_FALSE(
                romc::addRom(compiled, {std::string(file).substr(0, 1), file, folder.path()}, saveBox));
        }
        ASSERT_FALSE(romc::generateCompilation(compiled, {folder.path(), false}));
    }

    Reaction import(const std::string& image, const std::string& into) {
        dialogs.choose(image.empty() ? "" : (folder.path() / image).string());
        if (!into.empty()) {
            std::filesystem::create_directories(folder.path() / into);
            dialogs.choose((folder.path() / into).string());
        }
        return model.menuCommand(MenuCommand::ImportImage);
    }

    test::ScriptedDialogs dialogs;
    WindowModel model{dialogs, folder.path()};
};

TEST_F(ImportImageTest, AsksForTheImageThenTheFolderAndOpensTheList) {
    const auto reaction = import("Output.GB", "out");
    EXPECT_FALSE(reaction.message.has_value()) << reaction.message->text;
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].pick, FilePick::OneToOpen);
    EXPECT_EQ(dialogs.shown[0].filters.front().description, "Flash images (*.GB *.gb)");
    EXPECT_EQ(dialogs.shown[1].pick, FilePick::Folder);
    EXPECT_EQ(model.rows(List1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(model.listFile(), folder.path() / "out" / "list.json");
    EXPECT_EQ(romc::test::readFile(folder / "out" / "B.GB"), romc::test::readFile(folder / "B.GB"));
    EXPECT_EQ(model.workFolder(), folder.path()); // where "Menu.GB" is, not the folder of the games
}

TEST_F(ImportImageTest, CancelOrARefusedImageChangesNothing) {
    const struct {
        const char* what;
        std::string image;
        std::string into;
        std::size_t dialogs;
        std::string message; // the start of the message, "" for none
    } cases[] = {
        {"image dialog cancelled", "", "", 1, ""},
        {"folder dialog cancelled", "Output.GB", "", 2, ""},
        {"not an image", "A.GB", "", 1, "\"A.GB\" is not an image this tool could have written:\n"},
        {"the template alone", "Menu.GB", "out", 2,
         "Cannot extract the ROMs of \"Menu.GB\": it is a menu template"},
    };
    for (const auto& c : cases) {
        dialogs.shown.clear();
        if (c.image == "Output.GB" && c.into.empty()) {
            dialogs.choose((folder.path() / c.image).string());
            dialogs.choose("");
        }
        const auto reaction =
            c.image == "Output.GB" ? model.menuCommand(MenuCommand::ImportImage) : import(c.image, c.into);
        EXPECT_EQ(dialogs.shown.size(), c.dialogs) << c.what;
        EXPECT_EQ(reaction.message ? reaction.message->text.substr(0, c.message.size()) : "", c.message)
            << c.what;
        EXPECT_TRUE(model.rows(List1).empty()) << c.what;
        EXPECT_TRUE(model.listFile().empty()) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out" / "list.json"));
}

TEST_F(ImportImageTest, FilesInTheFolderAreReplacedOnlyOnYes) {
    std::filesystem::create_directories(folder / "out");
    romc::test::writeFile(folder / "out" / "A.GB", {1, 2, 3});
    dialogs.answers = {Choice::No};
    import("Output.GB", "out");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("already holds \"A.GB\""), std::string::npos)
        << dialogs.asked[0].text;
    EXPECT_EQ(romc::test::readFile(folder / "out" / "A.GB"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(model.rows(List1).empty());

    dialogs.answers = {Choice::Yes};
    import("Output.GB", "out");
    EXPECT_EQ(romc::test::readFile(folder / "out" / "A.GB"), romc::test::readFile(folder / "A.GB"));
    EXPECT_EQ(model.rows(List1), (std::vector<std::string>{"A", "B"}));
}

TEST_F(ImportImageTest, UnsavedChangesAreSettledBeforeAnyDialog) {
    import("Output.GB", "out");
    dialogs.choose((folder.path() / "A.GB").string());
    model.findFile();
    ASSERT_FALSE(model.addRom().message.has_value());
    ASSERT_TRUE(model.listModified());
    dialogs.shown.clear();
    dialogs.answers = {Choice::Cancel};
    model.menuCommand(MenuCommand::ImportImage);
    EXPECT_TRUE(dialogs.shown.empty()) << "no file dialog after Cancel";
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].choices, (std::vector<Choice>{Choice::Save, Choice::Discard, Choice::Cancel}));
    EXPECT_EQ(model.rows(List1).size(), 3u);
}

} // namespace
} // namespace romform
