// Ending the program from the main window: each open window with unsaved edits asks its own
// close question first, and a window that stays open keeps the program running.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <functional>

#include "core/design/workbench/design_window_core.h"
#include "core/diagnosis/diagnosis_records.h"
#include "integration_fixture.h"
#include "ui/design/rod_design.h"

namespace wb {
namespace {

// The joint test alone: the windows open on it with nothing stored.
struct Workbench : test::Workbench {
  Workbench() : test::Workbench(Samples::JointTest) {}
};

// The three windows that keep typed edits, each with an edit made as its handlers mark it.
TEST(ProgramEnd, EachEditedWindowAsksItsOwnQuestionFirst) {
  struct Case {
    const char* name;
    std::function<QWidget*(Workbench&)> open_and_edit;
    const char* question;
  } cases[] = {
      {"efficiency",
       [](Workbench& b) -> QWidget* {
         auto* w = dynamic_cast<SysEffiAnalysis*>(b.main->show_analysis_window(AnalysisWindow::Efficiency));
         w->st.Edit_Flag = true;
         return w;
       },
       "当前记录需要保存吗?"},
      {"diagnosis",
       [](Workbench& b) -> QWidget* {
         auto* w = dynamic_cast<WellDiagnosis*>(b.main->show_analysis_window(AnalysisWindow::Diagnosis));
         w->st.Rec_Changed = true;
         return w;
       },
       kAskSaveText},
      {"design survey",
       [](Workbench& b) -> QWidget* {
         design::RodDesign& w = design::RodDesign::instance(b.prog);
         w.show();
         w.st.jx_changed = 1;
         return &w;
       },
       design::kSurveyChangedQuestion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workbench b;
    QPointer<QWidget> w = c.open_and_edit(b);
    ASSERT_TRUE(w);
    ASSERT_TRUE(w->isVisible());
    b.fakes.messages.answers = {MsgAnswer::No};
    EXPECT_TRUE(b.main->close());
    ASSERT_EQ(b.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(b.fakes.messages.shown[0].text, c.question);
    EXPECT_TRUE(b.main->ending());
    EXPECT_TRUE(w.isNull() || !w->isVisible());
  }
}

// Windows without edits close without a word.
TEST(ProgramEnd, UneditedWindowsCloseSilently) {
  Workbench b;
  b.main->show_analysis_window(AnalysisWindow::Efficiency);
  b.main->show_analysis_window(AnalysisWindow::Diagnosis);
  design::RodDesign::instance(b.prog).show();
  EXPECT_TRUE(b.main->close());
  EXPECT_TRUE(b.fakes.messages.shown.empty());
}

// A window whose question is cancelled stays open, and so does the program.
class StaysOpen : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

TEST(ProgramEnd, AWindowThatStaysOpenKeepsTheProgramRunning) {
  Workbench b;
  StaysOpen other;
  other.show();
  EXPECT_FALSE(b.main->close());
  EXPECT_TRUE(b.main->isVisible());
  EXPECT_FALSE(b.main->ending());
  EXPECT_TRUE(other.isVisible());
}

}  // namespace
}  // namespace wb
