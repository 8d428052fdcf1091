// The dynamometer card chart: polished-rod load against position over one stroke, the
// panel of measured values beside it, and the static (theoretical) card over it.
//
// The chart is laid out in layout units (u, v) on a picture whose scale is points: a point
// (u, v) lies u/3 points from the left and v/2.6 points from the top. The position axis is
// always 600 units wide (u 60..660) and the load axis 360 units high (v 31..391, zero load
// at v = 391, one unit below the plot frame). On the printer the same numbers are used in
// millimetres, so u/3 and v/2.6 are millimetres there.
#pragma once

#include <optional>
#include <string>

#include "core/common/canvas.h"
#include "core/records/drawn_test.h"

namespace wb {

inline constexpr double kCardOriginU = 60.0;   // zero position
inline constexpr double kCardZeroLoadV = 391.0;
inline constexpr double kCardPlotTopV = 31.0;
inline constexpr double kCardPlotBottomV = 390.0;
inline constexpr double kCardPlotRightU = 660.0;
inline constexpr double kCardUnitsPerPointU = 3.0;
inline constexpr double kCardUnitsPerPointV = 2.6;
inline constexpr double kCardPictureFontPt = 9.0;  // the card's texts, 宋体

// The area a card's curves are kept in: the plot frame, down to the zero-load line one unit
// below its lower edge (a card or static card at 0 kN stays visible).
struct CardClip {
  double u1 = kCardOriginU, v1 = kCardPlotTopV, u2 = kCardPlotRightU, v2 = kCardZeroLoadV;
};

// Position scale from the measured stroke rounded to 3 decimals (m).
struct CardPositionScale {
  int divisions = 0;         // n_x grid divisions
  double step_m = 1.0;       // metres per division (1 up to a 12 m stroke)
  double units_per_m = 0.0;  // H: 600 units over the axis
};
CardPositionScale card_position_scale(double s3);

// Load scale from the (unrounded) maximum load (kN).
struct CardLoadScale {
  double full_kn = 0;          // F
  int divisions = 0;           // n_y
  double step_kn = 0;          // label step
  double pitch = 0;            // P, units between load grid lines
  double units_per_10kn = 0;   // V
};
CardLoadScale card_load_scale(double g_max);

// The measured values of one stroke of the card arrays.
struct CardMeasures {
  float s_min = 0, s_max = 0;  // m
  float g_min = 0, g_max = 0;  // kN
  double stroke3 = 0;          // s_max - s_min rounded to 3 decimals, m
  float work = 0;              // kJ per stroke, closed loop, single-precision sum
  std::optional<double> spm;   // strokes per minute, 2 decimals; none when point_num is 0
  double power = 0;            // polished-rod power, kW, 2 decimals (0 when point_num is 0)
};
// n points of sss/ggs (clamped to the arrays); point_num is the recorded samples per
// stroke (0.02 s each) that give the period.
CardMeasures card_measures(const SampleArray& sss, const SampleArray& ggs, int n, int point_num);

// The static card: a parallelogram whose lower side starts at the chart's origin and whose
// upper side is shifted right by the stroke loss. All values in layout units.
struct StaticCardLines {
  double u_a = 0, u_b = 0, u_c = 0;
  double v_max = 0, v_min = 0;
};
// loss, stroke in m; loads in kN. The stroke loss is laid off at the stroke axis's own
// scale, so the shifted upper side agrees with the position labels.
StaticCardLines static_card_geometry(const CardPositionScale& ps, const CardLoadScale& ls, double loss,
                                     double stroke, double max_load, double min_load);
// The same from the static-card boxes of `st` (appended_box: stroke loss, theoretical stroke,
// maximum and minimum load); an empty or non-numeric box counts as 0.
StaticCardLines static_card_geometry(const CardPositionScale& ps, const CardLoadScale& ls, const DrawnTest& st);
// Draws the four lines (top, bottom, left, right) at (u/3, v/2.6) in the canvas's current
// scale with a 1-pixel solid light-blue pen, clipped to the card's plot area.
void draw_static_card(Canvas& c, const StaticCardLines& g);

// The header lines beside the card (17 lines, the last four empty).
std::array<std::string, 17> card_header_lines(const std::string& well, const std::string& test_date,
                                              const CardMeasures& m);

// Draws the card of the first n points of st.sss/st.ggs on `pic` (scale set to points,
// picture cleared) and writes the test date, the measured stroke and stroke rate, gt_stroke
// and gt_max_load, enables the well and static-card boxes and hides Command1.
void RodEngMapDisplay_G(DrawnTest& st, Canvas& pic, int gt_num);
// sgt_rec.point_num := gt_num, then RodEngMapDisplay_G(gt_num).
void RodEngMapDisplay_Card(DrawnTest& st, Canvas& pic);
// The static card alone, from the static-card boxes of appended_box, on the scales of the card last drawn
// (gt_stroke, gt_max_load). Draws over the picture in its current scale; clears nothing.
void disp_ll_sgt(const DrawnTest& st, Canvas& pic);
// Whether the main picture shows a card now (a card test, or the card view of a joint
// test): the static-load lines typed into the boxes are drawn only over a card.
bool picture_shows_card(const DrawnTest& st);
// The same four lines on the printer, in millimetres.
void prt_disp_ll_sgt(const DrawnTest& st, Canvas& printer);

}  // namespace wb
