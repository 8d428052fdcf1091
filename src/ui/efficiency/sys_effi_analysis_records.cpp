// The efficiency window's record browser ("数据查询"), its library boxes and their file
// dialogs, the save, and the curves of a stored test from the card, power-curve and well
// base libraries. The library work is done by the efficiency record library in core; this
// file applies what it returns to the boxes, lists and curves.
#include <QKeyEvent>

#include "core/common/dlph_record.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/efficiency/effi_curves.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/well_base_record.h"
#include "platform/qt_text.h"
#include "platform/services_qt.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {
namespace {

std::string str(const QString& s) { return s.toStdString(); }

}  // namespace

void SysEffiAnalysis::connect_records() {
  connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
  connect(Text8, &QLineEdit::textChanged, this, [this] { Text8_Change(); });
  connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
  connect(Cmd_View_Effi_Data, &QPushButton::clicked, this, [this] { Cmd_View_Effi_Data_Click(); });
  connect(Cmd_View_Sgt_Dat, &QPushButton::clicked, this, [this] { Cmd_View_Sgt_Dat_Click(); });
  connect(Cmd_View_Pow_Dat, &QPushButton::clicked, this, [this] { Cmd_View_Pow_Dat_Click(); });
  connect(Comb_WellName, &QComboBox::activated, this, [this] { Comb_WellName_Click(); });
  connect(Comb_TestTime, &QComboBox::activated, this, [this] { Comb_TestTime_Click(); });
  for (int k = 0; k < 3; ++k)
    connect(Cmd_Review[static_cast<std::size_t>(k)], &QPushButton::clicked, this, [this, k] { Cmd_Review_Click(k); });
  Text7->installEventFilter(this);
}

EditedSave SysEffiAnalysis::offer_save_edited() {
  std::string text7 = str(Text7->text());
  const EditedSave saved = wb::offer_save_edited(st.Edit_Flag, text7, st.Effi_File, main_.program_folder(), st.Text1,
                                                 data_type().DlPh_Rec, *services().messages, &st.shown_damage);
  if (saved == EditedSave::Saved) {
    Text7->setText(qs(text7));
    shown_text7_ = Text7->text();
    st.shown_damage = {};  // what the library holds now is what the boxes show
    Find_WellNmae_To_Comb();
  }
  return saved;
}

EffiWellBaseSource SysEffiAnalysis::well_base_source() const {
  EffiWellBaseSource src;
  src.boxes = st.Text1;
  src.gt_num = st.gt_num;
  src.iu_num = st.iu_num;
  src.cs_fs = st.cs_fs;
  src.sss = st.sss;
  src.ggs = st.ggs;
  src.uus = st.uus;
  src.iis = st.iis;
  src.pps = st.pps;
  return src;
}

void SysEffiAnalysis::Cmd_Save_Click() {
  // A joint test asks its overwrite question before anything is written; all its records
  // are written together.
  if (!damaged_rewrite_confirmed(st.shown_damage, st.Text1, *services().messages)) return;
  EffiWellBaseSource src;
  const bool joint = st.read_sgt_dnt_org == kKindJoint;
  if (joint) src = well_base_source();
  const EffiTestSaveResult r = wb::save_effi_test(st.Effi_File, main_.program_folder(), st.Text1,
                                                  data_type().DlPh_Rec, joint ? &src : nullptr, *services().messages);
  if (!r.effi.saved) return;  // declined, or the library said why; the record stays marked as edited
  Text7->setText(QString::number(r.effi.record));
  shown_text7_ = Text7->text();
  st.Edit_Flag = false;
  st.shown_damage = {};  // what the library holds now is what the boxes show
  Find_WellNmae_To_Comb();
}

void SysEffiAnalysis::Find_WellNmae_To_Comb() {
  std::vector<std::string> items;
  for (int i = 0; i < Comb_WellName->count(); ++i) items.push_back(str(Comb_WellName->itemText(i)));
  const std::size_t before = items.size();
  wb::Find_WellNmae_To_Comb(st.Effi_File, items);
  const QString text = Comb_WellName->currentText();
  for (std::size_t i = before; i < items.size(); ++i) Comb_WellName->addItem(qs(items[i]));
  Comb_WellName->setEditText(text);  // adding items does not choose a well
}

