// The balance report (平衡分析报告): a framed block of 140 × 123 mm with the well and test
// time, the chart of current and power before and after the automatic adjustment, and the
// advice in its printed form; two blocks to an A4 page, at 15 and 160 mm.
#pragma once

#include <optional>
#include <string>

#include "core/balance/balance_analysis.h"
#include "core/balance/phfx_record.h"
#include "core/common/canvas.h"

namespace wb {

inline constexpr double kReportUpperBlock = 15;   // mm: y of the chart's top line, upper block
inline constexpr double kReportLowerBlock = 160;  // mm: lower block

// Repeats the automatic analysis in `mode` without the input checks and without files, and
// returns the advice in print form (32-blank line prefix, no blank lines). Empty when the
// stroke cannot be analysed: no stroke, or no crank weight in a mode that divides by it.
[[nodiscard]] std::optional<std::string> report_analysis(BalanceState& a, BalanceMode mode);

// prt_Disp_PH's drawing of one block whose chart starts at `yy` mm.
void draw_report_block(Canvas& c, const BalanceState& a, const std::string& advice, double yy, bool show_current,
                       bool show_power);
// In place of a block that cannot be printed: the record's number, well and the reason.
void draw_report_note(Canvas& c, double yy, const std::string& note);

// Loads a stored record into a copy of the window's state for printing: the stroke, the crank
// members, and the beam members and the rated torque only for beam and combined balance
// (otherwise they keep the window's values). Returns the record's mode.
BalanceMode load_record_for_print(BalanceState& a, const PhfxRecord& rec);

}  // namespace wb
