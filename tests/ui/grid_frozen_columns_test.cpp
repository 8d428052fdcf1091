// The grid's fixed rows and columns stay in view while the table scrolls: what a user sees
// and clicks at the left edge and along the top once the table is scrolled, and where the
// keyboard brings the current cell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/common/record_store.h"
#include "core/records/gt_ym_record.h"
#include "platform/grid.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

constexpr int kColWidth = 60;
constexpr int kRowHeight = 20;
constexpr int kFrozenWidth = 2 * kColWidth;

QString cell_text(int r, int c) { return QStringLiteral("r%1c%2").arg(r).arg(c); }

// 40 rows by 12 columns of 60 px in a grid 260 px wide: row 0 and columns 0 and 1 fixed.
struct Table {
  std::unique_ptr<Grid> g = std::make_unique<Grid>();

  Table() {
    g->resize(260, 180);
    g->set_cols(12);
    g->set_rows(40);
    g->set_fixed_rows(1);
    g->set_fixed_cols(2);
    for (int c = 0; c < 12; ++c) g->setColumnWidth(c, kColWidth);
    for (int r = 0; r < 40; ++r)
      for (int c = 0; c < 12; ++c) g->set_text(r, c, cell_text(r, c));
    g->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(g.get()));
  }
  QScrollBar* h() const { return g->horizontalScrollBar(); }
  QScrollBar* v() const { return g->verticalScrollBar(); }
  // The widget a real mouse at p (in the grid's viewport) reaches, and p in its coordinates.
  std::pair<QWidget*, QPoint> under(QPoint p) const {
    const QPoint in_grid = g->viewport()->mapTo(g.get(), p);
    QWidget* w = g->childAt(in_grid);
    return {w, w->mapFrom(g.get(), in_grid)};
  }
  // The text a user sees at p (in the grid's viewport).
  QString shown_at(QPoint p) const {
    auto [w, local] = under(p);
    auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
    if (!view) return QStringLiteral("<no view>");
    return view->indexAt(local).data().toString();
  }
  QImage strip(int width) const {
    const QRect vp = g->viewport()->geometry();
    return g->grab(QRect(vp.topLeft(), QSize(width, vp.height()))).toImage();
  }
  void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) const {
    auto [w, local] = under(p);
    QTest::mouseClick(w, b, {}, local);
  }
};

QPoint centre(int row_on_screen, int col_on_screen) {
  return {col_on_screen * kColWidth + kColWidth / 2, row_on_screen * kRowHeight + kRowHeight / 2};
}

TEST(GridFrozenColumns, ScrolledRightTheFixedColumnsStayAtTheLeft) {
  Table t;
  const QImage before = t.strip(kFrozenWidth);
  t.h()->setValue(t.h()->maximum());
  ASSERT_GT(t.h()->value(), 3 * kColWidth);
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(t.shown_at(centre(r, 0)), cell_text(r, 0));
    EXPECT_EQ(t.shown_at(centre(r, 1)), cell_text(r, 1));
  }
  // Drawn exactly as before the scroll, and the scrolled columns start right after them.
  EXPECT_EQ(t.strip(kFrozenWidth), before);
  const int right_of_frozen = t.g->columnAt(kFrozenWidth + 1);
  EXPECT_GT(right_of_frozen, 2);
  EXPECT_EQ(t.shown_at({kFrozenWidth + 1, kRowHeight / 2}), cell_text(0, right_of_frozen));
  // Back at the left edge the table shows its own cells again.
  t.h()->setValue(0);
  EXPECT_EQ(t.shown_at(centre(1, 2)), cell_text(1, 2));
  EXPECT_EQ(t.strip(kFrozenWidth), before);
}

TEST(GridFrozenColumns, ScrolledDownRowZeroStaysOnTop) {
  Table t;
  t.v()->setValue(10);
  EXPECT_EQ(t.shown_at(centre(0, 0)), cell_text(0, 0));
  EXPECT_EQ(t.shown_at(centre(0, 3)), cell_text(0, 3));
  // The rows below it are the scrolled ones, in the fixed columns too.
  const int second = t.g->rowAt(kRowHeight + kRowHeight / 2);
  EXPECT_GT(second, 5);
  EXPECT_EQ(t.shown_at(centre(1, 0)), cell_text(second, 0));
  EXPECT_EQ(t.shown_at(centre(1, 3)), cell_text(second, 3));
}

TEST(GridFrozenColumns, TheFixedColumnsFollowTheVerticalScroll) {
  Table scrolled_both;
  Table scrolled_down;
  for (Table* t : {&scrolled_both, &scrolled_down}) t->v()->setValue(12);
  scrolled_both.h()->setValue(scrolled_both.h()->maximum());
  const int row = scrolled_both.g->rowAt(3 * kRowHeight + kRowHeight / 2);
  EXPECT_EQ(scrolled_both.shown_at(centre(3, 0)), cell_text(row, 0));
  EXPECT_EQ(scrolled_both.shown_at(centre(3, 1)), cell_text(row, 1));
  EXPECT_EQ(scrolled_both.shown_at(centre(0, 1)), cell_text(0, 1));
  EXPECT_EQ(scrolled_both.strip(kFrozenWidth), scrolled_down.strip(kFrozenWidth));
  // And follow it on: a wheel turn over the fixed columns scrolls the whole table.
  const int v = scrolled_both.v()->value();
  auto [w, local] = scrolled_both.under(centre(3, 0));
  QWheelEvent wheel(local, w->mapToGlobal(local), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &wheel);
  EXPECT_GT(scrolled_both.v()->value(), v);
  const int now = scrolled_both.g->rowAt(3 * kRowHeight + kRowHeight / 2);
  EXPECT_EQ(scrolled_both.shown_at(centre(3, 0)), cell_text(now, 0));
}

