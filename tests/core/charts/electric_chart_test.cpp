// The electric curves on a recording canvas: screen and page variants of a synthetic
// single-phase stroke whose scales and values follow by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/charts/electric_chart.h"
#include "chart_test_util.h"

namespace wb {
namespace {

using namespace charts_test;

constexpr Rgb kMagenta = rgb(255, 0, 255);
constexpr Rgb kRed = rgb(255, 0, 0);
constexpr Rgb kBlue = rgb(0, 0, 255);
constexpr Rgb kYellowC = rgb(255, 255, 0);
constexpr Rgb kGreenC = rgb(0, 255, 0);
constexpr Rgb kGrey = rgb(128, 128, 128);

// 500 samples (10 s) single phase: 10 A, 360 V (380 V at sample 100), 2.4 kW.
// S = 10 × 360 / 1000 = 3.6 kVA, Q = sqrt(3.6² − 2.4²) = 2.683 kvar; all below 12.5, so
// A = 25; the largest voltage 380 gives V = 400.
DrawnTest stroke_500() {
  DrawnTest st;
  st.read_sgt_dnt_org = kKindJoint;
  for (int i = 0; i < 500; ++i) {
    st.iis[i] = 10;
    st.uus[i] = i == 100 ? 380 : 360;
    st.pps[i] = 2.4f;
    st.qqs[i] = -99;
  }
  st.dnt_rec.wiring_mode = 3;
  st.iu_num = 500;
  st.gt_num = 500;
  st.Text1[2] = " W17 ";
  st.org_head.test_date = "202403151030";
  st.command1_visible = true;
  return st;
}

// An axis label as drawn: print form and a trailing blank.
std::string label_of(double v) {
  std::ostringstream o;
  o << (v < 0 ? "-" : " ") << std::abs(v) << " ";
  return o.str();
}

const Item* text_at(const RecordingCanvas& c, const std::string& text, double x, double y) {
  for (const auto& it : c.items)
    if (it.op == Op::Text && it.text == text && near(it.x1, x, 1e-9) && near(it.y1, y, 1e-9)) return &it;
  return nullptr;
}

TEST(ElectricChart, ScreenLabelsTitlesAndResults) {
  DrawnTest st = stroke_500();
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, st.iu_num);

  const char* left[] = {" 25 ", " 20 ", " 15 ", " 10 ", " 5 ", " 0 ", "-5 "};
  const char* right[] = {" 400 ", " 320 ", " 240 ", " 160 ", " 80 ", " 0 ", "-80 "};
  for (int k = 0; k <= 6; ++k) {
    SCOPED_TRACE(k);
    const double y = 10 + 8 * k;
    EXPECT_NE(text_at(pic, left[k], 4, y - 1.5), nullptr);
    EXPECT_NE(text_at(pic, right[k], 95, y - 1.5), nullptr);
  }
  // Time grid: 2 s steps, 17 mm apart, labels 3 mm left of the line and 1 mm below the frame.
  for (int k = 0; k <= 5; ++k) {
    SCOPED_TRACE(k);
    const double x = 10 + 17.0 * k;
    EXPECT_NE(text_at(pic, " " + std::to_string(2 * k) + " ", x - 3, 59), nullptr);
    EXPECT_NE(find_line(pic, x, 10, x, 58), nullptr);
  }
  EXPECT_NE(text_at(pic, "W17井电能参数曲线      测试日期:202403151030", 16, 1), nullptr);
  EXPECT_NE(text_at(pic, "记录时间(S)", 72.8, 54), nullptr);
  const Item* current = text_at(pic, "电流(A) ", 4, 5.5);
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->pen.color, kRed);
  const Item* active = pic.find_text("有功功率(kW) ");
  ASSERT_NE(active, nullptr);
  EXPECT_NEAR(active->x1, current->x2, 1e-9);  // follows the previous legend entry
  EXPECT_EQ(active->pen.color, kBlue);
  EXPECT_EQ(pic.find_text("无功功率(kVar)")->pen.color, kYellowC);
  EXPECT_NE(text_at(pic, "电压(V)", 91, 5.5), nullptr);
  EXPECT_EQ(pic.find_text("电压(V)")->pen.color, kMagenta);
  for (const auto& it : pic.items) {
    if (it.op == Op::Text) {
      EXPECT_DOUBLE_EQ(it.font.size, 9) << it.text;
    }
  }

