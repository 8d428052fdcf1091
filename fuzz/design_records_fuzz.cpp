// A design record file (sys/roddesign.dat) of any bytes read by the design window: the well
// list, each well's dates and the load of each listed design (its boxes, options, viscosity
// and centralizer rows). Every whole record decodes and encodes back to the same bytes, and
// reading never changes the file. Saves into fuzzed files are fuzzed in
// design_records_store_fuzz.
#include <cstdint>
#include <span>

#include "core/design/workbench/design_records.h"
#include "core/design/workbench/rod_design_record.h"
#include "fuzz_support.h"

namespace {

using namespace wb::design;

struct Answers : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

struct Controls : DesignControls {
  std::int16_t mode = 1;
  std::string grade;
  void set_Text6(DesignState& st, int i, const std::string& t) override { st.Text6.at(static_cast<std::size_t>(i)) = t; }
  void Text6_Change(DesignState&, int) override {}
  std::int16_t design_mode(const DesignState&) const override { return mode; }
  void select_design_mode(DesignState&, std::int16_t code) override { mode = code == 1 ? 1 : code == 4 ? 4 : 3; }
  std::string rod_grade(const DesignState&) const override { return grade; }
  void select_rod_grade(DesignState&, const std::string& letter) override {
    if (letter == "C" || letter == "D" || letter == "K" || letter == "H") grade = letter;
  }
  void beep() override {}
};

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
