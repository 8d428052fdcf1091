// The well's inflow figures from the diagnosis boxes: the flowing bottom-hole pressure from
// the casing-head pressure and the liquid column above the middle of the producing layer,
// and the productivity index by the composite inflow relation (a straight line above the
// bubble point, Vogel's curve below it).
#pragma once

#include "core/common/services.h"
#include "core/diagnosis/diagnosis_state.h"

namespace wb {

inline constexpr const char* kOilDensityMessage = "请正确地输入原油密度!";
inline constexpr const char* kLayerDepthMessage = "请正确地输入原油层中深!";
inline constexpr const char* kInflowInputsMessage = "日产液、油层静压、饱和压力、流动压力均不能为零!";

// "计算流压": box 44 = Pc + (Hm - Hd)·9.8·ρ/1000 MPa to 0.01, ρ the liquid density from the
// water cut and the mean of the two oil densities. False after a message (boxes unchanged).
[[nodiscard]] bool Calc_Pf_Com_Click(DiagnosisState& st, MessageService& messages);

// "计算指数": box 45 = the productivity index, m³/(d·MPa), to 0.001. A zero divisor
// (Pr = Pwf) leaves the box empty. False after a message (boxes unchanged).
[[nodiscard]] bool Calc_Cyzs_Com_Click(DiagnosisState& st, MessageService& messages);

}  // namespace wb
