// The automatic sound speed and level: the spectrum, the searched band, the level pick and
// whole synthetic echoes with a known speed and level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "core/common/pi.h"
#include "core/level/echo_display.h"
#include "core/level/level_analysis.h"
#include "core/level/level_open.h"
#include "core/level/synthetic_level.h"
#include "level_fixture.h"

using namespace wb;
using namespace wb::level_test;

namespace {

LevelTest load_synthetic(const SyntheticLevelParams& p) {
  LevelTest t;
  EXPECT_TRUE(load_level_data(make_synthetic_level_test(p), t));
  return t;
}

}  // namespace

TEST(LevelSpectrum, GoertzelMatchesTheDirectSums) {
  std::array<std::int16_t, 501> x{};
  for (int n = 0; n < 500; ++n)
    x[n] = static_cast<std::int16_t>(std::lround(300 * std::cos(2 * std::numbers::pi * 35 * n / 500.0) +
                                                 120 * std::sin(2 * std::numbers::pi * 7 * n / 500.0) + 40));
  std::array<float, 83> c{}, s{};
  GetDFT(x.data(), 500, 83, c.data(), s.data());
  for (int k : {0, 7, 20, 35, 82}) {
    SCOPED_TRACE(k);
    double rc = 0, rs = 0;
    for (int n = 0; n < 500; ++n) {
      rc += x[n] * std::cos(2 * std::numbers::pi * k * n / 500.0);
      rs += x[n] * std::sin(2 * std::numbers::pi * k * n / 500.0);
    }
    // Single precision over 500 steps and a twiddle turned 82 times: a few parts in 10^4
    // of the largest line.
    EXPECT_NEAR(c[k], rc * 2 / 500, 0.2);
    EXPECT_NEAR(s[k], rs * 2 / 500, 0.2);
  }
  EXPECT_NEAR(c[35], 300, 0.1);
  EXPECT_NEAR(s[7], 120, 0.1);
}

// The spectrum and the correlation as single serial chains, one bin (one start) at a time:
// the window's numbers must stay bit for bit these.
void serial_dft(const std::int16_t* f, int n_data, int bins, float* tc, float* ts) {
  const float w = static_cast<float>(kTwoPi14 / n_data);
  const float c = std::cos(w), s = std::sin(w);
  const float g = 2.0f / static_cast<float>(n_data);
  float ck = 1.0f, sk = 0.0f;
  for (int k = 0; k < bins; ++k) {
    float q1 = 0.0f, q2 = 0.0f;
    for (int n = n_data - 1; n >= 1; --n) {
      const float q = static_cast<float>(f[n]) + 2.0f * ck * q1 - q2;
      q2 = q1;
      q1 = q;
    }
    tc[k] = (static_cast<float>(f[0]) + q1 * ck - q2) * g;
    ts[k] = q1 * g * sk;
    const float ck2 = ck * c - sk * s;
    sk = ck * s + sk * c;
    ck = ck2;
  }
}

std::vector<double> serial_correlation(const LevelTest& t, const std::array<double, kTemplateLength>& tpl) {
  std::vector<double> W(5000, 0.0);
  for (int j = 0; j < 4871; ++j) {
    double sum = 0.0;
    for (int k = 0; k < kTemplateLength; ++k) sum += tpl[k] * t.echo_data[j + k].raw;
    W[j] = sum / (16384.0 * 8.0);
  }
  const double e = std::pow(4.0, 1.0 / 4999.0);
  for (int j = 0; j < 5000; ++j) W[j] = std::pow(e, j) * W[j] / 4.0;
  return W;
}

template <class T>
bool same_bits(const T* a, const T* b, std::size_t n) {
  return std::memcmp(a, b, n * sizeof(T)) == 0;
}

