#include "core/electric/line_loss_view.h"

#include <gtest/gtest.h>

#include "core/common/number_text.h"
#include "core/electric/waveform_charts.h"
#include "electric_test_util.h"

namespace wb {
namespace {

using namespace electric_test;

constexpr double kS = 50.0 / 6.3;  // layout units per mm

// A joint test's stroke: U = 400 − k·I over currents 20..100 A with power rising with the
// current, plus one generating sample at 10 A. Umean over the consuming samples decides Ubase.
DrawnTest line_test(double k_drop, double scatter = 0) {
  DrawnTest st;
  int n = 0;
  for (int i = 20; i <= 100; i += 10) {
    st.iis[n] = static_cast<float>(i);
    st.uus[n] = static_cast<float>(400 - k_drop * i + ((n % 2) ? scatter : -scatter));
    st.pps[n] = static_cast<float>(i / 5.0);
    st.qqs[n] = 3;
    ++n;
  }
  st.iis[n] = 10;
  st.uus[n] = 401;
  st.pps[n] = -1;
  ++n;
  st.iu_num = static_cast<std::int16_t>(n);
  st.Text1[2] = "W1";
  st.org_head.test_date = "202403151030";
  st.R_iu = "0.98";  // left by the period search
  return st;
}

TEST(LineLossView, ScreenViewLayout) {
  DrawnTest st = line_test(0.1);
  st.command1_visible = true;
  RecordingCanvas pic(106, 64);
  LineLossEstimate e = Get_Line_Lose(pic, st, st.iu_num);

  ASSERT_TRUE(e.valid);
  EXPECT_FALSE(st.command1_visible);
  EXPECT_EQ(st.R_iu, "-1");
  // Umean = 400 − 0.1·60 = 394 → Ubase = 370.
  EXPECT_EQ(e.ubase(), 370);
  EXPECT_EQ(pic.items.front().op, Op::Clear);

  // Frames: chart (13.914, 6.8)–(64.314, 57.2), list (68.094, 2.8)–(98.334, 57.2), outer width 2.
  auto rects = items_of(pic, Op::Rect, kBlack);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_NEAR(rects[0].x1, 13.914, 1e-3);
  EXPECT_NEAR(rects[0].y2, 57.2, 1e-3);
  EXPECT_NEAR(rects[1].x1, 68.094, 1e-3);
  EXPECT_NEAR(rects[1].y1, 2.8, 1e-9);
  EXPECT_NEAR(rects[2].y1, 1.5, 1e-9);
  EXPECT_NEAR(rects[2].x2, 100.854, 1e-3);
  EXPECT_EQ(rects[2].pen.width, 2);
  // Grey dotted grid, vertical lines end one unit short of the bottom.
  const Item* g = find_line(pic, 9 + 239 / kS, 0.5 + 50 / kS, 9 + 239 / kS, 0.5 + 449 / kS, 1e-9);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->pen.color, kWaveGrey);
  EXPECT_EQ(g->pen.style, DrawStyle::Dot);

  struct Text {
    std::string text;
    double x, y;
  };
  const Text texts[] = {
      {" 0 ", 12.914, 58.074},
      {" 160 电流(安)", 12.914 + 6.3 * 8, 58.074},
      {" 410 电压(伏)", 7.914, 6.8},
      {" 370 ", 7.914, 6.8 + 6.3 * 8},
      {"●发电状态", 46, 8.5},
      {"●耗电状态", 46, 12.5},
      {"W1" + std::string(11, ' '), 13.914, 2.0},
      {"井供电线路损耗估计", 33.914, 2.0},
      {"时间:20240315/10:30", 69.354, 3.82},
      {"最大电流(安培)= 100", 69.354, 6.32},
      {"压降系数(V/A) =-.1", 69.354, 3.82 + 2.5 * 18},
      {"相 关 系 数=-1", 69.354, 3.82 + 2.5 * 20},
  };
  for (const Text& t : texts) {
    SCOPED_TRACE(t.text);
    EXPECT_TRUE(find_text_at(pic, t.text, t.x, t.y, 1e-3));
  }
  const Item* title = pic.find_text("井供电线路损耗估计");
  EXPECT_EQ(title->font.name, "黑体");
  EXPECT_TRUE(title->font.underline);
  EXPECT_EQ(pic.find_text("●发电状态")->pen.color, kWaveGreen);

