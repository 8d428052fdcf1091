// Printing the marked library rows from the main window into a PDF file: the sheet count
// and paper of each case, one file per request, and the shown test left as it was.
// With WB_PRINT_PDF_DIR set, the PDFs are also copied there for a look at them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fstream>

#include "core/printing/print_test_util.h"
#include "print_test_helpers.h"
#include "ui/printing/print_preview.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;
using namespace wb::print_test;

namespace {

class MarkedPrint : public ::testing::Test {
 protected:
  MarkedPrint() : tmp(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    PrintDlg::destroy();
    current_printer() = PrinterSettings{};
    PrintSession::force_pdf() = true;
    std::vector<SgtRecord> cards;
    for (int i = 1; i <= 9; ++i) {
      SgtRecord r = make_card("C" + std::to_string(i), static_cast<std::int16_t>(240 + 10 * i), 3000, 5000, 1000);
      r.stroke_loss = 300;
      r.theo_stroke = 2800;
      r.theo_max_load = 4200;
      r.theo_min_load = 1500;
      cards.push_back(r);
    }
    tmp.write_library("Sgt.dat", cards);
    tmp.write_library("Dnt.dat", std::vector<DntRecord>{make_dnt("D1"), make_dnt("D2"), make_dnt("D3")});
    tmp.write_library("xbt.dat", std::vector<XbtRecord>{make_xbt("X1"), make_xbt("X2")});
    w = std::make_unique<RodEngMapDisplay>(tmp.prog);
    w->show();
    w->activateWindow();
  }
  ~MarkedPrint() override {
    w.reset();
    PrintSession::force_pdf() = false;
  }

  void list(const char* caption, const char* file, void (RodEngMapDisplay::*load)(const std::filesystem::path&)) {
    w->st.frame2_caption = caption;
    w->sync_to_widgets();
    (w.get()->*load)(tmp.prog.sys() / file);
  }
  void mark(std::initializer_list<int> rows) {
    for (int r : rows) {
      w->Grid1->set_row(r);
      w->Grid1_DblClick(r, 0);
    }
  }
  // Runs the print command; the dialog is answered with `copies` and the paper/orientation
  // choice, the PDF named `name`. Returns the PDF's path.
  QString print(const std::string& name, int copies, bool fanfold = false, bool landscape = false) {
    const QString pdf = QString::fromStdString((tmp.prog.root / (name + ".pdf")).string());
    fakes.files.answers = {pdf.toStdString()};
    test::when_dialog_waits([=](PrintDlg& d) {
      d.Text2->setText(QString::number(copies));
      if (fanfold) d.Combo3->setCurrentText(QStringLiteral("宽行打印纸(381)"));
      (landscape ? d.Option1 : d.Option2)->setChecked(true);
      QTest::mouseClick(d.Command1, Qt::LeftButton);
    });
    w->print_marked_command();
    const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR");
    if (!keep.isEmpty()) {
      const QString copy = QString::fromLocal8Bit(keep) + "/" + QString::fromStdString(name) + ".pdf";
      QFile::remove(copy);
      QFile::copy(pdf, copy);
    }
    return pdf;
  }

