// The table printer's layout on the recording canvas. Expected positions are worked out by
// hand beside each case from the layout numbers (millimetres); the tolerance 1e-4 mm covers
// the single-precision layout values (7.3f differs from 7.3 by about 2e-7).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/printing/table_printer.h"

namespace wb {
namespace {

constexpr double kTol = 1e-4;
using Op = RecordingCanvas::Op;
using Item = RecordingCanvas::Item;

std::vector<Item> lines(const RecordingCanvas& c) {
  std::vector<Item> out;
  for (const auto& it : c.items)
    if (it.op == Op::Line) out.push_back(it);
  return out;
}

// The line from (x1, y1) to (x2, y2), or nullptr.
const Item* find_line(const RecordingCanvas& c, double x1, double y1, double x2, double y2) {
  for (const auto& it : c.items)
    if (it.op == Op::Line && std::abs(it.x1 - x1) < kTol && std::abs(it.y1 - y1) < kTol &&
        std::abs(it.x2 - x2) < kTol && std::abs(it.y2 - y2) < kTol)
      return &it;
  return nullptr;
}

// Vertical lines starting at the table's top at x.
std::vector<Item> verticals_at(const RecordingCanvas& c, double x, double top) {
  std::vector<Item> out;
  for (const auto& it : c.items)
    if (it.op == Op::Line && std::abs(it.x1 - x) < kTol && std::abs(it.x2 - x) < kTol && std::abs(it.y1 - top) < kTol)
      out.push_back(it);
  return out;
}

// The efficiency report page's layout.
TableLayout efficiency_layout() {
  TableLayout l;
  l.rows = 24;
  l.cols = 4;
  l.row_height = 7.3f;
  l.label_width = 50;
  l.value_width = 0;
  l.left = 15;
  l.top = 18.5f;
  l.width = 180;
  l.frame_height = 260;
  l.font_size = 14;
  return l;
}

const std::string kTitle = "抽油机井系统效率测试报告";  // 12 characters

TableCells filled(const TableLayout& l, int last_filled) {
  TableCells c = TableCells::for_layout(l, kTitle);
  for (int k = 1; k <= last_filled; ++k) c.set(k, "标签" + std::to_string(k), "值" + std::to_string(k));
  return c;
}

TEST(TableLayout, IndexOrderMatchesTheTenElements) {
  TableLayout l = efficiency_layout();
  const float expected[10] = {24, 4, 7.3f, 50, 0, 15, 18.5f, 180, 260, 14};
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(l[i], expected[i]) << i;
  l[4] = 40;
  EXPECT_EQ(l.value_width, 40);
}

TEST(TableCells, EntryCountRoundsHalvesToEven) {
  struct Case {
    float rows, cols;
    int n;
  } cases[] = {{24, 4, 48}, {1, 1, 0}, {3, 1, 2}, {5, 1, 2}, {7, 1, 4}, {10, 3, 15}, {0, 4, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.cols));
    TableLayout l;
    l.rows = c.rows;
    l.cols = c.cols;
    EXPECT_EQ(table_entry_count(l), c.n);
  }
}

TEST(PrintTable, EfficiencyReportFullTable) {
  TableLayout l = efficiency_layout();
  TableCells cells = filled(l, 48);
  RecordingCanvas cv;
  Print_Table(l, cells, cv);

  // Value width: 180 / 4 × 2 − 50 = 40, written back.
  EXPECT_FLOAT_EQ(l.value_width, 40.0f);

  // Title: 12 squares of 26 pt = 12 × 26 / 72 × 25.4 = 110.0667 mm wide, so it starts at
  // 15 + (180 − 110.0667) / 2 = 49.9667 mm, 13 mm above the table (y = 5.5).
  const Item* title = cv.find_text(kTitle);
  ASSERT_NE(title, nullptr);
  EXPECT_NEAR(title->x1, 15 + (180 - 12 * 26.0 / 72 * 25.4) / 2, kTol);
  EXPECT_NEAR(title->x1, 49.96667, 1e-4);
  EXPECT_NEAR(title->y1, 5.5, kTol);
  EXPECT_EQ(title->font.name, "楷体_GB2312");
  EXPECT_EQ(title->font.size, 26);
  EXPECT_TRUE(title->font.bold);

  // Frame: (15, 18.5) to (195, 278.5), width 2, drawn top, bottom, left, right as the last four lines.
  auto ls = lines(cv);
  ASSERT_EQ(ls.size(), 23u + 1u + 3u + 4u);  // row rules, bottom rule, column rules, frame
  const double frame[4][4] = {{15, 18.5, 195, 18.5}, {15, 278.5, 195, 278.5}, {15, 18.5, 15, 278.5}, {195, 18.5, 195, 278.5}};
  for (int e = 0; e < 4; ++e) {
    SCOPED_TRACE(e);
    const Item& it = ls[ls.size() - 4 + e];
    EXPECT_NEAR(it.x1, frame[e][0], kTol);
    EXPECT_NEAR(it.y1, frame[e][1], kTol);
    EXPECT_NEAR(it.x2, frame[e][2], kTol);
    EXPECT_NEAR(it.y2, frame[e][3], kTol);
    EXPECT_EQ(it.pen.width, 2);
    EXPECT_EQ(it.pen.style, DrawStyle::Solid);
    EXPECT_EQ(it.pen.color, kBlack);
  }

  // Every row rule spans both pairs (15 to 195), width 1; the bottom rule at 18.5 + 24 × 7.3 = 193.7.
  for (int i = 1; i <= 23; ++i) {
    SCOPED_TRACE(i);
    const Item* r = find_line(cv, 15, 18.5 + i * 7.3, 195, 18.5 + i * 7.3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->pen.width, 1);
  }
  EXPECT_NE(find_line(cv, 15, 193.7, 195, 193.7), nullptr);
  // Column rules at 65, 105, 155 run the full table height.
  for (double x : {65.0, 105.0, 155.0}) {
    SCOPED_TRACE(x);
    EXPECT_NE(find_line(cv, x, 18.5, x, 193.7), nullptr);
  }

  // Texts: entry 30 is pair 1, row 6: label at 15 + 2 + 50 + 40 = 107, value at 157,
  // y = 18.5 + 5 × 7.3 + 1 = 56.0; entry 1 at (17, 19.5); all in 宋体 14.
  struct Pos {
    std::string text;
    double x, y;
  } pos[] = {{"标签1", 17, 19.5}, {"值1", 67, 19.5}, {"标签30", 107, 56.0}, {"值30", 157, 56.0},
             {"标签48", 107, 18.5 + 23 * 7.3 + 1}, {"值24", 67, 18.5 + 23 * 7.3 + 1}};
  for (const auto& p : pos) {
    SCOPED_TRACE(p.text);
    const Item* t = cv.find_text(p.text);
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->x1, p.x, kTol);
    EXPECT_NEAR(t->y1, p.y, kTol);
    EXPECT_EQ(t->font.name, "宋体");
    EXPECT_EQ(t->font.size, 14);
    EXPECT_FALSE(t->font.bold);
  }
  EXPECT_EQ(cv.count(Op::Text), 1u + 96u);
  // Texts come after all lines.
  bool seen_text = false;
  for (const auto& it : cv.items) {
    if (it.op == Op::Text && it.text != kTitle) seen_text = true;
    if (seen_text) {
      EXPECT_NE(it.op, Op::Line);
    }
  }

