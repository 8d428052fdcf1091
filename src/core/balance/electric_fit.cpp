#include "core/balance/electric_fit.h"

#include <cmath>

namespace wb {

namespace {
constexpr double kRelativePivotTolerance = 1e-9;
}

QuadraticFit Get_P_Q_1(const float* ys, const float* xs, int n) {
  QuadraticFit fit;
  double Sy = 0, S1 = 0, S2 = 0, S11 = 0, S12 = 0, S22 = 0, S1y = 0, S2y = 0;
  for (int i = 0; i < n; ++i) {
    const double y = ys[i];
    const double z1 = xs[i];
    const double z2 = z1 * z1;
    Sy += y;
    S1 += z1;
    S2 += z2;
    S11 += z1 * z1;
    S12 += z1 * z2;
    S22 += z2 * z2;
    S1y += z1 * y;
    S2y += z2 * y;
  }
  const double N = n;
  // Augmented matrix rows 1 and 2, columns 1..3 (index 0 unused).
  double A[3][4] = {};
  if (n > 0) {
    A[1][1] = S11 - S1 * S1 / N;
    A[1][2] = S12 - S1 * S2 / N;
    A[1][3] = S1y - S1 * Sy / N;
    A[2][1] = A[1][2];
    A[2][2] = S22 - S2 * S2 / N;
    A[2][3] = S2y - S2 * Sy / N;
  }
  const double tol[3] = {0, kRelativePivotTolerance * S11, kRelativePivotTolerance * S22};
  int solved = 0;  // columns eliminated
  for (int k = 1; k <= 2 && fit.unique; ++k) {
    int r = 0;
    for (int cand = k; cand <= 2; ++cand) {
      if (A[cand][k] != 0 && std::fabs(A[cand][k]) > tol[k]) {
        r = cand;
        break;
      }
    }
    if (r == 0) {
      fit.unique = false;
      break;
    }
    if (r != k)
      for (int c = 1; c <= 3; ++c) std::swap(A[k][c], A[r][c]);
    const double d = 1.0 / A[k][k];
    for (int c = 1; c <= 3; ++c) A[k][c] *= d;
    const int other = 3 - k;
    const double f = -A[other][k];
    for (int c = 1; c <= 3; ++c) A[other][c] = A[k][c] * f + A[other][c];
    solved = k;
  }
  // Without a unique solution the coefficients the elimination has not settled are 0: with
  // column 1 solved, row 1 holds the straight-line fit, and row 2 only a remainder.
  const double b1 = solved >= 1 ? A[1][3] : 0.0;
  const double b2 = solved >= 2 ? A[2][3] : 0.0;
  double a0 = 0;
  if (n > 0) a0 = Sy / N - (b1 * S1 / N + b2 * S2 / N);
  fit.A0 = static_cast<float>(a0);
  fit.B1 = static_cast<float>(b1);
  fit.B2 = static_cast<float>(b2);
  return fit;
}

}  // namespace wb
