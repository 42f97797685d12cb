#include "win32/win32_tips.h"

#include "win32/wide_text.h"

#include <commctrl.h>

namespace romwin {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Wide enough for a header fact on one line; giving a width at all is what makes the tip honour its line
// breaks.
constexpr int kTipWidthPixels = 640;

// The tip breaks lines at "\r\n"; the model's texts end their lines with "\n".
std::wstring tipText(const std::string& text) {
    std::wstring shown;
    for (wchar_t c : wide(text)) {
        if (c == L'\n') {
            shown += L'\r';
        }
        shown += c;
    }
    return shown;
}

TTTOOLINFOW toolOf(HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // The whole control is the tool; the tip watches its mouse messages itself.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

} // namespace

WindowTips::WindowTips(HWND owner) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           nullptr, nullptr);
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0,
                 MulDiv(kTipWidthPixels, static_cast<int>(GetDpiForWindow(owner)), USER_DEFAULT_SCREEN_DPI));
}

WindowTips::~WindowTips() {
    if (list_ != nullptr) {
        RemoveWindowSubclass(list_, &WindowTips::listProc, kSubclassId);
    }
    DestroyWindow(tip_);
}

void WindowTips::watchRows(HWND list, std::function<std::string(int row)> tipOf) {
    list_ = list;
    tipOf_ = std::move(tipOf);
    TTTOOLINFOW tool = toolOf(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW; // the list hears the tip's question itself
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(list, &WindowTips::listProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void WindowTips::setText(HWND control, const std::string& text) {
    text_ = tipText(text);
    TTTOOLINFOW tool = toolOf(control);
    tool.lpszText = text_.data();
    if (textTool_ != control) {
        textTool_ = control;
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void WindowTips::setFont(HFONT font) {
    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void WindowTips::pointerAt(LPARAM point) {
    const auto found = static_cast<DWORD>(SendMessageW(list_, LB_ITEMFROMPOINT, 0, point));
    const int row = HIWORD(found) != 0 ? -1 : static_cast<int>(LOWORD(found));
    if (row != row_) {
        // Another row: the tip shown goes, and the next one asks again.
        row_ = row;
        SendMessageW(tip_, TTM_POP, 0, 0);
    }
}

LRESULT CALLBACK WindowTips::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
    auto& tips = *reinterpret_cast<WindowTips*>(self);
    if (message == WM_MOUSEMOVE) {
        tips.pointerAt(lParam);
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tips.tip_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            tips.rowText_ = tips.row_ < 0 ? std::wstring() : tipText(tips.tipOf_(tips.row_));
            info->lpszText = tips.rowText_.data();
            return 0;
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace romwin
