#include <gtest/gtest.h>

#include "core/common/number_text.h"
#include "core/design/engine/design_effi.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

TEST(GasExpansion, WorkedValues) {
  struct Case {
    float Q, Tk, Td, Kq, Pk, pb;
    double result;
  };
  for (const Case& c : {Case{30, 30, 80, 50, 1.0f, 5.0f, 0.29742}, Case{20, 25, 60, 30, 0.5f, 3.0f, 0.13268},
                        Case{30, 30, 80, 50, 2.0f, 2.0f, -0.031783}, Case{0, 30, 80, 50, 1, 5, 0}}) {
    SCOPED_TRACE(c.result);
    const auto r = RodDesignEngine::PP(c.Q, c.Tk, c.Td, c.Kq, c.Pk, c.pb);
    ASSERT_TRUE(r);
    EXPECT_NEAR(*r, c.result, 5e-6);
  }
  EXPECT_FALSE(RodDesignEngine::PP(30, 30, 80, 50, 0, 0));
  EXPECT_FALSE(RodDesignEngine::PP(30, 30, 80, 50, 1, -1));
}

TEST(MotorDemand, StandardRatings) {
  struct Case {
    float demand;
    const char* shown;
  };
  for (const Case& c : {Case{22, "22"}, Case{22.01f, "25"}, Case{80, "80"}, Case{5, "7.5"}, Case{75, "75"},
                        Case{75.5f, "75.5"}}) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(num_text_f(motor_rating(c.demand)), c.shown);
  }
  // Demand = P·r·1.8/0.75 with r = 1.2 when the RMS ratio is below 1.12.
  EXPECT_FLOAT_EQ(motor_demand(10, 1.1f), 30);    // 28.8
  EXPECT_FLOAT_EQ(motor_demand(10, 1.12f), 28);   // 26.88
  EXPECT_FLOAT_EQ(motor_demand(10, 1.3f), 37);    // 31.2
  EXPECT_NEAR(motor_demand(40, 1.0f), 115.2, 1e-4);
}

TEST(SectionNodes, BeforeAndAfterTheDesign) {
  struct Case {
    double L;
    int before, after;
  };
  for (const Case& c : {Case{101, 50, 50}, Case{103, 51, 52}, Case{100, 50, 50}, Case{1.5, 0, 1}, Case{0.05, 0, 0},
                        Case{99.2, 49, 50}}) {
    SCOPED_TRACE(c.L);
    EXPECT_EQ(nodes_before_design(c.L), c.before);
    EXPECT_EQ(nodes_after_design(c.L), c.after);
  }
}

class DesignEffiTest : public DesignTest {
 protected:
  void worked_example() { set_worked_well(eng.st); }
};

TEST_F(DesignEffiTest, WorkedExampleBoxByBox) {
  worked_example();
  eng.DesignEffi();
  ASSERT_TRUE(msgs.texts.empty()) << msgs.texts[0];
  const auto& T6 = eng.st.Text6;
  const auto& L3 = eng.st.Label3;
  EXPECT_EQ(T6[22], "2.82");
  EXPECT_EQ(L3[5], "14.1");
  EXPECT_EQ(T6[18], "1");
  EXPECT_EQ(T6[19], "0.9076541");
  EXPECT_EQ(L3[6], "22");
  EXPECT_EQ(L3[7], "");
  EXPECT_EQ(L3[8], "97.8");
  EXPECT_EQ(L3[9], "87.4");
  EXPECT_EQ(L3[10], "");
  EXPECT_EQ(L3[11], "");
  EXPECT_EQ(T6[28], "2.82");
  EXPECT_EQ(T6[26], "20.01");
  EXPECT_EQ(T6[27], "12");
  EXPECT_EQ(T6[29], "75");
  EXPECT_EQ(L3[13], "14.1");
  EXPECT_NEAR(eng.st.dyn_factor, 0.060335, 1e-6);
  EXPECT_FLOAT_EQ(eng.st.load_factor_down, 0.9076541f);
  EXPECT_NEAR(eng.st.pump_friction, 6.44724, 1e-4);
}

