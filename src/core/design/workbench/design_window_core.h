// The design window's handlers that compute, working on the engine's DesignState: the
// derived well values (`Text6_Change`), the keys of the design boxes, the option clicks and
// the command sequences of the window's buttons. The window mirrors the state into its
// controls, calls these and then moves the focus where `text3_focus` / `other_focus` say.
//
// The engine steps are reached through DesignSteps so that a test can record them.
#pragma once

#include <functional>
#include <string>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/design/engine/design_outcome.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

class RodDesignEngine;

// What the window's commands and keys run of the design engine, one call each.
class DesignSteps {
 public:
  virtual ~DesignSteps() = default;
  virtual void DesignForMutual(int Mutual_Index) = 0;
  virtual void Get_JXdat() = 0;
  virtual void CalcTrajectory() = 0;
  virtual DesignOutcome save_jx() = 0;
  virtual void SetupGrids() = 0;
  // "重新设计": survey, well path, automatic design, efficiency design.
  virtual void DesignCom_Click() = 0;
};

// The steps on the real engine.
class EngineSteps : public DesignSteps {
 public:
  explicit EngineSteps(RodDesignEngine& eng) : eng_(eng) {}
  void DesignForMutual(int Mutual_Index) override;
  void Get_JXdat() override;
  void CalcTrajectory() override;
  DesignOutcome save_jx() override;
  void SetupGrids() override;
  void DesignCom_Click() override;

 private:
  RodDesignEngine& eng_;
};

inline constexpr int kEnterKey = 13;
inline constexpr int kKeyUp = 38;    // key codes of the arrow keys
inline constexpr int kKeyDown = 40;

// Derived well values from the well-data boxes: liquid density, buoyancy factor, rod areas
// and section lengths, and the up- and down-stroke load factors shown in Text6(18), (19).
// Runs only for the boxes 5, 6, 7, 10, 11, 16 and 17.
void Text6_Change(DesignState& st, int index);
// Writes a well-data box as code does: the change handler runs only when the text changes.
void set_Text6(DesignState& st, int index, const std::string& text);

// The tab order of the design boxes: position 1..26 of Text3(i), 0 for the tool boxes 11, 23.
int text3_tab_position(int i);
// The Text3 index at tab position t (1..26).
int text3_at_position(int t);

inline constexpr const char* kSurveyChangedQuestion = "当前井斜数据已改动，需保存吗?";
inline constexpr const char* kServiceFactorMessage = "使用系数应在0.5-1之间";
inline constexpr const char* kNoSurveyMessageTail = "井没有井斜数据，井眼轨迹已清空。";

class DesignWindowCore {
 public:
  DesignWindowCore(DesignState& st, DesignSteps& steps, MessageService& msg, ShellService& shell,
                   ProgramFolder folder)
      : st_(st), steps_(&steps), msg_(msg), shell_(shell), folder_(std::move(folder)) {}

  void set_steps(DesignSteps& steps) { steps_ = &steps; }
  DesignSteps& steps() { return *steps_; }

  // ---- keys and focus of the design boxes ----
  // Up and Down (key codes 38, 40) move text3_focus along the tab order.
  void Text3_KeyDown(int i, int key_code);
  // Enter runs the box's action; other characters are typed into the box.
  void Text3_KeyPress(int i, int key_ascii);
  void Text2_KeyPress(int key_ascii);
  void Text4_KeyPress(int key_ascii);
  void Text5_KeyPress(int key_ascii);

  // ---- options: each click runs when the option becomes selected ----
  void Option1_Click(int index);
  void Option2_Click();
  void Option3_Click();
  void grade_Click(int option);  // 4..8
  // Selecting an option as the user or code does: its click runs only when it was not selected.
  // `Quiet` sets what the click sets but runs no design: a loaded design's options.
  enum class OptionClick { Runs, Quiet };
  void select_Option1(int index, OptionClick click = OptionClick::Runs);
  void select_mode(bool lightest, OptionClick click = OptionClick::Runs);
  void select_grade(int option, OptionClick click = OptionClick::Runs);

  // ---- command sequences ----
  // When the survey table was edited, asks to save it first (Yes writes it). `nothing` when
  // it was not edited or the edits are dropped (No, which clears the edit mark); `refused`
  // or `failed` when the save was wanted and did not happen: the step that asked must then
  // stop and keep the table.
  DesignOutcome offer_survey_save();
  // The load step's survey: the grids set up, the survey of the well in JName_Comb read with
  // every row and its well path computed; an empty survey leaves one numbered entry row.
  void load_survey();
  // The grids set up afresh when another well or date is chosen; survey edits are offered
  // for saving first, and the emptied table counts as unedited. When the wanted save did not
  // happen nothing is reset and its outcome is returned: the choice goes no further.
  DesignOutcome reset_grids();
  // A design date chosen: the grids reset, the stored design loaded (`load_record`), the
  // survey read with its well path, the taper redesigned from the entered 1" length (19),
  // the IPR view redrawn (`redraw_ipr`; not after a run that refused a box), the plunger
  // friction cleared. Nothing of this when the survey edits could not be saved first.
  DesignOutcome Date_Comb_Click(const std::function<void()>& load_record, const std::function<void()>& redraw_ipr);
  // "重新设计"; it reads the survey again, so it does not run when the survey edits could
  // not be saved first.
  DesignOutcome DesignCom_Click();
  // "更新相关参数"; `redraw_ipr` is the IPR tab's redraw (nothing while there is none), left
  // out after a run that refused a box.
  void Cmd_Reflush_Click(const std::function<void()>& redraw_ipr);
  // Enter in the well box: the named well's survey and well path (the table kept when its
  // edits could not be saved first).
  void JName_Comb_KeyPress(int key_ascii);
  // A key in the model box: true when the box's text is to be emptied.
  bool CyjType_Comb_KeyPress(int key_ascii);
  // The unload question. The window closes after No or a save that went through; it stays
  // open with the edits when the wanted save did not happen (`refused` or `failed`).
  DesignOutcome Form_Unload();
  // The survey part of "保存": written only when edited since it was read or saved.
  DesignOutcome save_survey_if_changed();

  // The model lists of the catalogue: every model line in the load step, each name once when
  // the list is opened.
  std::vector<std::string> load_model_list() const;
  std::vector<std::string> CyjType_Comb_DropDown() const;

  const ProgramFolder& folder() const { return folder_; }

 private:
  void enter(int i);
  void mode_enables(bool lightest);  // the series options for equal strength, the grades for the lightest string
  void rod_length_rule(int k);
  void focus_text3(int i);
  void focus_other(int box);
  void reset_well_path();
  void ensure_survey_entry_row();

  DesignState& st_;
  DesignSteps* steps_;
  MessageService& msg_;
  ShellService& shell_;
  ProgramFolder folder_;
};

}  // namespace wb::design
