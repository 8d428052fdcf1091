#include "core/workbench/report_workbooks.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "core/common/record_store.h"

namespace wb {

namespace fs = std::filesystem;

namespace {

// Column headings of the power/balance summary as the daily report lists it.
const char* const kDailyHeadings[] = {
    "序号",         "井号",          "测试日期",       "抽油机型号",     "电机型号",       "实测冲程(m)",
    "实测冲次(1/min)", "平均电压(V)",  "平均电流(A)",    "平均有功功率(kW)", "平均无功功率(kVar)", "平均视在功率(kVA)",
    "平均功率因数",   "每冲程耗电量(W.h)", "最大上行电流(A)", "最大下行电流(A)", "均方根电流(A)",  "电流平衡度",
    "平均上行功率(kW)", "平均下行功率(kW)", "均方根功率(kW)", "功率平衡度",     "泵效(%)",        "系统效率(%)",
    "平衡块数",       "平衡块位置(m)", "平衡块重(kN)",   "平衡调整建议",
};
const char* const kWorkingHeadings[] = {
    "序号", "井号", "测试日期", "系统效率(%)", "泵效(%)", "电流平衡度", "功率平衡度", "平衡调整建议", "备注",
};

template <std::size_t N>
std::vector<ExcelCell> sheet(const char* title, const char* const (&headings)[N]) {
  std::vector<ExcelCell> cells;
  cells.push_back({0, 0, excel_cell_address(0, 0), title, std::nullopt, static_cast<int>(N)});  // over the table
  cells.push_back({1, 0, excel_cell_address(1, 0), "单位：", std::nullopt});
  cells.push_back({1, 3, excel_cell_address(1, 3), "日期：", std::nullopt});
  for (std::size_t c = 0; c < N; ++c) {
    int col = static_cast<int>(c);
    cells.push_back({2, col, excel_cell_address(2, col), headings[c], std::nullopt});
  }
  return cells;
}

// The template at `path`, written now from the program's own cells when it is missing.
bool have_template(const fs::path& path, bool daily, WorkbookWriter* writer) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return true;
  if (!writer) return false;
  // A template that cannot be made is reported as missing, by its name.
  return !writer->write(path_text(path), report_template_cells(daily)) && fs::is_regular_file(path, ec);
}

bool copy_whole(const fs::path& from, const fs::path& to) {
  std::vector<std::uint8_t> content;
  return read_file(from, content) && write_file_atomic(to, content);
}

constexpr const char* kCopyFailedReason = "报表模板无法复制：模板不可读，或报表文件夹不可写、磁盘已满。";

void missing(MessageService& messages, const fs::path& path) {
  messages.show(std::string("未找到动态链接文件：") + path_text(path) + "请重新安装。", "", MsgButtons::Ok);
}

}  // namespace

std::string daily_report_name(const std::string& yyyymmdd) { return "系统效率及平衡分析报表" + yyyymmdd + ".xlsx"; }

std::string today_yyyymmdd() {
  std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  return buf;
}

std::vector<ExcelCell> report_template_cells(bool daily) {
  return daily ? sheet("系统效率及平衡分析报表", kDailyHeadings) : sheet("抽油机井测试分析报表", kWorkingHeadings);
}

ReportOutcome run_report_workbooks(const ProgramFolder& prog, const std::string& yyyymmdd,
                                   WorkbookWriter* template_writer, MessageService& messages, ShellService& shell) {
  ReportOutcome out;
  const fs::path daily_template = prog.root / kDailyReportTemplate;
  const fs::path work_template = prog.root / kReportTemplate;
  if (!have_template(daily_template, true, template_writer)) {
    missing(messages, daily_template);
    return out;
  }
  std::error_code ec;
  fs::create_directories(prog.report(), ec);
  const fs::path daily = prog.report() / u8path(daily_report_name(yyyymmdd));
  if (!fs::exists(daily, ec)) {
    if (!copy_whole(daily_template, daily)) {
      messages.show(workbook_not_saved_message(path_text(daily), kCopyFailedReason), "", MsgButtons::Ok);
      return out;
    }
    out.daily_copied = true;
  }
  if (!have_template(work_template, false, template_writer)) {
    missing(messages, work_template);
    return out;
  }
  const fs::path copy = prog.report() / kReportCopyName;
  if (!copy_whole(work_template, copy)) {
    messages.show(workbook_not_saved_message(path_text(copy), kCopyFailedReason), "", MsgButtons::Ok);
    return out;
  }
  out.opened_path = path_text(copy);
  out.opened = shell.open_document(out.opened_path);
  if (!out.opened) messages.show(workbook_not_opened_message(out.opened_path), "", MsgButtons::Ok);
  return out;
}

}  // namespace wb
