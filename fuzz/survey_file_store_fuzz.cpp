// A deviation survey file as the design window reads it: the bytes become data/W.jx, are
// read into the survey grid, turned into the well path and the 3D view, saved again and read
// back. Reading never fails unsafely; the saved survey reads back as the grid held it.
// The reading alone, without writing to disk, is fuzzed in survey_file_fuzz.
#include <cstdint>

#include "core/common/trim.h"
#include "core/common/gbk.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/survey_file.h"
#include "fuzz_support.h"

namespace {

struct SilentMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};
struct SilentShell : wb::ShellService {
  bool open_document(const std::string&) override { return false; }
  void beep() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::Bytes bytes(data, data + size);
  const auto rows = wb::design::decode_jx_file(bytes);
  FUZZ_CHECK(rows.size() <= size / wb::design::kJxRecordSize + 1);

  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  wbfuzz::write_bytes(prog.data() / "W.jx", data, size);
  SilentMessages msgs;
  SilentShell shell;
  wb::design::RodDesignEngine eng(prog, msgs, shell);
  wbfuzz::NullCanvas pic;
  eng.picture_3d = &pic;
  eng.SetupGrids();
  eng.st.JName_Comb = "W";
  FUZZ_CHECK(eng.Get_JXdat() != wb::design::DesignOutcome::failed);
  FUZZ_CHECK(eng.st.Grid1.rows() == 1 + static_cast<int>(rows.size()));
  eng.CalcTrajectory();
  FUZZ_CHECK(eng.st.last_node >= 0 && eng.st.last_node <= wb::design::kLastNode);
  const auto grid = eng.st.Grid1;
  // A survey is saved from two stations: rows holding something in the six columns (a row of
  // blanks is the entry row, no station).
  int stations = 0;
  for (int r = 1; r < grid.rows(); ++r) {
    bool filled = false;
    for (int c = 1; c <= 6 && !filled; ++c) filled = !wb::trim_blanks(grid.text(r, c)).empty();
    stations += filled ? 1 : 0;
  }
  if (stations >= 2) {
    FUZZ_CHECK(went_through(eng.save_jx()));
    FUZZ_CHECK(eng.Get_JXdat() != wb::design::DesignOutcome::failed);
    FUZZ_CHECK(eng.st.Grid1.rows() == grid.rows());
    for (int r = 1; r < grid.rows(); ++r) {
      for (int c = 1; c <= 6; ++c) {
        // A cell is read back as stored (10 bytes, cut on a whole character) without its padding.
        FUZZ_CHECK(eng.st.Grid1.text(r, c) == wb::trim_blanks(wb::gbk_to_utf8(wb::gbk_field(grid.text(r, c), 10))));
      }
    }
  }
  return 0;
}
