// The main window without a toolkit: what every control shows, one handler per event, the button states,
// the texts and the messages. A face builds its controls from controlTable(), forwards each event of a
// control to the handler named after it, and after each handler shows what the Reaction names, reading the
// controls' contents back from here. It decides nothing itself.
//
// Events of a disabled control, and typing into a read-only box, change nothing: a face never has to check.
#pragma once

#include "cartridge/rom_header.h"
#include "files/disk.h"
#include "form/button_state.h"
#include "form/control_table.h"
#include "form/flash_view.h"
#include "form/menu_bar.h"
#include "form/modal_dialogs.h"
#include "form/reaction.h"
#include "form/user_event.h"
#include "plan/flash_plan.h"
#include "romtable/row_order.h"
#include "romtable/table_state.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace romform {

// The status line keeps room for this many lines (the outcome, a selected row's warning or save file, the
// banks and the work folder), so that choosing a row does not change the window's height; more grow it.
inline constexpr int kStatusLineLeastLines = 3;

// What the status line leads with after a refused action: "Add ROM: Cannot read ...", the action and the
// message's first line.
std::string refusalStatus(const Message& message);

// "Find File"'s dialog: "Select File", the ROM filter first, then every file; "GB" added to a typed name;
// open in `startFolder`, with an empty name box.
FileDialog romFileDialog(std::string startFolder);

// The folder the program runs in: "Menu.GB", the outputs and relative ROM paths are taken from there.
std::filesystem::path currentWorkFolder();

class WindowModel {
  public:
    // `dialogs` must outlive the model. `workFolder` holds "Menu.GB" and receives the outputs. The lists
    // used lately are kept in `recentListsFile` (romc::recentListsFile() for a user's window); none: the
    // File menu shows none and nothing is written. The table is kept in `sessionFile`
    // (romc::sessionListFile()) after every change, and offered back by the next load() when the model
    // was never destroyed (a crash, a killed process); none: nothing is kept. While another window keeps
    // its table there, this one keeps none. The user's choices (where proposed names come from) are read
    // from and kept in `settingsFile` (romc::userSettingsFile()); none: the defaults, nothing written.
    WindowModel(ModalDialogs& dialogs, std::filesystem::path workFolder,
                std::optional<std::filesystem::path> recentListsFile = std::nullopt,
                std::optional<std::filesystem::path> sessionFile = std::nullopt,
                std::optional<std::filesystem::path> settingsFile = std::nullopt);
    // A clean end: the kept table is removed.
    ~WindowModel();
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    // --- What the face shows -------------------------------------------------------------------------

    // A text box's text (the ROM name box, the file path box, the two counter boxes), or the caption of a
    // label, button or check box. UTF-8.
    std::string text(ControlId id) const;
    bool checked(ControlId id) const; // the "Save?" box; false for every other control
    bool enabled(ControlId id) const;
    bool visible(ControlId id) const;
    // The rows of a list (List1 to List7: the table's columns) and its selected row, or kNoRowSelected.
    const std::vector<std::string>& rows(ControlId list) const;
    int selectedRow(ControlId list) const;

    std::string caption() const; // the window's title
    MenuBar menuBar() const;     // no menus: the window has no menu bar
    // The status line under the client area, two lines: what the next compilation would make of the table
    // ("All 12 ROMs fit: 382 of 1024 blocks; Output.GB will be 12 MiB, 2 pieces"), or after one what it wrote
    // and the pieces it left; then the save banks used and the work folder. None: no status line.
    std::optional<std::string> statusText() const;
    // The plan of the table as it stands, over the work folder as it is now. After handle(), the one plan
    // of that event's reaction until the next event: what it shows, and every point of the flash view the
    // pointer passes over, read one plan.
    const romc::FlashPlan& flashPlan() const;
    std::size_t flashPlansMade() const { return plansMade_; }

