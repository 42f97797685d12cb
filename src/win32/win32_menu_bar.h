// The menu bar built from the model's menus: each item's command number is its command ID, so WM_COMMAND
// hands it straight back to WindowModel::menuCommand(); the shortcuts become an accelerator table. The
// items are drawn by the window in the controls' font.
#pragma once

#include "form/menu_bar.h"

#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace romwin {

// A shortcut as the keyboard gives it: a virtual key and the modifiers held with it.
struct KeyChord {
    WORD virtualKey = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool operator==(const KeyChord&) const = default;
};

// "Ctrl+Shift+S", "Alt+Up", "F2"; none for "" or a key this face does not know.
std::optional<KeyChord> parseShortcut(std::string_view shortcut);

// The menus drawn by the window, in the controls' font: the system draws menus in its own menu font, larger
// than the controls' and apart from them at every DPI. Each item keeps its text in the menu as well, so that
// the system finds its access key; WM_MENUCHAR finds it here where the system does not.
class DrawnMenus {
  public:
    // A new menu bar; the caller owns it (SetMenu, then DestroyMenu of the one it replaced). The texts of
    // the bar built before stay until the next build, for the old bar's last messages.
    HMENU build(const romform::MenuBar& menus);

    // WM_MEASUREITEM and WM_DRAWITEM of a menu item, in `font` at `dpi`.
    void measure(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi) const;
    void draw(const DRAWITEMSTRUCT& item, HFONT font, UINT dpi) const;

    // WM_MENUCHAR: MNC_EXECUTE for the item of `menu` whose access key is `key`; none when no item drawn
    // here has it (the system menu's keys are the system's).
    std::optional<LRESULT> menuChar(wchar_t key, HMENU menu) const;

  private:
    struct Popup;
    struct Item {
        std::wstring caption;  // with "&" before its access key
        std::wstring shortcut; // "" for none
        const Popup* popup;    // the menu the item is in; none for a caption of the bar
    };
    struct Popup {
        Item title;
        std::vector<Item> items;
    };
    using Generation = std::list<Popup>; // a list: the items' addresses are their menu data

    struct ItemBox {
        int width = 0;
        int height = 0;
        int captionLeft = 0;  // from the item's left edge
        int shortcutLeft = 0; // the same for every item of a menu
    };
    static ItemBox itemBox(HDC dc, const Item& item, UINT dpi);
    // Whether `data`, an item's menu data, is an item of the bars built here.
    bool owns(ULONG_PTR data) const;

    std::unique_ptr<Generation> current_;
    std::unique_ptr<Generation> previous_;
};

// The shortcuts of every item; nullptr when none. The caller destroys it.
HACCEL buildAccelerators(const romform::MenuBar& menus);

} // namespace romwin
