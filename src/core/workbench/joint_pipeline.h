// The joint-test pipeline (tx_org) and the period frame's corrections.
//
// Order of one run: decode (only when opening a file), period search, bottom dead centre
// and optional turn, card chart, electric curves, results. The order matters: the card chart
// writes the measured stroke and stroke rate (result_box::kMeasuredStroke, kMeasuredSpm) and
// the electric curves rewrite the input power (kInputPower) and p_sum before the results write them again. The charts are reached
// through callbacks, so the pipeline runs without a window (a missing callback draws nothing).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/common/refusal.h"
#include "core/workbench/test_state.h"
#include "core/workbench/workbench_messages.h"

namespace wb {

struct JointCharts {
  std::function<void(TestState&)> draw_card;      // card of the first gt_num samples
  std::function<void(TestState&)> draw_electric;  // electric curves of the first iu_num samples
  std::function<void(TestState&)> draw_energy;    // energy panel
};

inline constexpr const char* kJointSaveTooltip = "保存联合测试文件到库";
inline constexpr const char* kJointPictureTooltip = kTipShowEnergy;

// tx_org: flag 1 decodes fil_nam first (well name from the file name, path, save tooltip);
// any other flag reruns the analysis on the samples in memory. Returns the refusal message
// when the file is not a usable joint test (the state is then untouched), else none.
[[nodiscard]] std::optional<Refusal> tx_org(TestState& st, const std::string& fil_nam, int flag, const JointCharts& charts = {});

// Opening a joint-test file from the file browser: the reset for a new test, the test kind,
// circle_tol 0.02, tx_org(path, 1), then Chk_Start shown and the period frame enabled.
// A refused file changes nothing and its refusal is returned.
[[nodiscard]] std::optional<Refusal> open_joint_test_file(TestState& st, const std::string& path, const JointCharts& charts = {});

// adjust(0..5): step the period by -10, -1, +1, +10 samples within its bounds and redraw the
// electric curves; or double / halve circle_tol and rerun the pipeline. Acts only while a
// joint test is shown.
void adjust_Click(TestState& st, int index, const JointCharts& charts = {});

// Enter in CircleDot: a typed period of 1..3000 (rounded ties-to-even) becomes gt_num and
// iu_num and the electric curves and the energy panel are drawn. Other keys: nothing.
// True when the period was taken.
[[nodiscard]] bool CircleDot_KeyPress(TestState& st, int key_ascii, const JointCharts& charts = {});

// After Chk_Start changed (st.chk_start_checked holds the new value): turn the arrays and,
// while the electric view is shown, redraw the electric curves.
void Chk_Start_Click(TestState& st, const JointCharts& charts = {});

}  // namespace wb
