// The design window's commands around the design record file: "保存", the choice of a well
// and of a design date, and the hooks through which the record store and the takeover from
// the diagnosis reach the window.
#include <QApplication>

#include "ui/design/rod_design.h"

namespace wb::design {

void RodDesign::SaveCom_Click() {
  // The survey is written only when edited, so a table the load step or a well choice left
  // short never replaces the stored survey.
  core.save_survey_if_changed();
  SaveDesignRecord();
  const QString well = JName_Comb->currentText();
  JNname_Add();
  JName_Comb->setEditText(well);
  st.JName_Comb = well.toStdString();
  sync_to_widgets();
}

void RodDesign::JName_Comb_Click() {
  core.reset_grids();
  const auto dates = com2_find();
  Date_Comb->clear();
  for (const std::string& d : dates) Date_Comb->addItem(QString::fromStdString(d));
  Date_Comb->setEditText(QString());
  st.Date_Comb.clear();
  if (dates.size() == 1) {
    st.Date_Comb = dates[0];
    Date_Comb->setEditText(QString::fromStdString(dates[0]));
    Date_Comb_Click();
  }
  if (st.Grid2.rows() == 1) st.Grid2.set_rows(2);
  sync_to_widgets();
}

void RodDesign::Date_Comb_Click() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  core.Date_Comb_Click([this] { LoadDesignRecord(); }, [this] { Cmd_Redraw_IPR_Click(); });
  QApplication::restoreOverrideCursor();
  sync_to_widgets();
}

void RodDesign::JNname_Add() {}
void RodDesign::LoadFromDiagnosis() {}
std::vector<std::string> RodDesign::com2_find() { return {}; }
void RodDesign::LoadDesignRecord() {}
void RodDesign::SaveDesignRecord() {}

}  // namespace wb::design
