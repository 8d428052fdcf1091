// The single-well system efficiency report: one A4 portrait page with a titled table of 37
// caption/value rows taken unchanged from the efficiency window's boxes (Print_Table, 24
// rows by two column pairs, 7.3 mm rows, 50 mm captions, from (15, 18.5) mm, 180 mm wide,
// page frame 260 mm high, body 14 pt), the card chart in the empty lower rows of the right
// pair (frame from (111, 115.7) mm) and the electric chart below the table (frame from
// (24, 200.5) mm). The same procedure draws on the printer and on the preview page.
//
// The window's buttons (ui/efficiency/effi_report_print.h):
//   "预览": run the calculation (Cmd_Calc_Click); unless an input is missing,
//           preview_effi_report (the preview's A4 page).
//   "打印": print_effi_report: the print protocol with portrait, the paper box on its A4
//           entry and disabled; each copy on A4 portrait, one job per copy. The boxes are
//           printed as they are, without a calculation.
#pragma once

#include "core/common/canvas.h"
#include "core/efficiency/effi_report_charts.h"
#include "core/efficiency/well_base_record.h"
#include "core/printing/table_printer.h"

namespace wb {

inline constexpr const char* kEffiReportTitle = "抽油机井单井系统效率测试计算表";
inline constexpr int kEffiReportRows = 37;

// The page's table layout (value width 0: Print_Table makes it 40 mm).
TableLayout effi_report_layout();

// Entry 0 the title, entries 1..37 the captions and the box texts unchanged; the test date
// is the first 8 characters of box 23; the pair boxes 31 and 32 are split at their first
// "/" (without one, the whole text is the first value and the second is empty).
TableCells Fill_Effi_Table(const EffiBoxTexts& Text1);

// Draws the page on `target` (millimetres): table, electric chart, card chart; on the
// printer it then ends the job. Rewrites stroke.qqs (iup_line). Returns the rod length of
// the card chart (Rod_Len_Sum).
double prt_effi_page(Canvas& target, const EffiBoxTexts& Text1, EffiStroke& stroke);

}  // namespace wb
