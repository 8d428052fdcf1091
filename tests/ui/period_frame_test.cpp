// The period frame of the main window on a joint test opened from the file browser: the
// step buttons, the tolerance buttons, the typed period and Chk_Start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <fstream>

#include "core/samples/synthetic_tests.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

// A program folder whose data folder holds a 6-strokes-a-minute test starting 30 % into a
// stroke (bottom dead centre at sample 350).
struct JointWindow {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  std::unique_ptr<RodEngMapDisplay> w;

  JointWindow() {
    std::filesystem::create_directories(tmp.path() / "data");
    SyntheticJointParams p;
    p.period = 500;
    p.phase = 0.3;
    EXPECT_TRUE(write_synthetic_joint_test(tmp.path() / "data" / "示范井1.o01", p));
    w = std::make_unique<RodEngMapDisplay>(ProgramFolder{tmp.path()});
    w->show();
  }
  void open(const QString& name) {
    w->File1->refresh();
    w->File1->set_file_name(name);
    w->File1_Click();
  }
  void type_period(const QString& text) {
    w->CircleDot->setText(text);
    w->CircleDot->setFocus();
    QTest::keyClick(w->CircleDot, Qt::Key_Return);
  }
};

TEST(PeriodFrame, OpeningAJointTestShowsTheStroke) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  EXPECT_TRUE(jw.fakes.messages.shown.empty());
  EXPECT_EQ(w.Text1[2]->text(), QStringLiteral("示范井1"));
  EXPECT_EQ(w.Text1[0]->text(), QStringLiteral("200605121430"));
  EXPECT_EQ(w.CircleDot->text(), QStringLiteral("500"));
  for (int i = 1; i <= 11; ++i) EXPECT_FALSE(w.Text3[i]->text().isEmpty()) << i;
  EXPECT_TRUE(w.Text3[3]->text().contains('/'));
  EXPECT_TRUE(w.Chk_Start->isVisible());
  EXPECT_TRUE(w.Chk_Start->isEnabled());
  EXPECT_TRUE(w.Frame3->isEnabled());
  EXPECT_EQ(w.st.gt_num, 501);
  EXPECT_EQ(w.st.iu_num, 500);
  EXPECT_EQ(w.st.bdc_start, 350);
  EXPECT_EQ(w.adjust[0]->toolTip(), QStringLiteral("周期减少10点(0.2秒)"));
  EXPECT_EQ(w.adjust[5]->toolTip(), QStringLiteral("降低周期分析条件"));
  EXPECT_EQ(w.Picture1->toolTip(), QStringLiteral("单击此处可显示电能数据"));
}

TEST(PeriodFrame, StepButtonsChangeThePeriodOnly) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  const QString results = w.Text3[2]->text();
  struct Step {
    int button;
    int period;
  } steps[] = {{1, 500}, {0, 490}, {3, 500}, {2, 501}, {2, 502}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.button);
    QTest::mouseClick(w.adjust[s.button], Qt::LeftButton);
    EXPECT_EQ(w.CircleDot->text(), QString::number(s.period));
    EXPECT_EQ(w.st.gt_num, s.period);
    EXPECT_EQ(w.st.iu_num, s.period);
  }
  // Neither the bottom dead centre nor the results are recomputed.
  EXPECT_EQ(w.st.bdc_start, 350);
  EXPECT_EQ(w.Text3[2]->text(), results);
}

TEST(PeriodFrame, TypedPeriod) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  jw.type_period(QStringLiteral("612"));
  EXPECT_EQ(w.st.gt_num, 612);
  EXPECT_EQ(w.st.iu_num, 612);
  jw.type_period(QStringLiteral("2.5"));
  EXPECT_EQ(w.st.gt_num, 2);
  jw.type_period(QStringLiteral("3001"));
  EXPECT_EQ(w.st.gt_num, 2);
  jw.type_period(QStringLiteral("0"));
  EXPECT_EQ(w.st.gt_num, 2);
  jw.type_period(QStringLiteral("3.5"));
  EXPECT_EQ(w.st.gt_num, 4);
}

