// The counterbalance parameter boxes that the well base record and the balance record store
// alike (same names, same scales): counts as whole numbers, lengths and weights in
// thousandths (m ×1000, kN ×1000), the crank angle in single precision. Each record adds the
// boxes it stores in its own way (gearbox torque box 4, balance-arm angle box 8, actual
// stroke box 27).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/number_text.h"

namespace wb {

// Writes boxes 0..3, 5..7 and 9..26 of `boxes` from `rec`; a group or beam value of 0 leaves
// its box as it is, and so does a crank angle that is no number or beyond a whole turn (a
// damaged record): the box never shows "nan" or an exponent.
template <class Record, class Boxes>
void common_balance_boxes(const Record& rec, Boxes& boxes) {
  auto milli = [](std::int16_t x) { return num_text(x / 1000.0); };
  auto whole = [](std::int16_t x) { return std::to_string(x); };
  boxes[24] = milli(rec.crank_pos_min);
  boxes[25] = milli(rec.crank_spacing);
  if (std::isfinite(rec.crank_angle0) && std::fabs(rec.crank_angle0) <= 360.0f) boxes[26] = num_text_f(rec.crank_angle0);
  for (std::size_t g = 0; g < 4; ++g) {
    const auto& grp = rec.crank_group[g];
    if (grp.count > 0 || grp.weight > 0) {
      const std::size_t base = 12 + 3 * g;  // position, weight, count
      boxes[base + 2] = whole(grp.count);
      boxes[base + 1] = milli(grp.weight);
      boxes[base] = milli(grp.pos);
    }
  }
  if (rec.beam_front_arm > 0) boxes[5] = milli(rec.beam_front_arm);
  if (rec.max_stroke > 0) boxes[6] = milli(rec.max_stroke);
  if (rec.balance_arm > 0) boxes[7] = milli(rec.balance_arm);
  if (rec.beam_block_wt > 0) boxes[9] = milli(rec.beam_block_wt);
  if (rec.beam_blocks > 0) boxes[10] = whole(rec.beam_blocks);
  if (rec.beam_blocks_max > 0) boxes[11] = whole(rec.beam_blocks_max);
  boxes[0] = whole(rec.crank_blocks);
  boxes[1] = milli(rec.crank_block_wt);
  boxes[2] = milli(rec.crank_block_pos);
  boxes[3] = milli(rec.crank_pos_max);
}

}  // namespace wb
