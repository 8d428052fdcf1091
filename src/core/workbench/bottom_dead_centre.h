// The stroke after its period is known: the bottom dead centre (Chk_Trans_Info), the turn
// of the arrays to start there (Abs_Trans_Data), and the card and electric records built
// from the stroke and the result boxes (Pow_Sgt_Dat_Prep).
#pragma once

#include <string>
#include <vector>

#include "core/workbench/test_state.h"

namespace wb {

// Fits the position with harmonics 0..5 and puts bdc_start at the first sample whose
// fitted value is nearest 0 (the position is shifted to a minimum of 0 by then). Makes an
// even gt_num odd, as the codec does (the card then holds one sample more than the electric
// curves). Enables Chk_Start only when the fundamental is at least 0.25 m.
void Chk_Trans_Info(TestState& st);

// Turns iis, uus, pps, sss and ggs over gt_num samples so that index 0 is the bottom dead
// centre when Chk_Start is checked, or turns them back when it is not. qqs never moves.
void Abs_Trans_Data(TestState& st);

// Fields that could not be stored (text not a number, value outside its 16-bit field),
// named as the boxes they come from.
struct RecordBuildReport {
  std::vector<std::string> unstored;
  bool complete() const { return unstored.empty(); }
};

// Builds sgt_rec and dnt_rec of the joint test from cleared buffers, so a field that cannot
// be filled holds 0, never the previous test's value. Shifts sss(0..gt_num-1) in place so
// that its minimum is 0.
RecordBuildReport Pow_Sgt_Dat_Prep(TestState& st);

// The message a storing command shows when some fields were not stored; empty when all were.
std::string unstored_fields_message(const RecordBuildReport& report);

}  // namespace wb
