// The model's menu bar as a QMenuBar: one QMenu per menu, one QAction per item, each action handing its
// command back.
#pragma once

#include "form/menu_bar.h"

#include <functional>

class QMenuBar;

namespace romui {

// Empties `bar` and fills it with `menus`; choosing an item calls `chosen` with its command.
void fillMenuBar(QMenuBar& bar, const romform::MenuBar& menus,
                 const std::function<void(romform::MenuCommand)>& chosen);

} // namespace romui
