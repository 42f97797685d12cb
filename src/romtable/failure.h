// A refused action or a failed compilation: one message that names the file or value and the reason.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <variant>

namespace romc {

struct Failure {
    std::string message;
};

// A name or path as messages, the table printout and the report show it: control characters (0x00 to
// 0x1F and 0x7F) become \xNN, so that no file name can break a line or fake one. A backslash stays as it
// is, so that a Windows path reads as it was typed.
std::string shownText(std::string_view text);

// The same in double quotes: "roms/zelda.gb".
std::string inQuotes(std::string_view text);

// "Cannot <action> "<shown>": <reason>", the one shape of a failed file operation.
Failure fileFailure(std::string_view action, std::string_view shown, std::error_code reason);

// What an action returns: nothing when it succeeded, the reason when it changed nothing.
using Refusal = std::optional<Failure>;

// A value, or the reason there is none.
template <class T> class Outcome {
  public:
    Outcome(T value) : content_(std::move(value)) {}
    Outcome(Failure failure) : content_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(content_); }
    const T& value() const { return std::get<T>(content_); }
    T& value() { return std::get<T>(content_); }
    const Failure& failure() const { return std::get<Failure>(content_); }

  private:
    std::variant<T, Failure> content_;
};

} // namespace romc
