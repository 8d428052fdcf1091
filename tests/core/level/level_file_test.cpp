// Raw level files: the header, the clamped sample count, the filtered channel, and opening
// a file as the window does (speed searched outside 150 … 450 m/s, level always).
#include <gtest/gtest.h>

#include "core/common/bytes.h"
#include "core/level/echo_display.h"
#include "core/level/level_file.h"
#include "core/level/level_open.h"
#include "core/level/synthetic_level.h"
#include "level_fixture.h"

using namespace wb;
using namespace wb::level_test;

namespace {

// A raw file: header fields at their offsets, then `present` samples of `width` bytes
// (sample i: raw 100 + i, and in format 2 filtered -i), then `extra` stray bytes.
Bytes level_file(std::int16_t rate, std::int16_t format, std::int16_t declared, int present, int extra = 0,
                 float speed = 0.0f) {
  const int width = format == 2 ? 4 : 2;
  Bytes b(1024 + width * present + extra, ' ');
  ByteWriter w(b);
  w.raw(12, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("200701020304"), 12));
  w.i16(24, rate);
  w.i16(26, format);
  w.i16(28, declared);
  w.f32(36, speed);
  w.f32(40, 876.5f);
  w.raw(48, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("W-12             "), 17));
  for (int i = 0; i < present; ++i) {
    if (format == 2) {
      w.i16(1024 + 4 * i, static_cast<std::int16_t>(-i));
      w.i16(1024 + 4 * i + 2, static_cast<std::int16_t>(100 + i));
    } else {
      w.i16(1024 + 2 * i, static_cast<std::int16_t>(100 + i));
    }
  }
  return b;
}

// A test left over from an earlier file: every sample and marker set.
LevelTest previous_test() {
  LevelTest t;
  for (auto& e : t.echo_data) e = {7, 9};
  t.sample_count = 5001;
  t.level_x = 500.0f;
  t.wellhead_x = 200.0f;
  return t;
}

}  // namespace

TEST(LevelFile, HeaderFieldsAtTheirOffsets) {
  const auto h = decode_level_header(level_file(250, 2, 3, 3, 0, 345.5f));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->test_date, "200701020304");
  EXPECT_EQ(h->sample_rate, 250);
  EXPECT_EQ(h->sample_format, 2);
  EXPECT_EQ(h->sample_count, 3);
  EXPECT_EQ(h->sound_speed, 345.5f);
  EXPECT_EQ(h->level_depth, 876.5f);
  EXPECT_EQ(h->well_name, "W-12             ");
  EXPECT_FALSE(decode_level_header(Bytes(1023, 0)));
}

