#include "core/electric/harmonics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/common/fourier.h"
#include "core/electric/waveform_charts.h"
#include "electric_test_util.h"

namespace wb {
namespace {

using namespace electric_test;

// Order k with amplitude A and phase φ in A·sin(kθ + φ): sine coefficient A·cos φ, cosine A·sin φ.
void put(std::array<float, 50>& sn, std::array<float, 50>& cs, int k, double amp, double phase_deg) {
  const double ph = phase_deg * M_PI / 180.0;
  sn[k] = static_cast<float>(amp * std::cos(ph));
  cs[k] = static_cast<float>(amp * std::sin(ph));
}

TEST(HarmonicShares, KnownCoefficients) {
  struct Case {
    const char* name;
    std::int16_t order_num;
    std::vector<std::array<double, 3>> current;  // order, amplitude, phase
    std::vector<std::pair<int, double>> expect;  // order, share (others 0)
  };
  const Case cases[] = {
      {"pure sine of any amplitude", 20, {{1, 7.3, 40}}, {{1, 100}}},
      // S = √(1 + 1/9): 1/S = 94.868 %, (1/3)/S = 31.623 %.
      {"fundamental and a third of it at order 3", 20, {{1, 90, 0}, {3, 30, 75}}, {{1, 94.8683}, {3, 31.6228}}},
      // The constant term a(0) = 60 enters S with the fundamental of 80: S = 100.
      {"constant term", 20, {{0, 60, 90}, {1, 80, -30}}, {{0, 60}, {1, 80}}},
      // Orders at or above order_num are not stored.
      {"order 10 ignored with order_num 10", 10, {{1, 80, 0}, {10, 60, 0}}, {{1, 100}}},
      {"order_num 0 uses none", 0, {{1, 80, 0}}, {}},
      {"order_num above 50 uses 0..49", 60, {{1, 30, 0}, {49, 40, 0}}, {{1, 60}, {49, 80}}},
      {"all zero", 20, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XbtRecord rec;
    rec.order_num = c.order_num;
    for (const auto& h : c.current) put(rec.ii_sin, rec.ii_cos, static_cast<int>(h[0]), h[1], h[2]);
    put(rec.uu_sin, rec.uu_cos, 1, 311, 0);  // the voltage table is independent
    HarmonicShares sh = Get_Xb_Percent(rec);
    ShareTable want{};
    for (const auto& [k, v] : c.expect) want[k] = static_cast<float>(v);
    for (int k = 0; k <= 50; ++k) EXPECT_NEAR(sh.current[k], want[k], 2e-4) << "order " << k;  // single precision
    if (c.order_num >= 2) {
      EXPECT_NEAR(sh.voltage[1], 100, 1e-4);
    }
  }
}

// The shares of a cycle rebuilt from the record as the reader does (180 points, θ = 2·3.14159/180)
// agree with the shares of its coefficients: re-analysing the rebuilt cycle gives them back.
TEST(HarmonicShares, RebuiltCycleCarriesTheShares) {
  XbtRecord rec;
  rec.order_num = 20;
  put(rec.ii_sin, rec.ii_cos, 1, 40, -35);
  put(rec.ii_sin, rec.ii_cos, 5, 8, 60);
  put(rec.ii_sin, rec.ii_cos, 7, 6, -110);
  std::array<float, 180> cycle{};
  reader_series(cycle.data(), 180, 180, rec.order_num - 1, rec.ii_cos.data(), rec.ii_sin.data());
  // Point 0 (θ = 0) is the sum of the cosine coefficients: 40 sin(−35°) + 8 sin 60° + 6 sin(−110°).
  const double p0 = 40 * std::sin(-35 * M_PI / 180) + 8 * std::sin(60 * M_PI / 180) + 6 * std::sin(-110 * M_PI / 180);
  EXPECT_NEAR(cycle[0], p0, 1e-4);

  // Re-analyse by the plain DFT of one period: amplitude of order k = (2/N)|Σ x e^{-ikθ}|.
  std::array<double, 20> amp{};
  for (int k = 1; k < 20; ++k) {
    double re = 0, im = 0;
    for (int j = 0; j < 180; ++j) {
      re += cycle[j] * std::cos(2 * M_PI * k * j / 180);
      im += cycle[j] * std::sin(2 * M_PI * k * j / 180);
    }
    amp[k] = 2.0 / 180 * std::hypot(re, im);
  }
  HarmonicShares sh = Get_Xb_Percent(rec);
  const double s = std::sqrt(40.0 * 40 + 8 * 8 + 6 * 6);
  // The reader's five-digit π leaves a small leak between orders; 0.05 % covers it.
  for (int k : {1, 5, 7}) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(sh.current[k], 100 * amp[k] / s, 0.05);
  }
  EXPECT_NEAR(sh.current[5], 100 * 8 / s, 1e-4);
}

TEST(HarmonicShares, TableRoundingHalvesUp) {
  ShareTable s{};
  s[1] = 12.345f;
  s[2] = 0.5f;
  s[3] = 99.994f;
  s[41] = 12.345f;  // beyond the table: untouched
  round_shares_for_table(s);
  EXPECT_FLOAT_EQ(s[1], 12.35f);
  EXPECT_FLOAT_EQ(s[2], 0.5f);
  EXPECT_FLOAT_EQ(s[3], 99.99f);
  EXPECT_FLOAT_EQ(s[41], 12.345f);
}

TEST(HarmonicBars, ScreenChartsGeometry) {
  DrawnTest st;
  st.xbt_rec.order_num = 20;
  put(st.xbt_rec.ii_sin, st.xbt_rec.ii_cos, 1, 25, 10);  // pure sine current
  put(st.xbt_rec.uu_sin, st.xbt_rec.uu_cos, 1, 300, 0);
  put(st.xbt_rec.uu_sin, st.xbt_rec.uu_cos, 3, 100, 0);
  RecordingCanvas pic(106, 64);
  draw_xbt_2(pic, st, 5, 3);

  EXPECT_TRUE(st.command1_visible);
  ASSERT_FALSE(pic.items.empty());
  EXPECT_EQ(pic.items.front().op, Op::Clear);
  // Captions start at the middle of each chart, 5 mm down.
  const Item* vc = find_text_at(pic, "电压谐波棒图", 52.5, 8);
  const Item* cc = find_text_at(pic, "电流谐波棒图", 52.5, 38);
  ASSERT_TRUE(vc && cc);
  EXPECT_EQ(vc->pen.color, kWaveRed);
  EXPECT_EQ(cc->pen.color, kWaveGreen);
  EXPECT_DOUBLE_EQ(vc->font.size, 12);

  // 40 bars per chart; the current's order 1 bar spans the full 25 mm, its order 2 bar is flat.
  auto green = items_of(pic, Op::Rect, kWaveGreen);
  ASSERT_EQ(green.size(), 40u);
  EXPECT_NEAR(green[1].x1, 5 + 2.375, 1e-9);
  EXPECT_NEAR(green[1].x2, 5 + 2.375 + 1, 1e-9);
  EXPECT_NEAR(green[1].y1, 58, 1e-9);
  EXPECT_NEAR(green[1].y2, 33, 1e-4);
  EXPECT_NEAR(green[2].y2, 58, 1e-9);
  // Voltage order 3: a third of the fundamental → 31.62 % of 25 mm.
  auto red = items_of(pic, Op::Rect, kWaveRed);
  ASSERT_EQ(red.size(), 40u);
  EXPECT_NEAR(28 - red[3].y2, 25 * 0.316228, 1e-3);

  // Order labels: 0 begins 1.6 mm left of the chart, 10 begins 2.4 mm left of its bar.
  EXPECT_TRUE(find_text_at(pic, " 0", 5 - 1.6, 28.2, 1e-9));
  EXPECT_TRUE(find_text_at(pic, " 10", 5 + 23.75 - 2.4, 28.2, 1e-9));
  EXPECT_TRUE(find_text_at(pic, " 35", 5 + 35 * 2.375 - 2.4, 58.2, 1e-9));
  EXPECT_FALSE(pic.find_text(" 40"));
  // Left behind: 8 pt, black, solid width 1.
  EXPECT_DOUBLE_EQ(pic.font.size, 8);
  EXPECT_EQ(pic.fore_color, kBlack);
  EXPECT_EQ(pic.draw_style, DrawStyle::Solid);
}

TEST(HarmonicBars, PrinterTableAndValues) {
  DrawnTest st;
  st.xbt_rec.well_name = "ABCDE";
  st.xbt_rec.order_num = 10;
  put(st.xbt_rec.ii_sin, st.xbt_rec.ii_cos, 1, 25, 0);
  put(st.xbt_rec.uu_sin, st.xbt_rec.uu_cos, 1, 300, 0);
  put(st.xbt_rec.uu_sin, st.xbt_rec.uu_cos, 2, 1.5, 0);
  st.xbt_rec.current = 1234;
  st.xbt_rec.power_factor = 8500;
  RecordingCanvas prn(210, 297, true);
  draw_xbt_2prt(prn, st, 100, 140);

  const Item* title = find_text_at(prn, "ABCDE" + std::string(11, ' ') + "井电力谐波分析结果", 60, 129);
  ASSERT_TRUE(title);
  EXPECT_TRUE(title->font.underline);
  EXPECT_TRUE(find_text_at(prn, "电压谐波棒图", 140, 148));
  EXPECT_TRUE(find_text_at(prn, "电流谐波棒图", 140, 140 + 40.5 + 9));
  // Row 1: order 1, current 100 %, order 21 0, voltage 1/√(1+0.005²)·100 = 99.9988 → 100.
  EXPECT_TRUE(find_text_at(prn, "阶次", 17, 140));
  EXPECT_TRUE(find_text_at(prn, " 1", 17, 143.7, 1e-9));
  EXPECT_TRUE(find_text_at(prn, " 100", 26, 143.7, 1e-9));
  // Row 2: voltage share of order 2 = 0.5 % (1.5 of 300) → " .5".
  EXPECT_TRUE(find_text_at(prn, " .5", 52, 147.4, 1e-9));
  // Orders 10 and above are not stored: row 10 shows 0.
  EXPECT_TRUE(find_text_at(prn, " 0", 26, 177, 1e-9));
  EXPECT_TRUE(find_text_at(prn, " 12.34", 36, 217));
  EXPECT_TRUE(find_text_at(prn, " .85", 143, 217));
  EXPECT_EQ(prn.count(Op::NewPage), 0u);
}

}  // namespace
}  // namespace wb
