// The Edit menu: the order of the rows, a name edited in place, and taking back what a click can lose
// (Clear List, Remove ROM, a move, a drag, a sort, a rename). Each undoable action keeps the whole table as
// it stood before it; any other change of the table (adding, opening a list) starts the history afresh, so an
// Undo never takes away a later addition.
#include "form/window_model.h"
#include "romtable/rom_name.h"

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

Reaction WindowModel::rowDragged(int from, int to) {
    const romc::TableState before = state_;
    if (!romc::moveRowTo(state_, from, to)) {
        return {};
    }
    rememberForUndo("Move Row", before);
    return tableChanged(Refresh::everything());
}

Reaction WindowModel::renameRequested(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= state_.table.rowCount()) {
        return {};
    }
    Reaction reaction = rowSelected(ControlId::List1, row);
    renaming_ = row;
    reaction.editName = row;
    return reaction;
}

std::string WindowModel::nameEdited(const std::string& typed) const {
    return romc::cutToMenuName(typed);
}

Reaction WindowModel::renameRow(int row, std::string name) {
    if (renaming_ != row) {
        return {}; // the editor stood over a row that has moved or gone since
    }
    renaming_.reset();
    name = romc::tableName(nameEdited(name));
    auto& names = state_.table.column(romc::Column::Name);
    if (names[static_cast<std::size_t>(row)] == name) {
        return {};
    }
    rememberForUndo("Rename", state_);
    names[static_cast<std::size_t>(row)] = std::move(name);
    return tableChanged(Refresh{ControlId::List1}.add(WindowPart::FlashView).add(WindowPart::StatusLine));
}

Menu WindowModel::editMenu() const {
    using enum MenuCommand;
    MenuItem undoItem{Undo, undo_.empty() ? "Undo" : "Undo " + undo_.back().action, "Ctrl+Z"};
    undoItem.enabled = !undo_.empty();
    MenuItem rename{Rename, "Rename", "F2"};
    rename.enabled = selectedRow(ControlId::List1) != romc::kNoRowSelected;
    rename.separatorBefore = true;
    Menu edit{"Edit", {undoItem, rename}};
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
