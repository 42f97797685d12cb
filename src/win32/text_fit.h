// Texts fitted to a width in the font selected into a device context: a path cut at its start, so that
// its file name stays in view, a button's caption broken at its spaces, a wrapped text's height.
#pragma once

#include <string>
#include <windows.h>

namespace romwin {

// `text` when it fits in `width` pixels, else "..." and as much of its end as fits: "...\\Tennis Ace.gb".
std::wstring endThatFits(HDC dc, const std::wstring& text, int width);

// `caption` broken into lines ("\r\n") at its spaces wherever a line would be wider than `width`; a word
// wider than `width` stays whole on its line. The system wraps a multi-line button's caption only past the
// button's edge, so "Remove ROM" ran under the focus rectangle drawn inside it.
std::wstring wrappedCaption(HDC dc, const std::wstring& caption, int width);

// The height of `text` wrapped within `width` as a static control of SS_LEFT | SS_EDITCONTROL wraps it: at
// spaces, a word wider than `width` broken where it reaches the edge, its own line breaks kept.
int wrappedHeight(HDC dc, const std::wstring& text, int width);

} // namespace romwin
