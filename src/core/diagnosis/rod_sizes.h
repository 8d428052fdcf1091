// The seven sucker-rod sizes, 5/8 in to 1-1/2 in, in the diagnosis's index order 1..7
// (index 0 of the diagnosis arrays is the sinker bar).
#pragma once

#include <array>

namespace wb {

inline constexpr int kRodSizeCount = 7;
// Diameter, mm.
inline constexpr std::array<double, kRodSizeCount> kRodDiameters = {15.9, 19.1, 22.2, 25.4, 28.6, 31.8, 38.1};
// Weight in air, kN/m.
inline constexpr std::array<double, kRodSizeCount> kRodWeights = {0.0166, 0.0238, 0.0325, 0.0424,
                                                                  0.0536, 0.0662, 0.0877};

}  // namespace wb
