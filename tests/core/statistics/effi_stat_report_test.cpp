// The statistics report: floor(d / 36) + 1 pages, data rows through mytrim in the body rows,
// the average row in the last body row of the last page, the unit and the date cut from the
// date box.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/statistics/effi_stat_report.h"

namespace wb {
namespace {

// A grid of d numbered data rows (well "W <i>"), headers and an average row.
std::vector<StatRow> grid_of(int d) {
  std::vector<StatRow> rows(static_cast<std::size_t>(d) + 2);
  rows[0][stat_col::kNumber] = "序号";
  for (int i = 1; i <= d; ++i) {
    rows[static_cast<std::size_t>(i)][stat_col::kNumber] = std::to_string(i);
    rows[static_cast<std::size_t>(i)][stat_col::kWell] = "W " + std::to_string(i);
  }
  rows.back()[stat_col::kNumber] = "平均";
  rows.back()[stat_col::kInputPower] = "12.5";
  return rows;
}

struct Page {
  std::vector<const RecordingCanvas::Item*> texts;
};

std::vector<Page> pages_of(const RecordingCanvas& c) {
  std::vector<Page> pages(1);
  for (const auto& it : c.items) {
    if (it.op == RecordingCanvas::Op::NewPage) pages.emplace_back();
    if (it.op == RecordingCanvas::Op::Text) pages.back().texts.push_back(&it);
  }
  return pages;
}

const RecordingCanvas::Item* text_on(const Page& p, const std::string& t) {
  for (const auto* it : p.texts)
    if (it->text == t) return it;
  return nullptr;
}

TEST(EffiStatReport, PagesAndWhereTheRowsGo) {
  struct Case {
    int d, pages;
    int rows_on_last;  // data rows printed on the last page
  };
  for (const Case& k : std::vector<Case>{{0, 1, 0}, {10, 1, 10}, {35, 1, 35}, {36, 2, 0}, {40, 2, 4}, {72, 3, 0}}) {
    SCOPED_TRACE(k.d);
    EXPECT_EQ(stat_report_pages(k.d), k.pages);
    RecordingCanvas c(297, 210, true);
    prt_stat_page(c, grid_of(k.d), "采油一矿", "20261210");
    const auto pages = pages_of(c);
    ASSERT_EQ(static_cast<int>(pages.size()), k.pages);
    EXPECT_EQ(c.count(RecordingCanvas::Op::EndDoc), 1u);
    EXPECT_EQ(c.items.back().op, RecordingCanvas::Op::EndDoc);
    for (const Page& p : pages) {
      ASSERT_NE(text_on(p, "机械采油井系统效率统计分析表"), nullptr);
      ASSERT_NE(text_on(p, "制表单位:采油一矿"), nullptr);
      ASSERT_NE(text_on(p, "制表日期:2026年12月10日"), nullptr);
    }
    const Page& last = pages.back();
    int data = 0;
    for (const auto* it : last.texts) data += it->text.rfind("W", 0) == 0 ? 1 : 0;
    EXPECT_EQ(data, k.rows_on_last);
    // The average row: "平均" and its values in the last body row, only on the last page.
    const auto* avg = text_on(last, "平均");
    ASSERT_NE(avg, nullptr);
    EXPECT_NEAR(avg->y1, 187.0, 1e-9);
    EXPECT_NEAR(avg->x1, 20.4, 1e-9);
    const auto* v = text_on(last, "12.5");
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(v->x1, 20 + 193 + 0.4, 1e-9);
    for (std::size_t p = 0; p + 1 < pages.size(); ++p) EXPECT_EQ(text_on(pages[p], "平均"), nullptr);
  }
}

TEST(EffiStatReport, FortyRowsOnTwoPages) {
  RecordingCanvas c(297, 210, true);
  prt_stat_page(c, grid_of(40), "", "20261210");
  const auto pages = pages_of(c);
  ASSERT_EQ(pages.size(), 2u);
  // Row 1 in the first body row, row 36 in the last of page 1, row 37 first on page 2;
  // mytrim drops the blank inside the well name.
  const double row_h = 156.0 / 36;
  const auto* first = text_on(pages[0], "W1");
  ASSERT_NE(first, nullptr);
  EXPECT_NEAR(first->x1, 20 + 7 + 1, 1e-9);
  EXPECT_NEAR(first->y1, 34 + 1, 1e-9);
  const auto* r36 = text_on(pages[0], "W36");
  ASSERT_NE(r36, nullptr);
  EXPECT_NEAR(r36->y1, 34 + 35 * row_h + 1, 1e-9);
  const auto* r37 = text_on(pages[1], "W37");
  ASSERT_NE(r37, nullptr);
  EXPECT_NEAR(r37->y1, 34 + 1, 1e-9);
  EXPECT_NE(text_on(pages[1], "W40"), nullptr);
  EXPECT_EQ(text_on(pages[1], "W36"), nullptr);
  EXPECT_EQ(text_on(pages[0], "平均"), nullptr);
  EXPECT_NE(text_on(pages[1], "平均"), nullptr);
}

TEST(EffiStatReport, PageHeadRules) {
  RecordingCanvas c(297, 210, true);
  tab_prt(c);
  // Frame, 22 column rules, the header rule and 35 body rules.
  EXPECT_EQ(c.count(RecordingCanvas::Op::Rect), 1u);
  EXPECT_EQ(c.count(RecordingCanvas::Op::Line), 22u + 1u + 35u);
  const auto* title = c.find_text("机械采油井系统效率统计分析表");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->font.name, "黑体");
  EXPECT_NEAR(title->x1, 110, 1e-9);
  EXPECT_NEAR(title->y1, 15, 1e-9);
  const auto* h = c.find_text("     抽油机型号");
  ASSERT_NE(h, nullptr);
  EXPECT_NEAR(h->y1, 28, 1e-9);
  const auto* l2 = c.find_text("率(kW)");
  ASSERT_NE(l2, nullptr);
  EXPECT_NEAR(l2->y1, 29.5, 1e-9);
}

TEST(EffiStatReport, MytrimAndDateParts) {
  EXPECT_EQ(mytrim(" 北1 -\t2\r\n"), "北1-2");
  EXPECT_EQ(mytrim(std::string("a\0b", 3)), "ab");
  for (const auto& [date, want] : std::vector<std::pair<std::string, std::string>>{
           {"20261210", "制表日期:2026年12月10日"}, {"2026", "制表日期:2026年月26日"}, {"", "制表日期:年月日"},
           {"2026年1月5日", "制表日期:2026年年1月5日日"}}) {
    RecordingCanvas c(297, 210, true);
    prt_stat_page(c, grid_of(1), "", date);
    EXPECT_NE(c.find_text(want), nullptr) << date;
  }
}

}  // namespace
}  // namespace wb

