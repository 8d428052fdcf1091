// Taper design by the modified Goodman rule. From the top of the sinker bar the string is
// built upward in 2 m steps, each step adding the buoyed weight of its vertical length; the
// current size ends where its stress check fails and the next larger size carries on.
// Boxes and labels of the after-design column hold the result as text.
#include <cmath>
#include <optional>

#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/design/engine/design_number.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/rod_sizes.h"
#include "core/design/engine/taper_checks.h"

namespace wb::design {
namespace {

constexpr int kTaperSizes = 5;                      // 5/8 .. 1-1/8 in take sections
constexpr int kLengthBox[kTaperSizes] = {design_box::kRods58After, design_box::kRods34After, design_box::kRods78After,
                                         design_box::kRods1After, design_box::kRods118After};  // Text3 of each size
constexpr int kSinkerLabel = design_label::kStressAfter;
constexpr int kStressLabel[kTaperSizes] = {kSinkerLabel + 1, kSinkerLabel + 2, kSinkerLabel + 3, kSinkerLabel + 4,
                                           kSinkerLabel + 5};  // Label3 of each size
constexpr double kStepLen = 2.0;  // m per node
constexpr double kTopSectionLeast = 0.1;  // m; a shorter top section is left out

}  // namespace

std::string stress_percent_text(double sigma_max, double sigma_g) {
  if (!(sigma_g > 0)) return {};
  return num_text(std::floor(1000 * sigma_max / sigma_g + 0.5) / 10);
}

StressCheck goodman_check(double W, double fluid_load, double A, float lf_up, float lf_dn, float dyn, double T,
                          double SF) {
  StressCheck r;
  const double Pmax = (W + fluid_load) * lf_up * (1 + static_cast<double>(dyn));
  const double Pmin = W * lf_dn * (1 - static_cast<double>(dyn));
  r.sigma_max = 1000 * Pmax / A;
  const double sigma_min = 1000 * Pmin / A;
  r.sigma_g = T / 4 + 0.5625 * sigma_min;
  r.pass = r.sigma_g > 0 && r.sigma_max < SF * r.sigma_g;
  r.percent = stress_percent_text(r.sigma_max, r.sigma_g);
  return r;
}

bool RodDesignEngine::refuse_string_past_pump(double Lp, double Ls, double kept) {
  if (Lp > 2.0 * kLastNode || Lp < 0) {
    say("泵挂深度须在0至4000m之间，无法设计！");
    return true;
  }
  if (Ls < 0 || Ls > Lp) {
    say("加重杆长度超过泵挂深度，无法设计！");
    return true;
  }
  if (Ls + kept > Lp) {
    say("已给定的抽油杆长度超过泵挂深度，无法设计！");
    return true;
  }
  return false;
}

double RodDesignEngine::vertical_sum(int from, int to) const {
  double s = 0;
  for (int i = std::max(from, 0); i <= std::min(to, kLastNode); ++i) s += st.profile.vert_step[static_cast<std::size_t>(i)];
  return s;
}

DesignOutcome RodDesignEngine::DesignRod(int Mutual_Index) {
  auto& T3 = st.Text3;
  auto& L3 = st.Label3;
  auto val = [](const std::string& t) { return num_val(t); };
  const double f = val(st.Text6[well_box::kWaterCut]) / 100;
  const double rho_o = (val(st.Text6[well_box::kOilDensitySurface]) + val(st.Text6[well_box::kOilDensityDown])) / 2;
  const auto rho_l = f32(f + (1 - f) * rho_o);
  for (std::size_t i = 0; i < kRodSizes.size(); ++i) {
    st.rod_area[i] = f32(kPi14 * (kRodSizes[i].dia / 2) * (kRodSizes[i].dia / 2));
  }
  st.load_factor_up = f32(val(st.Text6[well_box::kLoadFactorUp]));
  st.load_factor_down = f32(val(st.Text6[well_box::kLoadFactorDown]));

  const double Ls = val(T3[design_box::kSinkerLenAfter]);
  int sinker = sinker_size_index(val(T3[design_box::kSinkerDiaAfter]));
  if (sinker < 0 && Ls > 0) {
    sinker = 3;
    T3[design_box::kSinkerDiaAfter] = "25.4";
    say("加重杆直径错误，已将加重杆的直径改为25.4mm，请注意！");
  }
  const double ws = sinker >= 0 ? kRodSizes[static_cast<std::size_t>(sinker)].weight : 0;
  const double As = sinker >= 0 ? st.rod_area[static_cast<std::size_t>(sinker)] : 0;

  const double Lp = 2 * std::floor((val(T3[design_box::kPumpDepthAfter]) + 1) / 2);
  T3[design_box::kPumpDepthAfter] = num_text(Lp);
  const int kept_top = Mutual_Index >= 19 && Mutual_Index <= 22 ? 22 - Mutual_Index : -1;
  double kept = 0;
  for (int j = 0; j <= kept_top; ++j) {
    const float len = f32(val(T3[static_cast<std::size_t>(kLengthBox[j])]));
    if (len < 0) {
      say("已给定的抽油杆长度不能为负，无法设计！");
      return DesignOutcome::refused;
    }
    kept += len;
  }
  if (refuse_string_past_pump(Lp, Ls, kept)) return DesignOutcome::refused;
  const int pump_node = static_cast<int>(Lp / 2);

  const double Hv = vertical_sum(0, pump_node - 1);
  float D = f32(val(T3[design_box::kBoreAfter]));
  const double S = val(T3[design_box::kStrokeAfter]), N = val(T3[design_box::kSpmAfter]);
  const double SF = val(st.Text5), T = val(st.Text4);
  st.dyn_factor = f32(S * N * N / 1790);
  double H = 0;
  const double dp = val(st.Text6[well_box::kTubingPressure]) - val(st.Text6[well_box::kCasingPressure]);
  if (rho_l > 0.6f) H = Hv + 1000 * dp / (kGravityFine * rho_l);
  st.fluid_load = f32(kGravityFine * rho_l * H * kPi14 * (D / 2000.0) * (D / 2000.0));
  float speed = f32(S * N);
  st.pump_friction = Calc_Pf_Pr(speed, st.kin_visc, D);

  double W = st.buoy_factor * ws * vertical_sum(floor_index((Lp - Ls) / 2), pump_node - 1) -
             st.pump_friction;
  auto check = [&](double load, double area) {
    return goodman_check(load, st.fluid_load, area, st.load_factor_up, st.load_factor_down, st.dyn_factor, T, SF);
  };

  int k = 0;
  if (kept_top < 0 && Mutual_Index <= 18) {
    for (int j = 0; j < kTaperSizes; ++j) st.section_len[static_cast<std::size_t>(j)] = 0;
    L3[kSinkerLabel] = Ls > 0 ? check(W, As).percent : std::string();
  } else if (kept_top >= 0) {
    k = kept_top + 1;
    for (int j = k; j < kTaperSizes; ++j) st.section_len[static_cast<std::size_t>(j)] = 0;
    // The edited size shows the stress at its top; the others keep their text, except in the
    // run of a design just loaded, whose stored sections (and sinker bar) all show theirs.
    const bool loaded = st.loaded_design;
    if (loaded) L3[kSinkerLabel] = Ls > 0 ? check(W, As).percent : std::string();
    double b = Lp - Ls;
    for (int j = 0; j <= kept_top; ++j) {
      const auto uj = static_cast<std::size_t>(j);
      st.section_len[uj] = f32(val(T3[static_cast<std::size_t>(kLengthBox[j])]));
      const double t = b - st.section_len[uj];
      W += st.buoy_factor * kRodSizes[uj].weight *
           vertical_sum(floor_index(t / 2), floor_index(b / 2) - 1);
      b = t;
      if (loaded || j == kept_top)
        L3[static_cast<std::size_t>(kStressLabel[j])] =
            st.section_len[uj] > 0 ? check(W, st.rod_area[uj]).percent : std::string();
    }
  } else {
    return DesignOutcome::done;  // 23 and above: the preparation only
  }

  build_taper(k, W, Ls, Lp, T, SF);
  return DesignOutcome::done;
}

void RodDesignEngine::build_taper(int k, double W, double Ls, double Lp, double T, double SF) {
  auto& T3 = st.Text3;
  auto& L3 = st.Label3;
  auto check = [&](double load, double area) {
    return goodman_check(load, st.fluid_load, area, st.load_factor_up, st.load_factor_down, st.dyn_factor, T, SF);
  };
  auto blank = [&](int size) {
    T3[static_cast<std::size_t>(kLengthBox[size])].clear();
    L3[static_cast<std::size_t>(kStressLabel[size])].clear();
  };
  std::string last_pass;  // stress text of the last step that passed
  double x = 0;
  for (;;) {
    x += kStepLen;
    double built = 0;
    for (int j = 0; j < kTaperSizes; ++j) built += st.section_len[static_cast<std::size_t>(j)];
    const double Z = Ls + x + built;
    if (Z > Lp) break;
    const auto uk = static_cast<std::size_t>(k);
    const int n = floor_index((Lp - Z) / 2);
    if (n < 0 || n > kLastNode) break;  // cannot happen once the string was checked against the pump
    W += st.buoy_factor * kRodSizes[uk].weight * st.profile.vert_step[static_cast<std::size_t>(n)];
    const StressCheck c = check(W, st.rod_area[uk]);
    if (c.pass) {
      last_pass = c.percent;
      continue;
    }
    // The size ends at the previous step; the rejected step's load stays in W.
    st.section_len[uk] = f32(x - kStepLen);
    if (st.section_len[uk] > 0) {
      T3[static_cast<std::size_t>(kLengthBox[k])] = num_text_f(st.section_len[uk]);
      L3[static_cast<std::size_t>(kStressLabel[k])] = last_pass;
    } else {
      blank(k);
    }
    if (++k >= kTaperSizes) {
      say("您所选的抽油杆强度不够，请选用更高一级强度的抽油杆！");
      for (int box : kLengthBox) T3[static_cast<std::size_t>(box)].clear();
      return;
    }
    x = 0;
  }
  double below = 0;
  for (int j = 0; j < k; ++j) below += st.section_len[static_cast<std::size_t>(j)];
  const auto uk = static_cast<std::size_t>(k);
  st.section_len[uk] = f32(Lp - Ls - below);
  if (st.section_len[uk] <= kTopSectionLeast) {
    blank(k);
  } else {
    T3[static_cast<std::size_t>(kLengthBox[k])] = num_text_f(st.section_len[uk]);
    L3[static_cast<std::size_t>(kStressLabel[k])] = last_pass;
  }
  for (int j = k + 1; j < kTaperSizes; ++j) blank(j);
}

}  // namespace wb::design
