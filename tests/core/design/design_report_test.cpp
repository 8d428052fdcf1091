// The printed design report: its cells, the centralizer page plan and the order of the jobs
// of each copy on the printer.
#include <gtest/gtest.h>

#include "../test_canvas_util.h"
#include "core/design/workbench/design_report.h"
#include "core/printing/print_state.h"

namespace wb::design {
namespace {

using namespace wb::canvas_test;

TEST(DesignReport, TitleCellIsTheNameIn12Characters) {
  struct Case { std::string well; std::string cell; };
  const Case cases[] = {
      {"W1", "W1          "},
      {"  东12-3 ", "东12-3       "},
      {"ABCDEFGHIJKL", "ABCDEFGHIJKL"},
      {"井号一二三四五六七八九十甲乙丙", "井号一二三四五六七八九十"},  // 16 characters: the first 12
      {"", "            "},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.well);
    DesignState st;
    st.JName_Comb = k.well;
    EXPECT_EQ(design_report_cells(st)[0], k.cell);
  }
}

TEST(DesignReport, LabelsAndValuesInRowOrder) {
  DesignState st;
  st.Text6[0] = "12.5";     // static reservoir pressure
  st.Text3[3] = "56";       // bore before
  st.Text3[14] = "1200.5";  // pump depth after
  st.Text2 = "0.75";
  st.Label3[3] = "0.612";
  st.CyjType_Comb = " CYJ10-3-37HB ";
  st.Text6[4] = "abc";      // a box without a number prints 0
  const auto cells = design_report_cells(st);
  ASSERT_EQ(cells.size(), 237u);
  struct Case { int cell; std::string text; };
  const Case cases[] = {
      {1, "一、油井基础数据"}, {2, "设计单位"}, {3, ""}, {4, "抽油机型号"}, {5, "CYJ10-3-37HB"},
      {8, "地层压力MPa"}, {9, " 12.5"}, {10, "粘度mPa.S"}, {11, " 0"},
      {30, "二、目前杆管参数"}, {31, "泵  径 mm  "}, {32, " 56"},
      {43, "1’1 杆长 m"}, {47, "实际泵效 %   "}, {48, " .612"}, {55, "7”杆长 m  "},
      {73, "三、优化设计杆管参数"}, {74, "泵  径 mm"}, {82, "下泵深度 m   "}, {83, " 1200.5"},
      {90, "设计泵效 %   "}, {91, " .75"}, {115, " 0"}, {116, "四、油杆扶正器分布"}, {117, ""}, {236, ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.cell);
    EXPECT_EQ(cells[static_cast<std::size_t>(k.cell)], k.text);
  }
}

// Grid2 with `n` data rows of depths 2000, 1990, …; `blank` rows left empty.
DesignState with_depths(int n, std::initializer_list<int> blank = {}) {
  DesignState st;
  st.Grid2.set_rows(n + 1);
  for (int r = 1; r <= n; ++r) {
    if (std::find(blank.begin(), blank.end(), r) != blank.end()) continue;
    st.Grid2.set_text(r, 0, std::to_string(r));
    st.Grid2.set_text(r, 1, std::to_string(2000 - 10 * r));
  }
  return st;
}

TEST(DesignReport, CentralizerDepthCells) {
  {
    SCOPED_TRACE("heading only");
    DesignState st = with_depths(0);
    const auto cells = design_report_cells(st);
    for (int i = 117; i <= 236; ++i) EXPECT_EQ(cells[static_cast<std::size_t>(i)], "");
  }
  {
    SCOPED_TRACE("blank rows are packed");
    DesignState st = with_depths(4, {2});
    const auto cells = design_report_cells(st);
    EXPECT_EQ(cells[117], " 1990");
    EXPECT_EQ(cells[118], " 1970");
    EXPECT_EQ(cells[119], " 1960");
    EXPECT_EQ(cells[120], "");
    EXPECT_EQ(st.Grid2.row, 4);
    EXPECT_EQ(st.Grid2.col, 1);
  }
  {
    SCOPED_TRACE("130 rows: the first 120");
    DesignState st = with_depths(130);
    const auto cells = design_report_cells(st);
    EXPECT_EQ(cells[117], " 1990");
    EXPECT_EQ(cells[236], " " + std::to_string(2000 - 1200));
    EXPECT_EQ(st.Grid2.row, 120);
  }
}

TEST(DesignReport, CentralizerPagePlan) {
  for (auto [n, pages] : {std::pair{0, 1}, {1, 1}, {29, 1}, {30, 1}, {31, 2}, {60, 2}, {61, 3}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(fzq_page_count(n + 1), pages);
  }
  EXPECT_EQ(fzq_print_date(2026, 3, 7), "2026年03月07日");
}

// A printer that notes each page end and job end with the paper settings then in force.
struct PaperLog : RecordingCanvas {
  std::vector<std::string> log;
  PaperLog() : RecordingCanvas(210, 297, true) {}
  std::string paper() const {
    const auto& p = current_printer();
    return std::string(p.paper_code == kPaperA4 ? "A4" : "?") + (p.orientation == kPortrait ? " portrait" : " landscape");
  }
  void dev_new_page() override {
    log.push_back("page " + paper());
    RecordingCanvas::dev_new_page();
  }
  void dev_end_doc() override {
    log.push_back("job " + paper());
    RecordingCanvas::dev_end_doc();
  }
};

TEST(DesignReport, TableRowsPerPage) {
  struct Case { int rows; int pages; };
  for (const Case k : {Case{29, 1}, Case{30, 1}, Case{31, 2}}) {
    SCOPED_TRACE(k.rows);
    DesignState st = with_depths(k.rows);
    PaperLog c;
    RodRepPrt(c, st, "2026年12月10日");
    EXPECT_EQ(c.count(Op::NewPage), static_cast<std::size_t>(k.pages - 1));
    EXPECT_EQ(c.count(Op::EndDoc), 1u);
    EXPECT_EQ(c.texts_containing("抽油杆扶正器布置数据表").size(), static_cast<std::size_t>(k.pages));
    EXPECT_EQ(c.log.back(), "job A4 landscape");
  }
  // Row 31 opens page 2 under the heading row: y = 32 + 5.
  DesignState st = with_depths(31);
  RecordingCanvas c(297, 210, true);
  RodRepPrt(c, st, "D");
  std::size_t page_break = 0;
  for (std::size_t i = 0; i < c.items.size(); ++i)
    if (c.items[i].op == Op::NewPage) page_break = i;
  bool found = false;
  for (std::size_t i = page_break; i < c.items.size(); ++i)
    found = found || (c.items[i].op == Op::Text && c.items[i].text == "31" && near(c.items[i].y1, 37.0) &&
                      near(c.items[i].x1, 26.0));
  EXPECT_TRUE(found);
  EXPECT_NE(c.find_text("制表日期:D"), nullptr);
}

TEST(DesignReport, EmptyTableStillPrintsItsHeading) {
  DesignState st = with_depths(0);
  RecordingCanvas c(297, 210, true);
  RodRepPrt(c, st, "D");
  EXPECT_NE(c.find_text("扶正器间距(m)"), nullptr);
  // The bottom rule runs under the heading row.
  EXPECT_NE(find_line(c, 25, 36.3, 257, 36.3, 1e-9), nullptr);
}

TEST(DesignReport, EachCopyIsAReportJobThenATableJob) {
  DesignState st = with_depths(31);
  st.JName_Comb = "W1";
  PaperLog c;
  current_printer().orientation = kLandscape;  // whatever the dialog last chose
  for (int copy = 0; copy < 2; ++copy) print_design_copy(c, st, "D");
  const std::vector<std::string> want = {"job A4 portrait", "page A4 landscape", "job A4 landscape",
                                         "job A4 portrait", "page A4 landscape", "job A4 landscape"};
  EXPECT_EQ(c.log, want);
  EXPECT_EQ(c.texts_containing("抽油井杆柱优化设计表").size(), 2u);
  EXPECT_NE(c.find_text("W1          抽油井杆柱优化设计表"), nullptr);
}

}  // namespace
}  // namespace wb::design
