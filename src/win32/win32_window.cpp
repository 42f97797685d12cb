#include "win32/win32_window.h"

#include "lists/recent_lists.h"
#include "lists/session_list.h"
#include "lists/user_settings.h"
#include "win32/wide_text.h"
#include "win32/win32_dialogs.h"
#include "win32/win32_flash_view.h"
#include "win32/win32_menu_bar.h"
#include "win32/win32_rename.h"
#include "win32/win32_tips.h"

#include <shellapi.h>

namespace romwin {

namespace {

using romform::ControlId;
using romform::ControlKind;

constexpr const wchar_t* kWindowClass = L"RomCompilerForm1";
constexpr const wchar_t* kClientAreaClass = L"RomCompilerClientArea";
// The window keeps its size: the layout is fixed, so it neither resizes nor maximises.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void registerClasses(HINSTANCE instance, WNDPROC windowProc, WNDPROC clientAreaProc) {
    WNDCLASSEXW window{};
    window.cbSize = sizeof(window);
    window.lpfnWndProc = windowProc;
    window.hInstance = instance;
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window.lpszClassName = kWindowClass;
    RegisterClassExW(&window);

    WNDCLASSEXW client{};
    client.cbSize = sizeof(client);
    client.lpfnWndProc = clientAreaProc;
    client.hInstance = instance;
    client.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    client.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    client.lpszClassName = kClientAreaClass;
    RegisterClassExW(&client);
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, romform::ModalDialogs& dialogs,
                       std::function<void(const romform::Message&)> messageSink)
    : instance_(instance), model_(dialogs, romform::currentWorkFolder(), romc::recentListsFile(),
                                  romc::sessionListFile(), romc::userSettingsFile()),
      messageSink_(std::move(messageSink)) {
    registerClasses(instance, &MainWindow::windowProc, &MainWindow::clientAreaProc);
    window_ =
        CreateWindowExW(0, kWindowClass, wide(romform::kWindowCaption).c_str(), kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    dpi_ = GetDpiForWindow(window_);
    clientArea_ =
        CreateWindowExW(WS_EX_CONTROLPARENT, kClientAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                        0, 0, 0, 0, window_, nullptr, instance, this);
    // SS_NOTIFY: the pointer resting on the line shows its whole text. SS_EDITCONTROL: a word longer than
    // the line (a deep folder's path) is broken where it reaches the edge, as wrappedHeight() measures it.
    statusLine_ =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_EDITCONTROL | SS_NOPREFIX | SS_NOTIFY, 0,
                        0, 0, 0, window_, nullptr, instance, nullptr);
    makeFonts();
    createControls();
    tips_ = std::make_unique<WindowTips>(window_);
    tips_->setFont(font_);
    tips_->watchRows(control(ControlId::List1), [this](int row) { return model_.nameToolTip(row); });
    nameColumn_ = std::make_unique<NameColumn>(*this, control(ControlId::List1));
    // ROM files dropped anywhere on the window.
    DragAcceptFiles(window_, TRUE);
    driver_.load();
    layOut();
}

MainWindow::~MainWindow() {
    tips_.reset(); // before the controls it watches go
    nameColumn_.reset();
    flashView_.reset();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void MainWindow::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    // A question asked at start (the table of a session that ended unexpectedly) was the active window
    // before this one showed: the keys come here now.
    SetForegroundWindow(window_);
    SetFocus(control(romform::kStartFocus));
}

int MainWindow::run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        watchAltChords(message);
        if (nameColumn_->takeMessage(message)) {
            continue;
        }
        if (takeKey(message)) {
            continue;
        }
        if (accelerators_ != nullptr && TranslateAcceleratorW(window_, accelerators_, &message)) {
            continue;
        }
        // Tab, Shift+Tab and the arrow keys move the focus as in a dialog.
        if (window_ != nullptr && IsDialogMessageW(window_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::watchAltChords(const MSG& message) {
    if (message.message != WM_SYSKEYDOWN) {
        return;
    }
    const bool repeated = (message.lParam & (1L << 30)) != 0;
    if (message.wParam == VK_MENU) {
        if (!repeated) {
            altChordUsed_ = false; // a new press of Alt
        }
    } else if (message.wParam != VK_F10) {
        altChordUsed_ = true;
    }
}

bool MainWindow::takeKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_DELETE)) {
        return false;
    }
    const romform::Key key = message.wParam == VK_RETURN ? romform::Key::Enter : romform::Key::Delete;
    for (const auto& entry : romform::controlTable()) {
        if (control(entry.id) == message.hwnd && romform::takesKey(entry.id, key)) {
            driver_.handle(romform::KeyPressed{entry.id, key});
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

// The client area only holds the controls: their notifications go to the main window.
LRESULT CALLBACK MainWindow::clientAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        paintLines(dc, GetDpiForWindow(window));
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        measureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        drawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MENUCHAR:
        if (const auto chosen = menus_.menuChar(LOWORD(wParam), reinterpret_cast<HMENU>(lParam))) {
            return *chosen;
        }
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_DROPFILES:
        dropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        // Alt let go after Alt+Up or Alt+Down: the menu bar stays inactive, as after any chord.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && altChordUsed_) {
            altChordUsed_ = false;
            return 0;
        }
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_CLOSE:
        if (driver_.closeRequested()) {
            DestroyWindow(window_);
        }
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::onCommand(int id, int code) {
    if (id < kFirstControlId) {
        // A menu item or its shortcut: the item's command number.
        driver_.handle(romform::MenuChosen{static_cast<romform::MenuCommand>(id)});
        return;
    }
    const auto index = static_cast<std::size_t>(id - kFirstControlId);
    if (index >= romform::kControlCount) {
        return;
    }
    const romform::Control& entry = romform::controlTable()[index];
    switch (entry.kind) {
    case ControlKind::Button:
        if (code == BN_CLICKED) {
            driver_.handle(romform::Clicked{entry.id});
        }
        return;
    case ControlKind::CheckBox:
        // Each change of the box by the user runs the Save box rule.
        if (code == BN_CLICKED) {
            const bool ticked = SendMessageW(control(entry.id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            driver_.handle(romform::Ticked{entry.id, ticked});
        }
        return;
    case ControlKind::TextBox:
        if (code == EN_CHANGE) {
            driver_.handle(romform::Edited{entry.id, utf8(windowText(control(entry.id)))});
        }
        return;
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) {
            const auto row = static_cast<int>(SendMessageW(control(entry.id), LB_GETCURSEL, 0, 0));
            driver_.handle(romform::RowChosen{entry.id, row == LB_ERR ? romc::kNoRowSelected : row});
        }
        return;
    case ControlKind::Label:
    case ControlKind::Line:
        return;
    }
}

void MainWindow::showCaption(const std::string& caption) {
    SetWindowTextW(window_, wide(caption).c_str());
}

void MainWindow::moveFocus(ControlId id) {
    // As a focus moved by Tab: a box's text chosen whole, so that typing replaces a proposed name.
    SetFocus(control(id));
    if (romform::control(id).kind == ControlKind::TextBox) {
        SendMessageW(control(id), EM_SETSEL, 0, -1);
    }
}

void MainWindow::showMessage(const romform::Message& message) {
    if (messageSink_) {
        messageSink_(message);
    } else {
        romwin::showMessage(window_, message);
    }
}

void MainWindow::startClose() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void MainWindow::showState(ControlId id, bool enabled, bool visible) {
    EnableWindow(control(id), enabled);
    ShowWindow(control(id), visible ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::showText(ControlId box, const std::string& utf8Text) {
    // The model names a box only when it wrote the box itself, never one the user is typing in.
    HWND shown = control(box);
    const bool path = romform::control(box).keepsTextEnd;
    const std::wstring text = path ? shownPath(utf8Text) : wide(utf8Text);
    if (windowText(shown) == text) {
        return;
    }
    SetWindowTextW(shown, text.c_str());
    if (path) {
        // The end in view: the file name, not the start of its folder.
        const auto end = static_cast<WPARAM>(text.size());
        SendMessageW(shown, EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessageW(shown, EM_SCROLLCARET, 0, 0);
    }
}

void MainWindow::showTick(ControlId box, bool ticked) {
    SendMessageW(control(box), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::showMenuBar(const romform::MenuBar& menus) {
    HMENU old = GetMenu(window_);
    if (menus.empty() && old == nullptr) {
        return;
    }
    SetMenu(window_, menus.empty() ? nullptr : menus_.build(menus));
    if (old != nullptr) {
        DestroyMenu(old);
    }
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
    accelerators_ = buildAccelerators(menus);
    layOut();
}

void MainWindow::showStatusLine(const std::optional<std::string>& text) {
    SetWindowTextW(statusLine_, wide(text.value_or(std::string())).c_str());
    // Wrapped within the window, which grows to show every line; its tip says it whole as well.
    tips_->setText(statusLine_, text.value_or(std::string()));
    ShowWindow(statusLine_, text ? SW_SHOWNA : SW_HIDE);
    layOut();
}

void MainWindow::showFlashView(bool open) {
    if (!open) {
        if (flashView_) {
            flashView_->hide();
        }
        return;
    }
    if (!flashView_) {
        flashView_ = std::make_unique<FlashViewWindow>(
            instance_, window_, model_, [this] { driver_.handle(romform::FlashViewClosed{}); });
    }
    flashView_->showPicture();
}

void MainWindow::dropped(HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        files.push_back(utf8(name));
    }
    DragFinish(drop);
    if (!files.empty()) {
        driver_.handle(romform::FilesDropped{files});
    }
}

void MainWindow::dpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    makeFonts();
    showMenuBar(model_.menuBar()); // its items measured again in the new font
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOut();
    if (flashView_) {
        flashView_->showPicture();
    }
}

} // namespace romwin
