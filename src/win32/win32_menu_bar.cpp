#include "win32/win32_menu_bar.h"

#include "win32/wide_text.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <string>
#include <vector>

namespace romwin {

namespace {

struct NamedKey {
    std::string_view name;
    WORD virtualKey;
};

// The key names the model's shortcuts use, beside single letters, digits and F1 to F24.
constexpr std::array kNamedKeys{
    NamedKey{"Up", VK_UP},         NamedKey{"Down", VK_DOWN},     NamedKey{"Left", VK_LEFT},
    NamedKey{"Right", VK_RIGHT},   NamedKey{"Del", VK_DELETE},    NamedKey{"Delete", VK_DELETE},
    NamedKey{"Ins", VK_INSERT},    NamedKey{"Insert", VK_INSERT}, NamedKey{"Home", VK_HOME},
    NamedKey{"End", VK_END},       NamedKey{"PgUp", VK_PRIOR},    NamedKey{"PgDown", VK_NEXT},
    NamedKey{"Return", VK_RETURN}, NamedKey{"Enter", VK_RETURN},  NamedKey{"Esc", VK_ESCAPE},
    NamedKey{"Tab", VK_TAB},       NamedKey{"Space", VK_SPACE},   NamedKey{"Backspace", VK_BACK},
};

constexpr int kHighestFunctionKey = 24;

std::optional<WORD> keyOf(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') {
            return static_cast<WORD>(c - 'a' + 'A');
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return static_cast<WORD>(c);
        }
        return std::nullopt;
    }
    if (name.size() <= 3 && name[0] == 'F') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= kHighestFunctionKey) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
        return std::nullopt;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.name == name) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

// The access key after "&", any other "&" shown as it is; the shortcut after a tab, in the shortcut column.
std::wstring menuText(const romform::MenuItem& item) {
    std::wstring text = wide(romform::markedCaption(item.caption, item.accessKey));
    if (!item.shortcut.empty()) {
        text += L'\t' + wide(item.shortcut);
    }
    return text;
}

// Around a caption on the bar, and between a menu's captions and its shortcuts, at 96 dpi.
constexpr int kBarPaddingPixels = 6;
constexpr int kItemPaddingPixels = 3;
constexpr int kShortcutGapPixels = 24;
constexpr int kRightMarginPixels = 8;

int menuPixels(int pixelsAt96, UINT dpi) {
    return MulDiv(pixelsAt96, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

SIZE extentOf(HDC dc, const std::wstring& text, UINT format) {
    RECT box{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &box, DT_SINGLELINE | DT_CALCRECT | format);
    return {box.right - box.left, box.bottom - box.top};
}

// The letter after the first single "&".
std::optional<wchar_t> accessKeyOf(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (caption[i + 1] != L'&') {
                return caption[i + 1];
            }
            ++i;
        }
    }
    return std::nullopt;
}

// A tick in the column left of the caption, drawn in the text's colour so that it follows the item's state.
void drawTick(HDC dc, const RECT& box, int column, COLORREF ink, UINT dpi) {
    const int size = std::min(column, static_cast<int>(box.bottom - box.top)) / 2;
    const int left = box.left + (column - size) / 2;
    const int middle = (box.top + box.bottom) / 2;
    const POINT tick[] = {
        {left, middle}, {left + size / 3, middle + size / 3}, {left + size, middle - size / 2}};
    HPEN pen = CreatePen(PS_SOLID, std::max(1, menuPixels(2, dpi)), ink);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, tick, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

// Where an item's parts go in the font selected into `dc`: a menu's captions in one column after the
// tick's, its shortcuts in another after the widest caption.
DrawnMenus::ItemBox DrawnMenus::itemBox(HDC dc, const Item& item, UINT dpi) {
    const int height = static_cast<int>(extentOf(dc, L"Mg", 0).cy);
    if (item.popup == nullptr) {
        return {static_cast<int>(extentOf(dc, item.caption, 0).cx) + 2 * menuPixels(kBarPaddingPixels, dpi),
                height + 2 * menuPixels(kItemPaddingPixels, dpi), 0, 0};
    }
    int captions = 0;
    int shortcuts = 0;
    for (const Item& other : item.popup->items) {
        captions = std::max(captions, static_cast<int>(extentOf(dc, other.caption, 0).cx));
        shortcuts = std::max(shortcuts, static_cast<int>(extentOf(dc, other.shortcut, DT_NOPREFIX).cx));
    }
    ItemBox box;
    box.captionLeft = height + 2 * menuPixels(kItemPaddingPixels, dpi);
    box.shortcutLeft = box.captionLeft + captions + menuPixels(kShortcutGapPixels, dpi);
    box.width = box.shortcutLeft + shortcuts + menuPixels(kRightMarginPixels, dpi);
    box.height = height + 2 * menuPixels(kItemPaddingPixels, dpi);
    return box;
}

std::optional<KeyChord> parseShortcut(std::string_view shortcut) {
    if (shortcut.empty()) {
        return std::nullopt;
    }
    KeyChord chord;
    // The key is after the last "+", so that "Ctrl++" would name the plus key; the rest are modifiers.
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = shortcut.find('+', start);
        if (plus == std::string_view::npos || plus + 1 == shortcut.size()) {
            break;
        }
        const std::string_view modifier = shortcut.substr(start, plus - start);
        if (modifier == "Ctrl") {
            chord.ctrl = true;
        } else if (modifier == "Shift") {
            chord.shift = true;
        } else if (modifier == "Alt") {
            chord.alt = true;
        } else {
            return std::nullopt;
        }
        start = plus + 1;
    }
    const auto key = keyOf(shortcut.substr(start));
    if (!key) {
        return std::nullopt;
    }
    chord.virtualKey = *key;
    return chord;
}

