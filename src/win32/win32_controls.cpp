// The window's child windows, one per entry of the model's control table: its window class and styles, its
// control ID, its place at the monitor's DPI, its caption or start text and its visibility; the columns'
// rows drawn by the window itself, so that a path keeps its file name in view and a warned name its sign.
#include "win32/text_fit.h"
#include "win32/wide_text.h"
#include "win32/win32_tips.h"
#include "win32/win32_window.h"

#include <algorithm>
#include <array>
#include <commctrl.h>
#include <cstdlib>

namespace romwin {

namespace {

using romform::Control;
using romform::ControlId;
using romform::ControlKind;

// The controls were laid out for a small dialog font of narrow letters: at ten pixels (at 96 dpi) an
// Arial-like face fits every caption in its box, the hint text on one line included.
constexpr int kDesignFontPixels = 10;
constexpr int kRowPixels = 14;         // a column's row at 96 dpi: the text and a pixel above and below
constexpr int kStatusMarginPixels = 4; // above the status line's text and below it, at 96 dpi
constexpr int kRowTextMarginPixels = 2;
// The system draws a button's focus rectangle this far inside its edge (3 pixels) and the caption must
// keep three pixels clear of it on each side.
constexpr int kButtonCaptionInsetPixels = 6;

const wchar_t* classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
        return L"EDIT";
    case ControlKind::Label:
        return L"STATIC";
    case ControlKind::Button:
    case ControlKind::CheckBox:
        return L"BUTTON";
    case ControlKind::ListBox:
        return L"LISTBOX";
    case ControlKind::Line:
        break;
    }
    return nullptr;
}

DWORD styleOf(const Control& control) {
    DWORD style = WS_CHILD | (control.visible ? WS_VISIBLE : 0) | (control.takesFocus ? WS_TABSTOP : 0);
    switch (control.kind) {
    case ControlKind::TextBox:
        return style | WS_BORDER | ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0);
    case ControlKind::Label:
        // A label wraps its caption within its box.
        return style | SS_LEFT | SS_NOPREFIX;
    case ControlKind::Button:
        return style | BS_PUSHBUTTON | BS_MULTILINE;
    case ControlKind::CheckBox:
        return style | BS_AUTOCHECKBOX;
    case ControlKind::ListBox:
        return style | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
               LBS_HASSTRINGS;
    case ControlKind::Line:
        break;
    }
    return style;
}