TEST(LevelSpectrum, InterleavedBinsGiveTheSerialBits) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> any(-32768, 32767);
  struct Case {
    const char* what;
    int length, bins;
    std::vector<std::int16_t> data;
  };
  std::vector<std::int16_t> noise(501), spiky(501, 0), extreme(501), flat(501, 1234);
  for (auto& v : noise) v = static_cast<std::int16_t>(any(rng));
  for (int n = 0; n < 501; n += 37) spiky[static_cast<std::size_t>(n)] = 32767;
  for (std::size_t n = 0; n < extreme.size(); ++n) extreme[n] = n % 2 ? -32768 : 32767;
  const Case cases[] = {
      {"noise, window's size", 500, 83, noise}, {"spiky", 500, 83, spiky}, {"extremes", 500, 83, extreme},
      {"flat", 500, 83, flat},                  {"odd length", 499, 83, noise}, {"one bin", 500, 1, noise},
      {"a full group of bins", 500, 8, noise},  {"one past a group", 500, 9, spiky}, {"short", 7, 17, noise},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<float> tc(static_cast<std::size_t>(c.bins)), ts(tc.size()), rc(tc.size()), rs(tc.size());
    GetDFT(c.data.data(), c.length, c.bins, tc.data(), ts.data());
    serial_dft(c.data.data(), c.length, c.bins, rc.data(), rs.data());
    EXPECT_TRUE(same_bits(tc.data(), rc.data(), tc.size()));
    EXPECT_TRUE(same_bits(ts.data(), rs.data(), ts.size()));
  }
}

TEST(LevelPick, InterleavedCorrelationGivesTheSerialBits) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> any(-3000.0, 3000.0);
  std::array<double, kTemplateLength> odd_template{};
  for (double& v : odd_template) v = any(rng);
  SyntheticLevelParams quiet;
  quiet.noise = 0.0;
  SyntheticLevelParams loud;
  loud.noise = 4000.0;
  loud.seed = 9;
  LevelTest extremes;
  for (std::size_t i = 0; i < extremes.echo_data.size(); ++i) extremes.echo_data[i].raw = i % 3 ? 32767 : -32768;
  struct Case {
    const char* what;
    LevelTest test;
    std::array<double, kTemplateLength> tpl;
  };
  const Case cases[] = {
      {"synthetic echo", load_synthetic({}), level_template_shape()},
      {"no noise", load_synthetic(quiet), level_template_shape()},
      {"loud noise, odd template", load_synthetic(loud), odd_template},
      {"extreme samples", extremes, odd_template},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<double> got = level_correlation(c.test, c.tpl), want = serial_correlation(c.test, c.tpl);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_TRUE(same_bits(got.data(), want.data(), got.size()));
  }
}

TEST(LevelSpeed, BandFollowsTheRateNotTheCount) {
  struct Case {
    int rate, first, last;
  } cases[] = {{250, 30, 60}, {500, 15, 30}, {0, 30, 60}, {125, 60, 82}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    const BinBand b = speed_band(c.rate);
    EXPECT_EQ(b.first, c.first);
    EXPECT_EQ(b.last, c.last);
  }
}

TEST(LevelSpeed, OneBinIsNinePointSixMetresASecond) {
  // A pure collar line in bin b of every segment gives 9.6 b m/s, whatever the count.
  struct Case {
    int count, bin;
    float speed;
  } cases[] = {{5000, 35, 336.0f}, {3000, 35, 336.0f}, {5000, 30, 288.0f}, {5000, 60, 576.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " samples, bin " << c.bin);
    LevelTest t;
    t.sample_rate = 250;
    t.sample_count = static_cast<std::int16_t>(c.count);
    for (int i = 0; i < c.count; ++i)
      t.echo_data[i].smooth = static_cast<std::int16_t>(std::lround(200 * std::cos(2 * std::numbers::pi * c.bin * i / 500.0)));
    get_yg_dft_auto(t);
    EXPECT_EQ(t.dft_bins, 83);
    EXPECT_FLOAT_EQ(t.sound_speed, c.speed);
  }
}

TEST(LevelSpeed, SilentEchoGivesNoSpeed) {
  LevelTest t;
  t.sample_rate = 250;
  t.sample_count = 5000;
  get_yg_dft_auto(t);
  EXPECT_EQ(t.sound_speed, 0.0f);
}

