// A test hook: "--replay SCRIPT" drives the window through its own controls, one step a line, with the
// file dialogs and questions answered by the script and the messages written to stdout instead of shown.
// The smoke test under wine compiles through it; a user never sees it.
//
//   pick FILE            the next file dialog returns FILE (made absolute, in the system's spelling)
//   cancel               the next file dialog is cancelled
//   answer CHOICE        the next question is answered Ok, Yes, No, Save, Discard or Cancel
//   click CONTROL        a click on the button or check box of that name ("Command1", "Check1")
//   type CONTROL TEXT    the text box's text becomes TEXT, as typing it would
//   select CONTROL ROW   the user chooses row ROW (from 0) in that list
//   menu NUMBER          the menu item of that command number
//   drop FILE            FILE dropped on the window
//   hold                 stop here and leave the window open (for screenshots)
//   close                the user closes the window
// Empty lines and lines starting with "#" are skipped.
#pragma once

#include "form/modal_dialogs.h"
#include "romtable/failure.h"

#include <deque>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace romwin {

struct ReplayStep {
    std::string verb;
    std::string target;   // the control's name, or the step's one argument
    std::string argument; // what follows the control's name
    int line = 0;
};

romc::Outcome<std::vector<ReplayStep>> parseReplayScript(const std::string& text);
romc::Outcome<std::vector<ReplayStep>> readReplayScript(const std::filesystem::path& file);

// The dialogs' answers, queued by the script's pick, cancel and answer steps; a dialog the script did not
// answer is cancelled and written to `log`.
class ScriptedDialogs : public romform::ModalDialogs {
  public:
    explicit ScriptedDialogs(std::ostream& log) : log_(log) {}
    void queuePick(std::vector<std::string> paths) { picks_.push_back(std::move(paths)); }
    void queueAnswer(romform::Choice choice) { answers_.push_back(choice); }

    std::vector<std::string> pickFiles(const romform::FileDialog& dialog) override;
    romform::Choice ask(const romform::Question& question) override;

  private:
    std::ostream& log_;
    std::deque<std::vector<std::string>> picks_;
    std::deque<romform::Choice> answers_;
};

} // namespace romwin
