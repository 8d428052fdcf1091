// The spreadsheet export's cell plan and its steps around the workbook, with a scripted
// message box, shell and workbook writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/printing/excel_plan.h"

namespace wb {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table table(int rows, int cols) {
  Table t(rows, std::vector<std::string>(cols));
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) t[i][j] = "r" + std::to_string(i) + "c" + std::to_string(j);
  return t;
}

std::vector<std::string> addresses(const std::vector<ExcelCell>& plan) {
  std::vector<std::string> out;
  for (const auto& c : plan) out.push_back(c.address);
  return out;
}

TEST(ExcelPlan, AddressesAreLowerCaseLetterAndRowNumber) {
  struct Case {
    int row, col;
    const char* address;
  } cases[] = {{0, 0, "a1"}, {4, 2, "c5"}, {0, 25, "z1"}, {99, 10, "k100"}, {0, 26, "aa1"}, {1, 27, "ab2"},
               {0, 51, "az1"}, {0, 52, "ba1"}, {0, 701, "zz1"}, {0, 702, "aaa1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(excel_cell_address(c.row, c.col), c.address);
  }
}

TEST(ExcelPlan, ThreeRowsTwoColumnsInRowOrder) {
  auto plan = excel_cell_plan(table(3, 2), 2, 1);
  EXPECT_EQ(addresses(plan), (std::vector<std::string>{"a1", "b1", "a2", "b2", "a3", "b3"}));
  EXPECT_EQ(plan[3].text, "r1c1");
  EXPECT_EQ(plan[3].row, 1);
  EXPECT_EQ(plan[3].col, 1);
}

TEST(ExcelPlan, ColumnSpans) {
  struct Case {
    int cols;
    const char* last;
  } cases[] = {{11, "k1"}, {26, "z1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cols);
    auto plan = excel_cell_plan(table(1, c.cols), 0, static_cast<std::int16_t>(c.cols - 1));
    ASSERT_EQ(static_cast<int>(plan.size()), c.cols);
    EXPECT_EQ(plan.front().address, "a1");
    EXPECT_EQ(plan.back().address, c.last);
  }
}

TEST(ExcelPlan, BoundsBeyondTheTableReadEmptyAndNegativeBoundsGiveNothing) {
  auto plan = excel_cell_plan(table(1, 1), 1, 1);
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].text, "r0c0");
  for (std::size_t i = 1; i < 4; ++i) EXPECT_TRUE(plan[i].text.empty()) << i;
  EXPECT_TRUE(excel_cell_plan(table(2, 2), -1, 1).empty());
  EXPECT_TRUE(excel_cell_plan(table(2, 2), 1, -1).empty());
}

TEST(ExcelPlan, NumbersLandAsNumbersOtherTextsAsText) {
  struct Case {
    const char* text;
    bool is_number;
    double value;
  } cases[] = {{"12.5", true, 12.5}, {"-.5", true, -0.5},  {" 7 ", true, 7},      {"1.2E+3", true, 1200},
               {"0", true, 0},       {"5.", true, 5},      {"井号", false, 0},    {"12kN", false, 0},
               {"", false, 0},       {"1e", false, 0},     {"-", false, 0},       {"1,5", false, 0},
               {"1d3", false, 0},    {"0x10", false, 0},   {"inf", false, 0},     {"1 2", false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto plan = excel_cell_plan(Table{{c.text}}, 0, 0);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].text, c.text);
    ASSERT_EQ(plan[0].number.has_value(), c.is_number);
    if (c.is_number) {
      EXPECT_DOUBLE_EQ(*plan[0].number, c.value);
    }
  }
}

struct FakeMessages : MessageService {
  struct Shown {
    std::string text, title;
    MsgButtons buttons;
  };
  std::vector<Shown> shown;
  MsgAnswer answer = MsgAnswer::Yes;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) override {
    shown.push_back({text, title, buttons});
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : answer;
  }
};

struct FakeShell : ShellService {
  std::vector<std::string> opened;
  bool can_open = true;
  bool open_document(const std::string& path) override {
    opened.push_back(path);
    return can_open;
  }
  void beep() override {}
};

struct FakeWriter : WorkbookWriter {
  std::vector<std::string> files;
  std::vector<ExcelCell> cells;
  bool ok = true;
  std::optional<Refusal> write(const std::string& file_name, const std::vector<ExcelCell>& c) override {
    files.push_back(file_name);
    cells = c;
    if (!ok) return Refusal("磁盘已满。");
    return std::nullopt;
  }
};

const std::string kFile = "/pf/report/扶正器20240102.xlsx";

TEST(ExportExcel, YesOpensTheSavedWorkbook) {
  FakeMessages msg;
  FakeShell shell;
  FakeWriter writer;
  EXPECT_TRUE(Export_Excel(table(3, 11), 2, 10, kFile, writer, msg, shell));
  EXPECT_EQ(writer.files, std::vector<std::string>{kFile});
  EXPECT_EQ(writer.cells.size(), 33u);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, "是否编辑" + kFile + "？");
  EXPECT_EQ(msg.shown[0].title, "提示");
  EXPECT_EQ(msg.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(shell.opened, std::vector<std::string>{kFile});
}

TEST(ExportExcel, NoLeavesOnlyTheSavedFile) {
  FakeMessages msg;
  msg.answer = MsgAnswer::No;
  FakeShell shell;
  FakeWriter writer;
  EXPECT_TRUE(Export_Excel(table(1, 1), 0, 0, kFile, writer, msg, shell));
  EXPECT_EQ(writer.files.size(), 1u);
  EXPECT_EQ(msg.shown.size(), 1u);
  EXPECT_TRUE(shell.opened.empty());
}

TEST(ExportExcel, NothingToOpenItSaysWhereTheWorkbookIs) {
  FakeMessages msg;
  FakeShell shell;
  shell.can_open = false;
  FakeWriter writer;
  EXPECT_TRUE(Export_Excel(table(1, 1), 0, 0, kFile, writer, msg, shell));
  ASSERT_EQ(msg.shown.size(), 2u);
  // No particular spreadsheet program is asked for: the workbook is there, only no viewer.
  EXPECT_EQ(msg.shown[1].text, "这台计算机上没有设置打开电子表格工作簿的程序，工作簿未能打开。\n工作簿已保存在：" +
                                   std::string(kFile));
  EXPECT_EQ(msg.shown[1].text.find("EXCEL"), std::string::npos);
  EXPECT_EQ(msg.shown[1].buttons, MsgButtons::Ok);
}

TEST(ExportExcel, AFailedWriteIsReportedAndNothingIsOffered) {
  FakeMessages msg;
  FakeShell shell;
  FakeWriter writer;
  writer.ok = false;
  EXPECT_FALSE(Export_Excel(table(1, 1), 0, 0, kFile, writer, msg, shell));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].buttons, MsgButtons::Ok);
  EXPECT_NE(msg.shown[0].text.find(kFile), std::string::npos);
  EXPECT_NE(msg.shown[0].text.find("磁盘已满。"), std::string::npos);
  EXPECT_TRUE(shell.opened.empty());
}

}  // namespace
}  // namespace wb
