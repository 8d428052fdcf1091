// The manual methods: both speed formulas, the missing-mark texts, refusals that change
// nothing, the automatic method's answer to a hand-set level, and a hand-set level kept.
#include <gtest/gtest.h>

#include "core/level/echo_display.h"
#include "core/level/level_methods.h"
#include "level_fixture.h"

using namespace wb;
using namespace wb::level_test;

namespace {

float at_sample(double s) { return static_cast<float>(s / 1.2); }

}  // namespace

TEST(LevelMethods, SpeedsFromTheMarks) {
  LevelTest t;
  t.wellhead_x = at_sample(250);
  t.sound_mark_x = at_sample(1000);
  t.Text3 = "500";
  EXPECT_FLOAT_EQ(*sound_mark_speed(t), 333.33f);  // 500 / (750 / 250 / 2)
  t.collar_start_x = at_sample(600);
  t.collar_end_x = at_sample(741);
  t.Text4 = "9.6";
  t.Text5 = "10";
  EXPECT_FLOAT_EQ(*collar_speed(t), 340.43f);  // 96 / (141 / 250 / 2)
}

// The marks' distance in samples is a time at the test's own rate; a rate that is no
// positive number counts 250 per second.
TEST(LevelMethods, SpeedsCountTheTestsRate) {
  struct Case {
    std::int16_t rate;
    float sound, collar;
  } cases[] = {{250, 333.33f, 340.43f}, {200, 266.67f, 272.34f}, {500, 666.67f, 680.85f}, {0, 333.33f, 340.43f},
               {-5, 333.33f, 340.43f}};
  for (const auto& c : cases) {
    LevelTest t;
    t.sample_rate = c.rate;
    t.wellhead_x = at_sample(250);
    t.sound_mark_x = at_sample(1000);
    t.Text3 = "500";
    t.collar_start_x = at_sample(600);
    t.collar_end_x = at_sample(741);
    t.Text4 = "9.6";
    t.Text5 = "10";
    EXPECT_FLOAT_EQ(*sound_mark_speed(t), c.sound) << c.rate;
    EXPECT_FLOAT_EQ(*collar_speed(t), c.collar) << c.rate;
  }
}

// A shot at 200 or 500 per second, sound 340 m/s, the sound mark at 500 m and the level at
// 1500 m: the sound-mark method gives back 340 m/s and the level 1500 m.
TEST(LevelMethods, SoundMarkMethodAtOtherRatesFindsTheTrueLevel) {
  for (const std::int16_t rate : {200, 500}) {
    const double m = 340.0 / rate / 2.0;  // metres a sample
    LevelTest t;
    t.sample_rate = rate;
    t.sample_count = 5000;
    t.sound_speed = 340.0f;
    t.method = 3;
    redraw_graph(t, nullptr, 5895, nullptr);
    t.place_marker(LevelMarker::SoundMark, at_sample(250 + 500 / m));
    set_marker(t, LevelMarker::Level, at_sample(250 + 1500 / m), 5895);
    t.Text3 = "500";
    RecordingMessages msg;
    ASSERT_TRUE(run_sound_mark_method(t, msg)) << rate;
    redraw_graph(t, nullptr, 5895, nullptr);
    EXPECT_FLOAT_EQ(t.sound_speed, 340.0f) << rate;
    // The display scale starts at a whole metre, so the depth read off it is within 0.5 m.
    EXPECT_NEAR(t.level_depth, 1500.0f, 0.5f) << rate;
  }
}

TEST(LevelMethods, MissingMarksAreNamedInOrder) {
  struct Case {
    float sound, head, level;
    std::string text;
  } cases[] = {
      {200, 200, 0, "液面位置"},
      {0, 200, 200, "音标位置"},
      {0, 0, 200, "音标位置、井口位置"},
      {9.9f, 200, 0, "音标位置、液面位置"},
      {10, 10, 10, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    LevelTest t;
    t.sound_mark_x = c.sound;
    t.wellhead_x = c.head;
    t.level_x = c.level;
    EXPECT_EQ(missing_sound_marks(t), c.text);
  }
  LevelTest t;
  EXPECT_EQ(missing_collar_marks(t), "接箍开始位置、接箍结束位置、井口位置、液面位置");
}

TEST(LevelMethods, AMethodThatCannotComputeChangesNothing) {
  struct Case {
    const char* why;
    float head, sound;
    std::string text3;
    bool ok;
  } cases[] = {
      {"computes", 208.33f, 833.33f, "500", true},
      {"marks at one place", 400, 400, "500", false},
      {"marks reversed", 800, 400, "500", false},
      {"box empty", 208.33f, 833.33f, "", false},
      {"box not a number", 208.33f, 833.33f, "abc", false},
      {"box zero", 208.33f, 833.33f, "0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    LevelTest t;
    t.wellhead_x = c.head;
    t.sound_mark_x = c.sound;
    t.level_x = 1000;
    t.Text3 = c.text3;
    t.sound_speed = 345.6f;
    t.method = 3;
    RecordingMessages msg;
    EXPECT_EQ(run_sound_mark_method(t, msg), c.ok);
    EXPECT_EQ(msg.shown.size(), c.ok ? 0u : 1u);
    EXPECT_EQ(t.method, c.ok ? 1 : 3);
    if (!c.ok) {
      EXPECT_EQ(t.sound_speed, 345.6f);
    }
  }
  LevelTest t;
  t.wellhead_x = 200;
  t.level_x = 1000;
  t.collar_start_x = 500;
  t.collar_end_x = 500;
  RecordingMessages msg;
  EXPECT_FALSE(run_collar_method(t, msg));
  EXPECT_EQ(t.method, 0);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].title, kCannotComputeTitle);
}

