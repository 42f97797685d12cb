// The shortcuts of the model's menus become the accelerators Windows knows: every shortcut the model gives
// parses, into the key and modifiers it names, and strings that name no key are refused.
#include "form/window_model.h"
#include "win32/replay_script.h"
#include "win32/win32_menu_bar.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace romwin {
namespace {

TEST(Win32Shortcuts, ParseIntoKeyAndModifiers) {
    const struct {
        const char* shortcut;
        std::optional<KeyChord> chord;
    } cases[] = {
        {"Ctrl+O", KeyChord{'O', true, false, false}},
        {"Ctrl+Shift+S", KeyChord{'S', true, true, false}},
        {"Alt+Up", KeyChord{VK_UP, false, false, true}},
        {"Alt+Down", KeyChord{VK_DOWN, false, false, true}},
        {"F1", KeyChord{VK_F1, false, false, false}},
        {"F24", KeyChord{VK_F24, false, false, false}},
        {"Ctrl+5", KeyChord{'5', true, false, false}},
        {"Ctrl+z", KeyChord{'Z', true, false, false}},
        {"Shift+Del", KeyChord{VK_DELETE, false, true, false}},
        {"", std::nullopt},
        {"F0", std::nullopt},
        {"F25", std::nullopt},
        {"Ctrl+", std::nullopt},  // no key after the last "+"
        {"Meta+Q", std::nullopt}, // a modifier Windows has no accelerator for
        {"Ctrl+Shift", std::nullopt},
        {"Ctrl+é", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseShortcut(c.shortcut), c.chord) << '"' << c.shortcut << '"';
    }
}

TEST(Win32Shortcuts, EveryShortcutOfTheModelsMenusIsAKey) {
    std::ostringstream log;
    ScriptedDialogs dialogs(log);
    const auto folder = std::filesystem::temp_directory_path() / "romc-win32-menus";
    std::filesystem::create_directories(folder);
    romform::WindowModel model(dialogs, folder, folder / "recent.json");
    (void)model.load();
    int shortcuts = 0;
    for (const auto& menu : model.menuBar().menus) {
        for (const auto& item : menu.items) {
            if (!item.shortcut.empty()) {
                ++shortcuts;
                EXPECT_TRUE(parseShortcut(item.shortcut)) << item.caption << ": " << item.shortcut;
            }
        }
    }
    EXPECT_GT(shortcuts, 10);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace romwin
