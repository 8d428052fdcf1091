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

// The counterbalance window's parameter boxes `Text2` (0..27), page "基础数据": the pumping
// unit's geometry and its counterweights. Lengths in m, weights in kN, angles in degrees.
namespace balance_box {
inline constexpr int kCrankBlocks = 0;      // crank blocks installed (or to be moved)
inline constexpr int kCrankBlockWt = 1;     // average weight of one crank block, kN
inline constexpr int kCrankBlockPos = 2;    // average position of the crank blocks' locks, m
inline constexpr int kCrankPosMax = 3;      // outermost lock position on the crank, m
inline constexpr int kGearboxTorque = 4;    // rated gearbox torque, kN·m
inline constexpr int kBeamFrontArm = 5;     // centre bearing to the horsehead arc, m
inline constexpr int kMaxStroke = 6;        // largest stroke of the unit, m
inline constexpr int kBalanceArm = 7;       // centre bearing to the beam counterweight, m
inline constexpr int kBalanceArmAngle = 8;  // offset angle of the beam counterweight; "?" asks for an estimate
inline constexpr int kBeamBlockWt = 9;      // weight of one beam block, kN
inline constexpr int kBeamBlocks = 10;      // beam blocks installed
inline constexpr int kBeamBlocksMax = 11;   // most beam blocks the unit takes
inline constexpr int kCrankPosMin = 24;     // innermost lock position on the crank, m
inline constexpr int kCrankSpacing = 25;    // lock spacing of two blocks on one side, m
inline constexpr int kCrankAngle0 = 26;     // crank angle from 12 o'clock at the bottom dead centre
inline constexpr int kActStroke = 27;       // stroke the unit works with now, m
// Boxes 12..23: four crank block groups g = 0..3 of three boxes each.
inline constexpr int kCrankGroups = 4;
constexpr int group_pos(int g) { return 12 + 3 * g; }    // position of the group's blocks, m
constexpr int group_wt(int g) { return 13 + 3 * g; }     // weight of one block of the group, kN
constexpr int group_count(int g) { return 14 + 3 * g; }  // blocks in the group
}  // namespace balance_box

// Writes boxes 0..3, 5..7 and 9..26 of `boxes` from `rec`; a group or beam value of 0 leaves
// its box as it is, and so does a crank angle that is no number or beyond a whole turn (a
// damaged record): the box never shows "nan" or an exponent.
template <class Record, class Boxes>
void common_balance_boxes(const Record& rec, Boxes& boxes) {
  using namespace balance_box;
  auto milli = [](std::int16_t x) { return num_text(x / 1000.0); };
  auto whole = [](std::int16_t x) { return std::to_string(x); };
  boxes[kCrankPosMin] = milli(rec.crank_pos_min);
  boxes[kCrankSpacing] = milli(rec.crank_spacing);
  if (std::isfinite(rec.crank_angle0) && std::fabs(rec.crank_angle0) <= 360.0f) boxes[kCrankAngle0] = num_text_f(rec.crank_angle0);
  for (int g = 0; g < kCrankGroups; ++g) {
    const auto& grp = rec.crank_group[static_cast<std::size_t>(g)];
    if (grp.count > 0 || grp.weight > 0) {
      boxes[group_count(g)] = whole(grp.count);
      boxes[group_wt(g)] = milli(grp.weight);
      boxes[group_pos(g)] = milli(grp.pos);
    }
  }
  if (rec.beam_front_arm > 0) boxes[kBeamFrontArm] = milli(rec.beam_front_arm);
  if (rec.max_stroke > 0) boxes[kMaxStroke] = milli(rec.max_stroke);
  if (rec.balance_arm > 0) boxes[kBalanceArm] = milli(rec.balance_arm);
  if (rec.beam_block_wt > 0) boxes[kBeamBlockWt] = milli(rec.beam_block_wt);
  if (rec.beam_blocks > 0) boxes[kBeamBlocks] = whole(rec.beam_blocks);
  if (rec.beam_blocks_max > 0) boxes[kBeamBlocksMax] = whole(rec.beam_blocks_max);
  boxes[kCrankBlocks] = whole(rec.crank_blocks);
  boxes[kCrankBlockWt] = milli(rec.crank_block_wt);
  boxes[kCrankBlockPos] = milli(rec.crank_block_pos);
  boxes[kCrankPosMax] = milli(rec.crank_pos_max);
}

}  // namespace wb
