#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/gbk.h"
#include "core/common/number_text.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

// The worked well with reservoir data and a unit catalogue, ready for the design runs.
struct RunRig : DesignRig {
  RunRig() {
    set_worked_well(eng.st);
    auto& T6 = eng.st.Text6;
    T6[0] = "15";   // static pressure
    T6[1] = "8";    // flowing pressure
    T6[2] = "8";    // bubble point
    T6[8] = "2";    // productivity index
    T6[11] = "0.5";
    T6[12] = "1500";
    T6[4] = "50";   // viscosity: ν = 50·0.01/0.97 = 0.5155
    T6[14] = "2.5";
    T6[15] = "2";
    T6[18] = "1";
    T6[19] = "1";
    eng.st.Text3[4] = "3";
    eng.st.Text2 = "0.75";
    eng.st.buoy_factor = static_cast<float>((7.8 - 0.97) / 7.8);
    eng.st.CyjType_Comb = " CYJ10-3-37HB ";
    catalog("抽油机型=CYJ10-3-37HB\r\n冲    程=1.8，2.4,3\r\n\r\n");
  }
  void catalog(const std::string& text) {
    const std::string g = utf8_to_gbk(text);
    wb::test::put_bytes(tmp.prog.sys() / "Cyj_mode.dat", std::vector<std::uint8_t>(g.begin(), g.end()));
  }
};

class DesignRunsTest : public ::testing::Test, public RunRig {
 protected:
  const std::string& T3(int i) { return eng.st.Text3[static_cast<std::size_t>(i)]; }
};

// Hand calculation (ρ_l = 0.97, 9.8·ρ_l = 9.506):
//   q = 2·(15 − 8) = 14; level = ⌊1500 − 7500/9.506 + 0.5⌋ = 711;
//   submergence = ⌊500·7.5/9.506⌋ = 394, pump = 711 + 394 = 1105 → even 1106; bore 56 (≥ 900 m);
//   SN = (3/2.5)·14/(0.75·1440·π·0.028²) = 6.3157; N = ⌊100·6.3157/3 + 0.5⌋/100 = 2.11 with the last stroke 3.
TEST_F(DesignRunsTest, AutomaticRun) {
  ASSERT_EQ(eng.RunAutoDesign(), DesignOutcome::done);
  EXPECT_EQ(T3(12), "14");
  EXPECT_EQ(T3(13), "711");
  EXPECT_EQ(T3(14), "1106");
  EXPECT_EQ(T3(15), "56");
  EXPECT_EQ(T3(16), "3");
  EXPECT_EQ(T3(17), "2.11");
  EXPECT_NEAR(eng.st.kin_visc, 0.5 / 0.97, 1e-6);
  double total = num_val(T3(18));
  for (int b : {22, 21, 20, 19, 25}) total += num_val(T3(b));
  EXPECT_NEAR(total, 1106, 0.11);
  EXPECT_GT(eng.st.Grid2.rows(), 0);
  EXPECT_TRUE(msgs.texts.empty()) << msgs.texts[0];
}

TEST_F(DesignRunsTest, SlowRatesWalkDownTheStrokeSeries) {
  // J = 0.5: q = 3.5, SN = 1.5789; N = 0.53 (3 m), 0.66 (2.4 m), 0.88 (1.8 m): none reaches 2,
  // the first entry stands.
  eng.st.Text6[8] = "0.5";
  ASSERT_EQ(eng.RunAutoDesign(), DesignOutcome::done);
  EXPECT_EQ(T3(16), "1.8");
  EXPECT_EQ(T3(17), "0.88");
  // q = 7: N = 1.05 (3), 1.32 (2.4): still below 2 at 2.4, so 1.8 m gives 1.75 and stands.
  eng.st.Text6[8] = "1";
  ASSERT_EQ(eng.RunAutoDesign(), DesignOutcome::done);
  EXPECT_EQ(T3(16), "1.8");
  EXPECT_EQ(T3(17), "1.75");
}