TEST_F(DesignEffiTest, ChecksStopWithTheirMessage) {
  struct Case {
    const char* name;
    bool text6;
    int box;
    const char* value;
    const char* message;  // "" = passes
  };
  const std::vector<Case> cases = {
      {"1 input power", true, 20, "0", "“输入功率”不能为0"},
      {"2 polished-rod power", true, 21, "", "“光杆功率”不能为0"},
      {"3 rms below input", true, 25, "19.9", "均方根功率不能小于输入功率"},
      {"3 rms equal to input", true, 25, "20", ""},
      {"4 max load", true, 16, "0", "“最大载荷”不能为0"},
      {"5 min load", true, 17, "0", "“最小载荷”不能为0"},
      {"6 stroke", false, 4, "0", "“冲程、冲次”均不能为0"},
      {"6 strokes per minute", false, 5, "", "“冲程、冲次”均不能为0"},
      {"7 rated power", true, 23, "0", "“额定功率”不能为0"},
      {"8 motor efficiency", true, 24, "0", "“电机效率”不能为0"},
      {"8 motor efficiency in percent", true, 24, "92", ""},
      {"9 wellhead temperature", true, 9, "0", "“井口温度”不能为0"},
      {"10 formation temperature", true, 31, "0", "“地层温度”不能为0"},
      {"11 density low", true, 5, "0.15", "请正确输入地下及地面原油密度"},
      {"11 density 0.5 passes", true, 5, "0.16", ""},
      {"11 density 1 passes", true, 5, "1.16", ""},
      {"11 density high", true, 5, "1.2", "请正确输入地下及地面原油密度"},
      {"12 rate", false, 0, "0", "原方案中“日产液量”不能为0"},
      {"13 pump depth", false, 2, "0", "“泵深”不能为0"},
      {"14 bubble point", true, 2, "0", "“饱和压力”不能为0"},
      {"15 rate after", false, 12, "0", "设计后的“日产液量”不能为0"},
      {"16 pump depth after", false, 14, "0", "“泵挂深度”不能为0"},
      {"17 bore after", false, 15, "-1", "设计泵径、泵深及冲程冲次均不能为0！"},
      {"17 strokes per minute after", false, 17, "0", "设计泵径、泵深及冲程冲次均不能为0！"},
      {"tubing diameter 0", true, 13, "0", "“油管内径”不能为0"},
      {"GOR 0 counts as 50", true, 3, "0", ""},
      {"level past 4000 m", false, 1, "4100", "动液面或泵挂深度超过4000m，无法计算！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    msgs.texts.clear();
    worked_example();
    (c.text6 ? eng.st.Text6[static_cast<std::size_t>(c.box)] : eng.st.Text3[static_cast<std::size_t>(c.box)]) = c.value;
    eng.DesignEffi();
    if (std::string(c.message).empty()) {
      EXPECT_TRUE(msgs.texts.empty()) << msgs.texts[0];
      EXPECT_FALSE(eng.st.Label3[13].empty());
    } else {
      ASSERT_EQ(msgs.texts.size(), 1u);
      EXPECT_EQ(msgs.texts[0], c.message);
    }
  }
  worked_example();
  eng.st.Text6[24] = "92";
  eng.DesignEffi();
  EXPECT_EQ(eng.st.Text6[24], "0.92");
}

TEST_F(DesignEffiTest, RodTubingFrictionIsCalibratedAwayAtTheSameOperatingPoint) {
  // A slanted stretch in the top 200 m (7/8 in rods there): R_n = 100·0.0325 kN and
  // P_rf = 0.12·3.25·2·18/60 = 0.234 kW, taken from the remaining downhole loss before the
  // design; at the same operating point the prediction gives it back unchanged.
  set_worked_well(eng.st);
  for (int k = 0; k < 100; ++k) eng.st.profile.east_step[k] = 1.0f;
  eng.DesignEffi();
  ASSERT_TRUE(msgs.texts.empty()) << msgs.texts[0];
  EXPECT_EQ(eng.st.Text6[27], "12");
  EXPECT_EQ(eng.st.Text6[26], "20.01");
  EXPECT_EQ(eng.st.Label3[13], "14.1");
}

TEST_F(DesignEffiTest, BeforeOnlyLeavesThePredictionEmpty) {
  worked_example();
  eng.st.Text6[26] = "1";
  eng.st.Text6[29] = "2";
  eng.DesignEffi(true);
  EXPECT_EQ(eng.st.Label3[5], "14.1");
  EXPECT_EQ(eng.st.Text6[19], "0.9076541");
  for (int i = 26; i <= 29; ++i) EXPECT_EQ(eng.st.Text6[static_cast<std::size_t>(i)], "") << i;
  EXPECT_EQ(eng.st.Label3[13], "");
}

}  // namespace
}  // namespace wb::design::test
