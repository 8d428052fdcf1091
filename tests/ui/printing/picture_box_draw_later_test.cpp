// A drawing asked of a hidden picture box waits until the box is shown or its picture is
// asked for, and then gives the very picture a drawing at once would have given.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

#include "platform/picture_box.h"

using namespace wb;

namespace {

// Lines, a circle, a fill and text at the scale 0..100, over a cleared picture.
auto chart(Rgb colour, int* runs) {
  return [colour, runs](ImageCanvas& c) {
    ++*runs;
    c.set_scale(0, 0, 100, 100);
    c.back_color = rgb(192, 192, 192);
    c.cls();
    c.set_plain_font(9.0);
    c.draw_width = 1;
    c.line(5, 5, 95, 80, colour);
    c.circle(50, 50, 30, colour);
    c.fill_box(10, 60, 30, 90, kBlue);
    c.print_at(20, 20, "液面 123");
  };
}

// A box drawn at once while shown: what every deferred drawing must equal.
QImage drawn_at_once(Rgb colour) {
  PictureBox box;
  box.set_fixed_area_twips(3000, 2000);
  box.show();
  int runs = 0;
  box.draw_when_shown(chart(colour, &runs));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(box.drawing_pending());
  return box.image().copy();
}

struct TabbedBox {
  QTabWidget tabs;
  PictureBox* box = new PictureBox;
  TabbedBox() {
    tabs.addTab(new QWidget, "front");
    tabs.addTab(box, "chart");
    box->set_fixed_area_twips(3000, 2000);
    tabs.show();
  }
};

TEST(PictureBoxDrawWhenShown, HiddenPageDrawsTheLastDrawingWhenShown) {
  const QImage want = drawn_at_once(kRed);
  TabbedBox t;
  int first = 0, last = 0;
  t.box->draw_when_shown(chart(kGreen, &first));
  t.box->draw_when_shown(chart(kRed, &last));
  EXPECT_TRUE(t.box->drawing_pending());
  EXPECT_EQ(first + last, 0);

  t.tabs.setCurrentIndex(1);
  EXPECT_EQ(first, 0);  // dropped for the drawing after it
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(t.box->drawing_pending());
  EXPECT_EQ(t.box->image(), want);

  // Shown now: the next drawing is made at once.
  t.box->draw_when_shown(chart(kGreen, &first));
  EXPECT_EQ(first, 1);
}

TEST(PictureBoxDrawWhenShown, AskingForTheHiddenPictureDrawsIt) {
  const QImage want = drawn_at_once(kMagenta);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    const char* what;
    std::function<QImage(PictureBox&)> ask;
  };
  const Case cases[] = {
      {"image", [](PictureBox& b) { return b.image().copy(); }},
      {"canvas", [](PictureBox& b) { return b.canvas().image().copy(); }},
      {"BMP save",
       [&dir](PictureBox& b) {
         const QString path = dir.filePath("c.bmp");
         EXPECT_TRUE(b.save_bmp(path));
         return QImage(path).convertToFormat(QImage::Format_RGB32);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TabbedBox t;
    int runs = 0;
    t.box->draw_when_shown(chart(kMagenta, &runs));
    ASSERT_EQ(runs, 0);
    EXPECT_EQ(c.ask(*t.box), want);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(t.tabs.currentIndex(), 0);
  }
}

}  // namespace
