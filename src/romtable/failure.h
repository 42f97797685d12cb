// A refused action or a failed compilation: one message that names the file or value and the reason.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace romc {

struct Failure {
    std::string message;
};

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