  EXPECT_EQ(st.Text3[1], "2.4");
  EXPECT_NEAR(st.p_sum, 1200, 1e-2);  // 500 × 2.4 kW
  EXPECT_FALSE(st.command1_visible);
  EXPECT_NEAR(st.qqs[0], std::sqrt(3.6 * 3.6 - 2.4 * 2.4), 1e-5);
  EXPECT_NEAR(st.qqs[499], std::sqrt(3.6 * 3.6 - 2.4 * 2.4), 1e-5);
}

TEST(ElectricChart, ScreenCurvePoints) {
  DrawnTest st = stroke_500();
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, st.iu_num);
  // Voltage on V = 400: 360 V at y = 10 + 40 − 360/400·40 = 14; its first point magenta.
  const auto v_segs = items_of(pic, Op::Line, kMagenta);
  ASSERT_EQ(v_segs.size(), 499u);
  EXPECT_NEAR(v_segs.back().x2, 10 + 85.0 * 499 / 500, 1e-9);
  EXPECT_NEAR(v_segs.back().y2, 14, 1e-9);
  EXPECT_NEAR(v_segs[99].y2, 50 - 380.0 / 400 * 40, 1e-9);  // sample 100: 380 V
  // Current 10 A on A = 25: y = 50 − 16 = 34. Active 2.4 kW: y = 50 − 3.84.
  EXPECT_NEAR(items_of(pic, Op::Line, kRed).back().y2, 34, 1e-9);
  EXPECT_NEAR(items_of(pic, Op::Line, kBlue).back().y2, 50 - 2.4 / 25 * 40, 1e-6);
  // Reactive power: first point grey, segments yellow.
  const auto q_first = items_of(pic, Op::Point, kGrey);
  ASSERT_EQ(q_first.size(), 1u);
  EXPECT_NEAR(q_first[0].x1, 10, 1e-9);
  EXPECT_EQ(items_of(pic, Op::Line, kYellowC).size(), 499u);
  // Frame: one 2-pixel rectangle.
  ASSERT_EQ(pic.count(Op::Rect), 1u);
  for (const auto& it : pic.items)
    if (it.op == Op::Rect) {
      EXPECT_EQ(it.pen.width, 2);
      EXPECT_NEAR(it.x2, 95, 1e-9);
      EXPECT_NEAR(it.y2, 58, 1e-9);
    }
}

TEST(ElectricChart, CrankAngleAxisWhenStartingAtTheBottomDeadCentre) {
  DrawnTest st = stroke_500();
  st.chk_start_checked = true;
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, st.iu_num);
  for (int k = 0; k <= 8; ++k) {
    SCOPED_TRACE(k);
    const double x = 10 + k * 85.0 / 8;
    EXPECT_NE(text_at(pic, " " + std::to_string(45 * k) + " ", x - 3, 59), nullptr);
  }
  EXPECT_NE(pic.find_text("曲柄转角(deg)"), nullptr);
  EXPECT_EQ(pic.find_text("记录时间(S)"), nullptr);
}

TEST(ElectricChart, StoredRecordKeepsTheReadersEnergySum) {
  // A stored power record: gt_num 0, the reader set p_sum = input power × point_num.
  DrawnTest st = stroke_500();
  st.read_sgt_dnt_org = kKindElectric;
  st.gt_num = 0;
  st.p_sum = 8.5f * 300;
  st.Text3[1] = "8.5";
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 144);
  EXPECT_FLOAT_EQ(st.p_sum, 2550.0f);
  EXPECT_EQ(st.Text3[1], "8.5");
  // Recording-time labels of 144 points: 0, 1, 2 at 10, 39.5 and 69.0 mm.
  EXPECT_NE(text_at(pic, " 0 ", 7, 59), nullptr);
  EXPECT_NE(text_at(pic, " 1 ", 10 + 85 / 2.88 - 3, 59), nullptr);
  EXPECT_NE(text_at(pic, " 2 ", 10 + 2 * 85 / 2.88 - 3, 59), nullptr);
  EXPECT_EQ(pic.find_text(" 3 "), nullptr);
}

