#include "core/electric/harmonics.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/electric/waveform_charts.h"

namespace wb {
namespace {

void shares_of(const std::array<float, 50>& sn, const std::array<float, 50>& cs, int orders, ShareTable& out) {
  out.fill(0.0f);
  if (orders <= 0) return;
  std::array<float, 50> amp{};
  float sum = 0.0f;
  for (int k = 0; k < orders; ++k) {
    const double s = sn[k], c = cs[k];
    const double sq = s * s + c * c;
    amp[k] = static_cast<float>(std::sqrt(sq));
    sum = static_cast<float>(static_cast<double>(sum) + static_cast<double>(static_cast<float>(sq)));
  }
  const double root = std::sqrt(static_cast<double>(sum));
  if (!(root > 0.0) || !std::isfinite(root)) return;
  for (int k = 0; k < orders; ++k) out[k] = static_cast<float>(100.0 * amp[k] / root);
}

}  // namespace

HarmonicShares Get_Xb_Percent(const XbtRecord& rec) {
  const int orders = std::min<int>(rec.order_num, 50);
  HarmonicShares h;
  shares_of(rec.ii_sin, rec.ii_cos, orders, h.current);
  shares_of(rec.uu_sin, rec.uu_cos, orders, h.voltage);
  return h;
}

void round_shares_for_table(ShareTable& s) {
  for (int k = 0; k <= 40; ++k) s[k] = static_cast<float>(round_dec(s[k], 2));
}

void draw_xbt_bars(Canvas& c, double x0, double y0, const ShareTable& s, Rgb color, const BarChartGeometry& g) {
  const double w = g.w, h = g.h;
  c.draw_style = DrawStyle::Solid;
  if (g.frame_four_lines) {
    c.line(x0, y0, x0 + w, y0, kBlack);
    c.line(x0, y0 + h, x0 + w, y0 + h, kBlack);
    c.line(x0, y0, x0, y0 + h, kBlack);
    c.line(x0 + w, y0, x0 + w, y0 + h, kBlack);
  } else {
    c.draw_width = 1;
    c.box(x0, y0, x0 + w, y0 + h, kBlack);
  }
  c.draw_style = DrawStyle::Dot;
  for (int j = 1; j <= 4; ++j) c.line(x0, y0 + h / 5 * j, x0 + w, y0 + h / 5 * j, kWaveGrey);
  if (g.caption) {
    c.font.size = g.caption_size;
    c.fore_color = color;
    c.print_at(x0 + w / 2, y0 + g.caption_dy, g.caption);
  }
  c.draw_style = DrawStyle::Solid;
  if (g.label_size > 0) c.font.size = g.label_size;
  c.fore_color = kBlack;
  for (int k = 0; k < 40; ++k) {
    const double left = x0 + w * k / 40;
    c.fill_box(left, y0 + h, left + 1, y0 + h - h * static_cast<double>(s[k]) / 100.0, color);
    if (k % 5 == 0) c.print_at(left + 1 - (k < 10 ? g.label_back : g.label_back_wide), y0 + h + 0.2, num_print(k));
  }
}

void draw_xbt_2(Canvas& pic, DrawnTest& st, float xx, float yy) {
  st.command1_visible = true;
  pic.set_scale_mm();
  pic.set_plain_font(8);
  pic.cls();
  const HarmonicShares sh = Get_Xb_Percent(st.xbt_rec);
  BarChartGeometry g;  // 95 x 25 mm, 12 pt captions 5 mm down, 8 pt labels
  g.caption = "电压谐波棒图";
  draw_xbt_bars(pic, xx, yy, sh.voltage, kWaveRed, g);
  g.caption = "电流谐波棒图";
  draw_xbt_bars(pic, xx, yy + 30.0, sh.current, kWaveGreen, g);
  pic.font.size = 8;
  pic.fore_color = kBlack;
  pic.draw_style = DrawStyle::Solid;
  pic.draw_width = 1;
}

void draw_xbt_2prt(Canvas& prn, const DrawnTest& st, float xx, float yy) {
  const XbtRecord& rec = st.xbt_rec;
  prn.set_scale_mm();
  prn.font.size = 12;
  prn.font.underline = true;
  prn.print_at(60, 129, xbt_name_field(rec) + "井电力谐波分析结果");
  prn.font.underline = false;

  HarmonicShares sh = Get_Xb_Percent(rec);
  BarChartGeometry g;
  g.w = 80;
  g.h = 37;
  g.frame_four_lines = true;
  g.caption_size = 10;
  g.caption = "电压谐波棒图";
  g.caption_dy = 8;
  draw_xbt_bars(prn, xx, yy, sh.voltage, kWaveRed, g);
  g.caption = "电流谐波棒图";
  g.caption_dy = 9;
  draw_xbt_bars(prn, xx, yy + 40.5, sh.current, kWaveGreen, g);

  // The table prints the shares to two decimals; the bars above used them unrounded.
  round_shares_for_table(sh.current);
  round_shares_for_table(sh.voltage);
  prn.font.size = 8;
  prn.fore_color = kBlack;
  prn.font.underline = false;
  for (int r = 1; r <= 20; ++r) {
    const double y = yy + 3.7 * r;
    prn.print_at(17, y, num_print(r));
    if (r == 1) prn.print_at(17, yy, "阶次");
    prn.print_at(26, y, num_print_f(sh.current[r]));
    if (r == 1) prn.print_at(29, yy, "电流(%)");
    prn.print_at(39, y, num_print_f(sh.current[r + 20]));
    prn.print_at(52, y, num_print_f(sh.voltage[r]));
    if (r == 1) prn.print_at(55, yy, "电压(%)");
    prn.print_at(66, y, num_print_f(sh.voltage[r + 20]));
  }

  print_xbt_electric_values(prn, rec, 217);
}

}  // namespace wb
