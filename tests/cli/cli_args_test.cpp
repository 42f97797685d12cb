#include "cli/cli_args.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

TEST(CliArguments, EachRomTakesTheOptionsBeforeIt) {
    const auto parsed = parseCliArguments({"-C", "work", "--save", "--name", "Zelda", "a.gb", "b.gb",
                                           "--dry-run", "--save", "c.gb", "--", "-d.gb"});
    ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
    const auto& cli = parsed.value();
    EXPECT_EQ(cli.workDir, "work");
    EXPECT_TRUE(cli.dryRun);
    ASSERT_EQ(cli.roms.size(), 4u);
    EXPECT_EQ(cli.roms[0].path, "a.gb");
    EXPECT_EQ(cli.roms[0].name, "Zelda");
    EXPECT_TRUE(cli.roms[0].save);
    EXPECT_EQ(cli.roms[1].name, std::nullopt);
    EXPECT_FALSE(cli.roms[1].save);
    EXPECT_TRUE(cli.roms[2].save);
    EXPECT_EQ(cli.roms[3].path, "-d.gb");

    const auto saves = parseCliArguments(
        {"--compact-banks", "--write-saves", "m.sav", "--save", "--sav", "s/z.sav", "z.gb", "y.gb"});
    ASSERT_TRUE(saves.ok()) << saves.failure().message;
    EXPECT_TRUE(saves.value().compactBanks);
    EXPECT_EQ(saves.value().writeSaves, "m.sav");
    EXPECT_EQ(saves.value().roms[0].sav, "s/z.sav");
    EXPECT_EQ(saves.value().roms[1].sav, std::nullopt);
}

TEST(CliArguments, MemberJoinsTheArchiveAfterIt) {
    const auto parsed = parseCliArguments({"--member", "Tetris.gb", "roms/All.7z", "roms/All.7z", "b.gb.gz"});
    ASSERT_TRUE(parsed.ok()) << parsed.failure().message;
    ASSERT_EQ(parsed.value().roms.size(), 3u);
    EXPECT_EQ(parsed.value().roms[0].path, "roms/All.7z::Tetris.gb");
    EXPECT_EQ(parsed.value().roms[1].path, "roms/All.7z");
    EXPECT_EQ(parsed.value().roms[2].path, "b.gb.gz");
}

TEST(CliArguments, NameMayBeEmptyOrLookLikeAnOption) {
    const auto parsed = parseCliArguments({"--name", "", "a.gb", "--name", "--save", "b.gb"});
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.value().roms[0].name, "");
    EXPECT_EQ(parsed.value().roms[1].name, "--save");
    EXPECT_FALSE(parsed.value().roms[1].save);
}

struct ArgumentsUsageCase {
    std::vector<std::string> arguments;
    const char* message;
};

TEST(CliArguments, UsageErrors) {
    const ArgumentsUsageCase cases[] = {
        {{}, "no ROM given"},
        {{"--dry-run"}, "no ROM given"},
        {{"--bogus", "a.gb"}, "unknown option --bogus"},
        {{"a.gb", "--save"}, "must stand before the ROM"},
        {{"a.gb", "--name", "X"}, "must stand before the ROM"},
        {{"--name"}, "--name needs a value"},
        {{"a.gb", "-C"}, "-C needs a value"},
        {{"-C", "x", "-C", "y", "a.gb"}, "-C given twice"},
        {{"--name", "A", "--name", "B", "a.gb"}, "--name given twice"},
        {{"a.gb", "--list"}, "--list needs a file name"},
        {{"--list", ""}, "--list needs a file name"},
        {{"a.gb", "--write-list"}, "--write-list needs a file name"},
        {{"--write-list", "x", "--write-list", "y", "a.gb"}, "--write-list given twice"},
        {{"--name", "A", "--list", "l.json"}, "belong to the ROM after them, not to a --list"},
        {{"--write-list", "l.json"}, "no ROM given"},
        {{"a.gb", "--sav", "a.sav"}, "must stand before the ROM"},
        {{"--sav", "x", "--sav", "y", "a.gb"}, "--sav given twice"},
        {{"--sav", "a.sav", "--list", "l.json"}, "belong to the ROM after them, not to a --list"},
        {{"--write-saves", "a.gb"}, "no ROM given"},
        {{"--split-saves", "d", "--split-saves", "e", "a.gb"}, "--split-saves given twice"},
        {{"--split-saves", "d", "--write-saves", "m", "a.gb"}, "--split-saves cuts a save dump"},
        {{"--inspect", "O.GB", "--split-saves", "d"}, "give --extract FOLDER"},
        {{"--inspect", "O.GB", "--compact-banks"}, "it takes no --write-saves or --compact-banks"},
        {{"--member", "a.gb", "a.gb"}, "a member of a .zip, .7z or .gz archive, and \"a.gb\" is none"},
        {{"--member", "a.gb", "--member", "b.gb", "x.zip"}, "--member given twice"},
        {{"--member"}, "--member needs a member's name"},
        {{"--member", "", "x.zip"}, "--member needs a member's name"},
        {{"x.zip", "--member", "a.gb"}, "must stand before the ROM"},
        {{"--member", "a.gb", "--list", "l.json"}, "belong to the ROM after them, not to a --list"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseCliArguments(c.arguments);
        ASSERT_FALSE(parsed.ok()) << c.message;
        EXPECT_NE(parsed.failure().message.find(c.message), std::string::npos) << parsed.failure().message;
    }
}

TEST(CliArguments, HelpAndVersionNeedNoRom) {
    const auto help = parseCliArguments({"--help"});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help.value().help);
    const auto version = parseCliArguments({"--version"});
    ASSERT_TRUE(version.ok());
    EXPECT_TRUE(version.value().version);
}

} // namespace
} // namespace romc
