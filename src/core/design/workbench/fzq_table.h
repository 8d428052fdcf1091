// The centralizer table Grid2 of the design window: its workbook export, its in-grid depth
// editor with the check of a typed depth, and the row commands that no control offers (kept,
// tested, and reached by nothing in the window).
#pragma once

#include <string>
#include <vector>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/design/engine/design_outcome.h"
#include "core/design/engine/design_state.h"
#include "core/printing/excel_plan.h"

namespace wb::design {

inline constexpr const char* kFzqWorkbookSuffix = "扶正器布置数据表.xlsx";
inline constexpr const char* kFzqDepthOrderMessage = "请检查当前记录油杆深度数据的是否合理!";
inline constexpr double kFzqLeastDepth = 100;  // m, the shallowest centralizer row

// The workbook of the well: report/<well>扶正器布置数据表.xlsx; empty when the trimmed well name
// would make a file name that can leave the report folder.
std::string fzq_workbook_path(const ProgramFolder& folder, const std::string& well);
// Every cell of the table, trimmed of blanks, headings and row numbers included.
std::vector<std::vector<std::string>> fzq_export_cells(const TextGrid& g);
// "导入到Excel": the table into the well's workbook through Export_Excel: `done`; `refused`
// when the well name cannot make a file name, `failed` when the workbook could not be
// written (both told).
DesignOutcome ImportExcel_Click(const DesignState& st, const ProgramFolder& folder, WorkbookWriter& writer,
                       MessageService& msg, ShellService& shell);

// The editor's events. A key (character code) is accepted when it is Enter, Backspace or a
// digit; any other is discarded (set to 0). Enter moves Grid2 to the next row, after the last
// to row 1, and returns true: the editor is to be placed over the new row's depth.
bool txtEdit_KeyPress(DesignState& st, int& key_ascii);
void txtEdit_Change(DesignState& st, const std::string& text);

// Row commands of the table.
void mnuAdd_Click(TextGrid& g);
void mnuIns_Click(TextGrid& g);
void mnuDel_Click(TextGrid& g);

// Commits the editor's text, trimmed, into column 1 of row fzq_edit_row when it is a number
// and the depths keep falling down the table (`done`); otherwise says so, writes nothing and
// leaves row fzq_edit_row current (`refused`). `pump_depth` is the pump depth after the
// design, m. Clears fzq_edit_changed either way. The window's Enter runs it.
[[nodiscard]] DesignOutcome commit_fzq_depth(DesignState& st, double pump_depth, MessageService& msg);
// commit_fzq_depth after copying the depth column, in whole metres, into reserved_2088 of the
// working record. Nothing calls it: that field is stored as the record holds it.
DesignOutcome CommitCellEdit(DesignState& st, double pump_depth, MessageService& msg);

}  // namespace wb::design
