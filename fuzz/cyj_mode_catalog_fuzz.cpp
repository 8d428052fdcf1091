// The pumping-unit catalogue as any text the user's editor may leave: every line ending,
// encoding and length. Names and strokes never hold a line end, the list shown once per
// model is a part of the full list, and each stroke line holds what its separators split.
#include <cstdint>
#include <span>
#include <string>

#include "core/records/cyj_mode_catalog.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::CyjModeCatalog cat = wb::CyjModeCatalog::parse(std::span<const std::uint8_t>(data, size));
  for (const auto& b : cat.blocks) {
    FUZZ_CHECK(b.name.find('\r') == std::string::npos && b.name.find('\n') == std::string::npos);
    FUZZ_CHECK(b.has_stroke_line || b.strokes.empty());
    if (b.has_stroke_line) FUZZ_CHECK(!b.strokes.empty());
    for (const auto& s : b.strokes) FUZZ_CHECK(s.find(',') == std::string::npos);
    FUZZ_CHECK(cat.find(b.name) != nullptr);
  }
  const auto all = cat.models();
  const auto once = cat.unique_models();
  FUZZ_CHECK(all.size() == cat.blocks.size() && once.size() <= all.size());
  return 0;
}
