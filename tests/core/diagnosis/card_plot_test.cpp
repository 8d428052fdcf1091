// The diagnosis chart on a recording canvas, in the picture's point mapping and the report
// page's millimetre mapping: grid, labels, frame, both cards, both parallelograms and the
// buoyancy lines where the mapping puts them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/common/number_text.h"
#include "core/diagnosis/card_plot.h"
#include "../test_canvas_util.h"

namespace wb {
namespace {

using namespace canvas_test;

DiagnosisChart sample_chart() {
  DiagnosisChart p;
  p.stroke_max = 3;
  p.stroke_scale = 200;
  p.load_divs = 10;
  p.load_step = 3;
  p.load_max = 30;
  p.grid_step = 36;
  p.load_scale = 120;
  p.x_loss = 60;
  p.x_stroke = 540;
  p.x_stroke_less_loss = 480;
  p.y_load_level = 211;
  p.y_load_full = 181;
  p.y_rod_weight = 331;
  p.y_buoyancy = 481;
  for (int i = 0; i < 72; ++i) {
    const double th = 2 * 3.14159265358979 * i / 72;
    p.surf_s[i] = static_cast<float>(1.35 * (1 - std::cos(th)));
    p.surf_f[i] = static_cast<float>(20 + 5 * std::sin(th));
    p.pump_s[i] = static_cast<float>(1.0 * (1 - std::cos(th)));
    p.pump_f[i] = static_cast<float>(10 + 8 * std::sin(th));
  }
  p.surface_valid = p.pump_valid = true;
  return p;
}

struct MappingCase {
  const char* name;
  ChartMapping mapping;
  bool points;  // target scale in points (the picture) or millimetres (the page)
};

TEST(CardPlot, DrawsEverythingWhereTheMappingPutsIt) {
  const MappingCase cases[] = {{"picture", kScreenChartMapping, true}, {"paper", kPaperChartMapping, false}};
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisChart p = sample_chart();
    p.set_mapping(c.mapping);
    RecordingCanvas cv(210, 297, !c.points);
    if (c.points) set_scale_points(cv);
    const double unit_mm = c.points ? 25.4 / 72 : 1.0;
    auto X = [&](double x) { return (x + c.mapping.x_off) / c.mapping.x_div * unit_mm; };
    auto Y = [&](double y) { return (y + c.mapping.y_off) / c.mapping.y_div * unit_mm; };
    const double tol = 1e-4;
    Draw_Gt_Bgt(p, cv);

    for (int i = 0; i <= 3; ++i) EXPECT_NE(find_line(cv, X(200.0 * i), Y(91), X(200.0 * i), Y(450), tol), nullptr) << i;
    for (int j = 0; j <= 10; ++j) EXPECT_NE(find_line(cv, X(600), Y(91 + 36.0 * j), X(0), Y(91 + 36.0 * j), tol), nullptr) << j;
    // Stroke labels 4 units left of and 3 below the line's lower end; the title 30 units back.
    EXPECT_NE(find_text_at(cv, " 1", X(200) - 4 * unit_mm, Y(450) + 3 * unit_mm, tol), nullptr);
    const Item* three = find_text_at(cv, " 3", X(600) - 4 * unit_mm, Y(450) + 3 * unit_mm, tol);
    ASSERT_NE(three, nullptr);
    const Item* title = cv.find_text(" 行程(m)");
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->y1, three->y1, tol);
    EXPECT_EQ(cv.find_text(" 0"), cv.find_text(" 0"));  // the stroke value 0 is not labelled
    EXPECT_EQ(find_text_at(cv, " 0", X(0) - 4 * unit_mm, Y(450) + 3 * unit_mm, tol), nullptr);
    // Load labels 45/x_div units left of the grid's left end.
    EXPECT_NE(find_text_at(cv, " 30负载(kN)", X(0) - 45 / c.mapping.x_div * unit_mm, Y(91), tol), nullptr);
    EXPECT_NE(find_text_at(cv, " 27", X(0) - 45 / c.mapping.x_div * unit_mm, Y(127), tol), nullptr);
    EXPECT_NE(find_text_at(cv, " 0", X(0) - 45 / c.mapping.x_div * unit_mm, Y(451), tol), nullptr);

    const auto rects = items_of(cv, Op::Rect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].x1, X(0), tol);
    EXPECT_NEAR(rects[0].y1, Y(91), tol);
    EXPECT_NEAR(rects[0].x2, X(600), tol);
    EXPECT_NEAR(rects[0].y2, Y(452), tol);
    if (!c.points) {  // the printed frame runs from about (94.3, 29.9) to (192.6, 120.1) mm
      EXPECT_NEAR(rects[0].x1, 94.3, 0.05);
      EXPECT_NEAR(rects[0].y2, 120.1, 0.05);
    }

