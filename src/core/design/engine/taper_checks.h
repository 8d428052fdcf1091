// The modified Goodman stress check of a running axial load on a rod size, shared by the
// taper design and its tests.
#pragma once

#include <string>

namespace wb::design {

struct StressCheck {
  double sigma_max = 0;  // MPa
  double sigma_g = 0;    // MPa, allowed by the modified Goodman rule
  bool pass = false;     // sigma_max < SF·sigma_g with sigma_g > 0
  std::string percent;   // per cent of sigma_g to one decimal, shortest text; empty for sigma_g ≤ 0
};

// W: axial load at the top of what was built, kN; A: area, mm²; T: allowed stress, MPa.
StressCheck goodman_check(double W, double fluid_load, double A, float lf_up, float lf_dn, float dyn, double T,
                          double SF);
// Per cent of sigma_g to one decimal as the shortest text; empty when sigma_g ≤ 0.
std::string stress_percent_text(double sigma_max, double sigma_g);

}  // namespace wb::design