TEST(LevelFile, CountIsClampedAndNothingOfThePreviousTestSurvives) {
  struct Case {
    const char* why;
    Bytes bytes;
    int count;
  } cases[] = {
      {"header only", level_file(250, 1, 100, 0), 0},
      {"6000 declared and present", level_file(250, 2, 6000, 6000), 5001},
      {"a negative count", level_file(250, 1, -5, 50), 0},
      {"fewer samples than declared", level_file(250, 1, 100, 40), 40},
      {"format 2 with an odd byte count", level_file(250, 2, 20, 10, 3), 10},
      {"raw-only with an odd byte count", level_file(250, 1, 20, 10, 1), 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    LevelTest t = previous_test();
    ASSERT_TRUE(load_level_data(c.bytes, t));
    EXPECT_EQ(t.sample_count, c.count);
    if (c.count > 0) {
      EXPECT_EQ(t.echo_data[c.count - 1].raw, 100 + c.count - 1);
    }
    for (int i = c.count; i < kEchoSamples; ++i) {
      ASSERT_EQ(t.echo_data[i].raw, 0) << i;
      ASSERT_EQ(t.echo_data[i].smooth, 0) << i;
    }
    EXPECT_EQ(t.level_x, 0.0f);
    EXPECT_EQ(t.wellhead_x, 0.0f);
    EXPECT_EQ(t.level_depth, 876.5f);
  }
}

TEST(LevelFile, FormatTwoGivesBothChannelsStraight) {
  LevelTest t;
  ASSERT_TRUE(load_level_data(level_file(250, 2, 3, 3), t));
  EXPECT_EQ(t.echo_data[2].smooth, -2);
  EXPECT_EQ(t.echo_data[2].raw, 102);
}

TEST(LevelFile, ShortHeaderIsRefusedAndTheShownTestKept) {
  TempFolder tmp;
  const auto path = tmp.folder().data() / "cut.y01";
  write_bytes(path, Bytes(1000, ' '));
  LevelTest t = previous_test();
  t.method = 1;
  t.cur_rec = 4;
  RecordingMessages msg;
  EXPECT_FALSE(open_raw_level_file(t, path, tmp.folder(), msg));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_NE(msg.shown[0].text.find("cut.y01"), std::string::npos);
  EXPECT_EQ(t.method, 1);
  EXPECT_EQ(t.cur_rec, 4);
  EXPECT_EQ(t.echo_data[3000].raw, 9);
}

TEST(LevelFilter, RunsOnTheTruncatedValues) {
  struct Case {
    int rate;
    std::vector<std::int16_t> raw, smooth;
  } cases[] = {
      // a = 0.008: 8; 8 + .992 * 8 = 15.9; 8 + .992 * 15 = 22.9; -4 + .992 * 22 = 17.8.
      {250, {1000, 1000, 1000, -500}, {8, 15, 22, 17}},
      {2, {1000, -3, 7}, {1000, -3, 7}},   // a = 1
      {1, {1000, -3, 7}, {1000, -3, 7}},   // runs as at 2
      {0, {1000, -3, 7}, {1000, -3, 7}},
      {-250, {1000, -3, 7}, {1000, -3, 7}},
      {250, {-1000, -1000}, {-8, -15}},    // toward zero on the negative side too
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    std::vector<EchoSample> d(c.raw.size());
    for (std::size_t i = 0; i < d.size(); ++i) d[i].raw = c.raw[i];
    level_filter(d, static_cast<int>(d.size()), c.rate);
    for (std::size_t i = 0; i < d.size(); ++i) EXPECT_EQ(d[i].smooth, c.smooth[i]) << i;
  }
}

TEST(LevelOpen, SpeedSearchedOnlyOutside150To450) {
  TempFolder tmp;
  // An all-zero echo: a search finds 0 m/s and no level.
  struct Case {
    float header, expect;
  } cases[] = {{149.9f, 0.0f}, {150.0f, 150.0f}, {450.0f, 450.0f}, {450.1f, 0.0f}};
  ASSERT_TRUE(write_level_template(tmp.folder().sys() / "levelstd.dat"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    Bytes b = level_file(250, 1, 5000, 5000, 0, c.header);
    for (std::size_t i = 1024; i < b.size(); ++i) b[i] = 0;
    const auto path = tmp.folder().data() / "zero.y01";
    write_bytes(path, b);
    LevelTest t;
    RecordingMessages msg;
    ASSERT_TRUE(open_raw_level_file(t, path, tmp.folder(), msg));
    EXPECT_EQ(t.sound_speed, c.expect);
    EXPECT_EQ(t.auto_level_index, -1);
    EXPECT_EQ(t.method, 3);
    EXPECT_EQ(t.cur_rec, -1);
    EXPECT_EQ(t.Text2, path_text(path));
    redraw_graph(t, nullptr, 5895, nullptr);
    // No level: none kept, the caption says so and shows the current method.
    EXPECT_EQ(t.level_depth, 0.0f);
    EXPECT_NE(t.caption.find(" 自动计算"), std::string::npos);
    EXPECT_NE(t.caption.find("未找到液面"), std::string::npos);
    EXPECT_EQ(t.marker_line_x[static_cast<int>(LevelMarker::Level)], kMarkerHidden);
  }
}

TEST(LevelOpen, SampleEchoShowsSpeedDepthAndWellhead) {
  TempFolder tmp;
  ASSERT_TRUE(write_level_template(tmp.folder().sys() / "levelstd.dat"));
  const auto path = tmp.folder().data() / u8path("示范井1.y01");
  SyntheticLevelParams p;
  ASSERT_TRUE(write_synthetic_level_test(path, p));
  LevelTest t;
  RecordingMessages msg;
  ASSERT_TRUE(open_raw_level_file(t, path, tmp.folder(), msg));
  redraw_graph(t, nullptr, 5895, nullptr);
  EXPECT_TRUE(msg.shown.empty());
  EXPECT_FLOAT_EQ(t.sound_speed, 336.0f);
  EXPECT_NEAR(t.marker_line_x[0], 208.333f, 0.001f);
  EXPECT_NEAR(t.level_depth, 1200.0, 2 * 0.672 + 0.5);  // within two samples of the echo
  EXPECT_EQ(t.caption.substr(0, t.caption.find(" 测试日期")), "井号:示范井1");
  EXPECT_NE(t.caption.find(" 音速:336米/秒"), std::string::npos);
  EXPECT_NE(t.caption.find(" 液面深度:"), std::string::npos);
}
