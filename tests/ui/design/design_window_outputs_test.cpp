// The design window's outputs from its own controls: "曲线" opens the curves window, which
// outlives the design window; entering the IPR tab draws its chart; "存成文本" writes the
// profile table; "打印" and the centralizer table's pop-up "打印" print to a PDF.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "core/design/workbench/text_tables.h"
#include "design/design_outputs_fixture.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "printing/print_test_helpers.h"
#include "ui/design/ipr_tab.h"
#include "ui/design/pic_show.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui_fakes.h"

namespace wb::design {
namespace {

namespace fs = std::filesystem;

struct NoDiagnosis : DiagnosisHandOver {
  void cygsj(std::string&, std::int16_t& dda) override { dda = 3; }
  std::string Text1(int) const override { return {}; }
  std::string Text5() const override { return {}; }
  std::string Text6() const override { return {}; }
};

class DesignWindowOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    prog.root = tmp.path();
    prog.create_folders();
    diagnosis_hand_over_provider() = [this]() -> DiagnosisHandOver* { return &diag; };
    register_design_window(prog);
    design_window_opener()(nullptr);
    w = RodDesign::existing();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    fill_design(w->st);
    w->st.Text6[0] = "10";
    w->st.Text6[2] = "5";
    w->st.Text6[8] = "1";
    w->st.Text6[7] = "0";
    w->st.Text6[5] = w->st.Text6[6] = "1";
    w->st.Text6[11] = "0.5";
    w->st.Text6[12] = "1500";
    w->sync_to_widgets();
    fakes.messages.shown.clear();
  }
  void TearDown() override {
    if (PicShow* c = PicShow::instance()) delete c;
    if (w) {
      w->st.jx_changed = 0;
      w->close();
    }
    QApplication::processEvents();
    diagnosis_hand_over_provider() = nullptr;
    design_window_opener() = nullptr;
    PrintSession::force_pdf() = false;
  }

  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog;
  NoDiagnosis diag;
  QPointer<RodDesign> w;
};

TEST_F(DesignWindowOutputs, CurvesButtonOpensTheCurvesWhichOutliveTheWindow) {
  QTest::mouseClick(w->pic_show, Qt::LeftButton);
  PicShow* c = PicShow::instance();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->windowTitle(), QStringLiteral("W1井杆柱设计相关参数趋势图"));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(c));
  c->Picture1_MouseDown(Qt::LeftButton, 50, 10.0);
  EXPECT_TRUE(c->Label1->text().startsWith(QStringLiteral("井深0m 井斜角0°")));
  // The design window closes; a resize and a pick still work from the last profile.
  w->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());
  c->resize(c->width() + 40, c->height() + 30);
  QApplication::processEvents();
  c->Picture1_MouseDown(Qt::LeftButton, 50, 5000);
  EXPECT_TRUE(c->Label1->text().startsWith(QStringLiteral("井深1000m ")));
  EXPECT_GT(pixels_of(c->Picture1->image(), qRgb(128, 128, 0)), 50);
}

TEST_F(DesignWindowOutputs, CurvesButtonRefusesWithoutADesign) {
  w->st.Grid2.set_text(1, 1, "");
  QTest::mouseClick(w->pic_show, Qt::LeftButton);
  EXPECT_EQ(PicShow::instance(), nullptr);
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "请先执行<重新设计>命令!");
  EXPECT_EQ(w->Grid2->currentRow(), 1);
  EXPECT_EQ(w->Grid2->currentColumn(), 1);
}

TEST_F(DesignWindowOutputs, EnteringTheIprTabDrawsTheChart) {
  ASSERT_NE(w->ipr_tab, nullptr);
  w->SSTab1->setCurrentIndex(2);
  QApplication::processEvents();
  EXPECT_GT(pixels_of(w->ipr_tab->Picture6->image(), qRgb(255, 0, 0)), 40);
  EXPECT_EQ(w->ipr_tab->Label10[8]->text(), QStringLiteral("饱和压力(MPa): 5"));
  QTest::keyClicks(w->ipr_tab->Text7[1], QStringLiteral("5"));
  EXPECT_EQ(w->ipr_tab->Text7[0]->text(), QStringLiteral("1041"));
  EXPECT_EQ(w->ipr_tab->Text11->text(), QStringLiteral("4.9"));
  // Back on "设计生产参数" the efficiency before the design is shown.
  w->st.Text6[20] = "20";
  w->st.Text6[22] = "5.37";
  w->SSTab1->setCurrentIndex(3);
  EXPECT_EQ(w->Label3[5]->text(), QStringLiteral("26.9"));
}

TEST_F(DesignWindowOutputs, SaveToTextWritesTheProfileTableIntoTheProgramFolder) {
  QTest::mouseClick(w->Cmd_SaveToTxt, Qt::LeftButton);
  const fs::path path = prog.root / u8path(kProfileTableName);
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), profile_table_bytes(w->st.profile).size());
  ASSERT_EQ(fakes.messages.shown.size(), 1u);  // where it went
  EXPECT_EQ(fakes.messages.shown[0].text, path_text(path) + "  已写入完成！");
}

TEST_F(DesignWindowOutputs, PrintButtonAndCentralizerMenuPrint) {
  PrintDlg::destroy();
  current_printer() = PrinterSettings{};
  PrintSession::force_pdf() = true;
  const QString pdf = QString::fromStdString((prog.root / "design.pdf").string());
  fakes.files.answers = {pdf.toStdString()};
  test::when_dialog_waits([&](PrintDlg& d) {
    d.Text2->setText(QStringLiteral("1"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
  });
  QTest::mouseClick(w->PrintCom, Qt::LeftButton);
  EXPECT_EQ(test::pdf_pages(pdf), 3);  // report, then 31 centralizers on two sheets
  EXPECT_TRUE(w->isEnabled());
  // The pop-up's "打印": the table once, no dialog.
  const QString pdf2 = QString::fromStdString((prog.root / "fzq.pdf").string());
  fakes.files.answers = {pdf2.toStdString()};
  Print_Copies = 4;
  w->RodPrint->trigger();
  EXPECT_EQ(test::pdf_pages(pdf2), 2);
  EXPECT_FALSE(PrintDlg::instance().isVisible());
  EXPECT_TRUE(fakes.messages.shown.empty());
}

}  // namespace
}  // namespace wb::design
