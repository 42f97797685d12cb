// The name column's tooltip on Windows: what the model says of the row under the pointer (the ROM's
// cartridge header facts and warnings), asked for only when the tip is about to show, so that it speaks of
// the file as it is now and a pointer passing over the column reads no file.
#pragma once

#include <functional>
#include <string>
#include <windows.h>

namespace romwin {

class NameTips {
  public:
    // `tipOf(row)` is the text for a row, "" for none (no tip is shown then).
    NameTips(HWND list, std::function<std::string(int row)> tipOf);
    ~NameTips();
    NameTips(const NameTips&) = delete;
    NameTips& operator=(const NameTips&) = delete;

  private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self);
    void pointerAt(LPARAM point);

    HWND list_;
    HWND tip_ = nullptr;
    std::function<std::string(int row)> tipOf_;
    int row_ = -1;      // the row under the pointer, -1 off the rows
    std::wstring text_; // the text the tip shows, kept while it shows
};

} // namespace romwin
