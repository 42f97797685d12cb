#include "win32/win32_flash_view.h"

#include "win32/wide_text.h"

#include <algorithm>
#include <cmath>

namespace romwin {

namespace {

constexpr const wchar_t* kFlashViewClass = L"RomCompilerFlashView";
constexpr DWORD kFlashViewStyle = WS_OVERLAPPEDWINDOW;

COLORREF colourOf(const romform::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

int rounded(double value) {
    return static_cast<int>(std::lround(value));
}

// A rectangle of the picture where the fit shows it in the client area; neighbours share their edges.
RECT shownRect(const romform::FlashViewFit& fit, const romform::PixelRect& rect) {
    return RECT{rounded(fit.x + rect.x * fit.scale), rounded(fit.y + rect.y * fit.scale),
                rounded(fit.x + (rect.x + rect.width) * fit.scale),
                rounded(fit.y + (rect.y + rect.height) * fit.scale)};
}

HFONT sansFont(int pixels) {
    return CreateFontW(-std::max(1, pixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH | FF_SWISS,
                       L"Arial");
}

// DrawText clips to the box: a font wider than the one measured still keeps a label inside its run.
void drawText(HDC dc, const romform::FlashViewFit& fit, const romform::FlashText& text) {
    RECT box = shownRect(fit, text.rect);
    const std::wstring shown = wide(text.text);
    const UINT across = text.align == romform::TextAlign::Left     ? DT_LEFT
                        : text.align == romform::TextAlign::Centre ? DT_CENTER
                                                                   : DT_RIGHT;
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &box,
              across | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// A frame of `width` pixels, dashed for a draft place; GDI dashes only a geometric pen wider than one.
HPEN framePen(const romform::Rgb& colour, int width, bool dashed) {
    LOGBRUSH brush{BS_SOLID, colourOf(colour), 0};
    return ExtCreatePen(PS_GEOMETRIC | (dashed ? PS_DASH : PS_SOLID) | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                        static_cast<DWORD>(std::max(1, width)), &brush, 0, nullptr);
}

void drawBox(HDC dc, const RECT& box, const romform::Rgb& frame, int width, bool dashed) {
    HPEN pen = framePen(frame, width, dashed);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

} // namespace

FlashViewWindow::FlashViewWindow(HINSTANCE instance, HWND mainWindow, const romform::WindowModel& model,
                                 std::function<void()> closed)
    : model_(model), closed_(std::move(closed)), main_(mainWindow) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.style = CS_HREDRAW | CS_VREDRAW; // the whole picture scales with the window
    type.lpfnWndProc = &FlashViewWindow::windowProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = kFlashViewClass;
    RegisterClassExW(&type);
    // Made on the main window's monitor, so that it starts at that monitor's DPI before it is placed.
    RECT main{};
    GetWindowRect(mainWindow, &main);
    window_ = CreateWindowExW(0, kFlashViewClass, wide(model.flashViewCaption()).c_str(), kFlashViewStyle,
                              main.left, main.top, CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr,
                              instance, this);
}

FlashViewWindow::~FlashViewWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    for (HFONT font : {labelFont_, pointFont_}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
}

romform::FlashViewFit FlashViewWindow::fit() const {
    RECT client{};
    GetClientRect(window_, &client);
    return romform::fitFlashView(picture_, client.right, client.bottom);
}

void FlashViewWindow::makeFonts(double scale) {
    if (scale == fontScale_) {
        return;
    }
    for (HFONT font : {labelFont_, pointFont_}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    labelFont_ = sansFont(rounded(romform::kFlashLabelFontPixels * scale));
    pointFont_ = sansFont(rounded(romform::kFlashPointFontPixels * scale));
    fontScale_ = scale;
}

void FlashViewWindow::placeBesideMainWindow() {
    RECT main{};
    GetWindowRect(main_, &main);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(main_, MONITOR_DEFAULTTONEAREST), &monitor) == FALSE) {
        return;
    }
    // The main window's DPI: the screen it shows on is the one this window opens on.
    const UINT dpi = GetDpiForWindow(main_);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&frame, kFlashViewStyle, FALSE, 0, dpi);
    const RECT& work = monitor.rcWork;
    const romform::FlashViewFrame place = romform::placeFlashView(
        picture_, {main.left, main.top, main.right - main.left, main.bottom - main.top},
        {work.left, work.top, work.right - work.left, work.bottom - work.top}, frame.right - frame.left,
        frame.bottom - frame.top, static_cast<double>(dpi) / USER_DEFAULT_SCREEN_DPI);
    SetWindowPos(window_, nullptr, place.frame.x, place.frame.y, place.frame.width, place.frame.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FlashViewWindow::showPicture() {
    picture_ = model_.flashPicture();
    // The block under a resting pointer may now hold another row, or the same row under a new letter.
    showPointed();
    InvalidateRect(window_, nullptr, TRUE);
    if (!IsWindowVisible(window_)) {
        placeBesideMainWindow();
        ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
}

void FlashViewWindow::hide() {
    ShowWindow(window_, SW_HIDE);
}

LRESULT CALLBACK FlashViewWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FlashViewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT FlashViewWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paintInfo{};
        HDC dc = BeginPaint(window_, &paintInfo);
        paint(dc);
        EndPaint(window_, &paintInfo);
        return 0;
    }
    case WM_MOUSEMOVE:
        pointerAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_DPICHANGED: {
        // Moved to a screen of another DPI: the size Windows suggests, and the picture scales to it.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // The model decides: it unticks View > "Flash Map" and says to hide the window.
        closed_();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FlashViewWindow::pointerAt(int x, int y) {
    const romform::FlashViewFit shown = fit();
    pointer_ = POINT{shown.pictureX(x), shown.pictureY(y)};
    showPointed();
}

void FlashViewWindow::showPointed() {
    std::string text = pointer_ ? model_.flashPointText(pointer_->x, pointer_->y) : std::string();
    if (text == pointText_) {
        return;
    }
    pointText_ = std::move(text);
    RECT line = shownRect(fit(), picture_.pointLine);
    InvalidateRect(window_, &line, TRUE);
}

void FlashViewWindow::paint(HDC dc) {
    const romform::FlashViewFit shown = fit();
    makeFonts(shown.scale);
    const int hairline = std::max(1, rounded(shown.scale));
    // Each cell framed in white, so that the blocks read as a grid, as the Qt map draws it.
    HPEN cellPen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, cellPen);
    for (const romform::FlashCell& cell : picture_.cells) {
        const RECT box = shownRect(shown, cell.rect);
        HBRUSH fill = CreateSolidBrush(colourOf(cell.fill));
        HGDIOBJ oldFill = SelectObject(dc, fill);
        Rectangle(dc, box.left, box.top, box.right + 1, box.bottom + 1);
        SelectObject(dc, oldFill);
        DeleteObject(fill);
    }
    SelectObject(dc, oldPen);
    DeleteObject(cellPen);
    HGDIOBJ oldFont = SelectObject(dc, labelFont_);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (const romform::FlashRun& run : picture_.runs) {
        // A draft place is framed with dashes: the next compilation's place, not the table's.
        drawBox(dc, shownRect(shown, run.rect), run.frame, hairline, run.draft);
        SetTextColor(dc, colourOf(run.text));
        drawText(dc, shown, run.label);
    }
    SelectObject(dc, oldBrush);
    // The bank names and first blocks against the grid; a line over each bank, a thicker one from the
    // window's edge where a piece of the image starts.
    HBRUSH lineBrush = CreateSolidBrush(RGB(0x26, 0x32, 0x38));
    const COLORREF numbers = RGB(0x80, 0x80, 0x80);
    for (const romform::FlashRowLabel& label : picture_.rowLabels) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        drawText(dc, shown, label.bank);
        SetTextColor(dc, numbers);
        drawText(dc, shown, label.firstBlock);
        const int thickness = std::max(1, rounded((label.pieceStarts ? 3 : 1) * shown.scale));
        const RECT bank = shownRect(shown, label.bank.rect);
        const int left =
            label.pieceStarts ? rounded(shown.x) : rounded(shown.x + romform::kFlashGridX * shown.scale);
        RECT edge{left, bank.top - thickness / 2,
                  rounded(shown.x + (romform::kFlashGridX + romform::kFlashGridWidth) * shown.scale),
                  bank.top - thickness / 2 + thickness};
        FillRect(dc, &edge, lineBrush);
    }
    DeleteObject(lineBrush);
    SetTextColor(dc, numbers);
    for (const romform::FlashText& number : picture_.axis) {
        drawText(dc, shown, number);
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (const romform::FlashLegendEntry& entry : picture_.legend) {
        HBRUSH fill = CreateSolidBrush(colourOf(entry.fill));
        HGDIOBJ oldFill = SelectObject(dc, fill);
        drawBox(dc, shownRect(shown, entry.swatch), entry.frame, hairline, entry.dashed);
        SelectObject(dc, oldFill);
        DeleteObject(fill);
        drawText(dc, shown, entry.words);
    }
    SelectObject(dc, pointFont_);
    RECT line = shownRect(shown, picture_.pointLine);
    const std::wstring point = wide(pointText_);
    DrawTextW(dc, point.c_str(), static_cast<int>(point.size()), &line,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

} // namespace romwin
