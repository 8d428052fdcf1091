#include "core/efficiency/effi_calc.h"

#include <cmath>

#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/common/pi.h"
#include "core/common/trim.h"
#include "core/records/drawn_test.h"
#include "core/efficiency/sys_effi_state.h"

namespace wb {

using namespace effi_box;  // Text1 by name

namespace {

// Gravity as the calculation uses it: kGravity in the lift and the liquid-column load,
// kGravityFine in the hydraulic power.
constexpr double kSecondsPerDay = 86400;
constexpr double kMinutesPerDay = 1440;
constexpr double kStrokeLossPerKm = 0.4;   // m of stroke lost per 1000 m of rod string

// Rod table: element 0 is the sinker bar (matched by its whole millimetres against 1..7),
// elements 1..5 weigh the 5/8, 3/4, 7/8, 1 and 1-1/8 in sections, 6 and 7 only match sinkers.
constexpr std::array<double, 8> kRodDia = {0, 15.9, 19.1, 22.2, 25.4, 28.6, 31.8, 38.1};   // mm
constexpr std::array<double, 8> kRodWt = {0, 0.0166, 0.0238, 0.0325, 0.0424, 0.0536, 0.0662, 0.0877};  // kN/m
// Box of the length of each rod-table element 0..5.
constexpr std::array<int, 6> kRodLenBox = {kSinkerLen, kRods58, kRods34, kRods78, kRods1, kRods118};

// Int(x·10 + 0.5)/10: a ratio in per cent to one decimal, computed as the ratio times 1000.
double percent_1dp(double num, double den) { return std::floor(num / den * 1000 + 0.5) / 10; }

}  // namespace

EffiCalcOutcome Cmd_Calc_Click(SysEffiState& s, std::array<std::string, 6>& main_Text1) {
  EffiBoxes& T = s.Text1;
  auto B = [&T](int i) { return num_val(T[i]); };
  // A result goes into its box as the text of the double; one that could not be computed
  // empties the box.
  auto put = [&T](int i, double v) {
    if (std::isfinite(v)) T[i] = num_text(v);
    else T[i].clear();
  };
  auto clear_boxes = [&T](std::initializer_list<int> boxes) {
    for (int b : boxes) T[b].clear();
  };
  EffiCalcOutcome out;

  // 1. Required inputs; a density that cannot be a liquid's is refused the same way.
  s.Miss_Flag = 0;
  for (int b : {kLiquidDensity, kTubingPress, kCasingPress, kFluidLevel, kLiquidRate})
    if (trim_blanks(T[b]).empty()) s.Miss_Flag = 1;
  if (s.Miss_Flag == 1 || B(kLiquidDensity) <= 0) {
    for (int b : kEffiResultBoxes) T[b].clear();
    out.message = s.Miss_Flag == 1 ? kEffiMissingInputs : kEffiBadDensity;
    out.refused = true;
    return out;
  }
  // Nothing is computed from a box that cannot hold what it says.
  if (auto bad = check_box_limits(T, kEffiCalcBoxLimits)) {
    for (int b : kEffiResultBoxes) T[b].clear();
    out.message = bad->message;
    out.refused = true;
    return out;
  }
  const double rho = B(kLiquidDensity);

  // 2. Submergence, m.
  put(kSubmergence, round_dec(B(kPumpDepth) - B(kFluidLevel), 2));

  // 3. Lift, m: the fluid level plus the tubing-casing pressure difference as a head of the
  //    produced liquid (MPa → kPa, t/m3 · g → kPa/m).
  const float H = to_single(B(kFluidLevel) + (B(kTubingPress) - B(kCasingPress)) * 1000 / (rho * kGravity));

  // 4. Hydraulic power, kW: t/d · m · g over the seconds of a day.
  put(kHydraulicPower, round_dec(B(kLiquidRate) * static_cast<double>(H) * kGravityFine / kSecondsPerDay, 2));

  // 5. Efficiencies from the powers as displayed.
  const double p_in = B(kInputPower), p_rod = B(kRodPower), p_hyd = B(kHydraulicPower);
  if (p_in != 0 && p_rod != 0) put(kSurfaceEffi, percent_1dp(p_rod, p_in));
  else clear_boxes({kSurfaceEffi});
  if (p_hyd != 0 && p_rod != 0) put(kDownholeEffi, percent_1dp(p_hyd, p_rod));
  else clear_boxes({kDownholeEffi});
  if (p_hyd != 0 && p_in != 0) put(kSysEffi, percent_1dp(p_hyd, p_in));
  else clear_boxes({kSysEffi});

  // 6. The pump needs its bore, stroke and strokes per minute.
  const double bore_m = B(kPumpDia) / 1000;
  if (!(B(kPumpDia) > 0 && B(kNomStroke) > 0 && B(kNomSpm) > 0)) {
    clear_boxes({kPumpEffi, kTheoMaxLoad, kTheoMinLoad});
    out.message = kEffiMissingPumpInputs;
    return out;
  }

  // 7. Theoretical displacement, m3/d, and the pump efficiency (tonnes against cubic
  //    metres, without a density correction).
  const double q = kMinutesPerDay / 4 * kPi2 * std::pow(bore_m, 2) * B(kNomStroke) * B(kNomSpm);
  put(kPumpEffi, percent_1dp(B(kLiquidRate), q));

  // 8. Rod table and section lengths.
  s.Rod_Dia_Tab = kRodDia;
  s.Rod_Wt_Tab = kRodWt;
  s.Rod_Len = {};
  for (std::size_t i = 0; i < kRodLenBox.size(); ++i) s.Rod_Len[i] = B(kRodLenBox[i]);
  s.Rod_Dia_Tab[0] = B(kSinkerDia);

  // 9. The sinker bar takes the first row of the same whole millimetres; none: no weight.
  for (std::size_t i = 1; i < kRodDia.size(); ++i) {
    if (std::floor(s.Rod_Dia_Tab[i]) == std::floor(s.Rod_Dia_Tab[0])) {
      s.Rod_Dia_Tab[0] = s.Rod_Dia_Tab[i];
      s.Rod_Wt_Tab[0] = s.Rod_Wt_Tab[i];
      break;
    }
  }

  // 10. Rod weight in the liquid, kN: the theoretical minimum load.
  double wr = 0;
  s.Rod_Len_Sum = 0;
  for (std::size_t i = 0; i <= 5; ++i) {
    wr = wr + s.Rod_Wt_Tab[i] * s.Rod_Len[i] * (kSteelDensity - rho) / kSteelDensity;
    s.Rod_Len_Sum = s.Rod_Len_Sum + s.Rod_Len[i];
  }
  wr = round_dec(wr, 2);
  put(kTheoMinLoad, wr);

  // 11. Theoretical maximum load, kN: the liquid column over the plunger (kg) plus the rods.
  const double column_kg = kPi2 / 4 * std::pow(bore_m, 2) * rho * 1000 * s.Rod_Len_Sum;
  put(kTheoMaxLoad, round_dec(column_kg * kGravity / 1000 + wr, 2));

  // 12. The static card goes back only to the test it was computed for.
  if (trim_blanks(T[kTestTime]) == trim_blanks(main_Text1[appended_box::kTestDate]) &&
      trim_blanks(T[kWell]) == trim_blanks(main_Text1[appended_box::kWell])) {
    main_Text1[appended_box::kTheoStroke] = T[kNomStroke];
    main_Text1[appended_box::kTheoMaxLoad] = T[kTheoMaxLoad];
    main_Text1[appended_box::kTheoMinLoad] = T[kTheoMinLoad];
    const double loss = s.Rod_Len_Sum / 1000 * kStrokeLossPerKm;
    main_Text1[appended_box::kStrokeLoss] = std::isfinite(loss) ? num_text(loss) : std::string();
    out.handed_back = true;
  }
  return out;
}

}  // namespace wb
