#include "core/diagnosis/card_plot.h"

#include <limits>
#include <string>
#include <string_view>

#include "core/common/number_text.h"

namespace wb {

namespace {

// Plot rectangle and card origin, plot units.
constexpr double kPlotTop = 91;
constexpr double kGridBottom = 450;
constexpr double kFrameBottom = 452;
constexpr double kZeroLoadY = 451;
constexpr double kPlotRight = 600;
// Label offsets in target units (points on screen, millimetres on paper).
constexpr double kStrokeLabelLeft = 4;
constexpr double kStrokeLabelDown = 3;
constexpr std::string_view kStrokeTitle = " 行程(m)";
constexpr double kLoadLabelLeft = 45;  // plot units, divided by x_div

constexpr int kBlackColour = 0, kDarkYellow = 6, kLightBlue = 9, kLightGreen = 10, kLightRed = 12,
              kLightMagenta = 13;

struct Mapper {
  const DiagnosisChart& p;
  double X(double x) const { return (x + p.x_off) / p.x_div; }
  double Y(double y) const { return (y + p.y_off) / p.y_div; }
  void line(Canvas& c, double x1, double y1, double x2, double y2, Rgb colour) const {
    c.line(X(x1), Y(y1), X(x2), Y(y2), colour);
  }
  double card_x(float s) const { return static_cast<double>(p.stroke_scale) * s; }
  double card_y(float f) const { return kZeroLoadY - static_cast<double>(p.load_scale) * f / 10; }
};

void draw_card(const Mapper& m, Canvas& c, const std::array<float, kCardPlotPoints>& s,
               const std::array<float, kCardPlotPoints>& f, Rgb colour) {
  c.pset(m.X(m.card_x(s[0])), m.Y(m.card_y(f[0])), colour);
  for (int i = 0; i < kStrokePoints; ++i) c.line_to(m.X(m.card_x(s[i])), m.Y(m.card_y(f[i])), colour);
  c.line_to(m.X(m.card_x(s[0])), m.Y(m.card_y(f[0])), colour);
}

// One static card: top, bottom, load take-up, unloading.
void draw_static_card(const Mapper& m, Canvas& c, const DiagnosisChart& p, double y_top, Rgb colour) {
  m.line(c, p.x_loss, y_top, p.x_stroke, y_top, colour);
  m.line(c, 0, p.y_rod_weight, p.x_stroke_less_loss, p.y_rod_weight, colour);
  m.line(c, p.x_loss, y_top, 0, p.y_rod_weight, colour);
  m.line(c, p.x_stroke, y_top, p.x_stroke_less_loss, p.y_rod_weight, colour);
}

}  // namespace

void Draw_Gt_Bgt(const DiagnosisChart& p, Canvas& c) {
  const Mapper m{p};
  const Rgb black = QBColor(kBlackColour);
  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;

  const long long stroke_lines = round_even(p.stroke_max);
  double prev_label_end = -std::numeric_limits<double>::infinity();
  for (long long i = 0; i <= stroke_lines; ++i) {
    const double x = static_cast<double>(i) * p.stroke_scale;
    m.line(c, x, kPlotTop, x, kGridBottom, black);
    c.fore_color = black;
    c.current_x -= kStrokeLabelLeft;
    c.current_y += kStrokeLabelDown;
    if (i < 1) continue;
    const std::string label = " " + std::to_string(i);
    if (i == stroke_lines) {
      // The axis title goes just left of the last number, where it covers no other
      // number; where the numbers stand too close for that, on the line below, ending
      // under the last number's end (right of it the title would leave the page).
      const double label_x = c.current_x, row_y = c.current_y;
      const double title_w = c.text_width(kStrokeTitle);
      c.print_inline(label);
      const double label_end = c.current_x;
      if (label_x - title_w >= prev_label_end) {
        c.current_x = label_x - title_w;
        c.current_y = row_y;
      } else {
        c.current_x = label_end - title_w;
        c.current_y = row_y + c.text_height(kStrokeTitle);
      }
      c.print(kStrokeTitle);
    } else {
      prev_label_end = c.current_x + c.text_width(label);
      c.print(label);
    }
  }

  const long long load_lines = round_even(p.load_divs);
  for (long long j = 0; j <= load_lines; ++j) {
    const double y = kPlotTop + static_cast<double>(j) * p.grid_step;
    m.line(c, kPlotRight, y, 0, y, black);
    c.fore_color = black;
    c.current_x -= kLoadLabelLeft / p.x_div;
    if (j == 0) {
      c.print(" " + num_text_f(p.load_max) + "负载(kN)");
    } else {
      c.print(" " + num_text_f(p.load_max - static_cast<float>(j) * p.load_step));
    }
  }

  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  c.box(m.X(0), m.Y(kPlotTop), m.X(kPlotRight), m.Y(kFrameBottom), black);

  c.draw_width = 2;
  if (p.surface_valid) draw_card(m, c, p.surf_s, p.surf_f, QBColor(kLightRed));
  if (p.pump_valid) draw_card(m, c, p.pump_s, p.pump_f, QBColor(kLightBlue));

  c.draw_width = 1;
  c.draw_style = DrawStyle::Solid;
  draw_static_card(m, c, p, p.y_load_level, QBColor(kLightGreen));
  draw_static_card(m, c, p, p.y_load_full, QBColor(kLightMagenta));

  c.draw_width = 1;
  c.draw_style = DrawStyle::Dot;
  const Rgb yellow = QBColor(kDarkYellow);
  m.line(c, 0, p.y_buoyancy, p.x_stroke_less_loss, p.y_buoyancy, yellow);
  const double y1 = m.Y(p.y_buoyancy) + 1;
  c.line(m.X(0), y1, m.X(p.x_stroke_less_loss), y1, yellow);
}

}  // namespace wb
