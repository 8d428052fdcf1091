// The electric rescaling that follows a corrected motor input power: the active-power curve
// is scaled by the ratio of the new to the old input power, the current curve is rebuilt
// from the scaled active power, the reactive power and the voltage, and the current-based
// results, the apparent power and the power factor are recomputed.
//
// Precision as the results have always been computed: the curves are stored as singles,
// the sum of the current is a double, the sums of U·I and I² are singles (products and
// sums). Boxes take the two-decimal form with the point always shown (num_text_2dp).
//
// Everything runs over the electric samples 0..iu_num-1 (the electric arrays hold no more;
// the card may be longer or missing). What cannot be computed is left as it was: a box 40
// or a half of box 32 that is not a number, a box 32 without "/", a sample whose voltage is
// 0 (its current stays), no electric samples (no statistics), an apparent power of 0 (the
// power factor stays).
#pragma once

#include <array>
#include <string>

#include "core/efficiency/sys_effi_state.h"

namespace wb {

// Recalc_Pow_Param. `factor`: new / old input power, a single-precision quotient. Writes
// pps, iis, boxes 31, 32, 35, 36, 38, 39 and 40, and the main window's result boxes 7
// (apparent power, kVA) and 9 (power factor); reads box 25 and main box 7.
void Recalc_Pow_Param(SysEffiState& s, double factor, std::array<std::string, 16>& main_Text3);

}  // namespace wb
