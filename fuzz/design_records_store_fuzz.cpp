// A design record file (sys/roddesign.dat) of any bytes through the design window's store:
// the well list, each well's dates, the load of each listed design (its boxes, options,
// viscosity and centralizer rows), then a save under a loaded key and under a new one.
// A file of whole records must stay whole records and keep its count or gain one; a damaged
// one must never be written.
// The reading alone, without writing to disk, is fuzzed in design_records_fuzz.
#include <cstdint>
#include <tuple>

#include "fuzz_fakes.h"
#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace wb::design;
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto file = design_record_path(prog);
  wbfuzz::write_bytes(file, data, size);

  wbfuzz::OkAnswers answers;
  wbfuzz::DesignControlsFake controls;
  DesignRecordIo io{answers, controls};
  DesignState st;
  DesignRecords rec;
  rec.path = file;
  wbfuzz::check_design_listings(st, rec, io);

  const bool whole = size % kRodDesignRecordSize == 0;
  const std::size_t before = size / kRodDesignRecordSize;
  // The outcomes are checked below from the file itself.
  if (!st.JName_Comb.empty() && !st.Date_Comb.empty()) std::ignore = SaveDesignRecord(st, rec, io);
  st.JName_Comb = "井X";
  st.Date_Comb = "20240301";
  std::ignore = SaveDesignRecord(st, rec, io);
  const wb::Bytes after = wbfuzz::read_bytes(file);
  if (whole) {
    FUZZ_CHECK(after.size() % kRodDesignRecordSize == 0);
    const std::size_t n = after.size() / kRodDesignRecordSize;
    FUZZ_CHECK(n == before || n == before + 1 || (before == 0 && n <= 1));
  } else {
    FUZZ_CHECK(after == wb::Bytes(data, data + size));
  }
  return 0;
}
