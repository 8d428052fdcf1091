#include "core/efficiency/effi_report_charts.h"

#include <algorithm>
#include <cmath>

#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"
#include "core/common/number_text.h"
#include "core/common/wiring.h"

namespace wb {

namespace {

constexpr Rgb kCardColor = rgb(255, 0, 0);         // light red
constexpr Rgb kTheoryColor = rgb(0, 0, 255);       // light blue
constexpr Rgb kVoltageColor = rgb(255, 0, 255);    // light magenta
constexpr Rgb kCurrentColor = rgb(255, 0, 0);      // light red
constexpr Rgb kActiveColor = rgb(0, 0, 255);       // light blue
constexpr Rgb kReactiveColor = rgb(0, 255, 0);     // light green

// Layout units of the card: 7.7 per millimetre across, 5 per millimetre down; the frame
// spans v = 91 (top) to 450 (bottom), load 0 lies at v = 451.
constexpr double kUnitsPerMmX = 7.7;
constexpr double kUnitsPerMmY = 5;
constexpr double kFrameTopV = 91;
constexpr double kZeroLoadV = 451;
constexpr double kFrameTopMm = 18.2;
constexpr double kFrameBottomMm = 90;
constexpr double kRodSlantPerMm = 250;  // metres of rod string per millimetre of slant

constexpr double kPlotW = 160, kPlotZero = 60;  // electric plot: width, top to zero line

double box_value(const EffiBoxTexts& t, std::size_t i) { return num_val(t[i]); }

// The points to draw: the count, limited to what every array holds.
int points(int count, std::initializer_list<std::size_t> sizes) {
  std::size_t n = static_cast<std::size_t>(std::max(count, 0));
  for (std::size_t s : sizes) n = std::min(n, s);
  return static_cast<int>(n);
}

}  // namespace

double prt_sgt(Canvas& c, double xs, double ys, const EffiBoxTexts& Text1, const EffiStroke& stroke) {
  c.font.name = "宋体";
  c.font.size = 10;

  const int n = points(stroke.gt_num, {stroke.sss.size(), stroke.ggs.size()});
  float max_load = 0, d_min = 1000;
  for (int i = 0; i < n; ++i) {
    max_load = std::max(max_load, stroke.ggs[i]);
    d_min = std::min(d_min, stroke.sss[i]);
  }

  const double real_stroke = box_value(Text1, 41);
  const double theo_max = box_value(Text1, 43);
  const double theo_min = box_value(Text1, 44);
  const CardPositionScale ps = card_position_scale(real_stroke);
  const CardLoadScale ls = card_load_scale(std::max<double>(max_load, theo_max));
  const double u = ps.units_per_m;       // layout units per metre of displacement
  const double f = ls.units_per_10kn;    // layout units per 10 kN
  auto x_of = [&](double d) { return xs + u * d / kUnitsPerMmX; };
  auto y_of_load = [&](double load) { return ys + (kZeroLoadV - f * load / 10) / kUnitsPerMmY; };

  // Grid: stroke lines with labels below the frame, load lines with labels to the left.
  c.fore_color = kBlack;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;
  for (int i = 0; i <= ps.divisions; ++i) {
    const double x = x_of(i * ps.step_m);
    c.line(x, ys + kFrameTopMm, x, ys + kFrameBottomMm);
    if (i == 0) continue;
    if (i < ps.divisions)
      c.print_at(x - 2, ys + 91, num_print(i * ps.step_m));
    else
      c.print_at(x - 11, ys + 91, num_print(i * ps.step_m) + "行程(m)");
  }
  for (int i = 0; i < ls.divisions; ++i) {
    const double y = ys + (kFrameTopV + ls.pitch * i) / kUnitsPerMmY;
    c.line(xs + kEffiCardAxisMm, y, xs, y);
    c.print_at(xs - 45 / kUnitsPerMmX, y, num_print(ls.full_kn - ls.step_kn * i));
    // The unit goes inside the frame below the top line, clear of the top tick's number and
    // of the line itself.
    if (i == 0) c.print_at(xs + 1.0, y + ls.pitch / kUnitsPerMmY / 2.0, "负载(kN)");
  }

  c.draw_style = DrawStyle::Solid;
  c.box(xs, ys + kFrameTopMm, xs + kEffiCardAxisMm, ys + kFrameBottomMm);

  // The measured card: the whole stroke, not closed back to its first point.
  if (n > 0) {
    c.fore_color = kCardColor;
    c.draw_width = 3;
    c.pset(x_of(stroke.sss[0] - d_min), y_of_load(stroke.ggs[0]));
    for (int i = 1; i < n; ++i) c.line_to(x_of(stroke.sss[i] - d_min), y_of_load(stroke.ggs[i]));
  }

  // The theoretical card.
  const double rod_len = box_value(Text1, 11) + box_value(Text1, 12) + box_value(Text1, 13) + box_value(Text1, 14);
  const double h = rod_len / kRodSlantPerMm;
  const double s = u * real_stroke / kUnitsPerMmX;
  const double y_hi = y_of_load(theo_max);
  const double y_lo = y_of_load(theo_min);
  c.fore_color = kTheoryColor;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  c.line(xs + h, y_hi, xs + h + s, y_hi);
  c.line(xs, y_lo, xs + s, y_lo);
  c.line(xs + h, y_hi, xs, y_lo);
  c.line(xs + h + s, y_hi, xs + s, y_lo);
  return rod_len;
}

float report_reactive_power(int cs_fs, float current, float voltage, float power) {
  const double k = wiring_factor(cs_fs) / 1000;
  const double s = std::floor(10 * k * current * voltage + 0.5) / 10;
  const double d = s * s - static_cast<double>(power) * power;
  return d > 0 ? static_cast<float>(std::floor(10 * std::sqrt(d) + 0.5) / 10) : 0.0f;
}

void iup_line(Canvas& c, double xx, double yy, EffiStroke& stroke) {
  const int n = points(stroke.iu_num, {stroke.uus.size(), stroke.iis.size(), stroke.pps.size(), stroke.qqs.size()});
  float u_max = 0, i_max = 0, q_max = 0, p_max = 0;
  for (int i = 0; i < n; ++i) {
    stroke.qqs[i] = report_reactive_power(stroke.cs_fs, stroke.iis[i], stroke.uus[i], stroke.pps[i]);
    u_max = std::max(u_max, stroke.uus[i]);
    i_max = std::max(i_max, stroke.iis[i]);
    q_max = std::max(q_max, stroke.qqs[i]);
    p_max = std::max(p_max, stroke.pps[i]);
  }
  const double top1 = electric_power_scale(std::max({0.0f, i_max, q_max, p_max}));
  const double top2 = electric_voltage_scale(u_max, kPageVoltageRounding);

  c.font.size = 10;
  const ElectricFrame g{xx, yy, kPlotW, kPlotZero, 2, 2};
  draw_electric_scale_left(c, g, top1);
  draw_electric_crank_angle_grid(c, g);
  draw_electric_scale_right(c, g, top2);

  auto curve = [&](std::span<const float> a, double top, Rgb color) {
    if (n <= 0 || top == 0) return;  // no voltage data: no voltage scale, no curve
    c.fore_color = color;
    c.draw_width = 2;
    c.draw_style = DrawStyle::Solid;
    c.pset(xx, electric_scale_y(g, a[0], top));
    for (int i = 1; i < n; ++i) c.line_to(xx + kPlotW * i / n, electric_scale_y(g, a[i], top));
  };
  curve(stroke.uus, top2, kVoltageColor);
  curve(stroke.iis, top1, kCurrentColor);
  curve(stroke.pps, top1, kActiveColor);
  curve(stroke.qqs, top1, kReactiveColor);

  c.fore_color = kBlack;
  c.draw_width = 2;
  c.draw_style = DrawStyle::Solid;
  c.box(xx, yy, xx + kPlotW, yy + 72);

  c.draw_width = 1;
  print_electric_legend(c, xx, yy, kReactiveColor, xx + 156);
}

}  // namespace wb
