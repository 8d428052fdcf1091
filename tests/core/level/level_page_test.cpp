// The printed level block: its places on A4 and fan-fold sheets, curves at the gain and
// clipped, labels, the three depth scales, the title, and the print plan.
#include <gtest/gtest.h>

#include "core/level/level_page.h"
#include "../test_canvas_util.h"

using namespace wb;
using namespace wb::canvas_test;

namespace {

LevelTest block_test() {
  LevelTest t;
  t.well_name = "W-9";
  t.test_date = "200701020304";
  t.sample_rate = 250;
  t.method = 3;
  t.sound_speed = 340.0f;
  t.level_depth = 1190.27f;
  t.gain = 1;
  return t;
}

const RecordingCanvas::Item* title_of(const RecordingCanvas& c) {
  for (const auto* it : c.texts_containing("井液面测试曲线")) return it;
  return nullptr;
}

}  // namespace

TEST(LevelPage, BlockPlacesOnBothPapers) {
  struct Case {
    std::int16_t paper;
    double pic2_y, title_top, xl, xr;
  } cases[] = {
      {9, 350, 33.462, 22.5, 272.45},   {9, 840, 108.846, 22.5, 272.45},
      {39, 220, 13.462, 16.667, 349.933}, {39, 710, 88.846, 16.667, 349.933},
      {39, 1200, 164.231, 16.667, 349.933},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.paper << " at " << c.pic2_y);
    RecordingCanvas page(400, 300, true);
    prt_Level(page, block_test(), c.paper, c.pic2_y, 2000);
    const auto* title = title_of(page);
    ASSERT_TRUE(title);
    EXPECT_NEAR(title->y1, c.title_top, 0.001);
    EXPECT_TRUE(title->font.bold);
    EXPECT_EQ(title->font.size, 10.0);
    const auto L = *level_block_layout(c.paper, c.pic2_y);
    EXPECT_NEAR(L.xl, c.xl, 0.001);
    EXPECT_NEAR(L.xr, c.xr, 0.001);
    EXPECT_TRUE(find_line(page, L.xl, L.yt, L.xl, L.yb, 1e-9));  // the frame's left edge
  }
  RecordingCanvas page(400, 300, true);
  prt_Level(page, block_test(), 8, 350, 0);
  EXPECT_TRUE(page.items.empty());
}

TEST(LevelPage, CurvesAtTheGainAndClipped) {
  LevelTest t = block_test();
  t.echo_data[1].raw = 10000;  // 2500 at divisor 4: clipped to 78
  t.echo_data[2].raw = 10;     // 2.5 -> 2
  t.echo_data[3].raw = 14;     // 3.5 -> 4
  RecordingCanvas page(400, 300, true);
  prt_Level(page, t, 9, 350, 0);
  const auto red = items_of(page, Op::Line, kRed);
  ASSERT_EQ(red.size(), 5000u);
  EXPECT_NEAR(red[1].y2, (350 - 78) / 6.5, 1e-9);
  EXPECT_NEAR(red[2].y2, (350 - 2) / 6.5, 1e-9);
  EXPECT_NEAR(red[3].y2, (350 - 4) / 6.5, 1e-9);
  EXPECT_NEAR(red[4999].x2, (450 + 4999) / 20.0, 1e-9);
  EXPECT_EQ(items_of(page, Op::Line, kBlue).size(), 5000u);
  // The level line at sample 0 lies on the frame's left edge, in black.
  EXPECT_EQ(items_of(page, Op::Line, kBlack).front().x1, 22.5);
}

TEST(LevelPage, LabelsAndTheAutomaticScale) {
  RecordingCanvas page(400, 300, true);
  prt_Level(page, block_test(), 9, 350, 2000);
  // The time scale: "0" without a blank, then " 1" … " 18".
  const auto* zero = page.find_text("0");
  ASSERT_TRUE(zero);
  EXPECT_NEAR(zero->x1, (450 + 250) / 20.0, 1e-9);
  EXPECT_EQ(zero->font.size, 7.0);
  EXPECT_TRUE(page.find_text(" 18"));
  // Depths every 100 m to 3200 at 340 m/s; the 0 m tick at sample 250.
  const auto* d0 = page.find_text(" 0");
  ASSERT_TRUE(d0);
  EXPECT_NEAR(d0->x1, (450 + 250) / 20.0 - 2.0, 1e-9);
  EXPECT_TRUE(page.find_text(" 3200"));
  EXPECT_FALSE(page.find_text(" 3300"));
}

TEST(LevelPage, TimeScaleAtTheTestsRate) {
  LevelTest t = block_test();
  t.sample_rate = 500;
  RecordingCanvas page(400, 300, true);
  prt_Level(page, t, 9, 350, 2000);
  const auto* one = page.find_text(" 1");
  ASSERT_TRUE(one);
  EXPECT_NEAR(one->x1, (450 + 750) / 20.0, 1e-9);
  EXPECT_TRUE(page.find_text(" 9"));
  EXPECT_FALSE(page.find_text(" 10"));  // 4750 samples after the shot are 9.5 s
}

