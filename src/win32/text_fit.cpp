#include "win32/text_fit.h"

#include <algorithm>

namespace romwin {

namespace {

int widthOf(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

} // namespace

std::wstring endThatFits(HDC dc, const std::wstring& text, int width) {
    if (widthOf(dc, text) <= width) {
        return text;
    }
    const std::wstring ellipsis = L"...";
    for (std::size_t cut = 1; cut < text.size(); ++cut) {
        std::wstring shown = ellipsis + text.substr(cut);
        if (widthOf(dc, shown) <= width) {
            return shown;
        }
    }
    return ellipsis;
}

std::wstring wrappedCaption(HDC dc, const std::wstring& caption, int width) {
    std::wstring wrapped;
    std::wstring line;
    std::size_t start = 0;
    while (start <= caption.size()) {
        const std::size_t space = std::min(caption.find(L' ', start), caption.size());
        const std::wstring word = caption.substr(start, space - start);
        if (!line.empty() && widthOf(dc, line + L' ' + word) > width) {
            wrapped += line + L"\r\n";
            line = word;
        } else {
            line += (line.empty() ? L"" : L" ") + word;
        }
        start = space + 1;
    }
    return wrapped + line;
}

int wrappedHeight(HDC dc, const std::wstring& text, int width) {
    if (text.empty()) {
        return 0;
    }
    RECT box{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    return static_cast<int>(box.bottom - box.top);
}

} // namespace romwin