TEST_F(DesignRunsTest, ReasonsTheAutomaticRunRefuses) {
  struct Case {
    int box;
    const char* value;
    const char* message;
  };
  const std::vector<Case> cases = {
      {11, "-0.1", "套压错误，无法进行管柱设计！"},
      {2, "0", "饱和压力错误，无法进行管柱设计！"},
      {1, "0", "流压资料错误，无法进行管柱设计！"},
      {0, "0", "静压资料错误，无法进行管柱设计！"},
      {8, "0", "采油指数错误，无法进行管柱设计！"},
      {12, "0", "油层中深错误，无法进行管柱设计！"},
      {12, "80", "其它数据错误，无法进行管柱设计！"},
      {7, "150", "地下原油密度或含水率输入错误，请回油井诊断界面重新输入！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunRig fresh;
    fresh.eng.st.Text6[static_cast<std::size_t>(c.box)] = c.value;
    EXPECT_EQ(fresh.eng.RunAutoDesign(), DesignOutcome::refused);
    ASSERT_EQ(fresh.msgs.texts.size(), 1u);
    EXPECT_EQ(fresh.msgs.texts[0], c.message);
  }
}

TEST_F(DesignRunsTest, DensityAndViscosityLimits) {
  eng.st.Text6[7] = "0";
  eng.st.Text6[5] = eng.st.Text6[6] = "0.65";
  EXPECT_EQ(eng.RunAutoDesign(), DesignOutcome::refused);
  EXPECT_EQ(msgs.texts.back(), "地下原油密度或含水率输入错误，请回油井诊断界面重新输入！");

  struct Case {
    const char* viscosity;
    const char* message;
    float kin;
  };
  for (const Case& c : {Case{"0.485", "运动粘度太小，已调整到0.01计算，请正确输入后再设计！", 0.01f},
                        Case{"291", "运动粘度太大，已调整到2.0计算，请正确输入后再设计！", 2.0f}}) {
    SCOPED_TRACE(c.viscosity);
    RunRig fresh;
    fresh.eng.st.Text6[4] = c.viscosity;
    EXPECT_EQ(fresh.eng.RunAutoDesign(), DesignOutcome::done);
    ASSERT_FALSE(fresh.msgs.texts.empty());
    EXPECT_EQ(fresh.msgs.texts[0], c.message);
    EXPECT_FLOAT_EQ(fresh.eng.st.kin_visc, c.kin);
  }
}

TEST_F(DesignRunsTest, CatalogueProblemsStopTheRun) {
  const std::string msg = "未找到该井的抽油机型号或冲程序列，无法界定冲程冲次，请重新选择。";
  struct Case {
    const char* name;
    std::string text;  // "-" = no file
  };
  const std::vector<Case> cases = {
      {"missing", "-"},
      {"empty", ""},
      {"block without stroke line", "抽油机型=CYJ10-3-37HB\r\n电机=Y\r\n\r\n抽油机型=CYJ10-3-37HB\r\n冲    程=3\r\n"},
      {"block to the end of file without stroke line", "抽油机型=CYJ10-3-37HB\r\n电机=Y"},
      {"other model only", "抽油机型=CYJ12-3-53HB\r\n冲    程=3\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunRig fresh;
    const auto file = fresh.tmp.prog.sys() / "Cyj_mode.dat";
    if (c.text == "-") std::filesystem::remove(file);
    else fresh.catalog(c.text);
    EXPECT_EQ(fresh.eng.RunAutoDesign(), DesignOutcome::refused);
    ASSERT_EQ(fresh.msgs.texts.size(), 1u);
    EXPECT_EQ(fresh.msgs.texts[0], msg);
    EXPECT_TRUE(std::filesystem::exists(file));  // a missing catalogue is created empty
  }
}

TEST_F(DesignRunsTest, StrokeLinesWithEmptyOrManyEntries) {
  catalog("抽油机型=CYJ10-3-37HB\r\n冲    程=,,3\r\n");
  eng.st.Text6[8] = "0.5";  // N below 2 with 3 m: the walk meets an empty entry
  EXPECT_EQ(eng.RunAutoDesign(), DesignOutcome::refused);
  EXPECT_EQ(msgs.texts.back(), "冲程序列中有空的或为0的冲程，请检查抽油机型号库！");

  catalog("抽油机型=CYJ10-3-37HB\r\n冲    程=1,1.2,1.4,1.6,1.8,2,2.2,2.4,3\r\n");
  eng.st.Text6[8] = "2";
  ASSERT_EQ(eng.RunAutoDesign(), DesignOutcome::done);
  EXPECT_EQ(eng.st.stroke_last, 6);
  EXPECT_EQ(T3(16), "2.2");  // the seventh entry starts the walk
}

TEST_F(DesignRunsTest, DesignPumpEfficiency) {
  for (const char* eta : {"0", "1.2", ""}) {
    SCOPED_TRACE(eta);
    msgs.texts.clear();
    eng.st.Text2 = eta;
    EXPECT_EQ(eng.RunAutoDesign(), DesignOutcome::refused);
    EXPECT_EQ(msgs.texts.back(), "输入的设计泵效有错，请重新输入！");
  }
}

// Hand calculation for the rate stage (J = 2, P_r = 15, P_b = 8, P_c = 0.5):
//   q_max = 14 + 16/1.8 = 22.89; q = 20 > q_b = 14: c = 1 − 1.8·6/16 = 0.325,
//   x = (√(0.04 + 3.2·0.325) − 0.2)/1.6 = 0.52452, P_wf = 4.1962;
//   level = ⌊1500 − 1000·3.6962/9.506 + 0.5⌋ = 1111; pump 1111 + 394 = 1505 > 1500 → 1500, bore 44;
//   stroke 3 (the series' last); SN = 1.2·20/(0.75·1440·π·0.022²) = 14.613, N = 4.87.
TEST_F(DesignRunsTest, InteractiveRunFromTheRate) {
  eng.st.Text3[12] = "20";
  eng.DesignForMutual(12);
  EXPECT_EQ(T3(13), "1111");
  EXPECT_EQ(T3(14), "1500");
  EXPECT_EQ(T3(15), "44");
  EXPECT_EQ(T3(16), "3");
  EXPECT_EQ(T3(17), "4.87");
  EXPECT_EQ(T3(23), "1400");  // pump depth less the 100 m sinker bar of the worked well
  EXPECT_FALSE(eng.st.Label3[13].empty());
  for (const auto& m : msgs.texts) ADD_FAILURE() << m;
}

TEST_F(DesignRunsTest, InteractiveRateAboveTheInflowMaximum) {
  eng.st.Text3[12] = "23";
  eng.st.Text3[13] = "keep";
  eng.DesignForMutual(12);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "您要求的产量过高，供液能力达不到，请重新选择！");
  EXPECT_EQ(T3(12), "22.8");
  EXPECT_EQ(T3(13), "keep");
  EXPECT_EQ(eng.st.text3_focus, 12);
}

TEST_F(DesignRunsTest, InteractiveGuards) {
  eng.st.CyjType_Comb = "  ";
  eng.DesignForMutual(18);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "抽油机型号必须填写");
  msgs.texts.clear();
  eng.st.CyjType_Comb = "CYJ10-3-37HB";
  eng.st.Text3[14] = "1201";
  eng.DesignForMutual(11);
  EXPECT_EQ(T3(14), "1201");
  EXPECT_TRUE(msgs.texts.empty());
}

