// The design window's outputs: the inflow-performance tab, the curves window, the report
// and centralizer printing and the profile table. The work is done by the widgets and core
// functions they call; here they are tied to the window's controls and state.
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>
#include <tuple>

#include "core/design/workbench/text_tables.h"
#include "platform/grid.h"
#include "platform/services_qt.h"
#include "ui/design/design_print.h"
#include "ui/design/ipr_tab.h"
#include "ui/design/pic_show.h"
#include "ui/design/rod_design.h"

namespace wb::design {

void RodDesign::build_outputs() {
  ipr_tab = new IprTab(st, folder_, ipr_area);
  auto* lay = new QVBoxLayout(ipr_area);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->addWidget(ipr_tab);
  // The tab's own row below the panel carries the redraw button.
  ipr_tab->Cmd_Redraw_IPR->hide();
  connect(SSTab1, &QTabWidget::currentChanged, this,
          [this](int i) { ipr_tab->SSTab1_Click(SSTab1->tabText(i)); });
  connect(ipr_tab, &IprTab::design_labels_changed, this, [this] { sync_to_widgets(); });
}

void RodDesign::Cmd_Redraw_IPR_Click() {
  if (ipr_tab) ipr_tab->Cmd_Redraw_IPR_Click();
}

void RodDesign::pic_show_Click() {
  QPointer<RodDesign> self(this);
  PicShow::pic_show_Click(st, folder_, [self]() -> const DesignState* { return self ? &self->st : nullptr; });
  // The check made row 1, column 1 of the centralizer table its current cell.
  Grid2->setCurrentCell(st.Grid2.row, st.Grid2.col);
}

void RodDesign::PrintCom_Click() {
  design::PrintCom_Click(this, st);
  Grid2->setCurrentCell(st.Grid2.row, st.Grid2.col);
}

void RodDesign::RodPrint_Click() { design::RodPrint_Click(this, st); }

void RodDesign::Cmd_SaveToTxt_Click() {
  // A file that cannot be written is reported by the step; nothing else depends on it.
  std::ignore = design::Cmd_SaveToTxt_Click(folder_, st.profile, *services().messages);
}

}  // namespace wb::design
