#include "win32/win32_name_tips.h"

#include "win32/wide_text.h"

#include <commctrl.h>

namespace romwin {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Wide enough for a header fact on one line; giving a width at all is what makes the tip honour its line
// breaks.
constexpr int kTipWidthPixels = 480;

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

} // namespace

NameTips::NameTips(HWND list, std::function<std::string(int row)> tipOf) : list_(list), tipOf_(std::move(tipOf)) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list,
                           nullptr, nullptr, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // The whole list is the tool, and it hears the tip's questions itself.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = list;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kTipWidthPixels, static_cast<int>(GetDpiForWindow(list)),
                                                     USER_DEFAULT_SCREEN_DPI));
    SetWindowSubclass(list, &NameTips::listProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

NameTips::~NameTips() {
    RemoveWindowSubclass(list_, &NameTips::listProc, kSubclassId);
    if (tip_ != nullptr) {
        DestroyWindow(tip_);
    }
}

void NameTips::pointerAt(LPARAM point) {
    const auto found = static_cast<DWORD>(SendMessageW(list_, LB_ITEMFROMPOINT, 0, point));
    const int row = HIWORD(found) != 0 ? -1 : static_cast<int>(LOWORD(found));
    if (row != row_) {
        // Another row: the tip shown goes, and the next one asks again.
        row_ = row;
        SendMessageW(tip_, TTM_POP, 0, 0);
    }
}

LRESULT CALLBACK NameTips::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    auto& tips = *reinterpret_cast<NameTips*>(self);
    if (message == WM_MOUSEMOVE) {
        tips.pointerAt(lParam);
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tips.tip_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            tips.text_ = tips.row_ < 0 ? std::wstring() : tipText(tips.tipOf_(tips.row_));
            info->lpszText = tips.text_.data();
            return 0;
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace romwin
