// The shortcuts of the model's menus become the accelerators Windows knows: every shortcut the model gives
// parses, into the key and modifiers it names, and strings that name no key are refused.
#include "form/window_model.h"
#include "win32/replay_script.h"
#include "win32/win32_menu_bar.h"

#include <cctype>
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

// The menus are drawn by the window in the font it is given, every item of a menu as wide as its widest
// with the shortcut column, and still opened and chosen by their access keys.
TEST(Win32Menus, DrawnInTheGivenFontAndChosenByAccessKey) {
    std::ostringstream log;
    ScriptedDialogs dialogs(log);
    const auto folder = std::filesystem::temp_directory_path() / "romc-win32-drawn-menus";
    std::filesystem::create_directories(folder);
    romform::WindowModel model(dialogs, folder, folder / "recent.json");
    (void)model.load();
    const romform::MenuBar menus = model.menuBar();
    DrawnMenus drawn;
    HMENU bar = drawn.build(menus);
    // An item measured in an Arial of `pixels`; its height in the high word, its width in the low.
    const auto measured = [&](HMENU menu, int position, int pixels) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        LOGFONTW design{};
        design.lfHeight = -pixels;
        wcscpy_s(design.lfFaceName, L"Arial");
        HFONT font = CreateFontIndirectW(&design);
        MEASUREITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemData = info.dwItemData;
        drawn.measure(item, font, USER_DEFAULT_SCREEN_DPI);
        DeleteObject(font);
        return std::pair{item.itemHeight, item.itemWidth};
    };
    const auto key = [](const std::string& caption, int accessKey) {
        return static_cast<wchar_t>(std::tolower(caption[static_cast<std::size_t>(accessKey)]));
    };

    for (std::size_t m = 0; m < menus.menus.size(); ++m) {
        const romform::Menu& menu = menus.menus[m];
        SCOPED_TRACE(menu.caption);
        EXPECT_EQ(drawn.menuChar(key(menu.caption, menu.accessKey), bar), MAKELRESULT(m, MNC_EXECUTE));
        HMENU popup = GetSubMenu(bar, static_cast<int>(m));
        int position = 0;
        for (const romform::MenuItem& item : menu.items) {
            SCOPED_TRACE(item.caption);
            position += item.separatorBefore ? 1 : 0; // a separator, drawn by the system
            EXPECT_EQ(drawn.menuChar(key(item.caption, item.accessKey), popup),
                      MAKELRESULT(position, MNC_EXECUTE));
            const auto small = measured(popup, position, 10);
            const auto large = measured(popup, position, 20);
            EXPECT_GT(large.first, small.first);
            EXPECT_GT(large.second, small.second);
            EXPECT_EQ(small.second, measured(popup, 0, 10).second);
            ++position;
        }
    }
    EXPECT_EQ(drawn.menuChar(L'#', bar), std::nullopt);
    DestroyMenu(bar);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace romwin
