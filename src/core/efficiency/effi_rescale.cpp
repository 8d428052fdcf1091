#include "core/efficiency/effi_rescale.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/wiring.h"
#include "core/records/drawn_test.h"
#include "core/efficiency/sys_effi_state.h"

namespace wb {

using namespace effi_box;  // Text1 by name

namespace {

// Largest current sample over the fractional index range [from, to] of a counter that
// starts at `from` and steps by 1, each counter taken to the nearest index (halves to the
// even one); starting from 0, so a curve that stays negative gives 0.
float max_over(const std::vector<float>& iis, int n, double from, double to) {
  float m = 0;
  for (double c = from; c <= to; c += 1) {
    const long long i = round_even(c);
    if (i >= 0 && i < n && iis[static_cast<std::size_t>(i)] > m) m = iis[static_cast<std::size_t>(i)];
  }
  return m;
}

// The box text times the factor in the two-decimal form; false when the text is no number.
bool scale_text(const std::string& text, double factor, std::string& out) {
  const auto v = num_parse(text);
  if (!v) return false;
  out = num_text_2dp(*v * factor);
  return true;
}

}  // namespace

void Recalc_Pow_Param(SysEffiState& s, double factor, std::array<std::string, 16>& main_Text3) {
  EffiBoxes& T = s.Text1;
  const double k = wiring_factor(s.cs_fs);
  const std::size_t avail = std::min({s.uus.size(), s.iis.size(), s.pps.size(), s.qqs.size()});
  const int n = std::clamp<int>(s.iu_num, 0, static_cast<int>(avail));

  // Curves: power scaled, current rebuilt from the scaled power.
  for (int i = 0; i < n; ++i) {
    const auto j = static_cast<std::size_t>(i);
    s.pps[j] = to_single(factor * s.pps[j]);
    if (s.uus[j] == 0) continue;
    const double q = s.qqs[j], p = s.pps[j];
    s.iis[j] = to_single(std::sqrt(q * q + p * p) * 1000 / s.uus[j] / k);
  }

  // RMS power and the half-stroke mean powers scale with the power.
  std::string scaled;
  if (scale_text(T[kRmsPower], factor, scaled)) T[kRmsPower] = scaled;
  const auto slash = T[kMeanPowerPair].find('/');
  if (slash != std::string::npos) {
    std::string up, down;
    if (scale_text(T[kMeanPowerPair].substr(0, slash), factor, up) && scale_text(T[kMeanPowerPair].substr(slash + 1), factor, down))
      T[kMeanPowerPair] = up + "/" + down;
  }
  if (n == 0) return;

  // Half-stroke maximum currents over 10..40 % and 60..90 % of the stroke.
  const float max_up = max_over(s.iis, n, 0.1 * n, 0.4 * n);
  const float max_down = max_over(s.iis, n, 0.6 * n, 0.9 * n);
  T[kMaxCurrentPair] = num_text_2dp(max_up) + "/" + num_text_2dp(max_down);

  double sum_i = 0;
  float sum_ui = 0, sum_i2 = 0;
  for (int i = 0; i < n; ++i) {
    const auto j = static_cast<std::size_t>(i);
    sum_i += s.iis[j];
    sum_ui = sum_ui + s.iis[j] * s.uus[j];
    sum_i2 = sum_i2 + s.iis[j] * s.iis[j];
  }
  T[kMeanCurrent] = num_text_2dp(sum_i / n);
  T[kRmsCurrent] = num_text_2dp(std::sqrt(static_cast<double>(sum_i2 / static_cast<float>(n))));

  // Apparent power, kVA to one decimal, then the power factor against the new input power.
  const double apparent = std::floor(static_cast<double>(sum_ui / static_cast<float>(n)) * k / 1000 * 10 + 0.5) / 10;
  if (std::isfinite(apparent)) main_Text3[result_box::kApparentPower] = num_text(apparent);
  const double s_kva = num_val(main_Text3[result_box::kApparentPower]);
  if (s_kva != 0) {
    const double pf = std::floor(num_val(T[kInputPower]) / s_kva * 100 + 0.5) / 100;
    if (std::isfinite(pf)) main_Text3[result_box::kPowerFactor] = num_text(pf);
  }
  T[kApparentPower] = main_Text3[result_box::kApparentPower];
  T[kPowerFactor] = main_Text3[result_box::kPowerFactor];
}

}  // namespace wb
