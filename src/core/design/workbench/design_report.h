// The printed rod-string design report: one A4 portrait page of 237 cells drawn by the
// shared rod-table printer (well data, the string and pump before and after the design,
// the centralizer depths), followed by the centralizer table on A4 landscape pages, 30
// centralizers a page, each page with its title, the designing unit and the date.
//
// Every copy prints the report page as a job of its own, then the centralizer table as
// another; the report prints what the boxes hold at that moment and recomputes nothing.
#pragma once

#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

inline constexpr int kReportCells = 237;       // cells 0..236
inline constexpr int kReportFirstDepth = 117;  // the centralizer depths start here
inline constexpr int kReportDepths = 120;      // at most this many depths fit
inline constexpr int kFzqRowsPerPage = 30;

// The report's cells: 0 the well part of the title (trimmed well name padded with blanks or
// cut to 12 characters), 1..116 labels and box values (numbers in the print form, " 1200"),
// 117.. the non-blank depths of Grid2 column 1 in row order, at most 120. Leaves Grid2's
// current cell at column 1 of the last row read.
std::vector<std::string> design_report_cells(DesignState& st);
// The designer under the table (the designer box, trimmed).
std::string design_report_designer(const DesignState& st);

// The report page on the printer, ended as a job of its own.
void PrintDesignReport(Canvas& printer, DesignState& st);

// Pages of the centralizer table for a grid of `rows` rows (the heading included):
// 30 centralizers a page, at least one page (29 → 1, 30 → 1, 31 → 2).
int fzq_page_count(int rows);
// The date line's text, e.g. "2026年03月07日".
std::string fzq_print_date(int year, int month, int day);
// The centralizer table on A4 landscape pages; every cell of Grid2 as shown, the designing
// unit box and `date` in the line under the title. Ends the job.
void RodRepPrt(Canvas& printer, const DesignState& st, const std::string& date);

// One copy of the print button: the report page on A4 portrait, then the centralizer table.
void print_design_copy(Canvas& printer, DesignState& st, const std::string& date);

}  // namespace wb::design
