#include "core/design/workbench/design_record_commands.h"

#include <tuple>

namespace wb::design {

namespace {
// Grade options 4..7 and their stored letters.
constexpr const char* kGradeLetters[4] = {"C", "D", "K", "H"};
constexpr int kFirstGradeOption = 4;
}  // namespace

DesignRecordCommands::DesignRecordCommands(DesignState& st, DesignWindowCore& core, MessageService& msg,
                                           ShellService& shell, const ProgramFolder& folder)
    : st_(st), core_(core), msg_(msg), shell_(shell) {
  records.path = design_record_path(folder);
}

void DesignRecordCommands::list_wells() {
  DesignRecordIo rio = io();
  JNname_Add(st_, records, rio);
}

const std::vector<std::string>& DesignRecordCommands::list_dates() {
  DesignRecordIo rio = io();
  com2_find(st_, records, rio);
  return records.Date_list;
}

DesignOutcome DesignRecordCommands::load() {
  DesignRecordIo rio = io();
  return LoadDesignRecord(st_, records, rio);
}

DesignOutcome DesignRecordCommands::save() {
  DesignRecordIo rio = io();
  return SaveDesignRecord(st_, records, rio);
}

void DesignRecordCommands::take_over(const DiagnosisView* diagnosis) {
  if (diagnosis)
    std::ignore = LoadFromDiagnosis(st_, *diagnosis, *this);  // a refusal was beeped or told; the load goes on
  else
    beep();
}

void DesignRecordCommands::set_Text6(DesignState& st, int index, const std::string& text) {
  design::set_Text6(st, index, text);
}
void DesignRecordCommands::Text6_Change(DesignState& st, int index) { design::Text6_Change(st, index); }

std::int16_t DesignRecordCommands::design_mode(const DesignState& st) const {
  if (st.Option2) return 1;
  return st.Option1 == 0 ? 3 : 4;
}

void DesignRecordCommands::select_design_mode(DesignState&, std::int16_t code) {
  using enum DesignWindowCore::OptionClick;
  core_.select_mode(code == 1, Quiet);
  if (code == 3) core_.select_Option1(0, Quiet);
  if (code == 4) core_.select_Option1(1, Quiet);
}

std::string DesignRecordCommands::rod_grade(const DesignState& st) const {
  const int k = st.rod_grade - kFirstGradeOption;
  return k >= 0 && k < 4 ? kGradeLetters[k] : "";
}

void DesignRecordCommands::select_rod_grade(DesignState&, const std::string& letter) {
  for (int k = 0; k < 4; ++k)
    if (letter == kGradeLetters[k]) core_.select_grade(kFirstGradeOption + k, DesignWindowCore::OptionClick::Quiet);
}

void DesignRecordCommands::beep() { shell_.beep(); }

}  // namespace wb::design
