// The table kept through a crash: written after every change, offered back at the next start when the
// session before ended without closing, removed when the window closes cleanly.
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "lists/list_file.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "lists/session_list.h"

namespace romform {

namespace {

constexpr const char* kRestoreAction = "Restore";

std::string romCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " ROM" : " ROMs");
}

constexpr const char* kSessionClaimFolder = "window-session";

} // namespace

WindowModel::~WindowModel() {
    if (sessionFile_) {
        std::error_code error;
        std::filesystem::remove(*sessionFile_, error);
    }
}

void WindowModel::claimSession() {
    if (!sessionFile_ || sessionLock_) {
        return;
    }
    // A folder of its own holds the claim: the settings folder's own lock is taken by every write there
    // (the recent lists, this session's list), which must not find it held by the window itself.
    const std::filesystem::path claim = sessionFile_->parent_path() / kSessionClaimFolder;
    std::error_code error;
    std::filesystem::create_directories(claim, error);
    auto lock = romc::systemDisk().lockFolder(claim);
    if (lock.error == std::errc::resource_unavailable_try_again) {
        sessionFile_.reset(); // another window is open and keeps its own table there
        return;
    }
    // A folder that cannot be locked (or made) still takes the table: only a second window would suffer.
    sessionLock_ = std::move(lock.value);
}

void WindowModel::keepSession() const {
    if (!sessionFile_) {
        return;
    }
    // A settings folder that cannot be written takes away the safety net, not the user's work: nothing
    // interrupts the user for it.
    if (state_.table.rowCount() == 0) {
        std::error_code error;
        std::filesystem::remove(*sessionFile_, error);
        return;
    }
    (void)romc::writeSessionList(*sessionFile_, romc::romListOfTable(state_, workFolder_, *sessionFile_));
}

void WindowModel::offerLastSession(Reaction& reaction) {
    claimSession();
    std::error_code error;
    if (!sessionFile_ || !std::filesystem::exists(*sessionFile_, error)) {
        return;
    }
    const std::string shownName = romc::pathToUtf8(*sessionFile_);
    const auto list = romc::readRomList(*sessionFile_, shownName);
    if (!list.ok() || list.value().entries.empty()) {
        // Half a file cannot be: lists are renamed whole. Anything else there is not ours to offer.
        std::filesystem::remove(*sessionFile_, error);
        return;
    }
    Question question;
    question.title = caption() + " - " + kRestoreAction;
    question.text = "The last session ended unexpectedly with " + romCount(list.value().entries.size()) +
                    " in the table. Restore them?";
    question.choices = {Choice::Yes, Choice::No};
    question.defaultChoice = Choice::Yes;
    question.escapeChoice = Choice::No;
    if (dialogs_->ask(question) != Choice::Yes) {
        std::filesystem::remove(*sessionFile_, error);
        return;
    }
    const romc::ListSource source{sessionFile_->parent_path(), workFolder_, shownName};
    romc::ListReplay replay = romc::openRomList(state_, list.value(), source);
    state_ = std::move(replay.state);
    checkRows();
    saveBox_ = replay.saveBox;
    buttons_ = buttonsForBoxes();
    keepSession();
    std::string told;
    if (!replay.refused.empty()) {
        told = romc::refusedEntriesMessage(replay, source);
    }
    for (const auto& warning : replay.warnings) {
        told += (told.empty() ? "" : "\n") + warning;
    }
    if (!told.empty()) {
        reaction.message = Message{caption() + " - " + kRestoreAction, told, Severity::Warning};
    }
}

} // namespace romform
