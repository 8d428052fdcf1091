// The outcome of a step that either goes ahead or is refused with the message the user is
// shown: functions return `std::optional<Refusal>`, no value when the step went ahead, and
// are [[nodiscard]].
#pragma once

#include <string>
#include <utility>

namespace wb {

struct Refusal {
  Refusal(std::string text) : message(std::move(text)) {}  // NOLINT(google-explicit-constructor): returned as is
  std::string message;
  bool operator==(const Refusal&) const = default;
};

}  // namespace wb
