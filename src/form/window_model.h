// The main window without a toolkit: what every control shows, one handler per event, the button states,
// the texts and the messages. A face builds its controls from controlTable(), forwards each event of a
// control to the handler named after it, and after each handler shows what the Reaction names, reading the
// controls' contents back from here. It decides nothing itself.
//
// Events of a disabled control, and typing into a read-only box, change nothing: a face never has to check.
#pragma once

#include "form/button_state.h"
#include "form/control_table.h"
#include "form/menu_bar.h"
#include "form/modal_dialogs.h"
#include "form/reaction.h"
#include "romtable/table_state.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace romform {

// "Find File"'s dialog: "Select File", the ROM filter first, then every file; "GB" added to a typed name.
FileDialog romFileDialog(std::string startPath);

// The folder the program runs in: "Menu.GB", the outputs and relative ROM paths are taken from there.
std::filesystem::path currentWorkFolder();

class WindowModel {
  public:
    // `dialogs` must outlive the model. `workFolder` holds "Menu.GB" and receives the outputs.
    WindowModel(ModalDialogs& dialogs, std::filesystem::path workFolder);

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
    // The status line under the client area ("Work folder: /home/me/gb"); none: no status line.
    std::optional<std::string> statusText() const;

    // What a row's name shows when the pointer rests on it: the ROM's cartridge header facts and warnings,
    // read from its file at that moment; "" for a row that does not exist.
    std::string nameToolTip(int row) const;

    ButtonState buttonState() const { return buttons_; }
    const romc::TableState& tableState() const { return state_; }
    const std::filesystem::path& workFolder() const { return workFolder_; }

    // --- Events ---------------------------------------------------------------------------------------

    Reaction load();                // Form1 load, before the window is first shown: the start-up reset
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
    // The user closes the window: asks Save / Discard / Cancel when the list in use has unsaved changes.
    // Returns whether the window may close.
    bool requestClose();

    Reaction openList();         // "Open List...": asks for a list file
    Reaction saveList();         // "Save List": to the list in use, or asks for a name like "Save List As..."
    Reaction saveListAs();       // "Save List As...": asks for a name
    Reaction chooseWorkFolder(); // "Work Folder...": asks for the folder of "Menu.GB" and the outputs
    Reaction importImage();      // "Import Image...": an image's ROMs into a folder, then their list opened
    // Opens the list at `path` (the file dialog's answer, or the command line's LIST).
    Reaction openListFile(const std::filesystem::path& path);
    // The list in use, "" while none was opened or saved in this run.
    const std::filesystem::path& listFile() const { return listFile_; }
    bool listModified() const { return listModified_; }

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
    ButtonState buttons_ = ButtonState::Start;
    std::string nameBox_;
    std::string pathBox_;
    bool saveBox_ = false;
    // The file the ROM dialog holds from its last use: shown chosen when it opens again, and taken again
    // when the user cancels.
    std::string heldRomFile_;
    std::filesystem::path listFile_;
    bool listModified_ = false;
    bool workFolderChosen_ = false; // chosen by the user in this run: lists no longer move it
    // Opening or saving a list makes its folder the work folder, unless the user chose one.
    void followList(Reaction& reaction);
};

} // namespace romform
