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
    rememberForUndo(move == romc::RowMove::Up ? "Move Up" : "Move Down", state_);
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
    MenuItem up{MoveUp, "Move Up", "Alt+Up"};
    up.enabled = romc::rowCanMove(state_, romc::RowMove::Up);
    up.separatorBefore = true;
    MenuItem down{MoveDown, "Move Down", "Alt+Down"};
    down.enabled = romc::rowCanMove(state_, romc::RowMove::Down);
    MenuItem sort{SortByName, "Sort by Name", "Ctrl+Shift+N"};
    sort.enabled = state_.table.rowCount() > 1;
    Menu edit{"Edit", {undoItem, up, down, sort}};
    for (const MenuItem& item : saveEditItems()) {
        edit.items.push_back(item);
    }
    return edit;
}

} // namespace romform
