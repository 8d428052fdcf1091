// Number boxes an analysis reads: what each may hold, and the check that stops a command
// before anything is computed from a box that is not a number or beyond what its field can
// physically hold. Each window's core state keeps its own table of limits.
#pragma once

#include <limits>
#include <optional>
#include <span>
#include <string>

namespace wb {

// Box `box` of the window, labelled `name`; its value in `unit` lies within lo … hi. An
// empty box counts as 0, as it always has; any other text must be a number. kNoLowerLimit
// as lo: the command treats values at or below 0 itself.
inline constexpr double kNoLowerLimit = -std::numeric_limits<double>::infinity();
struct BoxLimit {
  int box;
  const char* name;
  double lo, hi;
  const char* unit;
};

// The message naming the first box of `limits` that is not a number or out of its range,
// and that box.
struct BoxRefusal {
  std::string message;
  int box = -1;
};
[[nodiscard]] std::optional<BoxRefusal> check_box_limits(std::span<const std::string> texts, std::span<const BoxLimit> limits);

inline constexpr const char* kBoxRefusedTitle = "数据有误";

}  // namespace wb
