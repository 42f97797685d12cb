// The Edit menu: the order of the rows and taking back what a click can lose (Clear List, Remove ROM, a
// move, a sort). Each undoable action keeps the whole table as it stood before it; any other change of the
// table (adding, opening a list) starts the history afresh, so an Undo never takes away a later addition.
#include "form/window_model.h"

namespace romform {

namespace {

// Enough to take back a run of moves; each step is one copy of the table.
constexpr std::size_t kUndoSteps = 100;

} // namespace

void WindowModel::rememberForUndo(const char* action, romc::TableState before) {
    if (undo_.size() == kUndoSteps) {
        undo_.erase(undo_.begin());
    }
    undo_.push_back({action, std::move(before)});
    keepUndo_ = true;
}

Reaction WindowModel::undo() {
    if (undo_.empty()) {
        return {};
    }
    state_ = std::move(undo_.back().before);
    undo_.pop_back();
    keepUndo_ = true;
    return tableChanged(Refresh::everything());
}

Reaction WindowModel::moveRow(romc::RowMove move) {
    if (!romc::rowCanMove(state_, move)) {
        return {};
    }
    rememberForUndo(romc::rowMoveName(move), state_);
    romc::moveSelectedRow(state_, move);
    return tableChanged(Refresh::everything());
}

Reaction WindowModel::sortRowsByName() {
    const romc::TableState before = state_;
    if (!romc::sortByName(state_)) {
        return {};
    }
    rememberForUndo("Sort by Name", before);
    return tableChanged(Refresh::everything());
}

Menu WindowModel::editMenu() const {
    using enum MenuCommand;
    MenuItem undoItem{Undo, undo_.empty() ? "Undo" : "Undo " + undo_.back().action, "Ctrl+Z"};
    undoItem.enabled = !undo_.empty();
    Menu edit{"Edit", {undoItem}};
    const struct {
        MenuCommand command;
        romc::RowMove move;
        const char* shortcut;
    } moves[] = {{MoveUp, romc::RowMove::Up, "Alt+Up"},
                 {MoveDown, romc::RowMove::Down, "Alt+Down"},
                 {MoveToTop, romc::RowMove::Top, "Alt+Home"},
                 {MoveToBottom, romc::RowMove::Bottom, "Alt+End"}};
    for (const auto& m : moves) {
        MenuItem item{m.command, romc::rowMoveName(m.move), m.shortcut};
        item.enabled = romc::rowCanMove(state_, m.move);
        item.separatorBefore = m.command == MoveUp;
        edit.items.push_back(item);
    }
    MenuItem sort{SortByName, "Sort by Name", "Ctrl+Shift+N"};
    sort.enabled = state_.table.rowCount() > 1;
    edit.items.push_back(sort);
    for (const MenuItem& item : saveEditItems()) {
        edit.items.push_back(item);
    }
    return edit;
}

} // namespace romform
