#include "core/charts/chart_text.h"

namespace wb {

std::string utf8_sub(std::string_view s, std::size_t start, std::size_t count) {
  std::size_t ch = 0, i = 0, begin = s.size(), end = s.size();
  for (; i < s.size(); ++i) {
    const bool lead = (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
    if (!lead) continue;
    if (ch == start) begin = i;
    if (ch == start + count) {
      end = i;
      break;
    }
    ++ch;
  }
  if (begin >= s.size()) return {};
  return std::string(s.substr(begin, end - begin));
}

std::string field_for_drawing(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\0') c = ' ';
  return out;
}

}  // namespace wb
