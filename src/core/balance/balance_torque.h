// Torques at the crankshaft over one stroke, and their chart on the "扭矩曲线" page.
//
// Load torque: polished-rod load times the torque factor dS/dθ (m per radian of crank turn).
// Net torque: the measured active power (and the predicted one) through the drive's
// efficiency, divided by the crank speed. Counterbalance torque: what the net torque holds
// beyond the load torque over harmonics 1..5. The load torque comes from the card, counted
// from the bottom dead centre; it is turned into the 12-o'clock frame of the net torques
// before the two are compared or drawn together.
#pragma once

#include <vector>

#include "core/balance/balance_analysis.h"
#include "core/common/canvas.h"

namespace wb {

struct TorqueAnalysis {
  bool drawn = false;  // false: the card's first harmonic is below 0.5 m, the page stays empty
  float Trans_Effi = 0;   // motor input to polished rod
  float Crank_Omega = 0;  // rad/s
  float Rod_P = 0, Avg_P = 0;  // kW
  // 12-o'clock frame, indices 0..n-1, kN·m.
  std::vector<float> Load_Twist, Net_Twist, Net_Twist_After, Bal_Twist, Bal_Twist_After;
  float Twist_Max = 0;  // full scale, a multiple of 3
  int step = 0;         // label step
  float Rated_Twist = 0;
};

// Scale of the torque chart: the largest magnitude rounded up to a multiple of 3 (less than
// 0.003 above a multiple stays on it), in single precision as the chart computes it.
float torque_chart_scale(float largest);

// Computes the torques of the last analysis (recomputes a.S_Cos, a.S_Sin from sss).
TorqueAnalysis compute_torques(BalanceState& a, float rated_torque);

struct TorqueSwitches {
  bool net = true, load = true, balance = true;
};
// Disp_Twist's drawing: clears the canvas, then title, frames, labels, curves, rated torque.
void draw_torque_chart(Canvas& c, const TorqueAnalysis& t, const std::string& well, const TorqueSwitches& show);

}  // namespace wb
