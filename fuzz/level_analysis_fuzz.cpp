// A raw fluid-level file (<well>.yNN) opened from the level window's browser: the reader,
// the automatic sound speed and level, and the redraw of both pictures. A refused file
// leaves the shown test untouched; an accepted one never holds more samples than 5001,
// and nothing beyond its count. The reader alone is fuzzed in level_file_fuzz.
#include <cstdint>
#include <tuple>

#include "core/level/echo_display.h"
#include "core/level/level_analysis.h"
#include "core/level/level_open.h"
#include "core/level/synthetic_level.h"
#include "fuzz_support.h"

namespace {

struct QuietMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wb::ProgramFolder prog = wbfuzz::fresh_program_folder();
  FUZZ_CHECK(wb::write_level_template(prog.sys() / wb::kLevelTemplateFile));
  const auto file = prog.data() / wb::u8path("井1.y01");
  wbfuzz::write_bytes(file, data, size);

  wb::LevelTest t;
  t.well_name = "shown";
  t.method = 2;
  QuietMessages msg;
  if (!wb::open_raw_level_file(t, file, prog, msg)) {
    FUZZ_CHECK(t.well_name == "shown" && t.method == 2);
    return 0;
  }
  FUZZ_CHECK(t.sample_count >= 0 && t.sample_count <= wb::kEchoSamples);
  for (int i = t.sample_count; i < wb::kEchoSamples; ++i)
    FUZZ_CHECK(t.echo_data[i].raw == 0 && t.echo_data[i].smooth == 0);
  FUZZ_CHECK(t.auto_level_index == -1 || (t.auto_level_index > 1500 && t.auto_level_index < 5000));
  wbfuzz::NullCanvas overview, echo;
  for (int gain : {1, 8}) {
    t.gain = gain;
    wb::redraw_graph(t, &overview, 5895, &echo);
  }
  wb::run_automatic_analysis(t, prog, msg);
  wb::redraw_graph(t, &overview, 5895, &echo);
  return 0;
}
