// A record library (sys/Sgt.dat, Dnt.dat, xbt.dat) as the main window lists it and opens a
// row. The first byte picks the library (bits 0-1) and the row (bits 2-4); the rest is the
// library file. A library of a bad length is refused and left as it was; a whole one lists a
// row per record and the opened row holds that record byte for byte. Saving and deleting on
// fuzzed libraries are fuzzed in library_store_fuzz.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/workbench/test_libraries.h"
#include "fuzz_support.h"
#include "library_checks.h"
#include "single_test.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t sel = data[0];
  const auto kind = static_cast<wb::LibraryKind>(std::min(sel & 3, 2));
  const wb::LibraryInfo& info = wb::library_info(kind);
  const std::size_t len = info.record_length;
  const wb::Bytes lib(data + 1, data + size);
  const auto path = wbfuzz::scratch() / info.file_name;
  wbfuzz::write_bytes(path, lib.data(), lib.size());

  const std::optional<std::size_t> listed = wbfuzz::check_library_listing(path, len, lib);
  wb::TestState st;
  st.Text1[2] = "shown before";
  if (!listed) {
    FUZZ_CHECK(wb::open_stored_test(st, kind, path, 1, wb::RecordSource::Library, {}) == wb::ReadStatus::Damaged);
    FUZZ_CHECK(st.Text1[2] == "shown before");
    FUZZ_CHECK(wbfuzz::read_bytes(path) == lib);
    return 0;
  }
  const std::size_t n = *listed;
  if (n == 0) return 0;

  const std::size_t row = ((sel >> 2) & 7) % n + 1;
  const auto at = lib.begin() + static_cast<std::ptrdiff_t>((row - 1) * len);
  const wb::Bytes stored(at, at + static_cast<std::ptrdiff_t>(len));
  const bool usable = wbfuzz::stored_record_usable(kind, stored);
  FUZZ_CHECK(wb::open_stored_test(st, kind, path, static_cast<long long>(row), wb::RecordSource::Library, {}) ==
             (usable ? wb::ReadStatus::Ok : wb::ReadStatus::Unusable));
  if (!usable) {
    FUZZ_CHECK(st.Text1[2] == "shown before");
    return 0;
  }
  switch (kind) {
    case wb::LibraryKind::Card: FUZZ_CHECK(st.sgt_rec.encode() == stored); break;
    case wb::LibraryKind::Electric: FUZZ_CHECK(st.dnt_rec.encode() == stored); break;
    case wb::LibraryKind::Wave: FUZZ_CHECK(st.xbt_rec.encode() == stored); break;
  }
  return 0;
}
