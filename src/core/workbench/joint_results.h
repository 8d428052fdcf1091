// Measured results of one stroke of a joint test, written into the result boxes Text3
// and the half-stroke values of the test state. Sums are single precision; every text is
// the value rounded halves-up to its decimals, as the box shows it.
#pragma once

#include <string>
#include <vector>

#include "core/workbench/test_state.h"

namespace wb {

// Indices of the second half of an n-sample stroke: h = n/2 (integer) positions. For an odd
// n they are n/2 + t rounded ties-to-even (n = 7: 4, 4, 6): a sample may count twice and
// another not at all, and stored half-stroke values depend on exactly these indices.
std::vector<int> second_half_indices(int n);

// A half-stroke value in the "first/second" boxes: no zero before the point (.8, -.4).
std::string half_value_text(double v);

// Computes the results over gt_num samples: result_box::kInputPower … kRmsPower, p_sum, imax_up/down and
// pavg_up/down. A result that cannot be computed leaves its box empty. The reactive power
// is 0 when the shown apparent power does not exceed the shown input power in magnitude.
void compute_joint_results(TestState& st);

}  // namespace wb