HMENU DrawnMenus::build(const romform::MenuBar& menus) {
    previous_ = std::move(current_);
    current_ = std::make_unique<Generation>();
    HMENU bar = CreateMenu();
    for (const romform::Menu& menu : menus.menus) {
        Popup& popup = current_->emplace_back();
        popup.title = {wide(romform::markedCaption(menu.caption, menu.accessKey)), {}, nullptr};
        // Reserved whole before any item's address is handed out.
        popup.items.reserve(menu.items.size());
        HMENU shown = CreatePopupMenu();
        for (const romform::MenuItem& item : menu.items) {
            if (item.separatorBefore) {
                AppendMenuW(shown, MF_SEPARATOR, 0, nullptr);
            }
            const Item& drawn = popup.items.emplace_back(Item{
                wide(romform::markedCaption(item.caption, item.accessKey)), wide(item.shortcut), &popup});
            std::wstring text = menuText(item);
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA;
            info.fType = MFT_OWNERDRAW;
            info.fState = (item.enabled ? MFS_ENABLED : MFS_GRAYED) |
                          (item.checkable && item.checked ? MFS_CHECKED : MFS_UNCHECKED);
            info.wID = static_cast<UINT>(item.command);
            info.dwItemData = reinterpret_cast<ULONG_PTR>(&drawn);
            info.dwTypeData = text.data();
            InsertMenuItemW(shown, GetMenuItemCount(shown), TRUE, &info);
        }
        std::wstring title = popup.title.caption;
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA;
        info.fType = MFT_OWNERDRAW;
        info.hSubMenu = shown;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(&popup.title);
        info.dwTypeData = title.data();
        InsertMenuItemW(bar, GetMenuItemCount(bar), TRUE, &info);
    }
    return bar;
}

void DrawnMenus::measure(MEASUREITEMSTRUCT& measured, HFONT font, UINT dpi) const {
    const auto* item = reinterpret_cast<const Item*>(measured.itemData);
    if (item == nullptr) {
        return;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    const ItemBox box = itemBox(dc, *item, dpi);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    measured.itemWidth = static_cast<UINT>(box.width);
    measured.itemHeight = static_cast<UINT>(box.height);
}

void DrawnMenus::draw(const DRAWITEMSTRUCT& drawn, HFONT font, UINT dpi) const {
    const auto* item = reinterpret_cast<const Item*>(drawn.itemData);
    if (item == nullptr) {
        return;
    }
    HDC dc = drawn.hDC;
    const bool selected = (drawn.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    const bool grayed = (drawn.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool inBar = item->popup == nullptr;
    RECT box = drawn.rcItem;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : inBar ? COLOR_MENUBAR : COLOR_MENU));
    const COLORREF ink = GetSysColor(grayed     ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_MENUTEXT);
    SetTextColor(dc, ink);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, font);
    // Access keys underlined only while the keyboard is in use, as the system's own menus do.
    const UINT prefix = (drawn.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    if (inBar) {
        DrawTextW(dc, item->caption.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER | prefix);
    } else {
        const ItemBox columns = itemBox(dc, *item, dpi);
        if ((drawn.itemState & ODS_CHECKED) != 0) {
            drawTick(dc, box, columns.captionLeft, ink, dpi);
        }
        RECT caption = box;
        caption.left += columns.captionLeft;
        DrawTextW(dc, item->caption.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | prefix);
        if (!item->shortcut.empty()) {
            RECT shortcut = box;
            shortcut.left += columns.shortcutLeft;
            DrawTextW(dc, item->shortcut.c_str(), -1, &shortcut, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
}

bool DrawnMenus::owns(ULONG_PTR data) const {
    for (const auto* generation : {current_.get(), previous_.get()}) {
        if (generation == nullptr) {
            continue;
        }
        for (const Popup& popup : *generation) {
            if (data == reinterpret_cast<ULONG_PTR>(&popup.title)) {
                return true;
            }
            for (const Item& item : popup.items) {
                if (data == reinterpret_cast<ULONG_PTR>(&item)) {
                    return true;
                }
            }
        }
    }
    return false;
}

std::optional<LRESULT> DrawnMenus::menuChar(wchar_t key, HMENU menu) const {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        // Another menu's data (the system menu's) is no item of ours.
        if (GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) == FALSE ||
            !owns(info.dwItemData)) {
            continue;
        }
        const auto* item = reinterpret_cast<const Item*>(info.dwItemData);
        const auto marked = accessKeyOf(item->caption);
        if (marked && std::towupper(*marked) == std::towupper(key)) {
            return MAKELRESULT(position, MNC_EXECUTE);
        }
    }
    return std::nullopt;
}

HACCEL buildAccelerators(const romform::MenuBar& menus) {
    std::vector<ACCEL> table;
    for (const romform::Menu& menu : menus.menus) {
        for (const romform::MenuItem& item : menu.items) {
            const auto chord = parseShortcut(item.shortcut);
            if (!chord) {
                continue;
            }
            ACCEL accel{};
            accel.fVirt = FVIRTKEY;
            accel.fVirt |= chord->ctrl ? FCONTROL : 0;
            accel.fVirt |= chord->shift ? FSHIFT : 0;
            accel.fVirt |= chord->alt ? FALT : 0;
            accel.key = chord->virtualKey;
            accel.cmd = static_cast<WORD>(item.command);
            table.push_back(accel);
        }
    }
    if (table.empty()) {
        return nullptr;
    }
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

} // namespace romwin
