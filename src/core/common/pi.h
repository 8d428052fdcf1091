// π at the precisions the calculations were established with. Each routine keeps the one its
// results were calibrated with, so that its numbers stay exactly as they are; new code takes
// std::numbers::pi.
#pragma once

namespace wb {

// 14 decimals: the counterbalance analysis, the rod-string design and well path, and the
// stored-curve coder (its 2π, 6.28318530717958).
inline constexpr double kPi14 = 3.14159265358979;
inline constexpr double kTwoPi14 = 2 * kPi14;

// 5 decimals: the stored-curve rebuild and reader (2π as 6.28318) and the design's viscous
// loss prediction.
inline constexpr double kPi5 = 3.14159;
inline constexpr double kTwoPi5 = 2 * kPi5;

// 2 decimals: the efficiency analysis' pump displacement and fluid column (π·d²/4 with 3.14).
inline constexpr double kPi2 = 3.14;

// Doubling is exact, so these are the very constants the routines wrote out.
static_assert(kTwoPi14 == 6.28318530717958 && kTwoPi5 == 6.28318);

}  // namespace wb
