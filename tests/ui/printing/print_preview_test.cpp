// The print preview's viewport, scroll bars and page position as the window is resized and
// scrolled. Pixels at 96 per inch: viewport 8 px from the left and top, bars 17 px thick,
// an A4 page 794 x 1123 px.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "ui/printing/print_preview.h"

using namespace wb;

namespace {

constexpr int kL = PrintPreview::kViewportLeft, kT = PrintPreview::kViewportTop, kBar = PrintPreview::kBarThickness;
constexpr int kPageW = 794, kPageH = 1123;

PrintPreview* a4_preview() {
  PrintPreview* pv = PrintPreview::show_preview();
  Canvas& page = pv->page_a4();
  page.line(10, 10, 200, 287);
  return pv;
}

TEST(PrintPreview, OpeningSizeScrollsBothWays) {
  PrintPreview* pv = a4_preview();
  EXPECT_EQ(pv->windowTitle(), QStringLiteral("抽油机井系统效率分析计算打印预览"));
  EXPECT_EQ(pv->size(), QSize(663, 430));
  EXPECT_EQ(pv->Picture2->size(), QSize(kPageW, kPageH));
  ASSERT_TRUE(pv->HScroll1->isVisible());
  ASSERT_TRUE(pv->VScroll1->isVisible());
  const int vp_w = 663 - 2 * kL - kBar;
  EXPECT_EQ(pv->Picture1->width(), vp_w);
  EXPECT_EQ(pv->Picture2->x(), 0);
  // At the right end of its range the page's right edge is one margin inside the viewport.
  pv->HScroll1->setValue(pv->HScroll1->maximum());
  EXPECT_EQ(pv->Picture2->x() + kPageW, vp_w - kL);
  // At the bottom of its range the page ends two margins above the viewport's bottom.
  pv->VScroll1->setValue(pv->VScroll1->maximum());
  EXPECT_EQ(pv->Picture2->y() + kPageH, pv->Picture1->height() - 2 * kT);
  pv->close();
  EXPECT_TRUE(QTest::qWaitFor([] { return PrintPreview::current() == nullptr; }));  // closing destroys it
}

TEST(PrintPreview, WideWindowCentresThePageNarrowOneScrollsFromItsLeftEdge) {
  PrintPreview* pv = a4_preview();
  pv->resize(kPageW + 2 * kL + kBar + 2 * kL + 40, 600);  // room for the page and both margins
  const int vp_w = pv->width() - 2 * kL - kBar;
  EXPECT_FALSE(pv->HScroll1->isVisible());
  EXPECT_EQ(pv->Picture2->x(), (vp_w - kPageW) / 2);
  EXPECT_TRUE(pv->VScroll1->isVisible());

  pv->resize(500, 600);
  EXPECT_TRUE(pv->HScroll1->isVisible());
  EXPECT_EQ(pv->Picture2->x(), 0);
  EXPECT_EQ(pv->HScroll1->value(), 0);
  pv->HScroll1->setValue(100);
  EXPECT_EQ(pv->Picture2->x(), -100);

  pv->resize(kPageW + 2 * kL + kBar + 2 * kL + 40, 600);  // centred again, whatever the scroll
  EXPECT_FALSE(pv->HScroll1->isVisible());
  EXPECT_EQ(pv->Picture2->x(), (vp_w - kPageW) / 2);
  pv->close();
}

TEST(PrintPreview, TallWindowNeedsNoVerticalBar) {
  PrintPreview* pv = a4_preview();
  pv->VScroll1->setValue(50);
  EXPECT_EQ(pv->Picture2->y(), -50);
  const int h = kPageH + 5 * kT + 10;  // the viewport (H − 3 margins) holds the page and 2 margins
  pv->resize(kPageW + 2 * kL + kBar + 2 * kL + 40, h);
  EXPECT_FALSE(pv->VScroll1->isVisible());
  EXPECT_EQ(pv->Picture1->height(), h - 2 * kT);
  EXPECT_EQ(pv->Picture2->y(), kT);  // back at the top with no bar left to scroll it
  pv->close();
}

TEST(PrintPreview, ReopenedPreviewStartsAfresh) {
  PrintPreview* pv = a4_preview();
  pv->setWindowTitle(QStringLiteral("另一个标题"));
  pv->close();
  pv = PrintPreview::show_preview();
  EXPECT_EQ(pv->windowTitle(), QStringLiteral("抽油机井系统效率分析计算打印预览"));
  const QImage img = pv->Picture2->image();
  bool blank = true;
  for (int y = 0; y < img.height() && blank; ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255)) {
        blank = false;
        break;
      }
  EXPECT_TRUE(blank);
  pv->close();
}

}  // namespace
