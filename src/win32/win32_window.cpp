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

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
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
    // SS_NOTIFY: the pointer resting on the line shows its whole text.
    statusLine_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                  0, 0, 0, 0, window_, nullptr, instance, nullptr);
    makeFonts();
    createControls();
    tips_ = std::make_unique<WindowTips>(window_);
    tips_->watchRows(control(ControlId::List1), [this](int row) { return model_.nameToolTip(row); });
    nameColumn_ = std::make_unique<NameColumn>(*this, control(ControlId::List1));
    // ROM files dropped anywhere on the window.
    DragAcceptFiles(window_, TRUE);
    apply(model_.load());
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
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    for (const auto& entry : romform::controlTable()) {
        if (control(entry.id) != message.hwnd) {
            continue;
        }
        if (message.wParam == VK_RETURN && entry.kind == ControlKind::TextBox) {
            apply(model_.enterPressed(entry.id));
            return true;
        }
        if (message.wParam == VK_DELETE && entry.kind == ControlKind::ListBox) {
            apply(model_.deletePressed(entry.id));
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
    case WM_CLOSE: {
        if (closeAgreed_) {
            DestroyWindow(window_);
            return 0;
        }
        romform::Reaction reaction = model_.requestClose();
        const bool closes = reaction.closeWindow;
        reaction.closeWindow = false; // this is the close already
        apply(reaction);
        if (closes) {
            DestroyWindow(window_);
        }
        return 0;
    }
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
        apply(model_.menuCommand(static_cast<romform::MenuCommand>(id)));
        return;
    }
    const auto index = static_cast<std::size_t>(id - kFirstControlId);
    if (index >= romform::kControlCount || showing_) {
        return;
    }
    const romform::Control& entry = romform::controlTable()[index];
    using enum ControlId;
    switch (entry.kind) {
    case ControlKind::Button:
        if (code != BN_CLICKED) {
            return;
        }
        switch (entry.id) {
        case Command1:
            apply(model_.findFile());
            break;
        case Command2:
            apply(model_.addRom());
            break;
        case Command3:
            apply(model_.clearList());
            break;
        case Command4:
            apply(model_.generateCompilation());
            break;
        case Command5:
            apply(model_.removeRom());
            break;
        case Command6:
            apply(model_.debug());
            break;
        default:
            break;
        }
        return;
    case ControlKind::CheckBox:
        // Each change of the box by the user runs the Save box rule.
        if (code == BN_CLICKED) {
            apply(model_.saveBoxChanged(SendMessageW(control(entry.id), BM_GETCHECK, 0, 0) == BST_CHECKED));
        }
        return;
    case ControlKind::TextBox:
        if (code == EN_CHANGE) {
            apply(model_.textEdited(entry.id, utf8(windowText(control(entry.id)))));
        }
        return;
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) {
            const auto row = static_cast<int>(SendMessageW(control(entry.id), LB_GETCURSEL, 0, 0));
            apply(model_.rowSelected(entry.id, row == LB_ERR ? romc::kNoRowSelected : row));
        }
        return;
    case ControlKind::Label:
    case ControlKind::Line:
        return;
    }
}

void MainWindow::apply(const romform::Reaction& reaction) {
    for (const auto& entry : romform::controlTable()) {
        if (reaction.refresh.has(entry.id)) {
            showControl(entry.id);
        }
    }
    if (reaction.refresh.has(romform::WindowPart::Caption)) {
        SetWindowTextW(window_, wide(model_.caption()).c_str());
    }
    if (reaction.refresh.has(romform::WindowPart::MenuBar)) {
        showMenuBar();
    }
    if (reaction.refresh.has(romform::WindowPart::StatusLine)) {
        showStatusLine();
    }
    if (reaction.refresh.has(romform::WindowPart::FlashView)) {
        showFlashView();
    }
    editName(reaction);
    if (reaction.focus) {
        // As a focus moved by Tab: a box's text chosen whole, so that typing replaces a proposed name.
        SetFocus(control(*reaction.focus));
        if (romform::control(*reaction.focus).kind == ControlKind::TextBox) {
            SendMessageW(control(*reaction.focus), EM_SETSEL, 0, -1);
        }
    }
    if (reaction.message) {
        if (messageSink_) {
            messageSink_(*reaction.message);
        } else {
            showMessage(window_, *reaction.message);
        }
    }
    if (reaction.closeWindow) {
        closeAgreed_ = true;
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void MainWindow::showControl(ControlId id) {
    HWND shown = control(id);
    // What the model shows is no new event of the user's.
    showing_ = true;
    EnableWindow(shown, model_.enabled(id));
    ShowWindow(shown, model_.visible(id) ? SW_SHOWNA : SW_HIDE);
    switch (romform::control(id).kind) {
    case ControlKind::TextBox: {
        // The model names a box only when it wrote the box itself, never one the user is typing in.
        const bool path = romform::control(id).keepsTextEnd;
        const std::wstring text = path ? shownPath(model_.text(id)) : wide(model_.text(id));
        if (windowText(shown) != text) {
            SetWindowTextW(shown, text.c_str());
            if (path) {
                // The end in view: the file name, not the start of its folder.
                const auto end = static_cast<WPARAM>(text.size());
                SendMessageW(shown, EM_SETSEL, end, static_cast<LPARAM>(end));
                SendMessageW(shown, EM_SCROLLCARET, 0, 0);
            }
        }
        break;
    }
    case ControlKind::CheckBox:
        SendMessageW(shown, BM_SETCHECK, model_.checked(id) ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlKind::ListBox:
        showColumn(id);
        break;
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Line:
        break;
    }
    showing_ = false;
}

void MainWindow::showMenuBar() {
    const romform::MenuBar menus = model_.menuBar();
    HMENU old = GetMenu(window_);
    if (menus.empty() && old == nullptr) {
        return;
    }
    SetMenu(window_, menus.empty() ? nullptr : buildMenuBar(menus));
    if (old != nullptr) {
        DestroyMenu(old);
    }
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
    accelerators_ = buildAccelerators(menus);
    layOut();
}

void MainWindow::showStatusLine() {
    const auto text = model_.statusText();
    SetWindowTextW(statusLine_, wide(text.value_or(std::string())).c_str());
    // The window keeps its width: a line longer than it is cut off there, and read whole when pointed at.
    tips_->setText(statusLine_, text.value_or(std::string()));
    ShowWindow(statusLine_, text ? SW_SHOWNA : SW_HIDE);
    layOut();
}

void MainWindow::showFlashView() {
    if (!model_.flashViewOpen()) {
        if (flashView_) {
            flashView_->hide();
        }
        return;
    }
    if (!flashView_) {
        flashView_ = std::make_unique<FlashViewWindow>(instance_, window_, model_,
                                                       [this] { apply(model_.flashViewClosed()); });
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
        apply(model_.filesDropped(files));
    }
}

void MainWindow::dpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    makeFonts();
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOut();
    if (flashView_) {
        flashView_->showPicture();
    }
}

} // namespace romwin
