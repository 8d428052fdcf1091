// The efficiency calculation over box texts. The worked example is computed by hand beside
// each expectation; texts are compared exactly because the boxes are what is saved and printed.
#include <gtest/gtest.h>

#include <cmath>

#include "core/efficiency/effi_calc.h"

namespace wb {
namespace {

// The worked example: a well with 500 m of 7/8 in and 500 m of 3/4 in rods and 100 m of a
// 38 mm sinker bar, shown in the main window as well "W1" tested at "200605121430".
SysEffiState worked_example() {
  SysEffiState s;
  auto& T = s.Text1;
  T[0] = "W1";
  T[23] = "200605121430";
  T[5] = "20";
  T[15] = "0.95";
  T[16] = "0.8";
  T[17] = "0.5";
  T[18] = "800";
  T[19] = "1000";
  T[25] = "10";
  T[26] = "5";
  T[4] = "56";
  T[21] = "3";
  T[22] = "6";
  T[12] = "500";
  T[13] = "500";
  T[47] = "100";
  T[48] = "38";
  return s;
}

std::array<std::string, 6> main_boxes() { return {"200605121430", "", "W1", "", "", ""}; }

TEST(EffiCalc, WorkedExampleBoxByBox) {
  SysEffiState s = worked_example();
  auto main = main_boxes();
  EffiCalcOutcome out = Cmd_Calc_Click(s, main);
  EXPECT_EQ(out.message, "");
  EXPECT_TRUE(out.handed_back);
  const auto& T = s.Text1;
  EXPECT_EQ(T[20], "200");   // 1000 - 800
  // H = 800 + 0.3·1000/(0.95·9.8) = 832.2234 m; Ph = 20·H·9.81/86400 = 1.88984 kW
  EXPECT_EQ(T[27], "1.89");
  EXPECT_EQ(T[28], "50");    // 5/10
  EXPECT_EQ(T[29], "37.8");  // 1.89/5 from the box as written
  EXPECT_EQ(T[30], "18.9");  // 1.89/10
  EXPECT_EQ(T[33], "31.3");  // Q = 1130.4·0.056²·3·6 = 63.8088 m3/d; 20/Q
  // 38 matches 38.1 mm (0.0877 kN/m): 100·0.0877 + 500·0.0238 + 500·0.0325, times 6.85/7.8
  EXPECT_EQ(T[44], "32.42");
  // 0.785·0.056²·0.95·1000·1100 kg = 2572.5392 kg → 25.21 kN, plus 32.42
  EXPECT_EQ(T[43], "57.63");
  EXPECT_DOUBLE_EQ(s.Rod_Len_Sum, 1100);
  EXPECT_DOUBLE_EQ(s.Rod_Dia_Tab[0], 38.1);
  EXPECT_DOUBLE_EQ(s.Rod_Wt_Tab[0], 0.0877);
  EXPECT_EQ(s.Miss_Flag, 0);
  // Hand-back: stroke, max, min, then the stroke loss 1100/1000·0.4 (0.44000000000000006
  // as a double, shown with 15 significant digits).
  EXPECT_EQ(main[3], "3");
  EXPECT_EQ(main[4], "57.63");
  EXPECT_EQ(main[5], "32.42");
  EXPECT_EQ(main[1], "0.44");
  EXPECT_EQ(main[0], "200605121430");
  EXPECT_EQ(main[2], "W1");
}

TEST(EffiCalc, RefusedInputsEmptyTheResultsAndWriteNothingElse) {
  struct Case {
    const char* why;
    int box;
    const char* text;
    const char* message;
  } cases[] = {
      {"daily liquid only blanks", 5, "   ", kEffiMissingInputs},
      {"density empty", 15, "", kEffiMissingInputs},
      {"fluid level empty", 18, "", kEffiMissingInputs},
      {"density 0", 15, "0", kEffiBadDensity},
      {"density negative", 15, "-0.9", kEffiBadDensity},
      {"density not a number", 15, "abc", kEffiBadDensity},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SysEffiState s = worked_example();
    for (int b : kEffiResultBoxes) s.Text1[b] = "99";  // results of an earlier run
    s.Text1[20] = "7";
    s.Text1[c.box] = c.text;
    auto main = main_boxes();
    EffiCalcOutcome out = Cmd_Calc_Click(s, main);
    EXPECT_EQ(out.message, c.message);
    EXPECT_TRUE(out.refused);
    EXPECT_FALSE(out.handed_back);
    for (int b : kEffiResultBoxes) EXPECT_EQ(s.Text1[b], "") << "box " << b;
    EXPECT_EQ(s.Text1[20], "7");
    EXPECT_EQ(main, main_boxes());
  }
}

// A box beyond what it can hold, or letters where a number is needed, stops the calculation
// with a message naming the box; no result of an earlier run stays.
TEST(EffiCalc, BoxBeyondReasonStopsTheCalculationNamingIt) {
  struct Case {
    int box;
    const char* text;
    const char* named;
  } cases[] = {
      {22, "99999999", "“标称冲次”为 99999999 1/min"},
      {4, "abc", "“泵径”中的“abc”不是数字"},
      {18, "2e6", "“动液面”"},
      {15, "7.8", "“产液密度”"},
      {16, "-3", "“井口油压”"},
      {13, "5oo", "“6/8'杆长”"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SysEffiState s = worked_example();
    for (int b : kEffiResultBoxes) s.Text1[b] = "99";
    s.Text1[c.box] = c.text;
    auto main = main_boxes();
    EffiCalcOutcome out = Cmd_Calc_Click(s, main);
    EXPECT_NE(out.message.find(c.named), std::string::npos) << out.message;
    EXPECT_TRUE(out.refused);
    EXPECT_FALSE(out.handed_back);
    for (int b : kEffiResultBoxes) EXPECT_EQ(s.Text1[b], "") << "box " << b;
    EXPECT_EQ(main, main_boxes());
  }
}

TEST(EffiCalc, MissingPumpInputsStopAfterTheEfficiencies) {
  for (int box : {4, 21, 22}) {
    SCOPED_TRACE(box);
    SysEffiState s = worked_example();
    s.Text1[33] = s.Text1[43] = s.Text1[44] = "99";
    s.Text1[box] = box == 4 ? "" : "-1";
    auto main = main_boxes();
    EffiCalcOutcome out = Cmd_Calc_Click(s, main);
    EXPECT_EQ(out.message, kEffiMissingPumpInputs);
    EXPECT_FALSE(out.refused);
    EXPECT_FALSE(out.handed_back);
    EXPECT_EQ(s.Text1[20], "200");
    EXPECT_EQ(s.Text1[27], "1.89");
    EXPECT_EQ(s.Text1[30], "18.9");
    EXPECT_EQ(s.Text1[33], "");
    EXPECT_EQ(s.Text1[43], "");
    EXPECT_EQ(s.Text1[44], "");
    EXPECT_EQ(main, main_boxes());
  }
}

TEST(EffiCalc, EfficienciesWithoutADivisorAreEmptied) {
  struct Case {
    const char* why;
    int box;
    const char* text;
    const char* b27, *b28, *b29, *b30;
  } cases[] = {
      // No input power: surface and system efficiency cannot be computed.
      {"input power 0", 25, "0", "1.89", "", "37.8", ""},
      {"input power not a number", 25, "kW", "1.89", "", "37.8", ""},
      // No liquid: the hydraulic power is 0 and the downhole and system efficiency are not computed.
      {"daily liquid 0", 5, "0", "0", "50", "", ""},
      {"polished-rod power empty", 26, "", "1.89", "", "", "18.9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SysEffiState s = worked_example();
    for (int b = 27; b <= 30; ++b) s.Text1[b] = "99";
    s.Text1[c.box] = c.text;
    auto main = main_boxes();
    EXPECT_FALSE(Cmd_Calc_Click(s, main).refused);
    EXPECT_EQ(s.Text1[27], c.b27);
    EXPECT_EQ(s.Text1[28], c.b28);
    EXPECT_EQ(s.Text1[29], c.b29);
    EXPECT_EQ(s.Text1[30], c.b30);
  }
}

TEST(EffiCalc, TheLiftIsHeldInSinglePrecision) {
  // H = 1371 + 300/9.31 = 1403.2234… m; as a single it is 1403.22339 m, which puts the
  // hydraulic power 37·H·9.81/86400 just below 5.895 kW (a double lift lands just above).
  SysEffiState s = worked_example();
  s.Text1[5] = "37";
  s.Text1[18] = "1371";
  auto main = main_boxes();
  EXPECT_FALSE(Cmd_Calc_Click(s, main).refused);
  EXPECT_EQ(s.Text1[27], "5.89");
}

TEST(EffiCalc, NegativeSubmergenceRoundsHalfUpWithTheFloor) {
  SysEffiState s = worked_example();
  s.Text1[19] = "900";
  s.Text1[18] = "912.346";  // -12.346 → floor(-1234.6 + 0.5) = -1235
  auto main = main_boxes();
  EXPECT_FALSE(Cmd_Calc_Click(s, main).refused);
  EXPECT_EQ(s.Text1[20], "-12.35");
}

TEST(EffiCalc, SinkerBarMatchesItsWholeMillimetres) {
  // 100 m of sinker alone in a liquid of 0.95 t/m3: weight·100·6.85/7.8.
  struct Case {
    const char* dia;
    double wt;         // kN/m of the matched row, 0: none
    const char* box44;
  } cases[] = {{"25", 0.0424, "3.72"}, {"25.9", 0.0424, "3.72"}, {"26", 0, "0"}, {"0", 0, "0"},
               {"40", 0, "0"},         {"15", 0.0166, "1.46"},   {"38", 0.0877, "7.7"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dia);
    SysEffiState s = worked_example();
    s.Text1[12] = s.Text1[13] = "";
    s.Text1[48] = c.dia;
    auto main = main_boxes();
    EXPECT_FALSE(Cmd_Calc_Click(s, main).refused);
    EXPECT_EQ(s.Text1[44], c.box44);
    EXPECT_DOUBLE_EQ(s.Rod_Wt_Tab[0], c.wt);
    EXPECT_DOUBLE_EQ(s.Rod_Len_Sum, 100);  // the sinker adds its length even without weight
  }
}

TEST(EffiCalc, NoRodsGiveZeroLoadsAndAZeroStrokeLoss) {
  SysEffiState s = worked_example();
  s.Text1[12] = s.Text1[13] = "";
  s.Text1[47] = "0";
  auto main = main_boxes();
  EXPECT_FALSE(Cmd_Calc_Click(s, main).refused);
  EXPECT_EQ(s.Text1[43], "0");
  EXPECT_EQ(s.Text1[44], "0");
  EXPECT_EQ(main[1], "0");
  EXPECT_EQ(main[4], "0");
}

TEST(EffiCalc, OnlyTheMainWindowsOwnTestGetsTheStaticCard) {
  struct Case {
    const char* why;
    const char* well;
    const char* time;
    bool handed;
  } cases[] = {
      {"same test, blanks around", "  W1 ", "200605121430  ", true},
      {"other test time", "W1", "200605121431", false},
      {"other well", "W2", "200605121430", false},
      {"well differs in case", "w1", "200605121430", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SysEffiState s = worked_example();
    s.Text1[0] = c.well;
    s.Text1[23] = c.time;
    auto main = main_boxes();
    EXPECT_EQ(Cmd_Calc_Click(s, main).handed_back, c.handed);
    EXPECT_EQ(main[4], c.handed ? "57.63" : "");
  }
}

}  // namespace
}  // namespace wb
