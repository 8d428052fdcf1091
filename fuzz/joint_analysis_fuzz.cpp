// A raw joint-test file (<well>.oNN) opened from the file browser, through the whole
// pipeline and its charts, then the period frame's corrections and the records built for
// saving. A refused file must leave the state untouched.
#include <cstdint>
#include <tuple>

#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/joint_pipeline.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  const auto file = prog.data() / wb::u8path("井1.o01");
  wbfuzz::write_bytes(file, data, size);

  wbfuzz::NullCanvas pic;
  const wb::JointCharts charts = wbfuzz::joint_charts(pic);
  wb::TestState st;
  st.Text1[2] = "井1";
  const std::optional<wb::Refusal> refusal = wb::open_joint_test_file(st, wb::path_text(file), charts);
  if (refusal) {
    FUZZ_CHECK(st.read_sgt_dnt_org == wb::TestState{}.read_sgt_dnt_org);
    return 0;
  }
  for (int index : {0, 3, 2, 4, 5}) wb::adjust_Click(st, index, charts);
  st.chk_start_checked = !st.chk_start_checked;
  wb::Chk_Start_Click(st, charts);
  st.CircleDot = "137";
  std::ignore = wb::CircleDot_KeyPress(st, 13, charts);  // taken only when a joint test is open

  wb::Pow_Sgt_Dat_Prep(st);
  // A record read back and written again is the same bytes.
  const wb::Bytes g = st.sgt_rec.encode();
  wb::SgtRecord g2;
  FUZZ_CHECK(g2.decode(g) && g2.encode() == g);
  const wb::Bytes d = st.dnt_rec.encode();
  wb::DntRecord d2;
  FUZZ_CHECK(d2.decode(d) && d2.encode() == d);
  return 0;
}
