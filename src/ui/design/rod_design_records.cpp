// The design window's record commands: the well list and the takeover of the diagnosed well
// in the load step, "保存", and choosing a well or a design date. The sequences run in the
// core (DesignRecordCommands); here the combo lists follow the store's lists.
#include <QApplication>
#include <QCursor>
#include <QLineEdit>

#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"

namespace wb::design {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The diagnosis window as the takeover reads it.
DiagnosisView diagnosis_view(DiagnosisHandOver& d) {
  return {[&d](std::string& w, std::int16_t& dda) { d.cygsj(w, dda); }, [&d](int i) { return d.Text1(i); },
          [&d] { return d.Text5(); }, [&d] { return d.Text6(); }};
}

}  // namespace

void RodDesign::fill_record_lists() {
  const bool was = syncing_;
  syncing_ = true;
  JName_Comb->clear();
  for (const std::string& w : records.records.JName_list) JName_Comb->addItem(qs(w));
  Date_Comb->clear();
  for (const std::string& d : records.records.Date_list) Date_Comb->addItem(qs(d));
  JName_Comb->setCurrentIndex(-1);
  Date_Comb->setCurrentIndex(-1);
  syncing_ = was;
}

void RodDesign::JNname_Add() {
  records.list_wells();
  fill_record_lists();
}

void RodDesign::LoadFromDiagnosis() {
  DiagnosisHandOver* d = diagnosis_hand_over();
  if (d) {
    const DiagnosisView view = diagnosis_view(*d);
    records.take_over(&view);
  } else {
    records.take_over(nullptr);
  }
  sync_to_widgets();
}

void RodDesign::SaveCom_Click() {
  records.SaveCom_Click();
  fill_record_lists();
  sync_to_widgets();
}

void RodDesign::JName_Comb_Click() {
  records.JName_Comb_Click([this] { Cmd_Redraw_IPR_Click(); });
  fill_record_lists();
  show_loaded_design();
}

void RodDesign::show_loaded_design() {
  sync_to_widgets();
  // Loaded texts keep their field's padding: show them from their beginning.
  if (CyjType_Comb->lineEdit()) CyjType_Comb->lineEdit()->setCursorPosition(0);
  for (QLineEdit* e : Text10)
    if (e) e->setCursorPosition(0);
}

void RodDesign::Date_Comb_Click() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  records.Date_Comb_Click([this] { Cmd_Redraw_IPR_Click(); });
  QApplication::restoreOverrideCursor();
  show_loaded_design();
}

}  // namespace wb::design
