// The card chart on a recording canvas: a rectangular card whose work, stroke and scales are
// known by hand.
#include <gtest/gtest.h>

#include "core/charts/card_chart.h"
#include "chart_test_util.h"

namespace wb {
namespace {

using namespace charts_test;

constexpr double kPicW = 6015.0 / 1440 * 25.4;  // main picture, mm
constexpr double kPicH = 3615.0 / 1440 * 25.4;
constexpr Rgb kMagenta = rgb(255, 0, 255);
constexpr Rgb kLightBlue = rgb(0, 0, 255);

// Layout units to millimetres on the picture (u/3 and v/2.6 points).
double mm_u(double u) { return u / 3 * kPt; }
double mm_v(double v) { return v / 2.6 * kPt; }

// A 2.5 m stroke at 40 kN up and 20 kN down, drawn from 4 corner points:
// work = 2.5 m × 20 kN = 50 kJ; 250 samples per stroke = 5 s: 12 strokes/min, 10 kW.
DrawnTest rectangle_card() {
  DrawnTest st;
  const float s[] = {0, 0, 2.5f, 2.5f}, g[] = {20, 40, 40, 20};
  for (int i = 0; i < 4; ++i) {
    st.sss[i] = s[i];
    st.ggs[i] = g[i];
  }
  st.gt_num = 250;
  st.sgt_rec.point_num = 250;
  st.org_head.test_date = "202403151030";
  st.Text1[2] = "  W17 ";
  st.Text1[1] = "0.5";  // stroke loss, m
  st.Text1[3] = "2";    // theoretical stroke, m
  st.Text1[4] = "35";   // kN
  st.Text1[5] = "15kN"; // leading number counts
  st.command1_visible = true;
  st.text1_enabled.fill(false);
  return st;
}

TEST(CardChart, ResultsOfARectangularCard) {
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  EXPECT_EQ(st.Text1[0], "202403151030");
  EXPECT_EQ(st.Text3[12], " 2.5");
  EXPECT_EQ(st.Text3[13], " 12");
  EXPECT_FLOAT_EQ(st.gt_stroke, 2.5f);
  EXPECT_FLOAT_EQ(st.gt_max_load, 40.0f);
  EXPECT_FALSE(st.command1_visible);
  for (int i = 2; i <= 5; ++i) EXPECT_TRUE(st.text1_enabled[i]) << i;
  EXPECT_FALSE(st.text1_enabled[1]);

  const CardMeasures m = card_measures(st.sss, st.ggs, 4, 250);
  EXPECT_FLOAT_EQ(m.work, 50.0f);
  EXPECT_DOUBLE_EQ(m.power, 10.0);
}

TEST(CardChart, HeaderLinesAndPlacement) {
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  const std::vector<std::string> expected = {"井号:W17", "日期:20240315", "时间:10:30", "冲次: 12次",
                                             "冲程: 2.5m", "最大负载:", "   40kN", "最小负载:", "   20kN",
                                             "作 功 量:", "   50kJ", "光杆功率:", "   10kW", "", "", "", ""};
  std::vector<const Item*> header;
  for (const auto& it : pic.items)
    if (it.op == Op::Text && near(it.x1, mm_u(685))) header.push_back(&it);
  ASSERT_EQ(header.size(), 17u);
  // Each line 1.8 points below the last; the first 1.8 points below v = 35. At 9 pt the
  // 13 filled lines would end at 153.9 pt, below the header frame (150 pt): the header
  // steps down to 8.5 pt (ending at 147.4 pt) and the picture keeps its 9 pt.
  EXPECT_DOUBLE_EQ(header[0]->font.size, 8.5);
  EXPECT_DOUBLE_EQ(pic.font.size, 9);
  EXPECT_LE(header[12]->y2, mm_v(390));
  const double line_h = RecordingCanvas::em_mm(header[0]->font) + 1.8 * kPt;
  for (std::size_t k = 0; k < 17; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(header[k]->text, expected[k]);
    EXPECT_NEAR(header[k]->y1, mm_v(35) + 1.8 * kPt + k * line_h, 1e-9);
  }
}

TEST(CardChart, AxisLabelsGridAndFrames) {
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);

