// The window is designed in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi. Qt scales logical
// pixels to the screen's device pixel ratio, so controls keep their places on any screen.
#pragma once

#include "form/control_table.h"

#include <QRect>

namespace romui {

inline constexpr int kTwipsPerPixel = romform::kTwipsPerInch / 96;

constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A control's box in logical pixels.
inline QRect twipRect(const romform::TwipRect& box) {
    return {pixels(box.left), pixels(box.top), pixels(box.width), pixels(box.height)};
}

static_assert(pixels(romform::kClientWidthTwips) == 750 && pixels(romform::kClientHeightTwips) == 423);

} // namespace romui
