// The two charts of the single-well efficiency report, drawn in millimetres on a printer or
// a picture:
//   prt_sgt   the dynamometer card on the scales of the card chart (card_chart.h: stroke
//             scale from box 41, load scale from the larger of the measured maximum load
//             and box 43), frame 77.922 x 71.8 mm with its top edge at ys + 18.2, and the
//             theoretical card: a parallelogram between the loads of boxes 43 and 44 whose
//             upper side is shifted right by (sum of rod boxes 11..14) / 250 mm.
//   iup_line  voltage, current, active and reactive power over one stroke against crank
//             angle, plot frame 160 x 72 mm at (xx, yy), left scale for current and powers,
//             right scale for voltage (electric_chart.h), after recomputing the reactive
//             power from current, voltage and active power.
// Both leave the target's pen, style, font size and text colour as their last step set them.
#pragma once

#include <span>

#include "core/common/canvas.h"
#include "core/efficiency/well_base_record.h"

namespace wb {

// One stroke of the efficiency window: card points gt_num (sss m, ggs kN), electric points
// iu_num (uus V, iis A, pps kW, qqs kvar), wiring mode cs_fs. A span shorter than its count
// limits the points drawn.
struct EffiStroke {
  int gt_num = 0;
  int iu_num = 0;
  int cs_fs = 0;
  std::span<const float> sss, ggs;
  std::span<const float> uus, iis, pps;
  std::span<float> qqs;  // rewritten by iup_line
};

inline constexpr double kEffiCardAxisMm = 600 / 7.7;  // the stroke axis, 77.922 mm

// The card chart with the frame's left edge at xs and its top at ys + 18.2 (mm). Every
// point of the stroke is drawn. Returns the rod length of boxes 11..14 (Rod_Len_Sum).
double prt_sgt(Canvas& c, double xs, double ys, const EffiBoxTexts& Text1, const EffiStroke& stroke);

// The electric chart with its plot frame's top-left corner at (xx, yy) mm. Rewrites qqs(i)
// = Int(10·√(S² − P²) + 0.5)/10 kvar with S = Int(10·k·I·U + 0.5)/10 kVA, k = √3/1000 for
// wiring mode 1, 1/1000 for 3, 3/1000 otherwise; 0 when S < P.
void iup_line(Canvas& c, double xx, double yy, EffiStroke& stroke);

// The reactive power iup_line stores for one sample, kvar.
float report_reactive_power(int cs_fs, float current, float voltage, float power);

}  // namespace wb