TEST(ElectricChart, StoredRecordTimeAxisIsThatOfTheRecordedStroke) {
  // The 144 rebuilt points span one stroke of point_num samples (0.02 s each) across the
  // 85 mm, so a time line stands where that time of the stroke is drawn.
  struct Case {
    int point_num;
    std::vector<double> labels;
    double pitch;  // mm
  };
  const Case cases[] = {
      {500, {0, 2, 4, 6, 8, 10}, 17.0},                  // 10 s
      {300, {0, 1, 2, 3, 4, 5, 6}, 85.0 / 6},            // 6 s
      {2400, {0, 10, 20, 30, 40}, 85.0 / 4.8},           // 48 s: the points still fill 85 mm
      {0, {0, 1, 2}, 85.0 / 2.88},                       // damaged: the points' own axis
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.point_num);
    DrawnTest st = stroke_500();
    st.read_sgt_dnt_org = kKindElectric;
    st.gt_num = 0;
    st.dnt_rec.point_num = static_cast<std::int16_t>(c.point_num);
    RecordingCanvas pic(106.1, 63.8);
    iup_line_form(st, pic, 144);
    std::vector<const Item*> labels;
    for (const auto& it : pic.items)
      if (it.op == Op::Text && near(it.y1, 59, 1e-9)) labels.push_back(&it);
    ASSERT_EQ(labels.size(), c.labels.size());
    for (std::size_t k = 0; k < labels.size(); ++k) {
      EXPECT_EQ(labels[k]->text, label_of(c.labels[k]));
      EXPECT_NEAR(labels[k]->x1, 10 + k * c.pitch - 3, 1e-9);
    }
  }
  // A joint test of 144 points keeps the axis of its own samples.
  DrawnTest st = stroke_500();
  st.dnt_rec.point_num = 500;
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 144);
  EXPECT_NE(text_at(pic, " 2 ", 10 + 2 * 85 / 2.88 - 3, 59), nullptr);
  EXPECT_EQ(text_at(pic, " 4 ", 10 + 2 * 17.0 - 3, 59), nullptr);
}

TEST(ElectricChart, NoCardPeriodClearsTheStrokeSumOfAJointTest) {
  // Without a card period the sum of a joint test starts again at 0 (and nothing is
  // divided): an earlier test's sum must not reach the energy panel.
  DrawnTest st = stroke_500();
  st.gt_num = 0;
  st.p_sum = 2550;
  st.Text3[1] = "8.5";
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 500);
  EXPECT_FLOAT_EQ(st.p_sum, 0.0f);
  EXPECT_EQ(st.Text3[1], "8.5");
}

TEST(ElectricChart, ShortStrokeHasAGridInsideTheFrame) {
  DrawnTest st = stroke_500();
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 60);  // 1.2 s
  std::vector<Item> verticals;
  for (const auto& it : pic.items)
    if (it.op == Op::Line && it.x1 == it.x2 && it.pen.color == kBlack) verticals.push_back(it);
  ASSERT_EQ(verticals.size(), 3u);  // 0, 0.5 and 1 s
  for (const auto& v : verticals) {
    EXPECT_GE(v.x1, 10);
    EXPECT_LE(v.x1, 95);
    EXPECT_DOUBLE_EQ(v.y1, 10);
    EXPECT_DOUBLE_EQ(v.y2, 58);
  }
  EXPECT_NE(pic.find_text(" .5 "), nullptr);
  EXPECT_NE(pic.find_text(" 1 "), nullptr);
}

TEST(ElectricChart, ZeroVoltageLeavesTheVoltageCurveOut) {
  DrawnTest st = stroke_500();
  for (int i = 0; i < 500; ++i) st.uus[i] = 0;
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 500);
  EXPECT_TRUE(items_of(pic, Op::Line, kMagenta).empty());
  for (int k = 0; k <= 6; ++k) EXPECT_NE(text_at(pic, " 0 ", 95, 10 + 8 * k - 1.5), nullptr) << k;
}

