// Small text helpers shared by the charts.
#pragma once

#include <string>
#include <string_view>

namespace wb {

// `count` characters (code points) of a UTF-8 text starting at character `start`; shorter
// when the text ends first.
std::string utf8_sub(std::string_view s, std::size_t start, std::size_t count);
// A fixed-width field as it is drawn: the NULs of an unfilled field become blanks, so the
// field keeps its width on the page without control characters.
std::string field_for_drawing(std::string_view s);

}  // namespace wb
