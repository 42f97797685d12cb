#include "romtable/number_text.h"

#include <limits>

namespace romc {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::int64_t> readNumberText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    std::uint64_t magnitude = 0;
    constexpr auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        // Checked before the step: a product past 64 bits would wrap around to a small number.
        if (magnitude > (limit - digit) / 10) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + digit;
    }
    bool anyDigit = i > firstDigit;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const std::size_t firstFraction = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        anyDigit = anyDigit || i > firstFraction;
    }
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (!anyDigit || i != text.size()) {
        return std::nullopt;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::string hexByteText(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

} // namespace romc
