// The level library sys/Dym.dat as found on disk, read only: listing and loading each record
// into the window's test. A damaged library is refused and never written; a record read back
// and written again is the same bytes. Printing, saving, single-field updates and deleting
// on fuzzed libraries are fuzzed in level_library_store_fuzz.
#include <cstdint>

#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8 * wb::kDymRecordSize) return 0;
  // Only the library file changes between runs, so the folder is made once.
  static const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const wb::LevelLibrary lib(prog);
  wbfuzz::write_bytes(lib.path(), data, size);
  std::vector<wb::LevelLibraryRow> rows;
  const wb::LimitedStatus listed = lib.list(rows);
  if (listed == wb::LimitedStatus::Damaged) {
    wb::DymRecord d;
    FUZZ_CHECK(lib.read(1, d) == wb::StoreStatus::Damaged);
    FUZZ_CHECK(wbfuzz::read_bytes(lib.path()) == wb::Bytes(data, data + size));
    return 0;
  }
  for (std::size_t i = 1; i <= rows.size(); ++i) {
    wb::DymRecord d;
    wb::LevelTest t;
    wbfuzz::check_level_record(lib, i, d, t);
  }
  return 0;
}
