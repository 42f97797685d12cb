#include "win32/wide_text.h"

#include <windows.h>

namespace romwin {

std::wstring wide(std::string_view utf8Text) {
    if (utf8Text.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8Text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, text.data(), length);
    return text;
}

std::wstring shownPath(std::string_view utf8Path) {
    std::wstring shown = wide(utf8Path);
    for (wchar_t& c : shown) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return shown;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace romwin
