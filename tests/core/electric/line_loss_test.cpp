#include "core/electric/line_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace wb {
namespace {

struct Sample {
  float i, u, p, q;  // A, V, kW, kvar
};

DrawnTest state_with(const std::vector<Sample>& s) {
  DrawnTest st;
  for (std::size_t k = 0; k < s.size(); ++k) {
    st.iis[k] = s[k].i;
    st.uus[k] = s[k].u;
    st.pps[k] = s[k].p;
    st.qqs[k] = s[k].q;
  }
  st.iu_num = static_cast<std::int16_t>(s.size());
  return st;
}

// A line U = 400 − 0.1·I. Largest power 12 kW, fit threshold 3.6 kW: the 1 kW sample counts in
// the statistics only, the generating sample in neither.
const std::vector<Sample> kKnownLine = {
    {10, 399, 1.0f, 0.5f}, {20, 398, 4, 1}, {40, 396, 8, 2}, {60, 394, 12, 3}, {30, 401, -2, 0.4f}};

TEST(LineLossEstimate, KnownLineGivesSlopeInterceptCorrelationAndLoss) {
  DrawnTest st = state_with(kKnownLine);
  LineLossEstimate e = estimate_line_loss(st, st.iu_num);
  EXPECT_EQ(e.n, 4);
  EXPECT_EQ(e.m, 3);
  // Statistics over the four consuming samples, by hand.
  EXPECT_DOUBLE_EQ(e.current.max, 60);
  EXPECT_DOUBLE_EQ(e.current.min, 10);
  EXPECT_DOUBLE_EQ(e.current.mean, 32.5);
  EXPECT_NEAR(e.current.rms, std::sqrt(5700.0 / 4), 1e-12);
  EXPECT_DOUBLE_EQ(e.voltage.mean, 396.75);
  EXPECT_DOUBLE_EQ(e.active.min, 1);
  EXPECT_NEAR(e.reactive.mean, 1.625, 1e-7);  // floats 0.5, 1, 2, 3
  ASSERT_TRUE(e.fit_defined);
  EXPECT_NEAR(e.slope, -0.1, 1e-12);
  EXPECT_NEAR(e.intercept, 400, 1e-9);
  EXPECT_NEAR(e.r, -1, 1e-12);
  EXPECT_NEAR(e.no_load_voltage, 399, 1e-9);  // 400 − 0.1·Imin, Imin = 10
  // Over the fit samples: 0.3·(20−10)·20 = 60, 0.3·30·40 = 360, 0.3·50·60 = 900 → 440 W.
  // (The first three positions instead would give (0 + 60 + 360) / 3 = 140 W.)
  EXPECT_NEAR(e.avg_loss, 440, 1e-9);
  EXPECT_TRUE(e.valid);
  EXPECT_EQ(e.ubase(), 375);  // 5·⌊396.75/5⌋ − 20

  st.org_head.test_date = "202403151030";
  LineLossList l = line_loss_list(e, st.org_head.test_date);
  EXPECT_EQ(l[0], "时间:20240315/10:30");
  EXPECT_EQ(l[1], "最大电流(安培)= 60");
  EXPECT_EQ(l[4], "均方根值(安培)= 37.75");  // √1425 = 37.7492
  EXPECT_EQ(l[10], "最小有功(千瓦)= 1");
  EXPECT_EQ(l[15], "平均无功(千乏)= 1.63");  // 1.625 rounds up
  EXPECT_EQ(l[17], "空载电压(伏特)= 399");
  EXPECT_EQ(l[18], "压降系数(V/A) =-.1");
  EXPECT_EQ(l[19], "平均网损(瓦特)= 440");
  EXPECT_EQ(l[20], "相 关 系 数=-1");

  LineLossList alt = line_loss_list(e, st.org_head.test_date, LineLossListForm::Alternative);
  EXPECT_EQ(alt[0], "时间:20240315");
  EXPECT_EQ(alt[20], "相 关 系 数   =-1");
  EXPECT_EQ(correlation_text(e), "-1");
}

// Correlation from a closed form: x = 1,2,3,4 with y = 1,3,2,4 gives Sxx = Syy = 5 and
// Sxy = 4 (r = 0.8, b = 0.8, a = 0.5); y = 2,1,4,3 gives Sxy = 3 (r = 0.6).
TEST(LineLossEstimate, CorrelationDecidesBetweenResultsAndNotice) {
  struct Case {
    const char* name;
    float y[4];
    double r, slope, intercept;
    bool valid;
  };
  const Case cases[] = {{"strong", {1, 3, 2, 4}, 0.8, 0.8, 0.5, true}, {"weak", {2, 1, 4, 3}, 0.6, 0.6, 1.0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Sample> s;
    for (int k = 0; k < 4; ++k) s.push_back({static_cast<float>(k + 1), c.y[k], 10, 1});
    DrawnTest st = state_with(s);
    LineLossEstimate e = estimate_line_loss(st, 4);
    EXPECT_NEAR(e.r, c.r, 1e-12);
    EXPECT_NEAR(e.slope, c.slope, 1e-12);
    EXPECT_NEAR(e.intercept, c.intercept, 1e-12);
    EXPECT_EQ(e.valid, c.valid);
    LineLossList l = line_loss_list(e, "202403151030");
    if (c.valid) {
      EXPECT_EQ(l[20], "相 关 系 数= .8");
      EXPECT_EQ(l[18], "压降系数(V/A) = .8");
    } else {
      EXPECT_EQ(l[17], "注意：");
      EXPECT_EQ(l[18], "电压升降与电流变化的");
      EXPECT_EQ(l[19], "相关关系不明显，所以");
      EXPECT_EQ(l[20], "无法估算线路损耗。");
    }
    // The correlation box gets this fit's value even when it is too weak to use.
    EXPECT_EQ(correlation_text(e), c.valid ? "0.8" : "0.6");
  }
}

TEST(LineLossEstimate, DegenerateSamplesGiveNoEstimate) {
  struct Case {
    const char* name;
    std::vector<Sample> s;
    int n, m;
    bool no_consuming;  // the "no consuming sample" notice instead of the correlation notice
  };
  const Case cases[] = {
      {"no samples", {}, 0, 0, true},
      {"none consumes power (0 and negative)", {{20, 390, 0, 1}, {40, 385, -3, 1}}, 0, 0, true},
      {"single fit sample", {{20, 390, 10, 1}, {5, 395, 2, 1}}, 2, 1, false},
      {"fit currents all equal", {{30, 390, 10, 1}, {30, 385, 9, 1}, {30, 380, 8, 1}}, 3, 3, false},
      {"fit voltages all equal", {{30, 390, 10, 1}, {40, 390, 9, 1}, {50, 390, 8, 1}}, 3, 3, false},
      // 3 kW is exactly 0.3 × 10 kW: not a fit sample, which leaves one.
      {"sample at exactly the threshold", {{20, 390, 10, 1}, {40, 380, 3, 1}}, 2, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DrawnTest st = state_with(c.s);
    LineLossEstimate e = estimate_line_loss(st, st.iu_num);
    EXPECT_EQ(e.n, c.n);
    EXPECT_EQ(e.m, c.m);
    EXPECT_FALSE(e.fit_defined);
    EXPECT_FALSE(e.valid);
    EXPECT_EQ(correlation_text(e), "");
    LineLossList l = line_loss_list(e, "202403151030");
    EXPECT_EQ(l[17], "注意：");
    EXPECT_EQ(l[20], "无法估算线路损耗。");
    if (c.no_consuming) {
      EXPECT_EQ(l[18], "测试中没有耗电状态的");
      // No sentinel extremes pass for measurements: the labels stand alone.
      EXPECT_EQ(l[1], "最大电流(安培)=");
      EXPECT_EQ(l[6], "最小电压(伏特)=");
      EXPECT_EQ(e.ubase(), -20);
    } else {
      EXPECT_EQ(l[18], "电压升降与电流变化的");
      EXPECT_NE(l[1], "最大电流(安培)=");
    }
  }
}

TEST(LineLossEstimate, UsesOnlyTheGivenCount) {
  // Samples beyond the count (an earlier test's leftovers) must not enter.
  DrawnTest st = state_with(kKnownLine);
  st.iis[5] = 150;
  st.uus[5] = 300;
  st.pps[5] = 50;
  LineLossEstimate e = estimate_line_loss(st, 5);
  EXPECT_EQ(e.n, 4);
  EXPECT_NEAR(e.slope, -0.1, 1e-12);
  EXPECT_EQ(estimate_line_loss(st, 6).n, 5);
}

TEST(LineLossEstimate, ChartBaseFollowsMeanVoltage) {
  struct Case {
    double mean, ubase;
  };
  for (const Case c : {Case{383.7, 360}, Case{379.9, 355}, Case{380, 360}}) {
    SCOPED_TRACE(c.mean);
    LineLossEstimate e;
    e.n = 1;
    e.voltage.mean = c.mean;
    EXPECT_EQ(e.ubase(), c.ubase);
  }
}

TEST(LineLossEstimate, SampleCountForTheShownTest) {
  struct Case {
    std::int16_t kind, iu_num;
    int count;
  };
  const Case cases[] = {
      {kKindElectric, 500, kElectricRebuiltPoints},  // point_num 500, one rebuilt stroke of 144
      {kKindElectric, 60, kElectricRebuiltPoints},
      {kKindElectric, 0, 0},  // the record could not be read
      {kKindJoint, 517, 517},
      {kKindJoint, 32000, kSampleArraySize},
      {kKindJoint, -5, 0},
      // A waveform cycle in iis/uus with an earlier test's powers is no electric test.
      {kKindWave, 180, 0},
      {kKindCard, 0, 0},
      {kKindNone, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " iu_num " << c.iu_num);
    EXPECT_EQ(line_loss_sample_count(c.kind, c.iu_num), c.count);
  }
}

TEST(LineLossList, DateShorterThanTwelveCharacters) {
  LineLossEstimate e;
  EXPECT_EQ(line_loss_list(e, "2024")[0], "时间:2024/:");
  EXPECT_EQ(line_loss_list(e, "")[0], "时间:/:");
}

}  // namespace
}  // namespace wb