  // The target is left with the body font, width 2, solid.
  EXPECT_EQ(cv.font.name, "宋体");
  EXPECT_EQ(cv.font.size, 14);
  EXPECT_FALSE(cv.font.bold);
  EXPECT_EQ(cv.draw_width, 2);
  EXPECT_EQ(cv.draw_style, DrawStyle::Solid);
}

TEST(PrintTable, StoredValueWidthIsUsedOnTheNextCall) {
  TableLayout l = efficiency_layout();
  TableCells cells = filled(l, 48);
  RecordingCanvas first;
  Print_Table(l, cells, first);
  ASSERT_FLOAT_EQ(l.value_width, 40.0f);
  l.width = 100;  // a changed width no longer changes the stored value width
  RecordingCanvas second;
  Print_Table(l, cells, second);
  EXPECT_FLOAT_EQ(l.value_width, 40.0f);
  EXPECT_NE(find_line(second, 65, 18.5, 65, 193.7), nullptr);
  EXPECT_NE(find_line(second, 155, 18.5, 155, 193.7), nullptr);
}

TEST(PrintTable, PartlyFilledTableEndsItsRulesAtTheLastEntry) {
  // 48 entries, 1..38 filled: the second pair is filled down to row 14.
  TableLayout l = efficiency_layout();
  TableCells cells = filled(l, 38);
  RecordingCanvas cv;
  Print_Table(l, cells, cv);

  for (int i = 1; i <= 23; ++i) {
    SCOPED_TRACE(i);
    double y = 18.5 + i * 7.3;
    double right = i <= 14 ? 195 : 105;  // rows 15..23 have nothing in the second pair
    EXPECT_NE(find_line(cv, 15, y, right, y), nullptr);
  }
  // Rules left of the second pair's label/value rule run all 24 rows; from it on, 14 rows.
  auto check = [&](double x, double len_rows) {
    SCOPED_TRACE(x);
    auto v = verticals_at(cv, x, 18.5);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_NEAR(v[0].y2, 18.5 + len_rows * 7.3, kTol);
  };
  check(65, 24);
  check(105, 24);
  check(155, 14);
  EXPECT_EQ(cv.find_text("标签39"), nullptr);
  EXPECT_NE(cv.find_text("值38"), nullptr);
  EXPECT_EQ(cv.count(Op::Text), 1u + 76u);
  // The bottom rule and the frame still run the full width.
  EXPECT_NE(find_line(cv, 15, 193.7, 195, 193.7), nullptr);
  EXPECT_NE(find_line(cv, 15, 278.5, 195, 278.5), nullptr);
}

