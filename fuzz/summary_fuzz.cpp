// The power/balance summary sys/DlPh.dat saved from the main window. The first byte picks the
// key: 0 a new test, k > 0 the name and date of record k (if any); the rest is the library.
// Promises: a library of a bad length is refused and never written; a save either updates
// the record of the key, changing nothing but its fifteen energy indicators, or appends one
// record and leaves the others as they were.
#include <algorithm>
#include <cstdint>
#include <tuple>

#include "core/common/trim.h"
#include "core/workbench/dlph_summary.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t len = wb::kDlPhRecordSize;
  const wb::Bytes lib(data + 1, data + size);
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto path = prog.sys() / wb::kDlPhFileName;
  wbfuzz::write_bytes(path, lib.data(), lib.size());

  wb::TestState st;
  st.read_sgt_dnt_org = wb::kKindJoint;
  st.Text1[2] = "W1";
  st.org_head.test_date = "200405061530";
  st.Text3[5] = "380";
  st.Text3[6] = "25.5";
  const std::size_t n = lib.size() / len;
  if (data[0] != 0 && n > 0 && lib.size() % len == 0) {
    wb::DlPhRecord k;
    // A whole record of the library: its decode cannot fail.
    std::ignore = k.decode(wb::Bytes(lib.begin() + static_cast<std::ptrdiff_t>((data[0] - 1) % n * len),
                                     lib.begin() + static_cast<std::ptrdiff_t>(((data[0] - 1) % n + 1) * len)));
    st.Text1[2] = k.well_name;
    st.org_head.test_date = k.test_date;
  }
  wb::DlPhRecord buf;
  const wb::SummaryResult r = wb::Save_DlPh_Pow(prog, st, buf);
  const wb::Bytes after = wbfuzz::read_bytes(path);
  if (lib.size() % len != 0) {
    FUZZ_CHECK(r.status == wb::StoreStatus::Damaged && after == lib);
    return 0;
  }
  FUZZ_CHECK(r.status == wb::StoreStatus::Ok);
  if (r.appended) {
    FUZZ_CHECK(r.record == n + 1 && after.size() == lib.size() + len);
    FUZZ_CHECK(std::equal(lib.begin(), lib.end(), after.begin()));
    // Saving the same test again finds the record it appended.
    wb::DlPhRecord again;
    const wb::SummaryResult r2 = wb::Save_DlPh_Pow(prog, st, again);
    FUZZ_CHECK(r2.status == wb::StoreStatus::Ok && !r2.appended);
    FUZZ_CHECK(wbfuzz::read_bytes(path).size() == after.size());
  } else {
    FUZZ_CHECK(r.record >= 1 && r.record <= n && after.size() == lib.size());
    for (std::size_t off = 0; off < lib.size(); ++off) {
      const std::size_t in_rec = off % len;
      const bool indicator = off / len == r.record - 1 && in_rec >= 700 && in_rec < 760;
      if (!indicator) FUZZ_CHECK(after[off] == lib[off]);
    }
  }
  return 0;
}