TEST(LevelPage, SoundMarkScaleOnA4) {
  LevelTest t = block_test();
  t.method = 1;
  t.wellhead_x = static_cast<float>(250 / 1.2);
  t.sound_mark_x = static_cast<float>(1250 / 1.2);
  t.Text3 = "500";
  RecordingCanvas page(400, 300, true);
  prt_Level(page, t, 9, 350, 2000);
  // 0.1 mm a metre: a tick a millimetre from 35 mm; 237 ticks, labels 0 … 2300.
  EXPECT_TRUE(page.find_text(" 2300"));
  EXPECT_FALSE(page.find_text(" 2400"));
  const auto* l100 = page.find_text(" 100");
  ASSERT_TRUE(l100);
  EXPECT_NEAR(l100->x1, 35.0 + 10.0 - 2.0, 1e-6);
  // A sound-mark depth that is no number: only the axis line.
  t.Text3 = "abc";
  RecordingCanvas bare(400, 300, true);
  prt_Level(bare, t, 9, 350, 2000);
  EXPECT_FALSE(bare.find_text(" 0"));
}

TEST(LevelPage, DenseSoundMarkScaleStillDrawsItsTicks) {
  // 200 km to the sound mark over 1000 samples: 0.0025 mm between ticks, 94 980 of them,
  // more than a 16-bit count holds.
  LevelTest t = block_test();
  t.method = 1;
  t.wellhead_x = static_cast<float>(250 / 1.2);
  t.sound_mark_x = static_cast<float>(1250 / 1.2);
  t.Text3 = "200000";
  RecordingCanvas page(400, 300, true);
  prt_Level(page, t, 9, 350, 2000);
  EXPECT_GE(items_of(page, Op::Line, kBlack).size(), 94980u);
  EXPECT_TRUE(page.find_text(" 900000"));
}

TEST(LevelPage, TitleParts) {
  struct Case {
    std::string name;
    std::int16_t method;
    float speed, depth;
    std::string title;
  } cases[] = {
      {std::string("W-9") + std::string(14, '\0'), 2, 345.6f, 1200.5f,
       "W-9井液面测试曲线 测试日期:200701020304 按接箍算 音速: 345.6米/秒 液面深度: 1200.5米"},
      {"W-9" + std::string(14, ' '), 0, 150.0f, 50.0f, "W-9              井液面测试曲线 测试日期:200701020304"},
      {"W-9", 7, 449.9f, 3949.9f, "W-9井液面测试曲线 测试日期:200701020304 音速: 449.9米/秒 液面深度: 3949.9米"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    LevelTest t = block_test();
    t.well_name = c.name;
    t.method = c.method;
    t.sound_speed = c.speed;
    t.level_depth = c.depth;
    EXPECT_EQ(level_block_title(t), c.title);
  }
}

TEST(LevelPrintPlan, SheetsAndSlots) {
  auto pos = [](const std::vector<LevelPrintBlock>& p) {
    std::vector<std::pair<int, double>> v;
    for (const auto& b : p) v.push_back({b.sheet, b.pic2_y});
    return v;
  };
  using V = std::vector<std::pair<int, double>>;
  EXPECT_EQ(pos(plan_level_print({1, 2, 3}, 9)), (V{{0, 350}, {0, 840}, {1, 350}}));
  EXPECT_EQ(pos(plan_level_print({1, 2, 3, 4}, 39)), (V{{0, 220}, {0, 710}, {0, 1200}, {1, 220}}));
  EXPECT_TRUE(plan_level_print({1, 2}, 8).empty());
  std::vector<std::int16_t> many(51);
  for (int i = 0; i < 51; ++i) many[i] = static_cast<std::int16_t>(i + 1);
  EXPECT_EQ(plan_level_print(many, 9).size(), 51u);  // every marked row prints
}

TEST(LevelPrintPlan, PrintsFromACopyAndSkipsABadRecord) {
  LevelTest shown = block_test();
  shown.well_name = "SHOWN";
  RecordingCanvas page(400, 300, true);
  auto read = [](std::int16_t r, LevelTest& into, double& mark) {
    if (r == 2) return false;
    into.well_name = "R" + std::to_string(r);
    mark = 1000;
    return true;
  };
  const auto skipped = prt_level_marked(page, shown, {5, 2, 7}, 9, read);
  EXPECT_EQ(skipped, (std::vector<std::int16_t>{2}));
  EXPECT_EQ(shown.well_name, "SHOWN");
  EXPECT_EQ(page.texts_containing("井液面测试曲线").size(), 2u);
  EXPECT_EQ(page.count(Op::NewPage), 1u);  // record 7 keeps its place on the second sheet
  EXPECT_EQ(page.count(Op::EndDoc), 1u);
}
