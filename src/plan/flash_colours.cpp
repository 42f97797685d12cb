#include "plan/flash_colours.h"

#include <cmath>
#include <cstdio>

namespace romc {

namespace {

constexpr double kGoldenAngle = 137.508;

double hueOf(std::size_t row) {
    return std::fmod(static_cast<double>(row) * kGoldenAngle, 360.0);
}

} // namespace

HslColour romFill(std::size_t row) {
    return {hueOf(row), 68, 74};
}

HslColour romFrame(std::size_t row) {
    return {hueOf(row), 50, 30};
}

std::string cssColour(const HslColour& colour) {
    char text[64];
    std::snprintf(text, sizeof text, "hsl(%g, %d%%, %d%%)", colour.hue, colour.saturation, colour.lightness);
    return text;
}

} // namespace romc
