#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/balance/electric_fit.h"

namespace wb {
namespace {

TEST(ElectricFit, ExactQuadraticIsRecoveredInAnyOrder) {
  std::vector<float> x, y;
  for (int i = 0; i < 50; ++i) {
    const float p = 0.4f * static_cast<float>(i) - 3.0f;
    x.push_back(p);
    y.push_back(2.0f + 0.5f * p + 0.01f * p * p);
  }
  for (int pass = 0; pass < 2; ++pass) {
    const QuadraticFit f = Get_P_Q_1(y.data(), x.data(), static_cast<int>(x.size()));
    EXPECT_TRUE(f.unique);
    EXPECT_NEAR(f.A0, 2.0, 1e-5);
    EXPECT_NEAR(f.B1, 0.5, 1e-5);
    EXPECT_NEAR(f.B2, 0.01, 1e-6);
    std::reverse(x.begin(), x.end());
    std::reverse(y.begin(), y.end());
  }
}

TEST(ElectricFit, DegenerateSamples) {
  struct Case {
    const char* why;
    std::vector<float> x, y;
    float a0, b1, b2;
  } cases[] = {
      {"no samples", {}, {}, 0, 0, 0},
      {"no power at all: the mean", {0, 0, 0, 0}, {1, 2, 3, 6}, 3, 0, 0},
      // A power that varies only in its last float digits is a constant: without a
      // tolerance the pivot would be rounding noise and the coefficients huge.
      {"near-constant power", {10.000001f, 10.0f, 10.000001f, 10.0f, 10.000002f}, {5, 5, 5, 5, 5}, 5, 0, 0},
      // Two power levels fix a straight line, not a parabola.
      {"two power levels", {1, 3, 1, 3}, {2, 6, 2, 6}, 0, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const QuadraticFit f = Get_P_Q_1(c.y.data(), c.x.data(), static_cast<int>(c.x.size()));
    EXPECT_FALSE(f.unique);
    EXPECT_NEAR(f.A0, c.a0, 1e-4);
    EXPECT_NEAR(f.B1, c.b1, 1e-4);
    EXPECT_NEAR(f.B2, c.b2, 1e-6);
  }
}

}  // namespace
}  // namespace wb
