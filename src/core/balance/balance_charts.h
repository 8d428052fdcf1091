// The counterbalance window's power chart: measured and predicted current and active power
// over one stroke, as a Cartesian chart against crank angle and as a polar chart around a
// dial, drawn in millimetres on the 165 × 74 mm picture of the "电力曲线" page.
//
// Every curve is drawn in the 12-o'clock frame of the prediction (the measured current is
// taken from the turned set), so that measured and predicted values at one angle belong
// to the same crank position.
#pragma once

#include "core/balance/balance_analysis.h"
#include "core/common/canvas.h"

namespace wb {

// Scale of the power chart: the largest value rounded up to a multiple of 25 (a value less
// than 0.025 above a multiple stays on it), in the precision the chart works in.
int power_chart_scale(float largest);

// Disp_PH's drawing: clears the canvas and draws title, grids, labels and the shown curves.
void draw_power_chart(Canvas& c, const BalanceState& a, bool show_current, bool show_power);

}  // namespace wb
