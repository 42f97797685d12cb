// The modal dialogs a handler needs an answer from before it can go on: a file dialog and a question.
// The model says what each dialog shows; a face shows it with its platform's own dialog and hands back
// what the user chose. Tests script the answers instead of showing anything.
//
// A feature that needs a file, several files, a name to save to or a folder fills in a FileDialog with
// the matching FilePick; one that needs a decision (confirm Clear List, Save / Discard / Cancel on close)
// asks a Question. Messages that need no answer are not dialogs: they go back to the face in the Reaction.
#pragma once

#include "form/reaction.h"

#include <string>
#include <vector>

namespace romform {

enum class FilePick {
    OneToOpen,     // an existing file
    SeveralToOpen, // one or more existing files
    OneToSave,     // a file name to write to; it need not exist
    Folder,        // an existing folder
};

// One entry of a file dialog's type list: "GB ROM(*.GB)" showing the names that match "*.GB".
struct FileFilter {
    std::string description;           // the text the user sees, naming its patterns in parentheses
    std::vector<std::string> patterns; // "*.GB"; patterns match names in any letter case
};

struct FileDialog {
    FilePick pick = FilePick::OneToOpen;
    std::string title;
    std::vector<FileFilter> filters; // the first is in force when the dialog opens
    std::string defaultSuffix;       // added to a typed file name without one, as "GB"
    std::string startFolder;         // the folder it opens in (the work folder); "" for the system's choice
    // The file proposed when it opens (its folder open, its name in the name box), or for a Folder pick
    // the folder shown chosen; "" for none: a dialog never shows a name left from its last use.
    std::string startPath;
    // File names the dialog leaves out of its list whatever the filter, in any letter case: "Menu.GB" and
    // the outputs match "*.GB" but are no games, and a Ctrl+A among the ROMs must not take them.
    std::vector<std::string> hiddenNames;
};

// The buttons a question can offer. Faces show their platform's standard button for each.
enum class Choice { Ok, Yes, No, Save, Discard, Cancel };

struct Question {
    std::string title;
    std::string text;
    Severity severity = Severity::Warning;
    std::vector<Choice> choices;          // the buttons, in this order
    Choice defaultChoice = Choice::Ok;    // what Enter picks
    Choice escapeChoice = Choice::Cancel; // what Escape or closing the question picks
};

class ModalDialogs {
  public:
    virtual ~ModalDialogs() = default;

    // Shows the file dialog and returns the chosen paths (UTF-8, full paths), in the order the user chose
    // them; none when the user cancelled. OneToOpen, OneToSave and Folder return at most one path.
    virtual std::vector<std::string> pickFiles(const FileDialog& dialog) = 0;

    // Asks the question and returns the choice; always one of question.choices.
    virtual Choice ask(const Question& question) = 0;
};

} // namespace romform
