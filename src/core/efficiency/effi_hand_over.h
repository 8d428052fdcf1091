// The efficiency window's side of a hand-over and of the boxes the user leaves.
//
// A hand-over copies the main window's identity and measured results into the boxes, keeps
// the stroke, takes the largest and smallest load of the card, and takes the input power to
// which the electric curves correspond. The results of an earlier calculation are emptied:
// they belong to another test or other inputs and must not be saved or printed with this one.
//
// Leaving box 5 or 6 recomputes the daily oil (box 7), leaving box 19 the submergence
// (box 20), and leaving box 25 with a new input power rescales the electric curves.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/efficiency/sys_effi_state.h"
#include "core/workbench/test_state.h"

namespace wb {

// Stroke hand-over steps: counts, boxes from the main window (`main_Text1`: 0 test time,
// 2 well; `main_Text3`: 1..13 measured results), the curves (electric indices 0..iu_num when
// iu_num >= 200, card indices 0..gt_num-1 when gt_num >= 200, with boxes 45 and 46), the
// input-power reference, and the emptied results. Counts beyond the arrays are cut to them.
void effi_hand_over(SysEffiState& s, const SampleArray& uus1, const SampleArray& iis1, const SampleArray& pps1,
                    const SampleArray& qqs1, const SampleArray& sss1, const SampleArray& ggs1, std::int16_t gt_num1,
                    std::int16_t iu_num1, std::int16_t cs_fs1, std::int16_t read_sgt_dnt_org1,
                    const std::array<std::string, 6>& main_Text1, const std::array<std::string, 16>& main_Text3);

// Carries the well's base data forward from its newest efficiency record (the highest
// record number whose trimmed well equals trimmed box 0, case-sensitive): boxes 1 to 22
// and 24 from the record, boxes 47 and 48 from its sinker text split at the first "/"
// (none: both emptied). A refused record is passed over and damaged fields come blank
// (gt_ym_checks.h). The stored test time and results are not taken. A missing, empty,
// damaged or unreadable library carries nothing and is left as it is.
enum class [[nodiscard]] CarryForward {
  Carried,    // the boxes hold the newest usable record's base data
  NoRecord,   // the library holds no usable record of the well (or none at all): boxes unchanged
  Unreadable  // the library is damaged or cannot be read: boxes unchanged
};
CarryForward carry_forward_base_data(SysEffiState& s, const std::filesystem::path& Effi_File);

// What leaving a box did.
enum class BoxLeft { Nothing, Derived, Rescaled };

// Text1_LostFocus without the colours: the derived boxes of box `index`. Leaving box 25
// rescales (Recalc_Pow_Param) only for a handed-over joint or electric test when both the
// reference and the new input power are non-zero; the reference then becomes the new one.
BoxLeft effi_box_left(SysEffiState& s, int index, std::array<std::string, 16>& main_Text3);

}  // namespace wb
