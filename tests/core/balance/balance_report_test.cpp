#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "../test_canvas_util.h"
#include "core/balance/balance_charts.h"
#include "core/balance/balance_report.h"
#include "core/common/pi.h"

namespace wb {
namespace {

using namespace canvas_test;

BalanceState analysable(float peak) {
  const int n = 400;
  std::vector<float> u(n, 380), i(n), p(n), q(n), s(n), g(n, 30);
  for (int k = 0; k < n; ++k) {
    const double t = 2 * kPi14 * k / n;
    p[k] = static_cast<float>(peak / 2 + peak / 2 * std::sin(t));
    q[k] = 0.4f * p[k];
    i[k] = 10 + p[k] / 2;
    s[k] = static_cast<float>(1.5 * (1 - std::cos(t)));
  }
  BalanceState a;
  take_stroke(a.held, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 3, 3);
  a.held.Cur_Well = "P1";
  a.held.Cur_Test = "200801011200";
  fit_electric_regressions(a);
  a.prm.crank_blocks = 2;
  a.prm.crank_block_wt = 10;
  a.prm.crank_block_pos = 1;
  a.prm.crank_pos_max = 2.1f;
  a.prm.crank_angle0 = 6;
  return a;
}

TEST(BalanceReport, TwoBlocksOnAPage) {
  BalanceState a = analysable(80);
  const std::optional<std::string> advice = report_analysis(a, BalanceMode::Crank);
  ASSERT_TRUE(advice.has_value());
  EXPECT_EQ(advice->find("井平衡调整建议"), std::string::npos);  // no title in print
  EXPECT_EQ(advice->rfind("\r\n" + std::string(32, ' ') + "  一、现状:", 0), 0u);
  RecordingCanvas c;
  draw_report_block(c, a, *advice, kReportUpperBlock, true, true);
  draw_report_block(c, a, *advice, kReportLowerBlock, true, true);
  // Frames from 4 to 127 mm and from 149 to 272 mm, 140 mm wide.
  EXPECT_NE(find_line(c, 38, 4, 178, 4), nullptr);
  EXPECT_NE(find_line(c, 38, 127, 178, 127), nullptr);
  EXPECT_NE(find_line(c, 38, 149, 178, 149), nullptr);
  EXPECT_NE(find_line(c, 38, 272, 38, 149), nullptr);
  // Scale: the largest of the four curves (here the predicted current), up to a multiple of 25.
  float largest = 0;
  for (std::size_t i = 0; i < 400; ++i)
    largest = std::max({largest, a.iis_after[i], a.iis12[i], a.pps_after[i], a.pps12[i]});
  const int vmax = power_chart_scale(largest);
  ASSERT_GT(vmax, 0);
  EXPECT_NE(find_text_at(c, " " + std::to_string(vmax), 39, 13), nullptr);
  EXPECT_NE(find_text_at(c, "-" + std::to_string(vmax / 5), 39, 15 + 54 - 2), nullptr);
  EXPECT_EQ(c.texts_containing("井号：P1       测试时间:200801011200").size(), 2u);
  // The advice: an empty first line at x = 60, every further line from x = 0 with its prefix.
  const auto adv = c.texts_containing("一、现状:");
  ASSERT_EQ(adv.size(), 2u);
  EXPECT_DOUBLE_EQ(adv[0]->x1, 0.0);
  EXPECT_EQ(adv[0]->text.rfind(std::string(32, ' '), 0), 0u);
  EXPECT_NE(find_text_at(c, "", 60, 15 + 59), nullptr);
  // Title column: 平 at (45, yy + 63.5).
  EXPECT_NE(find_text_at(c, "平", 45, 15 + 63.5), nullptr);
  // Predicted curves in width 2, measured in dark grey over them.
  EXPECT_EQ(items_of(c, Op::Line, QBColor(8)).size(), 2u * 2 * (400 - 1));
}

TEST(BalanceReport, RecordsThatCannotBeAnalysed) {
  BalanceState a = analysable(20);
  a.prm.crank_blocks = 0;
  EXPECT_FALSE(report_analysis(a, BalanceMode::Crank).has_value());
  a.prm.beam_front_arm = 4;
  a.prm.balance_arm = 3;
  a.prm.beam_blocks_max = 4;
  EXPECT_TRUE(report_analysis(a, BalanceMode::Beam).has_value());  // beam balance does not divide by it
  BalanceState none;
  EXPECT_FALSE(report_analysis(none, BalanceMode::Crank).has_value());
}

TEST(BalanceReport, PrintedRecordKeepsTheWindowsBeamMembersInCrankBalance) {
  BalanceState a = analysable(20);
  a.prm.beam_front_arm = 4.5f;
  PhfxRecord rec;
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "11";
  t[2] = "1.1";
  t[5] = "3";
  ASSERT_FALSE(fill_phfx(rec, a.held, t, BalanceMode::Crank, ""));
  EXPECT_EQ(load_record_for_print(a, rec), BalanceMode::Crank);
  EXPECT_FLOAT_EQ(a.prm.beam_front_arm, 4.5f);
  EXPECT_FLOAT_EQ(a.prm.crank_block_wt, 11.0f);
  rec.balance_mode = 2;
  EXPECT_EQ(load_record_for_print(a, rec), BalanceMode::Combined);
  EXPECT_FLOAT_EQ(a.prm.beam_front_arm, 3.0f);
}

}  // namespace
}  // namespace wb
