// Number text as typed in a box: the prefix and the strict parser, and the forms a value is
// written back in. Parsing never fails unsafely, and the text written for a parsed value
// reads back as the same value to its stored digits.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/common/number_text.h"
#include "fuzz_support.h"

namespace {

void check_round_trip(double v) {
  if (!std::isfinite(v)) return;
  const auto back = wb::num_parse(wb::num_text(v));
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(std::fabs(*back - v) <= std::fabs(v) * 1e-14 || std::fabs(*back - v) < 1e-300);
  const auto back_f = wb::num_parse(wb::num_text_f(static_cast<float>(v)));
  if (std::fabs(v) < 3.4e38) FUZZ_CHECK(back_f.has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double v = wb::num_val(text);
  FUZZ_CHECK(std::isfinite(v));
  check_round_trip(v);
  if (const auto p = wb::num_parse(text)) {
    FUZZ_CHECK(std::isfinite(*p));
    FUZZ_CHECK(*p == v);  // a whole number text reads the same through both parsers
    check_round_trip(*p);
  }
  (void)wb::num_print(v);
  (void)wb::num_print_f(static_cast<float>(v));
  (void)wb::round_even(v * 1e300);
  (void)wb::to_i16(v * 100.0);
  (void)wb::num_text_dec(v, static_cast<int>(size % 7));
  return 0;
}
