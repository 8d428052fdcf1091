// The periodic cubic spline against closed forms (a line, a constant, sin x) and against the
// defining properties of a periodic cubic spline on an uneven table: it interpolates, its
// first and second derivatives are continuous at every knot and across the period boundary,
// and its integral equals a fine Simpson sum of its own values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "core/common/periodic_spline.h"

namespace wb {
namespace {

constexpr double kSentinel = -12345.0;
constexpr double kTwoPi = 2 * std::numbers::pi;

// One call's arrays, sized for the table and the queries.
template <typename Real>
struct Run {
  std::vector<Real> dy, ddy, s, z, dz, ddz;
  SplineResult r;
};

template <typename Real, typename Count = int>
Run<Real> run(const std::vector<Real>& x, const std::vector<Real>& y, const std::vector<Real>& t) {
  Run<Real> out;
  const std::size_t n = x.size(), m = t.size();
  out.dy.assign(n, Real(kSentinel));
  out.ddy.assign(n, Real(kSentinel));
  out.s.assign(n, Real(kSentinel));
  out.z.assign(m, Real(kSentinel));
  out.dz.assign(m, Real(kSentinel));
  out.ddz.assign(m, Real(kSentinel));
  out.r = gspl3<Real, Count>(x, y, static_cast<Count>(n), out.dy, out.ddy, t, static_cast<Count>(m), out.z, out.dz,
                             out.ddz, out.s);
  return out;
}

std::vector<double> sin_table_x() {
  std::vector<double> x(13);
  for (int k = 0; k < 13; ++k) x[k] = kTwoPi * k / 12;
  return x;
}

TEST(PeriodicSpline, TwoPointsGiveTheStraightLine) {
  const std::vector<double> x = {1.0, 5.0}, y = {2.0, 10.0};
  const std::vector<double> t = {1.0, 2.0, 4.5};
  auto out = run(x, y, t);
  ASSERT_TRUE(out.r.ok());
  for (double d : out.dy) EXPECT_NEAR(d, 2.0, 1e-12);
  for (double d : out.ddy) EXPECT_NEAR(d, 0.0, 1e-12);
  EXPECT_NEAR(out.r.integral, 4 * (2.0 + 10.0) / 2, 1e-12);
  EXPECT_EQ(out.s[0], 4.0);
  EXPECT_EQ(out.s[1], 1.0);
  for (std::size_t j = 0; j < t.size(); ++j) {
    SCOPED_TRACE(t[j]);
    EXPECT_NEAR(out.z[j], 2.0 + 2.0 * (t[j] - 1.0), 1e-12);
    EXPECT_NEAR(out.dz[j], 2.0, 1e-12);
    EXPECT_NEAR(out.ddz[j], 0.0, 1e-12);
  }
}

TEST(PeriodicSpline, ConstantTableIsConstantEverywhere) {
  const std::vector<double> x = {0.0, 0.7, 2.0, 2.1, 5.0}, y(5, 3.25);
  const std::vector<double> t = {-11.0, 0.0, 0.35, 2.05, 4.99, 5.0, 17.3};
  auto out = run(x, y, t);
  ASSERT_TRUE(out.r.ok());
  EXPECT_NEAR(out.r.integral, 3.25 * 5.0, 1e-12);
  for (std::size_t j = 0; j < t.size(); ++j) {
    SCOPED_TRACE(t[j]);
    EXPECT_NEAR(out.z[j], 3.25, 1e-12);
    EXPECT_NEAR(out.dz[j], 0.0, 1e-12);
    EXPECT_NEAR(out.ddz[j], 0.0, 1e-12);
  }
}

// Thirteen samples of sin x over one period: the spline's error is of order h^4 (h = pi/6),
// well inside 0.0005 for the value and 0.002 for the slope; the integral of a full period is 0.
TEST(PeriodicSpline, SineAtThirteenPointsDouble) {
  const auto x = sin_table_x();
  std::vector<double> y(13), t;
  for (int k = 0; k < 13; ++k) y[k] = std::sin(x[k]);
  y[12] = 0;  // one period: the table closes on the value it starts with
  for (int j = -40; j <= 440; ++j) t.push_back(kTwoPi * j / 400);
  auto out = run(x, y, t);
  ASSERT_TRUE(out.r.ok());
  EXPECT_NEAR(out.r.integral, 0.0, 1e-12);
  for (std::size_t j = 0; j < t.size(); ++j) {
    SCOPED_TRACE(t[j]);
    EXPECT_NEAR(out.z[j], std::sin(t[j]), 0.0005);
    EXPECT_NEAR(out.dz[j], std::cos(t[j]), 0.002);
  }
  for (int k = 0; k < 12; ++k) EXPECT_NEAR(out.dy[k], std::cos(x[k]), 0.002) << k;
  EXPECT_DOUBLE_EQ(out.dy[12], out.dy[0]);
  EXPECT_NEAR(out.ddy[12], out.ddy[0], 1e-12);
}

// The trajectory's instantiation: 32-bit arrays and 16-bit counts. The same bounds hold; the
// float result stays within single-precision rounding of the double one.
TEST(PeriodicSpline, SineAtThirteenPointsFloatWithShortCounts) {
  const auto xd = sin_table_x();
  std::vector<float> x(13), y(13), t;
  std::vector<double> yd(13), td;
  for (int k = 0; k < 13; ++k) {
    x[k] = static_cast<float>(xd[k]);
    yd[k] = k == 12 ? 0.0 : std::sin(static_cast<double>(x[k]));
    y[k] = static_cast<float>(yd[k]);
  }
  for (int j = 0; j <= 200; ++j) {
    t.push_back(static_cast<float>(kTwoPi * j / 200));
    td.push_back(t.back());
  }
  auto out = run<float, std::int16_t>(x, y, t);
  std::vector<double> xdd(x.begin(), x.end());
  auto ref = run(xdd, yd, td);
  ASSERT_TRUE(out.r.ok());
  EXPECT_NEAR(out.r.integral, 0.0, 1e-5);
  for (std::size_t j = 0; j < t.size(); ++j) {
    SCOPED_TRACE(t[j]);
    EXPECT_NEAR(out.z[j], std::sin(td[j]), 0.0005);
    EXPECT_NEAR(out.dz[j], std::cos(td[j]), 0.002);
    EXPECT_NEAR(out.z[j], ref.z[j], 1e-5);
  }
}

// An uneven table of a smooth periodic curve: every defining property of the spline checked
// without reproducing its algorithm.
TEST(PeriodicSpline, UnevenTableIsAPeriodicC2Interpolant) {
  const std::vector<double> x = {-1.0, -0.2, 0.1, 1.3, 1.4, 2.9, 3.0};
  std::vector<double> y;
  for (double v : x) y.push_back(std::cos(kTwoPi * (v + 1) / 4) + 0.3 * v);
  y.back() = y.front();
  const double eps = 1e-7;
  std::vector<double> t;
  for (std::size_t k = 0; k < x.size(); ++k) {
    t.push_back(x[k]);
    t.push_back(x[k] - eps);
    t.push_back(x[k] + eps);
  }
  auto out = run(x, y, t);
  ASSERT_TRUE(out.r.ok());
  for (std::size_t k = 0; k < x.size(); ++k) {
    SCOPED_TRACE(k);
    const std::size_t j = 3 * k;
    EXPECT_NEAR(out.z[j], y[k == x.size() - 1 ? 0 : k], 1e-12);  // X(n-1) wraps to X(0)
    EXPECT_NEAR(out.dz[j + 1], out.dz[j + 2], 1e-5);              // slope continuous, also across the period
    EXPECT_NEAR(out.ddz[j + 1], out.ddz[j + 2], 1e-4);            // curvature continuous
    EXPECT_NEAR(out.dy[k], out.dz[j + 2], 1e-5);
    if (k + 1 < x.size()) {
      EXPECT_NEAR(out.ddy[k], out.ddz[j + 2], 1e-4);  // left end of interval k
      EXPECT_NEAR(out.s[k], x[k + 1] - x[k], 1e-15);
    }
  }
  EXPECT_EQ(out.s.back(), 1.0);
  EXPECT_NEAR(out.ddy.back(), out.ddy.front(), 1e-9);

  // Simpson over 4000 panels of the spline's own values (exact for cubics per interval up to
  // the knots falling inside panels; the panel error is far below the tolerance).
  std::vector<double> grid;
  const int panels = 4000;
  for (int j = 0; j <= panels; ++j) grid.push_back(x.front() + (x.back() - x.front()) * j / panels);
  auto fine = run(x, y, grid);
  double simpson = 0;
  const double step = (x.back() - x.front()) / panels;
  for (int j = 0; j <= panels; ++j) simpson += fine.z[j] * (j == 0 || j == panels ? 1 : (j % 2 ? 4 : 2));
  simpson *= step / 3;
  EXPECT_NEAR(out.r.integral, simpson, 1e-6);
}

TEST(PeriodicSpline, QueriesShiftByWholePeriods) {
  const std::vector<double> x = {0.0, 1.0, 2.5, 4.0}, y = {1.0, 3.0, -2.0, 5.0};  // y(0) != y(n-1)
  const double p = 4.0, d = 0.37;
  const std::vector<double> t = {4.0, 0.0, 4.0 + d, d, -d, 4.0 - d, 1e30, 3 * p + 1.0, 1.0};
  auto out = run(x, y, t);
  ASSERT_TRUE(out.r.ok());
  EXPECT_DOUBLE_EQ(out.z[0], 1.0);  // X(n-1) gives y(0), not y(n-1)
  EXPECT_DOUBLE_EQ(out.dz[0], out.dy[0]);
  struct Pair {
    int a, b;
  };
  for (Pair pr : {Pair{0, 1}, Pair{2, 3}, Pair{4, 5}, Pair{7, 8}}) {
    SCOPED_TRACE(pr.a);
    EXPECT_NEAR(out.z[pr.a], out.z[pr.b], 1e-12);
    EXPECT_NEAR(out.dz[pr.a], out.dz[pr.b], 1e-12);
    EXPECT_NEAR(out.ddz[pr.a], out.ddz[pr.b], 1e-9);
  }
  EXPECT_TRUE(std::isfinite(out.z[6]));  // a far query ends and lands inside the period
  EXPECT_DOUBLE_EQ(out.z[8], 3.0);       // an inner knot gives its table value
}

TEST(PeriodicSpline, NoQueriesStillGivesTheTableResults) {
  const std::vector<double> x = {0.0, 1.0, 3.0}, y = {0.0, 2.0, 0.0};
  for (int m : {0, -3}) {
    SCOPED_TRACE(m);
    std::vector<double> dy(3), ddy(3), s(3, kSentinel), z(2, kSentinel), dz(2), ddz(2), t(2, 0.5);
    auto r = gspl3<double, int>(x, y, 3, dy, ddy, t, m, z, dz, ddz, s);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.evaluated, 0);
    EXPECT_EQ(z[0], kSentinel);
    EXPECT_EQ(s[0], 1.0);
    EXPECT_EQ(s[1], 2.0);
    EXPECT_EQ(s[2], 1.0);
    EXPECT_GT(r.integral, 0.0);
  }
}

// A refused table writes nothing and never loops.
TEST(PeriodicSpline, BadTablesAreRefusedBeforeWriting) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<double> x;
    int n;
    SplineFailure failure;
  };
  const Case cases[] = {
      {"one point", {1.0}, 1, SplineFailure::too_few_points},
      {"no points", {}, 0, SplineFailure::too_few_points},
      {"negative count", {1.0, 2.0}, -2, SplineFailure::too_few_points},
      {"equal abscissae", {0.0, 1.0, 1.0, 2.0}, 4, SplineFailure::table_not_increasing},
      {"falling abscissae", {0.0, 2.0, 1.0, 3.0}, 4, SplineFailure::table_not_increasing},
      {"closed period", {2.0, 2.0}, 2, SplineFailure::table_not_increasing},
      {"reversed table", {3.0, 2.0, 1.0}, 3, SplineFailure::table_not_increasing},
      {"not a number", {0.0, nan, 2.0}, 3, SplineFailure::table_not_increasing},
      {"count beyond the arrays", {0.0, 1.0}, 3, SplineFailure::table_array_short},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> y(c.x.size(), 1.0), dy(c.x.size(), kSentinel), ddy(dy), s(dy);
    std::vector<double> t = {0.5}, z = {kSentinel}, dz = {kSentinel}, ddz = {kSentinel};
    auto r = gspl3<double, int>(c.x, y, c.n, dy, ddy, t, 1, z, dz, ddz, s);
    EXPECT_EQ(r.failure, c.failure);
    EXPECT_EQ(r.integral, 0.0);
    for (double v : dy) EXPECT_EQ(v, kSentinel);
    for (double v : s) EXPECT_EQ(v, kSentinel);
    EXPECT_EQ(z[0], kSentinel);
  }
}

