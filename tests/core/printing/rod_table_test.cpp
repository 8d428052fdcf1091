// The rod-design table page on the recording canvas. Row height 240 / 38 mm; positions are
// worked out by hand from the fixed geometry (grid at 15, 28.5, 180 × 240 mm).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/printing/rod_table.h"

namespace wb {
namespace {

constexpr double kTol = 1e-6;
constexpr double kH = 240.0 / 38.0;
using Op = RecordingCanvas::Op;

std::vector<std::string> numbered_cells(const std::string& well) {
  std::vector<std::string> c(237);
  c[0] = well;
  for (int k = 1; k <= 236; ++k) c[k] = "c" + std::to_string(k);
  return c;
}

bool has_line(const RecordingCanvas& cv, double x1, double y1, double x2, double y2, int width) {
  for (const auto& it : cv.items)
    if (it.op == Op::Line && std::abs(it.x1 - x1) < kTol && std::abs(it.y1 - y1) < kTol &&
        std::abs(it.x2 - x2) < kTol && std::abs(it.y2 - y2) < kTol && it.pen.width == width)
      return true;
  return false;
}

TEST(RodTable, RowShapesCoverTheFullWidthAnd236Cells) {
  int total = 0;
  for (int row = 1; row <= 38; ++row) {
    SCOPED_TRACE(row);
    auto w = rod_table_cell_widths(row);
    ASSERT_EQ(static_cast<int>(w.size()), rod_table_cells_in_row(row));
    double sum = 0;
    for (double x : w) sum += x;
    EXPECT_NEAR(sum, 180.0, 1e-9);
    total += static_cast<int>(w.size());
  }
  EXPECT_EQ(total, 236);
}

TEST(RodTable, TitleOfATwelveCharacterWellIsCentredOnItsEstimate) {
  RecordingCanvas cv;
  prt_Rod_Table(numbered_cells("X4-12-346   "), cv, "李工");
  // 12 / 2 + 10 = 16 squares of 22 pt: 16 × 22 / 72 × 25.4 = 124.178 mm; x = 15 + (180 − 124.178) / 2.
  auto titles = cv.texts_containing("抽油井杆柱优化设计表");
  ASSERT_EQ(titles.size(), 1u);
  const auto* t = titles[0];
  EXPECT_EQ(t->text, "X4-12-346   抽油井杆柱优化设计表");
  EXPECT_NEAR(t->x1, 42.91111, 1e-4);
  EXPECT_NEAR(t->y1, 15.5, kTol);
  EXPECT_EQ(t->font.name, "楷体_GB2312");
  EXPECT_EQ(t->font.size, 22);
  EXPECT_TRUE(t->font.bold);
  EXPECT_TRUE(t->font.underline);
}

TEST(RodTable, CellsLandInReadingOrderAtTheirOffsets) {
  RecordingCanvas cv;
  prt_Rod_Table(numbered_cells("井1"), cv, "李工");
  struct Case {
    int entry;
    double x;
    int row;
  } cases[] = {
      {1, 17, 1},                 // heading row
      {2, 17, 2},   {3, 47, 2},   {4, 107, 2}, {5, 137, 2},  // 30, 60, 30, 60
      {6, 17, 3},   {11, 167, 3}, {29, 167, 6},
      {30, 17, 7},  {31, 17, 8},  {73, 17, 15}, {116, 17, 23},
      {117, 17, 24}, {118, 39.5, 24}, {236, 174.5, 38},  // 22.5 each
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    const auto* t = cv.find_text("c" + std::to_string(c.entry));
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->x1, c.x, kTol);
    EXPECT_NEAR(t->y1, 28.5 + (c.row - 1) * kH + 1, kTol);
    EXPECT_EQ(t->font.name, "宋体");
    EXPECT_EQ(t->font.size, 14);
    EXPECT_FALSE(t->font.bold);
    EXPECT_FALSE(t->font.underline);
  }
}

TEST(RodTable, GridRulesAndFrame) {
  RecordingCanvas cv;
  prt_Rod_Table(numbered_cells("井1"), cv, "李工");
  // 38 bottom lines, one right rule per cell, the 4 frame edges.
  EXPECT_EQ(cv.count(Op::Line), 38u + 236u + 4u);
  for (int i = 1; i <= 38; ++i) EXPECT_TRUE(has_line(cv, 15, 28.5 + i * kH, 195, 28.5 + i * kH, 1)) << i;
  // Row 2's inner rules at 45, 105, 135; row 24's at 15 + 22.5 k.
  for (double x : {45.0, 105.0, 135.0, 195.0}) EXPECT_TRUE(has_line(cv, x, 28.5 + kH, x, 28.5 + 2 * kH, 1)) << x;
  for (int k = 1; k <= 8; ++k)
    EXPECT_TRUE(has_line(cv, 15 + 22.5 * k, 28.5 + 23 * kH, 15 + 22.5 * k, 28.5 + 24 * kH, 1)) << k;
  // The frame: drawn over the last rules with width 2.
  EXPECT_TRUE(has_line(cv, 15, 28.5, 195, 28.5, 2));
  EXPECT_TRUE(has_line(cv, 15, 268.5, 195, 268.5, 2));
  EXPECT_TRUE(has_line(cv, 15, 28.5, 15, 268.5, 2));
  EXPECT_TRUE(has_line(cv, 195, 28.5, 195, 268.5, 2));
}

TEST(RodTable, FooterLeavesTheWholeDateBlank) {
  RecordingCanvas cv;
  prt_Rod_Table(numbered_cells("井1"), cv, "李工");
  const auto* who = cv.find_text("设计人：李工");
  ASSERT_NE(who, nullptr);
  EXPECT_NEAR(who->x1, 105, kTol);
  EXPECT_NEAR(who->y1, 270.5, kTol);
  EXPECT_EQ(who->font.size, 12);
  const auto* date = cv.find_text("    年    月    日");
  ASSERT_NE(date, nullptr);
  EXPECT_NEAR(date->x1, 150, kTol);
  EXPECT_NEAR(date->y1, 270.5, kTol);
  // The year is blank like month and day: no "200" printed before "年".
  auto dated = cv.texts_containing("年");
  ASSERT_EQ(dated.size(), 1u);
  EXPECT_EQ(dated[0]->text, "    年    月    日");
  // Left with 宋体 12, width 2, solid.
  EXPECT_EQ(cv.font.name, "宋体");
  EXPECT_EQ(cv.font.size, 12);
  EXPECT_EQ(cv.draw_width, 2);
  EXPECT_EQ(cv.draw_style, DrawStyle::Solid);
}

TEST(RodTable, EmptyAndMissingEntriesKeepTheirRules) {
  std::vector<std::string> cells(100);  // entries 100..236 missing
  cells[0] = "井1";
  cells[5] = "扶正器";
  RecordingCanvas cv;
  cv.set_scale(0, 100, 100, 0);  // a user scale left by an earlier chart: the page sets millimetres itself
  prt_Rod_Table(cells, cv, "");
  EXPECT_EQ(cv.count(Op::Line), 38u + 236u + 4u);
  // Title, one filled cell and the two footer texts.
  EXPECT_EQ(cv.count(Op::Text), 4u);
  const auto* t = cv.find_text("扶正器");
  ASSERT_NE(t, nullptr);
  EXPECT_NEAR(t->x1, 137, kTol);
  EXPECT_NEAR(t->y1, 28.5 + kH + 1, kTol);
  EXPECT_NE(cv.find_text("设计人："), nullptr);
}

}  // namespace
}  // namespace wb
