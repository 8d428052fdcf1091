#include <gtest/gtest.h>

#include <cmath>

#include "core/design/engine/force_profile.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

class ForceProfileTest : public DesignTest {
 protected:
  // Pump at `depth` in a vertical well; pump friction 1.2 kN (speed 18, ν 0.01, 56 mm).
  void string_of(const std::string& depth, const std::string& sinker_len, const std::string& sinker_dia,
                 const std::string& rods_58) {
    auto& T3 = eng.st.Text3;
    T3[14] = depth;
    T3[15] = "56";
    T3[16] = "3";
    T3[17] = "6";
    T3[18] = sinker_len;
    T3[27] = sinker_dia;
    T3[22] = rods_58;
    eng.st.Text6[18] = "1";
    eng.st.Text6[19] = "0.7";
    eng.st.kin_visc = 0.01f;
    eng.st.fluid_load = 20;
    eng.st.dyn_factor = 0.1f;
    eng.st.buoy_factor = 0.87f;
  }
};

TEST_F(ForceProfileTest, WorkedNodeAboveThePump) {
  string_of("1000", "100", "25.4", "900");
  eng.DesignFzq();
  const auto& p = eng.st.profile;
  // F = −1.2 + 2·0.87·0.0424 = −1.126224 kN; axial_max = 1000·(F + 20)·1·1.1;
  // axial_min = 1000·F·0.7·0.9 (the factors 1 ± 0.1 formed in single precision).
  EXPECT_NEAR(p.axial_max[499], 20761.15, 0.01);
  EXPECT_NEAR(p.axial_min[499], -709.52, 0.01);
  EXPECT_EQ(p.axial_max[500], 0);
  EXPECT_FLOAT_EQ(p.rod_dia[499], 25.4f);
  EXPECT_FLOAT_EQ(p.rod_dia[449], 15.9f);
  EXPECT_EQ(p.fzq_code[499] & ~kFzqPlaced, 4);
  EXPECT_NEAR(eng.st.pump_friction, 1.2, 1e-6);
  // The top node carries the buoyed weight of the whole string less the pump friction.
  const double F0 = -1.2 + 0.87 * (100 * 0.0424 + 900 * 0.0166);
  EXPECT_NEAR(p.axial_max[0], 1000 * (F0 + 20) * 1.1, 0.05);
  EXPECT_NEAR(p.axial_min[0], 1000 * F0 * 0.7 * 0.9, 0.05);
}

TEST_F(ForceProfileTest, PumpDepthGoesUpToEven) {
  for (auto [typed, shown] : {std::pair{"1501", "1502"}, {"1500", "1500"}, {"1", "2"}, {"1500.7", "1500"}}) {
    SCOPED_TRACE(typed);
    string_of(typed, "10", "25", "100");
    eng.DesignFzq();
    EXPECT_EQ(eng.st.Text3[14], shown);
  }
}

TEST_F(ForceProfileTest, SectionsTakeWholeNodes) {
  string_of("1000", "101", "38", "1.5");
  eng.st.Text3[21] = "200";
  eng.DesignFzq();
  const auto& p = eng.st.profile;
  EXPECT_FLOAT_EQ(p.rod_dia[450], 38.1f);  // 50 nodes of sinker bar: 499..450
  EXPECT_FLOAT_EQ(p.rod_dia[449], 19.1f);  // the 1.5 m section takes none
  EXPECT_FLOAT_EQ(p.rod_dia[350], 19.1f);
}

TEST_F(ForceProfileTest, AWeightlessSinkerBarOfNoKnownSize) {
  string_of("1000", "50", "32", "950");
  for (int i = 0; i <= 500; ++i) eng.st.profile.inclination[i] = 10;
  eng.DesignFzq();
  const auto& p = eng.st.profile;
  EXPECT_FLOAT_EQ(p.rod_dia[480], 32);
  EXPECT_NEAR(p.axial_min[480], 1000 * -1.2 * 0.7 * 0.9, 0.01);
  EXPECT_EQ(p.side_force_rod[480], 0);
  EXPECT_GT(p.side_force_rod[100], 0);
}

