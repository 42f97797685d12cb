// The window is designed in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi. Qt scales logical
// pixels to the screen's device pixel ratio, so controls keep their places on any screen.
#pragma once

#include <QRect>

namespace romui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A control's box from its left, top, width and height in twips.
inline QRect twipRect(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

// The client area is 11250 x 6345 twips.
inline constexpr int kClientWidthTwips = 11250;
inline constexpr int kClientHeightTwips = 6345;
static_assert(pixels(kClientWidthTwips) == 750 && pixels(kClientHeightTwips) == 423);

} // namespace romui
