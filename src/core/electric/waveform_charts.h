// Waveform curves of a waveform test: one supply cycle of voltage and current in one chart,
// each curve scaled to its own positive peak (never below 10 V or 10 A). The chart shows
// shape, not values: a frame, a dotted grid of 10 horizontal and 4 vertical bands, no axis
// numbers. Phase 0 is the left edge; a cycle of N points puts point i at W·i/N, so the curve
// ends one point short of the right edge.
#pragma once

#include <string>

#include "core/common/canvas.h"
#include "core/common/test_records.h"
#include "core/records/drawn_test.h"

namespace wb {

// Palette colours of the waveform and line-loss drawings.
inline constexpr Rgb kWaveGrey = rgb(128, 128, 128);
inline constexpr Rgb kWaveRed = rgb(255, 0, 0);     // voltage
inline constexpr Rgb kWaveGreen = rgb(0, 255, 0);   // current
inline constexpr Rgb kWaveBlue = rgb(0, 0, 255);    // zero line

// Points of one waveform cycle as the readers rebuild it (point k at phase 2k degrees).
inline constexpr int kWaveCyclePoints = 180;

// The well-name field of a waveform record as the titles print it: 16 characters, the name
// left-aligned and padded with blanks (NULs read from a file count as padding).
std::string xbt_name_field(const XbtRecord& rec);

enum class WaveFrame { Rectangle, FourLines };

// The chart rule: frame, grid and both curves of uus/iis points 0..n-1 with the top-left
// corner (x0, y0), width w and half-height h (mm). The frame takes the pen width in force;
// the curves are drawn with `curve_width` in the dotted style the grid leaves (a pen wider
// than 1 comes out solid on the devices). n is cut to the arrays; n <= 0 draws only the
// first point of each curve.
void draw_xbt_wave(Canvas& c, double x0, double y0, double w, double h, int curve_width, WaveFrame frame,
                   const float* uus, const float* iis, int n);
inline void draw_xbt_wave(Canvas& c, double x0, double y0, double w, double h, int curve_width, WaveFrame frame,
                          const DrawnTest& st) {
  draw_xbt_wave(c, x0, y0, w, h, curve_width, frame, st.uus.data(), st.iis.data(), st.iu_num);
}

// Screen view on the main picture (95 x 50 mm chart at (xx, yy)); sets millimetres and the
// plain 8 pt font (whatever the view before left), clears the picture, makes the
// print-preview button visible. Leaves 8 pt, black text, width 1, dotted lines.
void draw_xbt_1(Canvas& pic, DrawnTest& st, float xx, float yy);

// Printer version on the current page: title, the chart (80 x 74 mm), a table of the two
// waveforms every 10 degrees and the record's six electric values at fixed page places.
// Neither starts nor ends a page.
void draw_xbt_1prt(Canvas& prn, const DrawnTest& st, float xx, float yy);

// The record's six electric values in print form at fixed page places: current, active power
// and power factor at `y` (x 36, 90, 143 mm), voltage, apparent power and phase difference
// 6 mm lower.
void print_xbt_electric_values(Canvas& prn, const XbtRecord& rec, double y);

}  // namespace wb