  // Position axis: 3 divisions of 200 units; no label at 0, the last one titled.
  const struct {
    const char* text;
    double u;
  } pos_labels[] = {{" 1", 260}, {" 2", 460}, {" 3 行程(m)", 660}};
  for (const auto& l : pos_labels) {
    SCOPED_TRACE(l.text);
    const Item* it = pic.find_text(l.text);
    ASSERT_NE(it, nullptr);
    EXPECT_NEAR(it->x1, mm_u(l.u) - 7 * kPt, 1e-9);
    EXPECT_NEAR(it->y1, mm_v(390) + 3 * kPt, 1e-9);
    EXPECT_NE(find_line(pic, mm_u(l.u), mm_v(31), mm_u(l.u), mm_v(390)), nullptr);
  }
  // Load axis: 40 kN full scale, 8 steps of 5 kN, 45 units apart, labels 5 points from the edge.
  const struct {
    const char* text;
    int k;
  } load_labels[] = {{" 40负载(kN)", 0}, {" 35", 1}, {" 20", 4}, {" 5", 7}, {" 0", 8}};
  for (const auto& l : load_labels) {
    SCOPED_TRACE(l.text);
    const Item* it = nullptr;
    for (const auto& cand : pic.items)
      if (cand.op == Op::Text && cand.text == l.text && near(cand.x1, 5 * kPt)) it = &cand;
    ASSERT_NE(it, nullptr);
    EXPECT_NEAR(it->y1, mm_v(31 + 45 * l.k), 1e-9);
  }
  // The load grid stops above the plot frame's lower edge: line 8 is the frame itself.
  EXPECT_NE(find_line(pic, mm_u(660), mm_v(31 + 45 * 7), mm_u(60), mm_v(31 + 45 * 7)), nullptr);
  EXPECT_EQ(find_line(pic, mm_u(660), mm_v(391), mm_u(60), mm_v(391)), nullptr);

  std::vector<Item> rects;
  for (const auto& it : pic.items)
    if (it.op == Op::Rect) rects.push_back(it);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0].pen.width, 2);
  EXPECT_NEAR(rects[0].x1, mm_u(14), 1e-9);
  EXPECT_NEAR(rects[0].y2, mm_v(440), 1e-9);
  EXPECT_NEAR(rects[1].x2, mm_u(660), 1e-9);
  EXPECT_NEAR(rects[2].x1, mm_u(680), 1e-9);
  EXPECT_EQ(rects[2].pen.style, DrawStyle::Solid);
}

TEST(CardChart, MeasuredCurveIsOpenAndOnScale) {
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  const auto points = items_of(pic, Op::Point, kMagenta);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_NEAR(points[0].x1, mm_u(60), 1e-9);
  EXPECT_NEAR(points[0].y1, mm_v(391 - 90 * 2.0), 1e-9);  // 20 kN at 90 units per 10 kN
  const auto segs = items_of(pic, Op::Line, kMagenta);
  ASSERT_EQ(segs.size(), 3u);  // not closed
  EXPECT_EQ(segs[0].pen.width, 2);
  // (2.5 m, 40 kN): u = 60 + 200·2.5 = 560, v = 391 − 90·4 = 31, the full-scale line.
  EXPECT_NEAR(segs[1].x2, mm_u(560), 1e-9);
  EXPECT_NEAR(segs[1].y2, mm_v(31), 1e-9);
}

TEST(CardChart, StaticCardAtTheStrokeAxisScale) {
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  // H = 200: loss 0.5 m shifts the top side 100 units, the 2 m stroke spans 400 units;
  // 35 and 15 kN at 90 units per 10 kN.
  const auto lines = items_of(pic, Op::Line, kLightBlue);
  ASSERT_EQ(lines.size(), 4u);
  const double v_max = 391 - 90 * 3.5, v_min = 391 - 90 * 1.5;
  EXPECT_NE(find_line(pic, mm_u(160), mm_v(v_max), mm_u(560), mm_v(v_max)), nullptr);  // top
  EXPECT_NE(find_line(pic, mm_u(60), mm_v(v_min), mm_u(460), mm_v(v_min)), nullptr);   // bottom
  EXPECT_NE(find_line(pic, mm_u(160), mm_v(v_max), mm_u(60), mm_v(v_min)), nullptr);   // left
  EXPECT_NE(find_line(pic, mm_u(560), mm_v(v_max), mm_u(460), mm_v(v_min)), nullptr);  // right
  for (const auto& l : lines) EXPECT_EQ(l.pen.width, 1);
}

TEST(CardChart, StaticLinesLaterUseTheLastCardsScalesAndAddUp) {
  DrawnTest st = rectangle_card();
  st.sss[2] = st.sss[3] = 3.5f;  // 3.5 m stroke: 4 divisions of 150 units
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  ASSERT_FLOAT_EQ(st.gt_stroke, 3.5f);
  const std::size_t before = pic.items.size();
  st.Text1[1] = "1";
  st.Text1[3] = "3";
  st.Text1[4] = "40";
  st.Text1[5] = "0";
  disp_ll_sgt(st, pic);
  ASSERT_EQ(pic.items.size(), before + 4);  // nothing cleared, four lines added
  // The 1 m loss is laid off at 150 units per metre, like the stroke.
  EXPECT_NE(find_line(pic, mm_u(60 + 150), mm_v(31), mm_u(60 + 150 + 450), mm_v(31)), nullptr);
  EXPECT_NE(find_line(pic, mm_u(60), mm_v(391), mm_u(60 + 450), mm_v(391)), nullptr);
  EXPECT_EQ(items_of(pic, Op::Line, kLightBlue).size(), 8u);  // the first static card stays
}

