// Narrowing of the engine's double results without undefined behaviour: a typed or computed
// value beyond the range of a 32-bit float or of a node index saturates instead.
#pragma once

#include <cmath>
#include <limits>

#include "core/design/engine/design_state.h"

namespace wb::design {

// To single precision; beyond ±3.4e38 the largest float of that sign.
inline float f32(double x) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (x > kMax) return std::numeric_limits<float>::max();
  if (x < -kMax) return -std::numeric_limits<float>::max();
  return static_cast<float>(x);
}

// ⌊x⌋ as an index, kept within −1 .. kNodeCount so that every comparison with the profile's
// ends still holds; NaN gives −1.
inline int floor_index(double x) {
  if (!(x >= -1)) return -1;
  if (x >= kNodeCount) return kNodeCount;
  return static_cast<int>(std::floor(x));
}

}  // namespace wb::design
