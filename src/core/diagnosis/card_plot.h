// The diagnosis chart: the surface card, the pump card, the two static cards
// (parallelograms) and the negative-buoyancy line over a stroke/load grid.
//
// Everything is drawn from the chart record `CardPlot`, which the refresh fills. Positions
// are plot units: the stroke axis runs from x = 0 to 600, the load axis from y = 451 (load 0)
// up to y = 91; y grows downward. A plot position maps to the target as
// X = (x + x_off) / x_div, Y = (y + y_off) / y_div, in the target's own unit: points on the
// window's picture, millimetres on the printed report. A card point of displacement s (m)
// and load f (kN) sits at x = stroke_scale * s, y = 451 - load_scale * f / 10.
#pragma once

#include <array>

#include "core/common/canvas.h"

namespace wb {

inline constexpr int kCardPlotPoints = 129;  // indexes 0..128; a stroke uses 0..71
inline constexpr int kStrokePoints = 72;

// The mapping of the window's picture (points) and of the report page (millimetres).
struct ChartMapping {
  float x_div, y_div, x_off, y_off;
};
inline constexpr ChartMapping kScreenChartMapping = {3.0f, 2.6f, 45.0f, -60.0f};
inline constexpr ChartMapping kPaperChartMapping = {6.1f, 4.0f, 575.0f, 28.5f};

// Every field is a 32-bit float, as the chart record keeps them.
struct DiagnosisChart {
  float x_loss = 0;              // x of the stroke loss
  float x_stroke = 0;            // x of the surface stroke
  float x_stroke_less_loss = 0;  // x of the stroke minus the loss
  float y_load_level = 0;        // y of the maximum static load by fluid level
  float y_load_full = 0;         // y of the maximum static load with a full liquid column
  float y_rod_weight = 0;        // y of the rod-string weight in liquid
  float y_buoyancy = 0;          // y of the negative buoyancy
  float x_div = kScreenChartMapping.x_div, y_div = kScreenChartMapping.y_div;
  float x_off = kScreenChartMapping.x_off, y_off = kScreenChartMapping.y_off;
  float load_divs = 0;     // load-axis divisions
  float load_step = 0;     // kN per division
  float load_max = 0;      // top of the load axis, kN
  float grid_step = 0;     // plot units per load division
  float load_scale = 0;    // ten times the plot units per kN
  float stroke_max = 0;    // right end of the stroke axis, m
  float stroke_scale = 0;  // plot units per metre
  std::array<float, kCardPlotPoints> pump_s{}, pump_f{};  // m, kN
  std::array<float, kCardPlotPoints> surf_s{}, surf_f{};  // m, kN
  // Which cards hold a stroke of this test; a card that is not valid is not drawn.
  bool surface_valid = false;
  bool pump_valid = false;

  void set_mapping(const ChartMapping& m) {
    x_div = m.x_div;
    y_div = m.y_div;
    x_off = m.x_off;
    y_off = m.y_off;
  }
};

// Draws the chart on `target` in its current scale. Clears nothing and sets no font; leaves
// the target's line width, style, text colour and current position changed.
void Draw_Gt_Bgt(const DiagnosisChart& plot, Canvas& target);

}  // namespace wb
