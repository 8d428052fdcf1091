#pragma once
// Quantities of one pumping stroke from its samples. Card and electric samples are taken
// 50 a second (0.02 s apart), so a stroke of n samples lasts n / 50 s.
//
// Precision matters to the numbers shown and stored: the card's work is summed in single
// precision where its power is shown in the main window's result box and on the card's
// header (screen and paper), and in double precision in the counterbalance's torque
// analysis. Each caller takes the function of its precision; neither may be swapped for
// the other without changing the last shown digit of some cards.
#include <span>

namespace wb {

inline constexpr int kSamplesPerSecond = 50;

// Fewest samples (4 s) that make a usable stroke: a test with fewer card or electric samples
// per stroke is neither handed to the efficiency window nor stored as its well's curves.
inline constexpr int kMinStrokePoints = 200;

// Stroke period of n samples, s: n / 50.
[[nodiscard]] inline double stroke_period_s(int n) { return n / static_cast<double>(kSamplesPerSecond); }

// Strokes per minute of a stroke of n samples (n != 0): 3000 / n.
[[nodiscard]] inline double strokes_per_minute(int n) { return 60.0 * kSamplesPerSecond / n; }

// Work of one stroke round the closed card loop of its first n points (trapezoids),
// positions in m and loads in kN give kN·m = kJ. A point beyond either array takes no part.
// Single-precision terms and sum: the main window's card header and power box.
[[nodiscard]] float loop_work_single(std::span<const float> pos, std::span<const float> load, int n);
// Double-precision terms and sum: the counterbalance's torque analysis.
[[nodiscard]] double loop_work_double(std::span<const float> pos, std::span<const float> load, int n);

// Mean polished-rod power of a stroke of n samples (n != 0), kW: its work (kJ) over its period.
[[nodiscard]] inline double card_power_kw(double work_kj, int n) { return work_kj / stroke_period_s(n); }

}  // namespace wb
