// The flash view on Windows: a window beside the main one that paints the model's flash picture with GDI,
// scaled to its client area, and under it the text of the block the pointer rests on.
#pragma once

#include "form/window_model.h"

#include <functional>
#include <optional>
#include <string>
#include <windows.h>

namespace romwin {

class FlashViewWindow {
  public:
    // `closed` runs when the user closes this window; the model then says to hide it.
    FlashViewWindow(HINSTANCE instance, HWND mainWindow, const romform::WindowModel& model,
                    std::function<void()> closed);
    ~FlashViewWindow();
    FlashViewWindow(const FlashViewWindow&) = delete;
    FlashViewWindow& operator=(const FlashViewWindow&) = delete;

    HWND handle() const { return window_; }
    void showPicture(); // paints the picture again and shows the window
    void hide();

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    romform::FlashViewFit fit() const;
    void paint(HDC dc);
    void makeFonts(double scale);
    void pointerAt(int x, int y);
    void showPointed();
    void placeBesideMainWindow();

    const romform::WindowModel& model_;
    std::function<void()> closed_;
    HWND main_;
    HWND window_ = nullptr;
    HFONT labelFont_ = nullptr;
    HFONT pointFont_ = nullptr;
    double fontScale_ = 0; // the scale the fonts were made for
    romform::FlashPicture picture_;
    std::optional<POINT> pointer_; // the picture's point the pointer last rested on
    std::string pointText_;
};

} // namespace romwin
