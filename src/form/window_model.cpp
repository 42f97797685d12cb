#include "form/window_model.h"

#include "cartridge/rom_header.h"
#include "compile/compilation.h"
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "lists/recent_lists.h"
#include "romtable/add_rom.h"
#include "romtable/rom_file.h"
#include "romtable/rom_name.h"
#include "romtable/rom_source.h"
#include "romtable/row_selection.h"
#include "saves/save_moves.h"

#include <utility>

namespace romform {

namespace {

using enum ControlId;

// "Add ROM", "Remove ROM" and "Generate Compilation": what a change of the button state shows.
const Refresh kButtons{Command2, Command4, Command5};

// The seven columns with their selections, the counter boxes, and what is drawn from the table.
Refresh tableShown() {
    Refresh shown{List1, List2, List3, List4, List5, List6, List7, Text3, Text4};
    shown.add(WindowPart::FlashView).add(WindowPart::StatusLine);
    return shown;
}

Reaction showing(const Refresh& refresh) {
    Reaction reaction;
    reaction.refresh = refresh;
    return reaction;
}

} // namespace

FileDialog romFileDialog(std::string startFolder) {
    FileDialog dialog;
    dialog.pick = FilePick::OneToOpen;
    dialog.title = "Select File";
    // ROMs straight from their archives as well: one ROM per ".zip", collections in a ".7z", ".gz" files.
    dialog.filters = {
        {"GB ROM(*.GB *.GBC *.SGB *.ZIP *.7Z *.GZ)", {"*.GB", "*.GBC", "*.SGB", "*.ZIP", "*.7Z", "*.GZ"}},
        {"All Files(*.*)", {"*.*"}}};
    dialog.defaultSuffix = "GB";
    dialog.startFolder = std::move(startFolder);
    dialog.hiddenNames = {romc::kMenuTemplateName, romc::kImageName};
    for (int piece = 1; piece <= romc::kPieceCount; ++piece) {
        dialog.hiddenNames.push_back(romc::pieceName(piece));
    }
    return dialog;
}

std::filesystem::path currentWorkFolder() {
    std::error_code error;
    auto folder = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : folder;
}

WindowModel::WindowModel(ModalDialogs& dialogs, std::filesystem::path workFolder,
                         std::optional<std::filesystem::path> recentListsFile,
                         std::optional<std::filesystem::path> sessionFile,
                         std::optional<std::filesystem::path> settingsFile)
    : dialogs_(&dialogs), workFolder_(std::move(workFolder)), nameBox_(control(Text1).text),
      pathBox_(control(Text2).text), recentListsFile_(std::move(recentListsFile)),
      settingsFile_(std::move(settingsFile)), sessionFile_(std::move(sessionFile)) {}

std::string WindowModel::text(ControlId id) const {
    switch (id) {
    case Text1:
        return nameBox_;
    case Text2:
        return pathBox_;
    case Text3:
        return state_.romCountText;
    case Text4:
        return state_.pagesText;
    default:
        return std::string(control(id).text);
    }
}

bool WindowModel::checked(ControlId id) const {
    return id == Check1 && saveBox_;
}

bool WindowModel::enabled(ControlId id) const {
    const ButtonsEnabled buttons = buttonsEnabled(buttons_);
    switch (id) {
    case Command2:
        return buttons.addRom;
    case Command5:
        return buttons.removeRom;
    case Command4:
        return buttons.generateCompilation;
    default:
        return true;
    }
}

bool WindowModel::visible(ControlId id) const {
    return control(id).visible;
}

const std::vector<std::string>& WindowModel::rows(ControlId list) const {
    static const std::vector<std::string> none;
    const auto column = columnOf(list);
    return column ? state_.table.column(*column) : none;
}

int WindowModel::selectedRow(ControlId list) const {
    const auto column = columnOf(list);
    return column ? state_.selectedRow[static_cast<std::size_t>(*column)] : romc::kNoRowSelected;
}

std::string WindowModel::nameToolTip(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= state_.table.rowCount()) {
        return {};
    }
    std::string tip = romc::headerFindingsText(
        romc::checkTableRow(state_.table, static_cast<std::size_t>(row), workFolder_));
    if (const std::string save = saveFileText(row); !save.empty()) {
        tip += (tip.empty() ? "" : "\n") + save;
    }
    return tip;
}

