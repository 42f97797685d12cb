#include "romtable/failure.h"

namespace romc {

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;

} // namespace

std::string shownText(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete) {
            shown += "\\x";
            shown += kDigits[byte >> 4];
            shown += kDigits[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string inQuotes(std::string_view text) {
    std::string result = "\"";
    result += shownText(text);
    result += '"';
    return result;
}

Failure fileFailure(std::string_view action, std::string_view shown, std::error_code reason) {
    std::string message = "Cannot ";
    message += action;
    message += ' ';
    message += inQuotes(shown);
    message += ": ";
    message += reason.message();
    return Failure{std::move(message)};
}

} // namespace romc