// Output arrays shorter than m: the entries that fit are written, the rest untouched; the
// trajectory relies on this for nodes past its arrays.
TEST(PeriodicSpline, ShortQueryArraysStopAtTheirEnd) {
  const std::vector<float> x = {0, 2, 4, 6}, y = {0, 1, 0, -1};
  std::vector<float> dy(4), ddy(4), s(4);
  std::vector<float> t = {0.5f, 1.0f, 1.5f, 2.0f, 2.5f};
  std::vector<float> z(3, -1.0f), dz(2, -1.0f), ddz(2, -1.0f);
  auto r = gspl3<float, std::int16_t>(x, y, 4, dy, ddy, t, 5, z, dz, ddz, s);
  EXPECT_EQ(r.failure, SplineFailure::query_array_short);
  EXPECT_EQ(r.evaluated, 2);
  EXPECT_NE(z[2], -1.0f);  // z(2) is written before dz(2) is found missing
  EXPECT_NE(ddz[1], -1.0f);
  auto full = run<float, std::int16_t>(x, y, t);  // the table results are complete all the same
  EXPECT_EQ(r.integral, full.r.integral);
  EXPECT_EQ(dy, full.dy);
  EXPECT_EQ(z[1], full.z[1]);
  EXPECT_EQ(s[1], 2.0f);
}

TEST(PeriodicSpline, NonFiniteQueryStopsThere) {
  const std::vector<double> x = {0.0, 1.0, 2.0}, y = {0.0, 1.0, 0.0};
  for (double bad : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(bad);
    auto out = run(x, y, std::vector<double>{0.5, bad, 1.5});
    EXPECT_EQ(out.r.failure, SplineFailure::query_not_finite);
    EXPECT_EQ(out.r.evaluated, 1);
    EXPECT_NE(out.z[0], kSentinel);
    EXPECT_EQ(out.z[2], kSentinel);
  }
}

}  // namespace
}  // namespace wb
