#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/workbench/joint_results.h"

namespace wb {
namespace {

std::unique_ptr<TestState> state(int n, std::int16_t mode = 3) {
  auto st = std::make_unique<TestState>();
  st->gt_num = st->iu_num = static_cast<std::int16_t>(n);
  st->org_head.wiring_mode = mode;
  return st;
}

TEST(JointResults, HalfStrokeSplit) {
  struct Case {
    int n;
    std::vector<int> second;
  } cases[] = {{7, {4, 4, 6}}, {9, {4, 6, 6, 8}}, {8, {4, 5, 6, 7}}, {1, {}}, {2, {1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(second_half_indices(c.n), c.second);
  }
}

TEST(JointResults, HalfValueTextHasNoLeadingZero) {
  EXPECT_EQ(half_value_text(0.8), ".8");
  EXPECT_EQ(half_value_text(-0.4), "-.4");
  EXPECT_EQ(half_value_text(12.3), "12.3");
  EXPECT_EQ(half_value_text(0.0), "0");
  EXPECT_EQ(half_value_text(20.0), "20");
}

// n = 600, constant current 20 A and power 0.5 kW.
TEST(JointResults, ConstantCurrentAndPower) {
  auto st = state(600);
  for (int i = 0; i < 600; ++i) {
    st->iis[i] = 20.0f;
    st->pps[i] = 0.5f;
    st->uus[i] = 380.0f;
  }
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[4], "20/20");
  EXPECT_EQ(st->Text3[3], ".5/.5");
  EXPECT_EQ(st->Text3[1], "0.5");
  EXPECT_FLOAT_EQ(st->p_sum, 300.0f);
  EXPECT_FLOAT_EQ(st->imax_up, 20.0f);
  EXPECT_FLOAT_EQ(st->pavg_down, 0.5f);
  EXPECT_EQ(st->Text3[5], "380");
  EXPECT_EQ(st->Text3[6], "20");
  EXPECT_EQ(st->Text3[7], "7.6");   // mode 3: 380 * 20 / 1000
  EXPECT_EQ(st->Text3[8], "7.6");   // sqrt(7.6^2 - 0.5^2) = 7.5835 -> 7.6
  EXPECT_EQ(st->Text3[9], "0.07");  // 0.5 / 7.6 = 0.0658
  EXPECT_EQ(st->Text3[10], "20");
  EXPECT_EQ(st->Text3[11], "0.5");
}

// Apparent power with a mean U*I of 5000 V*A, by wiring mode.
TEST(JointResults, ApparentPowerByWiringMode) {
  struct Case {
    std::int16_t mode;
    const char* s;
  } cases[] = {{3, "5"}, {1, "8.7"}, {2, "15"}, {4, "15"}, {0, "15"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    auto st = state(100, c.mode);
    for (int i = 0; i < 100; ++i) {
      st->uus[i] = 250.0f;
      st->iis[i] = i % 2 ? 30.0f : 10.0f;  // mean U*I = 250 * 20
    }
    compute_joint_results(*st);
    EXPECT_EQ(st->Text3[7], c.s);
    EXPECT_EQ(st->Text3[10], "22.4");  // sqrt((900 + 100) / 2)
  }
}

// Shown apparent power 3.1 below shown input power 3.2: reactive power 0, power factor 1.03.
TEST(JointResults, ReactivePowerZeroWhenApparentDoesNotExceedInput) {
  auto st = state(50);
  st->Text3[8] = "9.9";  // a previous test's text must not stay
  for (int i = 0; i < 50; ++i) {
    st->uus[i] = 310.0f;
    st->iis[i] = 10.0f;  // S = 3.1 in mode 3
    st->pps[i] = 3.2f;
  }
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[7], "3.1");
  EXPECT_EQ(st->Text3[1], "3.2");
  EXPECT_EQ(st->Text3[8], "0");
  EXPECT_EQ(st->Text3[9], "1.03");
}

// The reactive power goes by S^2 - P^2 as the per-sample rule does: a stroke whose mean
// input power is negative and larger than S in magnitude has none (not the root of a
// negative number); a small negative one leaves S^2 - P^2 positive.
TEST(JointResults, ReactivePowerWithNegativeInputPower) {
  struct Case {
    float p;
    const char* input;
    const char* reactive;
    const char* factor;
  } cases[] = {
      {-3.0f, "-3", "0", "-1.5"},      // S = 2: 4 - 9 < 0
      {-1.2f, "-1.2", "1.6", "-0.6"},  // sqrt(4 - 1.44) = 1.6
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    auto st = state(50);
    st->Text3[8] = "9.9";
    for (int i = 0; i < 50; ++i) {
      st->uus[i] = 200.0f;
      st->iis[i] = 10.0f;  // S = 2 in mode 3
      st->pps[i] = c.p;
    }
    compute_joint_results(*st);
    EXPECT_EQ(st->Text3[7], "2");
    EXPECT_EQ(st->Text3[1], c.input);
    EXPECT_EQ(st->Text3[8], c.reactive);
    EXPECT_EQ(st->Text3[9], c.factor);
  }
}

// No apparent power: no power factor, and the box does not keep an old text.
TEST(JointResults, NoApparentPowerLeavesPowerFactorEmpty) {
  auto st = state(50);
  st->Text3[9] = "0.85";
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[7], "0");
  EXPECT_EQ(st->Text3[9], "");
  EXPECT_EQ(st->Text3[8], "0");
}

// Card work of a rectangular card (trapezoid rule round the loop): up 2 m at 50 kN, down
// at 30 kN: W = 20 kN * 2 m = 40 kJ; T = n / 50 s.
TEST(JointResults, PolishedRodPowerFromTheClosedCard) {
  const int n = 400;  // 8 s
  auto st = state(n);
  for (int i = 0; i < n; ++i) {
    const bool up = i < n / 2;
    const double f = up ? static_cast<double>(i) / (n / 2 - 1) : 1.0 - static_cast<double>(i - n / 2) / (n / 2 - 1);
    st->sss[i] = static_cast<float>(2.0 * f);
    st->ggs[i] = up ? 50.0f : 30.0f;
  }
  // The two vertical edges (at 0 m and 2 m) add no work.
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[2], "5");  // 40 kJ / 8 s
  for (int i = 0; i < n; ++i) st->ggs[i] = i < n / 2 ? 30.0f : 50.0f;  // traversed the other way
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[2], "-5");
}

