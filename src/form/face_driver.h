// What every face of the main window does alike, written once: a face reports the user's events here, and
// the driver hands them to the model and walks the model's Reaction over a small view interface, in one
// order: the controls, the caption, the menu bar, the status line, the flash view, a name's editor, the
// focus, the message, and the close. The close handshake lives here too: a close the model agreed to (Quit)
// reaches the face's own close event once more, and must not ask again.
#pragma once

#include "form/reaction.h"
#include "form/user_event.h"
#include "form/window_model.h"

#include <optional>
#include <string>
#include <vector>

namespace romform {

// What a face can show; the driver decides what and when.
class WindowView {
  public:
    virtual void showState(ControlId id, bool enabled, bool visible) = 0; // every control
    virtual void showText(ControlId box, const std::string& text) = 0;    // a text box the model wrote
    virtual void showTick(ControlId box, bool ticked) = 0;                // the check box
    // A column's rows and its chosen row (kNoRowSelected for none); the name column also marks the rows
    // whose header check warns (WindowModel::rowWarning).
    virtual void showRows(ControlId list, const std::vector<std::string>& rows, int selected) = 0;
    virtual void showCaption(const std::string& caption) = 0;
    virtual void showMenuBar(const MenuBar& menus) = 0;
    virtual void showStatusLine(const std::optional<std::string>& text) = 0;
    virtual void showFlashView(bool open) = 0;
    // An editor over the name of `row` in the name column, holding the name; what the user keeps comes back
    // as NameKept.
    virtual void editName(int row) = 0;
    virtual void moveFocus(ControlId id) = 0;
    virtual void showMessage(const Message& message) = 0;
    // The model agreed to close (Quit): the face starts its own close, which comes back to closeRequested().
    virtual void startClose() = 0;

  protected:
    ~WindowView() = default;
};

class FaceDriver {
  public:
    FaceDriver(WindowModel& model, WindowView& view) : model_(&model), view_(&view) {}

    // The window loads, before it is first shown.
    void load();
    // An event of the user's. Events a face raises while it shows a reaction (a list's selection set, a
    // box's text written) are its own doing, not the user's, and are dropped.
    void handle(const UserEvent& event);
    // The face's close event (the title bar's close button, Alt+F4, or the close Quit started): whether
    // the window may close now. A list with unsaved changes is asked about first, once.
    bool closeRequested();

  private:
    void apply(const Reaction& reaction);
    void showControl(ControlId id);

    WindowModel* model_;
    WindowView* view_;
    bool showing_ = false;     // a reaction is being shown
    bool closeAgreed_ = false; // Quit already had the model's answer
};

} // namespace romform
