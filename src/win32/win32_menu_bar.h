// The menu bar built from the model's menus: each item's command number is its command ID, so WM_COMMAND
// hands it straight back to WindowModel::menuCommand(); the shortcuts become an accelerator table.
#pragma once

#include "form/menu_bar.h"

#include <optional>
#include <string_view>
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

// A new menu bar; the caller owns it (SetMenu, then DestroyMenu of the one it replaced).
HMENU buildMenuBar(const romform::MenuBar& menus);

// The shortcuts of every item; nullptr when none. The caller destroys it.
HACCEL buildAccelerators(const romform::MenuBar& menus);

} // namespace romwin