// n = 7: the second half visits 4, 4 and 6 and its mean divides by 3.
TEST(JointResults, OddStrokeHalves) {
  auto st = state(7);
  for (int i = 0; i < 7; ++i) {
    st->pps[i] = static_cast<float>(i);
    st->iis[i] = static_cast<float>(10 - i);
  }
  st->iis[5] = 50.0f;  // index 5 is not in either half
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[3], "1/4.7");   // (0+1+2)/3, (4+4+6)/3
  EXPECT_EQ(st->Text3[4], "10/6");    // max of 10,9,8 and of 6,6,4
}

TEST(JointResults, OneOrNoSample) {
  auto st = state(1);
  st->pps[0] = 4.0f;
  st->iis[0] = 9.0f;
  st->pavg_up = 7.0f;
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[3], "0/0");
  EXPECT_EQ(st->Text3[4], "0/0");
  EXPECT_EQ(st->pavg_up, 0.0f);
  EXPECT_EQ(st->Text3[1], "4");

  auto none = state(0);
  none->Text3[1] = "6.76";
  none->Text3[12] = "2.998";
  compute_joint_results(*none);
  EXPECT_EQ(none->Text3[1], "");
  EXPECT_EQ(none->Text3[12], "2.998");  // the card chart's box is not a result of this step
}

// Rounding halves up, also for negative values: -0.25 kW mean power shows -0.2 in the pair.
TEST(JointResults, RoundingHalvesUp) {
  auto st = state(4);
  for (int i = 0; i < 4; ++i) st->pps[i] = -0.25f;
  compute_joint_results(*st);
  EXPECT_EQ(st->Text3[3], "-.2/-.2");
  EXPECT_EQ(st->Text3[1], "-0.25");
}

}  // namespace
}  // namespace wb
