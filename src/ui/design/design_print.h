// Printing of the design window: "打印" (the print dialog with portrait preset and the paper
// box locked on A4, then per copy the report page and the centralizer table, each its own
// job) and the centralizer table's pop-up "打印" (the table once, on the current settings,
// without the dialog).
#pragma once

#include <string>

#include "core/design/engine/design_state.h"

class QWidget;

namespace wb::design {

// Returns the copies printed (0 when cancelled or when the printer failed, which is said).
int PrintCom_Click(QWidget* caller, DesignState& st);
// Returns true when the table was printed.
bool RodPrint_Click(QWidget* caller, const DesignState& st);
// Today's date as the centralizer table prints it.
std::string fzq_print_date_today();

}  // namespace wb::design
