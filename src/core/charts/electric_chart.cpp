#include "core/charts/electric_chart.h"

#include <algorithm>
#include <cmath>

#include "core/charts/chart_text.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"
#include "core/common/wiring.h"

namespace wb {

// Axis labels and values: print form with a blank after the number.
std::string electric_label_text(double v) { return num_print(v) + " "; }

void draw_electric_scale_left(Canvas& c, const ElectricFrame& g, double a_scale) {
  const double a = std::floor(a_scale / 5);
  c.fore_color = kBlack;
  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;
  for (int k = 0; k <= 6; ++k) {
    const double y = g.top + k * g.h / 5;
    c.line(g.left + g.w, y, g.left, y);
    c.print_at(g.left - 6, y - g.lift, electric_label_text(a_scale - k * a));
  }
}

void draw_electric_scale_right(Canvas& c, const ElectricFrame& g, double v_scale) {
  const double v = std::floor(v_scale / 5);
  for (int k = 0; k <= 6; ++k) {
    const double y = g.top + k * g.h / 5;
    c.draw_style = k == 6 ? DrawStyle::Solid : DrawStyle::Dot;
    c.line(g.left, y, g.left + g.w, y);
    c.print_at(g.left + g.w, y - g.lift, electric_label_text(v_scale - k * v));
  }
  c.draw_style = DrawStyle::Solid;
}

double electric_scale_y(const ElectricFrame& g, double w, double s) { return g.top + g.h - w / s * g.h; }

static void draw_vertical_line(Canvas& c, const ElectricFrame& g, double x, double label) {
  const double bottom = g.top + 6 * g.h / 5;
  c.line(x, g.top, x, bottom);
  c.print_at(x - 3, bottom + 1, electric_label_text(label));
}

void draw_electric_crank_angle_grid(Canvas& c, const ElectricFrame& g) {
  for (int k = 0; k <= 8; ++k) draw_vertical_line(c, g, g.left + k * g.w / 8, 45.0 * k);
}

namespace {

constexpr Rgb kVoltageColor = rgb(255, 0, 255);   // 13 light magenta
constexpr Rgb kCurrentColor = rgb(255, 0, 0);     // 12 light red
constexpr Rgb kActiveColor = rgb(0, 0, 255);      // 9 light blue
constexpr Rgb kScreenReactiveColor = rgb(255, 255, 0);  // 14 yellow
constexpr Rgb kPageReactiveColor = rgb(0, 255, 0);      // 10 light green
constexpr Rgb kReactiveFirstColor = rgb(128, 128, 128); // 8 grey

// Screen frame: plot 85 mm wide, 40 mm from the top edge to the zero line, 8 mm grid.
constexpr double kScreenLeft = 10, kScreenTop = 10, kScreenW = 85, kScreenH = 40;
constexpr double kPageW = 130, kPageH = 45;

// One curve: sample 0 set in its first-point colour, then segments in the curve colour.
template <typename XOf>
void draw_curve(Canvas& c, const ElectricFrame& g, const SampleArray& a, int n, double scale, Rgb color, Rgb first,
                XOf x_of) {
  if (n <= 0 || scale == 0 || !std::isfinite(scale)) return;
  c.draw_width = g.curve_width;
  c.draw_style = DrawStyle::Solid;
  c.pset(x_of(0), electric_scale_y(g, a[0], scale), first);
  std::vector<CanvasPoint> pts(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {x_of(i), electric_scale_y(g, a[i], scale)};
  c.polyline(pts, color);
}

int clamp_points(int n) { return std::clamp(n, 0, kSampleArraySize); }

// Points a stored power record is rebuilt into for the screen (one stroke).
constexpr int kStoredCurvePoints = 144;

}  // namespace

double apparent_power_kva(int wiring_mode, double current, double voltage) {
  if (wiring_mode < 1 || wiring_mode > 4) return 0.0;  // no power for an unknown wiring
  return current * voltage * wiring_factor(wiring_mode) / 1000.0;
}

ElectricMaxima recompute_reactive_power(DrawnTest& st, int n) {
  ElectricMaxima mx;
  n = clamp_points(n);
  const int mode = st.dnt_rec.wiring_mode;
  for (int i = 0; i < n; ++i) {
    const double s = apparent_power_kva(mode, st.iis[i], st.uus[i]);
    const double p = st.pps[i];
    float q = static_cast<float>(s * s - p * p);
    q = q > 0 ? std::sqrt(q) : 0.0f;
    st.qqs[i] = q;
    mx.u = std::max(mx.u, st.uus[i]);
    mx.i = std::max(mx.i, st.iis[i]);
    mx.q = std::max(mx.q, q);
    mx.p = std::max(mx.p, st.pps[i]);
  }
  return mx;
}

// A maximum that is no number (curves of a damaged test) gives the scale of an empty chart.
double electric_power_scale(double m) {
  if (!std::isfinite(m)) m = 0;
  return std::floor(std::max(m, 0.0) / 25 + 0.5) * 25 + 25;
}

double electric_voltage_scale(double max_u, double c) {
  if (!std::isfinite(max_u)) max_u = 0;
  return std::floor(max_u / 50 + c) * 50;
}

namespace {
// Points the 85 mm cover: the stroke itself up to 2000 points (40 s); beyond, the stroke
// rounded up to a whole multiple of 250 points.
double screen_covered_points(int n) {
  if (n <= 2000) return n;
  return ((n - 1) / 250 + 1) * 250.0;
}
}  // namespace

double screen_sample_x(int i, int n) {
  const double covered = screen_covered_points(n);
  if (covered <= 0) return kScreenLeft;
  return kScreenLeft + i / (covered / kScreenW);
}

std::vector<TimeGridLine> recording_time_grid(int n) { return recording_time_grid(n, screen_covered_points(n)); }

std::vector<TimeGridLine> recording_time_grid(int n, double covered) {
  std::vector<TimeGridLine> out;
  // Label step in seconds: about a fifth of the stroke in whole seconds; strokes under 2.5 s
  // (125 points) get half, fifth or tenth seconds so the grid still has a few lines.
  double step = round_dec(n / 250.0, 0);
  if (step < 1) step = n >= 50 ? 0.5 : n >= 20 ? 0.2 : 0.1;
  const double c = (covered / step) / 50;  // steps across the 85 mm
  const int last = c > 0 ? static_cast<int>(std::floor(c)) : 0;
  for (int k = 0; k <= last; ++k) {
    const double x = c > 0 ? kScreenLeft + k * kScreenW / c : kScreenLeft;
    out.push_back(TimeGridLine{x, round_dec(k * step, 1)});
  }
  return out;
}

void iup_line_form(DrawnTest& st, Canvas& pic, int iu_num) {
  const int n = clamp_points(iu_num);
  st.command1_visible = false;
  pic.set_scale_mm();
  pic.set_plain_font(9);
  const ElectricMaxima mx = recompute_reactive_power(st, n);
  const double a_scale = electric_power_scale(std::max({0.0f, mx.i, mx.p, mx.q}));
  const double v_scale = electric_voltage_scale(mx.u, kScreenVoltageRounding);

  pic.cls();
  const ElectricFrame g{kScreenLeft, kScreenTop, kScreenW, kScreenH, 1.5, 1};
  draw_electric_scale_left(pic, g, a_scale);
  if (st.chk_start_checked) {
    draw_electric_crank_angle_grid(pic, g);
  } else {
    // A stored record is drawn from its 144 rebuilt points, which span one stroke of the
    // recorded point_num samples: the time axis is that of the recorded stroke, not of the
    // 144 points (which would read 0 to 2.9 s whatever the stroke lasted).
    const bool rebuilt = st.read_sgt_dnt_org == kKindElectric && n == kStoredCurvePoints && st.dnt_rec.point_num > 0;
    const auto grid = rebuilt ? recording_time_grid(st.dnt_rec.point_num, st.dnt_rec.point_num) : recording_time_grid(n);
    for (const TimeGridLine& line : grid) draw_vertical_line(pic, g, line.x, line.label);
  }
  draw_electric_scale_right(pic, g, v_scale);

  auto x_of = [n](int i) { return screen_sample_x(i, n); };
  {
    ClipFrame clip(pic, g.left, g.top, g.left + g.w, g.top + 6 * g.h / 5);
    draw_curve(pic, g, st.uus, n, v_scale, kVoltageColor, kVoltageColor, x_of);
    draw_curve(pic, g, st.iis, n, a_scale, kCurrentColor, kCurrentColor, x_of);
    draw_curve(pic, g, st.qqs, n, a_scale, kScreenReactiveColor, kReactiveFirstColor, x_of);
    draw_curve(pic, g, st.pps, n, a_scale, kActiveColor, kActiveColor, x_of);
  }

  pic.draw_style = DrawStyle::Solid;
  pic.draw_width = 2;
  pic.box(10, 10, 95, 58, kBlack);
  pic.draw_width = 1;

  pic.fore_color = kBlack;
  pic.print_at(16, 1, trim_blanks(st.Text1[appended_box::kWell]) + "井电能参数曲线      测试日期:" +
                          field_for_drawing(st.org_head.test_date));
  pic.current_x = 4;
  pic.current_y = 5.5;
  pic.fore_color = kCurrentColor;
  pic.print_inline("电流(A) ");
  pic.fore_color = kActiveColor;
  pic.print_inline("有功功率(kW) ");
  pic.fore_color = kScreenReactiveColor;
  pic.print_inline("无功功率(kVar)");
  pic.fore_color = kVoltageColor;
  pic.print_at(91, 5.5, "电压(V)");
  pic.fore_color = kBlack;
  pic.print_at(72.8, 54, st.chk_start_checked ? "曲柄转角(deg)" : "记录时间(S)");

  // Stroke power sum and input power over the card period. A stored electric record has no
  // card period (gt_num 0): its reader's sum (input power × points) and Text3(1) stand.
  // Otherwise the sum starts again at 0, also when there is no period to sum over.
  if (st.read_sgt_dnt_org != kKindElectric) {
    const int gn = clamp_points(st.gt_num);
    float sum = 0;
    for (int i = 0; i < gn; ++i) sum = sum + st.pps[i];
    st.p_sum = sum;
    if (gn > 0) st.Text3[result_box::kInputPower] = num_text(round_dec(sum / static_cast<float>(gn), 2));
  }
}

std::array<float, 15> electric_page_values(const DntRecord& r) {
  std::array<float, 15> v{};
  v[0] = static_cast<float>(r.avg_voltage / 50.0);
  v[1] = static_cast<float>(r.avg_current / 100.0);
  v[2] = static_cast<float>(r.power_factor / 10000.0);
  v[3] = static_cast<float>(r.rms_current / 100.0);
  v[4] = static_cast<float>(r.rms_power / 100.0);
  v[5] = static_cast<float>(r.input_power / 100.0);
  v[6] = static_cast<float>(r.reactive_power / 100.0);
  v[7] = static_cast<float>(r.apparent_power / 100.0);
  v[8] = static_cast<float>(r.max_current_up / 100.0);
  v[9] = static_cast<float>(r.max_current_down / 100.0);
  v[10] = static_cast<float>(r.avg_power_up / 100.0);
  v[11] = static_cast<float>(r.avg_power_down / 100.0);
  // Rounded to 2 places, 3000 / n equals the 60 / (n / 50) this page was established with
  // for every 16-bit count.
  if (r.point_num != 0) v[12] = static_cast<float>(round_dec(strokes_per_minute(r.point_num), 2));
  v[13] = static_cast<float>(round_dec(stroke_period_s(r.point_num), 2));
  // Energy per stroke, kWh: input power × period.
  v[14] = static_cast<float>(round_dec(static_cast<double>(v[5]) * v[13] / 3600, 5));
  return v;
}

void iup_line_prt(DrawnTest& st, Canvas& prn, double xx, double yy) {
  const int n = clamp_points(st.iu_num);
  const ElectricMaxima mx = recompute_reactive_power(st, n);
  const double a_scale = electric_power_scale(std::max({0.0f, mx.i, mx.p, mx.q}));
  const double v_scale = electric_voltage_scale(mx.u, kPageVoltageRounding);
  prn.font = Font{"宋体", 7, false, false, false};

  const ElectricFrame g{xx, yy, kPageW, kPageH, 2, 2};
  draw_electric_scale_left(prn, g, a_scale);
  draw_electric_crank_angle_grid(prn, g);
  draw_electric_scale_right(prn, g, v_scale);

  auto x_of = [&](int i) { return xx + static_cast<double>(i) / n * kPageW; };
  {
    ClipFrame clip(prn, xx, yy, xx + kPageW, yy + 6 * kPageH / 5);
    draw_curve(prn, g, st.uus, n, v_scale, kVoltageColor, kVoltageColor, x_of);
    draw_curve(prn, g, st.iis, n, a_scale, kCurrentColor, kCurrentColor, x_of);
    draw_curve(prn, g, st.pps, n, a_scale, kActiveColor, kActiveColor, x_of);
    draw_curve(prn, g, st.qqs, n, a_scale, kPageReactiveColor, kReactiveFirstColor, x_of);
  }

  prn.draw_style = DrawStyle::Solid;
  prn.draw_width = 2;
  prn.fore_color = kBlack;
  prn.line(xx, yy, xx + kPageW, yy);
  prn.line(xx + kPageW, yy, xx + kPageW, yy + 54);
  prn.line(xx + kPageW, yy + 54, xx, yy + 54);
  prn.line(xx, yy + 54, xx, yy);
  prn.draw_width = 1;

  // Title: the stored well field with its fill, then the caption.
  prn.font.size = 12;
  prn.font.bold = true;
  prn.print_at(xx + 35, yy - 10, field_for_drawing(st.dnt_rec.well_name) + "井电力参数测试结果");
  prn.font.bold = false;
  prn.font.size = 7;
  print_electric_legend(prn, xx, yy, kPageReactiveColor, xx + 126);

  // Value block: three columns of five, 5.7 mm apart.
  prn.fore_color = kBlack;
  prn.font.size = 10;
  const auto values = electric_page_values(st.dnt_rec);
  static const double kColumnX[3] = {20, 72, 120};
  for (int k = 0; k < 15; ++k) {
    const int col = k / 5, row = k % 5;
    prn.print_at(xx + kColumnX[col], yy + 60 + 5.7 * row, num_print_f(values[k]) + " ");
  }
}

const std::array<const char*, 15>& dnt_print_captions() {
  static const std::array<const char*, 15> kCaptions = {
      "平均电压（V）",      "平均电流（A）",      "平均功率因数",       "均方根电流（A）",
      "均方根功率(kW)",     "平均输入功率（kW）", "平均无功功率（kVar）", "平均视在功率（kVA）",
      "最大上行电流（A）",  "最大下行电流（A）",  "平均上行功率(kW)",   "平均下行功率(kW)",
      "实测冲次（1/min）",  "周 期（S）",         "累计电量（kWh）",
  };
  return kCaptions;
}

void draw_dnt_print(Canvas& c, double x, double y) {
  // Template pixels at 96 per inch.
  auto px = [](double p) { return p * 25.4 / 96.0; };
  const Rgb saved_color = c.fore_color;
  const Font saved_font = c.font;
  c.fore_color = kBlack;
  c.draw_style = DrawStyle::Solid;
  c.draw_width = 1;
  const double left = x + px(24), right = x + px(571), top = y + px(30), bottom = y + px(408);
  c.box(left, top, right, bottom);
  static const double kRules[] = {300, 322, 343, 364, 385};
  for (double r : kRules) c.line(left, y + px(r), right, y + px(r));
  static const double kColumns[] = {129, 192, 325, 395, 507};
  for (double col : kColumns) c.line(x + px(col), y + px(300), x + px(col), bottom);

  // Captions, centred in their cells of the three caption columns.
  static const double kCaptionCells[3][2] = {{24, 129}, {192, 325}, {395, 507}};
  static const double kRowTops[6] = {300, 322, 343, 364, 385, 408};
  c.font = Font{"宋体", 9, false, false, false};
  const auto& captions = dnt_print_captions();
  for (int k = 0; k < 15; ++k) {
    const int col = k / 5, row = k % 5;
    const std::string text = captions[k];
    const double cx = x + px((kCaptionCells[col][0] + kCaptionCells[col][1]) / 2);
    const double cy = y + px((kRowTops[row] + kRowTops[row + 1]) / 2);
    c.print_at(cx - c.text_width(text) / 2, cy - c.text_height(text) / 2, text);
  }
  c.fore_color = saved_color;
  c.font = saved_font;
}

void print_electric_legend(Canvas& prn, double xx, double yy, Rgb reactive_color, double voltage_x) {
  prn.current_x = xx - 6;
  prn.current_y = yy - 5;
  prn.fore_color = kCurrentColor;
  prn.print_inline("电流(A) ");
  prn.fore_color = kActiveColor;
  prn.print_inline("有功功率(kw) ");
  prn.fore_color = reactive_color;
  prn.print_inline("无功功率(kVar)");
  prn.fore_color = kVoltageColor;
  prn.print_at(voltage_x, yy - 5, "电压(V)");
}

}  // namespace wb