TEST_F(ForceProfileTest, PumpAtTheSurfaceOrPast4000m) {
  string_of("0", "10", "25", "100");
  eng.DesignFzq();
  EXPECT_EQ(eng.st.Grid2.rows(), 1);  // no node above the pump: an empty table
  EXPECT_EQ(eng.st.profile.axial_max[0], 0);

  msgs.texts.clear();
  string_of("4002", "10", "25", "100");
  eng.st.profile.axial_max[5] = 123;
  eng.DesignFzq();
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(eng.st.profile.axial_max[5], 123);  // refused before any node was touched
}

TEST(BackOff, ADoglegPeakOnThePumpNode) {
  DepthProfile p;
  for (int k = 0; k <= 500; ++k) p.axial_min[k] = static_cast<float>(-2 * (k - 100) * (k - 100) - 1);
  p.dogleg[500] = 9;  // the deepest node
  int c = 0;
  const auto T = backoff_depths(p, 500, 1000, 50, c);
  ASSERT_EQ(c, 3);
  EXPECT_EQ(*T[0], 1000);
  EXPECT_EQ(*T[1], 950);
  EXPECT_EQ(*T[2], 200);
}

TEST_F(ForceProfileTest, EmptyStringLeavesOnlyTheHeader) {
  string_of("1000", "0", "25", "0");
  eng.st.Text3[14] = "1001";
  eng.DesignFzq();
  EXPECT_EQ(eng.st.Grid2.rows(), 1);
  EXPECT_EQ(eng.st.Text3[14], "1001");
}

TEST(SpacingCode, BoundariesAreStrict) {
  struct Case {
    float axial_min, side;
    int code;
  };
  for (const Case& c : {Case{-3500, 0, 3}, Case{-3500.1f, 0, 2}, Case{-2500, 0, 4}, Case{-100, 0, 4096},
                        Case{-100.1f, 0, 4}, Case{0, 199, 16}, Case{0, 199.1f, 8}, Case{0, -250, 8}, Case{0, 49, 4096},
                        Case{0, 99, 32}, Case{-3600, 250, 2}}) {
    SCOPED_TRACE(c.axial_min);
    SCOPED_TRACE(c.side);
    EXPECT_EQ(spacing_code(c.axial_min, c.side), c.code);
  }
}

TEST(Placement, APlacedNodeKeepsItsCentralizer) {
  std::array<std::int16_t, kNodeCount> code;
  code.fill(kFzqNone);
  for (int k = 650; k <= 699; ++k) code[k] = 3;
  for (int k = 500; k <= 649; ++k) code[k] = 4;
  place_centralizers(code, 700);
  for (int k = 650; k <= 699; ++k) EXPECT_EQ(code[k], 3 + kFzqPlaced) << k;
  // Code 4 from the deepest: 649 placed, 648 freed, 647 placed, ...
  for (int k = 649; k >= 500; --k) EXPECT_EQ(code[k], (649 - k) % 2 == 0 ? 4 + kFzqPlaced : kFzqNone) << k;
  for (int k = 0; k <= 700; ++k) EXPECT_TRUE(code[k] == kFzqNone || code[k] >= kFzqPlaced);
}

TEST(Placement, WiderSpacingsFreeTheirNeighbours) {
  for (int q : {8, 16, 32}) {
    SCOPED_TRACE(q);
    std::array<std::int16_t, kNodeCount> code;
    code.fill(kFzqNone);
    for (int k = 100; k <= 300; ++k) code[k] = static_cast<std::int16_t>(q);
    place_centralizers(code, 400);
    std::vector<int> placed;
    for (int k = 300; k >= 100; --k)
      if (code[k] >= kFzqPlaced) placed.push_back(k);
    for (std::size_t i = 1; i < placed.size(); ++i) EXPECT_EQ(placed[i - 1] - placed[i], q / 2);
  }
}

