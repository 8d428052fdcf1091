// A new user's first session on the folder wb_make_samples writes: the sample joint test
// opened, then each analysis window from the toolbar does its main work without any
// further input (the counterbalance advice, the efficiencies, the fluid level, the
// diagnosed well).
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <memory>

#include "platform/file_browser.h"
#include "ui/balance/balance_analysis.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "integration_workbench.h"
#include "ui_fakes.h"

namespace wb {
namespace {

// The sample maker as the build made it (the build tells this test where).
QString sample_maker() { return QString::fromUtf8(WB_MAKE_SAMPLES); }

class FirstUse : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFileInfo(sample_maker()).isExecutable()) << "no sample maker at " << sample_maker().toStdString();
    QProcess maker;
    maker.start(sample_maker(), {QString::fromStdString(tmp.path().string())});
    ASSERT_TRUE(maker.waitForFinished(60000));
    ASSERT_EQ(maker.exitCode(), 0) << maker.readAllStandardError().toStdString();
    main = test::start_workbench(prog);
  }
  void TearDown() override {
    test::end_workbench(main);
  }

  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> main;
};

TEST_F(FirstUse, CounterbalanceWindowAdvises) {
  main->Image1_Click(1);
  auto* w = dynamic_cast<BalanceAnalysis*>(main->analysis_window(AnalysisWindow::Balance));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Text1->toPlainText().contains(QStringLiteral("示范井1井平衡调整建议")));
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(FirstUse, EfficiencyWindowComputes) {
  main->Image1_Click(9);
  auto* w = dynamic_cast<SysEffiAnalysis*>(main->analysis_window(AnalysisWindow::Efficiency));
  ASSERT_NE(w, nullptr);
  EXPECT_GE(w->Comb_CyjMode->count(), 1);  // the catalogue
  w->Cmd_Calc_Click();
  EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.shown.front().text;
  const double sys_effi = w->Text1[30]->text().toDouble();
  EXPECT_GT(sys_effi, 5.0);
  EXPECT_LT(sys_effi, 80.0);
}

TEST_F(FirstUse, LevelWindowFindsTheLevel) {
  main->Image1_Click(11);
  auto* w = dynamic_cast<LevelDisplay*>(main->analysis_window(AnalysisWindow::Level));
  ASSERT_NE(w, nullptr);
  ASSERT_GE(w->File1->count(), 1);
  w->File1->set_file_name(QStringLiteral("示范井1.y01"));
  w->File1_Click();
  EXPECT_TRUE(w->Label2->text().contains(QStringLiteral("液面深度:1"))) << w->Label2->text().toStdString();
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(FirstUse, DiagnosisWindowListsTheWell) {
  main->Image1_Click(14);
  auto* w = dynamic_cast<WellDiagnosis*>(main->analysis_window(AnalysisWindow::Diagnosis));
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->Comb_WellName->count(), 1);
  w->Comb_WellName->setCurrentIndex(0);
  w->Comb_WellName_Click();
  EXPECT_EQ(w->Comb_TestTime->currentText(), QStringLiteral("20060512"));
  EXPECT_TRUE(fakes.messages.shown.empty());
}

}  // namespace
}  // namespace wb
