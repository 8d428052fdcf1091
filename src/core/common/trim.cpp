#include "core/common/trim.h"

namespace wb {
namespace {
template <class Pad>
std::string trim_if(std::string_view t, Pad pad) {
  std::size_t b = 0, e = t.size();
  while (b < e && pad(t[b])) ++b;
  while (e > b && pad(t[e - 1])) --e;
  return std::string(t.substr(b, e - b));
}
}  // namespace

std::string Trim_Blank_Nul(std::string_view text) {
  return trim_if(text, [](char c) { return c == ' ' || c == '\0'; });
}

std::string trim_blanks(std::string_view text) {
  return trim_if(text, [](char c) { return c == ' '; });
}

}  // namespace wb
