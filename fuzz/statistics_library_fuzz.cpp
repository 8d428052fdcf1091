// The efficiency statistics over any file the user may open as an efficiency library, read
// only: the bytes are the library. A file that is not whole records is refused and left
// untouched; otherwise the table has a row per record and the average row, the filter's
// table only the matches, and every export line 23 fields. The printed report and the
// deletion of rows from a fuzzed library are fuzzed in statistics_library_store_fuzz.
#include <cstdint>

#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto lib = wbfuzz::scratch() / "GtYm.dat";
  const wb::Bytes before(data, data + size);
  wbfuzz::write_bytes(lib, data, size);
  wb::EffiStatState st(lib);
  if (!wbfuzz::check_stat_load(st, lib, before)) return 0;
  wbfuzz::check_stat_filters(st);
  return 0;
}
