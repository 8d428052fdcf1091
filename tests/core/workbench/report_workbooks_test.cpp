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

}

// A step that fails (the disk full while a template is written, a copy that cannot be
// written) is said with its file and cause, and whatever the export wrote before is removed.
TEST(ReportWorkbooks, AFailedStepIsSaidAndLeavesNothingWritten) {
  struct FullDiskAfter : WorkbookWriter {
    int left;  // templates written before the disk is full
    explicit FullDiskAfter(int n) : left(n) {}
    std::optional<Refusal> write(const std::string& file_name, const std::vector<ExcelCell>&) override {
      if (left-- <= 0) return Refusal("磁盘已满");
      put_bytes(u8path(file_name), Bytes{'T'});
      return std::nullopt;
    }
  };
  enum class Fault { DailyTemplate, WorkingTemplate, WorkingTemplateOnlyMissing, WorkingCopy };
  struct Case {
    const char* name;
    Fault fault;
    const char* failed_file;  // relative to the program folder
    const char* cause;
  };
  const Case cases[] = {
      {"daily template on a full disk", Fault::DailyTemplate, "reportem.dll", "磁盘已满"},
      {"working template on a full disk", Fault::WorkingTemplate, "report.dll", "磁盘已满"},
      {"working template alone on a full disk", Fault::WorkingTemplateOnlyMissing, "report.dll", "磁盘已满"},
      {"working copy cannot replace a folder", Fault::WorkingCopy, "report/report.xlsx", "directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempProgram tmp;
    FullDiskAfter writer(c.fault == Fault::WorkingTemplate ? 1 : c.fault == Fault::WorkingCopy ? 2 : 0);
    if (c.fault == Fault::WorkingTemplateOnlyMissing) put_bytes(tmp.prog.root / "reportem.dll", Bytes{'D'});
    if (c.fault == Fault::WorkingCopy) fs::create_directories(tmp.prog.report() / "report.xlsx" / "inside");
    FakeMessages msgs;
    FakeShell shell;
    const auto out = run_report_workbooks(tmp.prog, "20240305", &writer, msgs, shell);
    EXPECT_FALSE(out.daily_copied);
    EXPECT_FALSE(out.opened);
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_EQ(msgs.texts[0].find("未找到"), std::string::npos) << msgs.texts[0];
    EXPECT_NE(msgs.texts[0].find(path_text(tmp.prog.root / c.failed_file)), std::string::npos) << msgs.texts[0];
    EXPECT_NE(msgs.texts[0].find(c.cause), std::string::npos) << msgs.texts[0];
    // Nothing of this export is left: no template it made, no daily copy.
    EXPECT_FALSE(fs::exists(tmp.prog.report() / u8path("系统效率及平衡分析报表20240305.xlsx")));
    EXPECT_FALSE(fs::exists(tmp.prog.root / "report.dll"));
    EXPECT_EQ(fs::exists(tmp.prog.root / "reportem.dll"), c.fault == Fault::WorkingTemplateOnlyMissing);
    EXPECT_TRUE(list_files(tmp.prog.report(), "*").empty());
  }
}

// Something other than a file at a template's name is refused by its name, never replaced.
TEST(ReportWorkbooks, ATemplateThatIsNoFileIsRefusedByName) {
  for (const char* name : {"reportem.dll", "report.dll"}) {
    SCOPED_TRACE(name);
    test::TempProgram tmp;
    put_bytes(tmp.prog.root / "reportem.dll", Bytes{'D'});
    put_bytes(tmp.prog.root / "report.dll", Bytes{'R'});
    fs::remove(tmp.prog.root / name);
    fs::create_symlink("/dev/zero", tmp.prog.root / name);
    FakeMessages msgs;
    FakeShell shell;
    FakeWriter writer;
    std::ignore = run_report_workbooks(tmp.prog, "20240305", &writer, msgs, shell);
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_NE(msgs.texts[0].find(path_text(tmp.prog.root / name)), std::string::npos) << msgs.texts[0];
    EXPECT_NE(msgs.texts[0].find("不是普通文件"), std::string::npos) << msgs.texts[0];
    EXPECT_TRUE(writer.written.empty());
    EXPECT_TRUE(fs::is_symlink(tmp.prog.root / name));
    EXPECT_TRUE(list_files(tmp.prog.report(), "*").empty());
  }
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
