// A design record file (sys/roddesign.dat) of any bytes read by the design window: the well
// list, each well's dates and the load of each listed design (its boxes, options, viscosity
// and centralizer rows). Every whole record decodes and encodes back to the same bytes, and
// reading never changes the file. Saves into fuzzed files are fuzzed in
// design_records_store_fuzz.
#include <cstdint>
#include <span>

#include "fuzz_fakes.h"
#include "fuzz_support.h"
#include "library_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  wbfuzz::check_design_records_round_trip(std::span<const std::uint8_t>(data, size));

  const auto file = wbfuzz::scratch() / "roddesign.dat";
  wbfuzz::write_bytes(file, data, size);
  wbfuzz::OkAnswers answers;
  wbfuzz::DesignControlsFake controls;
  wb::design::DesignRecordIo io{answers, controls};
  wb::design::DesignState st;
  wb::design::DesignRecords rec;
  rec.path = file;
  wbfuzz::check_design_listings(st, rec, io);
  FUZZ_CHECK(wbfuzz::read_bytes(file) == wb::Bytes(data, data + size));
  return 0;
}
