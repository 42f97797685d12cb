// The window works in UTF-8 like the rest of the tool; the W API wants UTF-16. Texts cross over here and
// nowhere else.
#pragma once

#include <string>
#include <string_view>
#include <windows.h>

namespace romwin {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);
// A path as the window shows it, in the system's spelling: a list written on Linux names files with "/".
std::wstring shownPath(std::string_view utf8Path);
// The text a window or control shows.
std::wstring windowText(HWND window);

} // namespace romwin
