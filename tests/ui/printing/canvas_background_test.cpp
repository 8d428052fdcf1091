// A picture keeps a fixed background it drew and puts the same pixels back while nothing it
// depends on has changed; whatever was drawn over it since is gone, as after a redraw.
#include <gtest/gtest.h>

#include <QApplication>
#include <functional>

#include "platform/qt_canvas.h"

using namespace wb;

namespace {

// Bands filled with outlines in the canvas's pen, as a chart's background is drawn.
void bands(Canvas& c, int* runs) {
  ++*runs;
  c.cls();
  for (int b = 0; b < 12; ++b) c.fill_box(0, b * 100.0 / 12, 100, (b + 1) * 100.0 / 12, rgb(130 + 10 * b, 200, 250));
}

void setup(ImageCanvas& c) {
  c.set_scale(0, 0, 100, 100);
  c.back_color = rgb(255, 255, 192);
  c.draw_width = 1;
}

// The picture drawn without keeping anything: background, then a curve over it.
QImage fresh(const std::function<void(ImageCanvas&)>& change, Rgb curve) {
  ImageCanvas c(300, 120);
  setup(c);
  change(c);
  int runs = 0;
  bands(c, &runs);
  c.line(3, 90, 97, 7, curve);
  return c.image().copy();
}

TEST(CanvasBackground, KeptBackgroundComesBackWithoutWhatWasDrawnOverIt) {
  ImageCanvas c(300, 120);
  setup(c);
  int runs = 0;
  c.draw_background("bands", [&] { bands(c, &runs); });
  const double end_x = c.current_x, end_y = c.current_y;
  c.line(3, 10, 97, 95, kRed);  // over the kept background: must not come back

  c.current_x = c.current_y = 0;  // where the first drawing started
  c.draw_background("bands", [&] { bands(c, &runs); });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(c.current_x, end_x);
  EXPECT_EQ(c.current_y, end_y);
  c.line(3, 90, 97, 7, kBlue);
  EXPECT_EQ(c.image(), fresh([](ImageCanvas&) {}, kBlue));
}

TEST(CanvasBackground, AnythingItDependsOnDrawsItAgain) {
  struct Case {
    const char* what;
    std::function<void(ImageCanvas&)> change;
    const char* key;
  };
  const Case cases[] = {
      {"another background", [](ImageCanvas&) {}, "other"},
      {"pen width", [](ImageCanvas& c) { c.draw_width = 3; }, "bands"},
      {"pen style", [](ImageCanvas& c) { c.draw_style = DrawStyle::Dot; }, "bands"},
      {"back colour", [](ImageCanvas& c) { c.back_color = kWhite; }, "bands"},
      {"scale", [](ImageCanvas& c) { c.set_scale(0, 0, 100, 120); }, "bands"},
      {"picture size", [](ImageCanvas& c) { c.resize(301, 120); }, "bands"},
      {"resolution", [](ImageCanvas& c) { c.set_dpi(240); }, "bands"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ImageCanvas c(300, 120);
    setup(c);
    int runs = 0;
    c.draw_background("bands", [&] { bands(c, &runs); });
    k.change(c);
    c.current_x = c.current_y = 0;
    c.draw_background(k.key, [&] { bands(c, &runs); });
    EXPECT_EQ(runs, 2);
    c.line(3, 90, 97, 7, kBlue);
    // Drawn again, it is what a picture that never kept anything shows.
    EXPECT_EQ(c.image(), fresh(k.change, kBlue));
  }
}

}  // namespace
