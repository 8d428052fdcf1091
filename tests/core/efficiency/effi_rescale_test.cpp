// The electric rescaling after a corrected input power, and the hand-over and derived boxes
// of the efficiency window. Curves are built in the test so every expected value follows
// from a line of arithmetic beside it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/common/number_text.h"
#include "core/efficiency/effi_hand_over.h"
#include "core/efficiency/effi_rescale.h"

namespace wb {
namespace {

// A window holding an electric stroke of `n` samples at 380 V with no reactive power, so
// the current is P·1000/U/k.
SysEffiState electric_stroke(int n, std::int16_t mode, float kw = 10.0f) {
  SysEffiState s;
  s.iu_num = static_cast<std::int16_t>(n);
  s.cs_fs = mode;
  s.read_sgt_dnt_org = 3;
  s.uus.assign(static_cast<std::size_t>(n) + 1, 380.0f);
  s.pps.assign(static_cast<std::size_t>(n) + 1, kw);
  s.qqs.assign(static_cast<std::size_t>(n) + 1, 0.0f);
  s.iis.assign(static_cast<std::size_t>(n) + 1, 0.0f);
  s.Text1[25] = "10";
  s.Text1[40] = "8.5";
  s.Text1[32] = "9.1/7.9";
  return s;
}

TEST(NumText2dp, PointAlwaysShownNoLeadingZero) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {{12.3456, "12.35"}, {12, "12."},   {0.456, ".46"},    {0, "."},      {0.004, "."},
               {0.005, ".01"},     {0.285, ".29"}, {9.995, "10."},   {99.999, "100."}, {-0.456, "-.46"},
               {-12.3, "-12.3"},   {1.5, "1.5"},   {10.2000004, "10.2"}, {123456.789, "123456.79"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(num_text_2dp(c.v), c.text);
  }
}

TEST(EffiRescale, FactorScalesPowerBoxesAndRebuildsTheCurrent) {
  SysEffiState s = electric_stroke(500, 3);
  std::array<std::string, 16> main{};
  Recalc_Pow_Param(s, 1.2f, main);
  EXPECT_EQ(s.Text1[40], "10.2");
  EXPECT_EQ(s.Text1[32], "10.92/9.48");
  // 10 kW · 1.2 (single factor, single sample) = 12 kW; single phase: I = 12000/380 = 31.58 A.
  const float p = static_cast<float>(static_cast<double>(1.2f) * 10.0f);
  EXPECT_FLOAT_EQ(s.pps[0], p);
  EXPECT_FLOAT_EQ(s.iis[0], static_cast<float>(p * 1000.0 / 380.0));
  EXPECT_EQ(s.Text1[31], "31.58/31.58");
  EXPECT_EQ(s.Text1[35], "31.58");
  EXPECT_EQ(s.Text1[39], "31.58");
  // S = U·I/1000 = 12 kVA; the power factor against box 25 (10 kW) is 0.83.
  EXPECT_EQ(main[7], "12");
  EXPECT_EQ(main[9], "0.83");
  EXPECT_EQ(s.Text1[36], "12");
  EXPECT_EQ(s.Text1[38], "0.83");
  EXPECT_FLOAT_EQ(s.pps[500], 10.0f);  // index iu_num lies beyond the stroke
}

TEST(EffiRescale, ThreePhaseTwoChannelCurrentIsSmallerBySqrt3SameApparentPower) {
  SysEffiState one = electric_stroke(300, 1), single = electric_stroke(300, 3);
  std::array<std::string, 16> m1{}, m3{};
  Recalc_Pow_Param(one, 1.0, m1);
  Recalc_Pow_Param(single, 1.0, m3);
  EXPECT_NEAR(single.iis[7] / one.iis[7], std::sqrt(3.0), 1e-6);
  EXPECT_EQ(m1[7], "10");
  EXPECT_EQ(m3[7], "10");
  EXPECT_EQ(one.Text1[35], "15.19");    // 10000/380/√3
  EXPECT_EQ(single.Text1[35], "26.32"); // 10000/380
}

TEST(EffiRescale, HalfStrokeMaximaTakeTheRoundedIndicesOfTheFractionalBounds) {
  // 253 samples: 25.3 … 100.3 → indices 25 … 100, 151.8 … 226.8 → 152 … 227.
  SysEffiState s = electric_stroke(253, 3, 1.0f);
  for (int i : {24, 101, 151, 228}) s.pps[static_cast<std::size_t>(i)] = 100.0f;  // just outside
  s.pps[25] = 3.8f;   // 10 A
  s.pps[100] = 1.9f;  // 5 A
  s.pps[152] = 7.6f;  // 20 A
  s.pps[227] = 11.4f; // 30 A
  std::array<std::string, 16> main{};
  Recalc_Pow_Param(s, 1.0, main);
  EXPECT_EQ(s.Text1[31], "10./30.");
}

TEST(EffiRescale, StatisticsUseTheElectricCountWhenTheCardIsLonger) {
  SysEffiState s = electric_stroke(250, 3, 3.8f);  // 10 A throughout
  s.gt_num = 600;
  s.sss.assign(601, 0.0f);
  s.ggs.assign(601, 0.0f);
  std::array<std::string, 16> main{};
  Recalc_Pow_Param(s, 1.0, main);
  EXPECT_EQ(s.Text1[35], "10.");
  EXPECT_EQ(s.Text1[39], "10.");
  EXPECT_EQ(main[7], "3.8");
}

TEST(EffiRescale, WhatCannotBeComputedStaysAsItWas) {
  // No electric samples: the power boxes scale, the current statistics are not touched.
  SysEffiState s = electric_stroke(0, 3);
  s.Text1[35] = "7";
  std::array<std::string, 16> main{};
  main[7] = "5";
  Recalc_Pow_Param(s, 2.0, main);
  EXPECT_EQ(s.Text1[40], "17.");
  EXPECT_EQ(s.Text1[35], "7");
  EXPECT_EQ(main[7], "5");

  // Boxes that are no numbers, a voltage of 0, and an apparent power of 0.
  s = electric_stroke(200, 3, 0.0f);
  s.Text1[40] = "n/a";
  s.Text1[32] = "9.1";
  s.uus[3] = 0;
  s.iis[3] = 4.0f;
  main = {};
  main[9] = "0.9";
  Recalc_Pow_Param(s, 2.0, main);
  EXPECT_EQ(s.Text1[40], "n/a");
  EXPECT_EQ(s.Text1[32], "9.1");
  EXPECT_FLOAT_EQ(s.iis[3], 4.0f);
  EXPECT_EQ(main[7], "0");
  EXPECT_EQ(main[9], "0.9");
}

// ---- hand-over and boxes left ----

struct MainWindow {
  SampleArray uus{}, iis{}, pps{}, qqs{}, sss{}, ggs{};
  std::array<std::string, 6> Text1{"200605121430", "", "W1", "", "", ""};
  std::array<std::string, 16> Text3{};
  MainWindow() {
    for (int i = 0; i < kSampleArraySize; ++i) {
      uus[i] = 380;
      pps[i] = 10;
      ggs[i] = 30 + static_cast<float>(i % 97) * 0.25f;  // 30 … 54 kN
      sss[i] = 1.5f;
    }
    for (int k = 0; k < 16; ++k) Text3[k] = " " + std::to_string(k) + " ";
    Text3[1] = "10";
    Text3[3] = "9.1/7.9";
    Text3[4] = "30.5/20.2";
  }
};

TEST(EffiHandOver, BoxesFromTheMainWindowAndResultsEmptied) {
  MainWindow m;
  SysEffiState s;
  for (int b : kEffiResultBoxes) s.Text1[b] = "99";
  s.Text1[45] = "old";
  s.Text1[7] = "2.1";
  effi_hand_over(s, m.uus, m.iis, m.pps, m.qqs, m.sss, m.ggs, 500, 500, 1, 3, m.Text1, m.Text3);
  EXPECT_EQ(s.Text1[0], "W1");
  EXPECT_EQ(s.Text1[23], "200605121430");
  EXPECT_EQ(s.Text1[25], "10");
  EXPECT_EQ(s.Text1[26], " 2 ");
  EXPECT_EQ(s.Text1[31], "30.5/20.2");
  EXPECT_EQ(s.Text1[32], "9.1/7.9");
  for (int b = 34; b <= 42; ++b) EXPECT_EQ(s.Text1[b], std::to_string(b - 29)) << b;  // trimmed 5..13
  for (int b : kEffiResultBoxes) EXPECT_EQ(s.Text1[b], "") << b;
  EXPECT_EQ(s.Text1[7], "2.1");  // derived from the base data, not a result
  EXPECT_EQ(s.Text1[45], "54");
  EXPECT_EQ(s.Text1[46], "30");
  EXPECT_EQ(s.uus.size(), 501u);
  EXPECT_EQ(s.ggs.size(), 501u);
  EXPECT_FLOAT_EQ(s.Pin_Ref, 10.0f);
  EXPECT_EQ(s.read_sgt_dnt_org, 3);
  EXPECT_EQ(s.cs_fs, 1);
}

TEST(EffiHandOver, ShortCardKeepsItsBoxesAndEmptyArrays) {
  MainWindow m;
  SysEffiState s;
  s.Text1[45] = "60";
  s.Text1[46] = "20";
  effi_hand_over(s, m.uus, m.iis, m.pps, m.qqs, m.sss, m.ggs, 150, 250, 3, 3, m.Text1, m.Text3);
  ASSERT_EQ(s.uus.size(), 251u);
  EXPECT_FLOAT_EQ(s.uus[250], 380.0f);
  ASSERT_EQ(s.ggs.size(), 151u);
  EXPECT_FLOAT_EQ(s.ggs[10], 0.0f);
  EXPECT_EQ(s.Text1[45], "60");
  EXPECT_EQ(s.Text1[46], "20");
}

TEST(EffiHandOver, CountsBeyondTheArraysAreCut) {
  MainWindow m;
  SysEffiState s;
  effi_hand_over(s, m.uus, m.iis, m.pps, m.qqs, m.sss, m.ggs, 32000, -5, 3, 3, m.Text1, m.Text3);
  EXPECT_EQ(s.gt_num, kMaxSamples);
  EXPECT_EQ(s.iu_num, 0);
  EXPECT_EQ(s.ggs.size(), static_cast<std::size_t>(kSampleArraySize));
}

TEST(EffiBoxLeft, DerivedBoxes) {
  struct Case {
    const char* why;
    int left;
    const char *b5, *b6, *b18, *b19;
    int box;
    const char* text;
  } cases[] = {
      {"daily oil", 6, "10", "95", "", "", 7, "0.5"},
      {"daily oil, liquid blank", 6, " ", "95", "", "", 7, ""},
      {"daily oil, cut blank", 5, "10", "", "", "", 7, ""},
      {"daily oil, no cut", 5, "12.34", "0", "", "", 7, "12.3"},
      {"submergence", 19, "", "", "654.32", "900", 20, "245.7"},
      {"submergence, level below the pump", 19, "", "", "912.346", "900", 20, "-12.3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SysEffiState s;
    s.Text1[5] = c.b5;
    s.Text1[6] = c.b6;
    s.Text1[18] = c.b18;
    s.Text1[19] = c.b19;
    s.Text1[7] = s.Text1[20] = "old";
    std::array<std::string, 16> main{};
    EXPECT_EQ(effi_box_left(s, c.left, main), BoxLeft::Derived);
    EXPECT_EQ(s.Text1[c.box], c.text);
  }
}

TEST(EffiBoxLeft, NewInputPowerRescalesOnlyAHandedOverTest) {
  SysEffiState s = electric_stroke(300, 3, 7.3f);
  s.Pin_Ref = 10;
  std::array<std::string, 16> main{};
  s.Text1[25] = "12";
  EXPECT_EQ(effi_box_left(s, 25, main), BoxLeft::Rescaled);
  EXPECT_FLOAT_EQ(s.Pin_Ref, 12.0f);
  EXPECT_EQ(s.pps[0], static_cast<float>(static_cast<double>(12.0f / 10.0f) * 7.3f));
  s.Text1[25] = "10";
  EXPECT_EQ(effi_box_left(s, 25, main), BoxLeft::Rescaled);
  EXPECT_FLOAT_EQ(s.Pin_Ref, 10.0f);

  s.Text1[25] = "0";
  EXPECT_EQ(effi_box_left(s, 25, main), BoxLeft::Nothing);
  EXPECT_FLOAT_EQ(s.Pin_Ref, 10.0f);

  SysEffiState fresh = electric_stroke(300, 3);
  fresh.read_sgt_dnt_org = 0;
  fresh.Pin_Ref = 10;
  fresh.Text1[25] = "12";
  EXPECT_EQ(effi_box_left(fresh, 25, main), BoxLeft::Nothing);
  EXPECT_FLOAT_EQ(fresh.pps[0], 10.0f);
}

}  // namespace
}  // namespace wb
