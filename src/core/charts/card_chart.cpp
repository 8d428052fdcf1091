#include "core/charts/card_chart.h"

#include <algorithm>
#include <cmath>

#include "core/charts/chart_text.h"
#include "core/common/number_text.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"

namespace wb {
namespace {

constexpr Rgb kCardColor = rgb(255, 0, 255);    // measured card, light magenta
constexpr Rgb kStaticColor = rgb(0, 0, 255);    // static card, light blue

double pt_x(double u) { return u / kCardUnitsPerPointU; }
double pt_y(double v) { return v / kCardUnitsPerPointV; }

}  // namespace

CardPositionScale card_position_scale(double s3) {
  CardPositionScale ps;
  int n = 0;
  double step = 1.0;
  if (s3 <= 3) {
    n = 3;
  } else if (s3 <= 4) {
    n = 4;
  } else if (s3 <= 5) {
    n = 5;
  } else if (s3 <= 6) {
    n = 6;
  } else if (std::isfinite(s3)) {
    // Longer strokes: whole metres up to 12 divisions, then 2, 5, 10, 20 … m per division,
    // so the axis keeps at most 12 labelled lines.
    static const double kMantissa[] = {1.0, 2.0, 5.0};
    for (int decade = 0; decade < 40; ++decade) {
      bool found = false;
      for (double m : kMantissa) {
        step = m * std::pow(10.0, decade);
        if (s3 / step <= 12.0) {
          found = true;
          break;
        }
      }
      if (found) break;
    }
    n = static_cast<int>(std::ceil(s3 / step));
    if (n > 12) n = 0;  // beyond any sensible stroke: no scale
  }
  if (n > 0) {
    ps.divisions = n;
    ps.step_m = step;
    ps.units_per_m = 600.0 / (n * step);
  }
  return ps;
}

CardLoadScale card_load_scale(double g_max) {
  // F, n_y, step, P: n_y·P = 360 units, V = 3600/F units per 10 kN.
  struct Row {
    double limit, full;
    int n;
    double step, pitch;
  };
  static const Row kRows[] = {
      {30, 30, 10, 3, 36}, {40, 40, 8, 5, 45}, {60, 60, 12, 5, 30},
      {80, 80, 8, 10, 45}, {100, 100, 10, 10, 36},
  };
  Row r{0, 120, 12, 10, 30};
  for (const Row& row : kRows) {
    if (g_max <= row.limit) {
      r = row;
      break;
    }
  }
  return CardLoadScale{r.full, r.n, r.step, r.pitch, 3600.0 / r.full};
}

CardMeasures card_measures(const SampleArray& sss, const SampleArray& ggs, int n, int point_num) {
  CardMeasures m;
  n = std::clamp(n, 0, kSampleArraySize);
  if (n > 0) {
    // The maxima start at 0 and the minima at 32767: a card whose values are all negative
    // has a maximum of 0.
    float s_max = 0, s_min = 32767, g_max = 0, g_min = 32767;
    for (int i = 0; i < n; ++i) {
      if (sss[i] > s_max) s_max = sss[i];
      if (sss[i] < s_min) s_min = sss[i];
      if (ggs[i] > g_max) g_max = ggs[i];
      if (ggs[i] < g_min) g_min = ggs[i];
    }
    m.s_min = s_min;
    m.s_max = s_max;
    m.g_min = g_min;
    m.g_max = g_max;
  }
  m.stroke3 = round_dec(static_cast<double>(m.s_max) - static_cast<double>(m.s_min), 3);

  // Single precision like the stored values: the header's power depends on it.
  const float w = loop_work_single(sss, ggs, n);
  m.work = w;
  if (point_num != 0) {
    m.spm = round_dec(strokes_per_minute(point_num), 2);
    m.power = round_dec(card_power_kw(w, point_num), 2);
  }
  return m;
}

StaticCardLines static_card_geometry(const CardPositionScale& ps, const CardLoadScale& ls, const DrawnTest& st) {
  auto box = [&](int i) { return num_val(st.Text1[static_cast<std::size_t>(i)]); };
  return static_card_geometry(ps, ls, box(appended_box::kStrokeLoss), box(appended_box::kTheoStroke),
                              box(appended_box::kTheoMaxLoad), box(appended_box::kTheoMinLoad));
}

StaticCardLines static_card_geometry(const CardPositionScale& ps, const CardLoadScale& ls, double loss,
                                     double stroke, double max_load, double min_load) {
  const double h = ps.units_per_m;
  const double v = ls.units_per_10kn;
  StaticCardLines g;
  g.u_a = kCardOriginU + h * loss;
  g.u_b = kCardOriginU + h * loss + h * stroke;
  g.u_c = kCardOriginU + h * stroke;
  g.v_max = kCardZeroLoadV - v * max_load / 10.0;
  g.v_min = kCardZeroLoadV - v * min_load / 10.0;
  return g;
}

void draw_static_card(Canvas& c, const StaticCardLines& g) {
  const CardClip k;
  ClipFrame clip(c, pt_x(k.u1), pt_y(k.v1), pt_x(k.u2), pt_y(k.v2));
  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  c.fore_color = kStaticColor;
  c.line(pt_x(g.u_a), pt_y(g.v_max), pt_x(g.u_b), pt_y(g.v_max));           // top
  c.line(pt_x(kCardOriginU), pt_y(g.v_min), pt_x(g.u_c), pt_y(g.v_min));   // bottom
  c.line(pt_x(g.u_a), pt_y(g.v_max), pt_x(kCardOriginU), pt_y(g.v_min));   // left
  c.line(pt_x(g.u_b), pt_y(g.v_max), pt_x(g.u_c), pt_y(g.v_min));          // right
}

std::array<std::string, 17> card_header_lines(const std::string& well, const std::string& test_date,
                                              const CardMeasures& m) {
  std::array<std::string, 17> h;
  h[0] = "井号:" + trim_blanks(well);
  const std::string date = field_for_drawing(test_date);
  h[1] = "日期:" + utf8_sub(date, 0, 8);
  h[2] = "时间:" + utf8_sub(date, 8, 2) + ":" + utf8_sub(date, 10, 2);
  if (m.spm) h[3] = "冲次:" + num_print(*m.spm) + "次";
  h[4] = "冲程:" + num_print(round_dec(static_cast<double>(m.s_max) - static_cast<double>(m.s_min), 2)) + "m";
  h[5] = "最大负载:";
  h[6] = "  " + num_print(round_dec(m.g_max, 2)) + "kN";
  h[7] = "最小负载:";
  h[8] = "  " + num_print(round_dec(m.g_min, 2)) + "kN";
  h[9] = "作 功 量:";
  h[10] = "  " + num_print(round_dec(m.work, 2)) + "kJ";
  h[11] = "光杆功率:";
  h[12] = "  " + num_print(m.power) + "kW";
  return h;
}

void RodEngMapDisplay_G(DrawnTest& st, Canvas& pic, int gt_num) {
  st.set_card_boxes_enabled(true);
  st.command1_visible = false;
  set_scale_points(pic);
  pic.set_plain_font(kCardPictureFontPt);
  pic.cls();

  const CardMeasures m = card_measures(st.sss, st.ggs, gt_num, st.sgt_rec.point_num);
  st.gt_stroke = static_cast<float>(m.stroke3);
  st.gt_max_load = m.g_max;
  const CardPositionScale ps = card_position_scale(m.stroke3);
  const CardLoadScale ls = card_load_scale(m.g_max);
  const double h = ps.units_per_m;
  const double v = ls.units_per_10kn;

  pic.fore_color = kBlack;
  pic.draw_width = 1;
  pic.draw_style = DrawStyle::Dot;

  // Position grid; labels 7 points left of the line, 3 points below the plot frame.
  for (int k = 0; k <= ps.divisions; ++k) {
    const double u = kCardOriginU + h * ps.step_m * k;
    pic.line(pt_x(u), pt_y(kCardPlotTopV), pt_x(u), pt_y(kCardPlotBottomV));
    if (k >= 1) {
      std::string label = num_print(k * ps.step_m);
      if (k == ps.divisions) label += " 行程(m)";
      pic.print_at(pt_x(u) - 7, pt_y(kCardPlotBottomV) + 3, label);
    }
  }
  // Load grid; labels 5 points from the left edge at the height of their line.
  for (int k = 0; k <= ls.divisions; ++k) {
    const double vk = kCardPlotTopV + ls.pitch * k;
    if (k < ls.divisions) pic.line(pt_x(kCardPlotRightU), pt_y(vk), pt_x(kCardOriginU), pt_y(vk));
    std::string label = num_print(ls.full_kn - k * ls.step_kn);
    if (k == 0) label += "负载(kN)";
    pic.print_at(5, pt_y(vk), label);
  }

  pic.draw_style = DrawStyle::Solid;
  pic.draw_width = 2;
  pic.box(pt_x(14), pt_y(15), pt_x(880), pt_y(440));
  pic.draw_width = 1;
  pic.box(pt_x(60), pt_y(31), pt_x(660), pt_y(390));
  pic.box(pt_x(680), pt_y(31), pt_x(870), pt_y(390));

  st.Text1[appended_box::kTestDate] = st.org_head.test_date;
  st.Text3[result_box::kMeasuredStroke] = num_print(m.stroke3);
  if (m.spm) st.Text3[result_box::kMeasuredSpm] = num_print(*m.spm);

  // Header: each line 1.8 points below the one before. The card's 9 pt font is kept unless
  // its lines are too tall for the 13 filled lines to end inside the header frame (a small
  // picture); then it is stepped down by half points for the header alone.
  const auto header = card_header_lines(st.Text1[appended_box::kWell], st.org_head.test_date, m);
  const Font picture_font = pic.font;
  const double top = pt_y(35) + 1.8;
  auto header_bottom = [&] { return top + 12 * (pic.text_height() + 1.8) + pic.text_height(); };
  while (pic.font.size > 6 && header_bottom() > pt_y(kCardPlotBottomV) - 1) pic.font.size -= 0.5;
  double y = top;
  for (const std::string& line : header) {
    pic.print_at(pt_x(685), y, line);
    y += pic.text_height(line) + 1.8;
  }
  pic.font = picture_font;

  // Measured card: not closed, the last point is not joined to the first.
  const int n = std::clamp(gt_num, 0, kSampleArraySize);
  auto card_u = [&](int i) { return pt_x(kCardOriginU + h * (static_cast<double>(st.sss[i]) - m.s_min)); };
  auto card_v = [&](int i) { return pt_y(kCardZeroLoadV - v * static_cast<double>(st.ggs[i]) / 10.0); };
  pic.draw_width = 2;
  pic.fore_color = kCardColor;
  if (n > 0) {
    const CardClip k;
    ClipFrame clip(pic, pt_x(k.u1), pt_y(k.v1), pt_x(k.u2), pt_y(k.v2));
    pic.pset(card_u(0), card_v(0));
    std::vector<CanvasPoint> pts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = {card_u(i), card_v(i)};
    pic.polyline(pts);
  }

  draw_static_card(pic, static_card_geometry(ps, ls, st));
  pic.fore_color = kBlack;
}

void RodEngMapDisplay_Card(DrawnTest& st, Canvas& pic) {
  st.sgt_rec.point_num = st.gt_num;
  RodEngMapDisplay_G(st, pic, st.gt_num);
}

namespace {
StaticCardLines static_card_from_boxes(const DrawnTest& st) {
  return static_card_geometry(card_position_scale(st.gt_stroke), card_load_scale(st.gt_max_load), st);
}
}  // namespace

bool picture_shows_card(const DrawnTest& st) {
  return st.read_sgt_dnt_org == kKindCard || (st.read_sgt_dnt_org == kKindJoint && st.disp_state == 3);
}

void disp_ll_sgt(const DrawnTest& st, Canvas& pic) {
  draw_static_card(pic, static_card_from_boxes(st));
  pic.fore_color = kBlack;
}

void prt_disp_ll_sgt(const DrawnTest& st, Canvas& printer) {
  printer.set_scale_mm();
  draw_static_card(printer, static_card_from_boxes(st));
  printer.fore_color = kBlack;
}

}  // namespace wb