TEST(PrintTable, FirstEmptyEntryInTheLastRowOfAPair) {
  // rows 10, 4 columns: 20 entries; entry 20 (pair 1, row 10) is empty.
  TableLayout l;
  l.rows = 10;
  l.cols = 4;
  l.row_height = 8;
  l.label_width = 40;
  l.value_width = 50;
  l.left = 10;
  l.top = 20;
  l.width = 180;
  l.frame_height = 200;
  l.font_size = 12;
  TableCells cells = filled(l, 19);
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  // Column rules at 50, 100, 140: the first two run 10 rows (to 100), the third 9 rows (to 92).
  auto v1 = verticals_at(cv, 50, 20), v2 = verticals_at(cv, 100, 20), v3 = verticals_at(cv, 140, 20);
  ASSERT_EQ(v1.size(), 1u);
  ASSERT_EQ(v2.size(), 1u);
  ASSERT_EQ(v3.size(), 1u);
  EXPECT_NEAR(v1[0].y2, 100, kTol);
  EXPECT_NEAR(v2[0].y2, 100, kTol);
  EXPECT_NEAR(v3[0].y2, 92, kTol);
  // Every inner row rule still reaches the second pair: rows 1..9 of pair 1 are filled.
  for (int i = 1; i <= 9; ++i) EXPECT_NE(find_line(cv, 10, 20 + i * 8, 190, 20 + i * 8), nullptr) << i;
}

TEST(PrintTable, FirstEntryOfAPairEmptyDrawsNoRuleFromThere) {
  // rows 10, entries 1..10 filled: pair 1 starts empty, so rules from its label/value rule on vanish.
  TableLayout l;
  l.rows = 10;
  l.cols = 6;
  l.row_height = 8;
  l.label_width = 30;
  l.value_width = 30;
  l.left = 10;
  l.top = 20;
  l.width = 180;
  l.frame_height = 200;
  l.font_size = 12;
  TableCells cells = filled(l, 10);
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  // Columns are 30 mm wide: rules at 40 and 70 run the full height (to 100); pair 1's
  // label/value rule (100) and those right of it (130, 160) are not drawn at all.
  for (double x : {40.0, 70.0}) {
    auto v = verticals_at(cv, x, 20);
    ASSERT_EQ(v.size(), 1u) << x;
    EXPECT_NEAR(v[0].y2, 100, kTol);
  }
  for (double x : {100.0, 130.0, 160.0}) EXPECT_TRUE(verticals_at(cv, x, 20).empty()) << x;
  // Row rules end after the first pair (10 + 60 = 70).
  EXPECT_NE(find_line(cv, 10, 28, 70, 28), nullptr);
}

