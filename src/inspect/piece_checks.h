// The pieces beside an image, checked before they are flashed: each piece the image reaches must be there
// and hold the image's bytes; a piece past the image's end is a leftover of an earlier, larger compilation.
#pragma once

#include "inspect/image_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace romc {

// One warning per piece that is missing, of the wrong size, different from "Output.GB" (from its first
// differing byte), not joined, or left over. Where both "Output.GB" and pieces are there, the pieces are
// measured against "Output.GB"; pieces alone are measured against `tableEndBytes`, where the table's last
// ROM ends. An image under a name of the user's has no pieces of its own and gives no warning.
std::vector<std::string> checkPieces(const ImageFile& image, std::uintmax_t tableEndBytes);

} // namespace romc