    // The flash view: a window beside this one, open while View > "Flash Map" is ticked, showing
    // flashPicture() again whenever a Reaction names WindowPart::FlashView.
    bool flashViewOpen() const { return flashViewOpen_; }
    FlashPicture flashPicture() const;
    std::string flashViewCaption() const; // "Flash Map - Tarnwick 256M ROM Compiler"
    // What a point of the flash view names ("C SAGA: blocks 256-511, save bank 3"), "" off the cells.
    std::string flashPointText(int x, int y) const;
    Reaction toggleFlashView(); // View > "Flash Map" (Ctrl+M)
    Reaction flashViewClosed(); // the user closed the flash view's own window

    // What a row's name shows when the pointer rests on it: the ROM's cartridge header facts and warnings,
    // read from its file at that moment; "" for a row that does not exist.
    std::string nameToolTip(int row) const;
    // What the header check of a row warns about, "" when nothing: a face marks such a row's name with a
    // warning sign, and the status line shows the text while the row is selected. Checked when the table
    // changes, so that the window never needs hovering to learn that saves will be lost.
    const std::string& rowWarning(int row) const;

    ButtonState buttonState() const { return buttons_; }
    // The outputs in the work folder hold the table as it stands: the last action compiled it.
    bool compiled() const { return compiled_; }
    const romc::TableState& tableState() const { return state_; }
    const std::filesystem::path& workFolder() const { return workFolder_; }

    // --- Events ---------------------------------------------------------------------------------------

    // Any event of the user's, as every face reports it: handed to its handler below. The reaction also
    // shows the status line, which then leads with this action's outcome.
    Reaction handle(const UserEvent& event);
    Reaction clicked(ControlId button); // one of the six buttons

    // Form1 load, before the window is first shown: the start-up reset, and the table a session that
    // ended unexpectedly kept, offered back.
    Reaction load();
    Reaction findFile();            // Command1 "Find File": asks for a ROM file
    Reaction addRom();              // Command2 "Add ROM"
    Reaction clearList();           // Command3 "Clear List"
    Reaction generateCompilation(); // Command4 "Generate Compilation"
    Reaction removeRom();           // Command5 "Remove ROM"
    Reaction debug();               // Command6 "Debug": hidden, shows and changes nothing
    // Check1 "Save?" changed to `ticked`, by the user or by the face showing it; the Save box rule.
    Reaction saveBoxChanged(bool ticked);
    // A row chosen in a list by mouse or keyboard, kNoRowSelected when none. Only the name column selects
    // the whole row.
    Reaction rowSelected(ControlId list, int row);
    // The user changed the text of a text box (typing, pasting, undoing): `text` is its whole new text.
    Reaction textEdited(ControlId box, std::string text);
    Reaction menuCommand(MenuCommand command);
    Reaction
    addRoms(); // "Add ROMs...": several files, each added as "Add ROM" would, refusals in one message
    // Files dropped on the window (full paths, UTF-8): one fills the boxes as "Find File" does, several are
    // added as "Add ROMs..." adds them.
    Reaction filesDropped(const std::vector<std::string>& files);
    Reaction enterPressed(ControlId box);   // Enter in the name or path box: "Add ROM" when it is enabled
    Reaction deletePressed(ControlId list); // Delete in a column: "Remove ROM" of the selected row
    // The user closes the window: asks Save / Discard / Cancel when the list in use has unsaved changes.
    // closeWindow says whether the window may close; a save that failed comes back as its message.
    Reaction requestClose();

