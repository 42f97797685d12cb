#include "lists/list_paths.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

namespace fs = std::filesystem;

TEST(ListPaths, RomsUnderTheListsFolderAreWrittenRelativeOthersAbsolute) {
    test::ScratchFolder folder;
    const std::string root = folder.path().string();
    fs::create_directories(folder / "deep/real");
    if (!test::makeLink(folder / "deep/real", folder / "link")) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    const struct {
        const char* row;
        const char* list;
        std::string written;
    } cases[] = {
        {"a.gb", "games.json", "a.gb"},
        {"roms/./b.gb", "games.json", "roms/b.gb"},
        {"a.gb", "lists/games.json", root + "/a.gb"},
        {"lists/roms/c.gb", "lists/games.json", "roms/c.gb"},
        {"../outside.gb", "games.json", folder.path().parent_path().string() + "/outside.gb"},
        {"/elsewhere/d.gb", "games.json", "/elsewhere/d.gb"},
        {"link/f.gb", "games.json", "link/f.gb"},
        // ".." after a linked folder leads to the link's parent on disk, "deep", not back to the work folder.
        {"link/../e.gb", "games.json", "deep/e.gb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listFileText(c.row, folder.path(), folder / c.list), c.written)
            << c.row << " in " << c.list;
    }
    EXPECT_EQ(listFileText(root + "/roms/g.gb", "/nowhere", folder / "games.json"), "roms/g.gb");
}

} // namespace
} // namespace romc
