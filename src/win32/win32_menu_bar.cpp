#include "win32/win32_menu_bar.h"

#include "win32/wide_text.h"

#include <array>
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

} // namespace

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

HMENU buildMenuBar(const romform::MenuBar& menus) {
    HMENU bar = CreateMenu();
    for (const romform::Menu& menu : menus.menus) {
        HMENU popup = CreatePopupMenu();
        for (const romform::MenuItem& item : menu.items) {
            if (item.separatorBefore) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            }
            UINT flags = MF_STRING;
            flags |= item.enabled ? MF_ENABLED : MF_GRAYED;
            if (item.checkable && item.checked) {
                flags |= MF_CHECKED;
            }
            AppendMenuW(popup, flags, static_cast<UINT_PTR>(item.command), menuText(item).c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                    wide(romform::markedCaption(menu.caption, menu.accessKey)).c_str());
    }
    return bar;
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
