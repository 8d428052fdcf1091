// Least-squares fit of a quadratic y = a0 + b1·x + b2·x² over the samples of one stroke, by
// the centred normal equations solved with Gauss-Jordan elimination. The counterbalance
// forecast fits the reactive power and the voltage on the active power this way.
#pragma once

namespace wb {

// The message shown once for each fit without a unique solution.
inline constexpr const char* kNoUniqueSolutionText = "高斯法解方程无唯一解!";

struct QuadraticFit {
  float A0 = 0;  // constant
  float B1 = 0;  // linear coefficient
  float B2 = 0;  // quadratic coefficient
  // False when the equations have no unique solution (fewer than three distinct x values,
  // no samples, or x so nearly constant that the pivot is lost in rounding): the
  // coefficients are those the elimination reached, and the caller shows a message.
  bool unique = true;
};

// Get_P_Q_1: fits ys on xs over n samples. Sums, elimination and means in double precision;
// a pivot counts as zero when it is below 1e-9 of its column's sum of squares (samples are
// single precision, so a smaller remainder is rounding noise).
QuadraticFit Get_P_Q_1(const float* ys, const float* xs, int n);

}  // namespace wb
