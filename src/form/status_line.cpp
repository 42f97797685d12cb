// The status line and the left-over pieces: what the next compilation would make of the table, and after
// one, what it wrote and which older pieces beside it no longer belong to the image.
#include "compile/menu_patch.h"
#include "compile/menu_template.h"
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "plan/plan_status.h"
#include "plan/work_folder.h"
#include "romtable/rom_name.h"

#include <string_view>

namespace romform {

namespace {

constexpr const char* kLeftoverAction = "Remove Left-over Pieces";

// What the menu will show of the name being typed, and the characters it cannot show: 'Menu name "CAF?"
// ("é" cannot be shown). '; "" while the box is empty.
std::string menuNameStatus(std::string_view typed) {
    if (typed.empty()) {
        return "";
    }
    std::string shown;
    std::string unshowable;
    const std::string name = romc::tableName(typed); // the characters below are views into it
    for (std::string_view character : romc::splitCharacters(name)) {
        const auto shownAs = static_cast<char>(romc::menuCharacter(character));
        shown += shownAs;
        if (std::string_view(&shownAs, 1) != character) {
            unshowable += (unshowable.empty() ? "" : ", ") + romc::inQuotes(character);
        }
    }
    std::string status = "Menu name " + romc::inQuotes(shown);
    if (!unshowable.empty()) {
        status += " (" + unshowable + " cannot be shown)";
    }
    return status + ". ";
}

} // namespace

const romc::FlashPlan& WindowModel::flashPlan() const {
    if (!folderLookKept_ || !plan_) {
        plan_ = romc::planFlash(state_, romc::readWorkFolder(workFolder_));
        ++plansMade_;
    }
    return *plan_;
}

const std::vector<std::string>& WindowModel::templateWarnings() const {
    if (!folderLookKept_ || !templateWarnings_) {
        templateWarnings_ = romc::checkMenuTemplate(romc::systemDisk(), workFolder_);
    }
    return *templateWarnings_;
}

std::string refusalStatus(const Message& message) {
    // The title is "<caption> - <action>"; the caption may hold " - " itself, the action never does.
    const auto dash = message.title.rfind(" - ");
    const std::string action = dash == std::string::npos ? message.title : message.title.substr(dash + 3);
    return action + ": " + message.text.substr(0, message.text.find('\n'));
}

std::optional<std::string> WindowModel::statusText() const {
    const romc::FlashPlan& plan = flashPlan();
    // The outcome of the last action leads: what it refused, then what the outputs hold after a
    // compilation, or what the next one would make of the table.
    std::string text = refusal_.empty() ? "" : refusal_ + "\n";
    // An interrupted compilation put right when the window came to the folder or compiled in it.
    for (const auto& notice : notices_) {
        text += notice + "\n";
    }
    if (compiled_) {
        text += romc::writtenStatus(plan);
        if (!plan.stalePieces.empty()) {
            text += ". " + romc::stalePiecesStatus(plan) + " (File > " + kLeftoverAction + ")";
        }
        if (!savesWarning_.empty()) {
            text += ". Warning: " + savesWarning_;
        }
    } else {
        text += romc::draftStatus(plan);
    }
    text += "\n";
    // A template that will not boot concerns every action.
    for (const auto& warning : templateWarnings()) {
        text += "Warning: " + warning + "\n";
    }
    // A selected row that warns says why: the user is looking at that row. A save ROM says what its save
    // file is.
    const int selected = selectedRow(ControlId::List1);
    const std::string save = selected >= 0 ? saveFileText(selected) : "";
    if (!rowWarning(selected).empty() || !save.empty()) {
        text += romc::inQuotes(state_.table.column(romc::Column::Name)[static_cast<std::size_t>(selected)]) +
                ": ";
        text +=
            rowWarning(selected).empty() ? save : rowWarning(selected) + (save.empty() ? "" : "; " + save);
        text += "\n";
    }
    return text + menuNameStatus(nameBox_) + romc::saveBanksStatus(plan) +
           ". Work folder: " + romc::pathToUtf8(workFolder_);
}

bool WindowModel::leftoverPiecesRemovable() const {
    // Only right after a compilation is "Output.GB" known to hold this table, so that the pieces the plan
    // calls stale are the ones its image does not reach.
    return compiled_ && !flashPlan().stalePieces.empty();
}

Reaction WindowModel::removeLeftoverPieces() {
    if (!leftoverPiecesRemovable()) {
        return {};
    }
    Question question;
    question.title = caption() + " - " + kLeftoverAction;
    question.text =
        romc::stalePiecesStatus(flashPlan()) + " in " + romc::inQuotes(romc::pathToUtf8(workFolder_)) +
        ": \"Output.GB\" ends before them, and flashing them would write stale data. Remove them?";
    question.choices = {Choice::Yes, Choice::No};
    question.defaultChoice = Choice::No;
    question.escapeChoice = Choice::No;
    if (dialogs_->ask(question) != Choice::Yes) {
        return {};
    }
    std::string refused;
    for (const auto& removal : romc::removeStalePieces(romc::systemDisk(), workFolder_)) {
        if (removal.failure) {
            refused += (refused.empty() ? "" : "\n") + removal.failure->message;
        }
    }
    Reaction reaction = refused.empty() ? Reaction{} : failure(kLeftoverAction, refused, Severity::Error);
    reaction.refresh.add(WindowPart::StatusLine).add(WindowPart::MenuBar);
    return reaction;
}

} // namespace romform
