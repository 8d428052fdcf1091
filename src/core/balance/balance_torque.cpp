#include "core/balance/balance_torque.h"

#include <cmath>

#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr double kMinStrokeHarmonic = 0.5;  // m: a smaller first harmonic is no card
constexpr float kDriveAllowance = 0.9f;     // divides the rod power before the ratio to the input power
constexpr double kCartLeft = 7, kCartTop = 13, kCartZero = 40, kCartHalf = 27, kCartWidth = 80;
constexpr double kPolarX = 127, kPolarY = 36.7, kPolarR = 35;

double signed_radius(float v, double vmax) {
  return v >= 0 ? kPolarR * std::sqrt(v / vmax) : -kPolarR * std::sqrt(-v / vmax);
}

}  // namespace

float torque_chart_scale(float largest) {
  if (!(std::fabs(largest) < 1e6f)) return 0;  // not a torque (a damaged record): no scale
  return static_cast<float>(std::floor(static_cast<double>(largest / 3.0f) + 0.999) * 3);
}

TorqueAnalysis compute_torques(BalanceState& a, float rated_torque) {
  TorqueAnalysis t;
  t.Rated_Twist = rated_torque;
  const HeldStroke& h = a.held;
  const int n = h.gt_num;
  if (n < kBalanceMinPoints || a.pps12.size() < static_cast<std::size_t>(n) ||
      a.pps_after.size() < static_cast<std::size_t>(n))
    return t;
  const std::size_t size = static_cast<std::size_t>(n) + 1;
  a.S_Cos.fill(0.0f);
  a.S_Sin.fill(0.0f);
  Fourier_Coef(h.sss.data(), static_cast<std::int16_t>(n), 6, a.S_Cos.data(), a.S_Sin.data());
  if (std::sqrt(static_cast<double>(a.S_Sin[1]) * a.S_Sin[1] + static_cast<double>(a.S_Cos[1]) * a.S_Cos[1]) <
      kMinStrokeHarmonic)
    return t;
  t.drawn = true;

  std::array<float, 7> dc{}, ds{};
  for (std::size_t k = 0; k <= 5; ++k) {
    dc[k] = static_cast<float>(k) * a.S_Sin[k];
    ds[k] = -static_cast<float>(k) * a.S_Cos[k];
  }
  std::vector<float> factor(size, 0.0f), load_bdc(size, 0.0f);
  Fourier_Synth(factor.data(), static_cast<std::int16_t>(n), 6, dc.data(), ds.data());
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) load_bdc[i] = h.ggs[i] * factor[i];

  // Double precision: the torque report's rod power and efficiency were established so.
  const double work = loop_work_double(h.sss, h.ggs, n);  // kJ per stroke
  t.Rod_P = static_cast<float>(round_dec(card_power_kw(work, n), 2));
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += h.pps[static_cast<std::size_t>(i)];
  t.Avg_P = static_cast<float>(round_dec(sum / n, 2));
  t.Trans_Effi = t.Avg_P != 0 ? t.Rod_P / kDriveAllowance / t.Avg_P : 0.0f;
  if (!(t.Trans_Effi >= 0.5f && t.Trans_Effi <= 0.9f)) t.Trans_Effi = 0.9f;
  const double spm = round_dec(strokes_per_minute(n), 2);
  t.Crank_Omega = static_cast<float>(2 * kPi14 * spm / 60);

  t.Load_Twist.assign(size, 0.0f);
  t.Net_Twist.assign(size, 0.0f);
  t.Net_Twist_After.assign(size, 0.0f);
  t.Bal_Twist.assign(size, 0.0f);
  t.Bal_Twist_After.assign(size, 0.0f);
  for (int i = 0; i < n; ++i) {
    const std::size_t j = static_cast<std::size_t>(i);
    // The load torque turned into the 12-o'clock frame, as the power curves were.
    t.Load_Twist[j] = load_bdc[static_cast<std::size_t>(((i - a.shift12) % n + n) % n)];
    t.Net_Twist[j] = t.Trans_Effi * a.pps12[j] / t.Crank_Omega;
    t.Net_Twist_After[j] = t.Trans_Effi * a.pps_after[j] / t.Crank_Omega;
  }
  std::array<float, 7> nc{}, ns{}, ac{}, as{}, lc{}, ls{}, bc{}, bs{}, bac{}, bas{};
  Fourier_Coef(t.Net_Twist.data(), static_cast<std::int16_t>(n), 6, nc.data(), ns.data());
  Fourier_Coef(t.Net_Twist_After.data(), static_cast<std::int16_t>(n), 6, ac.data(), as.data());
  Fourier_Coef(t.Load_Twist.data(), static_cast<std::int16_t>(n), 6, lc.data(), ls.data());
  for (std::size_t k = 1; k <= 5; ++k) {
    bc[k] = nc[k] - lc[k];
    bs[k] = ns[k] - ls[k];
    bac[k] = ac[k] - lc[k];
    bas[k] = as[k] - ls[k];
  }
  Fourier_Synth(t.Bal_Twist.data(), static_cast<std::int16_t>(n), 6, bc.data(), bs.data());
  Fourier_Synth(t.Bal_Twist_After.data(), static_cast<std::int16_t>(n), 6, bac.data(), bas.data());

  float largest = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
    for (float v : {t.Load_Twist[i], t.Bal_Twist[i], t.Bal_Twist_After[i]}) largest = std::max(largest, std::fabs(v));
  t.Twist_Max = torque_chart_scale(largest);
  t.step = static_cast<int>(std::floor(t.Twist_Max / 3));
  return t;
}

