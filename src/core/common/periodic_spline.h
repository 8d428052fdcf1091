// Periodic cubic spline `gspl3`.
//
// Passes a cubic spline with periodic end conditions through the table (X(k), y(k)),
// k = 0..n-1, evaluates it at m query abscissae t(j) (value, first and second derivative)
// and returns the exact integral of the spline from X(0) to X(n-1). The table is one period
// P = X(n-1) - X(0): the spline has equal first and second derivatives at both ends, and a
// query outside [X(0), X(n-1)) is shifted by whole periods first, so a query at X(n-1)
// gives the values at X(0) (y(0), not y(n-1), when the two differ).
//
// On every interval [X(k), X(k+1)] the spline is the cubic Hermite polynomial of the two end
// values and the two end slopes dy(k), dy(k+1); the slopes come from the cyclic tridiagonal
// system solved by elimination in a fixed order, so results match to the last bit between
// callers of the same element type.
//
// Template parameters (give both explicitly; vectors and arrays then convert to the spans):
//   Real   element type of every array and of the intermediate quantities:
//          double for the downhole diagnosis (its card abscissae), float for the well
//          trajectory of the design engine (32-bit station and node arrays). The integral is
//          summed in double in both cases; its trapezoid part h·(y(k)+y(k+1)) is formed in Real
//          and then halved in double, its curvature part uses h³ in double.
//   Count  integer type of n and m: int for the diagnosis, std::int16_t for the trajectory.
//
// Parameters, in order (arrays are spans; a span may be longer than its count):
//   X    in,   n entries   table abscissae, finite and strictly increasing
//   y    in,   n entries   table values
//   n    in                number of table points, at least 2
//   dy   out,  n entries   first derivative of the spline at X(k); dy(n-1) = dy(0)
//   ddy  out,  n entries   ddy(k), k = 0..n-2: second derivative at the LEFT end of interval k;
//                          ddy(n-1): second derivative at the right end of the last interval
//                          (equal to ddy(0) within rounding)
//   t    in,   m entries   query abscissae, any finite values
//   m    in                number of query points; 0 or negative evaluates nothing
//   z    out,  m entries   spline value at t(j)
//   dz   out,  m entries   first derivative at t(j)
//   ddz  out,  m entries   second derivative at t(j)
//   s    work, n entries   on return s(k) = X(k+1) - X(k) for k = 0..n-2 and s(n-1) = 1
// The contents of dy, ddy and s on entry do not matter (they are the elimination's work
// space). X, y, t, n and m are never changed.
//
// Failures (SplineResult::failure), never an exception, never an endless loop:
//   - n < 2, a table array (X, y, dy, ddy, s) shorter than n, or abscissae that are not
//     finite and strictly increasing: refused before anything is written.
//   - a query that is not finite: evaluation stops there; the queries before it stay written.
//   - t, z, dz or ddz shorter than m: evaluation stops at the first entry that does not fit;
//     every entry written before stays (z(j) is written before dz(j), dz(j) before ddz(j)).
// In both query failures dy, ddy, s and the integral are complete and valid.
// A query exactly on an inner knot uses the interval to its left.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

