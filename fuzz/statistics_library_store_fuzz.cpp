// The efficiency statistics over any file the user may open as an efficiency library: the
// bytes are the library. A file that is not whole records is refused and left untouched;
// otherwise the table has a row per usable record and the average row, the filter's table
// only the matches, every export line 23 fields, the report draws, and deleting the first row
// removes exactly the record it shows.
// The reading alone, without writing to disk, is fuzzed in statistics_library_fuzz.
#include <cstdint>

#include "core/statistics/effi_stat_report.h"
#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto lib = wb::gt_ym_path(prog);
  const wb::Bytes before(data, data + size);
  wbfuzz::write_bytes(lib, data, size);
  wb::EffiStatState st(lib);
  if (!wbfuzz::check_stat_load(st, lib, before)) {
    if (size % wb::kGtYmRecordSize != 0) {
      int removed = 0;
      FUZZ_CHECK(st.delete_confirmed(1, 1, 1, removed) == wb::StatDeleteStatus::Nothing);
    }
    return 0;
  }
  wbfuzz::NullCanvas page;
  wb::prt_stat_page(page, st.grid.rows, "unit", st.Text2);
  wbfuzz::check_stat_filters(st);

  FUZZ_CHECK(st.load_library("20261210") == wb::StatFileStatus::Ok);
  // Row 1 shows the first usable record (refused ones are left out of the table).
  const int first = st.grid.row_count() > 1 ? st.grid.source[1].record : 0;
  int removed = 0;
  if (first == 0) {
    FUZZ_CHECK(st.delete_confirmed(1, 1, 1, removed) == wb::StatDeleteStatus::Nothing);
    FUZZ_CHECK(wbfuzz::read_bytes(lib) == before);
    return 0;
  }
  FUZZ_CHECK(st.delete_confirmed(1, 1, 1, removed) == wb::StatDeleteStatus::Deleted && removed == 1);
  const wb::Bytes after = wbfuzz::read_bytes(lib);
  wb::Bytes want = before;
  const auto at = want.begin() + static_cast<std::ptrdiff_t>((first - 1) * wb::kGtYmRecordSize);
  want.erase(at, at + static_cast<std::ptrdiff_t>(wb::kGtYmRecordSize));
  FUZZ_CHECK(after == want);
  return 0;
}
