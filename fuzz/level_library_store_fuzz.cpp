// The level library sys/Dym.dat as found on disk: listing, loading each record into the
// window's test, saving, single-field updates and deleting. A damaged library is never
// written; a record read back and written again is the same bytes.
// The reading alone, without writing to disk, is fuzzed in level_library_fuzz.
#include <cstdint>

#include "core/common/record_store.h"
#include "core/level/dym_record.h"
#include "core/level/level_library.h"
#include "core/level/level_page.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8 * wb::kDymRecordSize) return 0;
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  wb::LevelLibrary lib(prog);
  wbfuzz::write_bytes(lib.path(), data, size);
  std::vector<wb::LevelLibraryRow> rows;
  const wb::StoreStatus listed = lib.list(rows);
  if (listed == wb::StoreStatus::Damaged) {
    int r = 0;
    FUZZ_CHECK(lib.save(wb::DymRecord{}, r) == wb::StoreStatus::Damaged);
    FUZZ_CHECK(lib.remove(1) == wb::StoreStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(lib.path()).size() == size);
    return 0;
  }
  wbfuzz::NullCanvas page;
  for (std::size_t i = 1; i <= rows.size(); ++i) {
    wb::DymRecord d;
    FUZZ_CHECK(lib.read(static_cast<int>(i), d) == wb::StoreStatus::Ok);
    const wb::Bytes b = wb::encode_dym(d);
    const auto again = wb::decode_dym(b);
    FUZZ_CHECK(again && wb::encode_dym(*again) == b);
    wb::LevelTest t;
    wb::load_dym_into_test(d, t);
    FUZZ_CHECK(t.gain >= 1 && t.gain <= 8);
    wb::prt_Level(page, t, 9, 350, d.marks[static_cast<int>(wb::LevelMarker::Level)]);
    wb::prt_Level(page, t, 39, 1200, 0);
    int saved = 0;
    FUZZ_CHECK(lib.save(wb::dym_from_test(t), saved) == wb::StoreStatus::Ok);
    FUZZ_CHECK(lib.save_level(saved, t.level_depth, t.method, t.sound_speed) == wb::StoreStatus::Ok);
  }
  if (!rows.empty()) FUZZ_CHECK(lib.remove(1) == wb::StoreStatus::Ok);
  return 0;
}
