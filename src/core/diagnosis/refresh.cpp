#include "core/diagnosis/refresh.h"

#include <algorithm>
#include <tuple>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/common/file_read.h"
#include "core/common/periodic_spline.h"
#include "core/common/physical.h"
#include "core/common/pi.h"
#include "core/common/trim.h"
#include "core/diagnosis/rod_string.h"

namespace wb {

namespace {

using Stroke = std::array<double, kStrokePoints>;

constexpr int kPositionTerms = 7;          // ss_* 0..6
constexpr int kLoadTerms = 30;             // gg_* 0..29
constexpr double kLoadStep = 100;          // max_load units per kN
constexpr float kMeanStep = 2;             // gg_cos(0) is twice the mean: +2 is +1 kN
constexpr double kScaleFactor = 1.02;
constexpr double kRodModulusCm = 2100000;  // kgf/cm2
constexpr double kTubingStretch = 24465000;
constexpr float kDensityLow = 0.5f, kDensityHigh = 1.2f;
constexpr double kEfficiencyFactor = 4523.893421169298;  // 1440*pi
constexpr double kPumpShift = 6;  // m: pump displacement 6 - position, then from its lowest point
constexpr double kZeroLoadY = 451;
constexpr float kPlotWidth = 600;
constexpr float kMaxStrokeAxis = 100;  // m: an absurd stroke loss stops here

int mod72(long long j) { return static_cast<int>(((j % kStrokePoints) + kStrokePoints) % kStrokePoints); }

bool same_well(const DiagnosisState& st) {
  return trim_blanks(st.Text1[diag_box::kWell]) == trim_blanks(st.Bgt_Rec.card.well_name);
}

// The load buttons act on the current card; a "＋" or "－" whose maximum would not fit its
// 16-bit field is refused (nothing changes).
void apply_button(DiagnosisState& st, int index) {
  SgtRecord& card = st.Bgt_Rec.card;
  switch (index) {
    case kRefresh:
      // A library without the well's card leaves the current card.
      if (!same_well(st)) std::ignore = Load_SGT(st, st.Sgt_Path);
      break;
    case kLoadUp:
    case kLoadDown: {
      const double sign = index == kLoadUp ? 1 : -1;
      if (auto v = to_i16(card.max_load + sign * kLoadStep)) {
        card.max_load = *v;
        card.gg_cos[0] += static_cast<float>(sign) * kMeanStep;
      }
      break;
    }
    case kLoadTimes:
    case kLoadDivide:
      for (int k = 0; k < kLoadTerms; ++k) {
        if (index == kLoadTimes) {
          card.gg_cos[k] = static_cast<float>(card.gg_cos[k] * kScaleFactor);
          card.gg_sin[k] = static_cast<float>(card.gg_sin[k] * kScaleFactor);
        } else {
          card.gg_cos[k] = static_cast<float>(card.gg_cos[k] / kScaleFactor);
          card.gg_sin[k] = static_cast<float>(card.gg_sin[k] / kScaleFactor);
        }
      }
      break;
    default:
      break;
  }
}

// One stroke at 72 points from the card's coefficients (displacement m, load kN).
void rebuild_stroke(const SgtRecord& card, Stroke& s, Stroke& g) {
  const double w = kTwoPi5 / kStrokePoints;
  for (int i = 0; i < kStrokePoints; ++i) {
    double sv = card.ss_cos[0] / 2.0;
    for (int k = 1; k < kPositionTerms; ++k)
      sv += card.ss_sin[k] * std::sin(k * i * w) + card.ss_cos[k] * std::cos(k * i * w);
    double gv = card.gg_cos[0] / 2.0;
    for (int k = 1; k < kLoadTerms; ++k)
      gv += card.gg_sin[k] * std::sin(k * i * w) + card.gg_cos[k] * std::cos(k * i * w);
    s[i] = sv;
    g[i] = gv;
  }
}

// The stored extremes only widen; a value that does not fit its 16-bit field is not stored.
void widen_extremes(SgtRecord& card, const Stroke& s, const Stroke& g) {
  for (int i = 0; i < kStrokePoints; ++i) {
    if (s[i] > card.real_stroke / 1000.0)
      if (auto v = to_i16(1000 * s[i])) card.real_stroke = *v;
    if (g[i] > card.max_load / 100.0)
      if (auto v = to_i16(100 * g[i])) card.max_load = *v;
    if (g[i] < card.min_load / 100.0)
      if (auto v = to_i16(100 * g[i])) card.min_load = *v;
  }
}

bool density_ok(float rho) { return rho > kDensityLow && rho < kDensityHigh; }

struct StaticLoads {
  double W_r = 0;      // rod string in liquid, kN
  double F_full = 0;   // maximum static load with a full liquid column, kN
  double F_level = 0;  // maximum static load by fluid level, kN
  double loss = 0;     // stroke loss, m
  double B = 0;        // buoyancy of the rods, kN
};

StaticLoads static_loads(const DiagnosisState& st, float rho, float D, float H_p) {
  const double H_d = st.box(diag_box::kFluidLevel);
  const double p_t = st.box(diag_box::kTubingPressure);
  const double p_c = st.box(diag_box::kCasingPressure);
  StaticLoads r;
  double weight = 0, rod_len = 0, compliance = 0;
  for (int i = 0; i <= 5; ++i) {
    weight += st.Size_Wt[i] * st.Size_Len[i] * (kSteelDensity - rho) / kSteelDensity;
    rod_len += st.Size_Len[i];
    if (st.Size_Dia[i] > 0) {
      const double r_cm = st.Size_Dia[i] / 20;
      compliance += st.Size_Len[i] / (std::numbers::pi * r_cm * r_cm);
    }
  }
  r.W_r = round_dec(weight, 2);
  const double A = std::numbers::pi * (D / 2000.0) * (D / 2000.0);  // m2
  r.F_full = round_dec(r.W_r + A * rho * 1000 * rod_len * kGravity / 1000, 2);
  r.F_level = round_dec(r.W_r + A * rho * 1000 * (H_d + 100 * (p_t - p_c) / rho) * kGravity / 1000, 2);
  const float W_f = static_cast<float>(A * H_p * rho * 1000);  // kg
  const double rod_stretch = (W_f / kRodModulusCm) * compliance;
  const double tubing_stretch = H_p * W_f / kTubingStretch;
  r.loss = rod_stretch + tubing_stretch;
  r.B = r.W_r * rho / (kSteelDensity - rho);
  return r;
}

}  // namespace

StrokeScale stroke_scale_for(float l) {
  float top = 3;
  if (l > 3) top = std::isfinite(l) ? std::min(std::ceil(l), kMaxStrokeAxis) : kMaxStrokeAxis;
  return {top, kPlotWidth / top};
}

LoadScale load_scale_for(float h) {
  if (h <= 30) return {10, 3, 30, 36, 120};
  if (h <= 40) return {8, 5, 40, 45, 90};
  if (h <= 60) return {12, 5, 60, 30, 60};
  if (h <= 80) return {8, 10, 80, 45, 45};
  if (h <= 100) return {10, 10, 100, 36, 36};
  return {12, 10, 120, 30, 30};
}

double effective_stroke(const Stroke& gt_s, const Stroke& gt_f, double top) {
  int b = 0, t = 0;
  for (int i = 0; i < kStrokePoints; ++i) {
    if (gt_s[i] == 0) b = i;
    if (gt_s[i] == top) t = i;
  }
  if (b > 70) b = 0;
  const long long first = round_even(t + 0.05 * (t - b));
  long long last = round_even(b + kStrokePoints - 0.15 * (t - b));
  double f_min = 999;
  std::optional<long long> j_min;
  for (long long j = last; j >= first; --j) {
    if (gt_f[mod72(j)] < f_min) {
      f_min = gt_f[mod72(j)];
      j_min = j;
    }
  }
  if (j_min && last - *j_min > 2) last = round_even(static_cast<double>(last) - static_cast<double>(last - *j_min) / 2);

  // The segment reversed, so that displacement increases; points that do not increase it
  // are left out (the spline needs strictly increasing abscissae).
  std::vector<double> X, Y;
  for (long long j = last; j >= first; --j) {
    const double x = gt_s[mod72(j)];
    if (X.empty() || x > X.back()) {
      X.push_back(x);
      Y.push_back(gt_f[mod72(j)]);
    }
  }
  if (X.empty()) return 0;
  const int n = static_cast<int>(X.size());
  if (n < 4) return X[0];
  std::vector<double> dy(n), ddy(n), z(n), dz(n), ddz(n), s(n);
  const SplineResult r = gspl3<double, int>(X, Y, n, dy, ddy, X, n, z, dz, ddz, s);
  if (r.failure == SplineFailure::too_few_points || r.failure == SplineFailure::table_not_increasing ||
      r.failure == SplineFailure::table_array_short)
    return X[0];
  int k_star = 0;
  double best = -999;
  for (int k = 2; k <= n - 2; ++k) {
    if (ddy[k] > best) {
      best = ddy[k];
      k_star = k;
    }
  }
  return X[k_star];
}

bool Load_SGT(DiagnosisState& st, const std::filesystem::path& gt_filename) {
  const ReadableFile in(gt_filename);
  if (!in) return false;
  const std::string well = trim_blanks(st.Text1[diag_box::kWell]);
  const std::uint64_t records = in.size() / kSgtRecordSize;
  Bytes rec(kSgtRecordSize);
  SgtRecord card;
  for (std::uint64_t r = 0; r < records; ++r) {
    if (!in.read_at(r * kSgtRecordSize, rec) || !card.decode(rec)) return false;
    if (trim_blanks(card.well_name) == well) {
      st.Bgt_Rec.card = card;
      return true;
    }
  }
  return false;
}

RefreshOutcome Cmd_Ref_Com_Click(DiagnosisState& st, int index, MessageService& messages, Canvas* picture) {
  RefreshOutcome out;
  auto clear_picture = [picture] {
    if (!picture) return;
    set_scale_points(*picture);
    picture->cls();
  };
  clear_picture();
  // Nothing is computed or drawn from a box that cannot hold what it says.
  if (auto bad = check_box_limits(st.Text1, kRefreshBoxLimits)) {
    messages.show(bad->message, kBoxRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
    st.focus_request = bad->box;
    st.CardPlot = DiagnosisChart{};
    out.end = RefreshEnd::box_refused;
    return out;
  }
  apply_button(st, index);

  SgtRecord& card = st.Bgt_Rec.card;
  Stroke surf_s{}, surf_f{};
  rebuild_stroke(card, surf_s, surf_f);
  DiagnosisChart& plot = st.CardPlot;
  for (int i = 0; i < kStrokePoints; ++i) {
    plot.surf_s[i] = static_cast<float>(surf_s[i]);
    plot.surf_f[i] = static_cast<float>(surf_f[i]);
  }
  widen_extremes(card, surf_s, surf_f);
  const double S = card.real_stroke / 1000.0;
  st.Text5 = num_text(card.max_load / 100.0);
  st.Text6 = num_text(card.min_load / 100.0);

  if (!same_well(st)) {
    plot = DiagnosisChart{};
    out.end = RefreshEnd::other_well;
    return out;
  }
  st.refreshed_card = card;

  float rho = static_cast<float>(st.box(diag_box::kOilDensityDownhole));
  if (!density_ok(rho)) {
    st.set_box(diag_box::kOilDensityDownhole, st.Text1[diag_box::kOilDensitySurface]);
    rho = static_cast<float>(st.box(diag_box::kOilDensityDownhole));
    if (!density_ok(rho)) {
      messages.show(kDensityMessage, "");
      st.density_err = 1;
      st.focus_request = diag_box::kOilDensityDownhole;
      plot = DiagnosisChart{};
      out.end = RefreshEnd::density_refused;
      return out;
    }
  }

  const float D = static_cast<float>(st.box(diag_box::kBore));
  const float H_p = static_cast<float>(st.box(diag_box::kPumpDepth));
  fill_rod_table(st);
  if (const int k = sinker_size(st); k > 0) {
    st.Size_Dia[0] = st.Size_Dia[k];
    st.Size_Wt[0] = st.Size_Wt[k];
  }
  const StaticLoads sl = static_loads(st, rho, D, H_p);

  clear_picture();
  const StrokeScale ss = stroke_scale_for(static_cast<float>(sl.loss + S));
  const LoadScale ls = load_scale_for(std::max(static_cast<float>(sl.F_full), static_cast<float>(card.max_load / 100.0)));

  get_yjcs(st);
  out.pump = get_bgt(st, surf_s, surf_f, messages);
  Stroke pump_s{}, pump_f{};
  const bool have_pump = out.pump == PumpCardRun::computed;
  if (have_pump) {
    double hi = -9999, lo = 9999;
    for (int i = 0; i < kStrokePoints; ++i) {
      pump_s[i] = kPumpShift - st.Bgt_Pos[i];
      pump_f[i] = st.Bgt_Load[i];
      if (pump_s[i] > hi) hi = pump_s[i];
      if (pump_s[i] < lo) lo = pump_s[i];
    }
    st.set_box(diag_box::kPlungerStroke, result_text(hi - lo, 2));
    for (double& v : pump_s) v -= lo;
    st.set_box(diag_box::kEffectiveStroke, result_text(effective_stroke(pump_s, pump_f, hi - lo), 2));
    const double Q = st.box(diag_box::kLiquid);
    const double N = st.box(diag_box::kSpm);
    const double S_e = st.box(diag_box::kEffectiveStroke);
    const double eta = Q / (kEfficiencyFactor * (D / 2000.0) * (D / 2000.0) * N * S_e);
    st.set_box(diag_box::kPumpEfficiency, result_text(eta, 3));
  } else {
    // No pump card of this test: nothing is derived from an older one.
    st.set_box(diag_box::kPumpEfficiency, "");
  }

  plot.x_loss = static_cast<float>(ss.stroke_scale * sl.loss);
  plot.x_stroke = static_cast<float>(ss.stroke_scale * S);
  plot.x_stroke_less_loss = static_cast<float>(ss.stroke_scale * (S - sl.loss));
  plot.y_load_level = static_cast<float>(kZeroLoadY - ls.load_scale * sl.F_level / 10);
  plot.y_load_full = static_cast<float>(kZeroLoadY - ls.load_scale * sl.F_full / 10);
  plot.y_rod_weight = static_cast<float>(kZeroLoadY - ls.load_scale * sl.W_r / 10);
  plot.y_buoyancy = static_cast<float>(kZeroLoadY + ls.load_scale * sl.B / 10);
  plot.set_mapping(kScreenChartMapping);
  plot.load_divs = ls.load_divs;
  plot.load_step = ls.load_step;
  plot.load_max = ls.load_max;
  plot.grid_step = ls.grid_step;
  plot.load_scale = ls.load_scale;
  plot.stroke_max = ss.stroke_max;
  plot.stroke_scale = ss.stroke_scale;
  plot.pump_s.fill(0);
  plot.pump_f.fill(0);
  for (int i = 0; have_pump && i < kStrokePoints; ++i) {
    plot.pump_s[i] = static_cast<float>(pump_s[i]);
    plot.pump_f[i] = static_cast<float>(pump_f[i]);
  }
  plot.surface_valid = true;
  plot.pump_valid = have_pump;
  if (picture) Draw_Gt_Bgt(plot, *picture);
  out.end = RefreshEnd::drawn;
  return out;
}

}  // namespace wb