  // Points: (I, U) at x = 13.914 + 0.315·I, y = 57.2 − 1.26·(U − Ubase).
  const Item* p = find_point(pic, 13.914 + 0.315 * 60, 57.2 - 1.26 * (394 - 370), 1e-3);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pen.color, kWaveRed);
  const Item* gen = find_point(pic, 13.914 + 0.315 * 10, 57.2 - 1.26 * (401 - 370), 1e-3);
  ASSERT_TRUE(gen);
  EXPECT_EQ(gen->pen.color, kWaveGreen);
  EXPECT_EQ(pic.count(Op::Point), 10u);

  // Fitted line from 0 A at 400 V to 160 A at 384 V, solid black.
  auto fit = items_of(pic, Op::Line, kBlack);
  ASSERT_EQ(fit.size(), 1u);
  EXPECT_NEAR(fit[0].x1, 13.914, 1e-3);
  EXPECT_NEAR(fit[0].y1, 57.2 - 1.26 * 30, 1e-3);
  EXPECT_NEAR(fit[0].x2, 64.314, 1e-3);
  EXPECT_NEAR(fit[0].y2, 57.2 - 1.26 * 14, 1e-3);
  EXPECT_EQ(fit[0].pen.style, DrawStyle::Solid);
  // Left behind: 宋体 7 pt, black, width 1, solid.
  EXPECT_EQ(pic.font.name, "宋体");
  EXPECT_DOUBLE_EQ(pic.font.size, 7);
  EXPECT_FALSE(pic.font.underline);
  EXPECT_EQ(pic.draw_style, DrawStyle::Solid);
}

TEST(LineLossView, FallingLineEndsOnTheChartBottom) {
  // U = 400 − 0.5·I: Umean = 370 → Ubase = 350; the line reaches 350 V at 100 A.
  DrawnTest st = line_test(0.5);
  RecordingCanvas pic(106, 64);
  LineLossEstimate e = Get_Line_Lose(pic, st, st.iu_num);
  ASSERT_TRUE(e.valid);
  EXPECT_EQ(e.ubase(), 350);
  auto fit = items_of(pic, Op::Line, kBlack);
  ASSERT_EQ(fit.size(), 1u);
  EXPECT_NEAR(fit[0].x2, 13.914 + 0.315 * 100, 1e-3);
  EXPECT_NEAR(fit[0].y2, 57.2, 1e-3);
}

TEST(LineLossView, WeakOrUndefinedFitShowsNoticeAndNoLine) {
  struct Case {
    const char* name;
    DrawnTest st;
    std::string r_iu;
  };
  DrawnTest weak = line_test(0.01, 3);  // ±3 V scatter over a 0.8 V drop
  DrawnTest single = line_test(0.1);
  single.iu_num = 1;  // one consuming sample: no fit
  DrawnTest none = line_test(0.1);
  none.iu_num = 0;
  Case cases[] = {{"weak", weak, ""}, {"single sample", single, ""}, {"no samples", none, ""}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas pic(106, 64);
    LineLossEstimate e = Get_Line_Lose(pic, c.st, c.st.iu_num);
    EXPECT_FALSE(e.valid);
    EXPECT_TRUE(items_of(pic, Op::Line, kBlack).empty());
    EXPECT_TRUE(find_text_at(pic, "注意：", 69.354, 3.82 + 2.5 * 17, 1e-3));
    EXPECT_TRUE(find_text_at(pic, "无法估算线路损耗。", 69.354, 3.82 + 2.5 * 20, 1e-3));
    // The period search's old correlation does not stay in the box as if it were this fit's.
    EXPECT_NE(c.st.R_iu, "0.98");
  }
  // The weak fit publishes its own correlation; no samples: Ubase −20, labels 20 down to −20.
  EXPECT_LT(std::abs(num_val(cases[0].st.R_iu)), 0.7);
  EXPECT_NE(cases[0].st.R_iu, "");
  EXPECT_EQ(cases[2].st.R_iu, "");
}

TEST(LineLossView, EmptyTestDrawsFrameGridAndList) {
  DrawnTest st = line_test(0.1);
  st.iu_num = 0;
  RecordingCanvas pic(106, 64);
  Get_Line_Lose(pic, st, 0);
  EXPECT_EQ(pic.count(Op::Point), 0u);
  EXPECT_TRUE(find_text_at(pic, " 20 电压(伏)", 7.914, 6.8, 1e-3));
  EXPECT_TRUE(find_text_at(pic, "-20 ", 7.914, 6.8 + 6.3 * 8, 1e-3));
  EXPECT_EQ(pic.texts_containing("=").size(), 16u);  // the 16 statistics labels, no values
  EXPECT_TRUE(pic.find_text("测试中没有耗电状态的"));
}

