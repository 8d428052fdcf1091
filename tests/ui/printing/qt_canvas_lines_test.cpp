// Curves and segment batches on the Qt canvases draw the very pixels of the same segments
// drawn one by one (pictures saved before and after the batching stay identical), and a
// picture box repaints once for a whole drawing, again for the next one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "platform/picture_box.h"
#include "platform/qt_canvas.h"

using namespace wb;

namespace {

// A jagged curve that doubles back and crosses itself, with steep and flat joints, a
// repeated point and a stretch outside the clip frame; the scale is 0..100 both ways.
std::vector<CanvasPoint> jagged_curve() {
  std::vector<CanvasPoint> p;
  for (int i = 0; i <= 160; ++i) {
    const double t = i / 160.0;
    p.push_back({5 + 90 * t + 6 * std::sin(t * 37), 50 + 40 * std::sin(t * 9) * std::cos(t * 23)});
  }
  p.push_back(p.back());
  p.push_back({50, -20});
  p.push_back({20, 70});
  return p;
}

std::vector<CanvasSegment> grid_segments() {
  std::vector<CanvasSegment> s;
  for (int k = 0; k <= 10; ++k) {
    s.push_back({0, 10.0 * k, 100, 10.0 * k});
    s.push_back({10.0 * k + 0.3, 0, 10.0 * k + 0.3, 100});
  }
  s.push_back({0, 0, 100, 100});
  return s;
}

void setup(ImageCanvas& c, const Pen& pen, bool clipped) {
  c.set_scale(0, 0, 100, 100);
  c.back_color = rgb(192, 192, 192);
  c.cls();
  c.draw_width = pen.width;
  c.draw_style = pen.style;
  if (clipped) c.set_clip(10, 10, 90, 80);
}

TEST(QtCanvasLines, BatchesDrawTheSamePixelsAsSingleLines) {
  struct Case {
    double dpi;
    Pen pen;
  };
  const Case cases[] = {
      {96, {kBlue, 1, DrawStyle::Solid}},   {96, {kBlue, 2, DrawStyle::Solid}},
      {96, {kBlack, 1, DrawStyle::Dot}},    {240, {kRed, 1, DrawStyle::Solid}},
      {240, {kRed, 3, DrawStyle::Solid}},   {240, {kBlack, 1, DrawStyle::Dot}},
      {600, {kBlack, 1, DrawStyle::Dash}},  {600, {kMagenta, 5, DrawStyle::Solid}},
  };
  const std::vector<CanvasPoint> curve = jagged_curve();
  const std::vector<CanvasSegment> grid = grid_segments();
  for (const Case& k : cases) {
    for (const bool clipped : {false, true}) {
      SCOPED_TRACE(std::to_string(k.dpi) + " dpi, width " + std::to_string(k.pen.width) + ", style " +
                   std::to_string(static_cast<int>(k.pen.style)) + (clipped ? ", clipped" : ""));
      const int side = static_cast<int>(std::lround(50 / 25.4 * k.dpi));
      ImageCanvas single(side, side, k.dpi), batched(side, side, k.dpi);
      setup(single, k.pen, clipped);
      setup(batched, k.pen, clipped);
      for (const CanvasSegment& g : grid) single.line(g.x1, g.y1, g.x2, g.y2, kWhite);
      for (std::size_t i = 1; i < curve.size(); ++i)
        single.line(curve[i - 1].x, curve[i - 1].y, curve[i].x, curve[i].y, k.pen.color);
      single.print_at(40, 40, "示功图");
      single.line_to(60, 90);  // from where the text left the current point
      batched.lines(grid, kWhite);
      batched.polyline(curve, k.pen.color);
      batched.print_at(40, 40, "示功图");
      batched.line_to(60, 90);
      ASSERT_EQ(batched.image(), single.image());
    }
  }
}

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Drawing asks for one repaint; a drawing made after that paint is shown as well.
TEST(PictureBoxRepaint, EachDrawingIsShownOnce) {
  PictureBox box;
  box.resize(300, 200);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  PaintCounter counter;
  box.installEventFilter(&counter);
  ImageCanvas& c = box.canvas();
  for (int round = 1; round <= 2; ++round) {
    const int before = counter.paints;
    c.cls();
    for (int i = 0; i < 200; ++i) c.line(i, 0, i, 50 + round * 20, kRed);
    c.print_at(5, 5, "液面");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 5000)) << round;
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before + 1) << round;
  }
}

}  // namespace
