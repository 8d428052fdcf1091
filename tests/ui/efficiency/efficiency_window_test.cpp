// The single-well efficiency window on a joint test handed over by the main window's
// efficiency button: boxes filled from the main window, production data typed as a user
// types it, "计算" and its hand-back, the derived boxes, focus colours, key movement, the
// rescaling after a corrected input power and the save question on close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/common/trim.h"
#include "core/efficiency/effi_calc.h"
#include "core/samples/synthetic_tests.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "efficiency_window_fixture.h"

using namespace wb;
using wb::test::EffiWindow;
using wb::qs;

namespace {

TEST(EfficiencyWindow, HandOverFillsTheBoxesFromTheMainWindow) {
  EffiWindow e;
  SysEffiAnalysis& w = *e.w;
  EXPECT_EQ(w.windowTitle(), qs("单井系统效率分析界面"));
  EXPECT_EQ(e.text(0), "示范井1");
  EXPECT_EQ(e.text(23), "200605121430");
  const auto& m = e.main->st.Text3;
  EXPECT_EQ(e.text(25), m[1]);
  EXPECT_EQ(e.text(26), m[2]);
  EXPECT_EQ(e.text(31), m[4]);
  EXPECT_EQ(e.text(32), m[3]);
  EXPECT_EQ(e.text(34), trim_blanks(m[5]));
  EXPECT_EQ(e.text(42), trim_blanks(m[13]));
  EXPECT_FALSE(e.text(25).empty());
  EXPECT_EQ(w.st.iu_num, e.main->st.iu_num);
  EXPECT_EQ(w.st.gt_num, e.main->st.gt_num);
  EXPECT_EQ(w.st.read_sgt_dnt_org, kKindJoint);
  EXPECT_FLOAT_EQ(w.st.Pin_Ref, static_cast<float>(num_val(m[1])));
  // Boxes 45 and 46: the largest and smallest load of the stroke.
  float hi = -9999, lo = 9999;
  for (int i = 0; i < e.main->st.gt_num; ++i) {
    hi = std::max(hi, e.main->st.ggs[static_cast<std::size_t>(i)]);
    lo = std::min(lo, e.main->st.ggs[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(e.text(45), num_text_f(hi));
  EXPECT_EQ(e.text(46), num_text_f(lo));
  EXPECT_EQ(w.Text3->text().toStdString(), path_text(e.tmp.path() / "sys" / "gt_ym.dat"));
  EXPECT_FALSE(w.st.Edit_Flag);
}

TEST(EfficiencyWindow, CalculateWritesTheResultsAndHandsTheStaticCardBack) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
  EXPECT_TRUE(e.fakes.messages.shown.empty());
  EXPECT_EQ(e.text(20), "200");
  EXPECT_EQ(e.text(27), "1.89");
  EXPECT_EQ(e.text(33), "31.3");
  EXPECT_EQ(e.text(43), "57.63");
  EXPECT_EQ(e.text(44), "32.42");
  // The efficiencies against the test's own powers, as the boxes show them.
  const double p_in = num_val(e.text(25)), p_rod = num_val(e.text(26));
  EXPECT_EQ(e.text(28), num_text(std::floor(p_rod / p_in * 1000 + 0.5) / 10));
  EXPECT_EQ(e.text(30), num_text(std::floor(1.89 / p_in * 1000 + 0.5) / 10));
  // What the main window shows now.
  EXPECT_EQ(e.main->Text1[3]->text(), qs("3"));
  EXPECT_EQ(e.main->Text1[4]->text(), qs("57.63"));
  EXPECT_EQ(e.main->Text1[5]->text(), qs("32.42"));
  EXPECT_EQ(e.main->Text1[1]->text(), qs("0.44"));

  // A new hand-over takes the results of the earlier calculation away.
  e.press_efficiency_button();
  for (int b : kEffiResultBoxes) EXPECT_EQ(e.text(b), "") << b;
  EXPECT_EQ(e.text(5), "20");  // the typed production data stay
}

TEST(EfficiencyWindow, RefusedCalculationsShowTheirMessage) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type_worked_example();
  e.type(15, "0");
  QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, kEffiBadDensity);
  EXPECT_EQ(e.fakes.messages.shown[0].title, "");
  EXPECT_EQ(e.text(27), "");
  EXPECT_EQ(e.main->Text1[4]->text(), QString());

  e.type(15, "0.95");
  e.type(4, "");
  QTest::mouseClick(e.w->Cmd_Calc, Qt::LeftButton);
  ASSERT_EQ(e.fakes.messages.shown.size(), 2u);
  EXPECT_EQ(e.fakes.messages.shown[1].text, kEffiMissingPumpInputs);
  EXPECT_EQ(e.text(27), "1.89");
  EXPECT_EQ(e.text(43), "");
}

TEST(EfficiencyWindow, DerivedBoxesFollowWhenTheBoxIsLeftNotPerKey) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.box(5)->setFocus(Qt::OtherFocusReason);
  QTest::keyClicks(e.box(5), qs("10"));
  e.box(6)->setFocus(Qt::OtherFocusReason);
  QTest::keyClicks(e.box(6), qs("95"));
  EXPECT_EQ(e.text(7), "");  // typing alone changes nothing
  QTest::keyClick(e.box(6), Qt::Key_Return);
  EXPECT_TRUE(e.box(7)->hasFocus());
  EXPECT_EQ(e.text(7), "0.5");

  e.type(18, "654.32");
  e.type(19, "900");
  EXPECT_EQ(e.text(20), "245.7");
}

