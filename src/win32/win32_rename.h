// The name column's own gestures on Windows: a name edited in place (F2, a double-click) in an EDIT over
// its row, and a row dragged to another place with a line where it would go. The model decides both; this
// only shows the editor and the line and hands back what the user did.
#pragma once

#include <windows.h>

namespace romwin {

class MainWindow;

class NameColumn {
  public:
    NameColumn(MainWindow& window, HWND names);
    ~NameColumn();
    NameColumn(const NameColumn&) = delete;
    NameColumn& operator=(const NameColumn&) = delete;

    // The editor over `row`, holding its name chosen whole.
    void edit(int row);
    // A message for the open editor goes to it alone, past the menu's shortcuts and the dialog keys, so that
    // Enter, Escape and Ctrl+Z are the editor's: true when it was taken.
    bool takeMessage(const MSG& message);

  private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK editorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    LRESULT onList(UINT message, WPARAM wParam, LPARAM lParam);
    // Closes the editor; the focus goes back to the list unless it left for another window already.
    void finish(bool keep, bool focusList = true);
    void keepWhatTheNameBoxKeeps();
    int rowAt(LPARAM point) const;
    void showDropLine(int target);

    MainWindow& window_;
    HWND names_;
    HWND editor_;
    bool editing_ = false;
    int editedRow_ = -1;
    int pressedRow_ = -1;
    POINT pressedAt_{};
    bool dragging_ = false;
    int shownTarget_ = -1;
};

} // namespace romwin
