// The spreadsheet export writes a real .xlsx workbook: read it back by unzipping its sheet
// and shared-string parts (the unzip tool of the test set-up) and look the cells up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/workbench/report_workbooks.h"
#include "platform/excel_export.h"
#include "platform/services_qt.h"
#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// One part of a zip file as text; empty when unzip or the part is missing.
std::string unzip_part(const fs::path& zip, const std::string& part, const fs::path& scratch) {
  fs::path out = scratch / "part.xml";
  fs::remove(out);
  std::string cmd = "unzip -p '" + zip.string() + "' '" + part + "' > '" + out.string() + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return {};
  std::ifstream in(out, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Shared strings in order: the text of each <si><t>…</t></si>.
std::vector<std::string> shared_strings(const std::string& xml) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while ((pos = xml.find("<si>", pos)) != std::string::npos) {
    std::size_t t = xml.find("<t", pos);
    std::size_t b = xml.find('>', t) + 1;
    std::size_t e = xml.find("</t>", b);
    out.push_back(xml.substr(b, e - b));
    pos = e;
  }
  return out;
}

// Cell values by upper-case address: shared strings resolved, numbers as written.
std::map<std::string, std::string> sheet_cells(const std::string& sheet, const std::vector<std::string>& strings) {
  std::map<std::string, std::string> out;
  std::size_t pos = 0;
  while ((pos = sheet.find("<c r=\"", pos)) != std::string::npos) {
    std::size_t a = pos + 6, ae = sheet.find('"', a);
    std::string address = sheet.substr(a, ae - a);
    std::size_t close = sheet.find('>', ae);
    std::string attrs = sheet.substr(ae, close - ae);
    std::size_t v = sheet.find("<v>", close), ve = sheet.find("</v>", v);
    std::string value = sheet.substr(v + 3, ve - v - 3);
    if (attrs.find("t=\"s\"") != std::string::npos) value = "str:" + strings.at(std::stoul(value));
    else value = "num:" + value;
    out[address] = value;
    pos = ve;
  }
  return out;
}

bool have_unzip() { return std::system("command -v unzip > /dev/null 2>&1") == 0; }

TEST(ExcelExport, WorkbookHoldsTheCellsWithTheirValuesAndChineseText) {
  ASSERT_TRUE(have_unzip()) << "the test set-up installs unzip";
  test::TempProgramFolder pf;
  fs::create_directories(pf.path() / "report");
  const fs::path file = pf.path() / "report" / "扶正器分布20240102.xlsx";
  // The centralizer grid's shape: a header row and 11 columns, texts and numbers mixed.
  std::vector<std::vector<std::string>> cells = {
      {"序号", "井深(m)", "侧向力(kN)", "扶正器", "", "", "", "", "", "", "A&B<1>"},
      {"1", "1250.5", "-.25", "有", "", "", "", "", "", "", "末列"},
  };
  test::FakeMessages msg;
  msg.answers = {MsgAnswer::No};
  test::FakeShell shell;
  ASSERT_TRUE(Export_Excel(cells, 1, 10, file.string(), msg, shell));
  ASSERT_TRUE(fs::exists(file));
  EXPECT_FALSE(fs::exists(fs::path(file.string() + ".tmp~")));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, "是否编辑" + file.string() + "？");
  EXPECT_TRUE(shell.opened.empty());

  std::string sheet = unzip_part(file, "xl/worksheets/sheet1.xml", pf.path());
  ASSERT_FALSE(sheet.empty());
  auto strings = shared_strings(unzip_part(file, "xl/sharedStrings.xml", pf.path()));
  auto got = sheet_cells(sheet, strings);
  std::map<std::string, std::string> expected = {
      {"A1", "str:序号"}, {"B1", "str:井深(m)"}, {"C1", "str:侧向力(kN)"}, {"D1", "str:扶正器"},
      {"K1", "str:A&amp;B&lt;1&gt;"}, {"A2", "num:1"}, {"B2", "num:1250.5"}, {"C2", "num:-0.25"},
      {"D2", "str:有"}, {"K2", "str:末列"}};
  EXPECT_EQ(got, expected);  // the empty cells E..J stay blank
  EXPECT_NE(unzip_part(file, "xl/workbook.xml", pf.path()).find("name=\"Sheet1\""), std::string::npos);
}

