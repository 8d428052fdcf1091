// The energy panel: the fifteen energy indicators of the shown electric test and its wiring
// mode, printed in two columns on the main picture, and the DnCs values they come from.
#pragma once

#include <array>
#include <string>

#include "core/charts/data_type.h"
#include "core/common/canvas.h"
#include "core/records/drawn_test.h"

namespace wb {

// Fills DnCs(1..15) from the result boxes (input power, average voltage … RMS power), the half-stroke values and
// p_sum. A box that is not a number, or a balance of two zero halves, leaves its element
// as it was.
void fill_DnCs(const DrawnTest& st, DnCsArray& DnCs);

// The 16 panel entries: 0 is the wiring mode, k = 1..15 the label of DnCs(k) and its value.
std::array<std::string, 16> energy_panel_entries(int wiring_mode, const DnCsArray& DnCs);

// Fills DnCs, hides Command1 and draws the panel on `pic` (millimetres, cleared first,
// 宋体 9 pt). The main window passes st.DnCs.
void disp_data(DrawnTest& st, Canvas& pic, DnCsArray& DnCs);

}  // namespace wb
