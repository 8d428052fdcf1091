// The design window's outputs as the engineer meets them: the curves window with its picks,
// arrow keys and picture save; the inflow-performance tab with its chart, typed boxes and
// panel save; the report and centralizer printing to a PDF.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/design/workbench/design_report.h"
#include "core/printing/print_state.h"
#include "platform/picture_box.h"
#include "printing/print_test_helpers.h"
#include "ui/design/design_print.h"
#include "ui/design/ipr_tab.h"
#include "ui/design/mm_lines_overlay.h"
#include "ui/design/pic_show.h"
#include "design/design_outputs_fixture.h"
#include "ui_fakes.h"

namespace wb::design {
namespace {

namespace fs = std::filesystem;

class DesignOutputs : public ::testing::Test {
 protected:
  DesignOutputs() {
    prog.root = tmp.path();
    prog.create_folders();
    st = std::make_unique<DesignState>();
    fill_design(*st);
  }
  ~DesignOutputs() override {
    if (PicShow* w = PicShow::instance()) delete w;
    PrintSession::force_pdf() = false;
  }
  PicShow* open_curves() {
    PicShow* w = PicShow::pic_show_Click(*st, prog, [this] { return live ? st.get() : nullptr; });
    if (w) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    return w;
  }
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog;
  std::unique_ptr<DesignState> st;
  bool live = true;
};

TEST_F(DesignOutputs, CurvesWindowOpensOnlyWithASurveyAndADesign) {
  st->Grid1 = TextGrid{7, 2};  // only the empty entry row
  EXPECT_EQ(open_curves(), nullptr);
  fill_design(*st);
  st->Grid2.set_text(1, 1, "");
  EXPECT_EQ(open_curves(), nullptr);
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[0].text, "该井无井斜数据，无法绘制曲线!");
  EXPECT_EQ(fakes.messages.shown[1].text, "请先执行<重新设计>命令!");
  EXPECT_EQ(PicShow::instance(), nullptr);
  st->Grid2.set_text(1, 1, "792");
  PicShow* w = open_curves();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("W1井杆柱设计相关参数趋势图"));
  // Clicking again brings the same window forward under the current well's name.
  st->JName_Comb = "W2";
  EXPECT_EQ(open_curves(), w);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("W2井杆柱设计相关参数趋势图"));
}

TEST_F(DesignOutputs, PicksArrowsAndReadout) {
  PicShow* w = open_curves();
  ASSERT_NE(w, nullptr);
  // The curves are drawn: the navy slope curve and the olive axial-force curve.
  EXPECT_GT(pixels_of(w->Picture1->image(), qRgb(0, 0, 128)), 50);
  EXPECT_GT(pixels_of(w->Picture1->image(), qRgb(128, 128, 0)), 50);
  // The pump line in white on the picture's grey.
  EXPECT_GT(pixels_of(w->Picture1->image(), qRgb(255, 255, 255)), 300);
  w->Picture1_MouseDown(Qt::LeftButton, 50, 9.9);
  EXPECT_TRUE(w->Label1->text().isEmpty());
  EXPECT_FALSE(w->Line1->isVisible());
  w->Picture1_MouseDown(Qt::LeftButton, 50, 10.0);
  PickValues node0;
  node0.zxMax = 30000;
  node0.zxMin = 8000;
  node0.zylGG = -10;
  node0.zylGZ = 12;
  EXPECT_EQ(w->Label1->text().toStdString(), pick_readout_line(node0));
  EXPECT_TRUE(w->Line1->isVisible());
  // Down moves 2 mm; Up past the top edge is ignored.
  QTest::keyClick(w->Picture1, Qt::Key_Down);
  EXPECT_DOUBLE_EQ(w->cursor_y_mm(), 12.0);
  QTest::keyClick(w->Picture1, Qt::Key_Up);
  QTest::keyClick(w->Picture1, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(w->cursor_y_mm(), 10.0);
  // Far below the plot: the last node's readout.
  w->Picture1_MouseDown(Qt::LeftButton, 50, 5000);
  EXPECT_TRUE(w->Label1->text().startsWith(QStringLiteral("井深1000m ")));
}

TEST_F(DesignOutputs, CurvesWindowLayoutAndLifeAfterTheDesignWindow) {
  PicShow* w = open_curves();
  ASSERT_NE(w, nullptr);
  w->resize(600, 400);
  QApplication::processEvents();
  EXPECT_EQ(w->Picture1->width(), 573);  // (9000 − 400) twips
  EXPECT_EQ(w->Picture1->height(), 340);  // (6000 − 900) twips
  EXPECT_EQ(w->Label1->y(), w->Picture1->y() + 340 + 5);
  // The design window closes: the curves and picks go on from the last copy.
  live = false;
  st.reset();
  w->resize(700, 450);
  QApplication::processEvents();
  w->Picture1_MouseDown(Qt::LeftButton, 50, 10.0);
  EXPECT_TRUE(w->Label1->text().startsWith(QStringLiteral("井深0m ")));
  EXPECT_EQ(w->data().well, "W1 ");
}

TEST_F(DesignOutputs, RightClickSavesTheCurvesAsBmp) {
  PicShow* w = open_curves();
  ASSERT_NE(w, nullptr);
  const fs::path bmp = prog.image() / "c.bmp";
  fakes.files.answers = {bmp.string()};
  w->Picture1_MouseDown(Qt::RightButton, 50, 2.0);
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].file_name, "W1杆柱设计相关参数曲线.BMP");
  EXPECT_EQ(fakes.files.asked[0].title, "杆柱设计相关参数曲线另存为图片文件");
  EXPECT_EQ(fakes.files.asked[0].initial_dir, prog.image().string());
  QImage saved(QString::fromStdString(bmp.string()));
  EXPECT_EQ(saved.size(), w->Picture1->image().size());
  EXPECT_FALSE(w->Line1->isVisible());  // the right button picks nothing
  // A well name that could leave the folder is refused before the dialog.
  st->JName_Comb = "../x";
  w->Picture1_MouseDown(Qt::RightButton, 50, 20.0);
  EXPECT_EQ(fakes.files.asked.size(), 1u);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "井号“../x”不能用作文件名，请修改井号。");
}

