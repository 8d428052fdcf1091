// A deviation survey file decoded as the design window reads it, and its rows written and
// decoded again in memory: the rows come back the same, each cell as its first 10 bytes of
// GBK text. Reading it through the design window, the well path and the 3D view, and the
// save to disk are fuzzed in survey_file_store_fuzz.
#include <cstdint>

#include "core/common/gbk.h"
#include "core/design/engine/survey_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::Bytes bytes(data, data + size);
  const auto rows = wb::design::decode_jx_file(bytes);
  FUZZ_CHECK(rows.size() <= size / wb::design::kJxRecordSize + 1);
  if (rows.empty()) return 0;
  const wb::Bytes saved = wb::design::encode_jx_file(rows);
  FUZZ_CHECK(saved.size() == (rows.size() + wb::design::kJxHeaderRecords) * wb::design::kJxRecordSize);
  const auto again = wb::design::decode_jx_file(saved);
  FUZZ_CHECK(again.size() == rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < 6; ++c)
      FUZZ_CHECK(again[r].cols[c] == wb::gbk_to_utf8(wb::gbk_field(rows[r].cols[c], 10)));
  return 0;
}