const std::string& WindowModel::rowWarning(int row) const {
    static const std::string none;
    return row >= 0 && static_cast<std::size_t>(row) < rowWarnings_.size()
               ? rowWarnings_[static_cast<std::size_t>(row)]
               : none;
}

void WindowModel::checkRows() {
    rowWarnings_.clear();
    for (std::size_t row = 0; row < state_.table.rowCount(); ++row) {
        rowWarnings_.push_back(rowWarningOf(row));
    }
}

Reaction WindowModel::load() {
    state_.startupReset();
    checkRows();
    buttons_ = ButtonState::WaitingForFile;
    if (recentListsFile_) {
        recentLists_ = romc::readRecentLists(*recentListsFile_);
    }
    readSettings();
    arriveInWorkFolder();
    Reaction reaction = showing(Refresh::everything());
    reaction.focus = kStartFocus;
    offerLastSession(reaction);
    return reaction;
}

void WindowModel::arriveInWorkFolder() {
    // A compilation killed among its renames left the folder's outputs mixed: it is put right before the
    // user reads or flashes them, and the status line says what was done.
    auto recovery = romc::recoverWorkFolderNow(romc::systemDisk(), workFolder_);
    notices_ = std::move(recovery.notes);
    if (recovery.refusal) {
        notices_.push_back(recovery.refusal->message);
    }
}

Reaction WindowModel::findFile() {
    // The work folder, not the held file: a name typed into the dialog must not be glued onto the last one.
    const auto chosen = dialogs_->pickFiles(romFileDialog(romc::pathToUtf8(workFolder_)));
    if (!chosen.empty()) {
        heldRomFile_ = chosen.front();
    }
    return takeHeldRomFile();
}

Reaction WindowModel::takeHeldRomFile() {
    // Whatever the dialog holds goes into the path box, even "" from a first cancelled dialog.
    if (auto nothingTaken = chooseArchiveMember()) {
        return *nothingTaken;
    }
    pathBox_ = heldRomFile_;
    if (pathBox_.empty()) {
        return showing({Text2});
    }
    buttons_ = ButtonState::FileHeld;
    nameBox_ = romc::proposeMenuName(pathBox_, workFolder_, namesFrom_);
    proposeSaveBox(pathBox_);
    // The name box next: the user edits the proposed name, and Enter adds the ROM.
    Reaction reaction = showing(Refresh{Text1, Text2, Check1}.add(kButtons));
    reaction.focus = Text1;
    return reaction;
}

void WindowModel::proposeSaveBox(const std::string& romPath) {
    // A header that cannot be trusted proposes no save memory: the tick of the ROM before says nothing of
    // this one, and a save bank given on its word would be one fewer for a game that needs it.
    const auto proposed = romc::proposedSaveMemory(romc::resolveRomPath(workFolder_, romPath));
    saveBox_ = romc::saveBoxAllowed(state_, proposed.value_or(false));
}

Reaction WindowModel::addRom() {
    if (!enabled(Command2)) {
        return {};
    }
    bool saveBox = saveBox_;
    if (auto refusal = romc::addRom(state_, {nameBox_, pathBox_, workFolder_}, saveBox)) {
        return failure("Add ROM", refusal->message, Severity::Warning);
    }
    saveBox_ = saveBox;
    return tableChanged(tableShown().add(Check1));
}

Reaction WindowModel::clearList() {
    const std::size_t rows = state_.table.rowCount();
    if (rows > 0) {
        const Question question{caption() + " - Clear List",
                                "Take all " + std::to_string(rows) +
                                    " ROMs out of the table? Edit > Undo (Ctrl+Z) brings them back.",
                                Severity::Warning,
                                {Choice::Yes, Choice::No},
                                Choice::Yes,
                                Choice::No};
        if (dialogs_->ask(question) != Choice::Yes) {
            return {};
        }
        rememberForUndo("Clear List", state_);
    }
    buttons_ = ButtonState::FileHeld;
    romc::clearList(state_);
    return tableChanged(tableShown().add(kButtons));
}

