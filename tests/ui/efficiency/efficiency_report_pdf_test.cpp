// The single-well efficiency report through the real printer path and the preview window:
// printed to the PDF the user names when no printer is used, its text holds the title,
// captions and values; the preview's A4 page shows the same table and both charts.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <QProcess>

#include <cmath>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/efficiency/effi_report.h"
#include "core/common/paths.h"
#include "core/printing/pdf_file_name.h"
#include "core/printing/print_state.h"
#include "platform/print_dialog.h"
#include "platform/system_printer.h"
#include "printing/print_test_helpers.h"
#include "ui/efficiency/effi_report_print.h"
#include "ui/printing/print_preview.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

struct Stroke {
  std::vector<float> s, g, u, i, p, q;
  explicit Stroke(int n) {
    for (int j = 0; j < n; ++j) {
      const double w = 2 * M_PI * j / n;
      s.push_back(static_cast<float>(1.5 - 1.45 * std::cos(w)));
      g.push_back(static_cast<float>(38 + 14 * std::sin(w)));
      u.push_back(static_cast<float>(380 + 4 * std::sin(3 * w)));
      i.push_back(static_cast<float>(25 + 10 * std::cos(2 * w)));
      p.push_back(static_cast<float>(12 + 6 * std::sin(2 * w)));
      q.push_back(0);
    }
  }
  EffiStroke view() {
    EffiStroke v;
    v.gt_num = v.iu_num = static_cast<int>(s.size());
    v.cs_fs = 1;
    v.sss = s;
    v.ggs = g;
    v.uus = u;
    v.iis = i;
    v.pps = p;
    v.qqs = q;
    return v;
  }
};

EffiBoxTexts report_boxes() {
  EffiBoxTexts b;
  b[0] = "示范井1";
  b[2] = "CYJ10-3-53HB";
  b[23] = "200606071030";
  b[25] = "12.35";
  b[30] = "25.2";
  b[31] = "12.5/10.8";
  b[34] = "380.2";
  b[41] = "2.95";
  b[43] = "55.21";
  b[44] = "22.4";
  for (int k : {11, 12, 13, 14}) b[k] = "300";
  return b;
}

