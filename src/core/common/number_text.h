// Numbers as text, independent of the locale (decimal point ".").
//
// Plain form: the shortest decimal text of the value rounded to 7 significant digits for a
// single-precision value or 15 for a double ("0.5", "12.3", "7", "-0.25", "1.234568E+07").
// Print form: the same digits with no zero before the point and a blank in place of the
// sign of a non-negative number (" .5", "-.5", " 12").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wb {

std::string num_text(double v);        // double: up to 15 significant digits
std::string num_text_f(float v);       // single: up to 7 significant digits
std::string num_print(double v);       // print form of a double
std::string num_print_f(float v);      // print form of a single
// Two-decimal form with the point always shown and no digit before it when the whole part
// is 0 (12.3456 -> "12.35", 12 -> "12.", 0.456 -> ".46", 0 -> "."). The value is first
// taken to 15 significant digits and the halves are then rounded away from zero on those
// decimal digits, so 0.285 gives ".29" although its binary value lies just below.
std::string num_text_2dp(double v);

// Prefix parser: skips leading blanks and tabs, then reads the longest numeric prefix
// (sign, digits, point, exponent). Empty or non-numeric text reads 0 ("12.5kN" -> 12.5).
double num_val(std::string_view text);
// num_val for a value about to be stored: empty when the leading number lies beyond the
// range of a double ("1e400", "-1e400"), which num_val reads as 0.
[[nodiscard]] std::optional<double> num_val_checked(std::string_view text);
// Strict parser: the whole text, less leading and trailing blanks, must be a number.
[[nodiscard]] std::optional<double> num_parse(std::string_view text);

// Rounding to k decimals, halves up also for negative values: floor(x*10^k + 0.5)/10^k.
double round_dec(double x, int k);
// Real to integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4). NaN gives 0; a value
// beyond the range of long long is clamped to it.
long long round_even(double x);
// Real to a 16-bit field value; empty when the rounded value does not fit.
[[nodiscard]] std::optional<short> to_i16(double x);

// Real to single precision; a finite value beyond the single range becomes infinite (the
// plain conversion would be undefined there).
float to_single(double x);

// round_dec followed by the plain form: the usual way a result is written into a box.
std::string num_text_dec(double x, int k);

}  // namespace wb