Reaction WindowModel::generateCompilation() {
    if (!enabled(Command4)) {
        return {};
    }
    // The core checks everything before it changes anything, so a refused compilation leaves the buttons
    // as they were and the user can mend the cause and press again.
    romc::CompileNotes notes;
    auto prepared = romc::prepareCompilation(state_, {workFolder_, false, nullptr, &notes});
    notices_ = std::move(notes.recovery.notes);
    // What an interrupted run's recovery changed is said before a refusal: files did change.
    const auto refused = [&](const std::string& message) {
        std::string text;
        for (const auto& note : notices_) {
            text += note + ".\n\n";
        }
        Reaction reaction = failure("Generate Compilation", text + message, Severity::Error);
        if (!notices_.empty()) {
            reaction.refresh.add(WindowPart::StatusLine);
        }
        return reaction;
    };
    if (!prepared.ok()) {
        return refused(prepared.failure().message);
    }
    // Compared before the image is replaced: after flashing, these games would read other saves or none.
    const auto moves =
        romc::saveMoves(workFolder_ / romc::kImageName, prepared.value().compiled, workFolder_);
    if (auto refusal = romc::commitCompilation(prepared.value(), state_)) {
        return refused(refusal->message);
    }
    savesWarning_ = romc::saveMovesWarning(moves, false).value_or("");
    buttons_ = ButtonState::WaitingForFile;
    compiled_ = true;
    return showing(tableShown().add(kButtons).add(WindowPart::MenuBar));
}

Reaction WindowModel::removeRom() {
    const romc::TableState before = state_;
    if (!enabled(Command5) || !romc::removeRom(state_)) {
        return {};
    }
    rememberForUndo("Remove ROM", before);
    return tableChanged(tableShown());
}

Reaction WindowModel::debug() {
    return {};
}

Reaction WindowModel::saveBoxChanged(bool ticked) {
    saveBox_ = romc::saveBoxAllowed(state_, ticked);
    if (saveBox_ == ticked) {
        return {};
    }
    return showing({Check1});
}

Reaction WindowModel::rowSelected(ControlId list, int row) {
    const auto column = columnOf(list);
    if (!column) {
        return {};
    }
    romc::selectColumnRow(state_, *column, row);
    // A row chosen in another column moves that column alone, which already shows it.
    if (*column != romc::Column::Name) {
        return {};
    }
    return showing(Refresh{List1, List2, List3, List4, List5, List6, List7}
                       .add(WindowPart::StatusLine)
                       .add(WindowPart::MenuBar)); // Move Up and Move Down follow the selection
}

Reaction WindowModel::textEdited(ControlId box, std::string text) {
    if (box == Text1) {
        // The menu shows 16 characters of a name: the box takes no more, and the status line shows the
        // name as the menu will.
        nameBox_ = nameEdited(text);
        const bool cut = nameBox_.size() != text.size();
        Refresh shown;
        shown.add(WindowPart::StatusLine);
        if (cut) {
            shown.add(Text1);
        }
        return showing(shown);
    }
    if (box == Text2) {
        pathBox_ = std::move(text);
    }
    // The box already shows what was typed; the counter boxes keep the table's counts.
    return box == Text3 || box == Text4 ? showing({box}) : Reaction{};
}

Reaction WindowModel::tableChanged(const Refresh& shown) {
    checkRows();
    if (!keepUndo_) {
        undo_.clear();
    }
    keepUndo_ = false;
    notices_.clear();
    renaming_.reset();
    // The menu bar follows: Undo and the Edit items depend on the table.
    Reaction reaction = showing(Refresh(shown).add(kButtons).add(WindowPart::MenuBar));
    // The table no longer is what the outputs hold: the status line tells the draft again.
    compiled_ = false;
    savesWarning_.clear();
    if (!listFile_.empty() && !listModified_) {
        listModified_ = true;
        reaction.refresh.add(WindowPart::Caption);
    }
    keepSession();
    return reaction;
}

ButtonState WindowModel::buttonsForBoxes() const {
    // A table replaced by a list: as after Clear List, but "Add ROM" waits for a file when the boxes hold
    // none, since pressed on empty boxes it could only be refused.
    const bool blank = pathBox_.find_first_not_of(' ') == std::string::npos; // the box starts as one blank
    return blank ? ButtonState::WaitingForFile : ButtonState::FileHeld;
}

Reaction WindowModel::failure(const char* action, const std::string& text, Severity severity) const {
    Reaction reaction;
    reaction.message = Message{caption() + " - " + action, text, severity};
    return reaction;
}

} // namespace romform
