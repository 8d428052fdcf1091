// Text cells of the Chinese faces on the Qt canvases: one em high, as the printed pages are
// laid out (a card panel's 13 lines at 7 pt fit their 39.9 mm frame only so), and the
// ideographs and digits inside their cell whatever face stands in for the named one.
#include <gtest/gtest.h>

#include <string>

#include "platform/qt_canvas.h"

using namespace wb;

namespace {

// Top and bottom of the ink in the image, in millimetres; empty image: {-1, -1}.
std::pair<double, double> ink_rows_mm(const QImage& img, double dpi) {
  int top = -1, bottom = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 160) {
        if (top < 0) top = y;
        bottom = y + 1;
        break;
      }
  return {top * 25.4 / dpi, bottom * 25.4 / dpi};
}

TEST(QtCanvasText, ChineseFacesHaveOneEmCells) {
  struct Case {
    const char* face;
    double points;
    double dpi;
  };
  const Case cases[] = {{"宋体", 7, 600}, {"宋体", 9, 96}, {"黑体", 12, 600}, {"楷体_GB2312", 15, 300}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.face) + " " + std::to_string(k.points) + " pt at " + std::to_string(k.dpi));
    const double em = k.points * 25.4 / 72.0;
    const int side = static_cast<int>(60 / 25.4 * k.dpi);
    ImageCanvas c(side, side / 3, k.dpi);
    c.font = Font{k.face, k.points};
    EXPECT_NEAR(c.text_height("井号"), em, 1e-9);

    // Lines printed one under the other advance by one em; the ink of each stays in its cell.
    c.set_scale_mm();
    c.print_at(2, 2, "井号:测试井 7.21kW");
    EXPECT_NEAR(c.current_y, 2 + em, 1e-9);
    const auto [top, bottom] = ink_rows_mm(c.image(), k.dpi);
    const double px = 25.4 / k.dpi;
    EXPECT_GE(top, 2 - px);
    EXPECT_LE(bottom, 2 + em + px);
  }
}

TEST(QtCanvasText, CardPanelLinesFitTheirFrame) {
  // Thirteen value lines of 7 pt, 0.5 mm apart, from 0.5 mm under the panel's top line
  // (95/9 mm below the block) must end above the frame's lower edge (50 mm below it).
  ImageCanvas c(100, 100, 600);
  c.font = Font{"宋体", 7};
  double y = 95.0 / 9.0 + 0.5;
  for (int line = 0; line < 13; ++line) {
    c.print_at(0, y, "  7.21kW");
    if (line < 12) y = c.current_y + 0.5;
  }
  EXPECT_LT(c.current_y, 50.0);
}

}  // namespace