TEST_F(DesignRunsTest, StrokeRateStageWalksTheModelNamedNow) {
  // An earlier lookup left another model's series; the typed stroke gives N below 2.
  eng.st.stroke_series = {"5", "6", "7", "", "", "", ""};
  eng.st.stroke_last = 2;
  eng.st.Text3[12] = "3.5";
  eng.st.Text3[14] = "1106";
  eng.st.Text3[15] = "56";
  eng.st.Text3[16] = "2.4";
  eng.DesignForMutual(16);
  EXPECT_EQ(T3(16), "1.8");  // walked this model's 2.4 → 1.8 (N 0.88), not the other's 6, 5
  EXPECT_EQ(T3(17), "0.88");

  eng.st.CyjType_Comb = "NO-SUCH-MODEL";
  eng.st.Text3[16] = "2.4";
  msgs.texts.clear();
  eng.DesignForMutual(16);
  EXPECT_EQ(T3(16), "2.4");  // without a series the typed stroke stands
  EXPECT_EQ(T3(17), "0.66");
}

TEST_F(DesignRunsTest, RedesignAfterAStoppedRunLeavesThePredictionEmpty) {
  eng.st.Text6[11] = "-0.1";
  eng.st.Text6[26] = "old";
  eng.st.Label3[13] = "old";
  eng.st.JName_Comb = "W9";
  eng.DesignCom_Click();
  EXPECT_EQ(msgs.texts[0], "套压错误，无法进行管柱设计！");
  EXPECT_FALSE(eng.st.Label3[5].empty());
  EXPECT_EQ(eng.st.Text6[26], "");
  EXPECT_EQ(eng.st.Label3[13], "");
  EXPECT_GE(eng.st.Grid2.rows(), 2);
}

