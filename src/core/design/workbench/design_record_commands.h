// The design window's side of the record store and the takeover: its lists, the store's
// operations on its state, and the window's option buttons and well-data change handling
// (its core's) through which loaded and taken-over values pass. The command sequences that
// call these are the window's.
#pragma once

#include <string>
#include <vector>

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

  // The well list (the well box emptied), `JNname_Add`.
  void list_wells();
  // The dates of the well in the well box, `com2_find`.
  const std::vector<std::string>& list_dates();
  // `LoadDesignRecord` and `SaveDesignRecord` of the well and date in the boxes.
  DesignOutcome load();
  DesignOutcome save();
  // The load step's takeover of the diagnosis window's well (no diagnosis window: a beep).
  void take_over(const DiagnosisView* diagnosis);

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
