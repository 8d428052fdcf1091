// Design efficiency: the measured input power of the well as produced is split into motor,
// surface, hydraulic, gas-expansion, rod-friction, pump-friction and remaining downhole
// losses; the rod loads give the load factors and stress ratios; the remaining downhole loss
// calibrates a viscous-loss coefficient; the designed operating point is then predicted.
//
// Quantities carried between steps are single precision; each expression is evaluated in
// double. Gravity is kGravityFine (9.81) or kGravity (9.8), as each step has it. A check that fails
// shows its message and ends the procedure; what was written before stays.
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/design/engine/design_messages.h"
#include "core/common/pi.h"
#include "core/design/engine/design_effi.h"
#include "core/design/engine/design_number.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/rod_sizes.h"
#include "core/design/engine/taper_checks.h"

namespace wb::design {

// Values one stage of the design efficiency hands to the next.
struct EffiCarry {
  float S = 0, N = 0, P_in = 0, P_pr = 0, r_rms = 0, F_max = 0, F_min = 0;
  float dPm = 0, dPr_N = 0;
  float T_wh = 0, T_f = 0, GOR = 0, p_t = 0, p_c = 0, rho_l = 0, k_b = 0, H_pv = 0;
  float D_p = 0, F_pf = 0, dPd = 0, D_t = 0, c_v = 0;
  float R_a = 0;  // axial weight of the string in air, kN
  float P_gas = 0, P_hyd = 0;  // kW before the design
  std::array<float, 8> L{}, d{}, w{}, A{};
  std::array<float, 8> Z{};
};

namespace {

constexpr std::array<float, 13> kMotorRatings = {7.5f, 11, 15, 18, 22, 25, 28, 30, 37, 42, 48, 55, 75};  // kW
constexpr double kRodTubingFriction = 0.12;
constexpr float kLeastRmsRatio = 1.12f;  // below it the RMS ratio is taken as 1.2

// Annulus factor of a rod of diameter ratio m in the tubing; empty when it is undefined.
std::optional<double> annulus_factor(double m) {
  if (!(m > 0)) return std::nullopt;
  const double m2 = m * m;
  const double den = (m2 + 1) * std::log(m) - (m2 - 1);
  if (den == 0 || !std::isfinite(den)) return std::nullopt;
  return (m2 - 1) / den;
}

// Size table of the section model: index 1..7 the rod sizes, index 0 the sinker bar found
// for diameter ds (kept as it was when none matches).
void section_sizes(EffiCarry& c, double ds) {
  for (std::size_t i = 1; i < 8; ++i) {
    c.d[i] = f32(kRodSizes[i - 1].dia);
    c.w[i] = f32(kRodSizes[i - 1].weight);
  }
  const int s = sinker_size_index(ds);
  if (s >= 0) {
    c.d[0] = c.d[static_cast<std::size_t>(s) + 1];
    c.w[0] = c.w[static_cast<std::size_t>(s) + 1];
  }
  for (std::size_t i = 0; i < 8; ++i) c.A[i] = f32(kPi14 * (c.d[i] / 2.0) * (c.d[i] / 2.0));
}

std::string pct_text(double num, double den) { return num_text(std::floor(1000 * num / den + 0.5) / 10); }

}  // namespace

float motor_demand(float input_power, float rms_ratio) {
  const double r = rms_ratio < kLeastRmsRatio ? 1.2 : static_cast<double>(rms_ratio);
  return motor_rating(f32(input_power * r * 1.8 / 0.75));
}

int nodes_before_design(double L) { return floor_index(L / 2); }

int nodes_after_design(double L) {
  const double half = std::floor(L + 0.9) / 2;
  return half >= kNodeCount ? kNodeCount : static_cast<int>(round_even(half));
}

float motor_rating(float demand) {
  for (float rating : kMotorRatings) {
    if (rating >= demand) return rating;
  }
  return demand;
}

std::optional<double> RodDesignEngine::vertical_depth(double H) {
  const double last = std::floor(H / 2 + 0.9);
  if (last > kLastNode) {
    say("动液面或泵挂深度超过4000m，无法计算！");
    return std::nullopt;
  }
  return vertical_sum(0, floor_index(last));
}

std::optional<double> RodDesignEngine::PP(float Qy, float Tk, float Td, float Kq, float Pk, float pb) {
  constexpr double n = 1000, T0 = 273.15, P0 = 0.1, h = n / 10000;
  constexpr int kTerms = 10001;
  const double c = P0 * Qy * Kq / T0;
  const double dP = (static_cast<double>(pb) - Pk) / n;
  const double dT = (static_cast<double>(Td) - Tk) / n;
  auto P = [&](double x) { return Pk + x * dP; };
  // The pressure is linear along the way: it stays positive when both ends of the
  // evaluated range (x from −0.1 to 1000) are positive.
  if (!(P(-h) > 0) || !(P(n) > 0)) return std::nullopt;
  auto V = [&](double x) { return c * (Tk + 273.15 + x * dT) / P(x); };
  double sum = 0, x = n;
  for (int i = 0; i < kTerms; ++i) {
    sum += 100000 * P(x) * (V(x - h) - V(x));
    x -= h;
  }
  return sum / 86400000;
}

void RodDesignEngine::DesignEffi(bool before_only) {
  EffiCarry c;
  st.Label3[design_label::kSystemEffBefore].clear();
  st.Label3[design_label::kSystemEffAfter].clear();
  if (before_only) {
    for (int i = well_box::kInputPowerAfter; i <= well_box::kMotorDemandAfter; ++i)
      st.Text6[static_cast<std::size_t>(i)].clear();
  }
  if (!effi_before(c) || !effi_loads(c)) return;
  if (!before_only) effi_after(c);
}

bool RodDesignEngine::effi_before(EffiCarry& c) {
  auto& T6 = st.Text6;
  auto& T3 = st.Text3;
  auto v = [](const std::string& t) { return f32(num_val(t)); };
  auto fail = [&](const char* m) {
    say(m);
    return false;
  };
  c.P_in = v(T6[well_box::kInputPower]);
  if (c.P_in == 0) return fail("“输入功率”不能为0");
  c.P_pr = v(T6[well_box::kRodPower]);
  if (c.P_pr == 0) return fail("“光杆功率”不能为0");
  const float P_rms = v(T6[well_box::kRmsPower]);
  if (P_rms < c.P_in) return fail("均方根功率不能小于输入功率");
  c.r_rms = f32(static_cast<double>(P_rms) / c.P_in);
  c.F_max = v(T6[well_box::kMaxLoad]);
  if (c.F_max == 0) return fail("“最大载荷”不能为0");
  c.F_min = v(T6[well_box::kMinLoad]);
  if (c.F_min == 0) return fail("“最小载荷”不能为0");
  c.S = v(T3[design_box::kStrokeBefore]);
  c.N = v(T3[design_box::kSpmBefore]);
  if (c.S == 0 || c.N == 0) return fail("“冲程、冲次”均不能为0");
  const float P_rated = v(T6[well_box::kMotorRatedPower]);
  if (P_rated == 0) return fail("“额定功率”不能为0");
  float eta_m = v(T6[well_box::kMotorEfficiency]);
  if (eta_m > 1) {
    eta_m = f32(eta_m / 100.0);
    T6[well_box::kMotorEfficiency] = num_text_f(eta_m);
  }
  if (eta_m == 0) return fail("“电机效率”不能为0");

  const float beta = f32(static_cast<double>(P_rms) / P_rated);
  if (beta < 0) return fail("“均方根功率”与“额定功率”不能为负");
  const double S = c.S, N = c.N;
  c.dPm = f32(c.P_in * (1 - eta_m * std::sqrt(static_cast<double>(beta))));
  const float dPl = f32((0.8792 * c.F_max + 1.2402 * c.F_min) * 0.03 * S * N / 1000);
  const float dPr = f32(static_cast<double>(c.P_in) - c.P_pr - dPl - c.dPm);
  c.dPr_N = f32(dPr / N);

  c.T_wh = v(T6[well_box::kWellheadTemp]);
  c.T_f = v(T6[well_box::kLayerTemp]);
  c.GOR = v(T6[well_box::kGasOilRatio]);
  c.p_t = v(T6[well_box::kTubingPressure]);
  if (c.T_wh == 0) return fail("“井口温度”不能为0");
  if (c.T_f == 0) return fail("“地层温度”不能为0");
  if (c.GOR == 0) c.GOR = 50;
  const float f_w = f32(num_val(T6[well_box::kWaterCut]) / 100);
  c.p_c = v(T6[well_box::kCasingPressure]);
  const float rho_o =
      f32((static_cast<double>(v(T6[well_box::kOilDensitySurface])) + v(T6[well_box::kOilDensityDown])) / 2);
  if (rho_o < 0.5f || rho_o > 1.0f) return fail("请正确输入地下及地面原油密度");
  c.rho_l = f32(f_w + static_cast<double>(rho_o) * (1 - f_w));
  if (!(c.rho_l > 0)) return fail("“原油含水率”有误，液体密度不能为0");
  c.k_b = f32((kSteelDensity - c.rho_l) / kSteelDensity);

  const float Q = v(T3[design_box::kRateBefore]);
  if (Q == 0) return fail("原方案中“日产液量”不能为0");
  const auto Hdv = vertical_depth(v(T3[design_box::kLevelBefore]));
  if (!Hdv) return false;
  const float H_dv = f32(*Hdv);
  if (v(T3[design_box::kPumpDepthBefore]) == 0) return fail("“泵深”不能为0");
  const auto Hpv = vertical_depth(v(T3[design_box::kPumpDepthBefore]));
  if (!Hpv) return false;
  c.H_pv = f32(*Hpv);
  float p_i = f32((static_cast<double>(c.H_pv) - H_dv) * c.rho_l * kGravityFine / 1000 + c.p_c);
  const float p_b = v(T6[well_box::kBubblePressure]);
  if (p_b == 0) return fail(kBubblePointZeroText);
  if (p_b < p_i) p_i = p_b;
  const auto gas = PP(Q, c.T_wh, c.T_f, c.GOR, c.p_t, p_i);
  if (!gas) return fail("井口油压及泵口压力必须大于0");
  const float P_gas = f32(std::floor(1000 * *gas + 0.5) / 1000);
  const double rho = c.rho_l;
  const float P_hyd =
      f32(rho * ((static_cast<double>(c.p_t) - c.p_c) / (rho * kGravity) * 1000 + H_dv) * Q * kGravity / 86400);
  T6[well_box::kUsefulPower] = num_text_dec(P_hyd, 2);
  st.Label3[design_label::kSystemEffBefore] = pct_text(P_hyd, c.P_in);

  c.P_gas = P_gas;
  c.P_hyd = P_hyd;
  return effi_sections(c);
}

// Section model before the design, rod-tubing and pump friction, the remaining downhole loss.
bool RodDesignEngine::effi_sections(EffiCarry& c) {
  auto& T3 = st.Text3;
  auto v = [](const std::string& t) { return f32(num_val(t)); };
  auto fail = [&](const char* m) {
    say(m);
    return false;
  };
  const double S = c.S, N = c.N;
  // Section model before the design: sinker bar, 5/8, 3/4, 7/8, 1 and 1-1/8 in.
  const std::array<int, 6> boxes = {design_box::kSinkerLenBefore, design_box::kRods58Before,
                                    design_box::kRods34Before,    design_box::kRods78Before,
                                    design_box::kRods1Before,     design_box::kRods118Before};
  for (std::size_t i = 0; i < 6; ++i) c.L[i] = v(T3[static_cast<std::size_t>(boxes[i])]);
  section_sizes(c, num_val(T3[design_box::kSinkerDiaBefore]));
  const auto& p = st.profile;
  double R_n = 0, R_a = 0;
  int node = 0;
  for (int i = 5; i >= 0; --i) {
    const auto u = static_cast<std::size_t>(i);
    if (!(c.L[u] > 0)) continue;
    const int k = nodes_before_design(c.L[u]);
    if (node + k - 1 > kLastNode) return fail("抽油杆柱总长度超过4000m，无法计算！");
    float X = 0, Z = 0;
    for (int j = node; j < node + k; ++j) {
      const auto uj = static_cast<std::size_t>(j);
      X += f32(std::sqrt(static_cast<double>(p.east_step[uj]) * p.east_step[uj] +
                         static_cast<double>(p.north_step[uj]) * p.north_step[uj]));
      Z += p.vert_step[uj];
    }
    node += k;
    c.Z[u] = Z;
    R_n += static_cast<double>(X) * c.w[u];
    R_a += static_cast<double>(Z) * c.w[u];
  }
  const float Rn = f32(R_n), Ra = f32(R_a);
  const float P_rf = f32(kRodTubingFriction * Rn * 2 * S * N / 60);
  c.D_p = v(T3[design_box::kBoreBefore]);
  float speed = f32(S * N);
  c.F_pf = Calc_Pf_Pr(speed, st.kin_visc, c.D_p);
  const float P_pf = f32(c.F_pf / 2.0 * S * N * 2 / 60);
  c.dPd = f32(static_cast<double>(c.P_pr) - P_rf - P_pf + c.P_gas - c.P_hyd);
  c.R_a = Ra;
  return true;
}

bool RodDesignEngine::effi_loads(EffiCarry& c) {
  auto& T6 = st.Text6;
  auto fail = [&](const char* m) {
    say(m);
    return false;
  };
  const double S = c.S, N = c.N, rho = c.rho_l;
  const float W_r = f32(static_cast<double>(c.k_b) * c.R_a);
  if (W_r == 0) return fail("抽油杆柱重量为0，无法计算载荷系数");
  const float H_l = f32((static_cast<double>(c.p_t) - c.p_c) * 1000 / rho / kGravityFine + c.H_pv);
  const float F_l = f32((c.D_p / 2000.0) * (c.D_p / 2000.0) * kPi14 * H_l * rho * kGravityFine);
  const float F_s = f32(static_cast<double>(W_r) + F_l);
  const float t = f32(N * (S * N) / 1790);
  st.dyn_factor = t;
  const float F_maxc = f32((1 + static_cast<double>(t)) * F_s);
  const float F_minc = f32((1 - static_cast<double>(t)) * W_r);
  if (F_maxc == 0 || F_minc == 0) return fail("冲程、冲次过大，动载系数不能为1");
  float lfu = f32(num_val(T6[well_box::kMaxLoad]) / F_maxc);
  const float lfd = f32(num_val(T6[well_box::kMinLoad]) / F_minc);
  if (lfu < 1) lfu = 1;
  st.load_factor_up = lfu;
  st.load_factor_down = lfd;
  T6[well_box::kLoadFactorUp] = num_text_f(lfu);
  T6[well_box::kLoadFactorDown] = num_text_f(lfd);

  const double T = num_val(st.Text4);
  double F = -static_cast<double>(c.F_pf);
  for (std::size_t i = 0; i < 6; ++i) {
    auto& label = st.Label3[design_label::kStressBefore + i];
    if (!(c.L[i] > 0)) {
      label.clear();
      continue;
    }
    if (c.A[i] == 0) return fail("加重杆直径错误，请重新输入！");
    F += static_cast<double>(c.k_b) * c.Z[i] * c.w[i];
    const double F_x = (F + F_l) * lfu * (1 + static_cast<double>(t));
    const double F_n = F * lfd * (1 - static_cast<double>(t));
    const double s_max = 1000 * F_x / c.A[i], s_min = 1000 * F_n / c.A[i];
    label = stress_percent_text(s_max, T / 4 + 0.5625 * s_min);
  }

  c.D_t = f32(num_val(T6[well_box::kTubingInnerDia]));
  if (c.D_t == 0) return fail("“油管内径”不能为0");
  float G = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    if (!(c.L[i] > 0) || !(c.d[i] > 0)) continue;
    const auto a = annulus_factor(static_cast<double>(c.d[i]) / c.D_t);
    if (!a) return fail("抽油杆直径不能等于油管内径，请检查“油管内径”");
    G = f32(G + c.L[i] * *a);
  }
  if (G == 0) return fail("抽油杆柱长度为0，无法计算粘滞损失");
  c.c_v = f32(c.dPd * 3600.0 / (kPi14 * kPi14 * kPi14 * S * S * N * N * G));
  return true;
}