  test::ScopedFakeServices fakes;
  TempProgram tmp;
  std::unique_ptr<RodEngMapDisplay> w;
};

constexpr double kA4W = 595.0, kA4H = 842.0;  // points, rounded as the PDF writes them

TEST_F(MarkedPrint, NineCardsOnA4TakeTwoSheets) {
  list("功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt);
  mark({1, 2, 3, 4, 5, 6, 7, 8, 9});
  const QString pdf = print("cards_a4", 1);
  EXPECT_EQ(test::pdf_pages(pdf), 2);
  for (const QSizeF& s : test::pdf_media_boxes(pdf)) {
    EXPECT_NEAR(s.width(), kA4W, 1);
    EXPECT_NEAR(s.height(), kA4H, 1);
  }
}

TEST_F(MarkedPrint, OneCardTenCopiesOnOneFanfoldSheet) {
  list("功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt);
  mark({4});
  const QString pdf = print("card_fanfold", 10, /*fanfold=*/true, /*landscape=*/true);
  EXPECT_EQ(test::pdf_pages(pdf), 1);
  auto boxes = test::pdf_media_boxes(pdf);
  ASSERT_FALSE(boxes.isEmpty());
  EXPECT_NEAR(boxes.front().width(), 14.875 * 72, 1);  // 377.8 mm wide
  EXPECT_NEAR(boxes.front().height(), 11 * 72, 1);
}

TEST_F(MarkedPrint, ElectricRecordsTwoToASheetOneJobPerCopy) {
  list("电力曲线主库", "Dnt.dat", &RodEngMapDisplay::Load_Grid_Dat_Pow);
  mark({1, 2, 3});
  // Two copies of a three-record batch: 2 sheets each, one after the other in the file.
  EXPECT_EQ(test::pdf_pages(print("electric", 2)), 4);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
}

TEST_F(MarkedPrint, WaveformReportsOnePerSheet) {
  list("波形分析主库", "xbt.dat", &RodEngMapDisplay::Load_Grid_Dat_Wav);
  mark({1, 2});
  EXPECT_EQ(test::pdf_pages(print("waveform", 1)), 2);
}

TEST_F(MarkedPrint, ShownTestStaysAsItWas) {
  list("功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt);
  // Show card 1, then print cards 5 and 6.
  w->Grid1->set_row(1);
  w->Grid1_Click();
  const TestState before = w->st;
  QStringList boxes;
  for (auto* b : w->Text1) boxes << b->text();
  ASSERT_EQ(w->Text1[2]->text(), QStringLiteral("C1"));
  const QImage picture = w->Picture1->image();
  mark({5, 6});
  EXPECT_EQ(test::pdf_pages(print("cards_shown", 1)), 1);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(w->Text1[i]->text(), boxes[i]) << i;
    EXPECT_TRUE(w->Text1[i]->isEnabled()) << i;
  }
  EXPECT_EQ(w->st.sgt_rec.encode(), before.sgt_rec.encode());
  EXPECT_EQ(w->st.sss, before.sss);
  EXPECT_EQ(w->st.ggs, before.ggs);
  EXPECT_EQ(w->st.gt_stroke, before.gt_stroke);
  EXPECT_EQ(w->st.gt_max_load, before.gt_max_load);
  EXPECT_EQ(w->Picture1->image(), picture);
  // The marks stay set.
  EXPECT_TRUE(w->Grid1->text(5, 0).startsWith(QStringLiteral("▲")));
}

TEST_F(MarkedPrint, NothingMarkedShowsTheMessageWithoutDialog) {
  list("功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt);
  w->print_marked_command();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请在主库网格中双击左键选定您需要打印的示功图或电能图！！");
  EXPECT_EQ(fakes.messages.shown[0].title, "没有选定");
  EXPECT_FALSE(PrintDlg::exists() && PrintDlg::instance().isVisible());
}

TEST_F(MarkedPrint, CancelWritesNoFile) {
  list("电力曲线主库", "Dnt.dat", &RodEngMapDisplay::Load_Grid_Dat_Pow);
  mark({1});
  test::when_dialog_waits([](PrintDlg& d) { d.close(); });
  w->print_marked_command();
  EXPECT_TRUE(fakes.files.asked.empty());
  EXPECT_TRUE(w->isEnabled());
}

TEST_F(MarkedPrint, PreviewScrollsTheWaveformPage) {
  list("波形分析主库", "xbt.dat", &RodEngMapDisplay::Load_Grid_Dat_Wav);
  w->Grid1->set_row(2);
  w->Grid1_Click();
  w->Command1_Click();
  PrintPreview* pv = PrintPreview::current();
  ASSERT_NE(pv, nullptr);
  EXPECT_EQ(pv->windowTitle(), QStringLiteral("单井电流电压波形曲线以及谐波分析打印预览"));
  EXPECT_EQ(pv->Picture2->size(), QSize(794, 1123));  // A4 at 96 per inch
  // Something was drawn on the white page.
  const QImage img = pv->Picture2->image();
  int dark = 0;
  for (int y = 0; y < img.height(); y += 4)
    for (int x = 0; x < img.width(); x += 4) dark += qGray(img.pixel(x, y)) < 128;
  EXPECT_GT(dark, 50);
  pv->close();
}


// A library at the record limit: its last row prints like any other.
struct LimitCase {
  const char* caption;
  const char* file;
  void (RodEngMapDisplay::*load)(const std::filesystem::path&);
  Bytes record;
};

class MarkedPrintAtTheLimit : public ::testing::TestWithParam<int> {};

TEST_P(MarkedPrintAtTheLimit, TheLastRowOfAFullLibraryPrints) {
  const LimitCase cases[] = {
      {"功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt, make_card("C", 300, 3000, 5000, 1000).encode()},
      {"电力曲线主库", "Dnt.dat", &RodEngMapDisplay::Load_Grid_Dat_Pow, make_dnt("D").encode()},
      {"波形分析主库", "xbt.dat", &RodEngMapDisplay::Load_Grid_Dat_Wav, make_xbt("X").encode()},
  };
  const LimitCase& c = cases[GetParam()];
  test::ScopedFakeServices fakes;
  TempProgram tmp("limit");
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  {
    std::ofstream f(tmp.prog.sys() / c.file, std::ios::binary);
    for (std::size_t i = 0; i < 32767; ++i)
      f.write(reinterpret_cast<const char*>(c.record.data()), static_cast<std::streamsize>(c.record.size()));
  }
  auto w = std::make_unique<RodEngMapDisplay>(tmp.prog);
  w->show();
  w->st.frame2_caption = c.caption;
  w->sync_to_widgets();
  (w.get()->*c.load)(tmp.prog.sys() / c.file);
  ASSERT_EQ(w->Grid1->rows(), 32768);
  w->Grid1->set_row(32767);
  w->Grid1_DblClick(32767, 0);
  const QString pdf = QString::fromStdString((tmp.prog.root / "last.pdf").string());
  fakes.files.answers = {pdf.toStdString()};
  test::when_dialog_waits([](PrintDlg& d) {
    d.Text2->setText(QStringLiteral("1"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  w->print_marked_command();
  EXPECT_EQ(test::pdf_pages(pdf), 1);
  w.reset();
  PrintSession::force_pdf() = false;
}
INSTANTIATE_TEST_SUITE_P(Libraries, MarkedPrintAtTheLimit, ::testing::Values(0, 1, 2));

}  // namespace

// Marked rows of one well name the PDF (and the job) "<well>_<library>"; rows of several wells
// the library alone.
TEST_F(MarkedPrint, RowsOfOneWellNameThePrintAfterIt) {
  SgtRecord card = make_card("W1", 250, 3000, 5000, 1000);
  tmp.write_library("Sgt.dat", std::vector<SgtRecord>{card, card, make_card("W2", 250, 3000, 5000, 1000)});
  tmp.write_library("Dnt.dat", std::vector<DntRecord>{make_dnt("W1"), make_dnt("W1"), make_dnt("W2")});
  tmp.write_library("xbt.dat", std::vector<XbtRecord>{make_xbt("W1"), make_xbt("W1"), make_xbt("W2")});
  const struct {
    const char* caption;
    const char* file;
    void (RodEngMapDisplay::*load)(const std::filesystem::path&);
  } libraries[] = {
      {"功图数据主库", "Sgt.dat", &RodEngMapDisplay::Load_Grid_Dat_sgt},
      {"电力曲线主库", "Dnt.dat", &RodEngMapDisplay::Load_Grid_Dat_Pow},
      {"波形分析主库", "xbt.dat", &RodEngMapDisplay::Load_Grid_Dat_Wav},
  };
  for (const auto& lib : libraries) {
    SCOPED_TRACE(lib.caption);
    list(lib.caption, lib.file, lib.load);
    mark({1, 2});
    print("one_well", 1);
    ASSERT_FALSE(fakes.files.asked.empty());
    EXPECT_EQ(fakes.files.asked.back().file_name, std::string("W1_") + lib.caption + ".pdf");
    mark({3});
    print("two_wells", 1);
    EXPECT_EQ(fakes.files.asked.back().file_name, std::string(lib.caption) + ".pdf");
    mark({1, 2, 3});  // unmarked for the next library
  }
}
