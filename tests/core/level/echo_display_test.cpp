// The echo display: overview decimation, the depth scale and level depth, the caption and
// the drawing of the echo picture in points.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/level/echo_display.h"
#include "../test_canvas_util.h"

using namespace wb;
using namespace wb::canvas_test;

namespace {
constexpr double kMmPerPoint = 25.4 / 72.0;
}

TEST(LevelOverview, SumsOfEightDividedAndLimited) {
  struct Case {
    int sum, shown;
  } cases[] = {{2100, 19}, {2000, 20}, {-2100, -19}, {-2000, -20}, {1950, 20}, {250, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sum);
    LevelTest t;
    t.sample_count = 5000;
    t.echo_data[8].raw = static_cast<std::int16_t>(c.sum - 7);
    t.echo_data[15].raw = 7;
    t.echo_data[8].smooth = static_cast<std::int16_t>(c.sum);
    get_small_data(t, 100, 100);
    EXPECT_EQ(t.overview_raw[1], c.shown);
    EXPECT_EQ(t.overview_smooth[1], c.shown);
  }
}

TEST(LevelOverview, PointsBeyondTheCountAreZero) {
  LevelTest t;
  for (auto& e : t.echo_data) e = {800, 800};
  t.sample_count = 80;  // 10 overview points
  t.overview_raw.fill(5);
  get_small_data(t, 100, 100);
  EXPECT_EQ(t.overview_raw[9], 19);  // 6400 / 100 = 64, limited
  EXPECT_EQ(t.overview_raw[10], 0);
  EXPECT_EQ(t.overview_raw[639], 0);
}

TEST(LevelDepthScale, SpeedAndRateGiveTheScale) {
  struct Case {
    float speed;
    int rate;
    double d0, d1;
  } cases[] = {
      {340.0f, 250, -170, 3230},
      // 0.672 m a sample in double: 4750 m = 3192; a single-precision m would give 3191.
      {336.0f, 250, -168, 3192},
      {340.0f, 500, -85, 1615},  // the file's rate, not 250
      {0.0f, 250, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.speed << " m/s at " << c.rate);
    const DepthScale s = depth_scale(c.speed, c.rate);
    EXPECT_EQ(s.d0, c.d0);
    EXPECT_EQ(s.d1, c.d1);
    EXPECT_EQ(s.depth_offset, static_cast<float>(-c.d0));
    EXPECT_FLOAT_EQ(s.depth_per_point, static_cast<float>((c.d1 - c.d0) / (4999 / 1.2)));
  }
}

TEST(LevelDepthScale, MarkerAtSample2000At340IsAt1190_27) {
  LevelTest t;
  t.sample_rate = 250;
  t.sound_speed = 340.0f;
  t.method = 3;
  t.auto_level_index = 2000;
  redraw_graph(t, nullptr, 5895, nullptr);
  EXPECT_EQ(t.depth_offset, 170.0f);
  EXPECT_NEAR(t.depth_per_point, 0.8162f, 0.0001f);
  EXPECT_FLOAT_EQ(t.level_x, 2000 / 1.2f);
  EXPECT_FLOAT_EQ(t.level_depth, 1190.27f);
  EXPECT_EQ(t.caption, "井号: 测试日期: 自动计算 音速:340米/秒 液面深度:1190.27米");
}

