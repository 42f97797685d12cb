#include "win32/win32_flash_view.h"

#include "win32/wide_text.h"

#include <algorithm>

namespace romwin {

namespace {

constexpr const wchar_t* kFlashViewClass = L"RomCompilerFlashView";
constexpr DWORD kFlashViewStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kPointLinePixels = 20; // the line under the grid naming the block under the pointer
constexpr int kLabelFontPixels = 10;
constexpr int kGapPixels = 8; // between the main window and the flash view beside it

COLORREF colourOf(const romform::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

} // namespace

FlashViewWindow::FlashViewWindow(HINSTANCE instance, HWND mainWindow, const romform::WindowModel& model,
                                 std::function<void()> closed)
    : model_(model), closed_(std::move(closed)), main_(mainWindow) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = &FlashViewWindow::windowProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = kFlashViewClass;
    RegisterClassExW(&type);
    RECT main{};
    GetWindowRect(mainWindow, &main);
    window_ = CreateWindowExW(0, kFlashViewClass, wide(model.flashViewCaption()).c_str(), kFlashViewStyle,
                              main.right + kGapPixels, main.top, CW_USEDEFAULT, CW_USEDEFAULT, mainWindow,
                              nullptr, instance, this);
    dpi_ = GetDpiForWindow(window_);
}

FlashViewWindow::~FlashViewWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

int FlashViewWindow::scaledPixels(int pixels96) const {
    return MulDiv(pixels96, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
}

void FlashViewWindow::fitToPicture() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = CreateFontW(-scaledPixels(kLabelFontPixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, L"Arial");
    RECT frame{0, 0, scaledPixels(romform::kFlashViewWidth),
               scaledPixels(romform::kFlashViewHeight + kPointLinePixels)};
    AdjustWindowRectExForDpi(&frame, kFlashViewStyle, FALSE, 0, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Beside the main window where the screen has room, else against the screen's right edge: never off it.
    RECT main{};
    GetWindowRect(main_, &main);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    int x = main.right + scaledPixels(kGapPixels);
    int y = main.top;
    if (GetMonitorInfoW(MonitorFromWindow(main_, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE) {
        const RECT& work = monitor.rcWork;
        x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
        y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    }
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FlashViewWindow::showPicture() {
    picture_ = model_.flashPicture();
    fitToPicture();
    InvalidateRect(window_, nullptr, TRUE);
    if (!IsWindowVisible(window_)) {
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
        dpi_ = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        showPicture();
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
    // The model measures the picture in pixels at 96 dpi.
    const int scale = static_cast<int>(dpi_);
    std::string text = model_.flashPointText(MulDiv(x, USER_DEFAULT_SCREEN_DPI, scale),
                                             MulDiv(y, USER_DEFAULT_SCREEN_DPI, scale));
    if (text == pointText_) {
        return;
    }
    pointText_ = std::move(text);
    RECT line{0, scaledPixels(romform::kFlashViewHeight), scaledPixels(romform::kFlashViewWidth),
              scaledPixels(romform::kFlashViewHeight + kPointLinePixels)};
    InvalidateRect(window_, &line, TRUE);
}

void FlashViewWindow::paint(HDC dc) const {
    const auto rectOf = [this](const romform::PixelRect& rect) {
        return RECT{scaledPixels(rect.x), scaledPixels(rect.y), scaledPixels(rect.x + rect.width),
                    scaledPixels(rect.y + rect.height)};
    };
    // Each cell framed in white, so that the blocks read as a grid, as the Qt map draws it.
    HPEN cellPen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, cellPen);
    for (const romform::FlashCell& cell : picture_.cells) {
        const RECT box = rectOf(cell.rect);
        HBRUSH fill = CreateSolidBrush(colourOf(cell.fill));
        HGDIOBJ oldFill = SelectObject(dc, fill);
        Rectangle(dc, box.left, box.top, box.right + 1, box.bottom + 1);
        SelectObject(dc, oldFill);
        DeleteObject(fill);
    }
    SelectObject(dc, oldPen);
    DeleteObject(cellPen);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (const romform::FlashRun& run : picture_.runs) {
        // A draft place is framed with dashes: the next compilation's place, not the table's.
        HPEN pen =
            CreatePen(run.draft ? PS_DASH : PS_SOLID, run.draft ? 1 : scaledPixels(1), colourOf(run.frame));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        RECT box = rectOf(run.rect);
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
        SetTextColor(dc, colourOf(run.text));
        const std::wstring label = wide(run.label);
        // Clear of the frame on the left; a one-block run keeps its whole width for the menu's "#".
        box.left += scaledPixels(2);
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &box,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, oldBrush);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    // The bank labels against the grid; a line over each bank, a thicker one from the window's edge where a
    // piece of the image starts.
    HBRUSH lineBrush = CreateSolidBrush(RGB(0x26, 0x32, 0x38));
    for (const romform::FlashRowLabel& label : picture_.rowLabels) {
        RECT box = rectOf(label.rect);
        const std::wstring text = wide(label.text);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        const int thickness = scaledPixels(label.pieceStarts ? 3 : 1);
        RECT edge{label.pieceStarts ? 0 : scaledPixels(romform::kFlashGridX), box.top - thickness / 2,
                  scaledPixels(romform::kFlashGridX + romform::kFlashGridWidth),
                  box.top - thickness / 2 + thickness};
        FillRect(dc, &edge, lineBrush);
    }
    DeleteObject(lineBrush);
    RECT line{scaledPixels(romform::kFlashGridX), scaledPixels(romform::kFlashViewHeight),
              scaledPixels(romform::kFlashViewWidth),
              scaledPixels(romform::kFlashViewHeight + kPointLinePixels)};
    const std::wstring point = wide(pointText_);
    DrawTextW(dc, point.c_str(), static_cast<int>(point.size()), &line,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

} // namespace romwin
