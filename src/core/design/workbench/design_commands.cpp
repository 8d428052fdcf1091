// The command sequences of the design window's buttons and combo boxes.
//
// The survey table always holds every row the survey file gave, and the file is written
// only when the table was edited since it was read or saved: a save or a close can then
// never shorten a stored survey. Reading another survey over edited rows first asks
// whether to keep the edits.
#include <filesystem>
#include <tuple>

#include "core/common/messages.h"
#include "core/common/trim.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/engine/survey_file.h"
#include "core/design/workbench/design_window_core.h"
#include "core/records/cyj_mode_lists.h"

namespace wb::design {

void EngineSteps::DesignForMutual(int Mutual_Index) { eng_.DesignForMutual(Mutual_Index); }
// A survey that cannot be read has been told and leaves an empty table, which the window's
// commands handle as a well without a survey.
void EngineSteps::Get_JXdat() { std::ignore = eng_.Get_JXdat(); }
void EngineSteps::CalcTrajectory() { eng_.CalcTrajectory(); }
DesignOutcome EngineSteps::save_jx() { return eng_.save_jx(); }
void EngineSteps::SetupGrids() { eng_.SetupGrids(); }
void EngineSteps::DesignCom_Click() { eng_.DesignCom_Click(); }

DesignOutcome DesignWindowCore::offer_survey_save() {
  if (st_.jx_changed == 0) return DesignOutcome::nothing;
  if (!msg_.ask_yes_no(kSurveyChangedQuestion, kSaveTitle)) {
    // The edits are given up: the command goes on and replaces them, and nothing asks again.
    st_.jx_changed = 0;
    return DesignOutcome::nothing;
  }
  return steps_->save_jx();
}

DesignOutcome DesignWindowCore::reset_grids() {
  if (const DesignOutcome saved = offer_survey_save(); !went_through(saved)) return saved;
  steps_->SetupGrids();
  st_.jx_changed = 0;
  st_.jx_path.clear();  // the emptied table is no well's survey until one is read
  return DesignOutcome::done;
}

DesignOutcome DesignWindowCore::Date_Comb_Click(const std::function<void()>& load_record,
                                                const std::function<void()>& redraw_ipr) {
  if (const DesignOutcome reset = reset_grids(); !went_through(reset)) return reset;
  st_.Label3[design_label::kSystemEffBefore].clear();
  if (load_record) load_record();
  steps_->Get_JXdat();
  steps_->CalcTrajectory();
  ensure_survey_entry_row();
  // A run that refuses a box has said so; the curve is not redrawn from the same boxes.
  const bool refused = check_design_run_boxes(st_, 19).has_value();
  steps_->DesignForMutual(19);
  st_.loaded_design = false;  // a run that stopped early leaves the loaded table; later runs place their own
  if (redraw_ipr && !refused) redraw_ipr();
  st_.pump_friction = 0;
  return DesignOutcome::done;
}

DesignOutcome DesignWindowCore::DesignCom_Click() {
  if (const DesignOutcome saved = offer_survey_save(); !went_through(saved)) return saved;
  steps_->DesignCom_Click();
  return DesignOutcome::done;
}

void DesignWindowCore::Cmd_Reflush_Click(const std::function<void()>& redraw_ipr) {
  const bool refused = check_design_run_boxes(st_, 18).has_value();
  steps_->DesignForMutual(18);
  if (redraw_ipr && !refused) redraw_ipr();
  st_.pump_friction = 0;
}

// The well path of an empty survey: a vertical hole with no nodes, the 3D view redrawn.
void DesignWindowCore::reset_well_path() {
  st_.profile = DepthProfile{};
  st_.last_node = 0;
  steps_->CalcTrajectory();
}

void DesignWindowCore::ensure_survey_entry_row() {
  auto& g = st_.Grid1;
  if (g.rows() >= 2) {
    if (g.text(1, 0).empty()) g.set_text(1, 0, "1");
    return;
  }
  g.set_rows(2);
  g.set_text(1, 0, "1");
  g.row = 1;
}

void DesignWindowCore::load_survey() {
  steps_->SetupGrids();
  steps_->Get_JXdat();
  steps_->CalcTrajectory();
  ensure_survey_entry_row();
  st_.jx_changed = 0;
}

void DesignWindowCore::JName_Comb_KeyPress(int key_ascii) {
  if (key_ascii != kEnterKey) return;
  const std::string name = trim_blanks(st_.JName_Comb);
  if (name.empty()) return;
  if (!went_through(offer_survey_save())) return;
  auto& g = st_.Grid1;
  for (int r = 1; r < g.rows(); ++r) g.clear_row(r, 1, 6);
  g.set_rows(2);
  g.row = 1;
  st_.jx_changed = 0;
  if (!is_safe_file_stem(name, kJxSuffix.size())) {
    st_.jx_path.clear();
    reset_well_path();
    msg_.show(file_stem_too_long(name, kJxSuffix.size()) ? well_name_too_long_text(name) + "无法读取井斜数据。"
                                                          : "井号中有不能用作文件名的字符，无法读取井斜数据！",
              "", MsgButtons::Ok);
    return;
  }
  st_.jx_path = path_text(folder_.data() / u8path(name + std::string(kJxSuffix)));
  std::error_code ec;
  if (std::filesystem::exists(u8path(st_.jx_path), ec)) {
    steps_->Get_JXdat();
    steps_->CalcTrajectory();
  } else {
    reset_well_path();
    msg_.show(name + kNoSurveyMessageTail, "", MsgButtons::Ok);
  }
  ensure_survey_entry_row();
}

bool DesignWindowCore::CyjType_Comb_KeyPress(int key_ascii) {
  return Comb_CyjMode_KeyPress(folder_, key_ascii, msg_, shell_);
}

// Closing asks about an edited survey as every other command that leaves it does.
DesignOutcome DesignWindowCore::Form_Unload() { return offer_survey_save(); }

DesignOutcome DesignWindowCore::save_survey_if_changed() {
  if (st_.jx_changed == 0) return DesignOutcome::nothing;
  return steps_->save_jx();
}

std::vector<std::string> DesignWindowCore::load_model_list() const { return Get_Cyj_Mode_to_comb_cyjmode(folder_); }

std::vector<std::string> DesignWindowCore::CyjType_Comb_DropDown() const { return Comb_CyjMode_DropDown(folder_); }

}  // namespace wb::design
