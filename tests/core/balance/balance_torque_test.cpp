#include <gtest/gtest.h>

#include <cmath>

#include "../test_canvas_util.h"
#include "core/balance/balance_torque.h"
#include "core/common/pi.h"

namespace wb {
namespace {

using namespace canvas_test;

TEST(BalanceTorque, Scale) {
  struct Case {
    float largest, scale;
  } cases[] = {{10.2f, 12}, {12, 12}, {12.002f, 12}, {12.004f, 15}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.largest);
    EXPECT_FLOAT_EQ(torque_chart_scale(c.largest), c.scale);
  }
}

// A card of 3 m stroke, S(θ) = 1.5·(1 − cos θ), with a constant load of 30 kN: the load
// torque is 30·1.5·sin θ. The motor carries (30 − 20) kN: 20 kN of counterbalance at the
// rod, so the counterbalance torque is −20·1.5·sin θ = −30·sin θ. The card has no area, so
// the drive efficiency falls back to 0.9: power = torque·ω/0.9, ω = 2π·5/60 at 600 points.
// The crank stands 6° (10 points) from 12 o'clock at the bottom dead centre.
TEST(BalanceTorque, CounterbalanceTorqueOfAKnownCard) {
  const int n = 600;
  const double omega = 2 * kPi14 * 5 / 60;
  std::vector<float> u(n, 380), i(n, 20), p(n), q(n, 3), s(n), g(n, 30);
  for (int k = 0; k < n; ++k) {
    const double th = 2 * kPi14 * k / n;
    s[k] = static_cast<float>(1.5 * (1 - std::cos(th)));
    p[k] = static_cast<float>(10 + (30 - 20) * 1.5 * std::sin(th) * omega / 0.9);
    q[k] = 0.3f * p[k] + 1;
  }
  BalanceState a;
  take_stroke(a.held, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 1, 3);
  fit_electric_regressions(a);
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "10";
  t[2] = "1";
  ASSERT_TRUE(run_ph_analysis(a, t, 0, AnalysisOptions{}).ran);
  ASSERT_EQ(a.shift12, 10);
  const TorqueAnalysis tq = compute_torques(a, 37);
  ASSERT_TRUE(tq.drawn);
  EXPECT_FLOAT_EQ(tq.Trans_Effi, 0.9f);
  // 12-o'clock index i is crank angle θ(i − 10) from the bottom dead centre.
  for (int k : {0, 75, 150, 300, 450}) {
    SCOPED_TRACE(k);
    const std::size_t i = static_cast<std::size_t>((k + 10) % n);
    const double th = 2 * kPi14 * k / n;
    EXPECT_NEAR(tq.Load_Twist[i], 45 * std::sin(th), 0.02);
    EXPECT_NEAR(tq.Bal_Twist[i], -30 * std::sin(th), 0.02);
  }
  EXPECT_FLOAT_EQ(tq.Twist_Max, 45);
  EXPECT_EQ(tq.step, 15);
}

TEST(BalanceTorque, NoCardLeavesThePageEmpty) {
  const int n = 300;
  std::vector<float> u(n, 380), i(n, 20), p(n, 5), q(n, 1), s(n, 0), g(n, 0);
  BalanceState a;
  take_stroke(a.held, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 1, 3);
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "10";
  t[2] = "1";
  t[6] = "0.8";  // crank balance: the cosine stroke of the largest stroke, first harmonic 0.4 m
  ASSERT_TRUE(run_ph_analysis(a, t, 0, AnalysisOptions{}).ran);
  const TorqueAnalysis tq = compute_torques(a, 37);
  EXPECT_FALSE(tq.drawn);
  RecordingCanvas c;
  draw_torque_chart(c, tq, "W", {});
  EXPECT_TRUE(items_of(c, Op::Line).empty());
}

// A card with no load and no power: every torque is 0, so is the scale; the frames, labels
// and the rated torque's lines are drawn, no curve and nothing divided by the zero scale.
TEST(BalanceTorque, ZeroScaleDrawsNoCurve) {
  const int n = 200;
  std::vector<float> u(n, 380), i(n, 0), p(n, 0), q(n, 0), s(n), g(n, 0);
  for (int k = 0; k < n; ++k) s[k] = static_cast<float>(1.5 * (1 - std::cos(2 * kPi14 * k / n)));
  BalanceState a;
  take_stroke(a.held, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 1, 3);
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "10";
  t[2] = "1";
  ASSERT_TRUE(run_ph_analysis(a, t, 0, AnalysisOptions{}).ran);
  const TorqueAnalysis tq = compute_torques(a, 37);
  ASSERT_TRUE(tq.drawn);
  EXPECT_FLOAT_EQ(tq.Twist_Max, 0);
  RecordingCanvas c;
  draw_torque_chart(c, tq, "Z", {});
  EXPECT_TRUE(items_of(c, Op::Line, kBlue).empty());
  EXPECT_TRUE(items_of(c, Op::Line, kYellow).empty());
  EXPECT_EQ(items_of(c, Op::Ellipse, kBlack).size(), 5u);
  EXPECT_EQ(c.texts_containing("Z 井扭矩分析").size(), 1u);
}

TEST(BalanceTorque, ChartLabelsCurvesAndRatedTorque) {
  TorqueAnalysis t;
  t.drawn = true;
  const int n = 20;
  for (auto* v : {&t.Load_Twist, &t.Net_Twist, &t.Net_Twist_After, &t.Bal_Twist, &t.Bal_Twist_After})
    v->assign(n + 1, 0.0f);
  for (int k = 0; k < n; ++k) {
    t.Load_Twist[static_cast<std::size_t>(k)] = static_cast<float>(10 * std::sin(2 * kPi14 * k / n));
  }
  t.Twist_Max = 12;
  t.step = 4;
  t.Rated_Twist = 6;
  RecordingCanvas c;
  draw_torque_chart(c, t, "W9", {});
  EXPECT_EQ(c.texts_containing("W9 井扭矩分析").size(), 1u);
  const char* labels[] = {"12", "8", "4", "0", "-4", "-8", "-12"};
  for (int k = 0; k <= 6; ++k) EXPECT_NE(find_text_at(c, labels[k], 1, 11 + 9 * k), nullptr) << labels[k];
  EXPECT_NE(find_line(c, 7, 40 - 27 * 0.5, 87, 40 - 27 * 0.5), nullptr);  // rated torque ±6
  EXPECT_NE(find_line(c, 7, 40 + 27 * 0.5, 87, 40 + 27 * 0.5), nullptr);
  // Cartesian: five curves of n-1 segments; polar: net before/after and load.
  EXPECT_EQ(items_of(c, Op::Line, kBlue).size() + items_of(c, Op::Line, kGreen).size(), 2u * (n - 1));
  EXPECT_EQ(items_of(c, Op::Line, kMagenta).size(), static_cast<std::size_t>(n - 1));
  RecordingCanvas off;
  draw_torque_chart(off, t, "W9", {false, false, false});
  EXPECT_TRUE(items_of(off, Op::Line, kBlue).empty());
  EXPECT_EQ(items_of(off, Op::Line, kYellow).size(), 2u);
  EXPECT_EQ(items_of(off, Op::Ellipse, kYellow).size(), 1u);
}

}  // namespace
}  // namespace wb
