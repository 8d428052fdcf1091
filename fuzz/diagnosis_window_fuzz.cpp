// A diagnosis record file (sys/bgt.dat) of any bytes through the diagnosis window's steps:
// the load step and the well list, each well's dates and tests loaded and refreshed (the
// embedded cards drive the pump-card computation and the chart), stepping, the report page,
// the text export, a save and a deletion. A file of whole records must stay whole records;
// a damaged one must never be written.
#include <cstdint>
#include <tuple>

#include "core/diagnosis/advice_export.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/diagnosis_report.h"
#include "core/diagnosis/inflow.h"
#include "fuzz_support.h"

namespace {
struct Answers : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons b, wb::MsgIcon) override {
    return b == wb::MsgButtons::YesNo ? wb::MsgAnswer::Yes : wb::MsgAnswer::Ok;
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto file = prog.sys() / wb::kBgtFileName;
  wbfuzz::write_bytes(file, data, size);

  Answers answers;
  wbfuzz::NullCanvas pic;
  wb::DiagnosisIo io{answers, &pic};
  wb::DiagnosisState st;
  wb::diagnosis_load(st, prog, io);
  const std::vector<std::string> wells = wb::bgt_well_names(file);
  for (std::size_t i = 0; i < wells.size() && i < 4; ++i) {
    st.Comb_WellName = wells[i];
    wb::Comb_WellName_Click(st, io);
    if (!st.date_list.empty()) {
      st.Comb_TestTime = st.date_list.back();
      wb::Comb_TestTime_Click(st, io);
    }
  }
  for (int index : {1, 1, 0, 3, 4}) wb::Cmd_Review_Click(st, index, io);
  // Fuzzed boxes may be refused (with a message): the boxes then stay.
  std::ignore = wb::Calc_Pf_Com_Click(st, answers);
  std::ignore = wb::Calc_Cyzs_Com_Click(st, answers);
  wbfuzz::NullCanvas page;
  wb::prt_bgt_page(st, page);
  (void)wb::advice_export_bytes(file);

  const bool whole = size % wb::kBgtRecordSize == 0;
  st.Text1[wb::diag_box::kWell] = "井X";
  st.Text1[wb::diag_box::kDate] = "20240301";
  std::ignore = wb::Cmd_Save_Click(st, io);  // what the file holds afterwards is checked below
  wb::Cmd_Review_Click(st, 2, io);
  const wb::Bytes after = wbfuzz::read_bytes(file);
  if (whole) {
    FUZZ_CHECK(after.size() % wb::kBgtRecordSize == 0);
  } else {
    FUZZ_CHECK(after == wb::Bytes(data, data + size));
  }
  return 0;
}
