// Every window the main toolbar opens is destroyed while one of its own widgets holds the
// focus, once for each of its boxes: the focus leaves that widget while the
// window is being destroyed, and no handler of the window may run on it then (the
// sanitizer build turns such a call into a failure).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "ui/balance/balance_analysis.h"
#include "ui/balance/balance_print.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "integration_fixture.h"

namespace wb {
namespace {

using test::Workbench;

bool takes_focus(const QWidget* w) {
  if (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || !w->isEnabled()) return false;
  // The boxes and grids: the widgets whose focus and key handlers the windows connect to.
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

// Opens the window with `open`, gives the focus to its box number `k` and
// destroys it with `destroy`; returns the number of boxes.
int destroy_with_focus_on(const std::function<QWidget*()>& open, const std::function<void(QWidget*)>& destroy,
                          int k) {
  QWidget* w = open();
  if (!w) {
    ADD_FAILURE() << "the window did not open";
    return 0;
  }
  w->show();
  w->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(w));
  QList<QWidget*> boxes;
  for (QWidget* c : w->findChildren<QWidget*>())
    if (takes_focus(c)) boxes.push_back(c);
  const int n = static_cast<int>(boxes.size());
  if (k < n) {
    boxes[k]->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(w->isAncestorOf(QApplication::focusWidget())) << k << " " << boxes[k]->metaObject()->className();
  }
  destroy(w);
  QApplication::processEvents();
  return n;
}

void destroy_each_way(const std::function<QWidget*()>& open, const std::function<void(QWidget*)>& destroy) {
  const int n = destroy_with_focus_on(open, destroy, 0);
  ASSERT_GT(n, 0);
  for (int k = 1; k < n; ++k) destroy_with_focus_on(open, destroy, k);
}

void delete_it(QWidget* w) { delete w; }

TEST(WindowTeardown, BalanceWindow) {
  Workbench b;
  destroy_each_way(
      [&] {
        b.main->Image1_Click(1);
        return b.main->analysis_window(AnalysisWindow::Balance);
      },
      delete_it);
}

// The report selection window lives as long as the counterbalance window that owns it.
TEST(WindowTeardown, BalancePrintWindow) {
  Workbench b;
  destroy_each_way(
      [&]() -> QWidget* {
        b.main->Image1_Click(1);
        auto* bal = dynamic_cast<BalanceAnalysis*>(b.main->analysis_window(AnalysisWindow::Balance));
        if (!bal) return nullptr;
        bal->prt_grid();
        BalancePrint* p = bal->print_window();
        if (p) {
          p->Option2->setChecked(true);  // the list of stored reports takes the focus then
          p->Option2_Click();
        }
        return p;
      },
      [](QWidget* w) { delete w->parentWidget(); });
}

TEST(WindowTeardown, EfficiencyWindow) {
  Workbench b;
  destroy_each_way(
      [&] {
        b.main->Image1_Click(9);
        return b.main->analysis_window(AnalysisWindow::Efficiency);
      },
      [](QWidget* w) {
        static_cast<SysEffiAnalysis*>(w)->st.Edit_Flag = false;
        delete w;
      });
}

TEST(WindowTeardown, LevelWindow) {
  Workbench b;
  destroy_each_way(
      [&] {
        b.main->Image1_Click(11);
        return b.main->analysis_window(AnalysisWindow::Level);
      },
      delete_it);
}

TEST(WindowTeardown, DiagnosisWindow) {
  Workbench b;
  destroy_each_way(
      [&] {
        b.main->Image1_Click(14);
        return b.main->analysis_window(AnalysisWindow::Diagnosis);
      },
      delete_it);
}

// The rod-string design window the diagnosis window opens, and the statistics window the
// efficiency window opens.
TEST(WindowTeardown, DesignWindow) {
  Workbench b;
  destroy_each_way(
      [&]() -> QWidget* {
        return &design::RodDesign::instance(b.prog);
      },
      delete_it);
}

TEST(WindowTeardown, StatisticsWindow) {
  Workbench b;
  destroy_each_way([&]() -> QWidget* { return show_sys_effi_assemble(b.prog); }, delete_it);
}

// The main window itself, with every analysis window open and the focus in one of its
// own boxes: the analysis windows go with it.
TEST(WindowTeardown, MainWindowWithAnalysisWindowsOpen) {
  test::ScopedFakeServices fakes;
  for (int k = 0;; ++k) {
    auto b = std::make_unique<Workbench>();
    for (int button : {1, 11, 14, 9}) b->main->Image1_Click(button);
    if (auto* e = dynamic_cast<SysEffiAnalysis*>(b->main->analysis_window(AnalysisWindow::Efficiency)))
      e->st.Edit_Flag = false;
    std::vector<QPointer<QWidget>> windows;
    for (int i = 0; i < kAnalysisWindowCount; ++i)
      windows.emplace_back(b->main->analysis_window(static_cast<AnalysisWindow>(i)));
    b->main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(b->main.get()));
    QList<QLineEdit*> boxes;
    for (QLineEdit* c : b->main->findChildren<QLineEdit*>())
      if (takes_focus(c) && c->window() == b->main.get()) boxes.push_back(c);
    ASSERT_FALSE(boxes.isEmpty());
    boxes[k]->setFocus(Qt::OtherFocusReason);
    const bool last = k + 1 >= boxes.size();
    b.reset();
    for (const QPointer<QWidget>& w : windows) EXPECT_TRUE(w.isNull());  // none outlives the main window
    QApplication::processEvents();
    if (last) break;
  }
}

}  // namespace
}  // namespace wb
