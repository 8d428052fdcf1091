// The efficiency window's report buttons on the handed-over synthetic test: "预览" computes
// first and shows the page only with the required inputs, "打印" prints the boxes as they
// are into the PDF the user names.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include "efficiency_window_fixture.h"
#include "platform/system_printer.h"
#include "printing/print_test_helpers.h"
#include "ui/printing/print_preview.h"

namespace wb {
namespace {

using test::EffiWindow;

// Red pixels (the measured card) in the card frame of a 96 dpi page.
int card_pixels(const QImage& img) {
  const double px = 96 / 25.4;
  int n = 0;
  for (int y = static_cast<int>(115.7 * px); y < static_cast<int>(187.5 * px) && y < img.height(); ++y)
    for (int x = static_cast<int>(111 * px); x < static_cast<int>(189 * px) && x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      n += qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90;
    }
  return n;
}

TEST(EfficiencyReportWindow, PreviewComputesFirstAndNeedsTheRequiredInputs) {
  EffiWindow e;
  if (PrintPreview* old = PrintPreview::current()) old->close();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "日产液、液体密度、井口油压、井口套压、动液面五项必须输入！");
  EXPECT_EQ(PrintPreview::current(), nullptr);

  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_View, Qt::LeftButton);
  PrintPreview* pv = PrintPreview::current();
  ASSERT_NE(pv, nullptr);
  EXPECT_FALSE(e.text(30).empty());  // the system efficiency was computed for the page
  EXPECT_GT(card_pixels(pv->Picture2->image()), 100);
  pv->close();
}

TEST(EfficiencyReportWindow, PrintWritesTheBoxesAsTheyAre) {
  EffiWindow e;
  e.type_worked_example();
  e.type(30, "12.3");  // typed, not computed: printed as it stands
  PrintDlg::destroy();
  PrintSession::force_pdf() = true;
  const std::string pdf = (e.tmp.path() / "effi.pdf").string();
  e.fakes.files.answers.push_back(pdf);
  test::when_dialog_waits([](PrintDlg& d) { QTest::mouseClick(d.Command1, Qt::LeftButton); });
  QTest::mouseClick(e.w->Cmd_Prnt, Qt::LeftButton);
  PrintSession::force_pdf() = false;
  PrintDlg::destroy();
  ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));
  EXPECT_EQ(test::pdf_pages(QString::fromStdString(pdf)), 1);
  QProcess p;
  p.start("pdftotext", {"-enc", "UTF-8", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QString text = QString::fromUtf8(p.readAllStandardOutput()).remove(' ');
  EXPECT_TRUE(text.contains(QString::fromUtf8("抽油机井单井系统效率测试计算表")));
  EXPECT_TRUE(text.contains(QString::fromUtf8("示范井1")));
  EXPECT_TRUE(text.contains("12.3"));
  EXPECT_TRUE(e.w->isEnabled());
}

}  // namespace
}  // namespace wb
