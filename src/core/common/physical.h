#pragma once
// Physical constants at the values the calculations were established with. Each step keeps
// the one its results were calibrated with, so that its numbers stay exactly as they are.

namespace wb {

// Acceleration of gravity, m/s². 9.8 in liquid-column loads, lifts and pressures of the
// diagnosis, the efficiency calculation and the rod-string design; 9.81 in the efficiency's
// hydraulic power, the design's pump intake pressure and fluid load, the taper design's
// fluid load and the sample maker.
inline constexpr double kGravity = 9.8;
inline constexpr double kGravityFine = 9.81;

// Density of the rod steel, t/m³: the buoyancy factor of the rods is (7.8 − ρ) / 7.8.
inline constexpr double kSteelDensity = 7.8;

}  // namespace wb