void RodDesignEngine::effi_after(EffiCarry& c) {
  auto& T6 = st.Text6;
  auto& T3 = st.Text3;
  auto v = [](const std::string& t) { return f32(num_val(t)); };
  const double rho = c.rho_l;
  const float Q = v(T3[design_box::kRateAfter]);
  if (Q == 0) return say("设计后的“日产液量”不能为0");
  const auto Hdv = vertical_depth(v(T3[design_box::kLevelAfter]));
  if (!Hdv) return;
  const float H_dv = f32(*Hdv);
  if (v(T3[design_box::kPumpDepthAfter]) == 0) return say("“泵挂深度”不能为0");
  const auto Hpv = vertical_depth(v(T3[design_box::kPumpDepthAfter]));
  if (!Hpv) return;
  const float H_pv = f32(*Hpv);
  const float P_hyd =
      f32(rho * ((static_cast<double>(c.p_t) - c.p_c) / (rho * kGravity) * 1000 + H_dv) * Q * kGravity / 86400);
  T6[well_box::kUsefulPowerAfter] = num_text_dec(P_hyd, 2);
  float p_i = f32((static_cast<double>(H_pv) - H_dv) * rho * kGravityFine / 1000 + c.p_c);
  const float p_b = v(T6[well_box::kBubblePressure]);
  if (p_i > p_b) p_i = p_b;
  const auto gas = PP(Q, c.T_wh, c.T_f, c.GOR, c.p_t, p_i);
  if (!gas) return say("井口油压及设计后泵口压力必须大于0");
  const float P_gas = f32(std::floor(1000 * *gas + 0.5) / 1000);

  const std::array<int, 6> boxes = {design_box::kSinkerLenAfter, design_box::kRods58After,
                                    design_box::kRods34After,    design_box::kRods78After,
                                    design_box::kRods1After,     design_box::kRods118After};
  for (std::size_t i = 0; i < 6; ++i) c.L[i] = v(T3[static_cast<std::size_t>(boxes[i])]);
  section_sizes(c, num_val(T3[design_box::kSinkerDiaAfter]));
  const float D_raw = v(T3[design_box::kBoreAfter]), L_p = v(T3[design_box::kPumpDepthAfter]);
  const float S1 = v(T3[design_box::kStrokeAfter]), N1 = v(T3[design_box::kSpmAfter]);
  if (L_p <= 0 || D_raw <= 0 || S1 <= 0 || N1 <= 0) return say("设计泵径、泵深及冲程冲次均不能为0！");
  const double S = S1, N = N1;
  const float dPr = f32(static_cast<double>(c.dPr_N) * N);

  const auto& p = st.profile;
  double R_n = 0;
  int node = 0;
  for (int i = 5; i >= 0; --i) {
    const auto u = static_cast<std::size_t>(i);
    if (!(c.L[u] > 0)) continue;
    const int k = nodes_after_design(c.L[u]);
    if (node + k - 1 > kLastNode) return say("抽油杆柱总长度超过4000m，无法计算！");
    float X = 0;
    for (int j = node; j < node + k; ++j) {
      const auto uj = static_cast<std::size_t>(j);
      X += f32(std::sqrt(static_cast<double>(p.east_step[uj]) * p.east_step[uj] +
                         static_cast<double>(p.north_step[uj]) * p.north_step[uj]));
    }
    node += k;
    R_n += static_cast<double>(X) * c.w[u];
  }
  const float P_rf = f32(kRodTubingFriction * f32(R_n) * 2 * S * N / 60);
  float D_p = D_raw;
  float speed = f32(S * N);
  st.pump_friction = Calc_Pf_Pr(speed, st.kin_visc, D_p);
  const float P_pf = f32(st.pump_friction / 2.0 * S * N * 2 / 60);

  // Loads on the measured lengths and the pump depth as entered.
  double wl = 0;
  for (std::size_t i = 0; i < 6; ++i) wl += static_cast<double>(c.w[i]) * c.L[i];
  const float W_r = f32(c.k_b * wl);
  const float H_l = f32((static_cast<double>(c.p_t) - c.p_c) * 1000 / rho / kGravity + L_p);
  const float F_l = f32((D_p / 2000.0) * (D_p / 2000.0) * kPi14 * H_l * rho * kGravity);
  const double t = N * N * S / 1790;
  const float F_maxc = f32((1 + t) * (static_cast<double>(W_r) + F_l));
  const float F_minc = f32((1 - t) * W_r);
  const float k_up = v(T6[well_box::kLoadFactorUp]), k_dn = v(T6[well_box::kLoadFactorDown]);
  st.load_factor_up = k_up < 1 ? 1.0f : k_up;
  st.load_factor_down = k_dn < 0.7f ? 0.7f : k_dn;
  const float Fmax = f32(static_cast<double>(k_up) * F_maxc), Fmin = f32(static_cast<double>(k_dn) * F_minc);
  const float dPl = f32((0.8792 * Fmax + 1.2402 * Fmin) * 0.03 * S * N / 1000);

  float G = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    if (c.d[i] == 0 || c.L[i] == 0) continue;
    const auto a = annulus_factor(static_cast<double>(c.d[i]) / c.D_t);
    if (!a) return say("抽油杆直径不能等于油管内径，请检查“油管内径”");
    G = f32(G + c.L[i] * *a);
  }
  const float dPd = f32((S * N) * (S * N) * kPi5 * kPi5 * kPi5 * c.c_v * G / 3600);
  const float P_in = f32(static_cast<double>(c.dPm) + dPr + dPl + dPd - P_gas + P_hyd + P_rf + P_pf);
  T6[well_box::kInputPowerAfter] = num_text_dec(P_in, 2);
  const float P_pr = f32(static_cast<double>(P_hyd) + dPd + P_rf + P_pf - P_gas);
  T6[well_box::kRodPowerAfter] = num_text_dec(P_pr, 2);
  T6[well_box::kMotorDemandAfter] = num_text_f(motor_demand(P_in, c.r_rms));
  if (P_in == 0) return say("设计后“输入功率”为0，无法计算系统效率");
  st.Label3[design_label::kSystemEffAfter] = pct_text(P_hyd, P_in);
}

}  // namespace wb::design
