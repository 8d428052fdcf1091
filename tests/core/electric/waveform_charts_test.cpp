#include "core/electric/waveform_charts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "electric_test_util.h"

namespace wb {
namespace {

using namespace electric_test;

// One cycle of 180 points, point k at 2k degrees: voltage 311 V peak, current 50 A peak lagging 90°.
DrawnTest sine_cycle(double u_peak = 311, double i_peak = 50) {
  DrawnTest st;
  st.iu_num = kWaveCyclePoints;
  for (int k = 0; k < kWaveCyclePoints; ++k) {
    const double th = 2.0 * k * M_PI / 180.0;
    st.uus[k] = static_cast<float>(std::round(u_peak * std::sin(th) * 100) / 100);
    st.iis[k] = static_cast<float>(std::round(i_peak * std::sin(th - M_PI / 2) * 100) / 100);
  }
  return st;
}

TEST(WaveformCurves, ScreenChart) {
  DrawnTest st = sine_cycle();
  RecordingCanvas pic(106, 64);
  draw_xbt_1(pic, st, 5, 7);

  EXPECT_TRUE(st.command1_visible);
  EXPECT_EQ(pic.items.front().op, Op::Clear);
  // Frame 95 x 50 mm, zero line light blue at 32 mm, grid lines every 5 mm and 23.75 mm.
  auto rects = items_of(pic, Op::Rect);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_NEAR(rects[0].x2, 100, 1e-9);
  EXPECT_NEAR(rects[0].y2, 57, 1e-9);
  const Item* zero = find_line(pic, 5, 32, 100, 32, 1e-9);
  ASSERT_TRUE(zero);
  EXPECT_EQ(zero->pen.color, kWaveBlue);
  EXPECT_EQ(zero->pen.style, DrawStyle::Dot);
  EXPECT_TRUE(find_line(pic, 5 + 23.75, 7, 5 + 23.75, 57, 1e-9));
  EXPECT_EQ(items_of(pic, Op::Line, kWaveGrey).size(), 11u);  // 8 horizontal + 3 vertical

  // Each curve to its own peak: voltage point 45 (90°) and current point 90 (180°, 90° late)
  // both reach the top edge at y = 7.
  auto red = items_of(pic, Op::Line, kWaveRed);
  auto green = items_of(pic, Op::Line, kWaveGreen);
  ASSERT_EQ(red.size(), 179u);
  ASSERT_EQ(green.size(), 179u);
  EXPECT_NEAR(red[44].y2, 7, 1e-9);
  EXPECT_NEAR(red[44].x2, 5 + 95.0 * 45 / 180, 1e-9);
  EXPECT_NEAR(green[89].y2, 7, 1e-9);
  // The curve is not closed: it ends at 95·179/180 = 94.47 mm from the left edge.
  EXPECT_NEAR(red.back().x2, 5 + 94.4722, 1e-4);
  // Point 0 is a dot; the curves take the dotted style the grid left.
  auto pts = items_of(pic, Op::Point);
  ASSERT_EQ(pts.size(), 2u);
  EXPECT_NEAR(pts[0].y1, 32, 1e-9);
  EXPECT_EQ(red[0].pen.style, DrawStyle::Dot);

  const Item* cap = find_text_at(pic, "电压波形曲线", 52.5, 12);
  ASSERT_TRUE(cap);
  EXPECT_DOUBLE_EQ(cap->font.size, 12);
  EXPECT_TRUE(find_text_at(pic, "电流波形曲线", 52.5, 17));
  EXPECT_DOUBLE_EQ(pic.font.size, 8);
  EXPECT_EQ(pic.fore_color, kBlack);
}

TEST(WaveformCurves, FullScaleNeverBelowTen) {
  struct Case {
    const char* name;
    double u_peak, i_peak;
    double u_top_y;  // y of the voltage at 90°
  };
  // Frame top 7, zero line 32, H = 25.
  const Case cases[] = {{"all zero: flat on the zero line", 0, 0, 32},
                        {"4 V peak against 10 V", 4, 4, 32 - 25 * 0.4},
                        {"540 V peak reaches the top", 540, 4, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrawnTest st = sine_cycle(c.u_peak, c.i_peak);
    RecordingCanvas pic(106, 64);
    draw_xbt_1(pic, st, 5, 7);
    auto red = items_of(pic, Op::Line, kWaveRed);
    ASSERT_EQ(red.size(), 179u);
    EXPECT_NEAR(red[44].y2, c.u_top_y, 1e-6);
  }
}

TEST(WaveformCurves, NoPointsDrawsOnlyTheFirstDots) {
  DrawnTest st;
  RecordingCanvas pic(106, 64);
  draw_xbt_1(pic, st, 5, 7);
  EXPECT_TRUE(items_of(pic, Op::Line, kWaveRed).empty());
  auto pts = items_of(pic, Op::Point);
  ASSERT_EQ(pts.size(), 2u);
  EXPECT_NEAR(pts[0].x1, 5, 1e-9);
}

TEST(WaveformCurves, PrinterTitleTableAndValues) {
  DrawnTest st = sine_cycle();
  st.xbt_rec.well_name = "W12A ";
  st.xbt_rec.voltage = 19000;   // 380 V
  st.xbt_rec.phase_diff = -3550;
  RecordingCanvas prn(210, 297, true);
  draw_xbt_1prt(prn, st, 100, 20);

  const Item* title = find_text_at(prn, "W12A" + std::string(12, ' ') + "井电流电压波形曲线", 60, 10);
  ASSERT_TRUE(title);
  EXPECT_TRUE(title->font.underline);
  // Frame as four lines; the curves in width 2.
  EXPECT_EQ(prn.count(Op::Rect), 0u);
  EXPECT_TRUE(find_line(prn, 100, 20, 180, 20, 1e-9));
  EXPECT_TRUE(find_line(prn, 180, 20, 180, 94, 1e-9));
  EXPECT_EQ(items_of(prn, Op::Line, kWaveRed).front().pen.width, 2);
  // Table row 9: phase 90, current at 90° and 270°, voltage at 90° and 270°.
  const double y9 = 20 + 10 * 74.0 / 18.0;
  EXPECT_TRUE(find_text_at(prn, " 90", 17, y9, 1e-9));
  EXPECT_TRUE(find_text_at(prn, " 311", 52, y9, 1e-9));
  EXPECT_TRUE(find_text_at(prn, "-311", 66, y9, 1e-9));
  EXPECT_TRUE(find_text_at(prn, "相角", 17, 20));
  EXPECT_TRUE(find_text_at(prn, " 380", 36, 105));
  EXPECT_TRUE(find_text_at(prn, "-35.5", 143, 105));
}

TEST(WaveformCurves, NameFieldIsSixteenCharacters) {
  XbtRecord r;
  r.well_name = std::string("示范井1") + std::string(8, ' ') + std::string(2, '\0');
  EXPECT_EQ(xbt_name_field(r), "示范井1" + std::string(12, ' '));
  r.well_name = "ABCDEFGHIJKLMNOPQR";
  EXPECT_EQ(xbt_name_field(r), "ABCDEFGHIJKLMNOP");
}

}  // namespace
}  // namespace wb
