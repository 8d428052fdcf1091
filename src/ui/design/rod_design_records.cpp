// The design window's commands around the design record file: "保存", the choice of a well
// and of a design date, and the hooks through which the record store and the takeover from
// the diagnosis reach the window.
#include <QApplication>
#include <tuple>

#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"

namespace wb::design {

void RodDesign::SaveCom_Click() {
  // The survey is written only when edited, so a table the load step or a well choice left
  // short never replaces the stored survey.
  // The design is saved whether or not the survey could be: each says itself what failed.
  std::ignore = core.save_survey_if_changed();
  SaveDesignRecord();
  const QString well = JName_Comb->currentText();
  JNname_Add();
  JName_Comb->setEditText(well);
  st.JName_Comb = well.toStdString();
  sync_to_widgets();
}

void RodDesign::JName_Comb_Click() {
  // Survey edits that could not be saved keep the table, and the old well's dates.
  if (!went_through(core.reset_grids())) {
    sync_to_widgets();
    return;
  }
  const auto dates = com2_find();
  Date_Comb->clear();
  for (const std::string& d : dates) Date_Comb->addItem(QString::fromStdString(d));
  Date_Comb->setEditText(QString());
  st.Date_Comb.clear();
  if (dates.size() == 1) {
    st.Date_Comb = dates[0];
    Date_Comb->setEditText(QString::fromStdString(dates[0]));
    Date_Comb_Click();
  } else {
    // With several dates (or none) no design is loaded until one is chosen, but the table
    // and the 3D view show the chosen well's survey at once: edits then go into its own file.
    core.load_survey();
  }
  if (st.Grid2.rows() == 1) st.Grid2.set_rows(2);
  sync_to_widgets();
}

void RodDesign::Date_Comb_Click() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Survey edits that could not be saved stop the choice; the table stays as edited.
  std::ignore = core.Date_Comb_Click([this] { LoadDesignRecord(); }, [this] { Cmd_Redraw_IPR_Click(); });
  QApplication::restoreOverrideCursor();
  sync_to_widgets();
}

void RodDesign::JNname_Add() {
  records.list_wells();
  const bool was = syncing_;
  syncing_ = true;
  JName_Comb->clear();
  // In one insertion: an item added at a time tells the list's model and view each time.
  QStringList wells;
  wells.reserve(static_cast<qsizetype>(records.records.JName_list.size()));
  for (const std::string& w : records.records.JName_list) wells.append(QString::fromStdString(w));
  JName_Comb->addItems(wells);
  JName_Comb->setCurrentIndex(-1);
  JName_Comb->setEditText(QString::fromStdString(st.JName_Comb));
  syncing_ = was;
}

void RodDesign::LoadFromDiagnosis() {
  if (DiagnosisHandOver* d = diagnosis_hand_over()) {
    const DiagnosisView view{[d](std::string& w, std::int16_t& dda) { d->cygsj(w, dda); },
                             [d](int i) { return d->Text1(i); }, [d] { return d->Text5(); },
                             [d] { return d->Text6(); }};
    records.take_over(&view);
  } else {
    records.take_over(nullptr);
  }
  sync_to_widgets();
}

std::vector<std::string> RodDesign::com2_find() { return records.list_dates(); }
// The store tells the user why a design was not loaded or saved; the boxes then stay as they
// are and the date's survey and design go on from them.
void RodDesign::LoadDesignRecord() { std::ignore = records.load(); }
void RodDesign::SaveDesignRecord() { std::ignore = records.save(); }

}  // namespace wb::design