TEST(LevelCaption, SpeedAndDepthOnlyWhenPlausible) {
  struct Case {
    std::int16_t method;
    float speed, depth;
    std::string tail;
  } cases[] = {
      {1, 333.33f, 1200.5f, " 按音标算 音速:333.33米/秒 液面深度:1200.5米"},
      {2, 150.0f, 50.0f, " 按接箍算"},
      {3, 450.0f, 3950.0f, " 自动计算"},
      {3, 150.01f, 3949.99f, " 自动计算 音速:150.01米/秒 液面深度:3949.99米"},
      {0, 0.0f, 0.0f, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    LevelTest t;
    t.well_name = std::string("W-7  ") + '\0' + ' ';
    t.test_date = "200701020304";
    t.method = c.method;
    t.sound_speed = c.speed;
    t.level_depth = c.depth;
    t.level_x = 1000.0f;
    EXPECT_EQ(level_caption(t), "井号:W-7 测试日期:200701020304" + c.tail);
  }
}

// The time axis counts the test's own rate: the one-second label stands `rate` samples after
// the shot, 250 when the rate is no positive number.
TEST(LevelEchoPicture, TimeAxisAtTheTestsRate) {
  struct Case {
    std::int16_t rate;
    int one_second, tenth;
  } cases[] = {{250, 500, 275}, {200, 450, 270}, {500, 750, 300}, {0, 500, 275}};
  for (const auto& c : cases) {
    LevelTest t;
    t.sample_rate = c.rate;
    t.sample_count = 5000;
    t.sound_speed = 340.0f;
    RecordingCanvas echo(5030 * kMmPerPoint, 410 * kMmPerPoint);
    redraw_graph(t, nullptr, 5895, &echo);
    const double p = kMmPerPoint, tol = 1e-6;
    const auto* one = echo.find_text(" 1");
    ASSERT_TRUE(one) << c.rate;
    EXPECT_NEAR(one->x1, c.one_second / 1.2 * p, tol) << c.rate;
    EXPECT_TRUE(find_line(echo, c.tenth / 1.2 * p, 7 * p, c.tenth / 1.2 * p, 5 * p, tol)) << c.rate;
  }
}

TEST(LevelEchoPicture, CurvesAxesAndMarkersInPoints) {
  LevelTest t;
  t.sample_rate = 250;
  t.sample_count = 5000;
  t.sound_speed = 340.0f;
  t.gain = 1;  // samples divided by 4
  t.echo_data[100].raw = 100;    // 25 units up
  t.echo_data[101].raw = 30000;  // clipped at 78
  t.echo_data[102].raw = -30000;
  t.echo_data[100].smooth = -40; // 10 units down
  t.auto_level_index = 2400;
  // A picture 5030 points wide and 410 points high: one unit is one point.
  RecordingCanvas echo(5030 * kMmPerPoint, 410 * kMmPerPoint);
  RecordingCanvas overview(294.75 * kMmPerPoint, 84.75 * kMmPerPoint);
  redraw_graph(t, &overview, 5895, &echo);

  const double p = kMmPerPoint, tol = 1e-6;
  EXPECT_TRUE(find_line(echo, 99 / 1.2 * p, 120 * p, 100 / 1.2 * p, 95 * p, tol));
  EXPECT_TRUE(find_line(echo, 100 / 1.2 * p, 95 * p, 101 / 1.2 * p, 42 * p, tol));
  EXPECT_TRUE(find_line(echo, 101 / 1.2 * p, 42 * p, 102 / 1.2 * p, 198 * p, tol));
  EXPECT_TRUE(find_line(echo, 99 / 1.2 * p, 281 * p, 100 / 1.2 * p, 291 * p, tol));
  EXPECT_EQ(items_of(echo, Op::Line, QBColor(12)).size(), 4999u);
  // The wellhead line across the picture at sample 250, the depth axis at 377 u.
  EXPECT_TRUE(find_line(echo, 250 / 1.2 * p, 379 * p, 250 / 1.2 * p, 5 * p, tol));
  EXPECT_TRUE(find_line(echo, 0, 377 * p, 4999 / 1.2 * p, 377 * p, tol));
  // 100 m at 340 m/s: sample floor(100 / 0.68) + 250 = 397, label 9.5 points to its left.
  const auto* label = echo.find_text(" 100");
  ASSERT_TRUE(label);
  EXPECT_NEAR(label->x1, (397 / 1.2 - 9.5) * p, tol);
  EXPECT_NEAR(label->y1, 376 * p, tol);
  ASSERT_TRUE(echo.find_text(" 1"));  // one second after the shot
  EXPECT_NEAR(echo.find_text(" 1")->x1, 500 / 1.2 * p, tol);
  // The one " 0" is the depth at the wellhead; the time axis labels no zero.
  ASSERT_EQ(echo.texts_containing(" 0").size(), 1u);
  EXPECT_NEAR(echo.find_text(" 0")->x1, (250 / 1.2 - 5.5) * p, tol);
  // Markers: wellhead at 208.33 points, the level at the automatic index.
  EXPECT_NEAR(t.marker_line_x[0], 208.333f, 0.001f);
  EXPECT_FLOAT_EQ(t.marker_line_x[4], 2000.0f);
  EXPECT_NEAR(t.overview_mark_x, 2400 / 5000.0 * 640 * 5895 / 13130, 0.001);
  EXPECT_EQ(t.gain100, 100);
}

// However fast the scale (a high speed over a slow rate), the depth labels stand apart: each
// ends before the next begins. The usual scale keeps a label every 100 m.
TEST(LevelEchoPicture, DepthLabelsNeverOverlap) {
  struct Case {
    float speed;
    std::int16_t rate;
    std::size_t least_labels;
  } cases[] = {{340.0f, 250, 33}, {340.0f, 50, 4}, {5000.0f, 250, 4}, {60000.0f, 250, 4}, {1e7f, 250, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    SCOPED_TRACE(c.rate);
    LevelTest t;
    t.sample_rate = c.rate;
    t.sample_count = 5000;
    t.sound_speed = c.speed;
    RecordingCanvas echo(5030 * kMmPerPoint, 410 * kMmPerPoint);
    redraw_graph(t, nullptr, 5895, &echo);
    const double p = kMmPerPoint;
    std::vector<Item> labels;
    for (const auto& it : items_of(echo, Op::Text))
      if (near(it.y1, 376 * p, 1e-6)) labels.push_back(it);
    std::ranges::sort(labels, {}, &Item::x1);
    EXPECT_GE(labels.size(), c.least_labels);
    for (std::size_t i = 1; i < labels.size(); ++i)
      EXPECT_GT(labels[i].x1, labels[i - 1].x1 + echo.text_width(labels[i - 1].text) * p)
          << labels[i - 1].text << " | " << labels[i].text;
  }
}