TEST(EfficiencyWindow, FocusColoursAndKeyMovement) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  auto focused = [&e]() {
    for (int i = 0; i < kEffiBoxCount; ++i)
      if (e.box(i)->hasFocus()) return i;
    return -1;
  };
  struct Case {
    int from;
    Qt::Key key;
    int to;
  } cases[] = {
      {3, Qt::Key_Down, 1},  {1, Qt::Key_Up, 3},    {3, Qt::Key_Up, 0},    {22, Qt::Key_Down, 25},
      {30, Qt::Key_Down, 0}, {46, Qt::Key_Down, 0}, {31, Qt::Key_Up, 31},  {32, Qt::Key_Up, 31},
      {48, Qt::Key_Down, 4}, {20, Qt::Key_Return, 21},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    e.box(c.from)->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(e.box(c.from)->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(e.box(c.from)->palette().color(QPalette::Text), QColor(255, 255, 255));
    QTest::keyClick(e.box(c.from), c.key);
    EXPECT_EQ(focused(), c.to);
    if (c.to != c.from) {
      EXPECT_EQ(e.box(c.from)->palette().color(QPalette::Base), QColor(224, 224, 224));
      EXPECT_EQ(e.box(c.from)->palette().color(QPalette::Text), QColor(0, 0, 0));
    }
  }
  // Enter marked the record edited, the arrows did not.
  EXPECT_TRUE(e.w->st.Edit_Flag);
}

TEST(EfficiencyWindow, ArrowsAloneLeaveTheRecordUneditedAndClosingAsksOnlyAfterAnEdit) {
  {
    EffiWindow e;
    ASSERT_TRUE(e.activate());
    e.box(3)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(e.box(3), Qt::Key_Down);
    QTest::keyClick(e.box(1), Qt::Key_Up);
    EXPECT_FALSE(e.w->st.Edit_Flag);
    QTest::mouseClick(e.w->Cmd_Exit, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(e.fakes.messages.shown.empty());
    EXPECT_EQ(e.main->analysis_window(AnalysisWindow::Efficiency), nullptr);  // closed and gone
    e.w = nullptr;
  }
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.box(1)->setFocus(Qt::OtherFocusReason);
  QTest::keyClicks(e.box(1), qs("a"));
  EXPECT_TRUE(e.w->st.Edit_Flag);
  e.fakes.messages.answers.push_back(MsgAnswer::No);
  e.w->close();
  QApplication::processEvents();
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "当前记录需要保存吗?");
  EXPECT_EQ(e.fakes.messages.shown[0].title, "警告");
  EXPECT_EQ(e.fakes.messages.shown[0].buttons, MsgButtons::YesNo);
  e.w = nullptr;
}

TEST(EfficiencyWindow, ANewInputPowerRescalesTheElectricResults) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  const float p0 = e.w->st.Pin_Ref;
  ASSERT_GT(p0, 0.0f);
  const std::string apparent0 = e.main->Text3[7]->text().toStdString();
  const std::string rms0 = e.text(40);
  const std::string typed = num_text(std::floor(p0 * 1.5 * 100 + 0.5) / 100);
  e.type(25, typed.c_str());
  const float p1 = static_cast<float>(num_val(typed));
  EXPECT_FLOAT_EQ(e.w->st.Pin_Ref, p1);
  EXPECT_EQ(e.text(40), num_text_2dp(num_val(rms0) * static_cast<double>(p1 / p0)));
  // The apparent power follows the larger current, in the main window and in box 36.
  EXPECT_GT(num_val(e.main->Text3[7]->text().toStdString()), num_val(apparent0));
  EXPECT_EQ(e.text(36), e.main->Text3[7]->text().toStdString());
  EXPECT_EQ(e.text(38), e.main->Text3[9]->text().toStdString());
  EXPECT_NE(e.text(31).find('/'), std::string::npos);
}

TEST(EfficiencyWindow, ModelListFollowsBox2AndBox2TheChosenModel) {
  EffiWindow e;
  e.w->st.Text1[2] = "CYJ10-3-37HB";
  e.w->sync_to_widgets();
  EXPECT_EQ(e.w->Comb_CyjMode->currentText(), qs("CYJ10-3-37HB"));
  e.w->Comb_CyjMode->addItem(qs("CYJ12-4.8-73HB"));
  e.w->Comb_CyjMode->setCurrentIndex(0);
  e.w->Comb_CyjMode_Click();
  EXPECT_EQ(e.text(2), "CYJ12-4.8-73HB");
  EXPECT_FALSE(e.box(2)->isVisible());
}

TEST(EfficiencyWindow, StatisticsButtonDoesNothingUntilTheWindowExists) {
  EffiWindow e;
  QTest::mouseClick(e.w->Cmd_Stat, Qt::LeftButton);
  int opened = 0;
  sys_effi_assemble_opener() = [&opened] { ++opened; };
  QTest::mouseClick(e.w->Cmd_Stat, Qt::LeftButton);
  sys_effi_assemble_opener() = nullptr;
  EXPECT_EQ(opened, 1);
}

}  // namespace

namespace {

// Ending the program asks the edited window's own question first; "否" saves nothing.
TEST(EfficiencyWindow, EndingTheProgramAsksAnEditedWindowFirst) {
  EffiWindow e;
  ASSERT_TRUE(e.activate());
  e.type(9, "33");
  ASSERT_TRUE(e.w->st.Edit_Flag);
  QPointer<SysEffiAnalysis> win = e.w;
  e.w = nullptr;
  e.fakes.messages.answers = {MsgAnswer::No};
  e.main->close();
  QApplication::processEvents();
  ASSERT_EQ(e.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(e.fakes.messages.shown[0].text, "当前记录需要保存吗?");
  EXPECT_TRUE(win.isNull() || !win->isVisible());
}

}  // namespace