TEST(PrintTable, RowWithoutFirstPairLabelStillStartsAtTheLeftEdge) {
  TableLayout l = efficiency_layout();
  l.value_width = 40;
  TableCells cells = filled(l, 48);
  cells.set(3, "", "");  // first pair, row 3 empty (and the first empty entry)
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  double y = 18.5 + 3 * 7.3;
  EXPECT_NE(find_line(cv, 15, y, 195, y), nullptr);  // pair 1 row 3 (entry 27) has a label
  EXPECT_EQ(cv.find_text("值3"), nullptr);
  EXPECT_NE(cv.find_text("值27"), nullptr);
  // Entry 3 is the first empty one (pair 0, row 3): rules from x = 65 on run 2 rows.
  auto v = verticals_at(cv, 65, 18.5);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NEAR(v[0].y2, 18.5 + 2 * 7.3, kTol);
}

TEST(PrintTable, EmptyTitleSelectsNoTitleFont) {
  TableLayout l = efficiency_layout();
  TableCells cells = filled(l, 48);
  cells.set_title("");
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  for (const auto& it : cv.items) {
    if (it.op == Op::Text) {
      EXPECT_EQ(it.font.name, "宋体") << it.text;
    }
  }
  EXPECT_EQ(cv.count(Op::Text), 96u);
}

TEST(PrintTable, TwoRowTablesUseWideRules) {
  TableLayout l = efficiency_layout();
  l.rows = 2;
  TableCells cells = filled(l, 4);
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  for (const auto& it : lines(cv)) EXPECT_EQ(it.pen.width, 2);
  EXPECT_EQ(lines(cv).size(), 1u + 1u + 3u + 4u);
}

TEST(PrintTable, OneRowOneColumnDrawsTitleRuleAndFrameOnly) {
  TableLayout l = efficiency_layout();
  l.rows = 1;
  l.cols = 1;
  l.value_width = 0;
  TableCells cells(0);
  cells.set_title("标题");
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  EXPECT_FLOAT_EQ(l.value_width, 2 * 180.0f - 50.0f);  // 180 / 1 × 2 − 50
  EXPECT_EQ(cv.texts(), std::vector<std::string>{"标题"});
  auto ls = lines(cv);
  ASSERT_EQ(ls.size(), 1u + 4u);
  EXPECT_NE(find_line(cv, 15, 18.5 + 7.3, 195, 18.5 + 7.3), nullptr);
}

TEST(PrintTable, EntriesBeyondTheTableAreNotDrawn) {
  // rows 3, cols 3: n = round(4.5) = 4; entry 5 would sit in the lone label column's row 2.
  TableLayout l = efficiency_layout();
  l.rows = 3;
  l.cols = 3;
  l.value_width = 40;
  TableCells cells = filled(l, 4);
  cells.set(5, "多余", "x");
  RecordingCanvas cv;
  Print_Table(l, cells, cv);
  EXPECT_EQ(cv.find_text("多余"), nullptr);
  // Entry 4 sits in the lone label column (column 2): label drawn at 15 + 2 + 50 + 40 = 107,
  // and no value column exists for it.
  const Item* t = cv.find_text("标签4");
  ASSERT_NE(t, nullptr);
  EXPECT_NEAR(t->x1, 107, kTol);
  EXPECT_EQ(cv.find_text("值4"), nullptr);
  // Row rules end at the right edge of the last labelled pair: below row 1 that is the lone
  // label column, 15 + 50 + 40 + 50 = 155; below row 2 (entry 5 lies beyond n) the first
  // pair, 15 + 50 + 40 = 105.
  EXPECT_NE(find_line(cv, 15, 18.5 + 7.3, 155, 18.5 + 7.3), nullptr);
  EXPECT_NE(find_line(cv, 15, 18.5 + 2 * 7.3, 105, 18.5 + 2 * 7.3), nullptr);
}

TEST(PrintTable, DrawsOnAUserScaledTargetInItsUnits) {
  // The caller sets the scale; on a millimetre target user units are millimetres.
  TableLayout l = efficiency_layout();
  TableCells cells = filled(l, 48);
  RecordingCanvas cv(210, 297);
  cv.set_scale(0, 0, 105, 148.5);  // half-size units: every mm coordinate doubles
  Print_Table(l, cells, cv);
  EXPECT_NE(find_line(cv, 30, 37, 390, 37), nullptr);  // frame top edge 15..195 at 18.5, doubled
}

}  // namespace
}  // namespace wb
