#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"
#include "core/charts/energy_panel.h"
#include "core/electric/waveform_charts.h"

namespace wbfuzz {

namespace fs = std::filesystem;

namespace {

struct Scratch {
  fs::path dir;
  Scratch() {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t && *t ? t : "/tmp") + "/wbfuzz.XXXXXX";
    if (!mkdtemp(tmpl.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    dir = tmpl;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

}  // namespace

const fs::path& scratch() {
  static Scratch s;
  return s.dir;
}

wb::ProgramFolder fresh_program_folder() {
  fs::path root = scratch() / "prog";
  std::error_code ec;
  fs::remove_all(root, ec);
  wb::ProgramFolder prog{root};
  prog.create_folders();
  return prog;
}

void write_bytes(const fs::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  if (size) out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) fail("scratch file written", __FILE__, __LINE__);
}

wb::Bytes read_bytes(const fs::path& p) {
  // In one block: a byte-wise stream iterator under the sanitizers cost a reader target a
  // quarter of its time for a library of a few records.
  std::ifstream in(p, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  if (size <= 0) return {};
  wb::Bytes b(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(b.data()), size)) fail("scratch file read", __FILE__, __LINE__);
  return b;
}

wb::ReaderCharts reader_charts(wb::Canvas& pic) {
  wb::ReaderCharts c;
  c.RodEngMapDisplay_G = [&pic](wb::TestState& st, int points) { wb::RodEngMapDisplay_G(st, pic, points); };
  c.iup_line_form = [&pic](wb::TestState& st, int period) { wb::iup_line_form(st, pic, period); };
  c.draw_xbt_1 = [&pic](wb::TestState& st, float xx, float yy) { wb::draw_xbt_1(pic, st, xx, yy); };
  return c;
}

wb::JointCharts joint_charts(wb::Canvas& pic) {
  wb::JointCharts c;
  c.draw_card = [&pic](wb::TestState& st) { wb::RodEngMapDisplay_Card(st, pic); };
  c.draw_electric = [&pic](wb::TestState& st) { wb::iup_line_form(st, pic, st.iu_num); };
  c.draw_energy = [&pic](wb::TestState& st) { wb::disp_data(st, pic, st.DnCs); };
  return c;
}

void fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", what, file, line);
  std::abort();
}

}  // namespace wbfuzz
