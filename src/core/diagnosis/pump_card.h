// The pump card (`get_bgt`): the surface card of one stroke (72 points) carried down the
// tapered rod string by the damped wave equation, solved with Fourier series (10 harmonics).
//
// Units follow the load-unit factor F_L, the number in box `Text2` (design text "110"): the
// surface load enters as F_L times its kN, while the rod modulus (21000 kgf/mm²) and the rod
// weight (0.0065878·d² kgf/m, d in mm) are in kilograms-force. The pump load comes out in
// the computation's force unit / 100, the pump position as a downward displacement from the
// polished rod's mid-stroke, m. No buoyancy or fluid load
// enters: the pump load is the dynamic load carried down plus the mean surface load minus the
// weight in air of the rods above the pump.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/diagnosis/diagnosis_state.h"

namespace wb {

inline constexpr int kHarmonics = 10;

inline constexpr const char* kPumpDepthMessage = "泵挂深度为零或者小于杆柱组合长度，请核实后重新计算泵功图！";
inline constexpr const char* kPumpCardInputsMessage = "光杆冲程、冲次和杆柱长度均不能为零，无法计算泵功图！";
inline constexpr const char* kLoadFactorMessage = "载荷换算系数不是数字，无法计算泵功图！";

enum class [[nodiscard]] PumpCardRun {
  computed,        // Bgt_Pos / Bgt_Load hold the new card
  no_load_factor,  // Text2 reads 0: nothing computed, no message
  bad_load_factor, // Text2 is not a number: nothing computed, a message
  missing_inputs,  // stroke or strokes per minute not positive, or no rod section: a message
};

// Reads yjcs and Sec_Last (from get_yjcs) and Text2; writes Bgt_Pos/Bgt_Load 0..71 only when
// it computes. A pump depth of 0, a top section of 0 or a pump more than 0.5 m above the
// bottom of the rods gives a message, then the pump is taken at the bottom of the rods.
PumpCardRun get_bgt(DiagnosisState& st, const std::array<double, 72>& s_dat, const std::array<double, 72>& f_dat,
                    MessageService& messages);

// Fourier resampling of one period of tt_num samples (pps1 must hold tt_num + 1 entries;
// entry tt_num is set to entry 0) into gt_num points, with dftt_num harmonics by Simpson's
// rule. Nothing in the program calls it; it is kept for the resampling of cards.
void Trans_Circle(std::vector<double>& pps1, int tt_num, int dftt_num, int gt_num, std::vector<double>& pps2);

}  // namespace wb