TEST(ElectricChart, ReactivePowerByWiringMode) {
  struct Case {
    int mode;
    double s;  // kVA for 10 A and 380 V
  };
  const Case cases[] = {{1, 3.8 * std::sqrt(3.0)}, {2, 11.4}, {3, 3.8}, {4, 11.4}, {0, 0}, {5, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    DrawnTest st;
    st.iis[0] = 10;
    st.uus[0] = 380;
    st.pps[0] = 2;
    st.dnt_rec.wiring_mode = static_cast<std::int16_t>(c.mode);
    const ElectricMaxima mx = recompute_reactive_power(st, 1);
    const double q = c.s * c.s > 4 ? std::sqrt(c.s * c.s - 4) : 0;
    EXPECT_NEAR(st.qqs[0], q, 1e-5);
    EXPECT_NEAR(mx.q, q, 1e-5);
  }
}

TEST(ElectricChart, PageChartAndValueBlock) {
  DrawnTest st = stroke_500();
  st.dnt_rec.well_name = "W17             ";
  st.dnt_rec.point_num = 250;      // 5 s: 12 strokes/min
  st.dnt_rec.avg_voltage = 19000;  // 380 V
  st.dnt_rec.input_power = 1000;   // 10 kW
  st.dnt_rec.power_factor = 8500;  // .85
  st.dnt_rec.avg_power_down = -250;
  RecordingCanvas prn(210, 297, true);
  const double xx = 45, yy = 40;
  iup_line_prt(st, prn, xx, yy);

  const Item* title = text_at(prn, "W17             井电力参数测试结果", xx + 35, yy - 10);
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(title->font.bold);
  EXPECT_DOUBLE_EQ(title->font.size, 12);
  const Item* legend = text_at(prn, "电流(A) ", xx - 6, yy - 5);
  ASSERT_NE(legend, nullptr);
  EXPECT_DOUBLE_EQ(legend->font.size, 7);
  EXPECT_EQ(prn.find_text("无功功率(kVar)")->pen.color, kGreenC);
  EXPECT_NE(text_at(prn, "电压(V)", xx + 126, yy - 5), nullptr);
  // Crank-angle axis whatever the check box says; page lift 2 mm, 9 mm grid.
  EXPECT_NE(text_at(prn, " 360 ", xx + 130 - 3, yy + 54 + 1), nullptr);
  EXPECT_NE(text_at(prn, " 25 ", xx - 6, yy - 2), nullptr);
  EXPECT_NE(text_at(prn, "-80 ", xx + 130, yy + 54 - 2), nullptr);
  EXPECT_EQ(prn.find_text("记录时间(S)"), nullptr);
  EXPECT_EQ(prn.count(Op::Clear), 0u);
  // Frame as four 2-unit lines; curves 2 units wide, the last point at xx + 499/500·130.
  EXPECT_NE(find_line(prn, xx + 130, yy + 54, xx, yy + 54), nullptr);
  const auto v_segs = items_of(prn, Op::Line, kMagenta);
  ASSERT_EQ(v_segs.size(), 499u);
  EXPECT_EQ(v_segs[0].pen.width, 2);
  EXPECT_NEAR(v_segs.back().x2, xx + 499.0 / 500 * 130, 1e-9);
  EXPECT_NEAR(v_segs.back().y2, yy + 45 - 360.0 / 400 * 45, 1e-9);

  // Value block: column c, row r at (xx + {20, 72, 120}, yy + 60 + 5.7 r), 10 pt.
  const struct {
    const char* text;
    int col, row;
  } values[] = {{" 380 ", 0, 0}, {" .85 ", 0, 2}, {" 10 ", 1, 0}, {"-2.5 ", 2, 1}, {" 12 ", 2, 2},
                {" 5 ", 2, 3},   {" .01389 ", 2, 4}};  // 10 kW × 5 s = 0.013889 kWh
  const double col_x[] = {20, 72, 120};
  for (const auto& v : values) {
    SCOPED_TRACE(v.text);
    const Item* it = text_at(prn, v.text, xx + col_x[v.col], yy + 60 + 5.7 * v.row);
    ASSERT_NE(it, nullptr);
    EXPECT_DOUBLE_EQ(it->font.size, 10);
  }
}

TEST(ElectricChart, PageTemplateFrameTableAndCaptions) {
  RecordingCanvas prn(210, 297, true);
  draw_dnt_print(prn, 30, 20);
  const double px = 25.4 / 96;
  ASSERT_EQ(prn.count(Op::Rect), 1u);
  for (const auto& it : prn.items)
    if (it.op == Op::Rect) {
      EXPECT_NEAR(it.x1, 30 + 24 * px, 1e-9);
      EXPECT_NEAR(it.y2, 20 + 408 * px, 1e-9);
    }
  EXPECT_EQ(prn.count(Op::Line), 10u);  // five rules and five column lines
  EXPECT_EQ(prn.count(Op::Text), 15u);
  // The value cells start where the value block writes: value column 1 at X + 35 mm lies in
  // the cell from 129 to 192 px.
  EXPECT_GT(30 + 35.0, 30 + 129 * px);
  EXPECT_LT(30 + 35.0, 30 + 192 * px);
  const Item* cap = prn.find_text("累计电量（kWh）");
  ASSERT_NE(cap, nullptr);
  EXPECT_GT(cap->x1, 30 + 395 * px);
  EXPECT_LT(cap->x2, 30 + 507 * px);
  EXPECT_GT(cap->y1, 20 + 385 * px);
  EXPECT_LT(cap->y2, 20 + 408 * px);
}

}  // namespace
}  // namespace wb