TEST(ExcelExport, YesOpensItAndAMissingProgramIsReported) {
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "t.xlsx";
  test::FakeMessages msg;
  msg.answers = {MsgAnswer::Yes};
  test::FakeShell shell;
  shell.can_open = false;
  ASSERT_TRUE(Export_Excel({{"x"}}, 0, 0, file.string(), msg, shell));
  EXPECT_EQ(shell.opened, std::vector<std::string>{file.string()});
  ASSERT_EQ(msg.shown.size(), 2u);
  EXPECT_EQ(msg.shown[1].text, workbook_not_opened_message(file.string()));
  EXPECT_TRUE(fs::exists(file));
}

namespace {

// A desktop that knows the workbook's type but has no application for it.
struct NoSpreadsheetProgram : DesktopAssociations {
  QString file_type(const QString&) override {
    return QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
  }
  QString default_application(const QString&) override { return {}; }
};

}  // namespace

// With no application for workbooks the desktop's opener is not run (it would start a text
// web browser that never ends) and the "no program" message names the workbook.
TEST(ExcelExport, NoProgramForWorkbooksIsSaidWithThePath) {
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "t.xlsx";
  test::FakeMessages msg;
  msg.answers = {MsgAnswer::Yes};
  NoSpreadsheetProgram desktop;
  QtShellService shell;
  shell.opener = QStringLiteral("true");  // an opener that would say it opened the file
  shell.associations = &desktop;
  ASSERT_TRUE(Export_Excel({{"x"}}, 0, 0, file.string(), msg, shell));
  ASSERT_EQ(msg.shown.size(), 2u);
  EXPECT_EQ(msg.shown[1].text, workbook_not_opened_message(file.string()));
}

TEST(ExcelExport, AWorkbookThatCannotBeWrittenIsExplainedInChinese) {
  test::TempProgramFolder pf;
  const std::string file = (pf.path() / "no such folder" / "t.xlsx").string();
  test::FakeMessages msg;
  test::FakeShell shell;
  EXPECT_FALSE(Export_Excel({{"x"}}, 0, 0, file, msg, shell));
  ASSERT_EQ(msg.shown.size(), 1u);
  const std::string& text = msg.shown[0].text;
  EXPECT_EQ(text.rfind(std::string(kExcelSaveFailedText) + file + "\n原因：", 0), 0u) << text;
  // The reason is the user's language, not the library's: no ASCII letters in it.
  const std::string reason = text.substr(text.find("原因："));
  EXPECT_TRUE(std::none_of(reason.begin(), reason.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
      << reason;
  EXPECT_TRUE(shell.opened.empty());
}

TEST(ExcelExport, ReplacesAnOlderWorkbookOfTheSameName) {
  ASSERT_TRUE(have_unzip());
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "t.xlsx";
  std::ofstream(file) << "old";
  XlsxWorkbookWriter writer;
  const std::optional<Refusal> refused = writer.write(file.string(), excel_cell_plan({{"新"}}, 0, 0));
  ASSERT_FALSE(refused) << refused->message;
  auto strings = shared_strings(unzip_part(file, "xl/sharedStrings.xml", pf.path()));
  EXPECT_EQ(strings, std::vector<std::string>{"新"});
}

// The workbook is made away from the target's folder and written over the target whole: a
// link someone left at a temporary name beside it is never written through.
TEST(ExcelExport, ALinkBesideTheWorkbookIsNotWrittenThrough) {
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "t.xlsx";
  const fs::path victim = pf.path() / "victim.txt";
  std::ofstream(victim) << "keep";
  fs::create_symlink(victim, fs::path(file.string() + ".tmp~"));
  XlsxWorkbookWriter writer;
  EXPECT_EQ(writer.write(file.string(), excel_cell_plan({{"x"}}, 0, 0)), std::nullopt);
  std::ifstream in(victim);
  std::string kept;
  std::getline(in, kept);
  EXPECT_EQ(kept, "keep");
  ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
  char magic[2] = {};
  std::ifstream(file, std::ios::binary).read(magic, 2);
  EXPECT_EQ(std::string(magic, 2), "PK");  // a zip container
}

TEST(ExcelExport, AnUnwritableFolderIsReportedAndLeavesNoFile) {
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "missing" / "t.xlsx";
  test::FakeMessages msg;
  test::FakeShell shell;
  EXPECT_FALSE(Export_Excel({{"x"}}, 0, 0, file.string(), msg, shell));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].buttons, MsgButtons::Ok);
  EXPECT_NE(msg.shown[0].text.find(file.string()), std::string::npos);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(fs::exists(pf.path() / "missing"));
}

