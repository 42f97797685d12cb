// The colours of the flash map, one set for the SVG picture and the window's flash view, so that a ROM has
// the same colour in both.
#pragma once

#include <cstddef>
#include <string>

namespace romc {

// Hue in degrees, saturation and lightness in percent.
struct HslColour {
    double hue;
    int saturation;
    int lightness;
};

// Colours far apart on the hue circle for neighbouring rows (steps of the golden angle), light enough that
// black text stays readable on them; the frame is a dark shade of the same hue.
HslColour romFill(std::size_t row);
HslColour romFrame(std::size_t row);

// "hsl(137.508, 68%, 74%)", as SVG and CSS read it.
std::string cssColour(const HslColour& colour);

inline constexpr const char* kMenuFill = "#37474f";
inline constexpr const char* kFreeFill = "#f4f4f4";
inline constexpr const char* kNoRowFill = "#b0b0b0"; // a removed save ROM's blocks
// Free below the last ROM: the image fills it with 0xFF, so it costs room in the outputs and holds no game.
inline constexpr const char* kLostToAlignmentFill = "#e3d3bd";

} // namespace romc
