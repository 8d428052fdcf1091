// The level library sys/Dym.dat as found on disk: listing, loading each record into the
// window's test, saving, single-field updates and deleting. A damaged library is never
// written; a record read back and written again is the same bytes.
// The reading alone, without writing to disk, is fuzzed in level_library_fuzz.
#include <cstdint>

#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8 * wb::kDymRecordSize) return 0;
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  wb::LevelLibrary lib(prog);
  wbfuzz::write_bytes(lib.path(), data, size);
  std::vector<wb::LevelLibraryRow> rows;
  const wb::LimitedStatus listed = lib.list(rows);
  if (listed == wb::LimitedStatus::Damaged) {
    int r = 0;
    FUZZ_CHECK(lib.save(wb::DymRecord{}, r) == wb::LimitedStatus::Damaged);
    FUZZ_CHECK(lib.remove(1) == wb::StoreStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(lib.path()).size() == size);
    return 0;
  }
  wbfuzz::NullCanvas page;
  for (std::size_t i = 1; i <= rows.size(); ++i) {
    wb::DymRecord d;
    wb::LevelTest t;
    wbfuzz::check_level_record(lib, i, d, t);
    wb::prt_Level(page, t, 9, 350, d.marks[static_cast<int>(wb::LevelMarker::Level)]);
    wb::prt_Level(page, t, 39, 1200, 0);
    int saved = 0;
    FUZZ_CHECK(lib.save(wb::dym_from_test(t), saved) == wb::LimitedStatus::Ok);
    FUZZ_CHECK(lib.save_level(saved, t.level_depth, t.method, t.sound_speed) == wb::StoreStatus::Ok);
  }
  if (!rows.empty()) FUZZ_CHECK(lib.remove(1) == wb::StoreStatus::Ok);
  return 0;
}
