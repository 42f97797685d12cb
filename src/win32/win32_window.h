// The main window on Windows, a thin Win32 view of romform::WindowModel: it makes one child window per
// entry of the control table at the twip places scaled to the monitor's DPI, forwards each event to the
// model's handler and shows again what the model's reaction names.
#pragma once

#include "form/face_driver.h"
#include "form/window_model.h"
#include "win32/win32_menu_bar.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <windows.h>

namespace romwin {

class FlashViewWindow;
class NameColumn;
class WindowTips;

// Each control's ID: its place in the control table (its tab index) past the system's own IDs, so that
// GetDlgItem(clientArea, controlIdOf(ControlId::Command2)) finds "Add ROM".
inline constexpr int kFirstControlId = 1000;
constexpr int controlIdOf(romform::ControlId id) {
    return kFirstControlId + static_cast<int>(romform::indexOf(id));
}

// Twips to the pixels of a monitor of `dpi` dots per inch: 15 twips a pixel at 96.
constexpr int scaled(int twips, UINT dpi) {
    return static_cast<int>((static_cast<long long>(twips) * dpi + romform::kTwipsPerInch / 2) /
                            romform::kTwipsPerInch);
}

class MainWindow : private romform::WindowView {
  public:
    // Messages go to `messageSink` instead of a message box when one is given (the replay of a script).
    MainWindow(HINSTANCE instance, romform::ModalDialogs& dialogs,
               std::function<void(const romform::Message&)> messageSink = nullptr);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    HWND control(romform::ControlId id) const { return controls_[romform::indexOf(id)]; }
    romform::WindowModel& model() { return model_; }

    void show(int showCommand);
    // Opens a list as "Open List..." would once the user chose it: the command line's LIST.
    void openList(const std::string& path) { driver_.handle(romform::ListNamed{path}); }
    // Ticks View > "Flash Map" unless it is ticked: the command line's --flash-map.
    void openFlashMap() { driver_.handle(romform::FlashMapNamed{}); }
    // What the user did to a part of the window that is not a control of the table (the name editor).
    void report(const romform::UserEvent& event) { driver_.handle(event); }
    // Runs the messages until the window is gone; returns the exit code.
    int run();

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK clientAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The keys the model takes itself: Enter in the name and path boxes, Delete in a column.
    bool takeKey(const MSG& message);

    // win32_controls.cpp
    void createControls();
    void makeFonts();
    void layOut(); // every child at its place for dpi_, the window as large as its client area and bars
    void measureRow(MEASUREITEMSTRUCT& item) const;
    void drawRow(const DRAWITEMSTRUCT& item) const;
    static void paintLines(HDC dc, UINT dpi);
    static LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR);
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR window);
    int statusLineHeight() const;
    int statusLineLeft() const;
    int statusLineWidth() const;

    void onCommand(int id, int code);
    // romform::WindowView, in the order the driver shows a reaction. While it shows one, the
    // notifications these writes raise are no user's events: the driver drops them.
    void showState(romform::ControlId id, bool enabled, bool visible) override;
    void showText(romform::ControlId box, const std::string& text) override;
    void showTick(romform::ControlId box, bool ticked) override;
    void showRows(romform::ControlId list, const std::vector<std::string>& rows,
                  int selected) override; // win32_controls.cpp
    void showCaption(const std::string& caption) override;
    void showMenuBar(const romform::MenuBar& menus) override;
    void showStatusLine(const std::optional<std::string>& text) override;
    void showFlashView(bool open) override;
    void moveFocus(romform::ControlId id) override;
    void showMessage(const romform::Message& message) override;
    void startClose() override;
    void dropped(HDROP drop);
    void dpiChanged(UINT dpi, const RECT& suggested);

    HINSTANCE instance_;
    romform::WindowModel model_;
    std::function<void(const romform::Message&)> messageSink_;
    HWND window_ = nullptr;
    HWND clientArea_ = nullptr; // holds the controls and clips those the design puts out of view
    HWND statusLine_ = nullptr;
    std::array<HWND, romform::kControlCount> controls_{};
    HFONT font_ = nullptr;
    HACCEL accelerators_ = nullptr;
    DrawnMenus menus_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    romform::FaceDriver driver_{model_, *this};
    // Alt was held for a chord (Alt+Down): its release must not leave the menu bar active.
    bool altChordUsed_ = false;
    void watchAltChords(const MSG& message);
    void keepListsWhole();
    std::unique_ptr<FlashViewWindow> flashView_;
    std::unique_ptr<WindowTips> tips_;
    // win32_rename.cpp: a name edited in place over its row, and rows dragged, in the name column.
    std::unique_ptr<NameColumn> nameColumn_;
    void editName(int row) override; // win32_rename.cpp
};

} // namespace romwin
