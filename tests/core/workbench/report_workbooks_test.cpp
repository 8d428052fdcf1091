// The report workbooks: the program's own templates made when missing, the daily copy
// made once a day, the working copy replaced every time and opened.
#include "core/workbench/report_workbooks.h"

#include <gtest/gtest.h>
#include <tuple>

#include "core/common/bytes.h"
#include "temp_program_folder.h"

using namespace wb;
using wb::test::file_bytes;
using wb::test::put_bytes;

namespace {

namespace fs = std::filesystem;

struct FakeWriter : WorkbookWriter {
  std::vector<std::string> written;
  bool fail = false;
  std::optional<Refusal> write(const std::string& file_name, const std::vector<ExcelCell>& cells) override {
    if (fail) return Refusal("no");
    written.push_back(file_name);
    std::string text = cells.empty() ? "" : cells[0].text;
    put_bytes(u8path(file_name), Bytes(text.begin(), text.end()));
    return std::nullopt;
  }
};

struct FakeMessages : MessageService {
  std::vector<std::string> texts;
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
    texts.push_back(text);
    return MsgAnswer::Ok;
  }
};

struct FakeShell : ShellService {
  std::vector<std::string> opened;
  bool ok = true;
  bool open_document(const std::string& path) override {
    opened.push_back(path);
    return ok;
  }
  void beep() override {}
};

}  // namespace

TEST(ReportWorkbooks, DailyCopyOnceAndWorkingCopyEveryTime) {
  test::TempProgram tmp;
  put_bytes(tmp.prog.root / "reportem.dll", Bytes{'D', '1'});
  put_bytes(tmp.prog.root / "report.dll", Bytes{'R', '1'});
  FakeMessages msgs;
  FakeShell shell;
  auto out = run_report_workbooks(tmp.prog, "20240305", nullptr, msgs, shell);
  const fs::path daily = tmp.prog.report() / u8path("系统效率及平衡分析报表20240305.xlsx");
  const fs::path copy = tmp.prog.report() / "report.xlsx";
  EXPECT_TRUE(out.daily_copied);
  EXPECT_TRUE(out.opened);
  EXPECT_EQ(file_bytes(daily), (Bytes{'D', '1'}));
  EXPECT_EQ(file_bytes(copy), (Bytes{'R', '1'}));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], path_text(copy));
  EXPECT_TRUE(msgs.texts.empty());

  // Same day again: the daily copy stays as it was, report.xlsx is replaced.
  put_bytes(daily, Bytes{'e', 'd', 'i', 't'});
  put_bytes(tmp.prog.root / "reportem.dll", Bytes{'D', '2'});
  put_bytes(tmp.prog.root / "report.dll", Bytes{'R', '2'});
  out = run_report_workbooks(tmp.prog, "20240305", nullptr, msgs, shell);
  EXPECT_FALSE(out.daily_copied);
  EXPECT_EQ(file_bytes(daily), (Bytes{'e', 'd', 'i', 't'}));
  EXPECT_EQ(file_bytes(copy), (Bytes{'R', '2'}));
  EXPECT_EQ(shell.opened.size(), 2u);
}

TEST(ReportWorkbooks, MissingTemplatesAreMadeByTheProgramOrReported) {
  test::TempProgram tmp;
  FakeMessages msgs;
  FakeShell shell;
  FakeWriter writer;
  auto out = run_report_workbooks(tmp.prog, "20240305", &writer, msgs, shell);
  EXPECT_TRUE(out.opened);
  ASSERT_EQ(writer.written.size(), 2u);
  EXPECT_EQ(writer.written[0], path_text(tmp.prog.root / "reportem.dll"));
  EXPECT_EQ(writer.written[1], path_text(tmp.prog.root / "report.dll"));
  EXPECT_TRUE(msgs.texts.empty());
  // An existing (perhaps edited) template is never rewritten.
  std::ignore = run_report_workbooks(tmp.prog, "20240306", &writer, msgs, shell);
  EXPECT_EQ(writer.written.size(), 2u);

  // Without a way to make them: the missing template is named, nothing is copied.
  test::TempProgram bare;
  out = run_report_workbooks(bare.prog, "20240305", nullptr, msgs, shell);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "未找到动态链接文件：" + path_text(bare.prog.root / "reportem.dll") + "请重新安装。");
  EXPECT_TRUE(list_files(bare.prog.report(), "*").empty());

  // Only report.dll missing: the daily copy is made, then report.dll is named.
  put_bytes(bare.prog.root / "reportem.dll", Bytes{'D'});
  FakeWriter failing;
  failing.fail = true;
  out = run_report_workbooks(bare.prog, "20240305", &failing, msgs, shell);
  EXPECT_TRUE(out.daily_copied);
  ASSERT_EQ(msgs.texts.size(), 2u);
  EXPECT_EQ(msgs.texts[1], "未找到动态链接文件：" + path_text(bare.prog.root / "report.dll") + "请重新安装。");
  EXPECT_FALSE(fs::exists(bare.prog.report() / "report.xlsx"));
}

TEST(ReportWorkbooks, NoProgramForTheWorkbookIsReported) {
  test::TempProgram tmp;
  put_bytes(tmp.prog.root / "reportem.dll", Bytes{'D'});
  put_bytes(tmp.prog.root / "report.dll", Bytes{'R'});
  FakeMessages msgs;
  FakeShell shell;
  shell.ok = false;
  auto out = run_report_workbooks(tmp.prog, "20240305", nullptr, msgs, shell);
  EXPECT_FALSE(out.opened);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], workbook_not_opened_message(path_text(tmp.prog.report() / "report.xlsx")));
  EXPECT_NE(msgs.texts[0].find("report.xlsx"), std::string::npos);
}

TEST(ReportWorkbooks, TodayIsEightDigits) {
  std::string d = today_yyyymmdd();
  ASSERT_EQ(d.size(), 8u);
  EXPECT_TRUE(d.substr(0, 2) == "20" || d.substr(0, 2) == "19");
  EXPECT_EQ(daily_report_name("20240305"), "系统效率及平衡分析报表20240305.xlsx");
}