int pixelsAt(int pixelsAt96, UINT dpi) {
    return MulDiv(pixelsAt96, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

std::wstring rowText(HWND list, int row) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The first of the Arial-like faces the system has: Windows has Arial, wine the host's fonts, where
// DejaVu Sans is wider than Arial and its condensed cut fits the hint on one line as Arial does.
HFONT designFont(UINT dpi) {
    for (const wchar_t* face : {L"Arial", L"Liberation Sans", L"DejaVu Sans Condensed", L"DejaVu Sans"}) {
        LOGFONTW design{};
        design.lfHeight = -pixelsAt(kDesignFontPixels, dpi);
        design.lfWeight = FW_NORMAL;
        design.lfCharSet = DEFAULT_CHARSET;
        design.lfQuality = CLEARTYPE_QUALITY;
        design.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        wcscpy_s(design.lfFaceName, face);
        HFONT font = CreateFontIndirectW(&design);
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, font);
        std::array<wchar_t, LF_FACESIZE> got{};
        GetTextFaceW(screen, static_cast<int>(got.size()), got.data());
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        if (_wcsicmp(got.data(), face) == 0) {
            return font;
        }
        DeleteObject(font);
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

void MainWindow::makeFonts() {
    HFONT old = font_;
    font_ = designFont(dpi_);
    for (HWND child : controls_) {
        if (child != nullptr) {
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        }
    }
    if (statusLine_ != nullptr) {
        SendMessageW(statusLine_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    if (tips_) {
        tips_->setFont(font_);
    }
    if (old != nullptr) {
        DeleteObject(old);
    }
}

void MainWindow::createControls() {
    for (const Control& entry : romform::controlTable()) {
        if (entry.kind == ControlKind::Line) {
            continue; // drawn by the client area, beneath the controls
        }
        HWND made = CreateWindowExW(
            0, classOf(entry.kind), wide(entry.text).c_str(), styleOf(entry), 0, 0, 0, 0, clientArea_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlIdOf(entry.id))), instance_, nullptr);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (entry.kind == ControlKind::Label) {
            SetWindowSubclass(made, &MainWindow::labelProc, 0, 0);
        }
        if (entry.kind == ControlKind::ListBox) {
            SetWindowSubclass(made, &MainWindow::listProc, 0, reinterpret_cast<DWORD_PTR>(this));
        }
        controls_[romform::indexOf(entry.id)] = made;
    }
}

int MainWindow::statusLineHeight() const {
    // Its own style, not IsWindowVisible(): before the window is first shown every child counts as hidden.
    const bool shown = (GetWindowLongPtrW(statusLine_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!shown) {
        return 0;
    }
    // As high as its text wrapped within the window's width, with a margin above and below.
    HDC dc = GetDC(statusLine_);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int least = (metrics.tmHeight + metrics.tmExternalLeading) * romform::kStatusLineLeastLines;
    const int text = std::max(wrappedHeight(dc, windowText(statusLine_), statusLineWidth()), least);
    SelectObject(dc, old);
    ReleaseDC(statusLine_, dc);
    return text + 2 * pixelsAt(kStatusMarginPixels, dpi_);
}

// The status line starts where the controls do and keeps as far from the window's right edge.
int MainWindow::statusLineLeft() const {
    return scaled(romform::control(ControlId::Text1).box.left, dpi_);
}

int MainWindow::statusLineWidth() const {
    return scaled(romform::kClientWidthTwips, dpi_) - 2 * statusLineLeft();
}

void MainWindow::layOut() {
    const int width = scaled(romform::kClientWidthTwips, dpi_);
    const int height = scaled(romform::kClientHeightTwips, dpi_);
    SetWindowPos(clientArea_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Control& entry : romform::controlTable()) {
        HWND child = control(entry.id);
        if (child == nullptr) {
            continue;
        }
        const romform::TwipRect& box = entry.box;
        SetWindowPos(child, nullptr, scaled(box.left, dpi_), scaled(box.top, dpi_), scaled(box.width, dpi_),
                     scaled(box.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
        if (entry.kind == ControlKind::ListBox) {
            SendMessageW(child, LB_SETITEMHEIGHT, 0, pixelsAt(kRowPixels, dpi_));
        }
        if (entry.kind == ControlKind::Button) {
            HDC dc = GetDC(child);
            HGDIOBJ old = SelectObject(dc, font_);
            const int room = scaled(box.width, dpi_) - 2 * pixelsAt(kButtonCaptionInsetPixels, dpi_);
            const std::wstring caption = wrappedCaption(dc, wide(entry.text), room);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            // Laid out again on every change of the status line: a caption set again would flicker.
            std::array<wchar_t, 64> shown{};
            GetWindowTextW(child, shown.data(), static_cast<int>(shown.size()));
            if (caption != shown.data()) {
                SetWindowTextW(child, caption.c_str());
            }
        }
    }
    keepListsWhole();
    const int margin = pixelsAt(kStatusMarginPixels, dpi_);
    SetWindowPos(statusLine_, nullptr, statusLineLeft(), height + margin, statusLineWidth(),
                 std::max(0, statusLineHeight() - 2 * margin), SWP_NOZORDER | SWP_NOACTIVATE);

    // The window is as large as its client area with the bars it shows, and no larger.
    RECT frame{0, 0, width, height + statusLineHeight()};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                             GetMenu(window_) != nullptr, 0, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    InvalidateRect(window_, nullptr, TRUE);
}

// The boxes of "Save?" and "Save Bank #" reach a few pixels into the lists under them, and a label or
// check box paints its whole box: each loses the part over a list, so that the list's border stays whole.
void MainWindow::keepListsWhole() {
    for (const Control& entry : romform::controlTable()) {
        if (entry.kind != ControlKind::Label && entry.kind != ControlKind::CheckBox) {
            continue;
        }
        HWND shown = control(entry.id);
        RECT box{};
        GetWindowRect(shown, &box);
        HRGN kept = CreateRectRgn(0, 0, box.right - box.left, box.bottom - box.top);
        for (const Control& other : romform::controlTable()) {
            if (other.kind != ControlKind::ListBox) {
                continue;
            }
            RECT list{};
            GetWindowRect(control(other.id), &list);
            RECT over{};
            if (IntersectRect(&over, &box, &list) != FALSE) {
                HRGN cut = CreateRectRgn(over.left - box.left, over.top - box.top, over.right - box.left,
                                         over.bottom - box.top);
                CombineRgn(kept, kept, cut, RGN_DIFF);
                DeleteObject(cut);
            }
        }
        // The window owns the region from here on.
        SetWindowRgn(shown, kept, TRUE);
    }
}

void MainWindow::measureRow(MEASUREITEMSTRUCT& item) const {
    if (item.CtlType == ODT_MENU) {
        menus_.measure(item, font_, dpi_);
        return;
    }
    item.itemHeight = static_cast<UINT>(pixelsAt(kRowPixels, dpi_));
}

void MainWindow::drawRow(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType == ODT_MENU) {
        menus_.draw(item, font_, dpi_);
        return;
    }
    if (item.CtlType != ODT_LISTBOX) {
        return;
    }
    RECT box = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    const auto row = static_cast<int>(item.itemID);
    const int index = static_cast<int>(item.CtlID) - kFirstControlId;
    const Control& entry = romform::controlTable()[static_cast<std::size_t>(index)];
    box.left += pixelsAt(kRowTextMarginPixels, dpi_);
    // A name whose header check warns is marked with the system's warning sign, no taller than the row.
    // Every name has the sign's room before it, so that all names start at the same place.
    if (entry.id == ControlId::List1) {
        const int sign = box.bottom - box.top - 2;
        if (!model_.rowWarning(row).empty()) {
            DrawIconEx(item.hDC, box.left, box.top + 1, LoadIconW(nullptr, IDI_WARNING), sign, sign, 0,
                       nullptr, DI_NORMAL);
        }
        box.left += sign + pixelsAt(kRowTextMarginPixels, dpi_);
    }
    SetBkMode(item.hDC, TRANSPARENT);
    const bool enabled = IsWindowEnabled(item.hwndItem) != FALSE;
    SetTextColor(item.hDC, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                       : selected ? COLOR_HIGHLIGHTTEXT
                                                  : COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(item.hDC, font_);
    std::wstring text = rowText(item.hwndItem, row);
    // A path is cut at its start, so that its file name stays in view.
    if (entry.keepsTextEnd) {
        text = endThatFits(item.hDC, text, static_cast<int>(box.right - box.left));
    }
    DrawTextW(item.hDC, text.data(), static_cast<int>(text.size()), &box,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(item.hDC, oldFont);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

// Makes the list show exactly the column's texts, touching only rows that differ so that it keeps its
// scroll position.
void MainWindow::showRows(ControlId id, const std::vector<std::string>& texts, int selected) {
    HWND list = control(id);
    const int rows = static_cast<int>(texts.size());
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    while (static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) > rows) {
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(SendMessageW(list, LB_GETCOUNT, 0, 0) - 1),
                     0);
    }
    const bool paths = romform::control(id).keepsTextEnd;
    for (int row = 0; row < rows; ++row) {
        const std::string& modelText = texts[static_cast<std::size_t>(row)];
        const std::wstring text = paths ? shownPath(modelText) : wide(modelText);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        if (row < count && rowText(list, row) == text) {
            continue;
        }
        if (row < count) {
            SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        }
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// A one-pixel line that covers both of its ends, in the system's frame colour.
void MainWindow::paintLines(HDC dc, UINT dpi) {
    HBRUSH brush = GetSysColorBrush(COLOR_WINDOWFRAME);
    const int thickness = std::max(1, pixelsAt(1, dpi));
    for (const Control& entry : romform::controlTable()) {
        if (entry.kind != ControlKind::Line) {
            continue;
        }
        const romform::TwipLine& ends = entry.ends;
        RECT line{};
        line.left = scaled(std::min(ends.x1, ends.x2), dpi);
        line.top = scaled(std::min(ends.y1, ends.y2), dpi);
        line.right = scaled(std::max(ends.x1, ends.x2), dpi) + thickness;
        line.bottom = scaled(std::max(ends.y1, ends.y2), dpi) + thickness;
        FillRect(dc, &line, brush);
    }
}

// A label paints its box whole, and the frame around the save hint crosses the hint's box at its foot: the
// lines are painted again over each label, in the label's own place, as the form shows them over it.
LRESULT CALLBACK MainWindow::labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR) {
    const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
    if (message == WM_PAINT) {
        RECT box{};
        GetWindowRect(label, &box);
        MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&box), 2);
        HDC dc = GetDC(label);
        SetViewportOrgEx(dc, -box.left, -box.top, nullptr);
        paintLines(dc, GetDpiForWindow(label));
        ReleaseDC(label, dc);
    }
    return result;
}

// A click on the empty space below a column's rows leaves the table with no row chosen; the list box itself
// would keep the row it had.
LRESULT CALLBACK MainWindow::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR window) {
    if (message == WM_LBUTTONDOWN) {
        const auto hit = static_cast<DWORD>(SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam));
        if (HIWORD(hit) != 0) {
            SetFocus(list);
            reinterpret_cast<MainWindow*>(window)->driver_.handle(
                romform::RowChosen{ControlId::List1, romc::kNoRowSelected});
            return 0;
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace romwin
