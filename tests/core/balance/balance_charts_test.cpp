#include <gtest/gtest.h>

#include <cmath>

#include "core/balance/balance_charts.h"
#include "../test_canvas_util.h"

namespace wb {
namespace {

using namespace canvas_test;

TEST(BalanceChart, Scale) {
  struct Case {
    float largest;
    int vmax;
  } cases[] = {{0, 0}, {-10, 0}, {25, 25}, {25.01f, 25}, {25.03f, 50}, {80, 100}, {3, 25}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.largest);
    EXPECT_EQ(power_chart_scale(c.largest), c.vmax);
  }
}

BalanceState analysed(int n, float peak) {
  BalanceState a;
  a.held.DispCurveType = 3;
  a.held.gt_num = static_cast<std::int16_t>(n);
  a.held.Cur_Well = "W7";
  for (auto* v : {&a.iis12, &a.pps12, &a.iis_after, &a.pps_after}) v->assign(static_cast<std::size_t>(n) + 1, 0.0f);
  for (int i = 0; i < n; ++i) {
    const float s = static_cast<float>(std::sin(2 * 3.14159265358979 * i / n));
    a.pps12[static_cast<std::size_t>(i)] = peak * s;  // goes negative in the second half
    a.pps_after[static_cast<std::size_t>(i)] = 0.5f * peak * s;
    a.iis12[static_cast<std::size_t>(i)] = 10;
    a.iis_after[static_cast<std::size_t>(i)] = 9;
  }
  return a;
}

TEST(BalanceChart, GridLabelsAndCurves) {
  const int n = 40;
  BalanceState a = analysed(n, 80);
  RecordingCanvas c;
  draw_power_chart(c, a, true, true);
  EXPECT_TRUE(c.texts_containing("W7 井平衡分析").size() == 1);
  // Scale 100, step 20: labels from 100 at the top line to -20 at the bottom one.
  const char* labels[] = {" 100", " 80", " 60", " 40", " 20", " 0", "-20"};
  for (int j = 0; j <= 6; ++j) EXPECT_NE(find_text_at(c, labels[j], 1, 11 + 9 * j), nullptr) << labels[j];
  // Two charts, four curves each, n-1 segments per curve.
  const auto white = items_of(c, Op::Line, QBColor(15)).size();
  const auto red = items_of(c, Op::Line, QBColor(12)).size();
  const auto blue = items_of(c, Op::Line, QBColor(9)).size();
  const auto yellow = items_of(c, Op::Line, QBColor(14)).size();
  const auto cyan = items_of(c, Op::Line, QBColor(11)).size();
  EXPECT_EQ(red, 2u * (n - 1));
  EXPECT_EQ(white + yellow, 4u * (n - 1));  // measured current and power; negative power yellow on the dial
  EXPECT_EQ(blue + cyan, 2u * (n - 1));
  EXPECT_GT(yellow, 0u);
  EXPECT_GT(cyan, 0u);
  // A power of 80 at a quarter stroke: (7 + 20, 58 - 45·80/100) on the Cartesian chart.
  EXPECT_NE(find_line(c, 7 + 80.0 * 9 / 40, 58 - 45 * a.pps12[9] / 100.0, 27, 58 - 45 * a.pps12[10] / 100.0, 1e-4),
            nullptr);
}

TEST(BalanceChart, SwitchesAndZeroScale) {
  const int n = 40;
  BalanceState a = analysed(n, 80);
  RecordingCanvas c;
  draw_power_chart(c, a, false, true);
  EXPECT_TRUE(items_of(c, Op::Line, QBColor(12)).empty());
  RecordingCanvas z;
  BalanceState flat = analysed(n, 0);
  for (auto* v : {&flat.iis12, &flat.iis_after}) v->assign(static_cast<std::size_t>(n) + 1, 0.0f);
  draw_power_chart(z, flat, true, true);
  EXPECT_TRUE(items_of(z, Op::Line, QBColor(15)).empty());
  EXPECT_EQ(items_of(z, Op::Ellipse).size(), 5u);  // the dial is still drawn
}

}  // namespace
}  // namespace wb
