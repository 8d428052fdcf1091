// The pump card against the closed form of a constant surface card (every harmonic vanishes:
// the load at the pump is the surface load less the rods' weight in air, the position the
// mid-stroke point plus the static stretch), the depth check, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/diagnosis/pump_card.h"
#include "core/diagnosis/rod_string.h"
#include "diagnosis_test_util.h"

namespace wb {
namespace {

using diag_test::FakeMessages;
using Stroke = std::array<double, 72>;

constexpr double kPi = std::numbers::pi;
double ea(double d) { return 21000 * kPi * d * d / 4; }
double weight(double d, double len) { return 0.0065878 * d * d * len; }

// 7/8 in rods 500 m over 3/4 in rods 400 m, S = 3 m, 6 strokes a minute.
DiagnosisState two_sections(const char* pump_depth) {
  DiagnosisState st;
  st.Text1[diag_box::kRods78] = "500";
  st.Text1[diag_box::kRods34] = "400";
  st.Text1[diag_box::kStroke] = "3";
  st.Text1[diag_box::kSpm] = "6";
  st.Text1[diag_box::kPumpDepth] = pump_depth;
  get_yjcs(st);
  return st;
}

TEST(PumpCard, ConstantCardAndTheDepthCheck) {
  struct Case {
    const char* pump_depth;
    bool message;
    double top_len;  // the top section after it is fitted to the pump
  };
  const Case cases[] = {{"0", true, 500}, {"905", false, 505}, {"899.6", false, 499.6}, {"899.4", true, 500}};
  const double f = 50, FL = 110, S = 3;
  Stroke s{}, g{};
  g.fill(f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pump_depth);
    DiagnosisState st = two_sections(c.pump_depth);
    FakeMessages msg;
    ASSERT_EQ(get_bgt(st, s, g, msg), PumpCardRun::computed);
    ASSERT_EQ(msg.texts.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(msg.texts[0], kPumpDepthMessage);
    }
    const double load = (FL * f - weight(22.2, c.top_len) - weight(19.1, 400)) / 100;
    const double pos = S / 2 + c.top_len * FL * f / ea(22.2) + 400 * FL * f / ea(19.1);
    for (int i = 0; i < 72; ++i) {
      EXPECT_NEAR(st.Bgt_Load[i], load, 1e-9 * std::fabs(load)) << i;
      EXPECT_NEAR(st.Bgt_Pos[i], pos, 1e-9) << i;
    }
  }
}

TEST(PumpCard, OneSectionGivesTheCardAtItsBottom) {
  DiagnosisState st;
  st.Text1[diag_box::kRods1] = "800";
  st.Text1[diag_box::kStroke] = "2.5";
  st.Text1[diag_box::kSpm] = "8";
  st.Text1[diag_box::kPumpDepth] = "800";
  get_yjcs(st);
  Stroke s{}, g{};
  g.fill(30);
  FakeMessages msg;
  ASSERT_EQ(get_bgt(st, s, g, msg), PumpCardRun::computed);
  EXPECT_NEAR(st.Bgt_Load[10], (110 * 30 - weight(25.4, 800)) / 100, 1e-9);
  EXPECT_NEAR(st.Bgt_Pos[10], 1.25 + 800 * 110 * 30 / ea(25.4), 1e-9);
}

// A moving card: the first surface position is never read, and the card at depth is a real
// wave solution (the stroke at the pump differs from the surface stroke).
TEST(PumpCard, FirstSurfacePositionIsIgnored) {
  DiagnosisState st = two_sections("900");
  Stroke s{}, g{};
  for (int i = 0; i < 72; ++i) {
    const double th = kPi * i / 36;
    s[i] = 1.5 * (1 - std::cos(th));
    g[i] = 40 + 10 * std::sin(th) + 3 * std::cos(3 * th);
  }
  FakeMessages msg;
  ASSERT_EQ(get_bgt(st, s, g, msg), PumpCardRun::computed);
  const auto pos = st.Bgt_Pos, load = st.Bgt_Load;
  s[0] = 7.0;
  ASSERT_EQ(get_bgt(st, s, g, msg), PumpCardRun::computed);
  EXPECT_EQ(st.Bgt_Pos, pos);
  EXPECT_EQ(st.Bgt_Load, load);
  const auto [lo, hi] = std::minmax_element(pos.begin(), pos.begin() + 72);
  EXPECT_GT(*hi - *lo, 0.5);
  EXPECT_NE(*hi - *lo, 3.0);
}

TEST(PumpCard, NothingComputedLeavesThePreviousCard) {
  struct Case {
    const char* name;
    const char* text2;
    const char* stroke;
    const char* spm;
    bool rods;
    PumpCardRun want;
    const char* message;  // nullptr: silent
  };
  const Case cases[] = {
      {"load factor 0", "0", "3", "6", true, PumpCardRun::no_load_factor, nullptr},
      {"load factor empty", " ", "3", "6", true, PumpCardRun::no_load_factor, nullptr},
      {"load factor not a number", "abc", "3", "6", true, PumpCardRun::bad_load_factor, kLoadFactorMessage},
      {"stroke 0", "110", "0", "6", true, PumpCardRun::missing_inputs, kPumpCardInputsMessage},
      {"strokes per minute 0", "110", "3", "0", true, PumpCardRun::missing_inputs, kPumpCardInputsMessage},
      {"no rods", "110", "3", "6", false, PumpCardRun::missing_inputs, kPumpCardInputsMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st;
    st.Text2 = c.text2;
    st.Text1[diag_box::kStroke] = c.stroke;
    st.Text1[diag_box::kSpm] = c.spm;
    st.Text1[diag_box::kPumpDepth] = "900";
    if (c.rods) st.Text1[diag_box::kRods1] = "900";
    get_yjcs(st);
    st.Bgt_Pos.fill(-7);
    st.Bgt_Load.fill(-8);
    Stroke s{}, g{};
    g.fill(40);
    FakeMessages msg;
    EXPECT_EQ(get_bgt(st, s, g, msg), c.want);
    if (c.message) {
      ASSERT_EQ(msg.texts.size(), 1u);
      EXPECT_EQ(msg.texts[0], c.message);
    } else {
      EXPECT_TRUE(msg.texts.empty());
    }
    for (int i = 0; i < 73; ++i) {
      EXPECT_EQ(st.Bgt_Pos[i], -7);
      EXPECT_EQ(st.Bgt_Load[i], -8);
    }
  }
}

TEST(PumpCard, TransCircleResamplesAPeriodicCurve) {
  const int N = 36;
  std::vector<double> f(N);
  for (int i = 0; i < N; ++i) {
    const double th = 2 * kPi * i / N;
    f[i] = 3 + 2 * std::cos(th) + std::sin(2 * th);
  }
  std::vector<double> out;
  Trans_Circle(f, N, 4, 72, out);
  ASSERT_EQ(out.size(), 72u);
  EXPECT_EQ(f.size(), 37u);
  EXPECT_EQ(f[36], f[0]);
  for (int i = 0; i < 72; ++i) {
    const double th = 2 * kPi * i / 72;
    // The rebuild's five-digit 2*pi shifts the angle by at most 4 * 71 * 4e-6 rad.
    EXPECT_NEAR(out[i], 3 + 2 * std::cos(th) + std::sin(2 * th), 2e-3) << i;
  }
}

}  // namespace
}  // namespace wb
