// The one mapping from what the user did to the model's handlers, and what every event's reaction shows
// besides what its handler names: the status line, which leads with the outcome of this very action.
#include "form/user_event.h"

#include "form/window_model.h"

#include <type_traits>

namespace romform {

bool takesKey(ControlId id, Key key) {
    const ControlKind kind = control(id).kind;
    return key == Key::Enter ? kind == ControlKind::TextBox : kind == ControlKind::ListBox;
}

Reaction WindowModel::clicked(ControlId button) {
    switch (button) {
    case ControlId::Command1:
        return findFile();
    case ControlId::Command2:
        return addRom();
    case ControlId::Command3:
        return clearList();
    case ControlId::Command4:
        return generateCompilation();
    case ControlId::Command5:
        return removeRom();
    case ControlId::Command6:
        return debug();
    default:
        return {};
    }
}

Reaction WindowModel::dispatch(const UserEvent& event) {
    return std::visit(
        [this](const auto& e) -> Reaction {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, Loaded>) {
                return load();
            } else if constexpr (std::is_same_v<E, Clicked>) {
                return clicked(e.button);
            } else if constexpr (std::is_same_v<E, Ticked>) {
                return e.box == ControlId::Check1 ? saveBoxChanged(e.ticked) : Reaction{};
            } else if constexpr (std::is_same_v<E, Edited>) {
                return textEdited(e.box, e.text);
            } else if constexpr (std::is_same_v<E, RowChosen>) {
                return rowSelected(e.list, e.row);
            } else if constexpr (std::is_same_v<E, KeyPressed>) {
                if (!takesKey(e.control, e.key)) {
                    return {};
                }
                return e.key == Key::Enter ? enterPressed(e.control) : deletePressed(e.control);
            } else if constexpr (std::is_same_v<E, MenuChosen>) {
                return menuCommand(e.command);
            } else if constexpr (std::is_same_v<E, FilesDropped>) {
                return filesDropped(e.files);
            } else if constexpr (std::is_same_v<E, FlashViewClosed>) {
                return flashViewClosed();
            } else if constexpr (std::is_same_v<E, ListNamed>) {
                return openListFile(e.path);
            } else if constexpr (std::is_same_v<E, FlashMapNamed>) {
                return flashViewOpen() ? Reaction{} : toggleFlashView();
            } else if constexpr (std::is_same_v<E, RenameAsked>) {
                return renameRequested(e.row);
            } else if constexpr (std::is_same_v<E, NameKept>) {
                return renameRow(e.row, e.name);
            } else {
                static_assert(std::is_same_v<E, RowDragged>);
                return rowDragged(e.from, e.to);
            }
        },
        event);
}

Reaction WindowModel::handle(const UserEvent& event) {
    // The event may change the table or the work folder: its reaction plans the flash once, anew.
    forgetFolderLook();
    refusal_.clear();
    Reaction reaction = dispatch(event);
    if (reaction.message && reaction.message->severity != Severity::Information) {
        refusal_ = refusalStatus(*reaction.message);
    }
    // Whatever the action showed, the status line says its outcome now, never the one before it.
    if (!reaction.refresh.empty() || reaction.message) {
        reaction.refresh.add(WindowPart::StatusLine);
    }
    keepFolderLook();
    return reaction;
}

} // namespace romform
