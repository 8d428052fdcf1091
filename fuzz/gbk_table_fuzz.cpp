// GBK <-> UTF-8 by the tables against the system's converter they are built from, on
// arbitrary bytes taken both as stored GBK and as typed UTF-8: the same bytes each way, for
// the whole input and for the field of its first 16 bytes (the well-name width). The texts
// of key fields (KeyTexts, padding kept and trimmed) are the converter's too.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "core/common/gbk.h"
#include "core/common/gbk_iconv.h"
#include "core/common/record_keys.h"
#include "core/common/trim.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const std::string field = in.substr(0, std::min<std::size_t>(size, 16));

  const std::string text = wb::iconv_gbk_to_utf8(in);
  FUZZ_CHECK(wb::gbk_to_utf8(in) == text);
  wb::GbkDecoder dec;
  FUZZ_CHECK(dec(in) == text);
  FUZZ_CHECK(wb::utf8_to_gbk(in) == wb::iconv_utf8_to_gbk(in));
  // The decoded text back (its characters all valid UTF-8, most of them GBK's own).
  FUZZ_CHECK(wb::utf8_to_gbk(text) == wb::iconv_utf8_to_gbk(text));

  const std::span<const std::uint8_t> bytes(data, field.size());
  wb::KeyTexts keys;
  const std::string want = wb::iconv_gbk_to_utf8(field);
  FUZZ_CHECK(keys.text(bytes) == want);
  FUZZ_CHECK(keys.trimmed(bytes) == wb::trim_blanks(want));
  FUZZ_CHECK(keys.text(bytes) == want);  // asked again: the kept text
  return 0;
}