    Reaction openList();         // "Open List...": asks for a list file
    Reaction saveList();         // "Save List": to the list in use, or asks for a name like "Save List As..."
    Reaction saveListAs();       // "Save List As...": asks for a name
    Reaction chooseWorkFolder(); // "Work Folder...": asks for the folder of "Menu.GB" and the outputs
    Reaction openRecentList(std::size_t index); // the File menu's recent list `index`, 0 the latest
    // "Remove Left-over Pieces": after a compilation, removes the pieces its image does not reach.
    Reaction removeLeftoverPieces();
    bool leftoverPiecesRemovable() const;
    // The Edit menu. "Undo" takes back the last Clear List, Remove ROM, move, drag, sort or rename.
    Reaction undo();
    Reaction moveRow(romc::RowMove move); // "Move Up" (Alt+Up), "Move Down" (Alt+Down): the selected row
    Reaction sortRowsByName();            // "Sort by Name"
    // Edit > "Rename" (F2, the selected row) or a double-click on a name: `row` is selected and the face
    // opens its editor over the name (Reaction::editName). Nothing for a row that does not exist.
    Reaction renameRequested(int row);
    // What the name editor keeps of `typed`, as the name box keeps it: the first 16 characters.
    std::string nameEdited(const std::string& typed) const;
    // The name editor's text handed back: the row's name becomes it as Add ROM would take it from the name
    // box (cut to 16 characters, upper case), undoable as "Rename". Nothing when the table changed since the
    // editor opened over `row`, or the name stays as it was.
    Reaction renameRow(int row, std::string name);
    // A row dragged in the name column from `from` and dropped at `to`: moved there with its seven columns
    // as "Move Up" moves it (a save ROM keeps its bank and blocks), undoable as "Move Row".
    Reaction rowDragged(int from, int to);
    // File > "Names from Cartridge Titles": Find File, Add ROMs and drops propose each ROM's header title
    // (when its header is one the boot ROM accepts) instead of its file name; kept for the next runs.
    Reaction toggleNamesFromTitles();
    romc::NamesFrom namesFrom() const { return namesFrom_; }
    Reaction importImage(); // "Import Image...": an image's ROMs into a folder, then their list opened
    // The save memory: File > "Write Save Memory..." builds it from the save ROMs' save files, File > "Split
    // Save Dump..." cuts a save dump into them (asking before a differing file is replaced); Edit >
    // "Compact Save Banks" and Edit > "Save Memory" (the selected row's, on or off).
    Reaction writeSaveMemory();
    Reaction splitSaveDump();
    Reaction compactSaveBanks();
    Reaction toggleSaveMemory();
    // The selected or pointed-at save ROM's save file: "save: TETRIS.sav, 8 KiB", "no save file (...)";
    // "" for a row without save memory.
    std::string saveFileText(int row) const;
    // Opens the list at `path` (the file dialog's answer, or the command line's LIST).
    Reaction openListFile(const std::filesystem::path& path);
    // The list in use, "" while none was opened or saved in this run.
    const std::filesystem::path& listFile() const { return listFile_; }
    bool listModified() const { return listModified_; }
    const std::vector<std::filesystem::path>& recentLists() const { return recentLists_; }

  private:
    // Before the table is replaced or the window closes: false when the user cancelled, or a save failed.
    bool unsavedChangesSettled(Reaction& shown);
    Reaction saveListTo(const std::filesystem::path& path);
    Reaction about() const;
    // After a change of the table: shows `shown`, and the caption gains its "*" when a list is in use.
    Reaction tableChanged(const Refresh& shown);

    // A refused action: nothing to show again, a message titled after the action.
    Reaction failure(const char* action, const std::string& text, Severity severity) const;

