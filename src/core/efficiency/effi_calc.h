// The efficiency calculation of the "计算" button: from the box texts of the efficiency
// window it computes the submergence, the lift and hydraulic power, the surface, downhole,
// system and pump efficiencies and the theoretical polished-rod loads from the rod string,
// and hands the static-card data back to the main window when the window shows the main
// window's own test.
//
// Every step reads the texts the earlier steps wrote (a result is used as displayed), and an
// empty or non-numeric box counts as 0. Results are the shortest text of a double rounded
// half up (floor after adding 0.5, also for negative values). The lift alone is held in
// single precision.
//
// A result that cannot be computed (a zero divisor, an overflow) empties its box, so that a
// value of an earlier calculation is never shown, saved or printed as this one's.
#pragma once

#include <array>
#include <string>

#include "core/efficiency/sys_effi_state.h"

namespace wb {

inline constexpr const char* kEffiMissingInputs = "日产液、液体密度、井口油压、井口套压、动液面五项必须输入！";
inline constexpr const char* kEffiBadDensity = "液体密度必须大于0才能计算！";
inline constexpr const char* kEffiMissingPumpInputs = "泵径、冲程、冲次输入后才能计算泵效！";

struct [[nodiscard]] EffiCalcOutcome {
  std::string message;      // to show in a message box without a title of its own; empty: none
  bool refused = false;     // an input was missing or unusable: nothing was computed
  bool handed_back = false; // the main window's boxes 1, 3, 4 and 5 were written
};

// Cmd_Calc_Click. `main_Text1` are the main window's appended-data boxes (0 test time,
// 1 stroke loss m, 2 well, 3 static stroke m, 4 and 5 static max and min load kN).
EffiCalcOutcome Cmd_Calc_Click(SysEffiState& s, std::array<std::string, 6>& main_Text1);

}  // namespace wb
