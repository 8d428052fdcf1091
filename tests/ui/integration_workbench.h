// The program as a new user starts it in the window tests that use several windows together:
// the analysis windows registered as at start, the main window shown on a program folder with
// its joint test 示范井1.o01 opened; and the matching shut-down.
#pragma once

#include <QString>
#include <memory>

#include "core/common/paths.h"
#include "platform/file_browser.h"
#include "ui/balance/balance_analysis.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/efficiency/sys_effi_analysis.h"
#include "ui/level/level_display.h"
#include "ui/workbench/analysis_windows.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb::test {

inline std::unique_ptr<RodEngMapDisplay> start_workbench(const ProgramFolder& prog) {
  register_balance_window();
  register_sys_effi_analysis();
  register_level_window();
  register_diagnosis_window(prog);
  auto main = std::make_unique<RodEngMapDisplay>(prog);
  main->show();
  main->File1->refresh();
  main->File1->set_file_name(QStringLiteral("示范井1.o01"));
  main->File1_Click();
  return main;
}

// Closes the main window (and the windows it opened) without the efficiency window's save
// question, and clears the registrations for the next test.
inline void end_workbench(std::unique_ptr<RodEngMapDisplay>& main) {
  if (main)
    if (auto* e = dynamic_cast<SysEffiAnalysis*>(main->analysis_window(AnalysisWindow::Efficiency)))
      e->st.Edit_Flag = false;
  main.reset();
  analysis_windows() = {};
  diagnosis_hand_over_provider() = nullptr;
}

}  // namespace wb::test