// Marks that give a speed or a level depth the title would not show give no result: the
// message says which and nothing changes.
TEST(LevelMethods, MarksGivingNoPlausibleResultAreRefusedWithTheReason) {
  struct Case {
    const char* why;
    bool collars;
    double mark_from, mark_to, level;  // samples
    const char* says;
  } cases[] = {
      {"sound mark 5 samples from the wellhead", false, 250, 255, 2000, "算得音速 49999.94 米/秒，不在 150～450 米/秒之间"},
      {"sound mark far beyond its depth", false, 250, 4000, 4500, "算得音速 66.67 米/秒"},
      {"collars 3 samples apart", true, 600, 603, 2000, "按接箍算得音速 1600 米/秒"},
      {"level on the shot", false, 250, 1000, 290, " 米，不在 50～3950 米之间，不能作为液面深度"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    LevelTest t;
    t.sample_rate = 250;
    t.wellhead_x = at_sample(250);
    t.sound_mark_x = at_sample(c.mark_to);
    t.collar_start_x = at_sample(c.mark_from);
    t.collar_end_x = at_sample(c.mark_to);
    t.level_x = at_sample(c.level);
    t.Text3 = "500";
    t.Text4 = "9.6";
    t.Text5 = "1";
    t.sound_speed = 345.6f;
    t.method = 3;
    RecordingMessages msg;
    EXPECT_FALSE(c.collars ? run_collar_method(t, msg) : run_sound_mark_method(t, msg));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_NE(msg.shown[0].text.find(c.says), std::string::npos) << msg.shown[0].text;
    EXPECT_EQ(msg.shown[0].title, kCannotComputeTitle);
    EXPECT_EQ(t.sound_speed, 345.6f);
    EXPECT_EQ(t.method, 3);
  }
}

// A box beyond what a well can have stops its method with a message naming it; the speed and
// the method stay as they were.
TEST(LevelMethods, ABoxBeyondReasonIsNamed) {
  struct Case {
    bool collars;
    std::string Text3, Text4, Text5;
    const char* message;  // how the message begins
  } cases[] = {
      {false, "1e300", "9.6", "10", "“音标深度”为 1E+300 m"},
      {false, "99999999", "9.6", "10", "“音标深度”为 99999999 m"},
      {true, "500", "1e300", "10", "“油管长”为 1E+300 m"},
      {true, "500", "9.6", "99999999", "“接箍数”为 99999999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    LevelTest t;
    t.wellhead_x = at_sample(250);
    t.sound_mark_x = at_sample(1000);
    t.collar_start_x = at_sample(300);
    t.collar_end_x = at_sample(441);
    t.level_x = at_sample(2000);
    t.Text3 = c.Text3;
    t.Text4 = c.Text4;
    t.Text5 = c.Text5;
    t.sound_speed = 345.6f;
    t.method = 3;
    RecordingMessages msg;
    EXPECT_FALSE(c.collars ? run_collar_method(t, msg) : run_sound_mark_method(t, msg));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].text.rfind(c.message, 0), 0u) << msg.shown[0].text;
    EXPECT_EQ(msg.shown[0].title, kBoxRefusedTitle);
    EXPECT_EQ(t.sound_speed, 345.6f);
    EXPECT_EQ(t.method, 3);
  }
}

TEST(LevelMethods, MissingMarksMessage) {
  LevelTest t;
  t.wellhead_x = 200;
  t.sound_mark_x = 500;
  RecordingMessages msg;
  EXPECT_FALSE(run_sound_mark_method(t, msg));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, "请先选定:液面位置");
}

TEST(LevelMethods, HandSetLevelUnderTheAutomaticMethod) {
  LevelTest t;
  t.well_name = "W-3 ";
  t.test_date = "200701020304";
  t.sample_rate = 250;
  t.sound_speed = 340.0f;
  t.method = 3;
  t.auto_level_index = 2400;
  redraw_graph(t, nullptr, 5895, nullptr);
  set_marker(t, LevelMarker::Level, at_sample(2000), 5895);
  EXPECT_EQ(t.auto_level_index, -1);
  RecordingMessages msg;
  ASSERT_TRUE(scale_level_depth(t, msg));
  EXPECT_FLOAT_EQ(t.level_depth, 1190.27f);
  EXPECT_EQ(t.caption, "井号:W-3  测试日期:200701020304  音速:340米/秒  液面深度:1190.27米");
  // The next redraw keeps the hand-set level.
  redraw_graph(t, nullptr, 5895, nullptr);
  EXPECT_FLOAT_EQ(t.level_x, at_sample(2000));
  EXPECT_FLOAT_EQ(t.level_depth, 1190.27f);

  LevelTest none;
  EXPECT_FALSE(scale_level_depth(none, msg));
  EXPECT_EQ(msg.shown.back().text, "请先选定液面位置");
}
