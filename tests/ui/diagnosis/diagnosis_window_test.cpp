// The diagnosis window as a user meets it: opened from the main toolbar, the sample well's
// test chosen from the lists, the report printed to a PDF, the advice exported, the keys of
// the boxes and the hand-over to the design window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/common/gbk.h"
#include "core/samples/synthetic_tests.h"
#include "printing/print_test_helpers.h"
#include "ui/diagnosis/diagnosis_boxes.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

class DiagnosisWindow : public ::testing::Test {
 protected:
  DiagnosisWindow() {
    prog.root = tmp.path();
    prog.create_folders();
    SyntheticJointParams p;  // the sample maker's first well
    EXPECT_TRUE(write_sample_diagnosis(prog, p, "20060512"));
    register_diagnosis_window(prog);
  }
  ~DiagnosisWindow() override {
    if (WellDiagnosis* w = WellDiagnosis::existing()) delete w;
    analysis_windows()[AnalysisWindow::Diagnosis] = nullptr;
    diagnosis_hand_over_provider() = nullptr;
    design_window_opener() = nullptr;
    PrintSession::force_pdf() = false;
  }
  WellDiagnosis& window() {
    WellDiagnosis& w = WellDiagnosis::instance(prog);
    w.show();
    w.activateWindow();
    return w;
  }
  // Picks the sample well from the list: its single test is loaded and refreshed.
  void pick_sample(WellDiagnosis& w) {
    ASSERT_GE(w.Comb_WellName->count(), 1);
    w.Comb_WellName->setCurrentIndex(0);
    w.Comb_WellName_Click();
  }

  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog;
};

int pixels_of(const QImage& img, QRgb colour) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

TEST_F(DiagnosisWindow, ToolbarButton14OpensIt) {
  RodEngMapDisplay main(prog);
  main.show();
  main.Image1_Click(14);
  WellDiagnosis* w = WellDiagnosis::existing();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("泵功图计算及油井井诊断界面"));
  EXPECT_EQ(w->Comb_WellName->count(), 1);  // the sample file's well is listed at once
  EXPECT_EQ(w->Text3->text().toStdString(), path_text(prog.sys() / "bgt.dat"));
  main.Image1_Click(14);  // a second press shows the same window
  EXPECT_EQ(WellDiagnosis::existing(), w);
}

TEST_F(DiagnosisWindow, SampleTestFillsTheResultsAndDrawsBothCards) {
  WellDiagnosis& w = window();
  pick_sample(w);
  EXPECT_EQ(w.box(3)->text(), QStringLiteral("示范井1"));
  EXPECT_EQ(w.Comb_TestTime->currentText(), QStringLiteral("20060512"));
  EXPECT_EQ(w.Text7->text(), QStringLiteral("1"));
  for (int b : {0, 47, 49}) {
    SCOPED_TRACE(b);
    bool ok = false;
    w.box(b)->text().toDouble(&ok);
    EXPECT_TRUE(ok);
  }
  const QImage& img = w.Picture1->image();
  EXPECT_GT(pixels_of(img, qRgb(255, 0, 0)), 100);  // surface card, light red
  EXPECT_GT(pixels_of(img, qRgb(0, 0, 255)), 100);  // pump card, light blue
  EXPECT_FALSE(w.st.Rec_Changed);
}