// What a design run reads: the whole design state it could change, to show that a refused
// run changed nothing.
struct Outputs {
  std::array<std::string, 28> T3;
  std::array<std::string, 34> T6;
  std::array<std::string, 20> L3;
  std::string Text10_33;
  int fzq_rows;
  bool operator==(const Outputs&) const = default;
};
Outputs outputs(const DesignState& st) {
  return {st.Text3, st.Text6, st.Label3, st.Text10[33], st.Grid2.rows()};
}

// Each case: a box, a text that no real well has there, and the name the message gives it.
struct BadBox {
  DesignBoxArray array;
  int box;
  const char* text;
  const char* name;
};
constexpr BadBox kBadBoxes[] = {
    {DesignBoxArray::Text6, well_box::kLayerMidDepth, "abc", "“油层中深”中的“abc”不是数字"},
    {DesignBoxArray::Text6, well_box::kStaticPressure, "1e300", "“油层静压”为 1E+300 MPa"},
    {DesignBoxArray::Text6, well_box::kWaterCut, "-5", "“原油含水率”为 -5 %"},
    {DesignBoxArray::Text6, well_box::kInputPower, "99999999", "“输入功率”为 99999999 kW"},
    {DesignBoxArray::Text6, well_box::kTubingInnerDia, "6 2", "“油管内径”中的“6 2”不是数字"},
    {DesignBoxArray::Text3, design_box::kPumpDepthBefore, "1e300", "“设计前泵挂深度”为 1E+300 m"},
    {DesignBoxArray::Text3, design_box::kSpmBefore, "99999999", "“设计前冲次”为 99999999 1/min"},
    {DesignBoxArray::Text3, design_box::kRods34Before, "-500", "“设计前6/8'杆长”为 -500 m"},
    {DesignBoxArray::Text3, design_box::kSinkerDiaAfter, "x38", "“设计后加重杆径”中的“x38”不是数字"},
    {DesignBoxArray::Text2, 0, "0,75", "“设计使用泵效”中的“0,75”不是数字"},
    {DesignBoxArray::Text4, 0, "99999999", "“最小许用应力”为 99999999 MPa"},
    {DesignBoxArray::Text5, 0, "-0.85", "“应力使用系数”为 -0.85"},
};

