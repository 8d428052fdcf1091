// The electric curves of one pumping stroke: motor voltage, current, active and reactive
// power against recording time or crank angle, on the main picture (iup_line_form) or on
// the power-curve print page (iup_line_prt), plus that page's template.
//
// Current and the two powers share the left scale A (A, kW, kvar); voltage has the right
// scale V. A value w on scale s lies at top + H − w/s·H: s on the top edge, 0 on the zero
// line and −s/5 on the bottom edge of the frame. All lengths in millimetres.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/records/drawn_test.h"

namespace wb {

// Rounding constant of the voltage scale: the screen keeps 400.04 V off the 400 V scale,
// the page does not.
inline constexpr double kScreenVoltageRounding = 0.99999;
inline constexpr double kPageVoltageRounding = 0.999;

// The plot frame of an electric chart in millimetres: top-left corner, width, and the
// height from the top edge to the zero line (the frame is 6/5 of it high, a grid line every
// fifth); labels sit `lift` above their line; curves are drawn `curve_width` pixels wide.
struct ElectricFrame {
  double left = 0, top = 0, w = 0, h = 0;
  double lift = 0;
  int curve_width = 1;
};
// Labels: print form with a blank after the number.
std::string electric_label_text(double v);
// The left scale (current and powers, top value a_scale, seven dotted black lines with
// labels 6 mm left of the frame), the right scale (voltage; the bottom line solid) and the
// crank-angle grid (0 to 360 degrees in nine lines, labels 1 mm below the frame).
void draw_electric_scale_left(Canvas& c, const ElectricFrame& g, double a_scale);
void draw_electric_scale_right(Canvas& c, const ElectricFrame& g, double v_scale);
void draw_electric_crank_angle_grid(Canvas& c, const ElectricFrame& g);
// y of the value w on a scale whose top value is s.
double electric_scale_y(const ElectricFrame& g, double w, double s);

// Largest samples of one stroke (each starts at 0).
struct ElectricMaxima {
  float u = 0, i = 0, p = 0, q = 0;
};

// Recomputes qqs(0..n−1) from current, voltage and active power by st.dnt_rec.wiring_mode
// (apparent power S in kVA; Q = sqrt(S² − P²), 0 when not positive) and returns the maxima.
ElectricMaxima recompute_reactive_power(DrawnTest& st, int n);
// Apparent power of one sample, kVA, by wiring mode (0 for an unknown mode).
double apparent_power_kva(int wiring_mode, double current, double voltage);

// Power scale A from the largest current/power M: floor(M/25 + 0.5)·25 + 25. A maximum
// that is not finite counts as 0 in both scales (the empty chart's scales).
double electric_power_scale(double m);
// Voltage scale V from the largest voltage: floor(maxU/50 + c)·50.
double electric_voltage_scale(double max_u, double c);

// One vertical line of the screen's recording-time grid.
struct TimeGridLine {
  double x = 0;      // mm
  double label = 0;  // s
};
// The recording-time grid of a stroke of n points (0.02 s each) on the screen chart
// (left 10 mm, 85 mm wide), on the same horizontal scale as the curves.
std::vector<TimeGridLine> recording_time_grid(int n);
// The grid of a stroke of n samples whose drawing spans `covered` samples across the 85 mm.
std::vector<TimeGridLine> recording_time_grid(int n, double covered);
// x of sample i of n on the screen chart.
double screen_sample_x(int i, int n);

// Screen chart on the main picture. Clears it, sets millimetres and 9 pt, rewrites qqs,
// hides Command1; for a joint test also sums p_sum over gt_num samples and writes the mean
// into Text3(1). A stored electric record (gt_num 0) keeps the reader's p_sum and Text3(1),
// and its 144 rebuilt points get the time axis of its recorded point_num samples.
void iup_line_form(DrawnTest& st, Canvas& pic, int iu_num);

// Page chart of the current electric record with its plot frame's top-left corner at
// (xx, yy) mm, followed by the value block of the page template. Draws on the page as the
// caller left it (millimetres); uses st.iu_num points; rewrites qqs.
void iup_line_prt(DrawnTest& st, Canvas& prn, double xx, double yy);

// The legend line above a printed electric chart whose frame starts at (xx, yy), mm: the
// current, active and reactive captions in their curve colours from (xx − 6, yy − 5), the
// voltage caption at (voltage_x, yy − 5). Leaves the voltage colour set.
void print_electric_legend(Canvas& prn, double xx, double yy, Rgb reactive_color, double voltage_x);

// The fifteen values of the page's value block, in order (column by column, top to bottom).
std::array<float, 15> electric_page_values(const DntRecord& rec);

// The page template of a power-curve record, 156.9 × 113.5 mm with its top-left corner at
// (x, y) mm: outer frame and the ruled value table with its captions. The chart goes at
// (x + 15, y + 20).
inline constexpr double kDntPrintWidthMm = 593 * 25.4 / 96;
inline constexpr double kDntPrintHeightMm = 429 * 25.4 / 96;
void draw_dnt_print(Canvas& c, double x, double y);
// Captions of the template's table, in value order 1..15.
const std::array<const char*, 15>& dnt_print_captions();

}  // namespace wb