void SysEffiAnalysis::load_library_curves() {
  CardCurves card = Get_Sgt_Dat(st.Sgt_File, st.Text1[effi_box::kWell], st.Text1[effi_box::kTestTime]);
  st.gt_num = 0;
  if (card.found) {
    st.gt_num = static_cast<std::int16_t>(card.gt_num);
    st.sss = std::move(card.sss);
    st.ggs = std::move(card.ggs);
    st.Text1[effi_box::kRealMaxLoad] = card.box45;
    st.Text1[effi_box::kRealMinLoad] = card.box46;
  }
  ElectricCurves electric = Get_Pow_Dat(st.Dnt_File, st.Text1[effi_box::kWell], st.Text1[effi_box::kTestTime]);
  st.iu_num = 0;
  if (electric.found) {
    st.iu_num = static_cast<std::int16_t>(electric.iu_num);
    st.cs_fs = static_cast<std::int16_t>(electric.cs_fs);
    st.uus = std::move(electric.uus);
    st.iis = std::move(electric.iis);
    st.pps = std::move(electric.pps);
    st.qqs = std::move(electric.qqs);
  }
  sync_to_widgets();
}

void SysEffiAnalysis::apply_well_base() {
  WellBaseCurves w = Get_Well_Base(main_.program_folder(), st.Text1[effi_box::kWell], st.Text1[effi_box::kTestTime]);
  if (!w.found) return;
  if (!w.damage.empty()) {
    services().messages->show(w.damage, kWellBaseDamagedTitle, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  if (!w.doubts.empty())
    services().messages->show(well_base_doubts_text(w.doubts, path_text(well_base_path(main_.program_folder()))),
                              kWellBaseDoubtsTitle, MsgButtons::Ok, MsgIcon::Warning);
  st.gt_num = static_cast<std::int16_t>(w.gt_num);
  st.iu_num = static_cast<std::int16_t>(w.iu_num);
  st.cs_fs = static_cast<std::int16_t>(w.cs_fs);
  if (!w.has_curves) return;
  st.uus = std::move(w.uus);
  st.iis = std::move(w.iis);
  st.pps = std::move(w.pps);
  st.ggs = std::move(w.ggs);
  st.sss = std::move(w.sss);
  // The reactive power is not stored with the base data; its array keeps its samples but
  // must span the new count.
  if (st.qqs.size() < st.uus.size()) st.qqs.resize(st.uus.size(), 0.0f);
}

void SysEffiAnalysis::EffiRecode_To_Text() {
  // The number the caller put into Text7 is the record to show; an edited record is offered
  // for saving first, under the number of the record the boxes came from.
  if (st.Edit_Flag) {
    const QString wanted = Text7->text();
    Text7->setText(shown_text7_);
    switch (offer_save_edited()) {
      case EditedSave::Failed:
        return;  // the library said why; the edits stay in the boxes, still marked, under their number
      case EditedSave::Saved:
        break;  // Text7 names the record written: that one is shown
      case EditedSave::NotEdited:
      case EditedSave::Discarded:
        Text7->setText(wanted);
        break;
    }
  }
  const std::string text7 = str(Text7->text());
  const EffiShown shown = wb::EffiRecode_To_Text(st.Effi_File, text7, st.Text1);
  st.shown_damage = shown_damage_of(shown, st.Text1);
  if (shown.shown) {
    Comb_WellName->setEditText(qs(shown.well_text));
    Comb_TestTime->setEditText(qs(shown.test_text));
  } else {
    st.gt_num = 0;
    st.iu_num = 0;
  }
  st.Edit_Flag = false;
  shown_text7_ = qs(text7);
  sync_to_widgets();
  if (shown.shown) load_library_curves();
}

void SysEffiAnalysis::Comb_WellName_Click() {
  const std::vector<std::string> times = Find_TestTime_To_Comb(st.Effi_File, str(Comb_WellName->currentText()));
  Comb_TestTime->clear();
  for (const auto& t : times) Comb_TestTime->addItem(qs(t));
  Comb_TestTime->setEditText(QString());
  if (times.size() == 1) {
    Comb_TestTime->setCurrentIndex(0);
    Comb_TestTime_Click();
  }
}

void SysEffiAnalysis::Comb_TestTime_Click() {
  Text7->clear();
  const std::size_t r =
      find_effi_test(st.Effi_File, str(Comb_WellName->currentText()), str(Comb_TestTime->currentText()));
  if (r > 0) {
    services().shell->beep();
    Text7->setText(QString::number(r));
    EffiRecode_To_Text();
  }
  st.Pin_Ref = to_single(num_val(st.Text1[effi_box::kInputPower]));  // the curves now shown belong to this input power
  if (r == 0) apply_well_base();
}

void SysEffiAnalysis::Text7_KeyUp() { EffiRecode_To_Text(); }

void SysEffiAnalysis::Cmd_Review_Click(int index) {
  if (index < 2) {
    Text7->setText(qs(review_target(index, str(Text7->text()), st.Effi_File)));
    EffiRecode_To_Text();
    return;
  }
  const EffiDeleteResult d = delete_effi_record(st.Effi_File, main_.program_folder(), str(Text7->text()), *services().messages);
  if (!d.deleted) return;
  Comb_WellName->clear();
  Find_WellNmae_To_Comb();
  Text7->setText(qs(d.Text7));
  EffiRecode_To_Text();
}

void SysEffiAnalysis::Text3_Change() {
  std::filesystem::path accepted;
  switch (check_library_box(str(Text3->text()), EffiLibrary::Efficiency, main_.program_folder(), accepted,
                            *services().messages)) {
    case LibraryBoxCheck::Accepted:
      st.Effi_File = accepted;
      Comb_WellName->clear();
      Find_WellNmae_To_Comb();
      break;
    case LibraryBoxCheck::Refused:
      Text3->clear();
      break;
    case LibraryBoxCheck::Ignored:
      break;
  }
}

void SysEffiAnalysis::Text8_Change() {
  std::filesystem::path accepted;
  switch (check_library_box(str(Text8->text()), EffiLibrary::Card, main_.program_folder(), accepted,
                            *services().messages)) {
    case LibraryBoxCheck::Accepted: st.Sgt_File = accepted; break;
    case LibraryBoxCheck::Refused: Text8->clear(); break;
    case LibraryBoxCheck::Ignored: break;
  }
}

void SysEffiAnalysis::Text4_Change() {
  std::filesystem::path accepted;
  switch (check_library_box(str(Text4->text()), EffiLibrary::PowerCurve, main_.program_folder(), accepted,
                            *services().messages)) {
    case LibraryBoxCheck::Accepted: st.Dnt_File = accepted; break;
    case LibraryBoxCheck::Refused: Text4->clear(); break;
    case LibraryBoxCheck::Ignored: break;
  }
}

// A chosen file goes into the library box, whose change handler checks it.
static void choose_library(const ProgramFolder& prog, EffiLibrary which, QLineEdit* box) {
  const std::string chosen = services().files->open_file(library_dialog_request(prog, which));
  if (!chosen.empty()) box->setText(qs(chosen));
}

void SysEffiAnalysis::Cmd_View_Effi_Data_Click() {
  choose_library(main_.program_folder(), EffiLibrary::Efficiency, Text3);
}
void SysEffiAnalysis::Cmd_View_Sgt_Dat_Click() { choose_library(main_.program_folder(), EffiLibrary::Card, Text8); }
void SysEffiAnalysis::Cmd_View_Pow_Dat_Click() {
  choose_library(main_.program_folder(), EffiLibrary::PowerCurve, Text4);
}

}  // namespace wb