// The IPR tab on its own page: Pr 10, Pb 5, J 1, ρm 1, Pc 0.5, Hmid 1500.
struct IprPage {
  explicit IprPage(DesignState& st, const ProgramFolder& prog) {
    st.Text6[0] = "10";
    st.Text6[2] = "5";
    st.Text6[8] = "1";
    st.Text6[7] = "0";
    st.Text6[5] = st.Text6[6] = "1";
    st.Text6[11] = "0.5";
    st.Text6[12] = "1500";
    tab = new IprTab(st, prog, &page);
    page.resize(700, 380);
    page.show();
    page.activateWindow();
  }
  QWidget page;
  IprTab* tab = nullptr;
};

TEST_F(DesignOutputs, EnteringTheIprTabDrawsAndATypedRateFillsTheBoxes) {
  IprPage p(*st, prog);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.page));
  p.tab->SSTab1_Click(QStringLiteral("动态IPR曲线"));
  EXPECT_GT(pixels_of(p.tab->Picture6->image(), qRgb(255, 0, 0)), 40);
  EXPECT_EQ(p.tab->Label10[7]->text(), QStringLiteral("油层静压(MPa): 10"));
  p.tab->Text7[1]->setFocus();
  QTest::keyClicks(p.tab->Text7[1], QStringLiteral("5"));
  EXPECT_EQ(p.tab->Text7[0]->text(), QStringLiteral("1041"));
  EXPECT_EQ(p.tab->Text8->text(), QStringLiteral("1041"));
  EXPECT_EQ(p.tab->Text9->text(), QStringLiteral("5.1"));
  EXPECT_EQ(p.tab->Text11->text(), QStringLiteral("4.9"));
  EXPECT_TRUE(p.tab->design_legs->isVisible());
  EXPECT_TRUE(fakes.messages.shown.empty());
  // A rate above the capacity: the message, the cut rate, and the focus back in the box.
  p.tab->Text7[1]->clear();
  QTest::keyClicks(p.tab->Text7[1], QStringLiteral("8"));
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(p.tab->Text7[1]->text(), QStringLiteral("7.7"));
  EXPECT_EQ(p.tab->Text7[0]->text(), QStringLiteral("1500"));
}

TEST_F(DesignOutputs, EfficiencyLabelOnTheDesignTab) {
  IprPage p(*st, prog);
  st->Text6[20] = "20";
  st->Text6[22] = "5.37";
  int changed = 0;
  QObject::connect(p.tab, &IprTab::design_labels_changed, [&] { ++changed; });
  p.tab->SSTab1_Click(QStringLiteral("设计生产参数"));
  EXPECT_EQ(st->Label3[5], "26.9");
  EXPECT_EQ(changed, 1);
}

