// The recording canvas: user scales turned into millimetres, the current point, and the
// fixed text metric (an ASCII character half an em, any other one em; em = size × 25.4 / 72).
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/common/canvas.h"

namespace wb {
namespace {

constexpr double kTol = 1e-9;
using Op = RecordingCanvas::Op;

TEST(CanvasScale, MillimetresByDefault) {
  RecordingCanvas cv(100, 50);
  EXPECT_DOUBLE_EQ(cv.to_mm_x(12.5), 12.5);
  EXPECT_DOUBLE_EQ(cv.to_mm_y(7), 7);
  cv.line(1, 2, 3, 4);
  ASSERT_EQ(cv.items.size(), 1u);
  EXPECT_DOUBLE_EQ(cv.items[0].x1, 1);
  EXPECT_DOUBLE_EQ(cv.items[0].y2, 4);
}

TEST(CanvasScale, UserScaleWithYGrowingUpwards) {
  // A 100 × 50 mm area; x from 0 to 200 across, y from 100 at the top to 0 at the bottom.
  RecordingCanvas cv(100, 50);
  cv.set_scale(0, 100, 200, 0);
  struct Case {
    double x, y, mm_x, mm_y;
  } cases[] = {{0, 100, 0, 0}, {200, 0, 100, 50}, {50, 25, 25, 37.5}, {-20, 120, -10, -10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_NEAR(cv.to_mm_x(c.x), c.mm_x, kTol);
    EXPECT_NEAR(cv.to_mm_y(c.y), c.mm_y, kTol);
    EXPECT_NEAR(cv.from_mm_x(c.mm_x), c.x, kTol);
    EXPECT_NEAR(cv.from_mm_y(c.mm_y), c.y, kTol);
  }
  cv.line(50, 25, 100, 50);
  const auto& l = cv.items.back();
  EXPECT_NEAR(l.x1, 25, kTol);
  EXPECT_NEAR(l.y1, 37.5, kTol);
  EXPECT_NEAR(l.x2, 50, kTol);
  EXPECT_NEAR(l.y2, 25, kTol);
  // The current point stays in user units.
  EXPECT_DOUBLE_EQ(cv.current_x, 100);
  EXPECT_DOUBLE_EQ(cv.current_y, 50);
  cv.line_to(200, 0);
  EXPECT_NEAR(cv.items.back().x1, 50, kTol);
  EXPECT_NEAR(cv.items.back().x2, 100, kTol);
  EXPECT_NEAR(cv.items.back().y2, 50, kTol);
  // Back to millimetres.
  cv.set_scale_mm();
  EXPECT_DOUBLE_EQ(cv.to_mm_y(10), 10);
}

TEST(CanvasScale, CircleRadiusIsInXUnits) {
  RecordingCanvas cv(100, 50);
  cv.set_scale(0, 0, 20, 100);  // 5 mm per x unit, 0.5 mm per y unit
  cv.circle(10, 50, 2);
  const auto& e = cv.items.back();
  ASSERT_EQ(e.op, Op::Ellipse);
  EXPECT_NEAR(e.x1, 50, kTol);
  EXPECT_NEAR(e.y1, 25, kTol);
  EXPECT_NEAR(e.x2, 10, kTol);  // radius 2 x units = 10 mm, both ways
  EXPECT_NEAR(e.y2, 10, kTol);
}

TEST(CanvasText, MetricAndUserUnits) {
  RecordingCanvas cv(100, 50);
  cv.font.size = 9;  // em = 3.175 mm
  EXPECT_NEAR(cv.text_width("AB"), 3.175, kTol);
  EXPECT_NEAR(cv.text_width("井号"), 6.35, kTol);
  EXPECT_NEAR(cv.text_width("井1"), 4.7625, kTol);
  EXPECT_NEAR(cv.text_height(), 3.175, kTol);
  cv.set_scale(0, 10, 20, 0);  // 5 mm per x unit; y upwards, 5 mm per y unit
  EXPECT_NEAR(cv.text_width("井号"), 1.27, kTol);
  EXPECT_NEAR(cv.text_height(), 0.635, kTol);  // positive although y grows upwards
}

TEST(CanvasText, PrintMovesToTheNextLineAndPrintInlineAlong) {
  RecordingCanvas cv(100, 50);
  cv.font.size = 9;
  cv.set_scale(0, 10, 20, 0);
  cv.print_at(4, 8, "井号");
  const auto& t = cv.items.back();
  ASSERT_EQ(t.op, Op::Text);
  EXPECT_NEAR(t.x1, 20, kTol);
  EXPECT_NEAR(t.y1, 10, kTol);
  EXPECT_EQ(t.font.size, 9);
  // The next line starts at the scale's left edge, one text height lower (y decreases).
  EXPECT_NEAR(cv.current_x, 0, kTol);
  EXPECT_NEAR(cv.current_y, 8 - 0.635, kTol);
  cv.current_x = 2;
  cv.print_inline("AB");
  EXPECT_NEAR(cv.current_x, 2 + 0.635, kTol);
  EXPECT_NEAR(cv.current_y, 8 - 0.635, kTol);
}

TEST(CanvasState, ClearBoxesAndColours) {
  RecordingCanvas cv(100, 50);
  cv.set_scale(10, 20, 30, 40);
  cv.current_x = 25;
  cv.cls();
  EXPECT_EQ(cv.items.back().op, Op::Clear);
  EXPECT_DOUBLE_EQ(cv.current_x, 10);
  EXPECT_DOUBLE_EQ(cv.current_y, 20);
  cv.set_scale_mm();
  cv.fill_style = FillStyle::Solid;
  cv.fill_color = kYellow;
  cv.draw_width = 3;
  cv.box(1, 2, 3, 4, kRed);
  const auto& b = cv.items.back();
  EXPECT_EQ(b.op, Op::Rect);
  EXPECT_EQ(b.fill, kYellow);
  EXPECT_EQ(b.pen.color, kRed);
  EXPECT_EQ(b.pen.width, 3);
  cv.fill_style = FillStyle::Transparent;
  cv.box(1, 2, 3, 4);
  EXPECT_FALSE(cv.items.back().fill.has_value());
  EXPECT_EQ(QBColor(0), kBlack);
  EXPECT_EQ(QBColor(9), kBlue);
  EXPECT_EQ(QBColor(12), kRed);
  EXPECT_EQ(QBColor(15), kWhite);
  EXPECT_EQ(rgb(255, 128, 0), 0xFF8000u);
}

// A polyline and a batch of segments are recorded as the lines line() would have drawn, in
// order, cut by the clip frame alike; the current point ends where line() leaves it.
TEST(CanvasLines, PolylineAndSegmentsRecordWhatLineDraws) {
  const std::vector<CanvasPoint> pts = {{0, 0}, {10, 5}, {30, -20}, {50, 40}, {60, 10}, {60, 10}};
  const std::vector<CanvasSegment> segs = {{5, 5, 55, 5}, {-10, 30, 5, 30}, {70, 0, 20, 45}};
  for (const bool clipped : {false, true}) {
    RecordingCanvas by_line(100, 50), batched(100, 50);
    for (RecordingCanvas* c : {&by_line, &batched}) {
      c->set_scale(0, 40, 80, -10);  // y grows upwards
      c->draw_width = 2;
      c->draw_style = DrawStyle::Dash;
      if (clipped) c->set_clip(2, -5, 58, 35);
    }
    for (std::size_t i = 1; i < pts.size(); ++i) by_line.line(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y, kRed);
    for (const CanvasSegment& g : segs) by_line.line(g.x1, g.y1, g.x2, g.y2);
    batched.polyline(pts, kRed);
    EXPECT_DOUBLE_EQ(batched.current_x, 60);
    batched.lines(segs);
    ASSERT_EQ(batched.items.size(), by_line.items.size()) << clipped;
    for (std::size_t i = 0; i < by_line.items.size(); ++i) {
      const auto &a = by_line.items[i], &b = batched.items[i];
      EXPECT_EQ(b.op, Op::Line);
      EXPECT_EQ(std::tie(a.x1, a.y1, a.x2, a.y2), std::tie(b.x1, b.y1, b.x2, b.y2)) << clipped << " " << i;
      EXPECT_EQ(std::tie(a.pen.color, a.pen.width, a.pen.style), std::tie(b.pen.color, b.pen.width, b.pen.style));
    }
    EXPECT_EQ(std::tie(batched.current_x, batched.current_y), std::tie(by_line.current_x, by_line.current_y));
  }
  // Fewer than two points draw nothing and leave the current point.
  RecordingCanvas c(100, 50);
  c.current_x = 7;
  c.polyline(std::vector<CanvasPoint>{{1, 1}});
  c.lines({});
  EXPECT_TRUE(c.items.empty());
  EXPECT_DOUBLE_EQ(c.current_x, 7);
}

}  // namespace
}  // namespace wb
