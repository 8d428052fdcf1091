// The toolbar's report workbooks. Two template workbooks live in the program folder under
// the names "reportem.dll" (the daily efficiency and balance report) and "report.dll" (the
// working report). The daily template is copied once a day to
// report/系统效率及平衡分析报表<yyyymmdd>.xlsx; the working template replaces report/report.xlsx
// every time and that copy is opened with the desktop's program for it.
//
// The templates are the program's own: when one is missing, the program writes its simple
// template under that name through the given workbook writer (so an edited template is
// never replaced); without a writer the user is told to reinstall. Anything else at a
// template's name (a FIFO, a device, a folder) is refused by name. A step that fails says
// which file and why (a full disk, …), and what the export wrote before it is removed again.
#pragma once

#include <string>
#include <vector>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/printing/excel_plan.h"

namespace wb {

inline constexpr const char* kDailyReportTemplate = "reportem.dll";
inline constexpr const char* kReportTemplate = "report.dll";
inline constexpr const char* kReportCopyName = "report.xlsx";

// "系统效率及平衡分析报表" + yyyymmdd + ".xlsx"
std::string daily_report_name(const std::string& yyyymmdd);
// Today's local date as yyyymmdd.
std::string today_yyyymmdd();

// The cells of the program's own templates: a title row and the column headings of the
// power/balance summary, for the daily report, or of the working report.
std::vector<ExcelCell> report_template_cells(bool daily);

struct [[nodiscard]] ReportOutcome {
  bool daily_copied = false;   // a daily copy was made now
  bool opened = false;         // report.xlsx was handed to the desktop and opened
  std::string opened_path;     // report.xlsx, when it was copied
};

// Image1_Click(10). `template_writer` may be null: then a missing template is reported.
ReportOutcome run_report_workbooks(const ProgramFolder& prog, const std::string& yyyymmdd,
                                   WorkbookWriter* template_writer, MessageService& messages, ShellService& shell);

}  // namespace wb