namespace wb {

enum class SplineFailure : std::uint8_t {
  none,
  too_few_points,        // n < 2
  table_array_short,     // X, y, dy, ddy or s shorter than n
  table_not_increasing,  // an abscissa not finite, or not above the one before
  query_not_finite,      // t(j) infinite or NaN
  query_array_short,     // t, z, dz or ddz shorter than m
};

struct [[nodiscard]] SplineResult {
  double integral = 0;  // of the spline from X(0) to X(n-1); 0 when the table was refused
  SplineFailure failure = SplineFailure::none;
  std::ptrdiff_t evaluated = 0;  // query points whose z, dz and ddz were all written
  bool ok() const { return failure == SplineFailure::none; }
};

namespace spline_detail {

// Query shifts done one period at a time, as long as they stay few; a query further out
// jumps by whole periods at once (repeated subtraction of P from a huge value would never
// move it in floating point).
inline constexpr double kMaxStepwiseShifts = 64;

template <typename Real>
Real shift_into_period(Real u, Real x_first, Real x_last, Real period) {
  if ((static_cast<double>(u) - x_last) / period > kMaxStepwiseShifts ||
      (static_cast<double>(x_first) - u) / period > kMaxStepwiseShifts) {
    double r = std::fmod(static_cast<double>(u) - x_first, static_cast<double>(period));
    if (r < 0) r += period;
    u = static_cast<Real>(x_first + r);
  }
  while (u >= x_last) u -= period;
  while (u < x_first) u += period;
  return u;
}

}  // namespace spline_detail

template <typename Real, typename Count>
SplineResult gspl3(std::span<const Real> X, std::span<const Real> y, Count n_in, std::span<Real> dy,
                   std::span<Real> ddy, std::span<const Real> t, Count m_in, std::span<Real> z, std::span<Real> dz,
                   std::span<Real> ddz, std::span<Real> s) {
  SplineResult result;
  const std::ptrdiff_t n = n_in;
  const std::ptrdiff_t m = m_in;
  if (n < 2) {
    result.failure = SplineFailure::too_few_points;
    return result;
  }
  const auto un = static_cast<std::size_t>(n);
  if (X.size() < un || y.size() < un || dy.size() < un || ddy.size() < un || s.size() < un) {
    result.failure = SplineFailure::table_array_short;
    return result;
  }
  for (std::ptrdiff_t k = 0; k < n; ++k) {
    if (!std::isfinite(X[k]) || (k > 0 && !(X[k] > X[k - 1]))) {
      result.failure = SplineFailure::table_not_increasing;
      return result;
    }
  }

  const Real one = 1, two = 2, three = 3, six = 6, twelve = 12;
  auto h = [&](std::ptrdiff_t k) { return static_cast<Real>(X[k + 1] - X[k]); };
  auto rise = [&](std::ptrdiff_t k) { return static_cast<Real>(y[k + 1] - y[k]); };
  // Knot k's left interval is the last one for k = 0 (the period wraps), else interval k-1.
  auto alpha_beta = [&](std::ptrdiff_t k, Real& alpha, Real& beta) {
    const std::ptrdiff_t left = k == 0 ? n - 2 : k - 1;
    const Real hl = h(left), hr = h(k);
    alpha = hl / (hl + hr);
    beta = three * ((one - alpha) * rise(left) / hl + alpha * rise(k) / hr);
  };

  // Elimination of the cyclic system; dy holds the forward factors until the back substitution.
  dy[0] = 0;
  ddy[0] = 0;
  ddy[n - 1] = 0;
  s[0] = 1;
  s[n - 1] = 1;
  for (std::ptrdiff_t k = 0; k <= n - 3; ++k) {
    Real alpha, beta;
    alpha_beta(k, alpha, beta);
    const Real u = two + (one - alpha) * dy[k];
    dy[k + 1] = -alpha / u;
    s[k + 1] = (alpha - one) * s[k] / u;
    ddy[k + 1] = (beta - (one - alpha) * ddy[k]) / u;
  }
  for (std::ptrdiff_t j = n - 2; j >= 1; --j) {
    s[j] = dy[j] * s[j + 1] + s[j];
    ddy[j] = dy[j] * ddy[j + 1] + ddy[j];
  }
  {
    Real alpha, beta;
    alpha_beta(n - 2, alpha, beta);
    const Real w =
        (beta - alpha * ddy[1] - (one - alpha) * ddy[n - 2]) / (alpha * s[1] + (one - alpha) * s[n - 2] + two);
    dy[n - 2] = w;
    for (std::ptrdiff_t j = 2; j <= n - 1; ++j) dy[j - 2] = s[j - 1] * w + ddy[j - 1];
  }
  dy[n - 1] = dy[0];

  // Second derivatives and interval lengths.
  for (std::ptrdiff_t k = 0; k <= n - 2; ++k) s[k] = h(k);
  for (std::ptrdiff_t k = 0; k <= n - 2; ++k)
    ddy[k] = six * rise(k) / (s[k] * s[k]) - two * (two * dy[k] + dy[k + 1]) / s[k];
  {
    const Real hl = s[n - 2];
    ddy[n - 1] = six * (y[n - 2] - y[n - 1]) / (hl * hl) + two * (two * dy[n - 1] + dy[n - 2]) / hl;
  }

  // Exact integral of the piecewise cubic.
  for (std::ptrdiff_t k = 0; k <= n - 2; ++k) {
    const Real hk = s[k];
    const double hd = hk;
    const Real trapezoid = hk * (y[k] + y[k + 1]);
    const Real curvature = ddy[k] + ddy[k + 1];
    result.integral += static_cast<double>(trapezoid) * 0.5 - hd * hd * hd * static_cast<double>(curvature) / 24;
  }

  // Evaluation.
  const Real x_first = X[0], x_last = X[n - 1];
  const Real period = x_last - x_first;
  for (std::ptrdiff_t j = 0; j < m; ++j) {
    if (static_cast<std::size_t>(j) >= t.size()) {
      result.failure = SplineFailure::query_array_short;
      return result;
    }
    if (!std::isfinite(t[j])) {
      result.failure = SplineFailure::query_not_finite;
      return result;
    }
    const Real u = spline_detail::shift_into_period(t[j], x_first, x_last, period);
    // Lowest i with X(i+1) >= u; a rounding that leaves u a hair above X(n-1) stays on the
    // last interval.
    std::ptrdiff_t i = 0;
    while (i < n - 2 && X[i + 1] < u) ++i;
    const Real hi = s[i];
    const Real a = (X[i + 1] - u) / hi;
    const Real b = (u - X[i]) / hi;
    const Real a2 = a * a, a3 = a2 * a, b2 = b * b, b3 = b2 * b;
    const auto uj = static_cast<std::size_t>(j);
    if (uj >= z.size()) {
      result.failure = SplineFailure::query_array_short;
      return result;
    }
    z[j] = (three * a2 - two * a3) * y[i] + hi * (a2 - a3) * dy[i] + (three * b2 - two * b3) * y[i + 1] -
           hi * (b2 - b3) * dy[i + 1];
    if (uj >= dz.size()) {
      result.failure = SplineFailure::query_array_short;
      return result;
    }
    dz[j] = six * (a2 - a) * y[i] / hi + (three * a2 - two * a) * dy[i] - six * (b2 - b) * y[i + 1] / hi +
            (three * b2 - two * b) * dy[i + 1];
    if (uj >= ddz.size()) {
      result.failure = SplineFailure::query_array_short;
      return result;
    }
    ddz[j] = (six - twelve * a) * y[i] / (hi * hi) + (two - six * a) * dy[i] / hi +
             (six - twelve * b) * y[i + 1] / (hi * hi) - (two - six * b) * dy[i + 1] / hi;
    result.evaluated = j + 1;
  }
  return result;
}

}  // namespace wb
