// The design engine's steps as a fake that records each call in order: `calls` names every
// step ("DesignForMutual(18)", "save_jx", ...), `mutual` keeps the boxes DesignForMutual ran
// for, and `save_result` is what save_jx answers.
#pragma once

#include <string>
#include <vector>

#include "core/design/workbench/design_window_core.h"

namespace wb::test {

struct RecordingSteps : design::DesignSteps {
  std::vector<std::string> calls;
  std::vector<int> mutual;
  design::DesignOutcome save_result = design::DesignOutcome::done;
  void DesignForMutual(int i) override {
    calls.push_back("DesignForMutual(" + std::to_string(i) + ")");
    mutual.push_back(i);
  }
  void Get_JXdat() override { calls.push_back("Get_JXdat"); }
  void CalcTrajectory() override { calls.push_back("CalcTrajectory"); }
  design::DesignOutcome save_jx() override {
    calls.push_back("save_jx");
    return save_result;
  }
  void SetupGrids() override { calls.push_back("SetupGrids"); }
  void DesignCom_Click() override { calls.push_back("DesignCom_Click"); }
};

}  // namespace wb::test
