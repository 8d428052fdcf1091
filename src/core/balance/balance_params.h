// The unit and counterweight parameters of the counterbalance window: the 28 parameter boxes
// (Text2, kept as text the way the user typed them), their defaults and tab order, the crank
// block group totals, the model-name parse, and the input check that turns the boxes into
// the working members before every automatic analysis.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/common/box_limits.h"
#include "core/records/balance_boxes.h"

namespace wb {

inline constexpr int kParameterBoxCount = 28;
using ParameterBoxes = std::array<std::string, kParameterBoxCount>;  // Text2 by balance_box, UTF-8

// Balance mode: the index of the selected option button; None when no button is selected.
enum class BalanceMode : int { None = -1, Crank = 0, Beam = 1, Combined = 2 };

// The sixteen working members the check fills (units in the comments).
struct BalanceParams {
  std::int16_t crank_blocks = 0;   // crank counterweight blocks
  float crank_block_wt = 0;        // average weight of one crank block, kN
  float crank_block_pos = 0;       // average position of the crank blocks, m
  float gearbox_torque = 0;        // rated gearbox torque, kN·m
  float crank_pos_max = 0;         // outermost block position on the crank, m
  float crank_pos_min = 0;         // innermost block position, m
  float crank_spacing = 0;         // lock spacing of two blocks on one side, m
  float crank_angle0 = 0;          // crank angle from 12 o'clock at the bottom dead centre, degrees
  float beam_front_arm = 0;        // centre bearing to the horsehead arc, m
  float balance_arm = 0;           // centre bearing to the beam counterweight, m
  float act_stroke = 0;            // stroke in use, m
  float max_stroke = 0;            // largest stroke of the unit, m
  float balance_arm_angle = 0;     // offset angle of the beam counterweight, degrees
  float beam_block_wt = 0;         // weight of one beam block, kN
  std::int16_t beam_blocks = 0;    // beam blocks installed
  std::int16_t beam_blocks_max = 0;  // most beam blocks the unit takes
};

// The boxes as a fresh window shows them.
ParameterBoxes default_parameter_boxes();

// Tab position (0..27) -> box index; the Up/Down/Enter keys move along it.
extern const std::array<int, kParameterBoxCount> kParameterTabOrder;
// The box the Up (step -1) or Down/Enter (step +1) key moves to; -1 when there is none.
int parameter_box_after(int box, int step);

// Boxes 12..23 hold four crank block groups (position, weight, count). Recomputes the
// installed count (box 0), the average weight (box 1, 2 decimals) and the average position
// (box 2, from the rounded average weight); all three empty when no group counts. A group
// with a box beyond kCrankGroupBoxLimits counts for nothing (the analysis names that box).
void crank_group_totals(ParameterBoxes& text2);

// What each crank block group's boxes may hold; the crank analyses refuse the others.
extern const std::array<BoxLimit, 12> kCrankGroupBoxLimits;

// The largest stroke (after the first "-") and the gearbox torque (after the second "-") that
// a model name such as "CYJ10-3-37HB" carries: the digits and points that follow each "-".
struct ModelNameFigures {
  std::string max_stroke;
  std::string gearbox_torque;
};
ModelNameFigures parse_model_name(const std::string& model);

// A count box as the check reads it: the leading number rounded half to even, held in
// 16 bits (a number beyond that range is clamped; its check row reports it).
std::int16_t parse_count_box(const std::string& text);

struct InputCheck {
  bool failed = false;   // true: the analysis must stop; `message` goes into the advice box
  std::string message;   // lines of CR LF, tab and the problem
};

// Check_Input_Dat: parses the sixteen members from the boxes, checks the rows and relations
// of the selected mode, estimates the offset angle when box 8 ends in "?" (writing the
// estimate back into the box), and on success snaps a stroke within 5 % of the largest
// stroke to it. Besides the listed rows, a crank block count of 0 is refused in crank and
// combined balance (the crank shift divides by it).
InputCheck Check_Input_Dat(ParameterBoxes& text2, BalanceMode mode, BalanceParams& p);

}  // namespace wb