    ModalDialogs* dialogs_;
    std::filesystem::path workFolder_;
    romc::TableState state_;
    ButtonState buttons_ = ButtonState::WaitingForFile;
    ButtonState buttonsForBoxes() const;
    std::string nameBox_;
    std::string pathBox_;
    bool saveBox_ = false;
    // "Save?" as the ROM's cartridge header proposes, unticked when the header cannot be read or trusted;
    // the Save box rule holds.
    void proposeSaveBox(const std::string& romPath);
    // The held ROM file into the path box, its proposed name and "Save?", as after "Find File".
    Reaction takeHeldRomFile();
    Reaction addRomFiles(const std::vector<std::string>& files);
    // An archive held alone: its one ROM, or the ROM the user takes when asked, becomes the held file
    // ("ARCHIVE::MEMBER"). A reaction when there is nothing to take (a refusal, or every ROM declined).
    std::optional<Reaction> chooseArchiveMember();
    // Every ROM the files give: a plain file itself, each ROM of an archive named alone.
    std::vector<std::string> romsOfFiles(const std::vector<std::string>& files) const;
    bool holdsSeveralRoms(const std::string& file) const;
    bool isWorkFolderFile(const std::string& file) const; // "Menu.GB", "Output.GB" or a piece, by identity
    // The file the ROM dialog holds from its last use: shown chosen when it opens again, and taken again
    // when the user cancels.
    std::string heldRomFile_;
    std::filesystem::path listFile_;
    bool listModified_ = false;
    bool workFolderChosen_ = false;        // chosen by the user in this run: lists no longer move it
    std::vector<std::string> rowWarnings_; // per row of the table, as rowWarning() gives it
    void checkRows();
    std::string rowWarningOf(std::size_t row);
    // The warnings of rows read from archives, by file text and save flag, with the archive's length and
    // time of change when they were read: unchanged archives are not unpacked again on every change.
    std::map<std::string, std::pair<std::string, std::string>> checkedArchiveRows_;
    bool compiled_ = false; // the outputs in the work folder hold the table as it stands
    // The last event's refusal as the status line leads with it ("Add ROM: Cannot read ..."); "" when the
    // last event was not refused.
    std::string refusal_;
    Reaction dispatch(const UserEvent& event);
    // One look at the work folder per reaction, the flash plan and the template's warnings: each made at
    // the first ask after keepFolderLook(), until forgetFolderLook().
    mutable std::optional<romc::FlashPlan> plan_;
    mutable std::optional<std::vector<std::string>> templateWarnings_;
    mutable std::size_t plansMade_ = 0;
    bool folderLookKept_ = false;
    void keepFolderLook() { folderLookKept_ = true; }
    void forgetFolderLook() {
        folderLookKept_ = false;
        plan_.reset();
        templateWarnings_.reset();
    }
    const std::vector<std::string>& templateWarnings() const;
    // What the status line says first until the table changes: an interrupted compilation completed (or
    // found beyond completing) when the window came to the work folder or compiled in it.
    std::vector<std::string> notices_;
    void arriveInWorkFolder();
    bool flashViewOpen_ = false;
    // Opening or saving a list makes its folder the work folder, unless the user chose one, and puts it
    // first among the recent lists.
    void followList(Reaction& reaction);
    std::optional<std::filesystem::path> recentListsFile_;
    struct UndoStep {
        std::string action; // "Remove ROM": the menu item reads "Undo Remove ROM"
        romc::TableState before;
    };
    std::vector<UndoStep> undo_;
    std::optional<int> renaming_; // the row the name editor was opened over, until the table changes
    std::optional<std::filesystem::path> settingsFile_;
    romc::NamesFrom namesFrom_ = romc::NamesFrom::FileNames;
    void readSettings();    // at load(): the choices the settings file keeps
    bool keepUndo_ = false; // the change under way is an undoable one, or an Undo: the history stays
    void rememberForUndo(const char* action, romc::TableState before);
    Menu editMenu() const;
    std::vector<MenuItem> saveMenuItems() const; // File's save memory items
    std::vector<MenuItem> saveEditItems() const; // Edit's save bank items
    // What the last compilation said of saves it would strand: games whose bank changed against the image
    // it replaced. Shown in the status line until the table changes.
    std::string savesWarning_;
    std::vector<std::filesystem::path> recentLists_;
    std::optional<std::filesystem::path> sessionFile_;
    // The lock of the session file's folder, held while this window keeps its table there; it dies with
    // the process, so that the next start knows an unclean end from a window still open.
    std::unique_ptr<romc::FolderLock> sessionLock_;
    // At start: the session file becomes this window's, or none when another window holds it.
    void claimSession();
    // The table as it stands into the session file; an empty table removes it.
    void keepSession() const;
    // At start: asks whether to restore the table the session file holds; adds it on Yes.
    void offerLastSession(Reaction& reaction);
};

} // namespace romform
