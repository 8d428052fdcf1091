#include <gtest/gtest.h>

#include <cmath>

#include "core/common/number_text.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

class TaperTest : public DesignTest {
 protected:
  void well(const std::string& depth, const std::string& bore, const std::string& S, const std::string& N,
            const std::string& sinker_len = "0", const std::string& sinker_dia = "25") {
    auto& T6 = eng.st.Text6;
    T6[5] = "0.86";
    T6[6] = "0.84";
    T6[7] = "80";  // ρ_l = 0.97
    T6[10] = "1";
    T6[11] = "0.5";
    T6[18] = "1";
    T6[19] = "1";
    auto& T3 = eng.st.Text3;
    T3[14] = depth;
    T3[15] = bore;
    T3[16] = S;
    T3[17] = N;
    T3[18] = sinker_len;
    T3[27] = sinker_dia;
    eng.st.buoy_factor = static_cast<float>((7.8 - 0.97) / 7.8);
    eng.st.kin_visc = 0.05f;
  }
  double box(int i) { return num_val(eng.st.Text3[static_cast<std::size_t>(i)]); }
  double rods_and_sinker() { return box(18) + box(22) + box(21) + box(20) + box(19) + box(25); }
};

TEST_F(TaperTest, AShallowWellInFiveEighths) {
  well("400", "38", "1", "4");
  ASSERT_EQ(eng.DesignRod(18), DesignOutcome::done);
  EXPECT_EQ(eng.st.Text3[22], "400");
  for (int b : {21, 20, 19, 25}) EXPECT_EQ(eng.st.Text3[static_cast<std::size_t>(b)], "") << b;
  for (int l : {16, 17, 18, 19}) EXPECT_EQ(eng.st.Label3[static_cast<std::size_t>(l)], "") << l;
  EXPECT_EQ(eng.st.Label3[14], "");
  EXPECT_FALSE(eng.st.Label3[15].empty());
  EXPECT_LE(num_val(eng.st.Label3[15]), 85);
  EXPECT_FLOAT_EQ(eng.st.section_len[0], 400);
}

TEST_F(TaperTest, PreparationValues) {
  well("1001", "56", "3", "6", "100", "25");
  eng.st.Text6[18] = "1.1";
  EXPECT_EQ(eng.DesignRod(23), DesignOutcome::done);
  EXPECT_EQ(eng.st.Text3[14], "1002");
  EXPECT_FLOAT_EQ(eng.st.dyn_factor, static_cast<float>(3 * 36 / 1790.0));
  // H = 1002 + 1000·0.5/(9.81·0.97); fluid load = 9.81·0.97·H·π·0.028².
  const double H = 1002 + 500 / (9.81 * 0.97f);
  EXPECT_NEAR(eng.st.fluid_load, 9.81 * 0.97f * H * 3.14159265358979 * 0.028 * 0.028, 1e-4);
  EXPECT_FLOAT_EQ(eng.st.load_factor_up, 1.1f);
  EXPECT_EQ(eng.st.Text3[22], "");  // nothing built

  eng.st.Text6[7] = "0";
  eng.st.Text6[5] = eng.st.Text6[6] = "0.6";  // ρ_l 0.6: no lift
  EXPECT_EQ(eng.DesignRod(23), DesignOutcome::done);
  EXPECT_EQ(eng.st.fluid_load, 0);
}

TEST_F(TaperTest, SinkerBarSizes) {
  struct Case {
    const char* dia;
    const char* len;
    bool message;
    const char* dia_after;
  };
  for (const Case& c : {Case{"25", "50", false, "25"}, Case{"28", "50", false, "28"}, Case{"26", "50", true, "25.4"},
                        Case{"0", "50", true, "25.4"}, Case{"26", "0", false, "26"}}) {
    SCOPED_TRACE(c.dia);
    msgs.texts.clear();
    well("1000", "44", "3", "5", c.len, c.dia);
    EXPECT_EQ(eng.DesignRod(18), DesignOutcome::done);
    EXPECT_EQ(!msgs.texts.empty(), c.message);
    if (c.message) {
      EXPECT_EQ(msgs.texts[0], "加重杆直径错误，已将加重杆的直径改为25.4mm，请注意！");
    }
    EXPECT_EQ(eng.st.Text3[27], c.dia_after);
    EXPECT_EQ(eng.st.Label3[14].empty(), std::string(c.len) == "0");
  }
}

