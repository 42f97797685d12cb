// The shortcuts of the model's menus become the accelerators Windows knows: every shortcut the model gives
// parses, into the key and modifiers it names, and strings that name no key are refused.
#include "form/window_model.h"
#include "win32/replay_script.h"
#include "win32/win32_menu_bar.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <cctype>
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

// The menus are drawn by the window in the font it is given, each item as wide as its menu's widest with
// its shortcut column, and still opened and chosen by their access keys.
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

    const auto dataOf = [](HMENU menu, int position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
        return info;
    };
    const auto measured = [&](HMENU menu, int position, int fontPixels) {
        LOGFONTW design{};
        design.lfHeight = -fontPixels;
        wcscpy_s(design.lfFaceName, L"Arial");
        HFONT font = CreateFontIndirectW(&design);
        MEASUREITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemData = dataOf(menu, position).dwItemData;
        drawn.measure(item, font, USER_DEFAULT_SCREEN_DPI);
        DeleteObject(font);
        return item;
    };
    const auto keyOf = [](const romform::MenuItem& item) {
        return static_cast<wchar_t>(item.caption[static_cast<std::size_t>(item.accessKey)]);
    };

    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(menus.menus.size()));
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        const romform::Menu& menu = menus.menus[static_cast<std::size_t>(m)];
        SCOPED_TRACE(menu.caption);
        EXPECT_NE(dataOf(bar, m).fType & MFT_OWNERDRAW, 0u);
        const wchar_t menuKey =
            static_cast<wchar_t>(std::tolower(menu.caption[static_cast<std::size_t>(menu.accessKey)]));
        EXPECT_EQ(DrawnMenus::menuChar(menuKey, bar), MAKELRESULT(m, MNC_EXECUTE));
        EXPECT_GT(measured(bar, m, 20).itemHeight, measured(bar, m, 10).itemHeight);

        HMENU popup = GetSubMenu(bar, m);
        std::optional<UINT> width;
        std::size_t item = 0;
        for (int p = 0; p < GetMenuItemCount(popup); ++p) {
            if (dataOf(popup, p).dwItemData == 0) {
                continue; // a separator, drawn by the system
            }
            const romform::MenuItem& shown = menu.items.at(item++);
            SCOPED_TRACE(shown.caption);
            EXPECT_EQ(DrawnMenus::menuChar(keyOf(shown), popup), MAKELRESULT(p, MNC_EXECUTE));
            const MEASUREITEMSTRUCT small = measured(popup, p, 10);
            const MEASUREITEMSTRUCT large = measured(popup, p, 20);
            EXPECT_GT(large.itemHeight, small.itemHeight);
            EXPECT_GT(large.itemWidth, small.itemWidth);
            EXPECT_EQ(small.itemWidth, width.value_or(small.itemWidth));
            width = small.itemWidth;
        }
        EXPECT_EQ(item, menu.items.size());
    }
    EXPECT_EQ(DrawnMenus::menuChar(L'#', bar), std::nullopt);
    DestroyMenu(bar);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace romwin
