// What the user did to the main window, as a face reports it: each face turns its toolkit's signals into
// these, and WindowModel::handle() gives each to its handler, the same for every face.
#pragma once

#include "form/control_table.h"
#include "form/menu_bar.h"

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace romform {

// A button pressed: "Find File", "Add ROM", "Clear List", "Generate Compilation", "Remove ROM", "Debug".
struct Clicked {
    ControlId button;
};
// A check box changed, by the user or by the face showing the model's tick.
struct Ticked {
    ControlId box;
    bool ticked = false;
};
// A text box's whole new text after typing, pasting or undoing.
struct Edited {
    ControlId box;
    std::string text;
};
// A row chosen in a list by mouse or keyboard; kNoRowSelected for a click on empty space below the rows.
struct RowChosen {
    ControlId list;
    int row = 0;
};
// A key the model takes itself: Enter in the name or path box adds the ROM, Delete in a column removes one.
enum class Key { Enter, Delete };
struct KeyPressed {
    ControlId control;
    Key key;
};
struct MenuChosen {
    MenuCommand command;
};
// Files dropped on the window, full UTF-8 paths.
struct FilesDropped {
    std::vector<std::string> files;
};
// The flash view's own window was closed by the user.
struct FlashViewClosed {};
// The window loads, before it is first shown.
struct Loaded {};
// A list named on the command line, opened as "Open List..." would once the user chose it.
struct ListNamed {
    std::filesystem::path path;
};

// The name column's own gestures: an editor asked for over a name (a double-click), a name edited in place
// and kept (Enter, or the focus leaving the editor), a row dragged to another place.
struct RenameAsked {
    int row = 0;
};
struct NameKept {
    int row = 0;
    std::string name;
};
struct RowDragged {
    int from = 0;
    int to = 0;
};
// The command line's --flash-map: the flash map opened unless it is open.
struct FlashMapNamed {};

using UserEvent =
    std::variant<Loaded, Clicked, Ticked, Edited, RowChosen, KeyPressed, MenuChosen, FilesDropped,
                 FlashViewClosed, ListNamed, FlashMapNamed, RenameAsked, NameKept, RowDragged>;

// Whether a key is one the model takes in `control`: the face lets every other key through.
bool takesKey(ControlId control, Key key);

} // namespace romform
