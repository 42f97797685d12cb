// The flash view on Windows: a window beside the main one that paints the model's flash picture with GDI
// at the monitor's DPI, and under it the text of the block the pointer rests on.
#pragma once

#include "form/window_model.h"

#include <functional>
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
    void paint(HDC dc) const;
    void pointerAt(int x, int y);
    int scaledPixels(int pixels96) const;
    void fitToPicture();

    const romform::WindowModel& model_;
    std::function<void()> closed_;
    HWND main_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    romform::FlashPicture picture_;
    std::string pointText_;
};

} // namespace romwin
