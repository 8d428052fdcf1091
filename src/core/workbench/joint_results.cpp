#include "core/workbench/joint_results.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/workbench/org_decode.h"

namespace wb {

std::vector<int> second_half_indices(int n) {
  std::vector<int> idx;
  if (n < 2) return idx;
  const int h = n / 2;
  idx.reserve(static_cast<std::size_t>(h));
  for (int t = 0; t < h; ++t) {
    idx.push_back(n % 2 == 0 ? h + t : static_cast<int>(round_even(n / 2.0 + t)));
  }
  return idx;
}

std::string half_value_text(double v) {
  std::string t = num_text(v);
  if (t.rfind("0.", 0) == 0) return t.substr(1);
  if (t.rfind("-0.", 0) == 0) return "-" + t.substr(2);
  return t;
}

void compute_joint_results(TestState& st) {
  auto& T = st.Text3;
  const int n = std::min<int>(st.gt_num, kSampleArraySize);
  if (n < 1) {
    // Nothing to divide by: no result of this stroke can be shown.
    for (int i = result_box::kInputPower; i <= result_box::kRmsPower; ++i) T[i].clear();
    return;
  }
  const int h = n / 2;

  // 1. Polished-rod power: the card's work round the closed loop (trapezoids, kN*m = kJ)
  // over the stroke time. Single precision like the card header's power, which it matches.
  const float work = loop_work_single(st.sss, st.ggs, n);
  T[result_box::kRodPower] = num_text_dec(card_power_kw(work, n), 2);

  // 2. Input power.
  float psum = 0.0f;
  for (int i = 0; i < n; ++i) psum += st.pps[i];
  st.p_sum = psum;
  T[result_box::kInputPower] = num_text_dec(static_cast<double>(psum) / n, 2);

  // 3, 4. Half strokes: current maxima (starting from 0) and power means.
  const std::vector<int> second = second_half_indices(n);
  float imax1 = 0.0f, imax2 = 0.0f, p1 = 0.0f, p2 = 0.0f;
  for (int i = 0; i < h; ++i) {
    imax1 = std::max(imax1, st.iis[i]);
    p1 += st.pps[i];
  }
  for (int i : second) {
    imax2 = std::max(imax2, st.iis[i]);
    p2 += st.pps[i];
  }
  const double iu = round_dec(imax1, 1), id = round_dec(imax2, 1);
  st.imax_up = static_cast<float>(iu);
  st.imax_down = static_cast<float>(id);
  T[result_box::kMaxCurrentUpDown] = half_value_text(iu) + "/" + half_value_text(id);
  // One sample: both halves are empty and their means are 0.
  const double pu = h > 0 ? round_dec(static_cast<double>(p1) / h, 1) : 0.0;
  const double pd = h > 0 ? round_dec(static_cast<double>(p2) / h, 1) : 0.0;
  st.pavg_up = static_cast<float>(pu);
  st.pavg_down = static_cast<float>(pd);
  T[result_box::kAvgPowerUpDown] = half_value_text(pu) + "/" + half_value_text(pd);

  // 5..8. Electric means.
  float su = 0, si = 0, sui = 0, sii = 0, spp = 0;
  for (int i = 0; i < n; ++i) {
    su += st.uus[i];
    si += st.iis[i];
    sui += st.uus[i] * st.iis[i];
    sii += st.iis[i] * st.iis[i];
    spp += st.pps[i] * st.pps[i];
  }
  const double k = wiring_factor(st.org_head.wiring_mode);
  T[result_box::kApparentPower] = num_text_dec(k * (static_cast<double>(sui) / n) / 1000.0, 1);
  T[result_box::kAvgVoltage] = num_text_dec(static_cast<double>(su) / n, 1);
  T[result_box::kAvgCurrent] = num_text_dec(static_cast<double>(si) / n, 1);
  T[result_box::kRmsCurrent] = num_text_dec(std::sqrt(static_cast<double>(sii) / n), 1);
  T[result_box::kRmsPower] = num_text_dec(std::sqrt(static_cast<double>(spp) / n), 1);

  // 9, 10. Reactive power and power factor from the values as shown.
  const double s = num_val(T[result_box::kApparentPower]);
  const double p = num_val(T[result_box::kInputPower]);
  // As per sample: no reactive power unless S^2 - P^2 is positive (a negative mean input
  // power larger than S in magnitude included).
  const double q2 = s * s - p * p;
  T[result_box::kReactivePower] = q2 > 0.0 ? num_text_dec(std::sqrt(q2), 1) : "0";
  if (s != 0.0) {
    T[result_box::kPowerFactor] = num_text_dec(p / s, 2);
  } else {
    T[result_box::kPowerFactor].clear();
  }
}

}  // namespace wb