TEST_F(DesignOutputs, IprPanelSavedAsBmp) {
  IprPage p(*st, prog);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.page));
  p.tab->Cmd_Redraw_IPR_Click();
  const fs::path bmp = prog.image() / "ipr.bmp";
  fakes.files.answers = {bmp.string()};
  p.tab->IPR_SAVE_Click();
  ASSERT_EQ(fakes.files.asked.size(), 1u);
  EXPECT_EQ(fakes.files.asked[0].file_name, "W1井动态IPR曲线.BMP");
  EXPECT_EQ(fakes.files.asked[0].title, "动态IPR曲线另存为图片文件");
  QImage saved(QString::fromStdString(bmp.string()));
  EXPECT_EQ(saved.size(), p.tab->Picture1->size());
  EXPECT_GT(pixels_of(saved, qRgb(255, 0, 0)), 40);
}

// The panel is written whole through a temporary file and a rename: a link where the picture
// goes is replaced, never written through.
TEST_F(DesignOutputs, IprPanelReplacesALinkInsteadOfWritingThroughIt) {
  IprPage p(*st, prog);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.page));
  p.tab->Cmd_Redraw_IPR_Click();
  const fs::path victim = prog.root / "victim.txt";
  std::ofstream(victim) << "keep";
  const fs::path bmp = prog.image() / "ipr.bmp";
  fs::create_symlink(victim, bmp);
  fakes.files.answers = {bmp.string()};
  p.tab->IPR_SAVE_Click();
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(fs::file_size(victim), 4u);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(bmp)));
  EXPECT_EQ(QImage(QString::fromStdString(bmp.string())).size(), p.tab->Picture1->size());
}

TEST_F(DesignOutputs, PrintGivesReportAndTablePerCopy) {
  QWidget caller;
  caller.show();
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  const QString pdf = QString::fromStdString((prog.root / "design.pdf").string());
  fakes.files.answers = {pdf.toStdString()};
  bool presets_ok = false;
  test::when_dialog_waits([&](PrintDlg& d) {
    presets_ok = !d.Combo3->isEnabled() && d.Combo3->currentText() == QStringLiteral("A4, 210 x 297 毫米") &&
                 d.Option2->isChecked();
    d.Option1->setChecked(true);  // landscape chosen: the report stays portrait
    d.Text2->setText(QStringLiteral("2"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  EXPECT_EQ(PrintCom_Click(&caller, *st), 2);
  EXPECT_TRUE(presets_ok);
  if (const QByteArray keep = qgetenv("WB_PRINT_PDF_DIR"); !keep.isEmpty()) {
    const QString copy = QString::fromLocal8Bit(keep) + QStringLiteral("/design_report.pdf");
    QFile::remove(copy);
    QFile::copy(pdf, copy);
  }
  // Each copy: the report (portrait), then the 31 centralizers on two landscape sheets.
  const auto boxes = test::pdf_media_boxes(pdf);
  ASSERT_EQ(boxes.size(), 6);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const bool portrait = i % 3 == 0;
    EXPECT_NEAR(boxes[i].width(), portrait ? 595 : 842, 1);
    EXPECT_NEAR(boxes[i].height(), portrait ? 842 : 595, 1);
  }
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(DesignOutputs, CentralizerMenuPrintsOnceWithoutTheDialog) {
  PrintSession::force_pdf() = true;
  Print_Copies = 3;
  current_printer() = PrinterSettings{};
  const QString pdf = QString::fromStdString((prog.root / "fzq.pdf").string());
  fakes.files.answers = {pdf.toStdString()};
  EXPECT_TRUE(RodPrint_Click(nullptr, *st));
  EXPECT_FALSE(PrintDlg::exists() && PrintDlg::instance().isVisible());
  EXPECT_EQ(test::pdf_pages(pdf), 2);
  // A PDF that cannot be written is reported.
  fakes.files.answers = {(prog.root / "no" / "such" / "dir.pdf").string()};
  EXPECT_FALSE(RodPrint_Click(nullptr, *st));
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_NE(fakes.messages.shown[0].text.find("打印失败"), std::string::npos);
}

}  // namespace
}  // namespace wb::design
