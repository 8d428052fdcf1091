// Fills a program folder with the workbench's sample tests, so a new user sees real curves
// at once: wb_make_samples <program folder>. Existing files are left as they are.
#include <cstdio>
#include <filesystem>

#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/records/cyj_mode_catalog.h"
#include "core/records/gt_ym_record.h"
#include "core/balance/balance_params.h"
#include "core/common/paths.h"
#include "core/efficiency/well_base_record.h"
#include "core/electric/synthetic_wave.h"
#include "core/level/synthetic_level.h"
#include "core/design/workbench/design_records.h"
#include "core/samples/sample_design.h"
#include "core/samples/synthetic_tests.h"

namespace {

bool missing(const std::filesystem::path& p) {
  std::error_code ec;
  return !std::filesystem::exists(p, ec);
}

// Failures of a sample save go to the console.
struct ConsoleMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string& text, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    std::fprintf(stderr, "wb_make_samples: %s\n", text.c_str());
    return wb::MsgAnswer::Ok;
  }
};

// The counterweights of the first sample well, so that its counterbalance analysis runs at
// once: four 12 kN crank blocks at 1.2 m on a unit with a 3 m stroke.
bool add_balance_sample(const wb::ProgramFolder& folder, const wb::SyntheticJointParams& a) {
  if (wb::Get_Dat_From_WellBase(folder, a.well_name, a.test_date).found) return true;
  wb::BalanceWellBaseSource src;
  src.Cur_Well = a.well_name;
  src.Cur_Test = a.test_date;
  src.Text2 = wb::default_parameter_boxes();
  src.Text2[wb::balance_box::kCrankBlocks] = "4";
  src.Text2[wb::balance_box::kCrankBlockWt] = "12";
  src.Text2[wb::balance_box::kCrankBlockPos] = "1.2";
  src.Text2[wb::balance_box::kMaxStroke] = "3";
  src.Text2[wb::balance_box::kCrankPosMin] = "0.3";
  src.Text2[wb::balance_box::kActStroke] = "3";
  src.Comb_Cyj_Mode = "CYJ10-3-37HB";
  ConsoleMessages msg;
  return wb::Save_WellBase(folder, src, msg).outcome == wb::SaveOutcome::Saved;
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

  const wb::SyntheticJointParams a = wb::sample_well_1();
  auto pa = folder.data() / wb::u8path("示范井1.o01");
  if (missing(pa) && !wb::write_synthetic_joint_test(pa, a)) ++failures;
  if (!add_balance_sample(folder, a)) ++failures;

  const wb::SyntheticJointParams b = wb::sample_well_2();
  auto pb = folder.data() / wb::u8path("示范井2.o01");
  if (missing(pb) && !wb::write_synthetic_joint_test(pb, b)) ++failures;

  // A diagnosis of the first well with its card, so the diagnosis window shows a pump card.
  if (missing(folder.sys() / "bgt.dat") && !wb::write_sample_diagnosis(folder, a, "20060512")) ++failures;

  auto pw = folder.data() / wb::u8path("示范井1.x01");
  if (missing(pw) && !wb::write_synthetic_wave_test(pw)) ++failures;

  // A pumping-unit catalogue, so the efficiency window's model list has entries.
  auto pc = wb::cyj_mode_path(folder);
  if (missing(pc) && !wb::write_sample_cyj_catalog(pc)) ++failures;
  // The deviation survey of the first well, for the design window's well path.
  auto pj = folder.data() / wb::u8path("示范井1.jx");
  if (missing(pj) && !wb::write_synthetic_survey(pj)) ++failures;
  // Efficiency records of the sample wells, so the statistics window shows a table.
  auto pe = wb::gt_ym_path(folder);
  if (missing(pe) && !wb::write_sample_efficiency_library(pe)) ++failures;
  // The fluid-level template the automatic level search needs, and an echo test: the shot,
  // a collar train at 336 m/s and the level at 1200 m.
  // A design of the first well on its survey, so the design window lists a stored design.
  if (missing(wb::design::design_record_path(folder)) && !wb::design::write_sample_design(folder, "示范井1", "20060520"))
    ++failures;
  auto pt = folder.sys() / wb::kLevelTemplateFile;
  if (missing(pt) && !wb::write_level_template(pt)) ++failures;
  auto py = folder.data() / wb::u8path("示范井1.y01");
  if (missing(py) && !wb::write_synthetic_level_test(py, wb::SyntheticLevelParams{})) ++failures;

  if (failures) std::fprintf(stderr, "wb_make_samples: %d sample file(s) could not be written\n", failures);
  return failures ? 1 : 0;
}
