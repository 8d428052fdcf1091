// The design window's outputs: the IPR view, the curves window, the design report, the
// centralizer-table print and the text tables. Each command does nothing until its output
// is built.
#include "ui/design/rod_design.h"

namespace wb::design {

void RodDesign::Cmd_Redraw_IPR_Click() {}
void RodDesign::pic_show_Click() {}
void RodDesign::PrintCom_Click() {}
void RodDesign::Cmd_SaveToTxt_Click() {}
void RodDesign::RodPrint_Click() {}

}  // namespace wb::design
