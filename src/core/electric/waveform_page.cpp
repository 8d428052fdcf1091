#include "core/electric/waveform_page.h"

#include <cmath>

#include "core/common/number_text.h"
#include "core/electric/harmonics.h"
#include "core/electric/waveform_charts.h"

namespace wb {
namespace {

constexpr float kLeft = 15.0f;
constexpr float kTop = 18.5f;
constexpr float kWidth = 180.0f;
constexpr float kBoxHeight = (260.0f - kTop) / 2.0f;   // 120.75
constexpr float kLowerTop = kTop * 1.5f + 130.0f;      // 157.75
constexpr float kValueRow = 7.3f;

TableLayout box_layout(float top) {
  TableLayout l;
  l.rows = 1;
  l.cols = 1;
  l.row_height = kBoxHeight;
  l.label_width = kWidth;
  l.value_width = 0;
  l.left = kLeft;
  l.top = top;
  l.width = kWidth;
  l.frame_height = kBoxHeight;
  l.font_size = 12;
  return l;
}

// Two rows of 7.3 mm ending at the bottom of the box that starts at `box_top`.
TableLayout value_layout(float box_top) {
  TableLayout l;
  l.rows = 2;
  l.cols = 6;
  l.row_height = kValueRow;
  l.label_width = 35;
  l.value_width = 0;
  l.left = kLeft;
  l.top = box_top + kBoxHeight - 2 * kValueRow;
  l.width = kWidth;
  l.frame_height = static_cast<float>(2 * 7.3);
  l.font_size = 12;
  return l;
}

void draw_boxes(Canvas& t, const XbtRecord& rec, float box_top) {
  t.draw_style = DrawStyle::Solid;
  TableLayout box = box_layout(box_top);
  Print_Table(box, TableCells(0), t);
  TableLayout values = value_layout(box_top);
  TableCells cells(6);
  xbt_prt_table(cells, rec);
  Print_Table(values, cells, t);
}

}  // namespace

void xbt_prt_table(TableCells& cells, const XbtRecord& rec) {
  cells.set(0, "报表名称", "");
  cells.set(1, "电     流(A)", num_print(rec.current / 100.0));
  cells.set(2, "电     压(V)", num_print(rec.voltage / 50.0));
  cells.set(3, "有功功率(kW)", num_print(rec.active_power / 100.0));
  cells.set(4, "视在功率(kVA)", num_print(rec.apparent_power / 100.0));
  cells.set(5, "功率因数", num_print(rec.power_factor / 10000.0));
  cells.set(6, "基波相位差(度)", num_print(rec.phase_diff / 100.0));
}

void xbt_prt_legend(Canvas& c, std::span<const float> a, std::span<const float> b, const LegendTexts& s,
                    const LegendLayout& g) {
  c.font.name = "宋体";
  c.font.size = 12;
  for (int k = 0; k < 3; ++k) c.print_at(g[0] + 4 + 27 * k, g[1] + 15, s[k]);
  c.fore_color = kWaveRed;
  c.print_at(g[0] + 120, g[1] + 25, s[4]);
  c.fore_color = kWaveGreen;
  c.print_at(g[0] + 120, g[1] < g[8] / 2 ? g[1] + 30 : g[1] + 70, s[5]);
  c.fore_color = kBlack;

  // The title's width is estimated with every character an 18 pt square, except that the
  // 16 characters of the well-name field count as 8.
  c.font.name = "楷体_GB2312";
  c.font.size = 18;
  c.font.underline = true;
  const double w = (static_cast<double>(utf8_length(s[3])) - 8.0) * 18.0 / 72.0 * 25.4;
  c.print_at(g[0] + (g[8] - w) / 2, g[1] + 5, s[3]);
  c.font.underline = false;
  c.font.size = 12;

  const int last = static_cast<int>(std::lround(g[2]));
  for (int r = 0; r <= last; ++r) {
    const double y = g[1] + 20 + g[9] * r;
    const int i1 = static_cast<int>(std::lround(g[4] + g[3] * r));
    const int i2 = static_cast<int>(std::lround(g[5] + g[3] * r));
    const auto in = [](int i, std::span<const float> v) { return i >= 0 && static_cast<std::size_t>(i) < v.size(); };
    if (!in(i1, a) || !in(i2, a) || !in(i1, b) || !in(i2, b)) break;
    const float vals[5] = {g[7] + g[6] * static_cast<float>(r), a[i1], a[i2], b[i1], b[i2]};
    for (int col = 0; col < 5; ++col) c.print_at(g[0] + 2 + 17 * col, y, num_print_f(vals[col]));
  }
}

void xbt_prt_page(Canvas& target, const DrawnTest& st) {
  const XbtRecord& rec = st.xbt_rec;
  target.set_scale_mm();
  if (!target.is_printer()) target.cls();

  draw_boxes(target, rec, kTop);
  draw_boxes(target, rec, kLowerTop);

  // Waveform chart: 85 x 80 mm.
  target.draw_style = DrawStyle::Solid;
  target.draw_width = 1;
  draw_xbt_wave(target, kLeft + 100 - 11.5, kTop + 19, 85, 40, 1, WaveFrame::Rectangle, st);

  const std::string name = xbt_name_field(rec);
  const LegendLayout upper = {kLeft, kTop, 17, 5, 0, 90, 10, 0, kWidth, 4.5f};
  xbt_prt_legend(target, st.iis, st.uus,
                 {"相角", "电流(A)", "电压(V)", name + "井电流电压波形曲线", "电压波形曲线", "电流波形曲线"}, upper);

  HarmonicShares sh = Get_Xb_Percent(rec);
  target.font.size = 9;
  BarChartGeometry g;
  g.w = 85;
  g.h = 40;
  g.label_size = 0;  // the 9 pt set above, in the face the legend left
  g.label_back = 2.6;
  g.label_back_wide = 3.4;
  const double bx = kLeft + 103 - 11.5, by = kTop + 155;
  draw_xbt_bars(target, bx, by, sh.voltage, kWaveRed, g);
  g.label_back = 2.4;
  g.label_back_wide = 3.6;
  draw_xbt_bars(target, bx, by + 40 + 3.5, sh.current, kWaveGreen, g);

  round_shares_for_table(sh.current);
  round_shares_for_table(sh.voltage);
  const LegendLayout lower = {kLeft, kLowerTop, 19, 1, 1, 21, 1, 1, kWidth, 4.0f};
  xbt_prt_legend(target, sh.current, sh.voltage,
                 {"阶次", "电流(%)", "电压(%)", name + "井电力谐波分析结果", "电压谐波棒图", "电流谐波棒图"}, lower);

  target.draw_style = DrawStyle::Solid;
  target.draw_width = 1;
  if (target.is_printer()) target.new_page();
}

}  // namespace wb
