// The recent lists file: whatever it holds, reading never fails and never gives more than the menu shows.
#include "files/user_config.h"
#include "lists/recent_lists.h"
#include "support/rom_files.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace romc {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(RecentLists, AnyFileReadsAsAtMostFiveDistinctLists) {
    const struct {
        const char* text;
        Paths lists;
    } cases[] = {
        {R"({"recent-lists": ["/a.json", "/b.json"]})", {"/a.json", "/b.json"}},
        {R"({"recent-lists": ["/a.json", 7, "", "/a/../a.json", "/b.json", null]})", {"/a.json", "/b.json"}},
        {R"({"recent-lists": ["/1", "/2", "/3", "/4", "/5", "/6"]})", {"/1", "/2", "/3", "/4", "/5"}},
        {R"({"recent-lists": "/a.json"})", {}},
        {R"(["/a.json"])", {}},
        {"{ broken", {}},
        {"", {}},
    };
    test::ScratchFolder folder;
    const auto file = folder.path() / "recent-lists.json";
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.text;
        EXPECT_EQ(readRecentLists(file), c.lists) << c.text;
    }
    EXPECT_EQ(readRecentLists(folder.path() / "missing.json"), Paths{});
    EXPECT_EQ(readRecentLists(folder.path()), Paths{}); // a folder where the file should be
}

TEST(RecentLists, WrittenInAFolderMadeForThemAndReadBack) {
    test::ScratchFolder folder;
    const auto file = folder.path() / "made" / "for" / "it.json";
    const Paths lists = withListInFront({"/x/b.json", "/x/a.json"}, "/x/./a.json");
    EXPECT_EQ(lists, (Paths{"/x/./a.json", "/x/b.json"}));
    ASSERT_FALSE(writeRecentLists(file, lists).has_value());
    EXPECT_EQ(readRecentLists(file), lists);
    std::filesystem::remove_all(folder.path() / "made");
    std::ofstream(folder.path() / "made") << "a file where the folder should be";
    EXPECT_TRUE(writeRecentLists(file, lists).has_value());
}

TEST(RecentLists, KeptInTheUsersSettingsFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the settings folder comes from %APPDATA% there, read as a wide variable";
#else
    const std::optional<std::string> savedConfig =
        std::getenv("XDG_CONFIG_HOME") ? std::optional<std::string>(std::getenv("XDG_CONFIG_HOME"))
                                       : std::nullopt;
    const std::optional<std::string> savedHome =
        std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
    const struct {
        const char* config; // nullptr: unset
        const char* home;
        std::optional<std::filesystem::path> file;
    } cases[] = {
        {"/cfg", "/home/me", "/cfg/romcompiler/recent-lists.json"},
        {"", "/home/me", "/home/me/.config/romcompiler/recent-lists.json"},
        {"relative/cfg", "/home/me", "/home/me/.config/romcompiler/recent-lists.json"},
        {nullptr, "/home/me", "/home/me/.config/romcompiler/recent-lists.json"},
        {nullptr, nullptr, std::nullopt},
        {nullptr, "relative", std::nullopt},
    };
    auto put = [](const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); };
    for (const auto& c : cases) {
        put("XDG_CONFIG_HOME", c.config);
        put("HOME", c.home);
        EXPECT_EQ(recentListsFile(), c.file) << (c.config ? c.config : "(unset)");
    }
    put("XDG_CONFIG_HOME", savedConfig ? savedConfig->c_str() : nullptr);
    put("HOME", savedHome ? savedHome->c_str() : nullptr);
#endif
}

} // namespace
} // namespace romc
