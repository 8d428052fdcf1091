#include "core/electric/waveform_charts.h"

#include <algorithm>

#include "core/common/number_text.h"

namespace wb {

std::string xbt_name_field(const XbtRecord& rec) {
  std::string name = rec.well_name;
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
  // A stored name of more than 16 characters cannot come from a 16-byte field; cut anyway.
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size() && chars < 16;) {
    std::size_t len = 1;
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0xF0) len = 4;
    else if (c >= 0xE0) len = 3;
    else if (c >= 0xC0) len = 2;
    out.append(name, i, len);
    i += len;
    ++chars;
  }
  out.append(16 - chars, ' ');
  return out;
}

namespace {

int clamp_points(int n) { return std::clamp(n, 0, kSampleArraySize); }

// Full scale of a curve: its largest value, starting from 0, never below 10.
double full_scale(const float* v, int n) {
  double m = 0.0;
  for (int i = 0; i < n; ++i) m = std::max(m, static_cast<double>(v[i]));
  return m < 10.0 ? 10.0 : m;
}

// The two curve captions, voltage in red over current in green, 5 and 10 mm below the
// chart's top edge `yy`, starting at `x`; leaves black 8 pt text.
void draw_wave_legend(Canvas& c, double x, float yy, double font_size) {
  c.font.size = font_size;
  c.fore_color = kWaveRed;
  c.print_at(x, yy + 5, "电压波形曲线");
  c.fore_color = kWaveGreen;
  c.print_at(x, yy + 10, "电流波形曲线");
  c.fore_color = kBlack;
  c.font.size = 8;
}

void draw_curve(Canvas& c, double x0, double y0, double w, double h, const float* v, int n, double scale, Rgb color) {
  const int div = n > 0 ? n : 1;
  auto y_of = [&](int i) { return y0 + h - h * static_cast<double>(v[i]) / scale; };
  c.pset(x0, y_of(0), color);
  for (int i = 1; i < n; ++i) c.line(x0 + w * (i - 1) / div, y_of(i - 1), x0 + w * i / div, y_of(i), color);
}

}  // namespace

void draw_xbt_wave(Canvas& c, double x0, double y0, double w, double h, int curve_width, WaveFrame frame,
                   const float* uus, const float* iis, int n) {
  n = clamp_points(n);
  const double umax = full_scale(uus, n);
  const double imax = full_scale(iis, n);

  c.draw_style = DrawStyle::Solid;
  if (frame == WaveFrame::Rectangle) {
    c.box(x0, y0, x0 + w, y0 + 2 * h, kBlack);
  } else {
    c.line(x0, y0, x0 + w, y0, kBlack);
    c.line(x0, y0 + 2 * h, x0 + w, y0 + 2 * h, kBlack);
    c.line(x0, y0, x0, y0 + 2 * h, kBlack);
    c.line(x0 + w, y0, x0 + w, y0 + 2 * h, kBlack);
  }

  c.draw_style = DrawStyle::Dot;
  double y = y0;
  for (int k = 1; k <= 9; ++k) {
    y += h / 5;
    c.line(x0, y, x0 + w, y, k == 5 ? kWaveBlue : kWaveGrey);
  }
  double x = x0;
  for (int k = 1; k <= 3; ++k) {
    x += w / 4;
    c.line(x, y0, x, y0 + 2 * h, kWaveGrey);
  }

  c.draw_width = curve_width;
  // A value below minus the full scale would fall under the frame: the curves stay inside.
  ClipFrame clip(c, x0, y0, x0 + w, y0 + 2 * h);
  draw_curve(c, x0, y0, w, h, uus, n, umax, kWaveRed);
  draw_curve(c, x0, y0, w, h, iis, n, imax, kWaveGreen);
}

void draw_xbt_1(Canvas& pic, DrawnTest& st, float xx, float yy) {
  st.command1_visible = true;
  // The view before may have left another scale (the card's points) or font.
  pic.set_scale_mm();
  pic.set_plain_font(8);
  pic.cls();
  pic.draw_width = 1;
  draw_xbt_wave(pic, xx, yy, 95, 25, 1, WaveFrame::Rectangle, st);
  draw_wave_legend(pic, xx + 47.5, yy, 12);
}

void draw_xbt_1prt(Canvas& prn, const DrawnTest& st, float xx, float yy) {
  const XbtRecord& rec = st.xbt_rec;
  prn.font.size = 12;
  prn.font.underline = true;
  prn.print_at(60, 10, xbt_name_field(rec) + "井电流电压波形曲线");
  prn.font.underline = false;
  prn.font.size = 9;

  draw_xbt_wave(prn, xx, yy, 80, 37, 2, WaveFrame::FourLines, st);

  draw_wave_legend(prn, xx + 40, yy, 9);
  prn.font.underline = false;

  // Two half cycles side by side: points 0, 5, …, 85 and 90, 95, …, 175 (every 10 degrees).
  prn.print_at(17, yy, "相角");
  prn.print_at(29, yy, "电流(A)");
  prn.print_at(55, yy, "电压(V)");
  for (int r = 0; r < 18; ++r) {
    const double y = yy + (r + 1) * 74.0 / 18.0;
    prn.print_at(17, y, num_print(10.0 * r));
    prn.print_at(26, y, num_print_f(st.iis[5 * r]));
    prn.print_at(39, y, num_print_f(st.iis[5 * r + 90]));
    prn.print_at(52, y, num_print_f(st.uus[5 * r]));
    prn.print_at(66, y, num_print_f(st.uus[5 * r + 90]));
  }

  print_xbt_electric_values(prn, rec, 99);
}

void print_xbt_electric_values(Canvas& prn, const XbtRecord& rec, double y) {
  prn.print_at(36, y, num_print(rec.current / 100.0));
  prn.print_at(36, y + 6, num_print(rec.voltage / 50.0));
  prn.print_at(90, y, num_print(rec.active_power / 100.0));
  prn.print_at(90, y + 6, num_print(rec.apparent_power / 100.0));
  prn.print_at(143, y, num_print(rec.power_factor / 10000.0));
  prn.print_at(143, y + 6, num_print(rec.phase_diff / 100.0));
}

}  // namespace wb
