// File names made from menu names: hostile names stay inside the folder and off every reserved name, and
// equal names stay apart.
#include "inspect/safe_file_name.h"

#include <gtest/gtest.h>

namespace romc {
namespace {

TEST(SafeFileName, HostileNamesBecomeSafeStems) {
    const std::pair<std::string, std::string> cases[] = {
        {"PUZZLE", "PUZZLE"},
        {"../x", "_x"},
        {"..\\..\\x", "_.._x"},
        {"A/B", "A_B"},
        {"C:GAME", "C_GAME"},
        {"WHAT?*<>|\"", "WHAT______"},
        {"................", "ROM"},
        {"", "ROM"},
        {" . GAME . ", "GAME"},
        {"GAME...", "GAME"},
        {"CON", "CON_"},
        {"con", "con_"},
        {"nul.txt", "nul_.txt"},
        {"Aux .GB", "Aux_ .GB"},
        {"COM1", "COM1_"},
        {"lpt9.x.y", "lpt9_.x.y"},
        {"CONIN$", "CONIN$_"},
        {"COM10", "COM10"},
        {"CONSOLE", "CONSOLE"},
        {std::string("A\0B", 3), "A_B"},
        {"\t GAME\n", "_ GAME_"},
        {"\xC3\xA9T\xC3\xA9", "__T__"},
    };
    for (const auto& [menuName, stem] : cases) {
        EXPECT_EQ(safeFileStem(menuName), stem) << "menu name \"" << menuName << "\"";
    }
}

TEST(SafeFileName, EqualNamesAreNumberedInTableOrder) {
    EXPECT_EQ(romFileNames({"GAME", "OTHER", "game", "GAME", "GAME (2)", "A/B", "A?B", "", "...."}),
              (std::vector<std::string>{"GAME.GB", "OTHER.GB", "game (2).GB", "GAME (3).GB",
                                        "GAME (2) (2).GB", "A_B.GB", "A_B (2).GB", "ROM.GB", "ROM (2).GB"}));
}

} // namespace
} // namespace romc
