#include "win32/win32_rename.h"

#include "win32/wide_text.h"
#include "win32/win32_window.h"

#include <commctrl.h>
#include <cstdlib>
#include <windowsx.h>

namespace romwin {

namespace {

constexpr UINT_PTR kNameColumnSubclassId = 2; // the tooltips watch the name column as 1
constexpr int kDropLinePixels = 2;

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

NameColumn::NameColumn(MainWindow& window, HWND names) : window_(window), names_(names) {
    // A child of the list: its notifications come to the list's procedure below, never to the window's
    // commands.
    editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, names_,
                              nullptr, nullptr, nullptr);
    SetWindowSubclass(names_, &NameColumn::listProc, kNameColumnSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(editor_, &NameColumn::editorProc, kNameColumnSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

NameColumn::~NameColumn() {
    RemoveWindowSubclass(editor_, &NameColumn::editorProc, kNameColumnSubclassId);
    RemoveWindowSubclass(names_, &NameColumn::listProc, kNameColumnSubclassId);
    DestroyWindow(editor_);
}

// The column is not scrolled to the row: the seven lists scroll apart, and the row is one the user just
// chose in view.
void NameColumn::edit(int row) {
    finish(false);
    RECT place{};
    if (SendMessageW(names_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place)) ==
        LB_ERR) {
        return;
    }
    const auto length = SendMessageW(names_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    std::wstring name(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    name.resize(static_cast<std::size_t>(
        SendMessageW(names_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(name.data()))));
    SendMessageW(editor_, WM_SETFONT, static_cast<WPARAM>(SendMessageW(names_, WM_GETFONT, 0, 0)), FALSE);
    editing_ = true;
    editedRow_ = row;
    SetWindowTextW(editor_, name.c_str());
    // A little taller than the row, so that the edit's border leaves its text whole.
    const int grow = GetSystemMetrics(SM_CYBORDER) * 2;
    SetWindowPos(editor_, HWND_TOP, place.left, place.top - grow, place.right - place.left,
                 place.bottom - place.top + 2 * grow, SWP_SHOWWINDOW);
    SendMessageW(editor_, EM_SETSEL, 0, -1);
    SetFocus(editor_);
}

bool NameColumn::takeMessage(const MSG& message) {
    if (!editing_ || message.hwnd != editor_) {
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void NameColumn::finish(bool keep, bool focusList) {
    if (!editing_) {
        return;
    }
    editing_ = false; // the focus leaving the editor below ends the editing a second time
    const std::string name = utf8(textOf(editor_));
    if (focusList) {
        SetFocus(names_);
    }
    ShowWindow(editor_, SW_HIDE);
    if (keep) {
        window_.report(romform::NameKept{editedRow_, name});
    }
}

void NameColumn::keepWhatTheNameBoxKeeps() {
    const std::wstring typed = textOf(editor_);
    const std::wstring kept = wide(window_.model().nameEdited(utf8(typed)));
    if (kept != typed) {
        SetWindowTextW(editor_, kept.c_str());
        const auto end = static_cast<WPARAM>(kept.size());
        SendMessageW(editor_, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
}

LRESULT CALLBACK NameColumn::editorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    auto* column = reinterpret_cast<NameColumn*>(self);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            column->finish(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 0x1B) {
            return 0; // handled as keys above: no beep
        }
        break;
    case WM_KILLFOCUS:
        column->finish(true, false); // leaving the editor keeps the name, as Enter does
        break;
    default:
        break;
    }
    return DefSubclassProc(editor, message, wParam, lParam);
}

LRESULT CALLBACK NameColumn::listProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
    return reinterpret_cast<NameColumn*>(self)->onList(message, wParam, lParam);
}

int NameColumn::rowAt(LPARAM point) const {
    const auto found = SendMessageW(names_, LB_ITEMFROMPOINT, 0, point);
    const auto rows = SendMessageW(names_, LB_GETCOUNT, 0, 0);
    if (rows <= 0 || found == LB_ERR) {
        return -1;
    }
    // Outside the rows: the nearest one, so that a drop below the last row takes the last place.
    return static_cast<int>(LOWORD(found)) < rows ? static_cast<int>(LOWORD(found))
                                                  : static_cast<int>(rows) - 1;
}

void NameColumn::showDropLine(int target) {
    if (target == shownTarget_) {
        return;
    }
    shownTarget_ = target;
    RedrawWindow(names_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT place{};
    if (target < 0 || target == pressedRow_ ||
        SendMessageW(names_, LB_GETITEMRECT, static_cast<WPARAM>(target), reinterpret_cast<LPARAM>(&place)) ==
            LB_ERR) {
        return;
    }
    const int y = target > pressedRow_ ? place.bottom - kDropLinePixels : place.top;
    HDC dc = GetDC(names_);
    PatBlt(dc, place.left, y, place.right - place.left, kDropLinePixels, BLACKNESS);
    ReleaseDC(names_, dc);
}

LRESULT NameColumn::onList(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == editor_ && HIWORD(wParam) == EN_CHANGE && editing_) {
            keepWhatTheNameBoxKeeps();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = DefSubclassProc(names_, message, wParam, lParam);
        const auto found = SendMessageW(names_, LB_ITEMFROMPOINT, 0, lParam);
        if (found != LB_ERR && HIWORD(found) == 0) {
            window_.report(romform::RenameAsked{static_cast<int>(LOWORD(found))});
        }
        return result;
    }
    case WM_LBUTTONDOWN: {
        const auto found = SendMessageW(names_, LB_ITEMFROMPOINT, 0, lParam);
        pressedRow_ = found != LB_ERR && HIWORD(found) == 0 ? static_cast<int>(LOWORD(found)) : -1;
        pressedAt_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        dragging_ = false;
        shownTarget_ = -1;
        break;
    }
    case WM_MOUSEMOVE:
        if (pressedRow_ >= 0 && (wParam & MK_LBUTTON) != 0) {
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (!dragging_ && std::abs(at.x - pressedAt_.x) < GetSystemMetrics(SM_CXDRAG) &&
                std::abs(at.y - pressedAt_.y) < GetSystemMetrics(SM_CYDRAG)) {
                break;
            }
            // A drag: the list's own tracking would move the selection with the pointer.
            dragging_ = true;
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            showDropLine(rowAt(lParam));
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (dragging_) {
            const int from = pressedRow_;
            const int to = rowAt(lParam);
            dragging_ = false;
            pressedRow_ = -1;
            shownTarget_ = -1;
            const LRESULT result = DefSubclassProc(names_, message, wParam, lParam);
            RedrawWindow(names_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            if (to >= 0) {
                window_.report(romform::RowDragged{from, to});
            }
            return result;
        }
        pressedRow_ = -1;
        break;
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            pressedRow_ = -1;
            shownTarget_ = -1;
            RedrawWindow(names_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(names_, message, wParam, lParam);
}

void MainWindow::editName(int row) {
    nameColumn_->edit(row);
}

} // namespace romwin
