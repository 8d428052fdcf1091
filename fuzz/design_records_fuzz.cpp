// A design record file (sys/roddesign.dat) of any bytes read by the design window: the well
// list, each well's dates and the load of each listed design (its boxes, options, viscosity
// and centralizer rows). Every whole record decodes and encodes back to the same bytes, and
// reading never changes the file. Saves into fuzzed files are fuzzed in
// design_records_store_fuzz.
#include <cstdint>
#include <span>

#include "core/design/workbench/design_records.h"
#include "core/design/engine/rod_design_record.h"
#include "fuzz_fakes.h"
#include "fuzz_support.h"

namespace {

using namespace wb::design;

using Answers = wbfuzz::OkAnswers;
using Controls = wbfuzz::DesignControlsFake;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (std::size_t off = 0; off + kRodDesignRecordSize <= size; off += kRodDesignRecordSize) {
    const auto one = bytes.subspan(off, kRodDesignRecordSize);
    RodDesignRecord r;
    FUZZ_CHECK(r.decode(one));
    const wb::Bytes again = r.encode();
    FUZZ_CHECK(again.size() == kRodDesignRecordSize && std::equal(again.begin(), again.end(), one.begin()));
  }

  const auto file = wbfuzz::scratch() / "roddesign.dat";
  wbfuzz::write_bytes(file, data, size);
  Answers answers;
  Controls controls;
  DesignRecordIo io{answers, controls};
  DesignState st;
  DesignRecords rec;
  rec.path = file;
  JNname_Add(st, rec, io);
  const std::vector<std::string> wells = rec.JName_list;
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    st.JName_Comb = wells[i];
    com2_find(st, rec, io);
    for (std::size_t j = 0; j < rec.Date_list.size() && j < 3; ++j) {
      st.Date_Comb = rec.Date_list[j];
      st.Grid2.set_rows(2);
      LoadDesignRecord(st, rec, io);
      FUZZ_CHECK(st.Grid2.rows() >= 1 && st.Grid2.rows() <= static_cast<int>(kDesignFzqCount) + 1);
    }
  }
  FUZZ_CHECK(wbfuzz::read_bytes(file) == wb::Bytes(data, data + size));
  return 0;
}
