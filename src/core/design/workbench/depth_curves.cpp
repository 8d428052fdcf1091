#include "core/design/workbench/depth_curves.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb::design {

namespace {

constexpr double kRightMargin = 5.0;    // mm
constexpr double kBottomMargin = 5.0;   // mm
constexpr double kDegPerRad = 57.3;     // the slope panel's conversion
constexpr double kLabelsPt = 9.0;       // picture font, points
constexpr Rgb kNavy = 0x000080;
constexpr Rgb kDarkGreen = 0x008000;
constexpr Rgb kOlive = 0x808000;

int clamp_last(int last_node) { return std::clamp(last_node, 0, kLastNode); }

// A number as the labels show it: the print form (a blank for the sign of a non-negative
// number, no zero before the point).
std::string label(double v) { return num_print(v == 0.0 ? 0.0 : v); }

// The print form without its sign blank.
std::string bare(const std::string& print_form) {
  return !print_form.empty() && print_form.front() == ' ' ? print_form.substr(1) : print_form;
}

// Entry k of the force and dogleg arrays for node i; empty beyond the arrays.
std::optional<int> entry_of(const DepthProfile& p, int i) {
  const double k = std::floor(static_cast<double>(p.node_depth[static_cast<std::size_t>(i)]) / 2.0);
  if (!(k >= 0 && k <= kLastNode)) return std::nullopt;
  return static_cast<int>(k);
}

struct Plot {
  double x0, y0, W, H, PW;
  double nd0;          // depth of node 0, m
  double depth_scale;  // m per mm; 0 when no depth can be drawn
  double y_of(double depth) const { return y0 + (depth - nd0) / depth_scale; }
};

struct Panel {
  double o;               // zero line, mm
  Rgb color;
  int vmax_last;          // nodes 0..vmax_last give the scale
  int curve_last;         // nodes 1..curve_last are drawn
  bool tenths;            // tick steps below 1 in tenths
  double label_dx;        // label's left edge left of its tick, mm
  bool negative_ticks;    // ticks on the negative half-axis too
  double unit;            // values are divided by this for the scale and the labels
};

using ValueOf = std::function<std::optional<double>(int)>;

double largest(int last, const ValueOf& v) {
  double vmax = 0.0;
  for (int i = 0; i <= last; ++i) {
    const auto x = v(i);
    if (x && std::isfinite(*x)) vmax = std::max(vmax, *x);
  }
  return vmax;
}

void curve(Canvas& c, const Plot& pl, const Panel& pn, double s, const ValueOf& v, Rgb color) {
  if (pl.depth_scale <= 0.0) return;
  bool have = false;
  double px = 0, py = 0;
  for (int i = 1; i <= pn.curve_last; ++i) {
    const auto x = v(i);
    if (!x || !std::isfinite(*x)) {
      have = false;
      continue;
    }
    const double X = pn.o + (*x / pn.unit) / s;
    const double Y = pl.y_of(pl.nd0 + 2.0 * i);
    if (have) c.line(px, py, X, Y, color);
    px = X;
    py = Y;
    have = true;
  }
}

// The next round step above `step`: 1, 2, 5 times a power of ten.
double next_round_step(double step) {
  const double p = std::pow(10.0, std::floor(std::log10(step)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p > step * (1.0 + 1e-9)) return m * p;
  return 10.0 * p;
}

// Zero line, ticks and their labels; returns the value scale s (units per mm), 0 when the
// panel has no positive value and so no scale. Labels keep to the panel's band: `reach` mm
// right of the zero line (and `reach_left` left of it for the negative half-axis), so they
// never run into the labels of the panel beside it; when neighbouring labels of the step
// rule would touch, the step grows to the next round one.
double axis(Canvas& c, const Plot& pl, const Panel& pn, double vmax, double reach, double reach_left = 0.0) {
  c.fore_color = pn.color;
  c.line(pn.o, pl.y0, pn.o, pl.y0 + pl.H, kWhite);
  const double top = vmax / pn.unit;
  if (!(top > 0.0) || !(pl.PW > 0.0)) return 0.0;
  const double s = top / pl.PW;
  double step = curves_tick_step(top, pn.tenths);
  // Two neighbouring labels touch when the printed part of one (after the sign blank) starts
  // less than a small gap after the other ends.
  constexpr double kGap = 0.8;  // mm
  auto lead = [&](const std::string& t) { return t.empty() || t.front() != ' ' ? 0.0 : c.text_width(" "); };
  auto labels_touch = [&](double st) {
    for (int i = 0; i < 4; ++i) {
      const std::string a = label(i * st), b = label((i + 1) * st);
      if (st / s + lead(b) - c.text_width(a) < kGap) return true;
      if (pn.negative_ticks && st / s + lead(label(0.0 - i * st)) - c.text_width(label(0.0 - (i + 1) * st)) < kGap)
        return true;
    }
    return false;
  };
  while (step > 0.0 && std::isfinite(step) && labels_touch(step)) step = next_round_step(step);
  for (int i = 0; i <= 4; ++i) {
    const double x = pn.o + i * step / s;
    const std::string right = label(i * step);
    if (i == 0 || x - pn.label_dx + c.text_width(right) <= pn.o + reach) {
      c.line(x, pl.y0, x, pl.y0 - 2.0);
      c.print_at(x - pn.label_dx, pl.y0 - 5.0, right);
    }
    // The negative half-axis shares the zero tick and its label with the positive one.
    if (pn.negative_ticks && i > 0 && i * step / s + pn.label_dx <= reach_left) {
      const double xl = pn.o - i * step / s;
      c.line(xl, pl.y0, xl, pl.y0 - 2.0);
      c.print_at(xl - pn.label_dx, pl.y0 - 5.0, label(0.0 - i * step));
    }
  }
  return s;
}

}  // namespace

CurvesData CurvesData::from(const DesignState& st) {
  CurvesData d;
  d.profile = st.profile;
  d.last_node = st.last_node;
  d.pump_depth_text = st.Text3[design_box::kPumpDepthAfter];
  d.well = st.JName_Comb;
  return d;
}

double curves_tick_step(double vmax, bool tenths_below_one) {
  if (tenths_below_one && vmax < 1.0) return std::floor(vmax / 4.0 * 10.0) / 10.0;
  return std::floor(vmax / 4.0 + 1.0);
}

CurvesScale paint_show(Canvas& c, const CurvesData& d) {
  return paint_show(c, d.profile, d.last_node, num_val(d.pump_depth_text));
}

CurvesScale paint_show(Canvas& c, const DepthProfile& p, int last_node, double pump_depth) {
  c.fore_color = kBlack;
  c.set_scale_mm();
  c.set_plain_font(kLabelsPt);
  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  c.cls();

  const int N = clamp_last(last_node);
  Plot pl{};
  pl.x0 = kCurvesPlotLeft;
  pl.y0 = kCurvesPlotTop;
  pl.W = c.area_width_mm() - pl.x0 - kRightMargin;
  pl.H = c.area_height_mm() - pl.y0 - kBottomMargin;
  pl.PW = pl.W / 5.0 - 0.089 * pl.W;
  pl.nd0 = p.node_depth[0];
  c.line(pl.x0, pl.y0, pl.x0 + pl.W, pl.y0);
  c.line(pl.x0, pl.y0, pl.x0, pl.y0 + pl.H);

  // Node N - 1 on the bottom edge; with fewer than two nodes there is no depth scale.
  pl.depth_scale = 0.0;
  if (N >= 2 && pl.H > 0.0) {
    const double ds = (static_cast<double>(p.node_depth[static_cast<std::size_t>(N - 1)]) - pl.nd0) / pl.H;
    if (std::isfinite(ds) && ds > 0.0) pl.depth_scale = ds;
  }
  CurvesScale out;
  out.depth_scale = pl.depth_scale;

  if (pl.depth_scale > 0.0) {
    const float span = p.node_depth[static_cast<std::size_t>(N)] - p.node_depth[0];
    const double step = std::floor(static_cast<double>(span) / 10.0);
    for (int i = 0; i <= 9; ++i) {
      const double y = pl.y0 + i * step / pl.depth_scale;
      c.line(pl.x0 - 2.0, y, pl.x0, y);
      c.print_at(pl.x0 - 8.0, y, label(pl.nd0 + i * step));
    }
  }

  // The pump node, within the nodes that are read.
  const double pn_raw = std::floor(pump_depth / 2.0);
  const int P = std::isfinite(pn_raw) ? static_cast<int>(std::clamp(pn_raw, 0.0, static_cast<double>(N))) : 0;
  const double PW = pl.PW;
  // Room for tick labels right of a zero line: up to 1 mm before the next panel's first
  // label (its zero line lies PW + 10 mm on, its label 2.5 mm left of it); the axial-force
  // panel and the rod-tubing panel's negative half-axis share the 2 PW + 10 mm between them.
  const double band_to_next = PW + 10.0 - 2.5 - 1.0;
  const double band_shared = PW + 5.0 - 0.5;
  // Curves stay inside the plot frame; axes, ticks and captions are not clipped.
  auto clipped_curve = [&](const Panel& pn, double s, const ValueOf& v, Rgb color) {
    if (s <= 0.0) return;
    c.set_clip(pl.x0, pl.y0, pl.x0 + pl.W, pl.y0 + pl.H);
    curve(c, pl, pn, s, v, color);
    c.clear_clip();
  };

  // 1 slope: 2·tan(inclination), inclination read at the node index.
  {
    const Panel pn{pl.x0 + 10.0, kNavy, N, N - 1, true, 2.0, false, 1.0};
    const ValueOf v = [&](int i) -> std::optional<double> {
      return 2.0 * std::tan(static_cast<double>(p.inclination[static_cast<std::size_t>(i)]) / kDegPerRad);
    };
    const double s = axis(c, pl, pn, largest(pn.vmax_last, v), band_to_next);
    clipped_curve(pn, s, v, pn.color);
    c.print_at(pn.o, pl.y0 - 8.0, "井身斜度");
  }
  // 2 dogleg, clipped for the drawing only.
  {
    const Panel pn{pl.x0 + 20.0 + PW, kDarkGreen, N, N - 1, true, 2.5, false, 1.0};
    const ValueOf v = [&](int i) -> std::optional<double> {
      const auto k = entry_of(p, i);
      if (!k) return std::nullopt;
      return std::min(static_cast<double>(p.dogleg[static_cast<std::size_t>(*k)]), kDoglegDrawMax);
    };
    const double s = axis(c, pl, pn, largest(pn.vmax_last, v), band_to_next);
    clipped_curve(pn, s, v, pn.color);
    c.print_at(pn.o, pl.y0 - 8.0, "狗腿度°/30m");
  }
  // 3 axial forces in kN, one scale from the largest maximum force.
  {
    const Panel pn{pl.x0 + 30.0 + 2.0 * PW, kOlive, P, P, false, 2.5, false, 1000.0};
    auto of = [&](const DepthProfile::Floats& a) -> ValueOf {
      return [&p, &a](int i) -> std::optional<double> {
        const auto k = entry_of(p, i);
        if (!k) return std::nullopt;
        return static_cast<double>(a[static_cast<std::size_t>(*k)]);
      };
    };
    const ValueOf vmax_of = of(p.axial_max), vmin_of = of(p.axial_min);
    const double s = axis(c, pl, pn, largest(pn.vmax_last, vmax_of), band_shared);
    clipped_curve(pn, s, vmax_of, kOlive);
    clipped_curve(pn, s, vmin_of, kMagenta);
    c.current_x = pn.o;
    c.current_y = pl.y0 - 8.0;
    c.fore_color = kMagenta;
    c.print_inline("最小");
    c.fore_color = kOlive;
    c.print_inline("最大轴向力kN");
  }
  // 4 rod-tubing normal force, labelled on both half-axes; 5 rod-string normal force.
  const std::pair<const DepthProfile::Floats*, Panel> forces[] = {
      {&p.side_force_tubing, Panel{pl.x0 + 40.0 + 4.0 * PW, kRed, P, P, false, 2.5, true, 1.0}},
      {&p.side_force_rod, Panel{pl.x0 + 50.0 + 5.0 * PW, kBlue, P, P, false, 2.5, false, 1.0}},
  };
  const char* captions[] = {"杆管间正压力N/m", "杆柱间正压力N/m"};
  for (int n = 0; n < 2; ++n) {
    const auto& [arr, pn] = forces[n];
    const ValueOf v = [&p, a = arr](int i) -> std::optional<double> {
      const auto k = entry_of(p, i);
      if (!k) return std::nullopt;
      return static_cast<double>((*a)[static_cast<std::size_t>(*k)]);
    };
    const double reach = n == 0 ? band_to_next : c.area_width_mm() - pn.o;
    const double s = axis(c, pl, pn, largest(pn.vmax_last, v), reach, band_shared);
    clipped_curve(pn, s, v, pn.color);
    c.print_at(n == 0 ? pn.o - 8.0 : pn.o, pl.y0 - 8.0, captions[n]);
  }

  // The design pump depth, drawn last.
  if (pl.depth_scale > 0.0 && std::isfinite(pump_depth)) {
    const double y = pl.y_of(pump_depth);
    c.fore_color = kWhite;
    c.line(pl.x0, y, pl.x0 + pl.W, y);
    c.print_at(pl.x0 + pl.W - 13.0, y + 1.0, "设计泵深");
  }
  c.fore_color = kBlack;
  return out;
}

PickValues Get_picDat(double Yzb, const CurvesScale& scale, const DepthProfile& p, int last_node) {
  const int N = clamp_last(last_node);
  double j = std::floor((Yzb - scale.plot_top) * scale.depth_scale / 2.0);
  if (!std::isfinite(j)) j = 0.0;
  j = std::clamp(j, 0.0, static_cast<double>(N));
  PickValues v;
  v.js1 = static_cast<double>(p.node_depth[0]) + 2.0 * j;
  const int k = static_cast<int>(std::clamp(std::floor(v.js1 / 2.0), 0.0, static_cast<double>(kLastNode)));
  const auto at = [k](const DepthProfile::Floats& a) { return a[static_cast<std::size_t>(k)]; };
  v.jxj = at(p.inclination);
  v.gtd1 = at(p.dogleg);
  v.zxMax = at(p.axial_max);
  v.zxMin = at(p.axial_min);
  v.zylGG = at(p.side_force_tubing);
  v.zylGZ = at(p.side_force_rod);
  return v;
}

std::string pick_readout_line(const PickValues& v) {
  auto r2 = [](double x) { return bare(num_print(round_dec(x, 2))); };
  std::string s;
  s += "井深" + bare(num_print(v.js1)) + "m ";
  s += "井斜角" + bare(num_print_f(v.jxj)) + "°";
  s += "狗腿度" + r2(v.gtd1) + "°/30m ";
  s += "最大轴向力" + r2(static_cast<double>(v.zxMax) / 1000.0) + "kN ";
  s += "最小轴向力" + r2(static_cast<double>(v.zxMin) / 1000.0) + "kN ";
  s += "杆管正压力" + r2(v.zylGG) + "N/m ";
  s += "杆柱正压力" + r2(v.zylGZ) + "N/m ";
  return s;
}

PicShowLayout pic_show_layout(int window_width, int window_height, int picture_top, int picture_width,
                              int picture_height) {
  PicShowLayout l{picture_width, picture_height, 0};
  if (window_width > 400) l.picture_width = window_width - 400;
  if (window_height > 900) l.picture_height = window_height - 900;
  l.label_top = picture_top + l.picture_height + 80;
  return l;
}

std::string pic_show_caption(const std::string& well) { return trim_blanks(well) + "井杆柱设计相关参数趋势图"; }

std::optional<Refusal> pic_show_refusal(DesignState& st) {
  // The survey grid keeps an empty entry row below its stations: a survey is a row with a depth.
  bool survey = false;
  for (int r = 1; r < st.Grid1.rows() && !survey; ++r) survey = !trim_blanks(st.Grid1.text(r, 1)).empty();
  if (!survey) return Refusal(kNoSurveyText);
  st.Grid2.row = 1;
  st.Grid2.col = 1;
  if (num_val(st.Grid2.text(1, 1)) == 0.0) return Refusal(kNoDesignText);
  return std::nullopt;
}

}  // namespace wb::design