TEST(GridFrozenColumns, AClickOnAFixedCellIsAClickOnThatCell) {
  Table t;
  t.v()->setValue(6);
  t.h()->setValue(t.h()->maximum());
  const int h = t.h()->value();
  QSignalSpy clicks(t.g.get(), &Grid::cell_clicked);
  QSignalSpy doubles(t.g.get(), &Grid::cell_double_clicked);
  const int row = t.g->rowAt(2 * kRowHeight + kRowHeight / 2);
  struct Case {
    int col;
    Qt::MouseButton button;
  };
  for (Case c : {Case{0, Qt::LeftButton}, Case{1, Qt::RightButton}}) {
    clicks.clear();
    t.click(centre(2, c.col), c.button);
    EXPECT_EQ(t.g->row(), row);
    EXPECT_EQ(t.g->col(), c.col);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), row);
    EXPECT_EQ(clicks[0][1].toInt(), c.col);
    EXPECT_EQ(clicks[0][2].value<Qt::MouseButton>(), c.button);
    EXPECT_EQ(t.h()->value(), h);  // the click does not scroll the table back
  }
  auto [w, local] = t.under(centre(3, 0));
  QTest::mouseDClick(w, Qt::LeftButton, {}, local);
  ASSERT_EQ(doubles.size(), 1);
  EXPECT_EQ(doubles[0][0].toInt(), row + 1);
  EXPECT_EQ(doubles[0][1].toInt(), 0);
  // The fixed row takes clicks as well.
  clicks.clear();
  t.click({kFrozenWidth + 5, kRowHeight / 2});
  ASSERT_EQ(clicks.size(), 1);
  EXPECT_EQ(clicks[0][0].toInt(), 0);
  EXPECT_EQ(clicks[0][1].toInt(), t.g->columnAt(kFrozenWidth + 5));
}

TEST(GridFrozenColumns, TheKeyboardNeverHidesTheCurrentCellUnderTheFixedOnes) {
  Table t;
  t.g->setFocus();
  t.g->setCurrentCell(38, 11);
  ASSERT_GT(t.h()->value(), 0);
  ASSERT_GT(t.v()->value(), 0);
  for (int i = 0; i < 9; ++i) QTest::keyClick(t.g.get(), Qt::Key_Left);
  ASSERT_EQ(t.g->col(), 2);
  EXPECT_GE(t.g->visualRect(t.g->currentIndex()).left(), kFrozenWidth);
  for (int i = 0; i < 37; ++i) QTest::keyClick(t.g.get(), Qt::Key_Up);
  ASSERT_EQ(t.g->row(), 1);
  EXPECT_GE(t.g->visualRect(t.g->currentIndex()).top(), kRowHeight);
  EXPECT_EQ(t.shown_at(centre(1, 2)), cell_text(1, 2));
  // set_row brings a record just below the fixed row.
  t.g->set_row(39);
  t.g->set_row(20);
  EXPECT_GE(t.g->visualRect(t.g->currentIndex()).top(), kRowHeight);
  EXPECT_EQ(t.shown_at({kFrozenWidth + 5, t.g->visualRect(t.g->currentIndex()).center().y()}),
            cell_text(20, 2));
}

// The efficiency statistics window: its number and well columns stay at the left of a
// table scrolled to its last column.
TEST(GridFrozenColumns, TheStatisticsTableKeepsNumberAndWellInView) {
  test::TempProgramFolder tmp;
  test::ScopedFakeServices fakes;
  ProgramFolder folder;
  folder.root = tmp.path();
  folder.create_folders();
  std::vector<std::uint8_t> lib;
  for (const char* well : {"北1-1", "北1-22", "北2-333"}) {
    GtYmRecord r;
    r.well_name = well;
    r.block_unit = "一队";
    r.vals[kValInputPower] = "10";
    const auto e = r.encode();
    lib.insert(lib.end(), e.begin(), e.end());
  }
  ASSERT_TRUE(write_file_atomic(gt_ym_path(folder), lib));
  SysEffiAssemble w(folder);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  Grid* g = w.Grid1;
  ASSERT_EQ(g->text(2, 1), QString::fromUtf8("北1-22"));
  g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
  ASSERT_GT(g->columnAt(g->columnWidth(0) + g->columnWidth(1) + 1), 2);
  // The text a user sees at p in the grid's viewport.
  auto shown_at = [&](QPoint p) {
    const QPoint in_grid = g->viewport()->mapTo(g, p);
    QWidget* under = g->childAt(in_grid);
    auto* view = qobject_cast<QAbstractItemView*>(under->parentWidget());
    return view ? view->indexAt(under->mapFrom(g, in_grid)).data().toString() : QString();
  };
  auto centre_of = [&](int r, int c) { return g->visualRect(g->model()->index(r, c)).center(); };
  g->horizontalScrollBar()->setValue(0);
  const QPoint number = centre_of(2, 0);
  const QPoint well = centre_of(2, 1);
  g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
  ASSERT_GT(g->columnAt(well.x()), 2);
  EXPECT_EQ(shown_at(number), QStringLiteral("2"));
  EXPECT_EQ(shown_at(well), QString::fromUtf8("北1-22"));
  EXPECT_EQ(shown_at(centre_of(0, 22)), g->text(0, 22));  // the last column beside them
}

}  // namespace
