// The card library as the print page prints it (prt_RodEngMapDisplay_main_new): the first
// byte picks the record printed (bits 0-2: -1 … 6) and, with bit 7, a library that does not
// exist; the rest is the library. Boxes 2 … 5 end disabled; a record number outside the whole
// records leaves the state as it was and a missing library is not created; a printed record
// is the stored one byte for byte. The read alone is fuzzed in card_print_library_fuzz.
#include <cstdint>
#include <filesystem>

#include "core/printing/card_print_page.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const auto red = static_cast<std::int16_t>(sel % 8 - 1);
  const bool missing = (sel & 0x80) != 0;
  const wb::Bytes lib(data + 1, data + size);
  const auto path = wbfuzz::scratch() / "Sgt.dat";
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (!missing) wbfuzz::write_bytes(path, lib.data(), lib.size());

  wb::TestState st;
  st.Text1[2] = "before";
  st.sgt_rec.point_num = 77;
  const wb::Bytes before = st.sgt_rec.encode();
  wbfuzz::NullCanvas page;
  wb::prt_RodEngMapDisplay_main_new(st, page, path, red, 12.0, 30.0);
  for (int i = 2; i <= 5; ++i) FUZZ_CHECK(!st.text1_enabled[i]);
  if (missing) FUZZ_CHECK(!std::filesystem::exists(path));

  const std::size_t count = missing ? 0 : lib.size() / wb::kSgtRecordSize;
  const bool printed = st.sgt_rec.encode() != before;
  if (red < 1 || static_cast<std::size_t>(red) > count) {
    FUZZ_CHECK(!printed && st.Text1[2] == "before");
    return 0;
  }
  const auto at = lib.begin() + static_cast<std::ptrdiff_t>((red - 1) * wb::kSgtRecordSize);
  if (printed) FUZZ_CHECK(st.sgt_rec.encode() == wb::Bytes(at, at + static_cast<std::ptrdiff_t>(wb::kSgtRecordSize)));
  return 0;
}
