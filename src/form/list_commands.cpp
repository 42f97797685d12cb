// The File menu's list commands: opening a list replays Add ROM on an emptied table, saving writes the
// table as a list, and unsaved changes to a list in use are never lost without the user's word.
#include "compile/output_policy.h"
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "lists/list_file.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "lists/recent_lists.h"
#include "romtable/failure.h"

#include <utility>

namespace romform {

namespace {

constexpr const char* kOpenListAction = "Open List";
constexpr const char* kSaveListAction = "Save List";
// What "Save List As..." proposes while no list is in use, in the work folder.
constexpr const char* kProposedListName = "games.json";

FileDialog listFileDialog(FilePick pick, std::string title, std::string startFolder, std::string startPath) {
    FileDialog dialog;
    dialog.pick = pick;
    dialog.title = std::move(title);
    dialog.filters = {{"ROM List(*.json)", {"*.json"}}, {"All Files(*.*)", {"*.*"}}};
    dialog.defaultSuffix = "json";
    dialog.startFolder = std::move(startFolder);
    dialog.startPath = std::move(startPath);
    return dialog;
}

} // namespace

bool WindowModel::unsavedChangesSettled(Reaction& shown) {
    if (listFile_.empty() || !listModified_) {
        return true;
    }
    Question question;
    question.title = caption();
    question.text = "The list " + romc::inQuotes(romc::pathToUtf8(listFile_.filename())) +
                    " has changes that are not saved.";
    question.choices = {Choice::Save, Choice::Discard, Choice::Cancel};
    question.defaultChoice = Choice::Save;
    question.escapeChoice = Choice::Cancel;
    switch (dialogs_->ask(question)) {
    case Choice::Save:
        shown = saveListTo(listFile_);
        return !listModified_;
    case Choice::Discard:
        return true;
    default:
        return false;
    }
}

void WindowModel::followList(Reaction& reaction) {
    if (!workFolderChosen_ && workFolder_ != listFile_.parent_path()) {
        workFolder_ = listFile_.parent_path();
        checkRows(); // relative ROM paths now lead into the new folder
        arriveInWorkFolder();
        reaction.refresh.add(ControlId::List1).add(WindowPart::StatusLine);
    }
    if (recentListsFile_) {
        // Read again first: another window may have used lists since this one started.
        recentLists_ = romc::withListInFront(romc::readRecentLists(*recentListsFile_), listFile_);
        // The list itself is opened or saved; a settings folder that cannot be written only means the
        // menu forgets it at the next start, which is no reason to interrupt the user.
        (void)romc::writeRecentLists(*recentListsFile_, recentLists_);
        reaction.refresh.add(WindowPart::MenuBar);
    }
}

Reaction WindowModel::openRecentList(std::size_t index) {
    if (index >= recentLists_.size()) {
        return {};
    }
    Reaction reaction;
    if (!unsavedChangesSettled(reaction)) {
        return reaction;
    }
    const std::filesystem::path list = recentLists_[index];
    std::error_code error;
    if (!std::filesystem::exists(list, error) && !error) {
        // Gone for good (moved or deleted), not merely unreadable now: the menu stops offering it.
        std::erase(recentLists_, list);
        if (recentListsFile_) {
            (void)romc::writeRecentLists(*recentListsFile_, recentLists_);
        }
        Reaction gone = failure(kOpenListAction,
                                "The list " + romc::inQuotes(romc::pathToUtf8(list)) +
                                    " no longer exists; it is taken off the recent lists.",
                                Severity::Warning);
        gone.refresh.add(WindowPart::MenuBar);
        return gone;
    }
    return openListFile(list);
}

Reaction WindowModel::chooseWorkFolder() {
    FileDialog dialog;
    dialog.pick = FilePick::Folder;
    dialog.title = "Work Folder";
    dialog.startPath = romc::pathToUtf8(workFolder_);
    const auto chosen = dialogs_->pickFiles(dialog);
    if (chosen.empty()) {
        return {};
    }
    std::error_code error;
    if (!std::filesystem::is_directory(chosen.front(), error)) {
        return failure("Work Folder", romc::inQuotes(chosen.front()) + " is not a folder", Severity::Warning);
    }
    workFolder_ = chosen.front();
    workFolderChosen_ = true;
    checkRows();
    arriveInWorkFolder();
    Reaction reaction;
    reaction.refresh.add(ControlId::List1).add(WindowPart::StatusLine);
    return reaction;
}

Reaction WindowModel::requestClose() {
    Reaction reaction;
    reaction.closeWindow = unsavedChangesSettled(reaction);
    return reaction;
}

Reaction WindowModel::openList() {
    Reaction reaction;
    if (!unsavedChangesSettled(reaction)) {
        return reaction;
    }
    // The folder of the list in use, else the work folder; no name proposed to open.
    const std::filesystem::path folder = listFile_.empty() ? workFolder_ : listFile_.parent_path();
    const auto chosen =
        dialogs_->pickFiles(listFileDialog(FilePick::OneToOpen, "Open List", romc::pathToUtf8(folder), ""));
    if (chosen.empty()) {
        return reaction;
    }
    return openListFile(chosen.front());
}

Reaction WindowModel::openListFile(const std::filesystem::path& named) {
    const std::string shownName = romc::pathToUtf8(named);
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(named, error);
    const std::filesystem::path& path = error ? named : absolute;
    const auto list = romc::readRomList(path, shownName);
    if (!list.ok()) {
        return failure(kOpenListAction, list.failure().message, Severity::Error);
    }
    const romc::ListSource source{path.parent_path(), workFolder_, shownName};
    romc::ListReplay replay = romc::openRomList(state_, list.value(), source);
    if (replay.bankClash) {
        return failure(kOpenListAction, replay.bankClash->message, Severity::Error);
    }
    if (!replay.refused.empty()) {
        if (replay.added() == 0) {
            return failure(kOpenListAction, romc::refusedEntriesMessage(replay, source), Severity::Error);
        }
        Question question;
        question.title = caption() + " - " + kOpenListAction;
        question.text = romc::refusedEntriesMessage(replay, source) + "\n\nAdd the other " +
                        std::to_string(replay.added()) + " entries?";
        question.choices = {Choice::Yes, Choice::No};
        question.defaultChoice = Choice::Yes;
        question.escapeChoice = Choice::No;
        if (dialogs_->ask(question) != Choice::Yes) {
            return {};
        }
    }
    state_ = std::move(replay.state);
    checkRows();
    undo_.clear(); // another table: nothing of the one before is taken back
    saveBox_ = replay.saveBox;
    buttons_ = buttonsForBoxes();
    listFile_ = path;
    // A list with refused entries is not what the file holds any more.
    listModified_ = !replay.refused.empty();
    keepSession();
    Reaction reaction;
    reaction.refresh = Refresh::everything();
    followList(reaction);
    if (!replay.warnings.empty()) {
        reaction.message =
            Message{caption() + " - " + kOpenListAction, joinedLines(replay.warnings), Severity::Warning};
    }
    return reaction;
}

Reaction WindowModel::saveList() {
    return listFile_.empty() ? saveListAs() : saveListTo(listFile_);
}

Reaction WindowModel::saveListAs() {
    const std::filesystem::path proposed = listFile_.empty() ? workFolder_ / kProposedListName : listFile_;
    const auto chosen = dialogs_->pickFiles(listFileDialog(
        FilePick::OneToSave, "Save List As", romc::pathToUtf8(workFolder_), romc::pathToUtf8(proposed)));
    if (chosen.empty()) {
        return {};
    }
    return saveListTo(chosen.front());
}

Reaction WindowModel::saveListTo(const std::filesystem::path& path) {
    // The dialog's "Replace?" is about a file the user picked, not about the cartridge's files: a list
    // never takes the place of "Menu.GB", an output or a ROM of the table, whatever was answered.
    const std::string asked = "The list " + romc::inQuotes(romc::pathToUtf8(path.filename()));
    if (auto refusal = romc::refuseKeptFile(romc::systemDisk(), path,
                                            romc::keptFiles(workFolder_, state_.table), asked, "the list")) {
        return failure(kSaveListAction, refusal->message, Severity::Error);
    }
    const romc::RomList list = romc::romListOfTable(state_, workFolder_, path);
    if (auto refusal = romc::writeRomList(path, list)) {
        return failure(kSaveListAction, refusal->message, Severity::Error);
    }
    listFile_ = path;
    listModified_ = false;
    Reaction reaction;
    reaction.refresh.add(WindowPart::Caption);
    followList(reaction);
    return reaction;
}

} // namespace romform
