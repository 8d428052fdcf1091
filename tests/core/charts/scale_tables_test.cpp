// The scale tables of the card and electric charts at their boundaries.
#include <gtest/gtest.h>

#include <cmath>

#include "core/charts/card_chart.h"
#include "core/charts/electric_chart.h"

namespace wb {
namespace {

TEST(CardScales, PositionScaleAtBoundaries) {
  struct Case {
    double s3;
    int divisions;
    double step;
    double h;  // units per metre
  };
  const Case cases[] = {
      {-5, 3, 1, 200},  {0, 3, 1, 200},       {3.0, 3, 1, 200},     {3.001, 4, 1, 150},
      {4.0, 4, 1, 150}, {4.001, 5, 1, 120},   {5.0, 5, 1, 120},     {5.001, 6, 1, 100},
      {6.0, 6, 1, 100},
      // Longer strokes: whole metres up to 12, then 2 m divisions.
      {6.001, 7, 1, 600.0 / 7}, {12.0, 12, 1, 50}, {12.001, 7, 2, 600.0 / 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s3);
    const CardPositionScale ps = card_position_scale(c.s3);
    EXPECT_EQ(ps.divisions, c.divisions);
    EXPECT_DOUBLE_EQ(ps.step_m, c.step);
    EXPECT_DOUBLE_EQ(ps.units_per_m, c.h);
    EXPECT_DOUBLE_EQ(ps.units_per_m * ps.divisions * ps.step_m, 600.0);  // axis always 600 units
  }
}

TEST(CardScales, MeasuredStrokeIsRoundedBeforeTheTable) {
  // 2.9996 m rounds to 3.000 (3 divisions); 3.0006 m to 3.001 (4 divisions).
  SampleArray s{}, g{};
  s[1] = 2.9996f;
  EXPECT_DOUBLE_EQ(card_measures(s, g, 2, 100).stroke3, 3.0);
  EXPECT_EQ(card_position_scale(card_measures(s, g, 2, 100).stroke3).divisions, 3);
  s[1] = 3.0006f;
  EXPECT_DOUBLE_EQ(card_measures(s, g, 2, 100).stroke3, 3.001);
  EXPECT_EQ(card_position_scale(card_measures(s, g, 2, 100).stroke3).divisions, 4);
}

TEST(CardScales, LoadScaleAtBoundaries) {
  struct Case {
    double g_max, full, step, pitch;
    int n;
  };
  const Case cases[] = {
      {0, 30, 3, 36, 10},     {30, 30, 3, 36, 10},     {30.01, 40, 5, 45, 8},  {40, 40, 5, 45, 8},
      {40.01, 60, 5, 30, 12}, {60, 60, 5, 30, 12},     {60.01, 80, 10, 45, 8}, {80, 80, 10, 45, 8},
      {80.01, 100, 10, 36, 10}, {100, 100, 10, 36, 10}, {100.01, 120, 10, 30, 12}, {500, 120, 10, 30, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.g_max);
    const CardLoadScale ls = card_load_scale(c.g_max);
    EXPECT_DOUBLE_EQ(ls.full_kn, c.full);
    EXPECT_EQ(ls.divisions, c.n);
    EXPECT_DOUBLE_EQ(ls.step_kn, c.step);
    EXPECT_DOUBLE_EQ(ls.pitch, c.pitch);
    EXPECT_DOUBLE_EQ(ls.units_per_10kn, 3600.0 / c.full);
    EXPECT_DOUBLE_EQ(ls.divisions * ls.pitch, 360.0);            // axis always 360 units
    EXPECT_DOUBLE_EQ(ls.divisions * ls.step_kn, ls.full_kn);     // labels reach 0
  }
}

TEST(CardScales, AllNegativeLoadsHaveZeroMaximum) {
  SampleArray s{}, g{};
  for (int i = 0; i < 4; ++i) g[i] = -5.0f - i;
  const CardMeasures m = card_measures(s, g, 4, 100);
  EXPECT_EQ(m.g_max, 0.0f);
  EXPECT_EQ(m.g_min, -8.0f);
  EXPECT_DOUBLE_EQ(card_load_scale(m.g_max).full_kn, 30);
}

TEST(ElectricScales, PowerScale) {
  // A = floor(M/25 + 0.5)·25 + 25: the half-way points between multiples of 25 switch.
  const std::pair<double, double> cases[] = {{0, 25},    {-3, 25},  {12.49, 25}, {12.5, 50}, {37.2, 50},
                                             {37.49, 50}, {37.5, 75}, {40, 75},     {62.5, 100}};
  for (auto [m, a] : cases) {
    SCOPED_TRACE(m);
    EXPECT_DOUBLE_EQ(electric_power_scale(m), a);
  }
}

TEST(ElectricScales, VoltageScaleScreenAndPage) {
  struct Case {
    double max_u, screen, page;
  };
  const Case cases[] = {
      {380, 400, 400}, {400, 400, 400}, {400.04, 450, 400}, {400.1, 450, 450},
      {0, 0, 0},       {-10, 0, 0},     {0.04, 50, 0},      {49, 50, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.max_u);
    EXPECT_DOUBLE_EQ(electric_voltage_scale(c.max_u, kScreenVoltageRounding), c.screen);
    EXPECT_DOUBLE_EQ(electric_voltage_scale(c.max_u, kPageVoltageRounding), c.page);
  }
}

// A maximum that is no number gives the empty chart's scales, for the power, the voltage,
// the card's stroke and load: no axis is labelled "nan" or "inf".
TEST(Scales, NonFiniteMaximaFallBackToTheEmptyChartsScales) {
  for (double bad : {std::nan(""), static_cast<double>(INFINITY), -static_cast<double>(INFINITY)}) {
    SCOPED_TRACE(bad);
    EXPECT_DOUBLE_EQ(electric_power_scale(bad), electric_power_scale(0));
    EXPECT_DOUBLE_EQ(electric_voltage_scale(bad, kScreenVoltageRounding), electric_voltage_scale(0, kScreenVoltageRounding));
    EXPECT_DOUBLE_EQ(electric_voltage_scale(bad, kPageVoltageRounding), electric_voltage_scale(0, kPageVoltageRounding));
    EXPECT_TRUE(std::isfinite(card_load_scale(bad).full_kn));
    const CardPositionScale ps = card_position_scale(bad);
    EXPECT_TRUE(std::isfinite(ps.step_m) && std::isfinite(ps.units_per_m));
  }
}

TEST(ElectricScales, RecordingTimeGrid) {
  struct Case {
    int n;
    std::vector<double> labels;
    double pitch;  // mm between lines
  };
  const Case cases[] = {
      {500, {0, 2, 4, 6, 8, 10}, 17.0},
      {700, {0, 3, 6, 9, 12}, 85.0 / (700.0 / 3 / 50)},
      {144, {0, 1, 2}, 85.0 / 2.88},
      {125, {0, 1, 2}, 85.0 / 2.5},       // first stroke with whole-second steps
      {2000, {0, 8, 16, 24, 32, 40}, 17.0},
      // Short strokes: half, fifth and tenth seconds.
      {124, {0, 0.5, 1, 1.5, 2}, 85.0 / 4.96},
      {50, {0, 0.5, 1}, 42.5},
      {49, {0, 0.2, 0.4, 0.6, 0.8}, 85.0 / 4.9},
      {19, {0, 0.1, 0.2, 0.3}, 85.0 / 3.8},
      {4, {0}, 0},
      {0, {0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    const auto grid = recording_time_grid(c.n);
    ASSERT_EQ(grid.size(), c.labels.size());
    for (std::size_t k = 0; k < grid.size(); ++k) {
      EXPECT_DOUBLE_EQ(grid[k].label, c.labels[k]);
      EXPECT_NEAR(grid[k].x, 10 + k * c.pitch, 1e-9);
      EXPECT_LE(grid[k].x, 95 + 1e-9);  // never beyond the frame
    }
  }
}

TEST(ElectricScales, TimeGridAgreesWithTheCurvesForLongStrokes) {
  // Above 2000 points the 85 mm cover the stroke rounded up to 250 points; each time line
  // must stand where the sample of that time is drawn.
  for (int n : {300, 1999, 2000, 2001, 2250, 2251, 3000}) {
    SCOPED_TRACE(n);
    for (const auto& line : recording_time_grid(n))
      EXPECT_NEAR(line.x, screen_sample_x(static_cast<int>(std::lround(line.label * 50)), n), 1e-9);
  }
  // n = 2001: the last sample lies at about 85.6 mm.
  EXPECT_NEAR(screen_sample_x(2000, 2001), 10 + 2000 / (2250.0 / 85), 1e-9);
  EXPECT_NEAR(screen_sample_x(499, 500), 10 + 85.0 * 499 / 500, 1e-9);
}

}  // namespace
}  // namespace wb
