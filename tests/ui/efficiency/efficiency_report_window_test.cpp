// The efficiency window's report buttons: "预览" computes first and shows the page in the
// preview window (not when an input is missing); "打印" prints the boxes as they stand on
// A4 portrait through the print dialog, one page per copy.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <tuple>

#include "core/efficiency/effi_report.h"
#include "core/printing/print_state.h"
#include "platform/qt_canvas.h"
#include "efficiency_window_fixture.h"
#include "printing/print_test_helpers.h"
#include "ui/printing/print_preview.h"

using namespace wb;
using wb::test::EffiWindow;
using wb::qs;

namespace {

// Pixels of one colour (within a tolerance) inside a rectangle in millimetres of the page.
int pixels_in(const QImage& img, double x1, double y1, double x2, double y2, QRgb colour) {
  const double px = img.width() / 210.0;
  int n = 0;
  for (int y = static_cast<int>(y1 * px); y < static_cast<int>(y2 * px) && y < img.height(); ++y)
    for (int x = static_cast<int>(x1 * px); x < static_cast<int>(x2 * px) && x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (std::abs(qRed(c) - qRed(colour)) < 70 && std::abs(qGreen(c) - qGreen(colour)) < 70 &&
          std::abs(qBlue(c) - qBlue(colour)) < 70)
        ++n;
    }
  return n;
}

TEST(EfficiencyReportWindow, PreviewComputesAndShowsThePageWithBothCharts) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  EXPECT_EQ(e.text(43), "57.63");  // computed before the page was laid out
  PrintPreview* pv = PrintPreview::current();
  ASSERT_NE(pv, nullptr);
  const QImage img = pv->Picture2->image();
  EXPECT_GT(pixels_in(img, 111, 115.7, 189, 187.5, qRgb(255, 0, 0)), 100);  // the measured card
  EXPECT_GT(pixels_in(img, 24, 200.5, 184, 272.5, qRgb(255, 0, 255)), 100);  // the voltage curve
  pv->close();
  QApplication::processEvents();
}

TEST(EfficiencyReportWindow, NoPreviewWhenARequiredInputIsMissing) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "日产液、液体密度、井口油压、井口套压、动液面五项必须输入！");
  EXPECT_EQ(PrintPreview::current(), nullptr);
}

TEST(EfficiencyReportWindow, PrintWritesOneA4PagePerCopyWithoutComputing) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();  // typed, not computed: the result boxes stay empty
  PrintSession::force_pdf() = true;
  const std::string pdf = (e.tmp.path() / "report.pdf").string();
  e.fakes.files.answers.push_back(pdf);
  bool paper_enabled = true;
  std::string paper;
  test::when_dialog_waits([&](PrintDlg& d) {
    paper_enabled = d.Combo3->isEnabled();
    paper = d.paper_text();
    d.Text2->setText(QStringLiteral("2"));
    d.Command1_Click();
  });
  QTest::mouseClick(e.w->Cmd_Prnt, Qt::LeftButton);
  PrintSession::force_pdf() = false;
  EXPECT_FALSE(paper_enabled);
  EXPECT_EQ(paper, "A4, 210 x 297 毫米");
  EXPECT_EQ(test::pdf_pages(QString::fromStdString(pdf)), 2);
  for (const QSizeF& box : test::pdf_media_boxes(QString::fromStdString(pdf))) {
    EXPECT_NEAR(box.width(), 595, 2);   // A4 portrait, points
    EXPECT_NEAR(box.height(), 842, 2);
  }
  EXPECT_EQ(e.text(43), "");
  EXPECT_TRUE(e.w->isEnabled());
}

}  // namespace

namespace {

// A picture standing in for the printer: every job's page is kept as it stood at the job's
// end, and the next job starts on a white page. A job ended again with nothing drawn since
// gives no page, as on a printer.
class PagesPrinter : public ImageCanvas {
 public:
  PagesPrinter() : ImageCanvas(794, 1123) {  // A4 at 96 dpi
    dev_clear(kWhite);
    blank_ = image().copy();
  }
  bool is_printer() const override { return true; }
  std::vector<QImage> pages;

 protected:
  void dev_end_doc() override {
    if (image() == blank_) return;
    pages.push_back(image().copy());
    dev_clear(kWhite);
  }

 private:
  QImage blank_;  // the white page
};

EffiStroke report_stroke(SysEffiState& st) {
  EffiStroke s;
  s.gt_num = st.gt_num;
  s.iu_num = st.iu_num;
  s.cs_fs = st.cs_fs;
  s.sss = st.sss;
  s.ggs = st.ggs;
  s.uus = st.uus;
  s.iis = st.iis;
  s.pps = st.pps;
  s.qqs = st.qqs;
  return s;
}

int differing_pixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

}  // namespace

// The card chart ends in a colour of its own; the next copy's table text must not take it.
TEST(EfficiencyReportWindow, SecondPrintedCopyIsTheFirstPixelForPixel) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);  // computes the result boxes
  if (PrintPreview* pv = PrintPreview::current()) pv->close();
  PagesPrinter printer;
  EffiStroke stroke = report_stroke(e.w->st);
  ASSERT_TRUE(print_calls(printer, 2, [&](Canvas& c, int) { std::ignore = prt_effi_page(c, e.w->st.Text1, stroke); }));
  ASSERT_EQ(printer.pages.size(), 2u);
  EXPECT_GT(pixels_in(printer.pages[0], 111, 115.7, 189, 187.5, qRgb(255, 0, 0)), 100);  // a page was drawn
  EXPECT_EQ(differing_pixels(printer.pages[0], printer.pages[1]), 0);
  QApplication::processEvents();
}

TEST(EfficiencyReportWindow, SecondPreviewIsTheFirstPixelForPixel) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  ASSERT_NE(PrintPreview::current(), nullptr);
  const QImage first = PrintPreview::current()->Picture2->image().copy();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  ASSERT_NE(PrintPreview::current(), nullptr);
  EXPECT_EQ(differing_pixels(first, PrintPreview::current()->Picture2->image()), 0);
  PrintPreview::current()->close();
  QApplication::processEvents();
}
