#include "core/electric/line_loss_view.h"

#include <algorithm>
#include <string>

#include "core/common/number_text.h"
#include "core/common/trim.h"
#include "core/electric/waveform_charts.h"

namespace wb {
namespace {

constexpr double kUnitsPerMm = 50.0 / 6.3;

struct Place {
  LineLossLayout kind;
  double ox, oy;  // origin, mm
  double x(double u) const { return ox + u / kUnitsPerMm; }
  double y(double v) const { return oy + v / kUnitsPerMm; }
  bool printer() const { return kind == LineLossLayout::Printer; }
  bool alternative() const { return kind == LineLossLayout::Alternative; }
};

Place place_of(LineLossLayout k) {
  switch (k) {
    case LineLossLayout::Printer: return {k, 45, 15};
    case LineLossLayout::Alternative: return {k, 5, 3};
    case LineLossLayout::Screen: break;
  }
  return {k, 9, 0.5};
}

// A frame: one rectangle on a picture; on the printer four lines, top left to right, right
// downwards, bottom right to left, left upwards.
void frame(Canvas& c, const Place& p, double x1, double y1, double x2, double y2) {
  if (p.printer()) {
    c.line(x1, y1, x2, y1, kBlack);
    c.line(x2, y1, x2, y2, kBlack);
    c.line(x2, y2, x1, y2, kBlack);
    c.line(x1, y2, x1, y1, kBlack);
  } else {
    c.box(x1, y1, x2, y2, kBlack);
  }
}

// Axis numbers in the picture's number-printing form: the short form and one blank.
std::string axis_number(double v) { return num_print(v) + " "; }

}  // namespace

void draw_line_loss(Canvas& c, LineLossLayout layout, const LineLossEstimate& e, const LineLossList& list,
                    std::string_view well_name, const DrawnTest& st, int count) {
  const Place p = place_of(layout);
  const double ubase = e.ubase();
  auto v_of = [&](double volts) { return 450.0 - 10.0 * (volts - ubase); };

  c.set_scale_mm();
  if (!p.printer()) c.cls();
  // The axis labels and the legend take the body face of the list.
  c.set_plain_font(7);
  c.fore_color = kBlack;
  if (!p.alternative()) {
    c.draw_width = 1;
    c.draw_style = DrawStyle::Dot;
  }

  for (int k = 0; k <= 8; ++k) {
    const double u = 39 + 50 * k;
    c.line(p.x(u), p.y(50), p.x(u), p.y(449), kWaveGrey);
    std::string t = axis_number(20.0 * k);
    if (k == 8) t += "电流(安)";
    c.print_at(p.x(u) - 1, p.y(449) + 1, t);
  }
  for (int k = 0; k <= 8; ++k) {
    const double v = 50 + 50 * k;
    c.line(p.x(439), p.y(v), p.x(39), p.y(v), kWaveGrey);
    std::string t = axis_number(ubase + 40 - 5 * k);
    if (k == 0) t += "电压(伏)";
    c.print_at(p.x(39) - 6, p.y(v), t);
  }

  if (!p.alternative()) c.draw_style = DrawStyle::Solid;
  if (!p.alternative()) c.draw_width = 1;
  frame(c, p, p.x(39), p.y(50), p.x(439), p.y(450));
  const double list_top = p.alternative() ? p.y(50) : p.oy + 2.3;
  frame(c, p, p.x(469), list_top, p.x(709), p.y(450));
  c.draw_width = 2;
  const double outer_top = p.alternative() ? p.oy - 2.0 : p.oy + 1.0;
  frame(c, p, p.x(-31), outer_top, p.x(729), p.y(480));
  c.draw_width = 1;

  c.font.size = 9;
  c.fore_color = kWaveGreen;
  c.print_at(p.ox + 37, p.oy + 8, "●发电状态");
  c.fore_color = kWaveRed;
  c.print_at(p.ox + 37, p.oy + 12, "●耗电状态");
  c.font.size = 7;

  c.fore_color = kBlack;
  c.font.name = "黑体";
  c.font.size = 9;
  c.font.underline = true;
  const double name_dx = p.alternative() ? 20 : 0, title_dx = p.alternative() ? 45 : 20;
  c.print_at(p.x(39) + name_dx, p.oy + 1.5, std::string(well_name) + std::string(11, ' '));
  c.print_at(p.x(39) + title_dx, p.oy + 1.5, "井供电线路损耗估计");

  c.font.name = "宋体";
  c.font.size = 7;
  c.font.underline = false;
  c.fore_color = kBlack;
  const double list_dy = p.alternative() ? -4.0 : -8.0;
  for (int k = 0; k < 21; ++k) c.print_at(p.x(479), p.oy + 70 / kUnitsPerMm + list_dy + 2.5 * (k + 1), list[k]);

  // Points on the picture sit at the current's axis position; the printer and alternative
  // layouts place them one unit further left.
  const double u0 = p.kind == LineLossLayout::Screen ? 39 : 38;
  c.draw_width = 1;
  // Samples and the fitted line stay inside the chart frame whatever their values (from the
  // points' own axis position, one unit left of the frame on paper).
  ClipFrame clip(c, p.x(u0), p.y(50), p.x(439), p.y(450));
  const int n = std::clamp(count, 0, kSampleArraySize);
  for (int i = 0; i < n; ++i)
    c.pset(p.x(u0 + 2.5 * st.iis[i]), p.y(v_of(st.uus[i])), st.pps[i] > 0.0f ? kWaveRed : kWaveGreen);

  if (e.valid) {
    const DrawStyle keep = c.draw_style;
    if (!p.alternative()) c.draw_style = DrawStyle::Solid;
    double u_end = p.kind == LineLossLayout::Screen ? 439 : 438;
    double v_end = v_of(e.intercept + 160 * e.slope);
    // On the screen a falling line ends where it reaches the bottom of the chart.
    if (p.kind == LineLossLayout::Screen && v_end > 450) {
      v_end = 450;
      if (e.slope != 0) u_end = 39 + 2.5 * (ubase - e.intercept) / e.slope;
    }
    c.line(p.x(39), p.y(v_of(e.intercept)), p.x(u_end), p.y(v_end), kBlack);
    c.draw_style = keep;
  }
}

namespace {

LineLossEstimate run(Canvas& c, LineLossLayout layout, DrawnTest& st, int count) {
  const int n = std::clamp(count, 0, kSampleArraySize);
  const LineLossEstimate e = estimate_line_loss(st, n);
  st.R_iu = correlation_text(e);
  const LineLossList list = line_loss_list(
      e, st.org_head.test_date,
      layout == LineLossLayout::Alternative ? LineLossListForm::Alternative : LineLossListForm::Screen);
  const std::string name = layout == LineLossLayout::Alternative ? Trim_Blank_Nul(st.Text1[appended_box::kWell]) : st.Text1[appended_box::kWell];
  draw_line_loss(c, layout, e, list, name, st, n);
  return e;
}

}  // namespace

LineLossEstimate Get_Line_Lose(Canvas& pic, DrawnTest& st, int count) {
  st.command1_visible = false;
  return run(pic, LineLossLayout::Screen, st, count);
}

LineLossEstimate Get_Line_Lose_print(Canvas& prn, DrawnTest& st, int count) {
  LineLossEstimate e = run(prn, LineLossLayout::Printer, st, count);
  prn.end_doc();
  return e;
}

LineLossEstimate Get_Line_Lose_prt(Canvas& pic, DrawnTest& st, int count) {
  return run(pic, LineLossLayout::Alternative, st, count);
}

}  // namespace wb