// Headings are not cut: each column is as wide as its longest text, a Chinese character
// counting as two digits of the sheet's font.
TEST(ExcelExport, ColumnsAreWideEnoughForTheirHeadings) {
  ASSERT_TRUE(have_unzip());
  test::TempProgramFolder pf;
  const fs::path file = pf.path() / "w.xlsx";
  XlsxWorkbookWriter writer;
  const std::vector<std::vector<std::string>> rows = {{"实测冲程(m)", "n", "ABCDEFGHIJKLMNOP"}, {"3.0", "1", "2"}};
  ASSERT_FALSE(writer.write(file.string(), excel_cell_plan(rows, 1, 2)).has_value());
  const std::string sheet = unzip_part(file, "xl/worksheets/sheet1.xml", pf.path());
  // 实测冲程 4 x 2, "(m)" 3, one to spare: 12; 16 letters and one: 17; "n" keeps the default.
  EXPECT_NE(sheet.find(R"(<col min="1" max="1" width="12.7109375" customWidth="1"/>)"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find(R"(<col min="3" max="3" width="17.7109375" customWidth="1"/>)"), std::string::npos) << sheet;
  EXPECT_EQ(sheet.find(R"(<col min="2")"), std::string::npos);
}

// The report templates' titles are merged across their tables and size no column: column A
// is as wide as "序号" (the sheet's default), not as the title.
TEST(ExcelExport, TitlesAreMergedAcrossTheTableAndSizeNoColumn) {
  ASSERT_TRUE(have_unzip());
  const struct {
    bool daily;
    const char* merged;
    const char* title;
  } cases[] = {{true, R"(<mergeCell ref="A1:AB1"/>)", "系统效率及平衡分析报表"},
               {false, R"(<mergeCell ref="A1:I1"/>)", "抽油机井测试分析报表"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    test::TempProgramFolder pf;
    const fs::path file = pf.path() / "t.xlsx";
    XlsxWorkbookWriter writer;
    ASSERT_FALSE(writer.write(file.string(), report_template_cells(c.daily)).has_value());
    const std::string sheet = unzip_part(file, "xl/worksheets/sheet1.xml", pf.path());
    EXPECT_NE(sheet.find(c.merged), std::string::npos) << sheet;
    EXPECT_EQ(sheet.find(R"(<col min="1")"), std::string::npos) << sheet;
    const auto cells =
        sheet_cells(sheet, shared_strings(unzip_part(file, "xl/sharedStrings.xml", pf.path())));
    EXPECT_EQ(cells.at("A1"), std::string("str:") + c.title);
    EXPECT_EQ(cells.at("A3"), "str:序号");
  }
}

}  // namespace
}  // namespace wb
