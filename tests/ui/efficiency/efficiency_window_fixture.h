// The efficiency window as the user reaches it: a main window showing the synthetic joint
// test 示范井1 (500 points a stroke, three-phase two-channel) in a fresh program folder,
// and the efficiency window opened from its toolbar with the test handed over.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "core/samples/synthetic_tests.h"
#include "platform/qt_text.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb::test {

struct EffiWindow {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  std::unique_ptr<RodEngMapDisplay> main;
  SysEffiAnalysis* w = nullptr;

  EffiWindow() {
    register_sys_effi_analysis();
    std::filesystem::create_directories(tmp.path() / "data");
    SyntheticJointParams p;
    EXPECT_TRUE(write_synthetic_joint_test(tmp.path() / "data" / "示范井1.o01", p));
    main = std::make_unique<RodEngMapDisplay>(ProgramFolder{tmp.path()});
    main->show();
    main->File1->refresh();
    main->File1->set_file_name(qs("示范井1.o01"));
    main->File1_Click();
    press_efficiency_button();
  }
  ~EffiWindow() {
    if (w) {
      w->st.Edit_Flag = false;
      delete w;
    }
    analysis_windows() = {};
  }
  void press_efficiency_button() {
    main->Image1_Click(9);
    w = dynamic_cast<SysEffiAnalysis*>(main->analysis_window(AnalysisWindow::Efficiency));
    ASSERT_NE(w, nullptr);
  }
  bool activate() {
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
  }
  QLineEdit* box(int i) { return w->Text1[static_cast<std::size_t>(i)]; }
  // Types into a box as the user does: focus, select what is there, type, Enter.
  void type(int i, const char* text) {
    box(i)->setFocus(Qt::OtherFocusReason);
    box(i)->selectAll();
    if (*text) QTest::keyClicks(box(i), qs(text));
    else QTest::keyClick(box(i), Qt::Key_Backspace);
    QTest::keyClick(box(i), Qt::Key_Return);
  }
  std::string text(int i) { return box(i)->text().toStdString(); }
  // The production data of the calculation's worked example.
  void type_worked_example() {
    const std::pair<int, const char*> inputs[] = {{5, "20"},   {15, "0.95"}, {16, "0.8"}, {17, "0.5"}, {18, "800"},
                                                  {19, "1000"}, {4, "56"},    {21, "3"},   {22, "6"},   {12, "500"},
                                                  {13, "500"},  {47, "100"},  {48, "38"}};
    for (const auto& [i, t] : inputs) type(i, t);
  }
};

}  // namespace wb::test