std::string& box_of(DesignState& st, const BadBox& b) {
  switch (b.array) {
    case DesignBoxArray::Text3: return st.Text3[static_cast<std::size_t>(b.box)];
    case DesignBoxArray::Text6: return st.Text6[static_cast<std::size_t>(b.box)];
    case DesignBoxArray::Text2: return st.Text2;
    case DesignBoxArray::Text4: return st.Text4;
    case DesignBoxArray::Text5: break;
  }
  return st.Text5;
}

// The redesign and the update command stop at a box no well can have, with one message
// naming it, before anything is computed or written.
TEST_F(DesignRunsTest, ABoxBeyondReasonStopsTheRunWithItsName) {
  for (const BadBox& b : kBadBoxes) {
    for (int index : {0, 18}) {
      SCOPED_TRACE(std::string(b.text) + (index == 0 ? " redesign" : " update"));
      RunRig rig;
      rig.eng.st.JName_Comb = "W9";
      box_of(rig.eng.st, b) = b.text;
      const Outputs before = outputs(rig.eng.st);
      if (index == 0) rig.eng.DesignCom_Click();
      else rig.eng.DesignForMutual(index);
      ASSERT_EQ(rig.msgs.texts.size(), 1u);
      EXPECT_EQ(rig.msgs.texts[0].rfind(b.name, 0), 0u) << rig.msgs.texts[0];
      EXPECT_EQ(rig.msgs.titles[0], kBoxRefusedTitle);
      EXPECT_TRUE(outputs(rig.eng.st) == before);
      EXPECT_EQ(rig.eng.st.text3_focus, b.array == DesignBoxArray::Text3 ? b.box : -1);
    }
  }
}

// An interactive run checks the after-design boxes it reads, not those its earlier stages
// fill: letters in the bore stop the run from the stroke, not the run from the rate.
TEST_F(DesignRunsTest, AnInteractiveRunChecksOnlyTheBoxesItReads) {
  struct Case {
    int box, index;
    bool refused;
  };
  const Case cases[] = {
      {design_box::kBoreAfter, 12, false}, {design_box::kBoreAfter, 15, true}, {design_box::kBoreAfter, 16, true},
      {design_box::kSpmAfter, 16, false},  {design_box::kSpmAfter, 17, true},  {design_box::kRods78After, 18, false},
      {design_box::kRods78After, 21, false}, {design_box::kRods78After, 20, true},
      {design_box::kRods118After, 22, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.box) + " from stage " + std::to_string(c.index));
    RunRig rig;
    rig.eng.st.Text3[static_cast<std::size_t>(c.box)] = "abc";
    rig.eng.DesignForMutual(c.index);
    const bool refused = !rig.msgs.titles.empty() && rig.msgs.titles[0] == kBoxRefusedTitle;
    EXPECT_EQ(refused, c.refused) << (rig.msgs.texts.empty() ? "" : rig.msgs.texts[0]);
  }
}

// The design's own checks keep their messages: the reservoir data the automatic run refuses
// and the design pump efficiency are not caught by the limits first.
TEST_F(DesignRunsTest, TheDesignsOwnChecksComeFirst) {
  struct Case {
    int well_box;  // -1: the design pump efficiency
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {well_box::kCasingPressure, "-0.1", "套压错误，无法进行管柱设计！"},
      {well_box::kProductivity, "-3", "采油指数错误，无法进行管柱设计！"},
      {well_box::kLayerMidDepth, "-1500", "油层中深错误，无法进行管柱设计！"},
      {-1, "1.5", "输入的设计泵效有错，请重新输入！"},
      {-1, "-0.5", "输入的设计泵效有错，请重新输入！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RunRig rig;
    rig.eng.st.JName_Comb = "W9";
    if (c.well_box >= 0) rig.eng.st.Text6[static_cast<std::size_t>(c.well_box)] = c.text;
    else rig.eng.st.Text2 = c.text;
    rig.eng.DesignCom_Click();
    ASSERT_FALSE(rig.msgs.texts.empty());
    EXPECT_EQ(rig.msgs.texts[0], c.message);
  }
}

}  // namespace
}  // namespace wb::design::test
