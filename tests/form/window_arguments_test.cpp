// The window program's arguments: read once before the window system starts (what is unknown may be the
// toolkit's) and once after it took its own (what is left must be ours).
#include "form/window_arguments.h"

#include <gtest/gtest.h>

namespace romform {
namespace {

using Arguments = std::vector<std::string>;

TEST(WindowArguments, OptionsAreReadInBothPasses) {
    const struct {
        Arguments arguments;
        bool help;
        bool version;
        std::optional<std::string> demoFolder;
        bool flashMap;
        std::optional<std::string> list;
    } cases[] = {
        {{}, false, false, std::nullopt, false, std::nullopt},
        {{"--help"}, true, false, std::nullopt, false, std::nullopt},
        {{"-h"}, true, false, std::nullopt, false, std::nullopt},
        {{"--version"}, false, true, std::nullopt, false, std::nullopt},
        {{"--demo-folder", "demo"}, false, false, "demo", false, std::nullopt},
        {{"--demo-folder=my demo"}, false, false, "my demo", false, std::nullopt},
        // A folder may look like an option: it is the value, not a request for help.
        {{"--demo-folder", "--help"}, false, false, "--help", false, std::nullopt},
        // What the run script starts the window with.
        {{"--demo-folder", "demo", "--flash-map", "demo/samples.json"},
         false,
         false,
         "demo",
         true,
         "demo/samples.json"},
        {{"--flash-map", "--flash-map"}, false, false, std::nullopt, true, std::nullopt},
    };
    for (const auto& c : cases) {
        for (auto toolkit : {ToolkitOptions::StillThere, ToolkitOptions::TakenOut}) {
            const auto parsed = parseWindowArguments(c.arguments, toolkit);
            ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
            EXPECT_EQ(parsed.value().help, c.help);
            EXPECT_EQ(parsed.value().version, c.version);
            EXPECT_EQ(parsed.value().demoFolder, c.demoFolder);
            EXPECT_EQ(parsed.value().flashMap, c.flashMap);
            if (toolkit == ToolkitOptions::TakenOut) {
                EXPECT_EQ(parsed.value().list, c.list);
            }
        }
    }
}

TEST(WindowArguments, ToolkitOptionsWaitUntilTheToolkitTookItsOwn) {
    const Arguments withQtOptions{"-platform", "offscreen", "--version", "--style=fusion"};
    const auto early = parseWindowArguments(withQtOptions, ToolkitOptions::StillThere);
    ASSERT_TRUE(early.ok()) << early.failure().message;
    EXPECT_TRUE(early.value().version);

    const struct {
        Arguments arguments;
        const char* message;
    } refused[] = {
        {{"-platform"}, "unknown option -platform"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"games.json", "game.gb"}, "unexpected argument \"game.gb\""},
        {{"--demo-folder"}, "--demo-folder needs a folder"},
        {{"--demo-folder="}, "--demo-folder needs a folder"},
        {{"--demo-folder", "a", "--demo-folder", "b"}, "--demo-folder given twice"},
    };
    for (const auto& c : refused) {
        EXPECT_TRUE(parseWindowArguments(c.arguments, ToolkitOptions::StillThere).ok()) << c.message;
        const auto late = parseWindowArguments(c.arguments, ToolkitOptions::TakenOut);
        ASSERT_FALSE(late.ok()) << c.message;
        EXPECT_EQ(late.failure().message.find(c.message), 0u) << late.failure().message;
    }
}

} // namespace
} // namespace romform
