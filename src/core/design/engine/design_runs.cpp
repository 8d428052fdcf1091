// The automatic and the interactive design runs. The pump hangs below the dynamic fluid
// level of a flowing pressure at the reservoir mid-depth by half the liquid column of the
// pressure between bubble point and casing head (at least 150 m); the bore follows from the
// pump depth; the strokes per minute from the rate, the bore and the stroke, walking down the
// unit's stroke series while they come out below 2.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/common/number_text.h"
#include "core/common/physical.h"
#include "core/common/trim.h"
#include "core/design/engine/design_number.h"
#include "core/design/engine/design_messages.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/trajectory_math.h"
#include "core/records/cyj_mode_catalog.h"

namespace wb::design {
namespace {

constexpr double kLeastSubmergence = 150;  // m
constexpr double kLeastStrokeRate = 2;     // 1/min
constexpr int kStrokeSeriesSize = 7;

double liquid_density(const DesignState& s) {
  const double f = num_val(s.Text6[well_box::kWaterCut]) / 100;
  const double surface = num_val(s.Text6[well_box::kOilDensitySurface]);
  const double down = num_val(s.Text6[well_box::kOilDensityDown]);
  return f + (1 - f) * (surface + down) / 2;
}

std::string trim_blanks(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

void RodDesignEngine::pump_depth_from_level(double h, double Pb, double Pc, double rho, double Dm) {
  double s = std::floor(500 * (Pb - Pc) / (kGravity * rho));
  if (s < kLeastSubmergence) s = kLeastSubmergence;
  double L = h + s;
  if (L > Dm) L = std::floor(Dm);
  L = 2 * std::floor((L + 1) / 2);
  st.Text3[design_box::kPumpDepthAfter] = num_text(L);
}

void RodDesignEngine::bore_from_depth(double L) {
  const int bore = L >= 1900 ? 38 : L >= 1400 ? 44 : L >= 900 ? 56 : 70;
  st.Text3[design_box::kBoreAfter] = std::to_string(bore);
}

bool RodDesignEngine::stroke_series_lookup(bool tell) {
  std::ignore = ensure_cyj_mode_file(folder_);  // one that cannot be created reads as empty: said below
  const auto cat = CyjModeCatalog::read(cyj_mode_path(folder_));
  const CyjModeBlock* b = cat.find(trim_blanks(st.CyjType_Comb));
  if (!b || !b->has_stroke_line || b->strokes.empty()) {
    if (tell) say("未找到该井的抽油机型号或冲程序列，无法界定冲程冲次，请重新选择。");
    return false;
  }
  // A line of more than seven strokes keeps its first seven.
  const int n = std::min<int>(static_cast<int>(b->strokes.size()), kStrokeSeriesSize);
  for (int i = 0; i < n; ++i) st.stroke_series[static_cast<std::size_t>(i)] = b->strokes[static_cast<std::size_t>(i)];
  st.stroke_last = n - 1;
  return true;
}

bool RodDesignEngine::stroke_and_rate(double q, double D, double S, const std::string& S_text, double eta) {
  const double S0 = num_val(st.Text3[design_box::kStrokeBefore]);
  if (!(S0 > 0)) {
    say("设计前“冲程”不能为0");
    return false;
  }
  if (D == 0) {
    say("设计“泵径”不能为0");
    return false;
  }
  double Sp = num_val(st.Text6[well_box::kPlungerStroke]);
  if (Sp < 0.5 || Sp > S0) Sp = 0.85 * S0;
  const double SN = (S0 / Sp) * q / (eta * 1440 * kPi14 * (D / 2000) * (D / 2000));
  auto rate = [&](double stroke) { return std::floor(100 * SN / stroke + 0.5) / 100; };
  if (S == 0) {
    say("冲程为空或为0，无法确定冲次，请重新输入！");
    return false;
  }
  double N = rate(S);
  std::string text = S_text;
  if (N < kLeastStrokeRate && st.stroke_last >= 1) {
    for (int i = st.stroke_last - 1; i >= 0; --i) {
      const std::string& e = st.stroke_series[static_cast<std::size_t>(i)];
      const double Si = num_val(e);
      if (Si == 0) {
        say("冲程序列中有空的或为0的冲程，请检查抽油机型号库！");
        return false;
      }
      S = Si;
      text = e;
      N = rate(S);
      if (N >= kLeastStrokeRate) break;
    }
  }
  st.Text3[design_box::kStrokeAfter] = text;
  st.Text3[design_box::kSpmAfter] = num_text(N);
  return true;
}

DesignOutcome RodDesignEngine::RunAutoDesign() {
  auto v = [&](int i) { return num_val(st.Text6[static_cast<std::size_t>(i)]); };
  const double Pc = v(well_box::kCasingPressure), Pb = v(well_box::kBubblePressure);
  const double Pwf = v(well_box::kFlowingPressure), Pr = v(well_box::kStaticPressure);
  const double J = v(well_box::kProductivity), Dm = v(well_box::kLayerMidDepth);
  if (Pc < 0 || Dm <= 100 || J <= 0 || Pr <= 0 || Pwf <= 0 || Pb <= 0) {
    const char* reason = Pc < 0     ? "套压错误，"
                         : Pb <= 0  ? "饱和压力错误，"
                         : Pwf <= 0 ? "流压资料错误，"
                         : Pr <= 0  ? "静压资料错误，"
                         : J <= 0   ? "采油指数错误，"
                         : Dm <= 0  ? "油层中深错误，"
                                    : "其它数据错误，";
    say(std::string(reason) + "无法进行管柱设计！");
    return DesignOutcome::refused;
  }
  const double q = Pr > Pb ? J * (Pr - Pb) : 0;
  st.Text3[design_box::kRateAfter] = num_text(std::floor(10 * q + 0.5) / 10);
  const double f = num_val(st.Text6[well_box::kWaterCut]) / 100;
  const double rho = liquid_density(st);
  if (rho < 0.7 || rho > 1.2 || f < 0 || f > 1) {
    say("地下原油密度或含水率输入错误，请回油井诊断界面重新输入！");
    return DesignOutcome::refused;
  }
  st.kin_visc = f32(v(well_box::kOilViscosityDown) * 0.01 / rho);
  if (st.kin_visc < 0.01f) {
    say(kViscTooSmallText);
    st.kin_visc = 0.01f;
  } else if (st.kin_visc > 2.0f) {
    say(kViscTooLargeText);
    st.kin_visc = 2.0f;
  }
  const double h = std::floor(Dm - 1000 * (Pb - Pc) / (kGravity * rho) + 0.5);
  st.Text3[design_box::kLevelAfter] = num_text(h);
  pump_depth_from_level(h, Pb, Pc, rho, Dm);
  bore_from_depth(num_val(st.Text3[design_box::kPumpDepthAfter]));
  const double S0 = num_val(st.Text3[design_box::kStrokeBefore]);
  const double Sp = v(well_box::kPlungerStroke);
  if (Sp < 0.5 || Sp > 6) st.Text6[well_box::kPlungerStroke] = num_text(S0);
  const double Se = v(well_box::kEffectiveStroke);
  if (Se < 0.5 || Se > 6) st.Text6[well_box::kEffectiveStroke] = st.Text6[well_box::kPlungerStroke];
  if (!stroke_series_lookup(true)) return DesignOutcome::refused;
  const double eta = num_val(st.Text2);
  if (eta <= 0 || eta > 1) {
    say("输入的设计泵效有错，请重新输入！");
    return DesignOutcome::refused;
  }
  const std::string& S_text = st.stroke_series[static_cast<std::size_t>(st.stroke_last)];
  if (!stroke_and_rate(q, num_val(st.Text3[design_box::kBoreAfter]), num_val(S_text), S_text, eta))
    return DesignOutcome::refused;
  if (DesignRod(18) != DesignOutcome::done) return DesignOutcome::refused;
  DesignFzq();
  return DesignOutcome::done;
}

bool RodDesignEngine::refuse_box(const std::optional<DesignBoxRefusal>& bad) {
  if (!bad) return false;
  msg_.show(bad->message, kBoxRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
  switch (bad->array) {
    case DesignBoxArray::Text3: st.text3_focus = bad->box; st.other_focus = 0; break;
    case DesignBoxArray::Text2: st.text3_focus = -1; st.other_focus = 2; break;
    case DesignBoxArray::Text4: st.text3_focus = -1; st.other_focus = 4; break;
    case DesignBoxArray::Text5: st.text3_focus = -1; st.other_focus = 5; break;
    case DesignBoxArray::Text6: st.text3_focus = -1; st.other_focus = 0; st.text6_focus = bad->box; break;
  }
  return true;
}

void RodDesignEngine::DesignForMutual(int Mutual_Index) {
  if (trim_blanks(st.CyjType_Comb).empty()) {
    say("抽油机型号必须填写");
    return;
  }
  if (Mutual_Index < 12) return;
  if (refuse_box(check_design_run_boxes(st, Mutual_Index))) return;
  auto v = [&](int i) { return num_val(st.Text6[static_cast<std::size_t>(i)]); };
  auto& T3 = st.Text3;
  const double Pc = v(well_box::kCasingPressure), Pb = v(well_box::kBubblePressure);
  const double Pr = v(well_box::kStaticPressure), J = v(well_box::kProductivity), Dm = v(well_box::kLayerMidDepth);
  const double rho = liquid_density(st);
  if (Mutual_Index <= 13 && !(rho > 0)) {
    say("液体密度不能为0，请检查原油密度及含水率");
    return;
  }
  if (Mutual_Index == 12) {
    const double q = num_val(T3[design_box::kRateAfter]);
    if (J == 0 || Pb == 0) {
      say(J == 0 ? "“采油指数”不能为0" : kBubblePointZeroText);
      return;
    }
    const double q_max = J * (Pr - Pb) + J * Pb / 1.8;
    if (q > q_max) {
      say(kRateTooHighText);
      T3[design_box::kRateAfter] = num_text(std::floor(10 * q_max) / 10);
      st.text3_focus = 12;
      return;
    }
    const double q_b = J * (Pr - Pb);
    double Pwf;
    if (q <= q_b) {
      Pwf = Pr - q / J;
    } else {
      const double c = 1 - 1.8 * (q - q_b) / (J * Pb);
      Pwf = Pb * (std::sqrt(0.04 + 3.2 * c) - 0.2) / 1.6;
    }
    T3[design_box::kLevelAfter] = num_text(std::floor(Dm - 1000 * (Pwf - Pc) / (kGravity * rho) + 0.5));
  }
  if (Mutual_Index <= 13) pump_depth_from_level(num_val(T3[design_box::kLevelAfter]), Pb, Pc, rho, Dm);
  if (Mutual_Index <= 14) {
    const double L = 2 * std::floor((num_val(T3[design_box::kPumpDepthAfter]) + 1) / 2);
    T3[design_box::kPumpDepthAfter] = num_text(L);
    bore_from_depth(L);
  }
  if (Mutual_Index <= 15) {
    if (!stroke_series_lookup(true)) return;
    T3[design_box::kStrokeAfter] = st.stroke_series[static_cast<std::size_t>(st.stroke_last)];
  }
  if (Mutual_Index <= 16) {
    const double q = num_val(T3[design_box::kRateAfter]);
    T3[design_box::kPumpDepthAfter] = num_text(2 * std::floor((num_val(T3[design_box::kPumpDepthAfter]) + 1) / 2));
    const double eta = num_val(st.Text2);
    if (eta <= 0 || eta > 1) {
      say("输入的设计泵效有错，请重新输入！");
      return;
    }
    // The walk uses this model's series; without one the typed stroke stands.
    if (Mutual_Index == 16 && !stroke_series_lookup(false)) st.stroke_last = -1;
    const std::string S_text = T3[design_box::kStrokeAfter];
    if (!stroke_and_rate(q, num_val(T3[design_box::kBoreAfter]), num_val(S_text), S_text, eta)) return;
  }
  T3[design_box::kBackOffAfter] =
      num_text(num_val(T3[design_box::kPumpDepthAfter]) - num_val(T3[design_box::kSinkerLenAfter]));
  if (DesignRod(Mutual_Index) != DesignOutcome::done) return;
  DesignFzq();
  DesignEffi();
}

void RodDesignEngine::DesignCom_Click() {
  if (refuse_box(check_design_run_boxes(st, 0))) return;
  // A survey that cannot be read would be designed as a vertical well; the user was told.
  if (Get_JXdat() == DesignOutcome::failed) return;
  CalcTrajectory();
  const bool ran = RunAutoDesign() == DesignOutcome::done;
  DesignEffi(!ran);
  if (st.Grid2.rows() < 2) st.Grid2.set_rows(2);
}

}  // namespace wb::design
