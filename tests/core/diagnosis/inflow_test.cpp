// The inflow figures against the worked examples: the flowing pressure of a 60 % water-cut
// well and the productivity index on both branches of the composite inflow relation.
#include <gtest/gtest.h>

#include <string>

#include "core/diagnosis/inflow.h"
#include "diagnosis_test_util.h"

namespace wb {
namespace {

using diag_test::FakeMessages;

TEST(Inflow, FlowingPressure) {
  struct Case {
    const char* name;
    const char *rho8, *rho9, *mid_depth, *level;
    const char* want;     // box 44 after the click
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {"worked example: 0.5 + 600*9.8*0.938/1000 = 6.01544", "0.86", "0.83", "1500", "900", "6.02", nullptr},
      {"level below the layer: below the casing pressure", "0.86", "0.83", "1500", "1600", "-0.42", nullptr},
      {"mean density 0.7 is refused", "0.7", "0.7", "1500", "900", "old", kOilDensityMessage},
      {"mid-depth 100 m is refused", "0.86", "0.83", "100", "900", "old", kLayerDepthMessage},
      {"the density check comes first", "0.7", "0.7", "100", "900", "old", kOilDensityMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st;
    st.Text1[diag_box::kOilDensitySurface] = c.rho8;
    st.Text1[diag_box::kOilDensityDownhole] = c.rho9;
    st.Text1[diag_box::kWaterCut] = "60";
    st.Text1[diag_box::kCasingPressure] = "0.5";
    st.Text1[diag_box::kLayerMidDepth] = c.mid_depth;
    st.Text1[diag_box::kFluidLevel] = c.level;
    st.Text1[diag_box::kFlowingPressure] = "old";
    FakeMessages msg;
    EXPECT_EQ(Calc_Pf_Com_Click(st, msg), c.message == nullptr);
    EXPECT_EQ(st.Text1[diag_box::kFlowingPressure], c.want);
    if (c.message) {
      ASSERT_EQ(msg.texts.size(), 1u);
      EXPECT_EQ(msg.texts[0], c.message);
      EXPECT_FALSE(st.Rec_Changed);
    } else {
      EXPECT_TRUE(msg.texts.empty());
      EXPECT_TRUE(st.Rec_Changed);
    }
  }
}

TEST(Inflow, ProductivityIndex) {
  struct Case {
    const char* name;
    const char *q, *pr, *pb, *pwf;
    const char* want;
    bool message;
  };
  const Case cases[] = {
      {"straight line: 30 / (15 - 10)", "30", "15", "8", "10", "6", false},
      {"Vogel: 30 / (7 + 8/1.8*0.7)", "30", "15", "8", "4", "2.967", false},
      {"Pwf at Pb uses the line", "30", "15", "8", "8", "4.286", false},
      {"Pr below Pwf gives a negative index", "30", "9", "8", "10", "-30", false},
      {"Pr = Pwf: no divisor, the box is emptied", "30", "10", "8", "10", "", false},
      {"zero rate", "0", "15", "8", "10", "old", true},
      {"negative bubble point", "30", "15", "-1", "10", "old", true},
      {"flowing pressure missing", "30", "15", "8", "", "old", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st;
    st.Text1[diag_box::kLiquid] = c.q;
    st.Text1[diag_box::kStaticPressure] = c.pr;
    st.Text1[diag_box::kBubblePressure] = c.pb;
    st.Text1[diag_box::kFlowingPressure] = c.pwf;
    st.Text1[diag_box::kProductivity] = "old";
    FakeMessages msg;
    EXPECT_EQ(Calc_Cyzs_Com_Click(st, msg), !c.message);
    EXPECT_EQ(st.Text1[diag_box::kProductivity], c.want);
    if (c.message) {
      ASSERT_EQ(msg.texts.size(), 1u);
      EXPECT_EQ(msg.texts[0], kInflowInputsMessage);
    }
  }
}

}  // namespace
}  // namespace wb
