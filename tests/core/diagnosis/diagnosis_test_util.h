// Fixtures of the diagnosis tests: a message fake, cards built from known curves, a well's
// boxes and a library file written from records.
#pragma once

#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "core/common/fourier.h"
#include "core/common/services.h"
#include "core/common/test_records.h"
#include "core/diagnosis/diagnosis_state.h"
#include "core/samples/synthetic_tests.h"
#include "../workbench/temp_program_folder.h"

namespace wb::diag_test {

using test::TempProgram;
using test::file_bytes;
using test::put_bytes;

struct FakeMessages : MessageService {
  std::vector<std::string> texts, titles;
  std::deque<MsgAnswer> answers;  // scripted; Yes when empty for Yes/No questions
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) override {
    texts.push_back(text);
    titles.push_back(title);
    if (!answers.empty()) {
      MsgAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
};

// A card whose position and load are given per point over `n` points of a stroke.
template <typename PosFn, typename LoadFn>
SgtRecord card_from(const std::string& well, int n, PosFn pos, LoadFn load) {
  std::vector<float> s(n), g(n);
  for (int i = 0; i < n; ++i) {
    s[i] = static_cast<float>(pos(i));
    g[i] = static_cast<float>(load(i));
  }
  SgtRecord c;
  c.well_name = well;
  c.test_date = "202403011000";
  c.point_num = static_cast<std::int16_t>(n);
  Fourier_Coef(s.data(), static_cast<std::int16_t>(n), 16, c.ss_cos.data(), c.ss_sin.data());
  Fourier_Coef(g.data(), static_cast<std::int16_t>(n), 32, c.gg_cos.data(), c.gg_sin.data());
  return c;
}

// A pumped well's card: the synthetic unit's clean stroke (3 m, 6 strokes a minute).
inline SgtRecord pumped_card(const std::string& well, int points = 500) {
  SyntheticJointParams p;
  p.well_name = well;
  return make_synthetic_card(p, points);
}

// The boxes of a well with that card: 44 mm pump at 1200 m, four taper sections of 300 m.
inline void fill_well_boxes(DiagnosisState& st, const std::string& well) {
  st.Text1[diag_box::kWell] = well;
  st.Text1[diag_box::kDate] = "20240301";
  st.Text1[diag_box::kBore] = "44";
  st.Text1[diag_box::kLiquid] = "20";
  st.Text1[diag_box::kWaterCut] = "60";
  st.Text1[diag_box::kStroke] = "3";
  st.Text1[diag_box::kSpm] = "6";
  st.Text1[diag_box::kFluidLevel] = "900";
  st.Text1[diag_box::kTubingPressure] = "1.0";
  st.Text1[diag_box::kCasingPressure] = "0.5";
  st.Text1[diag_box::kPumpDepth] = "1200";
  st.Text1[diag_box::kRods1] = "300";
  st.Text1[diag_box::kRods78] = "300";
  st.Text1[diag_box::kRods34] = "300";
  st.Text1[diag_box::kRods58] = "300";
}

}  // namespace wb::diag_test
