// Pieces of the design efficiency with a meaning of their own.
#pragma once

namespace wb::design {

// Motor power demand after the design, kW: the input power times the RMS ratio (1.2 when
// the ratio is below 1.12) times 1.8/0.75, raised to the first standard rating that covers
// it; a demand above 75 kW stays as computed.
float motor_demand(float input_power, float rms_ratio);
// Depth nodes a rod section of L m takes in the section model: ⌊L/2⌋ before the design,
// ⌊L + 0.9⌋/2 rounded half to even after it (101 m → 50, 103 m → 52).
int nodes_before_design(double L);
int nodes_after_design(double L);
// The first standard motor rating (7.5 … 75 kW) at least `demand`; above 75 the demand.
float motor_rating(float demand);

}  // namespace wb::design