TEST_F(TaperTest, StrengthNotEnoughBlanksTheLengths) {
  well("3000", "70", "5", "9");
  eng.st.Text4 = "300";
  EXPECT_EQ(eng.DesignRod(18), DesignOutcome::done);
  ASSERT_FALSE(msgs.texts.empty());
  EXPECT_EQ(msgs.texts.back(), "您所选的抽油杆强度不够，请选用更高一级强度的抽油杆！");
  for (int b : {19, 20, 21, 22, 25}) EXPECT_EQ(eng.st.Text3[static_cast<std::size_t>(b)], "") << b;
}

TEST_F(TaperTest, KeptLengthsStayAndTheBuildGoesOn) {
  well("1800", "44", "3", "6", "50", "25");
  eng.st.Text3[22] = "300";
  eng.st.Text3[21] = "400";
  eng.st.Text3[20] = "200";
  eng.st.Label3[15] = "x";
  EXPECT_EQ(eng.DesignRod(20), DesignOutcome::done);
  EXPECT_EQ(eng.st.Text3[22], "300");
  EXPECT_EQ(eng.st.Text3[21], "400");
  EXPECT_EQ(eng.st.Text3[20], "200");
  EXPECT_EQ(eng.st.Label3[15], "x");        // labels of the other kept sizes keep their text
  EXPECT_FALSE(eng.st.Label3[17].empty());  // the edited size is checked again
  EXPECT_NEAR(rods_and_sinker(), 1800, 0.11);
  EXPECT_FALSE(eng.st.Text3[19].empty());
}

TEST_F(TaperTest, RefusedBeforeAnyNodeIsAddressed) {
  struct Case {
    const char* depth;
    const char* sinker;
    const char* kept_58;
    int index;
  };
  for (const Case& c : {Case{"4002", "0", "", 18}, Case{"1000", "1100", "", 18}, Case{"1000", "100", "950", 22},
                        Case{"-10", "0", "", 18}}) {
    SCOPED_TRACE(c.depth);
    msgs.texts.clear();
    well(c.depth, "44", "3", "6", c.sinker, "25");
    eng.st.Text3[22] = c.kept_58;
    EXPECT_EQ(eng.DesignRod(c.index), DesignOutcome::refused);
    EXPECT_EQ(msgs.texts.size(), 1u);
  }
}

TEST_F(TaperTest, AZeroAllowedStressFailsWithEmptyLabels) {
  // No allowed stress and the pump friction ahead of the first steps' weight: σ_G below 0.
  well("800", "44", "3", "6", "0", "25");
  eng.st.Text4 = "0";
  eng.st.kin_visc = 2.0f;
  for (int l = 15; l <= 19; ++l) eng.st.Label3[static_cast<std::size_t>(l)] = "x";
  EXPECT_EQ(eng.DesignRod(18), DesignOutcome::done);
  for (int l = 15; l <= 19; ++l) EXPECT_EQ(eng.st.Label3[static_cast<std::size_t>(l)], "") << l;
  EXPECT_EQ(msgs.texts.back(), "您所选的抽油杆强度不够，请选用更高一级强度的抽油杆！");
}

TEST_F(TaperTest, InvariantsOverATableOfWells) {
  struct Case {
    const char* depth;
    const char* bore;
    const char* S;
    const char* N;
    const char* sinker;
    const char* grade;
  };
  const std::vector<Case> wells = {{"800", "70", "3", "6", "0", "794"},   {"1500", "56", "3", "6", "100", "794"},
                                   {"2000", "44", "4.2", "5", "150", "794"}, {"2600", "38", "3", "4", "200", "890"},
                                   {"1201", "57", "2.5", "8", "33.5", "620"}, {"3400", "38", "3", "3", "250", "890"}};
  for (const Case& w : wells) {
    SCOPED_TRACE(w.depth);
    msgs.texts.clear();
    well(w.depth, w.bore, w.S, w.N, w.sinker, "25");
    eng.st.Text4 = w.grade;
    ASSERT_EQ(eng.DesignRod(18), DesignOutcome::done);
    ASSERT_TRUE(msgs.texts.empty()) << msgs.texts[0];
    EXPECT_NEAR(rods_and_sinker(), box(14), 0.1 + 1e-9);
    for (int l = 15; l <= 19; ++l) EXPECT_LE(num_val(eng.st.Label3[static_cast<std::size_t>(l)]), 85) << l;
    const auto first = eng.st;
    EXPECT_EQ(eng.DesignRod(18), DesignOutcome::done);
    EXPECT_EQ(eng.st.Text3, first.Text3);
    EXPECT_EQ(eng.st.Label3, first.Label3);
  }
}

}  // namespace
}  // namespace wb::design::test
