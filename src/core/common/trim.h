// Trimming of fixed-width text fields before they are compared as keys or shown.
#pragma once

#include <string>
#include <string_view>

namespace wb {

// Removes blanks (32) and NULs (0) at both ends; nothing else counts as padding (a tab,
// CR, LF or the full-width blank stays). Inner characters are never touched.
std::string Trim_Blank_Nul(std::string_view text);
// Removes blanks only, at both ends (the text rule of the analysis windows).
std::string trim_blanks(std::string_view text);

}  // namespace wb
