// Quantities of one stroke: period, strokes per minute, the card's work round its loop and
// the power from it. Expected values are worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/common/stroke.h"

namespace wb {
namespace {

TEST(Stroke, PeriodAndStrokesPerMinute) {
  struct Case {
    int n;
    double period_s, spm;
  } cases[] = {{50, 1.0, 60.0}, {150, 3.0, 20.0}, {500, 10.0, 6.0}, {3000, 60.0, 1.0}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(stroke_period_s(c.n), c.period_s) << c.n;
    EXPECT_DOUBLE_EQ(strokes_per_minute(c.n), c.spm) << c.n;
  }
}

// A rectangular card 2 m long between 10 and 30 kN, run round anticlockwise: 40 kJ of
// work; over a 4 s stroke (200 samples) that is 10 kW. Both precisions agree on it.
TEST(Stroke, WorkRoundTheLoopAndPower) {
  const std::vector<float> pos{0, 2, 2, 0};
  const std::vector<float> load{10, 10, 30, 30};
  EXPECT_FLOAT_EQ(loop_work_single(pos, load, 4), -40.0f);
  const std::vector<float> back{0, 0, 2, 2}, load_back{10, 30, 30, 10};
  EXPECT_FLOAT_EQ(loop_work_single(back, load_back, 4), 40.0f);
  EXPECT_DOUBLE_EQ(loop_work_double(back, load_back, 4), 40.0);
  EXPECT_DOUBLE_EQ(card_power_kw(40.0, 200), 10.0);
}

// A count beyond the arrays leaves out the points that are not there (and the wrap to the
// first point from them) instead of reading past the end.
TEST(Stroke, PointsBeyondTheArraysTakeNoPart) {
  const std::vector<float> back{0, 0, 2, 2}, load_back{10, 30, 30, 10};
  // n = 5: terms 0-1, 1-2, 2-3; 3-4 and 4-0 fall outside: 0 + 60 + 0.
  EXPECT_FLOAT_EQ(loop_work_single(back, load_back, 5), 60.0f);
  EXPECT_DOUBLE_EQ(loop_work_double(back, load_back, 5), 60.0);
  EXPECT_FLOAT_EQ(loop_work_single(back, load_back, 0), 0.0f);
}

// Single precision rounds each term and the running sum to float; the two results differ
// for a card whose terms do not fit a float exactly, which is why callers keep theirs.
TEST(Stroke, SingleAndDoublePrecisionDiffer) {
  std::vector<float> pos, load;
  for (int i = 0; i < 400; ++i) {
    pos.push_back(0.001f * static_cast<float>(i % 200 < 100 ? i % 200 : 200 - i % 200));
    load.push_back(20.0f + 0.1f * static_cast<float>(i % 7));
  }
  const float single = loop_work_single(pos, load, 400);
  const double dbl = loop_work_double(pos, load, 400);
  EXPECT_NE(static_cast<double>(single), dbl);
  EXPECT_NEAR(static_cast<double>(single), dbl, 1e-4);
}

}  // namespace
}  // namespace wb
