// Two paths name one file by what the system resolves, not by their spelling.
#include "files/same_file.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

namespace fs = std::filesystem;

TEST(SameFile, ExistingFilesByIdentityAndNewNamesAsTheSystemComparesThem) {
    test::ScratchFolder folder;
    test::writeFile(folder / "Menu.GB", {1});
    test::writeFile(folder / "Other.GB", {1});
    fs::create_directories(folder / "sub");
    // The folder decides: on Windows (and under wine) "menu.gb" opens "Menu.GB".
    const bool caseBlind = fs::exists(folder / "menu.gb");
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Menu.GB", "Menu.GB", true},
        {"Menu.GB", "./Menu.GB", true},
        {"Menu.GB", "sub/../Menu.GB", true},
        {"Menu.GB", "Other.GB", false}, // equal bytes, two files
        {"Menu.GB", "menu.gb", caseBlind},
        {"Menu.GB", "MENU.GB", caseBlind},
        {"new.svg", "new.svg", true},      // neither exists yet: the names decide
        {"new.svg", "NEW.SVG", caseBlind}, // would be one file once made
        {"new.svg", "sub/new.svg", false},
        {"new.svg", "Menu.GB", false}, // one exists, the other not
        {"sub", "sub/.", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameFile(systemDisk(), folder / c.a, folder / c.b), c.same) << c.a << " and " << c.b;
        EXPECT_EQ(sameFile(systemDisk(), folder / c.b, folder / c.a), c.same) << c.b << " and " << c.a;
    }
}

TEST(SameFile, LinkIsTheFileItLeadsTo) {
    test::ScratchFolder folder;
    test::writeFile(folder / "Menu.GB", {1});
    if (!test::makeLink(folder / "Menu.GB", folder / "link.gb")) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    EXPECT_TRUE(sameFile(systemDisk(), folder / "link.gb", folder / "Menu.GB"));
}

} // namespace
} // namespace romc