TEST(CardChart, EmptyBoxesShrinkTheStaticCardToTheOrigin) {
  DrawnTest st = rectangle_card();
  for (int i : {1, 3, 4, 5}) st.Text1[i].clear();
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  for (const auto& l : items_of(pic, Op::Line, kLightBlue)) {
    EXPECT_NEAR(l.x1, mm_u(60), 1e-9);
    EXPECT_NEAR(l.x2, mm_u(60), 1e-9);
    EXPECT_NEAR(l.y1, mm_v(391), 1e-9);
  }
}

TEST(CardChart, PrinterStaticCardInMillimetres) {
  DrawnTest st;
  st.gt_stroke = 2.5f;
  st.gt_max_load = 40;
  st.Text1[1] = "0.5";
  st.Text1[3] = "2";
  st.Text1[4] = "35";
  st.Text1[5] = "15";
  RecordingCanvas prn(210, 297, true);
  prn.set_scale(0, 0, 1, 1);  // whatever the page had: the routine sets millimetres
  prt_disp_ll_sgt(st, prn);
  ASSERT_EQ(prn.count(Op::Line), 4u);
  EXPECT_NE(find_line(prn, 160 / 3.0, (391 - 315) / 2.6, 560 / 3.0, (391 - 315) / 2.6), nullptr);
}

TEST(CardChart, ZeroPointNumKeepsStrokeRateAndCountsNoPower) {
  DrawnTest st = rectangle_card();
  st.sgt_rec.point_num = 0;
  st.Text3[13] = "7.5";
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_G(st, pic, 4);
  EXPECT_EQ(st.Text3[13], "7.5");
  EXPECT_NE(pic.find_text("   0kW"), nullptr);
  EXPECT_EQ(pic.texts_containing("冲次").size(), 0u);
}

TEST(CardChart, LibraryCardClosesTheLoopOverDrawnPoints) {
  // 144 rebuilt points of a circle of radius 1 m / 10 kN: work ≈ π·1·10 kJ (polygon area,
  // 144 sides: area = 72·sin(2π/144)·r·R), power from the recorded 300 samples (6 s).
  DrawnTest st;
  for (int i = 0; i < 144; ++i) {
    const double a = 2 * M_PI * i / 144;
    st.sss[i] = static_cast<float>(1 + std::cos(a));
    st.ggs[i] = static_cast<float>(30 - 10 * std::sin(a));
  }
  st.sgt_rec.point_num = 300;
  const CardMeasures m = card_measures(st.sss, st.ggs, 144, 300);
  const double polygon = 72 * std::sin(2 * M_PI / 144) * 10;
  EXPECT_NEAR(m.work, polygon, 1e-3);  // single-precision sum of 144 terms
  EXPECT_NEAR(m.power, std::floor(polygon / 6 * 100 + 0.5) / 100, 0.011);
  ASSERT_TRUE(m.spm.has_value());
  EXPECT_DOUBLE_EQ(*m.spm, 10.0);
}

TEST(CardChart, CardEntryCopiesThePeriodIntoTheRecord) {
  DrawnTest st = rectangle_card();
  st.gt_num = 4;
  st.sgt_rec.point_num = 999;
  RecordingCanvas pic(kPicW, kPicH);
  RodEngMapDisplay_Card(st, pic);
  EXPECT_EQ(st.sgt_rec.point_num, 4);
  EXPECT_EQ(st.Text3[13], " 750");  // 3000 / 4
}

}  // namespace
}  // namespace wb

namespace wb {
namespace {

TEST(CardChart, StaticLinesOnlyOverACard) {
  struct Case {
    std::int16_t kind, disp_state;
    bool card;
  };
  const Case cases[] = {{kKindCard, 1, true},      {kKindJoint, 3, true},  {kKindJoint, 1, false},
                        {kKindJoint, 2, false},    {kKindElectric, 1, false}, {kKindNone, 0, false},
                        {kKindWave, 1, false},     {kKindLineLoss, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << "/" << c.disp_state);
    DrawnTest st;
    st.read_sgt_dnt_org = c.kind;
    st.disp_state = c.disp_state;
    EXPECT_EQ(picture_shows_card(st), c.card);
  }
}

}  // namespace
}  // namespace wb

namespace wb {
namespace {

TEST(CardChart, SetsItsOwnFontWhateverThePictureHad) {
  // A view drawn before may leave a small, bold or underlined font: the card does not take it.
  DrawnTest st = rectangle_card();
  RecordingCanvas pic(kPicW, kPicH);
  pic.font = Font{"黑体", 7, true, true, true};
  RodEngMapDisplay_G(st, pic, 4);
  const Item* label = pic.find_text(" 3 行程(m)");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->font.name, "宋体");
  EXPECT_DOUBLE_EQ(label->font.size, kCardPictureFontPt);
  EXPECT_FALSE(label->font.bold || label->font.italic || label->font.underline);
  const Item* line0 = pic.find_text("井号:W17");
  ASSERT_NE(line0, nullptr);
  // The header may step down from 9 pt to end inside its frame on a small picture.
  EXPECT_LE(line0->font.size, kCardPictureFontPt);
  EXPECT_GT(line0->font.size, 7);
  EXPECT_FALSE(line0->font.bold || line0->font.underline);
}

}  // namespace
}  // namespace wb
