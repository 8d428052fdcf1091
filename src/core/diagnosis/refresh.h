// The diagnosis refresh (`Cmd_Ref_Com_Click`) and the card-library lookup (`Load_SGT`).
//
// Order of one run: apply the button to the current card (index 0 may load the well's card
// from the library), rebuild one stroke at 72 points and widen the card's stored extremes,
// show the extremes, check that the card is the well's, keep it as `refreshed_card`, check
// the downhole oil density, work out the static loads and the stroke loss, choose the
// scales, compute the pump card, reduce it to the plunger and effective strokes and the pump
// efficiency, fill the chart record and draw it. A run stopped at the well or density check
// leaves an empty chart record, so nothing of another test is drawn or printed later.
#pragma once

#include <filesystem>

#include "core/common/canvas.h"
#include "core/common/services.h"
#include "core/diagnosis/diagnosis_state.h"
#include "core/diagnosis/pump_card.h"

namespace wb {

enum RefreshButton : int { kRefresh = 0, kLoadUp = 1, kLoadDown = 2, kLoadTimes = 3, kLoadDivide = 4 };

inline constexpr const char* kDensityMessage = "请重新输入地下原油密度!";

enum class RefreshEnd {
  drawn,            // the chart was drawn (with or without a pump card, see pump)
  other_well,       // the current card is not the well's: stopped silently
  density_refused,  // message shown, density_err = 1; the window puts the focus into box 9
  box_refused,      // a box read is not a number or out of its range (kRefreshBoxLimits):
                    // message naming it shown, the focus asked for it, nothing drawn
};

struct [[nodiscard]] RefreshOutcome {
  RefreshEnd end = RefreshEnd::drawn;
  PumpCardRun pump = PumpCardRun::no_load_factor;  // meaningful when end is drawn
};

// One press of the button `index` (0 refresh, 1 "＋", 2 "－", 3 "×", 4 "÷"). `picture` is
// the window's chart (may be null): it is cleared and, at the end, drawn on in points.
RefreshOutcome Cmd_Ref_Com_Click(DiagnosisState& st, int index, MessageService& messages, Canvas* picture);

// Copies the first card of the library whose trimmed well name is the trimmed text of box 3
// into the current card (Bgt_Rec.card). Whole 512-byte records only; a trailing partial
// record is not read. True when a card was copied; a missing or unreadable library changes
// nothing and says nothing.
[[nodiscard]] bool Load_SGT(DiagnosisState& st, const std::filesystem::path& gt_filename);

// The stroke axis: right end in whole metres (at least 3) for a stroke with its loss of l m,
// 600 plot units long.
struct StrokeScale {
  float stroke_max = 0;
  float stroke_scale = 0;
};
StrokeScale stroke_scale_for(float l);

// The load axis for a top load of h kN: 360 plot units long.
struct LoadScale {
  float load_divs, load_step, load_max, grid_step, load_scale;
};
LoadScale load_scale_for(float h);

// The effective stroke of a pump card: displacements gt_s (m, upward from the card's lowest
// point, top at `top`) and loads gt_f of 72 points. The downstroke from the top to the
// bottom is cut (indexes taken modulo 72), turned to increasing displacement, cleared of
// points that do not increase it, and the node with the largest second derivative of the
// load (a periodic spline over the segment) gives the effective stroke, its displacement. Fewer
// than 4 points: the first point of the segment.
double effective_stroke(const std::array<double, 72>& gt_s, const std::array<double, 72>& gt_f, double top);

}  // namespace wb