TEST(LevelPick, EarliestStrongPeakAfterSample1500) {
  struct Case {
    const char* why;
    std::vector<std::pair<int, double>> peaks;
    int expect;
  } cases[] = {
      {"the earliest qualifying peak wins over a larger later one", {{1600, 400}, {3000, 900}}, 1600},
      {"a peak weighing 299 is passed over", {{1600, -299}, {2500, 301}}, 2500},
      {"peaks at or before 1500 never count", {{1500, 5000}, {400, 8000}}, -1},
      {"a negative match counts by its size", {{2200, -650}}, 2200},
      {"only the five largest are looked at", {{1700, 310}, {100, 900}, {400, 800}, {700, 700}, {1000, 600}, {1300, 500}}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<double> W(5000, 0.0);
    for (auto [at, v] : c.peaks) W[at] = v;
    EXPECT_EQ(pick_level(W), c.expect);
  }
}

TEST(LevelTemplateFile, RefusedWhenShortOrNotNumbers) {
  std::string ok;
  for (int k = 0; k < 128; ++k) ok += std::to_string(k) + (k % 3 == 0 ? ", " : k % 3 == 1 ? "\r\n" : " ");
  struct Case {
    const char* why;
    std::string text;
    bool accepted;
  } cases[] = {
      {"mixed separators", ok, true},
      {"127 numbers", ok.substr(0, ok.find("127")), false},
      {"a word among the numbers", "abc," + ok, false},
      {"decimals, signs and exponents; anything after 128 ignored", "-1.5e2,+2.25 " + ok + " x", true},
      {"empty", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const LevelTemplate t = parse_level_template(c.text);
    EXPECT_EQ(t.values.has_value(), c.accepted);
  }
  const auto t = parse_level_template("-1.5e2,+2.25 " + ok);
  EXPECT_EQ((*t.values)[0], -150.0);
  EXPECT_EQ((*t.values)[1], 2.25);
  EXPECT_EQ((*t.values)[127], 125.0);
}

TEST(LevelTemplateFile, MissingOrBadTemplateIsReportedAndFindsNoLevel) {
  TempFolder tmp;
  const auto sys = tmp.folder().sys();
  LevelTest t = load_synthetic({});
  t.auto_level_index = 77;
  RecordingMessages msg;
  like_level(t, sys, msg);
  EXPECT_EQ(t.auto_level_index, -1);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].title, "丢失文件");
  EXPECT_EQ(msg.shown[0].text, "未找到液面波样本文件" + path_text(sys / "levelstd.dat") + "，无法自动识别液面位置");

  write_text(sys / "levelstd.dat", "1,2,3");
  like_level(t, sys, msg);
  EXPECT_EQ(t.auto_level_index, -1);
  ASSERT_EQ(msg.shown.size(), 2u);
  EXPECT_NE(msg.shown[1].text.find(path_text(sys / "levelstd.dat")), std::string::npos);
}

TEST(LevelSynthetic, FindsSpeedAndLevelOfKnownEchoes) {
  TempFolder tmp;
  ASSERT_TRUE(write_level_template(tmp.folder().sys() / "levelstd.dat"));
  struct Case {
    double speed, depth;
    float expect_speed;
    std::uint32_t seed;
  } cases[] = {
      {336.0, 1200.0, 336.0f, 1},  // collars exactly on bin 35
      {345.6, 900.0, 345.6f, 2},   // bin 36
      {326.4, 1600.0, 326.4f, 3},  // bin 34
      {340.0, 1100.0, 0.0f, 4},    // between bins 35 and 36: within one bin
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.speed << " m/s, level at " << c.depth << " m");
    SyntheticLevelParams p;
    p.sound_speed = c.speed;
    p.level_depth = c.depth;
    p.seed = c.seed;
    LevelTest t = load_synthetic(p);
    RecordingMessages msg;
    run_automatic_analysis(t, tmp.folder(), msg);
    EXPECT_TRUE(msg.shown.empty());
    if (c.expect_speed > 0.0f)
      EXPECT_FLOAT_EQ(t.sound_speed, c.expect_speed);
    else
      EXPECT_NEAR(t.sound_speed, c.speed, 9.6);
    EXPECT_NEAR(t.auto_level_index, synthetic_level_index(p), 2);
  }
}