namespace wb {
namespace {

// The table lies centred on the A4 landscape sheet, and a value wider than its column (the
// liquid rate "23.05" in the 8.5 mm column, "1234.56" as an average) ends before the next rule.
TEST(EffiStatReport, CentredAndValuesStayInTheirCells) {
  RecordingCanvas c(297, 210, true);
  std::vector<StatRow> rows = grid_of(1);
  rows[1][stat_col::kLiquidRate] = "23.05";
  rows[1][stat_col::kWaterCut] = "1";
  rows.back()[stat_col::kLiquidRate] = "1234.56";
  prt_stat_page(c, rows, "", "20261210");
  const auto* frame = &*std::find_if(c.items.begin(), c.items.end(),
                                     [](const auto& it) { return it.op == RecordingCanvas::Op::Rect; });
  EXPECT_NEAR(frame->x1 + frame->x2, 297.0, 1e-9);  // as much room left as right
  const double next_rule = frame->x1 + kStatColumns[stat_col::kWaterCut].print_left;
  for (const char* value : {"23.05", "1234.56"}) {
    SCOPED_TRACE(value);
    const auto* it = c.find_text(value);
    ASSERT_NE(it, nullptr);
    RecordingCanvas measure(297, 210, true);
    measure.font = it->font;
    EXPECT_LT(it->x1 + measure.text_width(value), next_rule);
  }
  // A value that fits keeps the body's 8 pt.
  EXPECT_DOUBLE_EQ(c.find_text("1")->font.size, 8.0);
}

}  // namespace
}  // namespace wb
