// The windows as a new user first sees them on the sample test 示范井1: each fits a
// 1280 x 900 screen, and the boxes holding the test time show all of it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <memory>

#include "core/level/synthetic_level.h"
#include "core/samples/synthetic_tests.h"
#include "ui/balance/balance_analysis.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "integration_workbench.h"
#include "ui_fakes.h"

namespace wb {
namespace {

struct SampleWorkbench {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> main;

  SampleWorkbench() {
    prog.create_folders();
    SyntheticJointParams p;
    EXPECT_TRUE(write_synthetic_joint_test(prog.data() / u8path("示范井1.o01"), p));
    EXPECT_TRUE(write_sample_diagnosis(prog, p, "20060512"));
    main = test::start_workbench(prog);
  }
  ~SampleWorkbench() {
    test::end_workbench(main);
  }
  QWidget* open(int button, AnalysisWindow which) {
    main->Image1_Click(button);
    return main->analysis_window(which);
  }
};

// True when the box shows its whole text without scrolling it.
bool shows_whole(const QLineEdit* e) {
  const QString text = e->text();
  return !text.isEmpty() && e->fontMetrics().horizontalAdvance(text) <= e->contentsRect().width() - 4;
}

TEST(WindowLayout, EveryWindowFitsTheScreen) {
  SampleWorkbench b;
  const QSize screen(1280, 900);
  EXPECT_LE(b.main->width(), screen.width());
  EXPECT_LE(b.main->height(), screen.height());
  const std::pair<int, AnalysisWindow> windows[] = {{1, AnalysisWindow::Balance},
                                                    {9, AnalysisWindow::Efficiency},
                                                    {11, AnalysisWindow::Level},
                                                    {14, AnalysisWindow::Diagnosis}};
  for (const auto& [button, which] : windows) {
    QWidget* w = b.open(button, which);
    ASSERT_NE(w, nullptr) << button;
    EXPECT_TRUE(w->isVisible()) << button;
    EXPECT_LE(w->width(), screen.width()) << button;
    EXPECT_LE(w->height(), screen.height()) << button;
  }
}

TEST(WindowLayout, TestTimesAreShownWhole) {
  SampleWorkbench b;
  auto* bal = dynamic_cast<BalanceAnalysis*>(b.open(1, AnalysisWindow::Balance));
  ASSERT_NE(bal, nullptr);
  ASSERT_EQ(bal->Comb_TestTime->currentText(), QStringLiteral("200605121430"));
  EXPECT_TRUE(shows_whole(bal->Comb_TestTime->lineEdit())) << bal->Comb_TestTime->lineEdit()->width();

  auto* effi = dynamic_cast<SysEffiAnalysis*>(b.open(9, AnalysisWindow::Efficiency));
  ASSERT_NE(effi, nullptr);
  QLineEdit* date = effi->Text1[23];
  ASSERT_EQ(date->text(), QStringLiteral("200605121430"));
  EXPECT_TRUE(shows_whole(date));
}

}  // namespace
}  // namespace wb
