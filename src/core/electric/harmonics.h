// Harmonic shares of a waveform test and their bar charts.
//
// A waveform record stores, for current and voltage, one sine/cosine coefficient pair per
// harmonic order (0 = constant term, 1 = fundamental). The share of an order is its
// amplitude in percent of the root-sum-square of the amplitudes of all stored orders, the
// constant term included, so no share exceeds 100 and a fixed 100 % scale holds every bar.
#pragma once

#include <array>

#include "core/common/canvas.h"
#include "core/common/test_records.h"
#include "core/records/drawn_test.h"

namespace wb {

// Shares in percent by order 0..50; orders not stored stay 0.
using ShareTable = std::array<float, 51>;

struct HarmonicShares {
  ShareTable voltage{};
  ShareTable current{};
};

// Orders 0..order_num-1, at most 50; all shares 0 when order_num <= 0 or every coefficient
// is 0. Amplitudes, terms and the running sum are single precision, the root double.
HarmonicShares Get_Xb_Percent(const XbtRecord& rec);

// Rounds the shares of orders 0..40 to two decimals, halves up (the printed tables).
void round_shares_for_table(ShareTable& s);

// One bar chart: frame, four dotted grid lines (20 % … 80 %), the caption (when given, in
// `color`, starting at the middle of the chart), the 40 bars of orders 0..39 filled with
// `color`, and the black order labels 0, 5, …, 35 in `label_size` (0: the size in force),
// each placed from the right edge of its bar (`label_back` mm left of it for orders below
// 10, `label_back_wide` from 10 on) and 0.2 mm below the chart.
struct BarChartGeometry {
  double w = 95, h = 25;
  bool frame_four_lines = false;   // printer: four lines in the pen width in force
  double label_back = 2.6, label_back_wide = 3.4;
  const char* caption = nullptr;
  double caption_size = 12, caption_dy = 5;
  double label_size = 8;
};
void draw_xbt_bars(Canvas& c, double x0, double y0, const ShareTable& s, Rgb color, const BarChartGeometry& g);

// Screen view: voltage bars at (xx, yy), current bars 30 mm lower, on the main picture;
// clears it, sets the millimetre scale and makes the print-preview button visible. Leaves
// 8 pt, black text, solid lines of width 1.
void draw_xbt_2(Canvas& pic, DrawnTest& st, float xx, float yy);

// Printer version on the current page: title, both charts (80 x 37 mm, the current chart
// 40.5 mm below), the share table of orders 1..40 and the six electric values.
void draw_xbt_2prt(Canvas& prn, const DrawnTest& st, float xx, float yy);

}  // namespace wb