TEST_F(ForceProfileTest, MoreThan198CentralizersBeepOncePerExtra) {
  for (auto [nodes, beeps] : {std::pair{199, 1}, {400, 202}}) {
    SCOPED_TRACE(nodes);
    shell.beeps = 0;
    // Heavy compression near the pump makes code 2 on every node it reaches.
    string_of(std::to_string(2 * nodes), "0", "25", std::to_string(2 * nodes));
    eng.st.fluid_load = 0;
    eng.st.Text6[19] = "1";
    eng.st.kin_visc = 2.0f;
    eng.st.Text3[15] = "100";
    eng.st.Text3[16] = "8";
    eng.st.Text3[17] = "5";  // friction 36 kN: compression along the whole string
    eng.st.buoy_factor = 0.001f;
    eng.DesignFzq();
    EXPECT_EQ(shell.beeps, beeps);
    EXPECT_EQ(eng.st.Grid2.rows(), 199);
    EXPECT_FLOAT_EQ(eng.st.cur_design.fzq_depth[0], 2.0f * (nodes - 1));
    EXPECT_EQ(eng.st.Grid2.text(1, 1), std::to_string(2 * (nodes - 1)));
    EXPECT_EQ(eng.st.Grid2.text(1, 10), "2");
  }
}

TEST(BackOff, ToolDepths) {
  DepthProfile p;
  // Neutral point at node 400 (800 m); a single dogleg peak at node 450 (900 m).
  for (int k = 0; k <= 750; ++k) p.axial_min[k] = static_cast<float>(-5 * (k - 400) * (k - 400) - 10);
  p.axial_min[400] = -1;
  p.dogleg[450] = 6;
  int c = 0;
  auto T = backoff_depths(p, 750, 1500, 50, c);
  ASSERT_EQ(c, 2);
  EXPECT_EQ(*T[0], 1450);
  EXPECT_EQ(*T[1], 800);
  T = backoff_depths(p, 750, 1500, 10, c);
  EXPECT_EQ(*T[0], 1492);
  // A peak far from the neutral point is accepted and sorted in.
  p.dogleg[450] = 0;
  p.dogleg[100] = 7;
  p.dogleg[110] = 6;  // within 200 m of the first peak: excluded from the second search
  p.dogleg[600] = 5.5f;
  T = backoff_depths(p, 750, 1500, 50, c);
  ASSERT_EQ(c, 4);
  EXPECT_EQ(*T[0], 1450);
  EXPECT_EQ(*T[1], 1200);
  EXPECT_EQ(*T[2], 800);
  EXPECT_EQ(*T[3], 200);
}

TEST_F(ForceProfileTest, BackOffBoxesNotWrittenAreEmptied) {
  string_of("1500", "50", "25", "1450");
  // Friction beyond the string's weight: the neutral point is the top node, far from the pump.
  eng.st.kin_visc = 2.0f;
  eng.st.Text3[15] = "100";
  eng.st.Text3[16] = "8";
  eng.st.Text3[17] = "5";
  eng.st.Text10[33] = "900";
  eng.st.Text10[34] = "700";
  eng.st.Text10[35] = "300";
  eng.DesignFzq();
  EXPECT_EQ(eng.st.Text3[23], "1450");
  EXPECT_EQ(eng.st.Text10[33], "0");
  EXPECT_EQ(eng.st.Text10[34], "");
  EXPECT_EQ(eng.st.Text10[35], "");
}

TEST_F(ForceProfileTest, ASecondRunChangesNothing) {
  string_of("1201", "60", "28", "700");
  eng.st.Text3[21] = "441";
  for (int k = 200; k < 400; ++k) eng.st.profile.dogleg[k] = 3 + (k % 7);
  eng.DesignFzq();
  const auto first = eng.st;
  eng.DesignFzq();
  EXPECT_EQ(eng.st.profile.axial_max, first.profile.axial_max);
  EXPECT_EQ(eng.st.profile.fzq_code, first.profile.fzq_code);
  EXPECT_EQ(eng.st.cur_design.fzq_depth, first.cur_design.fzq_depth);
  EXPECT_EQ(eng.st.Text3, first.Text3);
  EXPECT_EQ(eng.st.Text10, first.Text10);
}

}  // namespace
}  // namespace wb::design::test
