// The print mark of a record-grid row: a "▲" at the start of column 0.
#pragma once

#include <string>
#include <string_view>

namespace wb {

inline constexpr std::string_view kPrintMark = "▲";

inline bool Print_Mark(std::string_view cell) { return cell.substr(0, kPrintMark.size()) == kPrintMark; }

// A marked text loses its mark, any other text gets one in front.
inline std::string Toggle_Print_Mark(std::string_view cell) {
  if (Print_Mark(cell)) return std::string(cell.substr(kPrintMark.size()));
  return std::string(kPrintMark) + std::string(cell);
}

}  // namespace wb
