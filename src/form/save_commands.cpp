// The save memory in the window: File > "Write Save Memory..." and "Split Save Dump...", Edit > "Compact
// Save Banks" and "Save Memory", and what a row's save file is. The core does the work; this asks for the
// files and says what was written.
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "romtable/save_banks.h"
#include "saves/save_outputs.h"

#include <algorithm>

namespace romform {

namespace {

constexpr const char* kWriteAction = "Write Save Memory";
constexpr const char* kSplitAction = "Split Save Dump";
constexpr const char* kCompactAction = "Compact Save Banks";
constexpr const char* kSaveMemoryAction = "Save Memory";

// In the work folder, as every dialog of the window opens: the save dump lives beside the image.
FileDialog saveDumpDialog(FilePick pick, const char* title, const std::filesystem::path& workFolder) {
    FileDialog dialog;
    dialog.startFolder = romc::pathToUtf8(workFolder);
    dialog.pick = pick;
    dialog.title = title;
    dialog.filters = {{"Save memory (*.sav *.bin)", {"*.sav", "*.bin"}}, {"All Files(*.*)", {"*.*"}}};
    dialog.defaultSuffix = "sav";
    return dialog;
}

} // namespace

std::vector<MenuItem> WindowModel::saveMenuItems() const {
    using enum MenuCommand;
    // Asked on every refresh of the menu bar: the save flags tell, without reading any file.
    const auto& flags = state_.table.column(romc::Column::SaveFlag);
    const bool saveRoms = std::find(flags.begin(), flags.end(), romc::kSaveFlagYes) != flags.end();
    MenuItem write{WriteSaveMemory, "Write Save Memory...", "Ctrl+Shift+W"};
    write.enabled = saveRoms;
    write.separatorBefore = true;
    MenuItem split{SplitSaveDump, "Split Save Dump...", "Ctrl+Shift+D"};
    split.enabled = saveRoms;
    return {write, split};
}

std::vector<MenuItem> WindowModel::saveEditItems() const {
    using enum MenuCommand;
    MenuItem compact{CompactSaveBanks, kCompactAction, "Ctrl+Shift+B"};
    compact.enabled = !romc::saveBanksCompact(state_);
    compact.separatorBefore = true;
    MenuItem saveMemory{SaveMemory, kSaveMemoryAction, "Ctrl+Shift+M"};
    const int row = selectedRow(ControlId::List1);
    saveMemory.enabled = row >= 0;
    saveMemory.checkable = true;
    saveMemory.checked = row >= 0 && state_.table.text(static_cast<std::size_t>(row),
                                                       romc::Column::SaveFlag) == romc::kSaveFlagYes;
    return {compact, saveMemory};
}

std::string WindowModel::saveFileText(int row) const {
    for (const auto& rom : romc::saveRomsOf(state_, workFolder_)) {
        if (static_cast<int>(rom.row) == row) {
            return romc::saveFileStatus(rom);
        }
    }
    return "";
}

Reaction WindowModel::writeSaveMemory() {
    const auto chosen = dialogs_->pickFiles(saveDumpDialog(FilePick::OneToSave, kWriteAction, workFolder_));
    if (chosen.empty()) {
        return {};
    }
    const std::filesystem::path path = romc::pathFromUtf8(chosen.front());
    // The dialog has asked before replacing a file; the core still keeps the tool's own files.
    if (auto refusal = romc::checkSaveMemoryPath(path, chosen.front(), state_, workFolder_, {}, true)) {
        return failure(kWriteAction, refusal->message, Severity::Error);
    }
    const std::vector<std::filesystem::path> written{path};
    const auto plan = romc::planSaveMemory(state_, workFolder_, written);
    if (!plan.ok()) {
        return failure(kWriteAction, plan.failure().message, Severity::Error);
    }
    if (auto refusal = romc::writeSaveMemory(path, plan.value(), workFolder_)) {
        return failure(kWriteAction, refusal->message, Severity::Error);
    }
    std::string text = "Wrote the save memory " + romc::inQuotes(chosen.front()) + " with " +
                       std::to_string(plan.value().roms.size() - plan.value().warnings.size()) + " of " +
                       std::to_string(plan.value().roms.size()) + " saves.";
    if (!plan.value().warnings.empty()) {
        text += "\n" + joinedLines(plan.value().warnings);
    }
    Reaction reaction;
    reaction.message = Message{caption() + " - " + kWriteAction, text,
                               plan.value().warnings.empty() ? Severity::Information : Severity::Warning};
    return reaction;
}

Reaction WindowModel::splitSaveDump() {
    const auto chosen = dialogs_->pickFiles(saveDumpDialog(FilePick::OneToOpen, kSplitAction, workFolder_));
    if (chosen.empty()) {
        return {};
    }
    const std::filesystem::path dumpPath = romc::pathFromUtf8(chosen.front());
    const auto dump = romc::readSaveDump(dumpPath, chosen.front());
    if (!dump.ok()) {
        return failure(kSplitAction, dump.failure().message, Severity::Error);
    }
    const std::vector<std::filesystem::path> kept{dumpPath};
    const auto plan = romc::planSplit(dump.value(), state_, workFolder_, kept);
    if (!plan.ok()) {
        return failure(kSplitAction, plan.failure().message, Severity::Error);
    }
    if (!romc::differingSaveFiles(plan.value()).empty()) {
        Question question;
        question.title = caption() + " - " + kSplitAction;
        std::string names;
        for (const auto& name : romc::differingSaveFiles(plan.value())) {
            names += "\n  " + romc::inQuotes(name);
        }
        question.text = "These save files hold other saves than the dump:" + names + "\n\nReplace them?";
        question.choices = {Choice::Yes, Choice::No};
        question.defaultChoice = Choice::No;
        question.escapeChoice = Choice::No;
        if (dialogs_->ask(question) != Choice::Yes) {
            return {};
        }
    }
    if (auto refusal = romc::writeSplit(plan.value(), workFolder_)) {
        return failure(kSplitAction, refusal->message, Severity::Error);
    }
    Reaction reaction;
    reaction.refresh.add(WindowPart::StatusLine);
    reaction.message = Message{caption() + " - " + kSplitAction,
                               joinedLines(romc::splitSummary(plan.value(), false)), Severity::Information};
    return reaction;
}

Reaction WindowModel::compactSaveBanks() {
    const romc::TableState before = state_;
    if (romc::saveBanksCompact(state_)) {
        return {};
    }
    if (auto refusal = romc::compactSaveBanks(state_)) {
        return failure(kCompactAction, refusal->message, Severity::Error);
    }
    rememberForUndo(kCompactAction, before);
    return tableChanged(Refresh::everything());
}

Reaction WindowModel::toggleSaveMemory() {
    const int row = selectedRow(ControlId::List1);
    if (row < 0) {
        return {};
    }
    const romc::TableState before = state_;
    const bool on =
        state_.table.text(static_cast<std::size_t>(row), romc::Column::SaveFlag) != romc::kSaveFlagYes;
    if (auto refusal = romc::setSaveMemory(state_, static_cast<std::size_t>(row), on)) {
        return failure(kSaveMemoryAction, refusal->message, Severity::Error);
    }
    rememberForUndo(kSaveMemoryAction, before);
    return tableChanged(Refresh::everything());
}

} // namespace romform
