// The grid at library size and its block fill: a 10 000-row library listed in the main
// window and the statistics window's 10 000-row table, scrolled to the end as a user does;
// set_rows_text against the same texts set cell by cell.
#include <gtest/gtest.h>

#include <array>

#include <QScrollBar>
#include <QTest>
#include <fstream>

#include "core/common/paths.h"
#include "core/records/gt_ym_record.h"
#include "core/workbench/test_libraries.h"
#include "platform/grid.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

using namespace wb;

namespace {

constexpr int kRecords = 10000;

std::string well(int i) { return "北" + std::to_string(i / 10) + "-" + std::to_string(i % 10); }

// What a user sees at p of the grid's viewport (the fixed rows and columns are drawn over
// it once it is scrolled), and the row it belongs to.
QString shown_at(const Grid& g, QPoint p, int* row = nullptr) {
  const QPoint in_grid = g.viewport()->mapTo(&g, p);
  QWidget* w = g.childAt(in_grid);
  auto* view = w ? qobject_cast<QAbstractItemView*>(w->parentWidget()) : nullptr;
  if (!view) return QStringLiteral("<no view>");
  const QModelIndex i = view->indexAt(w->mapFrom(&g, in_grid));
  if (row) *row = i.row();
  return i.data().toString();
}

// The text shown in the grid's last fully visible row, column c.
QString bottom_row_text(const Grid& g, int c, int* row) {
  return shown_at(g, {g.columnViewportPosition(c) + 2, g.viewport()->height() - g.rowHeight(0) / 2 - 1}, row);
}

TEST(GridAtLibrarySize, TheMainWindowListsTenThousandCardsAndShowsTheLastOne) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  prog.create_folders();
  {
    std::ofstream out(library_path(prog, LibraryKind::Card), std::ios::binary);
    for (int i = 1; i <= kRecords; ++i) {
      SgtRecord r;
      r.well_name = well(i);
      r.test_date = "20040101123" + std::to_string(i % 10);
      r.point_num = 500;
      const auto b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
  }
  RodEngMapDisplay w(prog);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.Image1_Click(4);
  Grid* g = w.Grid1;
  ASSERT_EQ(g->rows(), kRecords + 1);
  // The listing ends on the last record, in view, as it did when it walked every row.
  EXPECT_EQ(g->row(), kRecords);
  EXPECT_EQ(g->currentRow(), kRecords);
  EXPECT_EQ(g->verticalScrollBar()->value(), g->verticalScrollBar()->maximum());
  int shown = -1;
  EXPECT_EQ(bottom_row_text(*g, 0, &shown), QString::number(kRecords));
  EXPECT_EQ(shown, kRecords);
  EXPECT_EQ(bottom_row_text(*g, 1, &shown).trimmed(), QString::fromStdString(well(kRecords)));
  // The header row stays on top of the scrolled table.
  int top = -1;
  EXPECT_EQ(shown_at(*g, {g->columnViewportPosition(1) + 2, 2}, &top), g->text(0, 1));
  EXPECT_EQ(top, 0);

  // Back at the top, the keyboard's Ctrl+End goes to the last record again.
  g->verticalScrollBar()->setValue(0);
  EXPECT_EQ(shown_at(*g, {2, g->rowHeight(0) + 2}), QStringLiteral("1"));
  g->setFocus();
  QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(g->row(), kRecords);
  EXPECT_EQ(g->verticalScrollBar()->value(), g->verticalScrollBar()->maximum());
  EXPECT_EQ(bottom_row_text(*g, 1, &shown).trimmed(), QString::fromStdString(well(kRecords)));
}

TEST(GridAtLibrarySize, TheStatisticsTableScrolledToTheEndShowsTheAverageRow) {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  ProgramFolder prog;
  prog.root = tmp.path();
  prog.create_folders();
  {
    std::ofstream out(gt_ym_path(prog), std::ios::binary);
    for (int i = 1; i <= kRecords; ++i) {
      GtYmRecord r;
      r.well_name = well(i);
      r.block_unit = "一队";
      r.vals[kValInputPower] = "10";
      r.vals[kValPumpDia] = i == kRecords ? "56" : "44";
      const auto b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
  }
  SysEffiAssemble w(prog);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  Grid* g = w.Grid1;
  ASSERT_EQ(g->rows(), kRecords + 2);  // the header, the records and the average row
  g->verticalScrollBar()->setValue(g->verticalScrollBar()->maximum());
  int shown = -1;
  EXPECT_EQ(bottom_row_text(*g, 0, &shown), QStringLiteral("平均"));
  EXPECT_EQ(shown, kRecords + 1);
  EXPECT_EQ(g->text(kRecords, 1), QString::fromStdString(well(kRecords)));
  EXPECT_EQ(g->text(kRecords, 11), QStringLiteral("56"));
  // The row above the average is the last record, beside its number in the fixed column.
  const int y = g->rowViewportPosition(kRecords) + g->rowHeight(kRecords) / 2;
  EXPECT_EQ(shown_at(*g, {g->columnViewportPosition(1) + 2, y}), QString::fromStdString(well(kRecords)));
  EXPECT_EQ(shown_at(*g, {2, y}), QString::number(kRecords));
}

// The same texts given cell by cell and as a block of rows make the same grid.
TEST(GridBlockFill, MatchesTheCellByCellFill) {
  const std::vector<std::vector<std::string>> texts = {
      {"1", "W1", "20040101"},
      {"2", "北2-333 长一点的井号", "2004"},
      {"3"},                                        // a short row leaves the rest empty
      {"4", "x", "2004010112", "beyond the grid"},  // texts past the last column are dropped
  };
  Grid by_cell;
  Grid by_rows;
  for (Grid* g : {&by_cell, &by_rows}) {
    g->set_cols(3);
    g->set_rows(7);
    g->set_text(0, 0, QStringLiteral("序号"));
    g->set_text(5, 1, QStringLiteral("an old row that goes"));
    g->set_col_width_twips(2, 300);
    g->set_row(6);
  }
  by_cell.set_rows(1 + static_cast<int>(texts.size()));
  for (std::size_t r = 0; r < texts.size(); ++r)
    for (std::size_t c = 0; c < std::min<std::size_t>(3, texts[r].size()); ++c)
      by_cell.set_text(static_cast<int>(r) + 1, static_cast<int>(c), QString::fromStdString(texts[r][c]));
  by_rows.set_rows_text(1, texts);

  ASSERT_EQ(by_rows.rows(), 5);
  EXPECT_EQ(by_rows.cols(), 3);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(by_rows.text(r, c), by_cell.text(r, c)) << r << "," << c;
  EXPECT_EQ(by_rows.text(0, 0), QStringLiteral("序号"));
  EXPECT_EQ(by_rows.text(3, 1), QString());
  for (int c = 0; c < 3; ++c) EXPECT_EQ(by_rows.columnWidth(c), by_cell.columnWidth(c)) << c;
  EXPECT_GT(by_rows.columnWidth(1), by_rows.fontMetrics().horizontalAdvance(QStringLiteral("北2-333 长一点的井号")));
  EXPECT_EQ(by_rows.row(), 4);  // the current row moved up onto the last one left

  // An empty block leaves the rows above it.
  by_rows.set_rows_text(1, {});
  EXPECT_EQ(by_rows.rows(), 1);
  EXPECT_EQ(by_rows.text(0, 0), QStringLiteral("序号"));
}

// Rows filled from a caller's own rows, then cells set one by one (each writes its row anew:
// the rows left behind are dropped as they pile up), a text longer than 127 bytes, and a
// column taken away and given back empty.
TEST(GridBlockFill, CellsSetAfterABlockAndColumnsTakenAway) {
  Grid g;
  g.set_cols(3);
  g.set_rows(1);
  std::vector<std::array<std::string, 3>> rows(300);
  for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = {std::to_string(r + 1), "井" + std::to_string(r), "2004"};
  g.set_rows_text(1, rows.size(), [&rows](std::size_t r, std::size_t c) -> std::string_view { return rows[r][c]; });
  ASSERT_EQ(g.rows(), 301);
  for (int round = 0; round < 3; ++round)
    for (int r = 1; r <= 300; ++r) g.set_text(r, 2, QString::number(r * 10 + round));
  const std::string long_text(200, 'x');
  g.set_text(7, 1, QString::fromStdString(long_text));
  for (int r = 1; r <= 300; ++r) {
    ASSERT_EQ(g.text(r, 0), QString::number(r)) << r;
    ASSERT_EQ(g.text(r, 1), r == 7 ? QString::fromStdString(long_text) : QStringLiteral("井") + QString::number(r - 1))
        << r;
    ASSERT_EQ(g.text(r, 2), QString::number(r * 10 + 2)) << r;
  }
  g.set_cols(2);
  g.set_cols(3);
  EXPECT_EQ(g.text(5, 2), QString());
  EXPECT_EQ(g.text(5, 1), QStringLiteral("井4"));
  g.set_text(5, 2, QString());
  EXPECT_EQ(g.text(5, 1), QStringLiteral("井4"));
}

}  // namespace
