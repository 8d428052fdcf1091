// The balance-record library (sys/phfx.dat) through its readers alone: the well list, each
// record (at most four) read, found again by its key and shown as boxes. A library that is
// not whole records is refused by every reader; a record read and written again keeps every
// byte but its texts, and reads back the same. The stroke rebuilt from fuzzed records, its
// analysis, the charts and the range delete are in balance_analysis_fuzz.
#include <algorithm>
#include <cstdint>

#include "core/balance/phfx_record.h"
#include "core/common/trim.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto lib = wbfuzz::scratch() / wb::kPhfxFileName;
  wbfuzz::write_bytes(lib, data, size);

  std::vector<std::string> wells, tests;
  const wb::StoreStatus listed = wb::phfx_wells(lib, wells);
  wb::PhfxRecord rec;
  if (size % wb::kPhfxRecordSize != 0) {
    FUZZ_CHECK(listed == wb::StoreStatus::Damaged && wells.empty());
    FUZZ_CHECK(wb::read_phfx(lib, 1, rec) != wb::StoreStatus::Ok);
    return 0;
  }
  FUZZ_CHECK(listed == wb::StoreStatus::Ok && wells.size() <= size / wb::kPhfxRecordSize);
  const std::size_t count = size / wb::kPhfxRecordSize;
  for (std::size_t r = 1; r <= count && r <= 4; ++r) {
    FUZZ_CHECK(wb::read_phfx(lib, r, rec) == wb::StoreStatus::Ok);
    const wb::Bytes stored(data + (r - 1) * wb::kPhfxRecordSize, data + r * wb::kPhfxRecordSize);
    // Numbers, curves and reserved bytes are carried as stored; the texts as they decode.
    const wb::Bytes once = rec.encode();
    FUZZ_CHECK(std::equal(stored.begin() + 28, stored.begin() + 1654, once.begin() + 28));
    FUZZ_CHECK(std::equal(stored.begin() + 1684, stored.end(), once.begin() + 1684));
    wb::PhfxRecord back;
    FUZZ_CHECK(back.decode(once) && back.encode() == once);

    // The lists offer the record's key, and the key finds this record or an earlier one of
    // the same key.
    const std::string well = wb::trim_blanks(rec.well_name);
    const std::string test = wb::trim_blanks(rec.test_date);
    FUZZ_CHECK(std::find(wells.begin(), wells.end(), well) != wells.end());
    FUZZ_CHECK(wb::phfx_tests(lib, well, tests) == wb::StoreStatus::Ok);
    FUZZ_CHECK(std::find(tests.begin(), tests.end(), test) != tests.end());
    wb::PhfxRecord first;
    std::size_t found = 0;
    FUZZ_CHECK(wb::find_phfx(lib, well, test, first, found) == wb::StoreStatus::Ok);
    FUZZ_CHECK(found >= 1 && found <= r);

    const wb::PhfxView v = wb::phfx_view(rec);
    FUZZ_CHECK(v.has_box27 == (rec.act_stroke > 0));
  }
  return 0;
}
