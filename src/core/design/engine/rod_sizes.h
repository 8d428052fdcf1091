// The seven sucker-rod sizes every design stage uses, smallest first: 5/8, 3/4, 7/8, 1,
// 1-1/8, 1-1/4 and 1-1/2 in.
#pragma once

#include <array>
#include <cmath>

#include "core/common/pi.h"

namespace wb::design {

struct RodSize {
  double dia;     // mm
  double weight;  // kN per m of rod, in air
};

inline constexpr std::array<RodSize, 7> kRodSizes = {{
    {15.9, 0.0166}, {19.1, 0.0238}, {22.2, 0.0325}, {25.4, 0.0424}, {28.6, 0.0536}, {31.8, 0.0662}, {38.1, 0.0877}}};

// The size a sinker bar of typed diameter d (mm) takes: the first whose diameter has the same
// whole-millimetre part (25 → 25.4 mm, 38 → 38.1 mm); −1 when none has. Each caller has its
// own fallback for −1.
inline int sinker_size_index(double d) {
  for (int i = 0; i < static_cast<int>(kRodSizes.size()); ++i) {
    if (std::floor(kRodSizes[static_cast<std::size_t>(i)].dia) == std::floor(d)) return i;
  }
  return -1;
}

}  // namespace wb::design
