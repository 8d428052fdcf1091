#include "core/workbench/joint_pipeline.h"

#include <string_view>
#include <tuple>

#include "core/common/bytes.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/joint_results.h"
#include "core/workbench/org_decode.h"
#include "core/workbench/period_search.h"

namespace wb {
namespace {

// The file name without its last four characters (the ".oNN" extension).
std::string well_from_file_name(const std::string& path) {
  std::string name = file_name_text(path_text(u8path(path).filename()));
  for (int k = 0; k < 4 && !name.empty(); ++k) {
    std::size_t cut = name.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 character
    name.erase(cut);
  }
  return name;
}

void call(const std::function<void(TestState&)>& f, TestState& st) {
  if (f) f(st);
}

// Steps 2..9 of the pipeline, on the samples in memory.
void analyse(TestState& st, const JointCharts& charts) {
  st.dnt_rec.wiring_mode = st.org_head.wiring_mode;
  period_search(st);
  st.CircleDot = std::to_string(st.gt_num);
  st.iu_num = st.gt_num;
  Chk_Trans_Info(st);
  if (st.chk_start_checked) Abs_Trans_Data(st);
  call(charts.draw_card, st);
  call(charts.draw_electric, st);
  st.picture1_tooltip = kJointPictureTooltip;
  st.disp_state = 1;
  compute_joint_results(st);
}

// The file's bytes passed check_org_bytes when they were read; a refusal now leaves the
// state as it was.
std::optional<Refusal> accept_file(TestState& st, const std::string& path, const Bytes& file) {
  if (std::optional<Refusal> refused = decode_org_bytes(st, file)) return refused;
  st.Text1[appended_box::kWell] = well_from_file_name(path);
  st.Text2 = path;
  st.image1_tooltip[7] = kJointSaveTooltip;
  return std::nullopt;
}

}  // namespace

std::optional<Refusal> tx_org(TestState& st, const std::string& fil_nam, int flag, const JointCharts& charts) {
  if (flag == 1) {
    Bytes file;
    if (std::optional<Refusal> refused = read_org_file(fil_nam, file)) return refused;
    if (std::optional<Refusal> refused = accept_file(st, fil_nam, file)) return refused;
  } else if (stored_sample_count(st) == 0) {
    return Refusal("没有已解码的联合测试数据。");
  }
  analyse(st, charts);
  return {};
}

std::optional<Refusal> open_joint_test_file(TestState& st, const std::string& path, const JointCharts& charts) {
  Bytes file;
  if (std::optional<Refusal> refused = read_org_file(path, file)) return refused;
  st.reset_for_new_test();
  st.read_sgt_dnt_org = kKindJoint;
  st.image1_tooltip[1] = kTipBalanceAnalysis;
  st.circle_tol = 0.02f;
  // Cannot be refused: the bytes were checked when read.
  if (std::optional<Refusal> refused = accept_file(st, path, file)) return refused;
  analyse(st, charts);
  st.chk_start_visible = true;
  st.frame3_enabled = true;
  return std::nullopt;
}

void adjust_Click(TestState& st, int index, const JointCharts& charts) {
  // The period frame stays enabled after another kind of test is opened; its samples are
  // then no joint test and nothing may be recomputed from them.
  if (st.read_sgt_dnt_org != kKindJoint) return;
  auto& g = st.gt_num;
  switch (index) {
    case 0: if (g >= 210) g = static_cast<std::int16_t>(g - 10); break;
    case 1: if (g >= 201) g = static_cast<std::int16_t>(g - 1); break;
    case 2: if (g <= 1499) g = static_cast<std::int16_t>(g + 1); break;
    case 3: if (g <= 1490) g = static_cast<std::int16_t>(g + 10); break;
    case 4:
    case 5:
      st.circle_tol = index == 4 ? st.circle_tol * 2.0f : st.circle_tol * 0.5f;
      // Refused only without decoded samples, which an opened joint test has: then nothing
      // is recomputed and nothing shown changes.
      std::ignore = tx_org(st, "", 2, charts);
      return;
    default: return;
  }
  st.CircleDot = std::to_string(g);
  st.iu_num = g;
  call(charts.draw_electric, st);
}

bool CircleDot_KeyPress(TestState& st, int key_ascii, const JointCharts& charts) {
  if (key_ascii != 13 || st.read_sgt_dnt_org != kKindJoint) return false;
  const double v = num_val(st.CircleDot);
  if (!(v >= 1.0 && v <= 3000.0)) return false;
  st.gt_num = static_cast<std::int16_t>(round_even(v));
  st.iu_num = st.gt_num;
  call(charts.draw_electric, st);
  call(charts.draw_energy, st);
  return true;
}

void Chk_Start_Click(TestState& st, const JointCharts& charts) {
  Abs_Trans_Data(st);
  if (st.disp_state == 1) call(charts.draw_electric, st);
}

}  // namespace wb
