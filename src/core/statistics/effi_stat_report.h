// The printed statistics report "机械采油井系统效率统计分析表": A4 landscape pages in
// millimetres, a ruled 23-column table of 36 body rows a page under a repeated title and
// header band, the tabulating unit and date above each table, and the average row in the
// last body row of the last page. floor(d / 36) + 1 pages for d data rows: the last page
// always keeps its last body row for the average row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/common/canvas.h"
#include "core/statistics/effi_stat_table.h"

namespace wb {

inline constexpr int kStatReportRowsPerPage = 36;

// The text without any character of code 0 to 32 (controls and blanks), wherever it stands.
std::string mytrim(std::string_view xtemp);
// Pages of the report for d data rows.
int stat_report_pages(int d);
// The page head: title, frame, rules and the two header lines of each column.
void tab_prt(Canvas& c);
// The whole report of the grid's rows (row 0 headers, last row the average row) on the
// printer, ended with end_doc. `unit` and `date` are the texts of the unit and date boxes.
void prt_stat_page(Canvas& c, const StatRows& rows, const std::string& unit, const std::string& date);

}  // namespace wb
