// Fills a program folder with the workbench's sample tests, so a new user sees real curves
// at once: wb_make_samples <program folder>. Existing files are left as they are.
#include <cstdio>
#include <filesystem>

#include "core/common/paths.h"
#include "core/electric/synthetic_wave.h"
#include "core/workbench/synthetic_tests.h"

namespace {

bool missing(const std::filesystem::path& p) {
  std::error_code ec;
  return !std::filesystem::exists(p, ec);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wb_make_samples <program folder>\n");
    return 2;
  }
  wb::ProgramFolder folder{wb::u8path(argv[1])};
  folder.create_folders();
  int failures = 0;

  // A well at 6 strokes a minute on a 3 m stroke, three-phase two-channel wiring.
  // A 0.2 V/A supply line, so the line-loss estimate finds a clear voltage drop.
  wb::SyntheticJointParams a;
  a.line_drop = 0.2;
  auto pa = folder.data() / wb::u8path("示范井1.o01");
  if (missing(pa) && !wb::write_synthetic_joint_test(pa, a)) ++failures;

  // A deeper, slower well: 4.8 strokes a minute on a 4.2 m stroke, three-channel wiring,
  // the current clamp turned round (power recorded negative).
  wb::SyntheticJointParams b;
  b.period = 625;
  b.stroke = 4.2;
  b.rod_weight = 42.0;
  b.fluid_load = 24.0;
  b.stretch = 0.45;
  b.wiring_mode = 4;
  b.phase = 0.37;
  b.reverse_power = true;
  b.seed = 7;
  b.line_drop = 0.3;
  b.well_name = "示范井2";
  b.test_date = "200606081015";
  auto pb = folder.data() / wb::u8path("示范井2.o01");
  if (missing(pb) && !wb::write_synthetic_joint_test(pb, b)) ++failures;

  // A diagnosis of the first well with its card, so the diagnosis window shows a pump card.
  if (missing(folder.sys() / "bgt.dat") && !wb::write_sample_diagnosis(folder, a, "20060512")) ++failures;

  auto pw = folder.data() / wb::u8path("示范井1.x01");
  if (missing(pw) && !wb::write_synthetic_wave_test(pw)) ++failures;

  if (failures) std::fprintf(stderr, "wb_make_samples: %d sample file(s) could not be written\n", failures);
  return failures ? 1 : 0;
}