TEST(LineLossView, PrinterPageIsOneJobWithTheSameDecision) {
  DrawnTest st = line_test(0.1);
  RecordingCanvas prn(210, 297, true);
  LineLossEstimate e = Get_Line_Lose_print(prn, st, st.iu_num);
  ASSERT_TRUE(e.valid);
  EXPECT_EQ(prn.items.back().op, Op::EndDoc);
  EXPECT_EQ(prn.count(Op::NewPage), 0u);
  EXPECT_EQ(prn.count(Op::Clear), 0u);
  // Frames as four lines; the outer frame (41.094, 16)–(136.854, 75.48) in width 2.
  EXPECT_EQ(prn.count(Op::Rect), 0u);
  const Item* top = find_line(prn, 41.094, 16, 136.854, 16, 1e-3);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->pen.width, 2);
  EXPECT_TRUE(find_line(prn, 104.094, 17.3, 134.334, 17.3, 1e-3));
  EXPECT_TRUE(find_text_at(prn, "W1" + std::string(11, ' '), 49.914, 16.5, 1e-3));
  EXPECT_TRUE(find_text_at(prn, "时间:20240315/10:30", 105.354, 18.32, 1e-3));
  EXPECT_TRUE(find_text_at(prn, "●发电状态", 82, 23, 1e-9));
  // A point of 100 A and Ubase + 20 V lies at (81.288, 46.5), one unit left of the grid line.
  st.iis[0] = 100;
  st.uus[0] = 390;  // Ubase 370 + 20
  RecordingCanvas prn2(210, 297, true);
  Get_Line_Lose_print(prn2, st, st.iu_num);
  EXPECT_TRUE(find_point(prn2, 81.288, 46.5, 1e-3));

  // The fitted line ends at u = 438 at the voltage of 160 A.
  EXPECT_EQ(items_of(prn, Op::Line, kBlack).size(), 13u);  // 3 frames of 4 lines, the fit
  const Item* fit = find_line(prn, 49.914, 71.7 - 1.26 * 30, 45 + 438 / kS, 71.7 - 1.26 * 14, 1e-3);
  ASSERT_TRUE(fit);

  DrawnTest weak = line_test(0.01, 3);
  RecordingCanvas prn3(210, 297, true);
  Get_Line_Lose_print(prn3, weak, weak.iu_num);
  EXPECT_TRUE(prn3.find_text("电压升降与电流变化的"));
  EXPECT_EQ(items_of(prn3, Op::Line, kBlack).size(), 12u);  // frames only, no fitted line
}

TEST(LineLossView, AlternativeLayout) {
  DrawnTest st = line_test(0.1);
  st.Text1[2] = "  W1 ";
  st.read_sgt_dnt_org = kKindJoint;
  st.command1_visible = true;
  RecordingCanvas pic(106, 64);
  pic.draw_style = DrawStyle::Dash;  // the picture's style is kept for grid and frames
  LineLossEstimate e = Get_Line_Lose_prt(pic, st, st.iu_num);
  ASSERT_TRUE(e.valid);
  EXPECT_TRUE(st.command1_visible);
  EXPECT_EQ(st.read_sgt_dnt_org, kKindJoint);
  EXPECT_TRUE(find_text_at(pic, "W1" + std::string(11, ' '), 29.914, 4.5, 1e-3));
  EXPECT_TRUE(find_text_at(pic, "井供电线路损耗估计", 54.914, 4.5, 1e-3));
  EXPECT_TRUE(find_text_at(pic, "时间:20240315", 65.354, 10.32, 1e-3));
  EXPECT_TRUE(find_text_at(pic, "相 关 系 数   =-1", 65.354, 10.32 + 50, 1e-3));
  EXPECT_TRUE(find_text_at(pic, "●耗电状态", 42, 15, 1e-9));
  auto rects = items_of(pic, Op::Rect, kBlack);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_NEAR(rects[1].y1, 9.3, 1e-3);  // the list frame starts at the chart's top
  EXPECT_NEAR(rects[2].y1, 1.0, 1e-9);
  EXPECT_EQ(rects[0].pen.style, DrawStyle::Dash);
  // Points one unit left of the axis position: 0 A at 9.788 mm.
  st.iis[0] = 0;
  RecordingCanvas pic2(106, 64);
  Get_Line_Lose_prt(pic2, st, st.iu_num);
  EXPECT_TRUE(find_point(pic2, 9.788, 59.7 - 1.26 * (st.uus[0] - 370), 1e-3));
}

}  // namespace
}  // namespace wb
