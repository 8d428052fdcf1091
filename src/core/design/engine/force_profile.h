// Pieces of the force profile that work on the depth profile alone: the spacing code of a
// node, the centralizer placement and the back-off tool search.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/design/engine/design_state.h"

namespace wb::design {

// Spacing code from the minimum axial force (N) and the rod-tubing force (N/m).
std::int16_t spacing_code(float axial_min, float side_tubing);

// Marks centralizers on nodes 0..np: smallest code first, the deepest node on ties; each
// placement frees the nodes within half its spacing that hold no centralizer yet.
void place_centralizers(std::array<std::int16_t, kNodeCount>& code, int np);

// Depths (m) of up to four rod back-off tools, deepest first, for the pump at pd m with a
// sinker bar of L0 m: above the sinker bar, at the neutral point (smallest |axial_min| above
// the last 100 m) unless within 200 m of the first, and at up to two dogleg peaks above
// 5°/30 m at least 200 m from the tool before. `count` gets the number of entries; an entry
// may be empty (no neutral point on a pump shallower than 100 m).
std::array<std::optional<double>, 4> backoff_depths(const DepthProfile& p, int np, double pd, double L0, int& count);

}  // namespace wb::design
