// Fuzzes the reading of number texts against a second, plainly written reading: blanks, an optional sign,
// digits with an optional fraction, blanks; the value truncated toward zero and within 64 bits.
#include "romtable/number_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<std::int64_t> referenceReading(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && blank(text[first])) {
        ++first;
    }
    while (last > first && blank(text[last - 1])) {
        --last;
    }
    std::string_view body = text.substr(first, last - first);
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    const std::size_t point = body.find('.');
    const std::string_view whole = body.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : body.substr(point + 1);
    for (const std::string_view part : {whole, fraction}) {
        for (char c : part) {
            if (!digit(c)) {
                return std::nullopt;
            }
        }
    }
    if (whole.empty() && fraction.empty()) {
        return std::nullopt;
    }
    // Leading zeros aside, a number of 64 bits has at most 19 digits.
    std::string_view significant = whole;
    while (!significant.empty() && significant[0] == '0') {
        significant.remove_prefix(1);
    }
    const std::string_view largest = "9223372036854775807";
    if (significant.size() > largest.size() ||
        (significant.size() == largest.size() && significant > largest)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : significant) {
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = romc::readNumberText(text);
    if (value != referenceReading(text)) {
        std::abort();
    }
    if (value && romc::readNumberText(romc::numberText(*value)) != value) {
        std::abort(); // a column's own text must read back as the number it was made from
    }
    return 0;
}