void draw_torque_chart(Canvas& c, const TorqueAnalysis& t, const std::string& well, const TorqueSwitches& show) {
  c.set_scale_mm();
  c.back_color = rgb(192, 192, 192);
  c.cls();
  if (!t.drawn) return;
  c.fore_color = kBlack;
  c.font = Font{"宋体", 12};
  c.print_at(35, 4, well + " 井扭矩分析");
  c.font.size = 10;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;
  for (int k = 0; k <= 6; ++k) {
    const double y = kCartTop + 9 * k;
    c.line(kCartLeft + kCartWidth, y, kCartLeft, y, kBlack);
    c.print_at(1, y - 2, num_text_f(t.Twist_Max - static_cast<float>(k * t.step)));
  }
  for (int k = 0; k <= 8; ++k) {
    const double x = kCartLeft + 10 * k;
    c.line(x, kCartTop, x, kCartTop + 54, kBlack);
    c.print_at(x - 4, 68, num_text(45 * k));
  }
  const int n = static_cast<int>(t.Load_Twist.size()) - 1;
  const double vmax = t.Twist_Max;
  c.draw_style = DrawStyle::Solid;
  if (vmax > 0) {
    auto cx = [&](int j) { return kCartLeft + kCartWidth * j / n; };
    auto cy = [&](float v) { return kCartZero - kCartHalf * v / vmax; };
    std::vector<CanvasPoint> pts;
    auto curve = [&](const std::vector<float>& v, Rgb col) {
      pts.clear();
      for (int i = 0; i < n; ++i) pts.push_back({cx(i), cy(v[static_cast<std::size_t>(i)])});
      c.polyline(pts, col);
    };
    if (show.net) {
      curve(t.Net_Twist, kWhite);
      curve(t.Net_Twist_After, kRed);
    }
    if (show.load) curve(t.Load_Twist, kBlue);
    if (show.balance) {
      curve(t.Bal_Twist, kWhite);
      curve(t.Bal_Twist_After, kMagenta);
    }
    const double dy = kCartHalf * t.Rated_Twist / vmax;
    c.line(kCartLeft, kCartZero - dy, kCartLeft + kCartWidth, kCartZero - dy, kYellow);
    c.line(kCartLeft, kCartZero + dy, kCartLeft + kCartWidth, kCartZero + dy, kYellow);
  }
  c.draw_style = DrawStyle::Dot;
  for (int k = 0; k <= 7; ++k) {
    const double ang = 45 * k * kPi14 / 180;
    const double x2 = kPolarX + kPolarR * std::sin(ang), y2 = kPolarY - kPolarR * std::cos(ang);
    c.line(kPolarX - kPolarR * std::sin(ang), kPolarY + kPolarR * std::cos(ang), x2, y2, kBlack);
    c.print_at(x2 - 3, y2 - 1.5, num_text(45 * k));
  }
  for (int k = 1; k <= 5; ++k) c.circle(kPolarX, kPolarY, kPolarR * std::sqrt(k / 5.0), kBlack);
  c.draw_style = DrawStyle::Solid;
  if (vmax <= 0) return;
  auto polar = [&](const std::vector<float>& v, Rgb pos, Rgb neg) {
    SegmentRuns runs(c);
    for (int i = 1; i < n; ++i) {
      const float v0 = v[static_cast<std::size_t>(i - 1)], v1 = v[static_cast<std::size_t>(i)];
      const double f0 = 2 * kPi14 * (i - 1) / n, f1 = 2 * kPi14 * i / n;
      const double r0 = signed_radius(v0, vmax), r1 = signed_radius(v1, vmax);
      runs.add(kPolarX + r0 * std::sin(f0), kPolarY - r0 * std::cos(f0), kPolarX + r1 * std::sin(f1),
               kPolarY - r1 * std::cos(f1), v1 >= 0 ? pos : neg);
    }
  };
  if (show.net) polar(t.Net_Twist, kWhite, kWhite);
  if (show.load) polar(t.Load_Twist, kBlue, kGreen);
  if (show.net) polar(t.Net_Twist_After, kRed, kCyan);
  if (t.Rated_Twist >= 0) c.circle(kPolarX, kPolarY, kPolarR * std::sqrt(t.Rated_Twist / vmax), kYellow);
}

}  // namespace wb