// 冲次 typed beyond any pumping unit, or letters in 泵径: the refresh stops with a message
// naming the box, the focus goes there and no card is left on the chart.
TEST_F(DiagnosisWindow, RefreshWithABoxBeyondReasonNamesItAndDrawsNothing) {
  struct Case {
    int box;
    const char* text;
    const char* named;
  } cases[] = {{15, "99999999", "“冲次”"}, {5, "abc", "“泵径”"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WellDiagnosis& w = window();
    pick_sample(w);
    ASSERT_GT(pixels_of(w.Picture1->image(), qRgb(0, 0, 255)), 100);
    const QString plunger = w.box(49)->text();
    fakes.messages.shown.clear();
    w.box(c.box)->setText(QString::fromUtf8(c.text));
    w.Command2->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_NE(fakes.messages.shown[0].text.find(c.named), std::string::npos) << fakes.messages.shown[0].text;
    EXPECT_EQ(pixels_of(w.Picture1->image(), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(pixels_of(w.Picture1->image(), qRgb(0, 0, 255)), 0);
    EXPECT_EQ(w.box(49)->text(), plunger);
    QTRY_VERIFY_WITH_TIMEOUT(w.box(c.box)->hasFocus(), 5000);
  }
}

TEST_F(DiagnosisWindow, PrintGivesOneA4PageWithTheReport) {
  WellDiagnosis& w = window();
  pick_sample(w);
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  const QString pdf = QString::fromStdString(path_text(prog.root / "report.pdf"));
  fakes.files.answers = {pdf.toStdString()};
  bool paper_locked = false;
  test::when_dialog_waits([&](PrintDlg& d) {
    paper_locked = !d.Combo3->isEnabled() && d.Combo3->currentText() == QStringLiteral("A4, 210 x 297 毫米") &&
                   d.Option2->isChecked();
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  w.Cmd_Prnt_Click();
  EXPECT_TRUE(paper_locked);
  if (const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR"); !keep.isEmpty()) {
    const QString copy = QString::fromLocal8Bit(keep) + QStringLiteral("/diagnosis_report.pdf");
    QFile::remove(copy);
    QFile::copy(pdf, copy);
  }
  EXPECT_EQ(test::pdf_pages(pdf), 1);
  const auto boxes = test::pdf_media_boxes(pdf);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_NEAR(boxes[0].width(), 595, 1);
  EXPECT_NEAR(boxes[0].height(), 842, 1);
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  if (text.waitForFinished(20000) && text.exitStatus() == QProcess::NormalExit && text.exitCode() == 0) {
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("油井井下诊断表"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("泵工作基本正常")));
  }
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(DiagnosisWindow, CygsjWithAnotherLetterCaseReturns3) {
  // The hand-over makes the window without showing it.
  DiagnosisHandOver* h = diagnosis_hand_over();
  ASSERT_NE(h, nullptr);
  WellDiagnosis* w = WellDiagnosis::existing();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->isVisible());
  std::string well = "示范井1";
  std::int16_t dda = 0;
  h->cygsj(well, dda);
  EXPECT_EQ(dda, 0);
  EXPECT_EQ(h->Text1(3), "示范井1");
  EXPECT_FALSE(h->Text1(47).empty());
  EXPECT_FALSE(h->Text5().empty());
  std::string lower = "abc";
  h->cygsj(lower, dda);
  EXPECT_EQ(dda, 3);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, cygsj_missing_text("abc"));
  EXPECT_EQ(fakes.messages.shown[0].title, "");
}

TEST_F(DiagnosisWindow, ThreeRecordsExportAsFourLines) {
  WellDiagnosis& w = window();
  pick_sample(w);
  for (const char* date : {"20060601", "20060701"}) {
    w.box(4)->setText(QString::fromLatin1(date));
    w.sync_from_widgets();
    w.Cmd_Save_Click();
  }
  ASSERT_EQ(fs::file_size(prog.sys() / "bgt.dat"), 3u * 1445);
  const fs::path out = prog.root / "advice.txt";
  fakes.files.answers = {path_text(out)};
  w.Cmd_Out_to_TXT_Click();
  std::ifstream in(out, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const std::string text = gbk_to_utf8(bytes);
  int lines = 0;
  for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(text.rfind("井号\t测试日期\t油井井下诊断建议\r\n", 0), 0u);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "保存到文本文件");
}

TEST_F(DiagnosisWindow, KeysMoveAlongTheChainAndMarkTheRecord) {
  WellDiagnosis& w = window();
  pick_sample(w);
  ASSERT_FALSE(w.st.Rec_Changed);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.box(5)->setFocus();
  QTest::keyClick(w.box(5), Qt::Key_Down);
  EXPECT_TRUE(w.box(6)->hasFocus());
  EXPECT_FALSE(w.st.Rec_Changed);  // Up and Down only move
  QTest::keyClick(w.box(6), Qt::Key_Up);
  EXPECT_TRUE(w.box(5)->hasFocus());
  EXPECT_EQ(w.box(5)->palette().color(QPalette::Base), QColor(0, 0, 255));
  EXPECT_EQ(w.box(6)->palette().color(QPalette::Base), QColor(224, 224, 224));
  QTest::keyClick(w.box(5), Qt::Key_1);
  EXPECT_TRUE(w.st.Rec_Changed);
  QTest::keyClick(w.box(5), Qt::Key_Return);
  EXPECT_TRUE(w.box(6)->hasFocus());
  // The end of a chain keeps the focus.
  w.box(45)->setFocus();
  QTest::keyClick(w.box(45), Qt::Key_Return);
  EXPECT_TRUE(w.box(45)->hasFocus());
}

TEST_F(DiagnosisWindow, RecordNumberBoxShowsRecords) {
  WellDiagnosis& w = window();
  pick_sample(w);
  w.box(4)->setText(QStringLiteral("20060601"));
  w.box(5)->setText(QStringLiteral("57"));
  w.sync_from_widgets();
  w.Cmd_Save_Click();
  EXPECT_EQ(w.Text7->text(), QStringLiteral("2"));
  QTest::keyClicks(w.Text7, QStringLiteral(""));
  w.Text7->clear();
  QTest::keyClicks(w.Text7, QStringLiteral("1"));
  EXPECT_EQ(w.box(4)->text(), QStringLiteral("20060512"));
  w.Cmd_Review_Click(1);
  EXPECT_EQ(w.Text7->text(), QStringLiteral("2"));
  EXPECT_EQ(w.box(5)->text(), QStringLiteral("57"));
}

TEST_F(DiagnosisWindow, ClosingAsksOnlyWhenChanged) {
  {
    WellDiagnosis& w = window();
    pick_sample(w);
    w.close();
    EXPECT_TRUE(fakes.messages.shown.empty());
  }
  QApplication::processEvents();
  WellDiagnosis& w = window();
  pick_sample(w);
  QTest::keyClick(w.box(5), Qt::Key_2);
  fakes.messages.answers = {MsgAnswer::No};
  w.close();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "当前记录已改动，需保存吗?");
  EXPECT_EQ(fakes.messages.shown[0].title, "保存");
}

// Yes to the close question, but the save is refused (no test date): the window stays open
// with the edits on show.
TEST_F(DiagnosisWindow, ClosingWithARefusedSaveKeepsTheWindow) {
  WellDiagnosis& w = window();
  pick_sample(w);
  QTest::keyClick(w.box(5), Qt::Key_2);
  const QString bore = w.box(5)->text();
  w.box(4)->clear();
  fakes.messages.answers = {MsgAnswer::Yes};
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[0].text, "当前记录已改动，需保存吗?");
  EXPECT_EQ(fakes.messages.shown[1].text, kEmptyKeyText);
  EXPECT_EQ(w.box(5)->text(), bore);
  fakes.messages.answers = {MsgAnswer::No};
  EXPECT_TRUE(w.close());
}

TEST_F(DiagnosisWindow, DesignButtonUsesTheRegisteredOpener) {
  WellDiagnosis& w = window();
  w.Cmd_Design->click();  // nothing registered: nothing happens
  EXPECT_TRUE(fakes.messages.shown.empty());
  QWidget* opened_for = nullptr;
  design_window_opener() = [&](QWidget* d) { opened_for = d; };
  w.Cmd_Design->click();
  EXPECT_EQ(opened_for, &w);
}

TEST_F(DiagnosisWindow, RightClickSavesTheChart) {
  WellDiagnosis& w = window();
  pick_sample(w);
  const fs::path bmp = prog.image() / "chart.bmp";
  fakes.files.answers = {path_text(bmp)};
  w.Picture1_MouseDown(Qt::RightButton);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].title, "地面功图及泵功图另存为图片文件");
  EXPECT_EQ(fakes.files.asked[0].file_name, "示范井1地面及泵功图.BMP");
  EXPECT_EQ(fakes.files.asked[0].initial_dir, path_text(prog.image()));
  EXPECT_TRUE(fs::exists(bmp));
  w.Picture1_MouseDown(Qt::LeftButton);
  EXPECT_EQ(fakes.files.asked.size(), 1u);
}

}  // namespace
}  // namespace wb
