#include "core/balance/balance_charts.h"

#include <cmath>

#include "core/common/number_text.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr double kDeg = kPi14 / 180;

// Cartesian chart: origin (7, 58) for value 0, 80 mm per stroke, 45 mm per scale.
constexpr double kCartLeft = 7, kCartTop = 13, kCartZero = 58, kCartWidth = 80, kCartHeight = 45;
// Polar chart: centre and outer radius.
constexpr double kPolarX = 127, kPolarY = 36.7, kPolarR = 35;

// Radius of a value on the dial: square-root scale, a negative value on the opposite side.
double polar_radius(float v, double vmax) {
  return v >= 0 ? kPolarR * std::sqrt(v / vmax) : -kPolarR * std::sqrt(-v / vmax);
}

}  // namespace

int power_chart_scale(float largest) {
  // A value beyond any motor's (or not a number, from a damaged record) gives no scale.
  if (!(std::fabs(largest) < 1e6f)) return 0;
  return 25 * static_cast<int>(std::floor(static_cast<double>(largest / 25.0f) + 0.999));
}

void draw_power_chart(Canvas& c, const BalanceState& a, bool show_current, bool show_power) {
  const int n = a.held.gt_num;
  const bool have = a.pps_after.size() >= static_cast<std::size_t>(n) && a.pps12.size() >= static_cast<std::size_t>(n);
  float largest = -9999.0f;
  if (have)
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
      for (float v : {a.iis_after[i], a.iis12[i], a.pps_after[i], a.pps12[i]})
        if (v > largest) largest = v;
  const int vmax = have ? power_chart_scale(largest) : 0;
  const int step = vmax / 5;

  c.set_scale_mm();
  c.back_color = rgb(192, 192, 192);  // the picture's light grey
  c.cls();
  c.fore_color = kBlack;
  c.font = Font{"宋体", 12};
  c.print_at(35, 4, a.held.Cur_Well + " 井平衡分析");
  c.font.size = 10;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;
  for (int j = 0; j <= 6; ++j) {
    const double y = kCartTop + 9 * j;
    c.line(kCartLeft + kCartWidth, y, kCartLeft, y, kBlack);
    c.print_at(kCartLeft - 6, y - 2, num_print(vmax - j * step));
  }
  for (int k = 0; k <= 8; ++k) {
    const double x = kCartLeft + 10 * k;
    c.line(x, kCartTop, x, kCartTop + 54, kBlack);
    c.print_at(x - 4, kCartTop + 54 + 1, num_print(45 * k));
  }
  for (int k = 0; k <= 7; ++k) {
    const double ang = 45 * k * kDeg;
    const double x2 = kPolarX + kPolarR * std::sin(ang), y2 = kPolarY - kPolarR * std::cos(ang);
    c.line(kPolarX - kPolarR * std::sin(ang), kPolarY + kPolarR * std::cos(ang), x2, y2, kBlack);
    c.print_at(x2 - 3, y2 - 1.5, num_print(45 * k));
  }
  for (int k = 1; k <= 5; ++k) c.circle(kPolarX, kPolarY, kPolarR * std::sqrt(k) / std::sqrt(5.0), kBlack);
  if (!have || vmax == 0 || n < 2) return;  // a zero scale draws no curve

  c.draw_style = DrawStyle::Solid;
  const double vm = vmax;
  auto cx = [&](int i) { return kCartLeft + kCartWidth * i / n; };
  auto cy = [&](float v) { return kCartZero - kCartHeight * v / vm; };
  const Rgb white = QBColor(15), red = QBColor(12), blue = QBColor(9), yellow = QBColor(14), cyan = QBColor(11);
  // The curves are drawn a segment of each in turn; the runs keep that order.
  SegmentRuns runs(c);
  for (int i = 1; i < n; ++i) {
    const std::size_t j = static_cast<std::size_t>(i), h = j - 1;
    if (show_current) runs.add(cx(i - 1), cy(a.iis12[h]), cx(i), cy(a.iis12[j]), white);
    if (show_power) runs.add(cx(i - 1), cy(a.pps12[h]), cx(i), cy(a.pps12[j]), white);
    if (show_current) runs.add(cx(i - 1), cy(a.iis_after[h]), cx(i), cy(a.iis_after[j]), red);
    if (show_power) runs.add(cx(i - 1), cy(a.pps_after[h]), cx(i), cy(a.pps_after[j]), blue);
  }
  auto polar = [&](const std::vector<float>& v, int i, Rgb pos, Rgb neg) {
    const std::size_t j = static_cast<std::size_t>(i), h = j - 1;
    const double f0 = 2 * kPi14 * (i - 1) / n, f1 = 2 * kPi14 * i / n;
    const double r0 = polar_radius(v[h], vm), r1 = polar_radius(v[j], vm);
    runs.add(kPolarX + r0 * std::sin(f0), kPolarY - r0 * std::cos(f0), kPolarX + r1 * std::sin(f1),
             kPolarY - r1 * std::cos(f1), v[j] >= 0 ? pos : neg);
  };
  for (int i = 1; i < n; ++i) {
    if (show_current) polar(a.iis12, i, white, white);
    if (show_power) polar(a.pps12, i, white, yellow);
    if (show_current) polar(a.iis_after, i, red, red);
    if (show_power) polar(a.pps_after, i, blue, cyan);
  }
}

}  // namespace wb
