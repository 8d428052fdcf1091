// A diagnosis record file (sys/bgt.dat) of any bytes through its readers alone: the well
// list, each listed well's dates, the record of a listed key found and shown in the boxes,
// and every whole record (at most four) decoded and written again. Only whole records are
// read; a record written again keeps its card and reserved bytes, ends in CR LF and reads
// back the same. The window's steps on a fuzzed file (refresh, stepping, report, export,
// save, delete) are in diagnosis_window_fuzz.
#include <algorithm>
#include <cstdint>

#include "core/common/trim.h"
#include "core/diagnosis/bgt_record.h"
#include "core/diagnosis/diagnosis_records.h"
#include "fuzz_fakes.h"
#include "fuzz_support.h"

namespace {
using Answers = wbfuzz::OkAnswers;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = wbfuzz::scratch() / wb::kBgtFileName;
  wbfuzz::write_bytes(file, data, size);
  const std::size_t count = size / wb::kBgtRecordSize;

  for (std::size_t r = 1; r <= count && r <= 4; ++r) {
    const wb::Bytes stored(data + (r - 1) * wb::kBgtRecordSize, data + r * wb::kBgtRecordSize);
    wb::BgtRecord rec;
    FUZZ_CHECK(rec.decode(stored));
    const wb::Bytes once = rec.encode();
    FUZZ_CHECK(once.size() == wb::kBgtRecordSize);
    FUZZ_CHECK(once[wb::kBgtRecordSize - 2] == '\r' && once[wb::kBgtRecordSize - 1] == '\n');
    // The card and the reserved bytes are carried as stored; the texts as they decode.
    FUZZ_CHECK(std::equal(stored.begin() + 631, stored.begin() + 1143, once.begin() + 631));
    FUZZ_CHECK(std::equal(stored.begin() + 1143, stored.begin() + 1207, once.begin() + 1143));
    FUZZ_CHECK(std::equal(stored.begin() + 1343, stored.begin() + 1443, once.begin() + 1343));
    wb::BgtRecord back;
    FUZZ_CHECK(back.decode(once) && back.encode() == once);
  }

  const std::vector<std::string> wells = wb::bgt_well_names(file);
  FUZZ_CHECK(wells.size() <= count);
  FUZZ_CHECK(std::is_sorted(wells.begin(), wells.end()));
  Answers answers;
  wb::DiagnosisIo io{answers, nullptr};
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    const std::vector<std::string> dates = wb::bgt_well_dates(file, wells[i]);
    FUZZ_CHECK(!dates.empty() && dates.size() <= count);
    // The listed key finds a record, which the boxes then show.
    wb::DiagnosisState st;
    st.Text1[wb::diag_box::kWell] = wells[i];
    st.Text1[wb::diag_box::kDate] = dates.front();
    wb::Load_Bgt(st, file, io);
    FUZZ_CHECK(wb::trim_blanks(st.Bgt_Rec.well_name) == wells[i]);
    FUZZ_CHECK(wb::trim_blanks(st.Bgt_Rec.test_date) == dates.front());
    FUZZ_CHECK(!st.Rec_Changed);
  }
  return 0;
}
