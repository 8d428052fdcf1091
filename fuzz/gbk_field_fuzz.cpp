// Text at the file boundary: typed names (UTF-8) into fixed-width GBK fields, and stored
// field bytes back into text. The first byte is the field width (1..64); the rest is used
// both as typed text and as stored bytes. Promises: a field is exactly its width and never
// splits a double-byte character; the key a name is stored under is the key it is found
// by; stored bytes carried through a record come back unchanged.
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/common/gbk.h"
#include "core/common/record_fields.h"
#include "core/common/test_records.h"
#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t width = data[0] % 64 + 1;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string field = wb::gbk_field(text, width);
  FUZZ_CHECK(field.size() == width);
  // Decoding the field gives no replacement beyond those of the text itself.
  const std::string whole = wb::utf8_to_gbk(text);
  const auto q = [](const std::string& s) { return std::count(s.begin(), s.end(), '?'); };
  FUZZ_CHECK(q(wb::gbk_to_utf8(field)) <= q(whole));
  (void)wb::gbk_pad(text, width);
  (void)wb::gbk_width(text);

  // One key for store and search: the name stored in a record reads back as its key.
  wb::SgtRecord rec;
  rec.well_name = wb::Trim_Blank_Nul(text);
  wb::SgtRecord back;
  FUZZ_CHECK(back.decode(rec.encode()));
  FUZZ_CHECK(wb::Trim_Blank_Nul(back.well_name) == wb::record_key(text, 16));
  const wb::StoreCheck c = wb::check_well_name(text);
  if (c.ok()) FUZZ_CHECK(c.stored_well == wb::trim_blanks(text) || c.stored_well == wb::Trim_Blank_Nul(c.well));

  // The bytes as a stored name and date: carried through decode and encode unchanged.
  wb::Bytes b(wb::kSgtRecordSize, 0);
  std::copy_n(data + 1, std::min<std::size_t>(size - 1, 28), b.begin());
  wb::SgtRecord carried;
  FUZZ_CHECK(carried.decode(b));
  FUZZ_CHECK(carried.encode() == b);
  return 0;
}
