// The efficiency statistics over any file the user may open as an efficiency library: the
// bytes are the library. A file that is not whole records is refused and left untouched;
// otherwise the table has a row per record and the average row, the filter's table only the
// matches, every export line 23 fields, the report draws, and deleting the first row removes
// exactly the first record.
// The reading alone, without writing to disk, is fuzzed in statistics_library_fuzz.
#include <cstdint>
#include <string>
#include <vector>

#include "core/records/gt_ym_record.h"
#include "core/statistics/effi_stat_export.h"
#include "core/statistics/effi_stat_report.h"
#include "core/statistics/effi_stat_state.h"
#include "fuzz_support.h"

namespace {

void check_export(const std::vector<wb::StatRow>& rows) {
  const wb::Bytes out = wb::stat_export_bytes(rows);
  std::size_t tabs = 0, lines = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\t') ++tabs;
    if (out[i] == '\n') {
      FUZZ_CHECK(i > 0 && out[i - 1] == '\r');
      FUZZ_CHECK(tabs == 22);
      tabs = 0;
      ++lines;
    }
    FUZZ_CHECK(out[i] != '\r' || (i + 1 < out.size() && out[i + 1] == '\n'));
  }
  FUZZ_CHECK(lines == rows.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto lib = wb::gt_ym_path(prog);
  const wb::Bytes before(data, data + size);
  wbfuzz::write_bytes(lib, data, size);
  wb::EffiStatState st(lib);
  const wb::StatFileStatus s = st.load_library("20261210");
  const std::size_t n = size / wb::kGtYmRecordSize;
  if (size % wb::kGtYmRecordSize != 0) {
    FUZZ_CHECK(s == wb::StatFileStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(lib) == before);
    int removed = 0;
    FUZZ_CHECK(st.delete_confirmed(1, 1, 1, removed) == wb::StatDeleteStatus::Nothing);
    return 0;
  }
  if (n == 0) {
    FUZZ_CHECK(s == wb::StatFileStatus::Empty);
    return 0;
  }
  FUZZ_CHECK(s == wb::StatFileStatus::Ok);
  FUZZ_CHECK(st.grid.row_count() == static_cast<int>(n) + 2);
  FUZZ_CHECK(st.grid.rows.back()[0] == "平均");
  check_export(st.grid.rows);
  wbfuzz::NullCanvas page;
  wb::prt_stat_page(page, st.grid.rows, "unit", st.Text2);

  for (const char* field : wb::kStatFilterFields) {
    st.choose_field(field);
    if (st.Combo2_items.empty()) continue;
    st.choose_value(st.Combo2_items.front());
    FUZZ_CHECK(st.tj_jls() >= 1);
    FUZZ_CHECK(st.run_filter("20261210"));
    FUZZ_CHECK(st.grid.row_count() == st.tj_jls() + 2);
    check_export(st.grid.rows);
  }

  FUZZ_CHECK(st.load_library("20261210") == wb::StatFileStatus::Ok);
  int removed = 0;
  FUZZ_CHECK(st.delete_confirmed(1, 1, 1, removed) == wb::StatDeleteStatus::Deleted && removed == 1);
  const wb::Bytes after = wbfuzz::read_bytes(lib);
  FUZZ_CHECK(after == wb::Bytes(before.begin() + static_cast<std::ptrdiff_t>(wb::kGtYmRecordSize), before.end()));
  return 0;
}
