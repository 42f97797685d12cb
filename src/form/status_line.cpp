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

romc::FlashPlan WindowModel::flashPlan() const {
    return romc::planFlash(state_, romc::readWorkFolder(workFolder_));
}

std::optional<std::string> WindowModel::statusText() const {
    const romc::FlashPlan plan = flashPlan();
    std::string first = compiled_ ? romc::writtenStatus(plan) : romc::draftStatus(plan);
    if (compiled_ && !plan.stalePieces.empty()) {
        first += ". " + romc::stalePiecesStatus(plan) + " (File > " + kLeftoverAction + ")";
    }
    if (compiled_ && !savesWarning_.empty()) {
        first += ". Warning: " + savesWarning_;
    }
    // A selected row that warns says why in place of the draft: the user is looking at that row. A save
    // ROM says what its save file is.
    const int selected = selectedRow(ControlId::List1);
    const std::string save = selected >= 0 ? saveFileText(selected) : "";
    if (!rowWarning(selected).empty() || !save.empty()) {
        first = romc::inQuotes(state_.table.column(romc::Column::Name)[static_cast<std::size_t>(selected)]) +
                ": ";
        first +=
            rowWarning(selected).empty() ? save : rowWarning(selected) + (save.empty() ? "" : "; " + save);
    }
    // An interrupted compilation put right, and a template that will not boot, come before everything.
    std::string notices;
    for (const auto& notice : notices_) {
        notices += notice + "\n";
    }
    for (const auto& warning : romc::checkMenuTemplate(romc::systemDisk(), workFolder_)) {
        notices += "Warning: " + warning + "\n";
    }
    // The draft names the blocks used; the banks and the folder go on the second line.
    return notices + first + "\n" + menuNameStatus(nameBox_) + romc::saveBanksStatus(plan) +
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
