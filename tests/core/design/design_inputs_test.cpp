// The design window's core handlers: the derived well values, the Enter table with the
// rod-length rule, the Up/Down order, the option clicks and the change-only setter.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/design/workbench/design_window_core.h"
#include "design_fixture.h"
#include "recording_steps.h"

namespace wb::design::test {
namespace {

using wb::test::RecordingSteps;

class DesignInputsTest : public DesignTest {
 protected:
  RecordingSteps steps;
  DesignWindowCore core{eng.st, steps, msgs, shell, tmp.prog};
  DesignState& st = eng.st;

  // The worked example: 50 % water, oil 0.86 and 0.84 t/m³, 38 mm bore at 1000 m,
  // 1.0 and 0.5 MPa at the head, 3 m × 6 /min, 500 m each of 3/4" and 7/8" rods.
  void worked_example(const char* up, const char* down) {
    st.Text6[7] = "50";
    st.Text6[5] = "0.86";
    st.Text6[6] = "0.84";
    st.Text3[3] = "38";
    st.Text3[2] = "1000";
    st.Text6[10] = "1.0";
    st.Text6[11] = "0.5";
    st.Text3[4] = "3";
    st.Text3[5] = "6";
    st.Text3[9] = "500";
    st.Text3[8] = "500";
    st.Text6[16] = up;
    st.Text6[17] = down;
  }
};

TEST_F(DesignInputsTest, WorkedExampleOfTheLoadFactors) {
  worked_example("45", "20");
  Text6_Change(st, 17);
  // ρ = 0.85·0.5 + 0.5 = 0.925; (7.8 − 0.925)/7.8 in single precision.
  EXPECT_NEAR(st.buoy_factor, 0.881410, 1e-6);
  EXPECT_EQ(st.Text6[18], "1.190129");
  EXPECT_EQ(st.Text6[19], "0.8578286");
  EXPECT_FLOAT_EQ(st.section_len[1], 500);
  EXPECT_FLOAT_EQ(st.section_len[2], 500);
  EXPECT_NEAR(st.rod_area[0], 3.14159265358979 * 7.95 * 7.95, 1e-3);

  worked_example("30", "10");
  Text6_Change(st, 16);
  EXPECT_EQ(st.Text6[18], "1");
  EXPECT_EQ(st.Text6[19], "0.7");
  EXPECT_EQ(st.load_factor_down, 0.7f);
}

TEST_F(DesignInputsTest, OnlyTheSevenWellBoxesRecompute) {
  worked_example("45", "20");
  for (int i : {0, 1, 4, 8, 12, 18, 19, 20}) {
    SCOPED_TRACE(i);
    Text6_Change(st, i);
    EXPECT_EQ(st.Text6[18], "");
  }
  Text6_Change(st, 10);
  EXPECT_EQ(st.Text6[18], "1.190129");
}

TEST_F(DesignInputsTest, FailingStepsAreSkipped) {
  struct Case {
    const char* why;
    std::function<void(DesignState&)> change;
    const char* up;
    const char* down;
  };
  const std::vector<Case> cases = {
      // Pmin = 0: the down factor keeps its previous value (0.8578286); Pmax doubles, the
      // up factor falls below 1 and is raised to it.
      {"S·N² = 1790", [](DesignState& s) { s.Text3[4] = "1790"; s.Text3[5] = "1"; }, "1", "0.8578286"},
      // ρ = 0: the lift cannot be computed and counts as 0, so the fluid load is 0; the
      // buoyancy factor becomes 1. W = 500·(0.0238 + 0.0325) = 28.15 kN, S·N²/1790 = 0.0603352,
      // Pmax = 29.8486, Pmin = 26.4516: 45/Pmax = 1.507617, 20/Pmin = 0.7560989.
      {"zero densities", [](DesignState& s) { s.Text6[5] = s.Text6[6] = s.Text6[7] = "0"; }, "1.507617", "0.7560989"},
      // No rods and no fluid: both loads are 0, both factors keep their values.
      {"empty boxes", [](DesignState& s) { for (auto& t : s.Text3) t.clear(); }, "1.190129", "0.8578286"},
      {"abc boxes", [](DesignState& s) { for (auto& t : s.Text3) t = "abc"; }, "1.190129", "0.8578286"},
      // Loads beyond the range of a double: both steps are skipped.
      {"overflowing stroke", [](DesignState& s) { s.Text3[4] = "1e308"; s.Text3[5] = "1e10"; }, "1.190129", "0.8578286"},
      // A factor beyond single precision is skipped: 1e300 kN over a normal well.
      {"overflowing factor", [](DesignState& s) { s.Text6[16] = "1e300"; s.Text6[17] = "-1e300"; }, "1.190129", "0.8578286"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    DesignState fresh;
    st = fresh;
    worked_example("45", "20");
    Text6_Change(st, 17);
    c.change(st);
    Text6_Change(st, 17);
    EXPECT_EQ(st.Text6[18], c.up);
    EXPECT_EQ(st.Text6[19], c.down);
  }
}

TEST_F(DesignInputsTest, TheClampsApplyToAFactorThatWasNeverComputed) {
  st.Text6[17] = "5";
  Text6_Change(st, 17);
  EXPECT_EQ(st.Text6[18], "1");
  EXPECT_EQ(st.Text6[19], "0.7");
}

TEST_F(DesignInputsTest, TheSetterRunsTheHandlerOnlyOnAChange) {
  worked_example("45", "20");
  set_Text6(st, 16, "45");  // same text: nothing runs
  EXPECT_EQ(st.Text6[18], "");
  set_Text6(st, 16, "46");
  EXPECT_NE(st.Text6[18], "");
  st.Text6[18] = "x";
  set_Text6(st, 16, "46");
  EXPECT_EQ(st.Text6[18], "x");
}

TEST_F(DesignInputsTest, EnterTable) {
  struct Case {
    int box;
    std::vector<int> runs;
    int focus;
  };
  const std::vector<Case> cases = {
      {12, {12}, 13}, {13, {13}, 14}, {16, {16}, 17}, {17, {17}, 27}, {18, {18}, 22},
      {27, {}, 18},   {11, {}, -1},   {23, {}, -1},   {25, {}, -1},   {5, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    steps.mutual.clear();
    st.text3_focus = -1;
    core.Text3_KeyPress(c.box, kEnterKey);
    EXPECT_EQ(steps.mutual, c.runs);
    EXPECT_EQ(st.text3_focus, c.focus);
  }
  core.Text3_KeyPress(12, 'a');
  EXPECT_TRUE(steps.mutual.empty() || steps.mutual.back() != 12);
}

TEST_F(DesignInputsTest, EnterInABeforeBoxRecomputesTheLoadFactors) {
  worked_example("45", "20");
  core.Text3_KeyPress(5, kEnterKey);
  EXPECT_EQ(st.Text6[18], "1.190129");
  EXPECT_TRUE(steps.mutual.empty());
}

TEST_F(DesignInputsTest, RodLengthRule) {
  struct Case {
    const char* len_3_4;
    int run;
    int focus;
  };
  // Sinker bar 50 m, 800 m of 5/8", the pump at 1000 m.
  const std::vector<Case> cases = {{"300", 22, -1}, {"200", 22, -1}, {"100", 21, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.len_3_4);
    st.Text3[18] = "50";
    st.Text3[22] = "800";
    st.Text3[21] = c.len_3_4;
    st.Text3[14] = "1000";
    steps.mutual.clear();
    st.text3_focus = -1;
    core.Text3_KeyPress(21, kEnterKey);
    EXPECT_EQ(steps.mutual, std::vector<int>{c.run});
    EXPECT_EQ(st.text3_focus, c.focus);
  }
  // The 5/8" box reaching the pump redesigns the whole taper; the 1" box moves to 1-1/8".
  st.Text3[22] = "1000";
  steps.mutual.clear();
  core.Text3_KeyPress(22, kEnterKey);
  EXPECT_EQ(steps.mutual, std::vector<int>{18});
  st.Text3[22] = "100";
  st.Text3[21] = st.Text3[20] = st.Text3[19] = "100";
  steps.mutual.clear();
  core.Text3_KeyPress(19, kEnterKey);
  EXPECT_EQ(steps.mutual, std::vector<int>{19});
  EXPECT_EQ(st.text3_focus, 25);
}

TEST_F(DesignInputsTest, UpAndDownFollowTheTabOrder) {
  struct Case {
    int box;
    int key;
    int focus;
  };
  const std::vector<Case> cases = {{24, kKeyDown, 12}, {12, kKeyUp, 24}, {0, kKeyUp, 0},   {25, kKeyDown, 25},
                                   {5, kKeyDown, 26},  {26, kKeyDown, 6}, {6, kKeyDown, 10}, {17, kKeyDown, 27},
                                   {11, kKeyDown, -1}, {23, kKeyUp, -1},  {3, 37, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    st.text3_focus = -1;
    core.Text3_KeyDown(c.box, c.key);
    EXPECT_EQ(st.text3_focus, c.focus);
  }
}

TEST_F(DesignInputsTest, OtherBoxesOfTheDesignTab) {
  core.Text2_KeyPress(kEnterKey);
  EXPECT_EQ(steps.mutual, std::vector<int>{15});
  EXPECT_EQ(st.text3_focus, 16);
  steps.mutual.clear();
  core.Text4_KeyPress(kEnterKey);
  EXPECT_EQ(steps.mutual, std::vector<int>{18});
  EXPECT_EQ(st.other_focus, 5);
  struct Case {
    const char* f;
    bool runs;
  };
  for (const Case& c : std::vector<Case>{{"1", true}, {"0.5", true}, {"1.01", false}, {"0.49", false}, {"", false}}) {
    SCOPED_TRACE(c.f);
    steps.mutual.clear();
    msgs.texts.clear();
    st.Text5 = c.f;
    core.Text5_KeyPress(kEnterKey);
    EXPECT_EQ(steps.mutual.size(), c.runs ? 1u : 0u);
    EXPECT_EQ(msgs.texts.size(), c.runs ? 0u : 1u);
    if (!c.runs) {
      EXPECT_EQ(msgs.texts[0], "使用系数应在0.5-1之间");
    }
    EXPECT_EQ(st.Text5, c.f);
  }
}

TEST_F(DesignInputsTest, OptionClicks) {
  struct Case {
    int option;
    const char* stress;
    bool runs;
  };
  const std::vector<Case> cases = {{4, "620", true}, {5, "794", true}, {6, "588", true}, {7, "890", true}, {8, "700", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    st.Text4 = "700";
    st.rod_grade = 0;
    steps.mutual.clear();
    core.select_grade(c.option);
    EXPECT_EQ(st.Text4, c.stress);
    EXPECT_EQ(steps.mutual, c.runs ? std::vector<int>{18} : std::vector<int>{});
    if (!c.runs) {
      EXPECT_EQ(st.other_focus, 4);
    }
  }
  // Choosing the selected grade again runs nothing.
  steps.mutual.clear();
  core.select_grade(8);
  core.select_mode(true);
  core.select_Option1(0);
  EXPECT_TRUE(steps.mutual.empty());
  // Equal strength offers the taper series and takes the grades away.
  core.select_mode(false);
  EXPECT_TRUE(st.series_enabled);
  EXPECT_FALSE(st.grades_enabled);
  core.select_Option1(1);
  core.select_mode(true);
  EXPECT_FALSE(st.series_enabled);
  EXPECT_TRUE(st.grades_enabled);
  EXPECT_EQ(steps.mutual, (std::vector<int>{18, 18, 18}));
}

}  // namespace
}  // namespace wb::design::test
