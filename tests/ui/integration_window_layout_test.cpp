// The windows as a new user first sees them on the sample test 示范井1: each fits the screen
// it opens on, with every control inside the window or inside a part that scrolls, and the
// boxes holding the test time show all of it. ctest runs this on the default screen, on a
// 1366 x 768 laptop screen and on a 1600 x 1000 screen at 150 % (QT_SCALE_FACTOR=1.5: 1067 x
// 667 logical pixels).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <functional>
#include <memory>

#include "integration_fixture.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "platform/print_dialog.h"
#include "ui/balance/balance_analysis.h"
#include "ui/balance/balance_print.h"
#include "ui/design/pic_show.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "platform/screen_fit.h"
#include "ui/printing/print_preview.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {
namespace {

using test::Workbench;

// True when the box shows its whole text without scrolling it.
bool shows_whole(const QLineEdit* e) {
  const QString text = e->text();
  return !text.isEmpty() && e->fontMetrics().horizontalAdvance(text) <= e->contentsRect().width() - 4;
}

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// The window lies on the screen, and each control shown in it lies on the screen: inside the
// window, in a part that scrolls (it is cut by the part's edge), or beyond the window's edge
// where widening the window, within the screen, shows it.
void expect_fits(QWidget* w, const char* name) {
  SCOPED_TRACE(name);
  ASSERT_NE(w, nullptr);
  w->show();
  QApplication::processEvents();
  const QRect screen = available();
  const QRect frame = w->frameGeometry();
  EXPECT_TRUE(screen.contains(frame)) << "window " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height() << " on " << screen.width() << "x" << screen.height();
  const QRect inside = w->rect();
  for (QWidget* c : w->findChildren<QWidget*>()) {
    if (c->isWindow() || !c->isVisibleTo(w)) continue;
    QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
    for (const QWidget* p = c->parentWidget(); p && p != w; p = p->parentWidget())
      r &= QRect(p->mapTo(w, QPoint(0, 0)), p->size());
    if (r.isEmpty() || inside.contains(r)) continue;
    const QRect on_screen = r.translated(w->geometry().topLeft());
    const QSize widened = inside.united(r).size();
    EXPECT_TRUE(screen.contains(on_screen) && widened.width() <= w->maximumWidth() &&
                widened.height() <= w->maximumHeight())
        << c->metaObject()->className() << " " << c->objectName().toStdString() << " at " << on_screen.x() << ","
        << on_screen.y() << " " << r.width() << "x" << r.height() << " on " << screen.width() << "x"
        << screen.height();
  }
}

TEST(WindowLayout, EveryWindowFitsTheScreen) {
  Workbench b;
  expect_fits(b.main.get(), "main");
  const std::pair<int, AnalysisWindow> windows[] = {{1, AnalysisWindow::Balance},
                                                    {9, AnalysisWindow::Efficiency},
                                                    {11, AnalysisWindow::Level},
                                                    {14, AnalysisWindow::Diagnosis}};
  for (const auto& [button, which] : windows) {
    b.main->Image1_Click(button);
    expect_fits(b.main->analysis_window(which), std::to_string(button).c_str());
  }
  auto* bal = dynamic_cast<BalanceAnalysis*>(b.main->analysis_window(AnalysisWindow::Balance));
  ASSERT_NE(bal, nullptr);
  bal->prt_grid();
  expect_fits(bal->print_window(), "balance print");
  expect_fits(show_sys_effi_assemble(b.prog), "statistics");
  auto& design = design::RodDesign::instance(b.prog);
  expect_fits(&design, "design");
  design::PicShow curves(b.prog, [&design] { return &design.st; });
  expect_fits(&curves, "design curves");
  expect_fits(PrintPreview::show_preview(), "print preview");
  PrintPreview::current()->close();
  QApplication::processEvents();
  b.main->Command1_Click();  // the waveform report's preview
  expect_fits(PrintPreview::current(), "waveform preview");
  {
    // It opens in the middle of the available area, its frame included, wherever a window
    // manager would have put it.
    const QRect frame(PrintPreview::current()->pos(), PrintPreview::current()->size() + kWindowFrameAllowance);
    const QRect screen = available();
    EXPECT_TRUE(screen.contains(frame));
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
  }
  expect_fits(&PrintDlg::instance(), "print dialog");
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) w->hide();
}

TEST(WindowLayout, TestTimesAreShownWhole) {
  Workbench b;
  QLineEdit* main_date = b.main->Text1[appended_box::kTestDate];
  ASSERT_EQ(main_date->text(), QStringLiteral("200605121430"));
  EXPECT_TRUE(shows_whole(main_date)) << main_date->width();

  b.main->Image1_Click(1);
  auto* bal = dynamic_cast<BalanceAnalysis*>(b.main->analysis_window(AnalysisWindow::Balance));
  ASSERT_NE(bal, nullptr);
  ASSERT_EQ(bal->Comb_TestTime->currentText(), QStringLiteral("200605121430"));
  EXPECT_TRUE(shows_whole(bal->Comb_TestTime->lineEdit())) << bal->Comb_TestTime->lineEdit()->width();

  b.main->Image1_Click(9);
  auto* effi = dynamic_cast<SysEffiAnalysis*>(b.main->analysis_window(AnalysisWindow::Efficiency));
  ASSERT_NE(effi, nullptr);
  QLineEdit* date = effi->Text1[23];
  ASSERT_EQ(date->text(), QStringLiteral("200605121430"));
  EXPECT_TRUE(shows_whole(date));

  // The level library's test date, in its column of the list, once the sample level test is saved.
  b.main->Image1_Click(11);
  auto* level = dynamic_cast<LevelDisplay*>(b.main->analysis_window(AnalysisWindow::Level));
  ASSERT_NE(level, nullptr);
  level->File1->set_file_name(QStringLiteral("示范井1.y01"));
  level->File1_Click();
  level->Command2->click();
  QApplication::processEvents();
  Grid* list = level->Grid1;
  const int col = LevelDisplay::kColDate;
  const QString test_date = list->text(1, col);
  ASSERT_EQ(test_date.size(), 12);
  const int right = list->columnViewportPosition(col) + list->columnWidth(col);
  EXPECT_GE(list->columnWidth(col), list->fontMetrics().horizontalAdvance(test_date) + 4);
  EXPECT_LE(right, list->viewport()->width()) << "column ends at " << right << " of " << list->viewport()->width();
}

}  // namespace
}  // namespace wb
