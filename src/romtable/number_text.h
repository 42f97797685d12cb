// Numbers live as decimal texts in the table columns and counter boxes; this reads them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace romc {

// Reads a decimal text such as "32", " 15" or "1.9" and truncates it toward zero (" 15" -> 15, "1.9" -> 1,
// "-0" -> 0). Blanks before and after are allowed; anything else (an empty text, "1e3", "0x10", a value that
// does not fit in 64 bits) is not a number.
std::optional<std::int64_t> readNumberText(std::string_view text);

// The plain decimal text that the columns and boxes hold: no sign for non-negative values, no blank.
std::string numberText(std::int64_t value);

// A byte as messages show it: "0x0F".
std::string hexByteText(std::uint8_t value);

} // namespace romc
