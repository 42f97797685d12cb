// The main window's tooltips on Windows: over the name column, what the model says of the row under the
// pointer (the ROM's cartridge header facts and warnings), asked for only when the tip is about to show, so
// that it speaks of the file as it is now and a pointer passing over the column reads no file; over the
// status line, its whole text.
#pragma once

#include <functional>
#include <string>
#include <windows.h>

namespace romwin {

class WindowTips {
  public:
    explicit WindowTips(HWND owner);
    ~WindowTips();
    WindowTips(const WindowTips&) = delete;
    WindowTips& operator=(const WindowTips&) = delete;

    // `tipOf(row)` is the text for a row of `list`, "" for none (no tip is shown then).
    void watchRows(HWND list, std::function<std::string(int row)> tipOf);
    // `control`'s tip becomes `text`.
    void setText(HWND control, const std::string& text);
    // The tips are written in `font` (the controls' font), which the caller keeps alive.
    void setFont(HFONT font);

  private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self);
    void pointerAt(LPARAM point);

    HWND tip_ = nullptr;
    HWND list_ = nullptr;
    std::function<std::string(int row)> tipOf_;
    int row_ = -1;            // the row under the pointer, -1 off the rows
    std::wstring rowText_;    // the text the row's tip shows, kept while it shows
    HWND textTool_ = nullptr; // the control of setText(), once it has a tool
    std::wstring text_;
};

} // namespace romwin