    // Both cards: a point, 72 lines and the closing line, 2 pixels wide.
    for (auto [colour, s, f] : {std::tuple{QBColor(12), p.surf_s, p.surf_f}, std::tuple{QBColor(9), p.pump_s, p.pump_f}}) {
      const auto lines = items_of(cv, Op::Line, colour);
      ASSERT_EQ(lines.size(), 73u);
      EXPECT_EQ(lines[0].pen.width, 2);
      EXPECT_EQ(items_of(cv, Op::Point, colour).size(), 1u);
      const double x5 = X(p.stroke_scale * s[5]), y5 = Y(451 - p.load_scale * f[5] / 10.0);
      EXPECT_NEAR(lines[5].x2, x5, tol);
      EXPECT_NEAR(lines[5].y2, y5, tol);
    }
    // Parallelograms: fluid level in light green, full column in light magenta.
    for (auto [colour, y_top] : {std::pair{QBColor(10), 211.0}, std::pair{QBColor(13), 181.0}}) {
      EXPECT_EQ(items_of(cv, Op::Line, colour).size(), 4u);
      EXPECT_NE(find_line(cv, X(60), Y(y_top), X(540), Y(y_top), tol), nullptr);
      EXPECT_NE(find_line(cv, X(0), Y(331), X(480), Y(331), tol), nullptr);
      EXPECT_NE(find_line(cv, X(60), Y(y_top), X(0), Y(331), tol), nullptr);
      EXPECT_NE(find_line(cv, X(540), Y(y_top), X(480), Y(331), tol), nullptr);
    }
    const auto buoy = items_of(cv, Op::Line, QBColor(6));
    ASSERT_EQ(buoy.size(), 2u);
    EXPECT_NEAR(buoy[0].y1, Y(481), tol);
    EXPECT_NEAR(buoy[1].y1, Y(481) + unit_mm, tol);
    EXPECT_EQ(buoy[1].pen.style, DrawStyle::Dot);
  }
}

TEST(CardPlot, InvalidCardsAreNotDrawn) {
  DiagnosisChart p = sample_chart();
  p.pump_valid = false;
  RecordingCanvas cv;
  set_scale_points(cv);
  Draw_Gt_Bgt(p, cv);
  EXPECT_TRUE(items_of(cv, Op::Line, QBColor(9)).empty());
  EXPECT_EQ(items_of(cv, Op::Line, QBColor(12)).size(), 73u);
}

// An empty chart record (before any refresh): one vertical and one horizontal grid line and
// the load label 0 with its unit.
TEST(CardPlot, EmptyRecordDrawsTheBareFrame) {
  DiagnosisChart p;
  p.set_mapping(kPaperChartMapping);
  RecordingCanvas cv(210, 297, true);
  Draw_Gt_Bgt(p, cv);
  EXPECT_EQ(items_of(cv, Op::Line, QBColor(0)).size(), 2u);
  EXPECT_NE(cv.find_text(" 0负载(kN)"), nullptr);
  EXPECT_EQ(cv.find_text(" 行程(m)"), nullptr);
  EXPECT_EQ(cv.count(Op::Rect), 1u);
}

}  // namespace
}  // namespace wb

namespace wb {
namespace {

bool boxes_overlap(const canvas_test::Item& a, const canvas_test::Item& b) {
  constexpr double kTouch = 1e-6;  // boxes that only touch do not overlap
  return a.x1 < b.x2 - kTouch && b.x1 < a.x2 - kTouch && a.y1 < b.y2 - kTouch && b.y1 < a.y2 - kTouch;
}

// The stroke axis title sits beside the last stroke label without covering any stroke label,
// in both mappings and for charts whose last grid line is at or past the frame's right edge.
TEST(CardPlot, StrokeTitleCoversNoStrokeLabel) {
  struct Case {
    const char* name;
    ChartMapping mapping;
    bool points;
    float stroke_max, stroke_scale;
  };
  const Case cases[] = {{"picture 3 m", kScreenChartMapping, true, 3, 200},
                        {"paper 3 m", kPaperChartMapping, false, 3, 200},
                        {"picture 4 lines", kScreenChartMapping, true, 3.2f, 180},
                        {"paper 4 lines", kPaperChartMapping, false, 3.2f, 180},
                        {"paper 6 lines", kPaperChartMapping, false, 5.6f, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisChart p = sample_chart();
    p.stroke_max = c.stroke_max;
    p.stroke_scale = c.stroke_scale;
    p.set_mapping(c.mapping);
    RecordingCanvas cv(210, 297, !c.points);
    if (c.points) set_scale_points(cv);
    Draw_Gt_Bgt(p, cv);
    const Item* title = cv.find_text(" 行程(m)");
    ASSERT_NE(title, nullptr);
    const double unit_mm = c.points ? 25.4 / 72 : 1.0;
    const double label_row = ((450 + c.mapping.y_off) / c.mapping.y_div + 3) * unit_mm;
    EXPECT_LE(title->x2, 210.0);  // on the page
    int labels = 0;
    for (const Item& it : cv.items) {
      if (it.op != Op::Text || &it == title) continue;
      if (std::fabs(it.y1 - label_row) > 1e-3) continue;  // the load labels sit on other rows
      ++labels;
      EXPECT_FALSE(boxes_overlap(*title, it)) << "title [" << title->x1 << ", " << title->x2 << "] covers \"" << it.text
                                              << "\" [" << it.x1 << ", " << it.x2 << "]";
    }
    EXPECT_EQ(labels, static_cast<int>(round_even(c.stroke_max)));
  }
}

}  // namespace
}  // namespace wb