TEST(PeriodFrame, ToleranceButtonsRerunTheAnalysis) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  QTest::mouseClick(w.adjust[2], Qt::LeftButton);  // 502
  w.Text3[2]->setText(QStringLiteral("edited"));
  QTest::mouseClick(w.adjust[4], Qt::LeftButton);
  EXPECT_FLOAT_EQ(w.st.circle_tol, 0.04f);
  // The whole analysis ran again: period, bottom dead centre and results.
  EXPECT_EQ(w.CircleDot->text(), QStringLiteral("500"));
  EXPECT_EQ(w.st.gt_num, 501);
  EXPECT_NE(w.Text3[2]->text(), QStringLiteral("edited"));
  EXPECT_EQ(w.Text1[2]->text(), QStringLiteral("示范井1"));
  QTest::mouseClick(w.adjust[5], Qt::LeftButton);
  QTest::mouseClick(w.adjust[5], Qt::LeftButton);
  EXPECT_FLOAT_EQ(w.st.circle_tol, 0.01f);
  // Opening the file again resets the tolerance.
  jw.open(QStringLiteral("示范井1.o01"));
  EXPECT_FLOAT_EQ(w.st.circle_tol, 0.02f);
}

TEST(PeriodFrame, StartAtBottomDeadCentre) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  const SampleArray before = w.st.sss;
  QTest::mouseClick(w.Chk_Start, Qt::LeftButton);
  ASSERT_TRUE(w.Chk_Start->isChecked());
  EXPECT_EQ(w.st.sss[0], before[350]);
  EXPECT_NEAR(w.st.sss[0], 0.0f, 0.01f);
  QTest::mouseClick(w.Chk_Start, Qt::LeftButton);
  EXPECT_FALSE(w.Chk_Start->isChecked());
  EXPECT_EQ(w.st.sss, before);
  // Checked before opening: the stroke starts at the bottom straight away.
  QTest::mouseClick(w.Chk_Start, Qt::LeftButton);
  jw.open(QStringLiteral("示范井1.o01"));
  EXPECT_NEAR(w.st.sss[0], 0.0f, 0.01f);
}

// A stroke too short for the position search: the power search decides, and R_iu shows the
// coefficient it evaluated last, as the text it was accepted by.
TEST(PeriodFrame, PowerSearchShowsItsCorrelation) {
  JointWindow jw;
  auto& w = *jw.w;
  SyntheticJointParams p;
  p.stroke = 0.2;  // position range below 0.3 m
  p.stretch = 0.05;
  ASSERT_TRUE(write_synthetic_joint_test(jw.tmp.path() / "data" / "浅.o02", p));
  jw.open(QStringLiteral("浅.o02"));
  const QString shown = w.R_iu->text();
  EXPECT_EQ(shown.toStdString(), w.st.R_iu);
  bool ok = false;
  const double r = shown.toDouble(&ok);
  ASSERT_TRUE(ok) << shown.toStdString();
  EXPECT_GT(r, 0.98);
  EXPECT_LE(r, 1.0);
  EXPECT_EQ(w.CircleDot->text(), QString::number(w.st.iu_num));
}

// A file the decoder refuses: a message names the fault and the shown test stays.
TEST(PeriodFrame, RefusedFileKeepsTheTest) {
  JointWindow jw;
  auto& w = *jw.w;
  jw.open(QStringLiteral("示范井1.o01"));
  const QString well = w.Text1[2]->text();
  const QString power = w.Text3[1]->text();
  const std::int16_t period = w.st.gt_num;
  std::ofstream(jw.tmp.path() / "data" / "坏.o02", std::ios::binary) << std::string(1024, ' ');
  w.open_joint_test(jw.tmp.path() / "data" / "坏.o02");
  ASSERT_EQ(jw.fakes.messages.shown.size(), 1u);
  EXPECT_EQ(jw.fakes.messages.shown[0].title, "不能打开!");
  EXPECT_NE(jw.fakes.messages.shown[0].text.find("当前测试保持不变"), std::string::npos);
  EXPECT_EQ(w.Text1[2]->text(), well);
  EXPECT_EQ(w.Text3[1]->text(), power);
  EXPECT_EQ(w.st.gt_num, period);
}

}  // namespace
