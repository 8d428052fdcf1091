// The design window's record commands: the well list and the takeover of the diagnosed well
// in the load step, "保存", and the choice of a well or of a design date. They run the store
// and the takeover over the window's core, whose option selections and well-data change
// handling the loaded values pass through.
#pragma once

#include <functional>

#include "core/common/paths.h"
#include "core/common/services.h"
#include "core/design/workbench/design_records.h"
#include "core/design/workbench/design_takeover.h"
#include "core/design/workbench/design_window_core.h"

namespace wb::design {

class DesignRecordCommands : public DesignControls {
 public:
  DesignRecordCommands(DesignState& st, DesignWindowCore& core, MessageService& msg, ShellService& shell,
                       const ProgramFolder& folder);

  DesignRecords records;

  // The load step's takeover of the diagnosis window's well (no diagnosis window: a beep).
  void take_over(const DiagnosisView* diagnosis);
  // The well list alone (the well box emptied).
  void list_wells();
  // "保存": the survey when edited, the design, the well list again with the well kept.
  bool SaveCom_Click();
  // A well chosen: its dates listed; a single date is loaded at once.
  void JName_Comb_Click(const std::function<void()>& redraw_ipr);
  // A date chosen: the design loaded, the survey and well path read, the taper redesigned
  // from the loaded after-design values.
  void Date_Comb_Click(const std::function<void()>& redraw_ipr);

  // DesignControls over the window's core.
  void set_Text6(DesignState& st, int index, const std::string& text) override;
  void Text6_Change(DesignState& st, int index) override;
  std::int16_t design_mode(const DesignState& st) const override;
  void select_design_mode(DesignState& st, std::int16_t code) override;
  std::string rod_grade(const DesignState& st) const override;
  void select_rod_grade(DesignState& st, const std::string& letter) override;
  void beep() override;

 private:
  DesignRecordIo io() { return DesignRecordIo{msg_, *this}; }

  DesignState& st_;
  DesignWindowCore& core_;
  MessageService& msg_;
  ShellService& shell_;
};

}  // namespace wb::design
