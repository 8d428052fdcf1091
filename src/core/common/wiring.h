// The current clamps' wiring modes of a power test, as stored in its header.
#pragma once

#include <cmath>

namespace wb {

// Factor from the measured current × voltage to the apparent power (VA): mode 1 (three-phase,
// two channels) √3, mode 3 (single phase) 1, every other value 3 (three-phase, one or three
// channels).
inline double wiring_factor(int wiring_mode) {
  if (wiring_mode == 1) return std::sqrt(3.0);
  if (wiring_mode == 3) return 1.0;
  return 3.0;
}

}  // namespace wb
