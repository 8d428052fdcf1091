// The tapered rod string of the pump-card computation (`get_yjcs`).
//
// One total length per rod size is typed, plus a sinker bar's diameter and length. The
// sinker bar joins the size whose diameter has the same whole-millimetre part (a 38 mm bar
// joins the 1-1/2 in size, 25.9 mm the 1 in size); no match leaves it out of the taper.
// Sections follow in decreasing diameter from the top, whatever kind of rod they are, so a
// 38 mm sinker bar becomes the top section. At most four sections: while there are more, the
// shortest is dropped (of equal lengths, the smaller diameter), its rods lost, not moved.
#pragma once

#include "core/diagnosis/diagnosis_state.h"

namespace wb {

inline constexpr int kMaxTaperSections = 4;

// Rebuilds Size_Dia, Size_Wt, Size_Len, Sec_Last and yjcs slots 2, 3, 23..30 and 33 from
// boxes 14, 15, 37, 2, 13, 12, 11, 10, 1 and 22.
void get_yjcs(DiagnosisState& st);

// The rod-size table of the boxes before any sinker join: diameters and weights of the
// seven sizes, the sinker bar (index 0) with its typed diameter and weight 0, and lengths
// 0..5 from boxes 2, 13, 12, 11, 10, 1 (6 and 7 are 0).
void fill_rod_table(DiagnosisState& st);
// The first size 1..7 whose diameter has the whole-millimetre part of the sinker bar's, or 0.
int sinker_size(const DiagnosisState& st);

}  // namespace wb
