#include "romtable/rom_name.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

struct ProposalCase {
    const char* path;
    const char* proposed;
};

TEST(RomName, ProposesFileNameWithoutLastThreeCharactersCutTo16) {
    const ProposalCase cases[] = {
        {"/roms/PUZZLE.GB", "PUZZLE"},
        {"/roms/A VERY LONG GAME TITLE.GB", "A VERY LONG GAME"},
        {"/roms/SPACE ADVENTURE DX.GBC", "SPACE ADVENTURE "},
        {"/roms/dungeon crawl.gbc", "dungeon crawl"}, // the whole extension, not "dungeon crawl."
        {"/roms/Border.SgB", "Border"},
        {"/roms/.gbc", ""},
        {"/roms/tetris.gbx", "tetris."},
        {"/roms/ABC", ""},
        {"/roms/AB", ""},
        {"/roms/", ""},
        {"", ""},
        {"tetris.gb", "tetris"},
        {"/a.b/NOEXTENSION", "NOEXTENS"},
        {"/roms/Caf\xC3\xA9 Quest.GB", "Caf\xC3\xA9 Quest"}, // a two-byte character counts once
        {"/roms/\xC3\xA9\xC3\xA9\xC3\xA9", ""},              // three characters, six bytes
        {"/roms/\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(proposeRomName(c.path), c.proposed) << c.path;
    }
}

TEST(RomName, BackslashIsPartOfTheFileNameOnThisPlatform) {
#ifndef _WIN32
    EXPECT_EQ(proposeRomName("C:\\ROMS\\PUZZLE.GB"), "C:\\ROMS\\PUZZLE");
#else
    EXPECT_EQ(proposeRomName("C:\\ROMS\\PUZZLE.GB"), "PUZZLE");
#endif
}

TEST(RomName, TableNameUpperCasesAsciiLettersOnly) {
    EXPECT_EQ(tableName("zelda dx 1.0"), "ZELDA DX 1.0");
    EXPECT_EQ(tableName(""), "");
    EXPECT_EQ(tableName("caf\xC3\xA9"), "CAF\xC3\xA9");
}

TEST(RomName, SplitsInvalidUtf8ByteByByte) {
    EXPECT_EQ(splitCharacters("a\xC3").size(), 2u);
    EXPECT_EQ(splitCharacters("\xE2\x82\xAC!").size(), 2u);
    EXPECT_EQ(splitCharacters("\xFF\xFE").size(), 2u);
}

} // namespace
} // namespace romc
