// The rod-string design engine: the procedures of the design window that compute, working
// on a DesignState. The design window owns one engine; tests drive it with fake services.
//
// Order of a design (each stage reads the boxes the stages before it wrote):
//   Get_JXdat → CalcTrajectory → RunAutoDesign (rate, level, pump, bore, stroke, strokes per
//   minute, DesignRod(18), DesignFzq) → DesignEffi.
// The interactive run DesignForMutual(index) starts at the stage of the box the user changed.
// Messages are modal: a stage goes on after the user closes a limit message and stops after
// a check's message.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/design/engine/design_outcome.h"
#include "core/design/engine/design_state.h"

namespace wb {
class Canvas;
}

namespace wb::design {

struct EffiCarry;

class RodDesignEngine {
 public:
  RodDesignEngine(ProgramFolder folder, MessageService& messages, ShellService& shell)
      : folder_(std::move(folder)), msg_(messages), shell_(shell) {}

  DesignState st;

  // The 3D view's picture; Draw_box draws on it when set. `picture_changed` runs after each
  // drawing so a window can repaint.
  Canvas* picture_3d = nullptr;
  std::function<void()> picture_changed;

  const ProgramFolder& folder() const { return folder_; }

  // Grid layouts of the window's set-up: Grid1 to its title row and one empty row 1.
  void SetupGrids();

  // Survey file \data\<well>.jx. The table goes into the file it was read for (`jx_path`),
  // whatever the well box holds by now. A table read for no well goes into the file of the
  // well in the box, after a question when that file exists (it would be replaced). A table
  // of fewer than two rows is not written (said). `refused` for that, a blank, unusable or
  // too long well name and a replacement declined; `failed` when the file could not be
  // written (the stored survey is then as it was and the table stays edited).
  DesignOutcome save_jx();
  // Reads the survey file of the well in JName_Comb into Grid1, each cell trimmed of the
  // field's blanks: `done`; `nothing` (an empty table) when the name is blank or unusable,
  // or there is no survey; `failed` (an empty table, and a message) when the file is there
  // but cannot be read.
  DesignOutcome Get_JXdat();
  // Path of the survey file of the well in JName_Comb; empty when the name is empty or
  // cannot be a file name in the data folder (with ".jx" at most 255 bytes).
  std::string survey_path() const;

  // Well path every 2 m from Grid1; Grid1 columns 4..6 written back; the 3D view redrawn.
  void CalcTrajectory();

  // Survey grid editing.
  void Text1_Change(int index, const std::string& text);
  void Grid1_Click();
  void Text1_KeyDown(int index, int key_code);
  void Text1_KeyPress(int index, int char_code);
  void num_in_Click();
  void num_del_Click();
  void all_del_Click();
  void past_Click(const std::string& clipboard, bool has_text);
  std::string Men_copy_text() const;  // the text the copy command puts on the clipboard
  void Cmd_Recalc_Click() { CalcTrajectory(); }

  // 3D view.
  void Draw_box();
  void Draw_box(Canvas& c) const;
  void set_HScroll_FW(int v);  // as the control's value is set: the change handler runs on a change
  void HScroll_FW_Change();
  void set_Text_FW(const std::string& text);
  void Text_FW_Change();
  void Cmd_Tran_Well_Click();
  void Timer_Tran_Timer();
  // Default file name of the picture save.
  std::string picture_file_name() const;

  // Design stages.
  float Calc_Pf_Pr(float& Tj_speed, float& Ydnd, float& Pump_Dia);
  // `refused` when the input was refused (a negative kept length, a string past 4000 m or
  // above the surface), else `done`.
  DesignOutcome DesignRod(int Mutual_Index);
  void DesignFzq();
  // With `before_only` the prediction after the design is not made and its boxes are emptied.
  void DesignEffi(bool before_only = false);
  // Gas expansion power of the produced gas from the pump intake (pb) to the wellhead (Pk),
  // kW; empty when a pressure on the way is 0 or below.
  static std::optional<double> PP(float Qy, float Tk, float Td, float Kq, float Pk, float pb);
  // `done` when the run reached the taper design and the force profile, `refused` when a
  // check stopped it.
  DesignOutcome RunAutoDesign();
  void DesignForMutual(int Mutual_Index);
  // The redesign command: survey, trajectory, automatic run, design efficiency. Like the
  // interactive run, it first checks the boxes it reads and stops at the first one refused;
  // it also stops when the survey file is there but cannot be read.
  void DesignCom_Click();
  // Grid2 rows from cur_design.fzq_depth and the profile.
  void FillFzqGrid(int n);

  MessageService& messages() { return msg_; }

 private:
  void say(const std::string& text);
  // Shows the refusal of a box and sends the focus there when it is a design box; false when
  // there is none.
  [[nodiscard]] bool refuse_box(const std::optional<DesignBoxRefusal>& bad);
  // Refuses (with a message) a string that would address nodes past 4000 m or above the surface.
  [[nodiscard]] bool refuse_string_past_pump(double Lp, double Ls, double kept);
  // The upward 2 m build of the taper from size k with the running load W (kN).
  void build_taper(int k, double W, double Ls, double Lp, double T, double SF);
  // Sum of vert_step over nodes from..to, clipped to the profile.
  double vertical_sum(int from, int to) const;
  [[nodiscard]] bool stroke_series_lookup(bool tell);
  void pump_depth_from_level(double h, double Pb, double Pc, double rho, double Dm);
  void bore_from_depth(double L);
  void row_click_boxes(int r);
  void ensure_entry_row();
  [[nodiscard]] bool effi_before(EffiCarry& c);
  [[nodiscard]] bool effi_sections(EffiCarry& c);
  [[nodiscard]] bool effi_loads(EffiCarry& c);
  void effi_after(EffiCarry& c);
  [[nodiscard]] bool stroke_and_rate(double q, double D, double S, const std::string& S_text, double eta);
  std::optional<double> vertical_depth(double H);

  ProgramFolder folder_;
  MessageService& msg_;
  ShellService& shell_;
};

}  // namespace wb::design
