#include "core/charts/energy_panel.h"

#include <cmath>
#include <optional>

#include "core/charts/chart_text.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"

namespace wb {
namespace {

const char* const kLabels[16] = {
    "电能测试方式:",
    "平均电压(V)    : ",
    "平均电流(A)    : ",
    "平均有功功率(kW):",
    "平均无功功率(kVar):",
    "平均视在功率(kVA) :",
    "平均功率因数   : ",
    "每冲程耗电量(W.h):",
    "最大上行电流(A): ",
    "最大下行电流(A): ",
    "均方根电流(A)  : ",
    "电流平衡度     : ",
    "平均上行功率(kW):",
    "平均下行功率(kW):",
    "均方根功率(kW) : ",
    "功率平衡度     : ",
};

// A box text converted as a whole to a single-precision number.
void set_from_box(float& dst, const std::string& text) {
  if (auto v = num_parse(text); v && std::isfinite(*v)) dst = static_cast<float>(*v);
}

float round2(double x) { return static_cast<float>(round_dec(x, 2)); }

}  // namespace

void fill_DnCs(const DrawnTest& st, DnCsArray& d) {
  set_from_box(d[kDnCsAvgVoltage], st.Text3[result_box::kAvgVoltage]);
  set_from_box(d[kDnCsAvgCurrent], st.Text3[result_box::kAvgCurrent]);
  set_from_box(d[kDnCsInputPower], st.Text3[result_box::kInputPower]);
  set_from_box(d[kDnCsReactivePower], st.Text3[result_box::kReactivePower]);
  set_from_box(d[kDnCsApparentPower], st.Text3[result_box::kApparentPower]);
  set_from_box(d[kDnCsPowerFactor], st.Text3[result_box::kPowerFactor]);
  // The sum of one stroke's active-power samples (kW, 0.02 s apart): /50 gives kJ, /3.6 W·h.
  d[kDnCsStrokeEnergy] = round2(static_cast<double>(st.p_sum) / kSamplesPerSecond / 3.6);
  d[kDnCsMaxCurrentUp] = st.imax_up;
  d[kDnCsMaxCurrentDown] = st.imax_down;
  set_from_box(d[kDnCsRmsCurrent], st.Text3[result_box::kRmsCurrent]);
  // Balances: the smaller half over the larger (by magnitude for the power, signs kept).
  // A zero divisor leaves the element as it was.
  {
    const double up = st.imax_up, down = st.imax_down;
    const double num = down > up ? up : down, den = down > up ? down : up;
    if (den != 0) d[kDnCsCurrentBalance] = round2(num / den);
  }
  d[kDnCsAvgPowerUp] = st.pavg_up;
  d[kDnCsAvgPowerDown] = st.pavg_down;
  set_from_box(d[kDnCsRmsPower], st.Text3[result_box::kRmsPower]);
  {
    const double up = st.pavg_up, down = st.pavg_down;
    const bool down_larger = std::fabs(down) > std::fabs(up);
    const double num = down_larger ? up : down, den = down_larger ? down : up;
    if (den != 0) d[kDnCsPowerBalance] = round2(num / den);
  }
}

std::array<std::string, 16> energy_panel_entries(int wiring_mode, const DnCsArray& d) {
  std::array<std::string, 16> e;
  e[0] = std::string(kLabels[0]) + wiring_mode_name(wiring_mode);
  for (int k = 1; k <= 15; ++k) e[k] = std::string(kLabels[k]) + num_print_f(d[k]);
  return e;
}

void disp_data(DrawnTest& st, Canvas& pic, DnCsArray& DnCs) {
  st.command1_visible = false;
  fill_DnCs(st, DnCs);
  const auto entries = energy_panel_entries(st.dnt_rec.wiring_mode, DnCs);

  pic.set_scale_mm();
  pic.cls();
  pic.fore_color = kBlack;
  pic.set_plain_font(9);
  pic.print_at(16, 3, trim_blanks(st.Text1[appended_box::kWell]) + "井电能参数        测试日期:" +
                          field_for_drawing(st.org_head.test_date));
  for (int r = 0; r < 8; ++r) {
    pic.print_at(12, 12 + 6 * r, entries[r]);
    pic.print_at(60, 12 + 6 * r, entries[r + 8]);
  }
}

}  // namespace wb