// Pixels near `colour` inside a rectangle given in millimetres of a 96 dpi page.
int pixels_in(const QImage& img, double x1, double y1, double x2, double y2, QRgb colour) {
  const double px = 96 / 25.4;
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

TEST(EfficiencyReport, PrintedPdfHoldsTitleAndValues) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  current_printer().orientation = kLandscape;  // left so by another report
  PrintSession::force_pdf() = true;
  const std::string pdf = (tmp.path() / "report.pdf").string();
  fakes.files.answers.push_back(pdf);
  QWidget caller;
  caller.show();
  bool paper_disabled = false, portrait = false;
  test::when_dialog_waits([&](PrintDlg& d) {
    paper_disabled = !d.Combo3->isEnabled();
    portrait = d.Option2->isChecked();
    d.Text2->setText(QStringLiteral("2"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  Stroke st(300);
  EffiStroke v = st.view();
  const int printed = print_effi_report(&caller, report_boxes(), v);
  PrintSession::force_pdf() = false;
  PrintDlg::destroy();
  EXPECT_TRUE(paper_disabled);
  EXPECT_TRUE(portrait);
  ASSERT_EQ(printed, 2);
  ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));
  // Two copies, two A4 portrait sheets (595 x 842 points).
  EXPECT_EQ(test::pdf_pages(QString::fromStdString(pdf)), 2);
  for (const QSizeF& box : test::pdf_media_boxes(QString::fromStdString(pdf))) {
    EXPECT_NEAR(box.width(), 595, 1);
    EXPECT_NEAR(box.height(), 842, 1);
  }

  QProcess p;
  p.start("pdftotext", {"-enc", "UTF-8", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QString text = QString::fromUtf8(p.readAllStandardOutput()).remove(' ');
  for (const char* want : {"抽油机井单井系统效率测试计算表", "示范井1", "20060607", "CYJ10-3-53HB", "系统效率(%)",
                           "25.2", "最大上行电流(A)", "12.5", "10.8", "380.2", "负载(kN)", "电压(V)"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(want))) << want;
  EXPECT_FALSE(text.contains("200606071030"));  // the date prints its first 8 characters
}

TEST(EfficiencyReport, PreviewShowsTheSamePage) {
  Stroke st(300);
  EffiStroke v = st.view();
  preview_effi_report(report_boxes(), v);
  PrintPreview* pv = PrintPreview::current();
  ASSERT_NE(pv, nullptr);
  const QImage img = pv->Picture2->image();
  ASSERT_GE(img.width(), 790);
  // The page frame's left edge, the measured card (red) in the right pair's empty rows,
  // the voltage curve (magenta) below the table.
  EXPECT_GT(pixels_in(img, 14, 30, 16.5, 270, qRgb(0, 0, 0)), 200);
  EXPECT_GT(pixels_in(img, 111, 115.7, 189, 187.5, qRgb(255, 0, 0)), 100);
  EXPECT_GT(pixels_in(img, 24, 200.5, 184, 272.5, qRgb(255, 0, 255)), 100);
  EXPECT_EQ(pixels_in(img, 111, 20, 189, 110, qRgb(255, 0, 0)), 0);  // no card over the table rows
  pv->close();
}

TEST(EfficiencyReport, APrintThatCannotBeWrittenIsReported) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  PrintDlg::destroy();
  PrintSession::force_pdf() = true;
  fakes.files.answers.push_back((tmp.path() / "no" / "such" / "folder" / "r.pdf").string());
  QWidget caller;
  caller.show();
  test::when_dialog_waits([](PrintDlg& d) { QTest::mouseClick(d.Command1, Qt::LeftButton); });
  Stroke st(50);
  EffiStroke v = st.view();
  EXPECT_EQ(print_effi_report(&caller, report_boxes(), v), 0);
  PrintSession::force_pdf() = false;
  PrintDlg::destroy();
  ASSERT_FALSE(fakes.messages.shown.empty());
  EXPECT_NE(fakes.messages.shown.back().text.find("打印失败"), std::string::npos);
}

}  // namespace

// Printing to PDF proposes "<well>_<report>.pdf" in the report folder, and a new name rather
// than one already there.
TEST(EfficiencyReport, PdfNameNamesTheWellAndIsNewInTheReportFolder) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  const std::string kept_folder = PrintSession::pdf_folder();
  PrintSession::pdf_folder() = tmp.path().string();
  QWidget caller;
  caller.show();
  Stroke st(100);
  EffiStroke v = st.view();
  std::vector<std::string> proposed;
  for (int run = 0; run < 3; ++run) {
    test::when_dialog_waits([](PrintDlg& d) {
      d.Text2->setText(QStringLiteral("1"));
      QTest::mouseClick(d.Command1, Qt::LeftButton);
    });
    const std::size_t asked = fakes.files.asked.size();
    // The user takes the proposed name each time.
    fakes.files.answers.push_back((tmp.path() / u8path(proposed_pdf_name(tmp.path(), "示范井1", "系统效率报表"))).string());
    EXPECT_EQ(print_effi_report(&caller, report_boxes(), v), 1);
    ASSERT_EQ(fakes.files.asked.size(), asked + 1);
    proposed.push_back(fakes.files.asked.back().file_name);
    EXPECT_EQ(fakes.files.asked.back().initial_dir, tmp.path().string());
  }
  PrintSession::force_pdf() = false;
  PrintSession::pdf_folder() = kept_folder;
  PrintDlg::destroy();
  EXPECT_EQ(proposed, (std::vector<std::string>{"示范井1_系统效率报表.pdf", "示范井1_系统效率报表 (2).pdf",
                                                "示范井1_系统效率报表 (3).pdf"}));
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / u8path("示范井1_系统效率报表 (2).pdf")));
}
