#include <gtest/gtest.h>

#include "core/balance/balance_params.h"

namespace wb {
namespace {

// Boxes that pass every check of every mode: crank blocks at 1 m between 0.5 and 2.1 m, a
// beam unit of 3 m stroke, 4 m front arm.
ParameterBoxes good_boxes() {
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "10";
  t[2] = "1";
  t[6] = "3";
  t[8] = "0";
  t[9] = "5";
  t[10] = "3";
  t[24] = "0.5";
  t[27] = "2.5";
  return t;
}

std::string range_line(const std::string& name, const std::string& lo, const std::string& hi) {
  return "\r\n\t" + name + "错误，只能在" + lo + "-" + hi + "之间！";
}
const std::string kTail = "\r\n\r\n\t请重新输入以上参数，输完后请按 [自动分析] 按扭 ！";

TEST(BalanceParams, GroupTotals) {
  struct Case {
    const char* why;
    std::array<const char*, 12> groups;  // boxes 12..23: (pos, weight, count) × 4
    const char* n;
    const char* w;
    const char* pos;
  } cases[] = {
      {"two groups: 49.2/4/9 = 1.3667", {"1.5", "10", "2", "1.2", "8", "2", "", "", "", "", "", ""}, "4", "9", "1.37"},
      {"group 3 alone", {"", "", "", "", "", "", "1", "12.5", "3", "", "", ""}, "3", "12.5", "1"},
      {"a count without weight does not count", {"1", "", "2", "", "", "", "", "", "", "", "", ""}, "", "", ""},
      {"2.5 blocks count as 2, 3.5 as 4", {"1", "10", "2.5", "2", "10", "3.5", "", "", "", "", "", ""}, "6", "10",
       "1.67"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ParameterBoxes t = default_parameter_boxes();
    t[0] = "x";
    for (int i = 0; i < 12; ++i) t[12 + i] = c.groups[i];
    crank_group_totals(t);
    EXPECT_EQ(t[0], c.n);
    EXPECT_EQ(t[1], c.w);
    EXPECT_EQ(t[2], c.pos);
  }
}

TEST(BalanceParams, ModelName) {
  struct Case {
    const char* model;
    const char* stroke;
    const char* torque;
  } cases[] = {
      {"Y-3-37", "3", "37"}, {"Y-3.0", "3.0", ""}, {"CYJ10", "", ""}, {"CYJ10-3-53HB", "3", "53"},
      {"Y-型3-37", "", "37"},  // a double-byte character right after the first "-"
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    const ModelNameFigures f = parse_model_name(c.model);
    EXPECT_EQ(f.max_stroke, c.stroke);
    EXPECT_EQ(f.gearbox_torque, c.torque);
  }
}

TEST(BalanceParams, KeyMovementFollowsTabOrder) {
  EXPECT_EQ(parameter_box_after(11, +1), -1);
  EXPECT_EQ(parameter_box_after(0, -1), -1);
  EXPECT_EQ(parameter_box_after(26, +1), 14);
  EXPECT_EQ(parameter_box_after(5, -1), 21);
}

// A crank block group box beyond reason: the totals leave that group out (never "inf" in a
// box), and the crank analyses name the box; the beam analysis does not read the groups.
TEST(BalanceCheck, AGroupBoxBeyondReasonIsNamed) {
  struct Case {
    int box;
    const char* text;
    const char* line;
  } cases[] = {
      {13, "1e300", "“第一组单块重”为 1E+300 kN"},
      {13, "99999999", "“第一组单块重”为 99999999 kN"},
      {14, "-2", "“第一组分组块数”为 -2"},
      {12, "l.5", "“第一组重心位置”中的“l.5”不是数字"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ParameterBoxes t = good_boxes();
    const std::array groups = {"1.5", "10", "2", "1.2", "8", "2"};
    for (std::size_t i = 0; i < groups.size(); ++i) t[12 + i] = groups[i];
    t[static_cast<std::size_t>(c.box)] = c.text;
    crank_group_totals(t);
    EXPECT_EQ(t[0], "2");  // the second group alone
    EXPECT_EQ(t[1], "8");
    for (BalanceMode m : {BalanceMode::Crank, BalanceMode::Combined, BalanceMode::Beam}) {
      BalanceParams p;
      const InputCheck chk = Check_Input_Dat(t, m, p);
      EXPECT_EQ(chk.failed, m != BalanceMode::Beam);
      EXPECT_EQ(chk.message.find(std::string("\r\n\t") + c.line) != std::string::npos, m != BalanceMode::Beam)
          << chk.message;
    }
  }
}

TEST(BalanceCheck, GoodBoxesPassInEveryMode) {
  for (BalanceMode m : {BalanceMode::Crank, BalanceMode::Beam, BalanceMode::Combined, BalanceMode::None}) {
    ParameterBoxes t = good_boxes();
    BalanceParams p;
    const InputCheck c = Check_Input_Dat(t, m, p);
    EXPECT_FALSE(c.failed) << c.message;
    EXPECT_EQ(p.crank_blocks, 2);
    EXPECT_FLOAT_EQ(p.crank_angle0, 6.0f);
  }
}

// Every range row at its limits: a bound passes, a step beyond it fails with the row's line.
TEST(BalanceCheck, EveryRangeRowAtItsLimits) {
  struct Row {
    int box;
    const char* name;
    float lo, hi;
    const char* lo_text;
    const char* hi_text;
    BalanceMode mode;
  } rows[] = {
      {0, "曲柄平衡块数", 0, 12, " 0", " 12", BalanceMode::Crank},
      {1, "曲柄平衡块单重", 1, 30, " 1", " 30", BalanceMode::Crank},
      {2, "曲柄平衡块位置", 0, 3.2f, " 0", " 3.2", BalanceMode::Crank},
      {4, "减速器扭矩", 0, 120, " 0", " 120", BalanceMode::Crank},
      {3, "曲柄最大安装位置", 0.5f, 3.2f, " .5", " 3.2", BalanceMode::Crank},
      {24, "曲柄最小安装位置", 0, 1.5f, " 0", " 1.5", BalanceMode::Crank},
      {25, "曲柄平衡块安装间距", 0, 1.2f, " 0", " 1.2", BalanceMode::Crank},
      {26, "曲柄的初始角", 0, 15, " 0", " 15", BalanceMode::Crank},
      {5, "游梁前臂长度", 1, 18, " 1", " 18", BalanceMode::Beam},
      {7, "平衡臂长度", 0.5f, 7, " .5", " 7", BalanceMode::Beam},
      {27, "实际冲程", 0.3f, 8, " .3", " 8", BalanceMode::Beam},
      {6, "最大冲程", 0.5f, 8, " .5", " 8", BalanceMode::Beam},
      {8, "平衡臂偏置角", 0, 45, " 0", " 45", BalanceMode::Beam},
      {9, "游梁平衡块单重", 1, 50, " 1", " 50", BalanceMode::Beam},
      {10, "已装游梁平衡块数", 0, 50, " 0", " 50", BalanceMode::Beam},
      {11, "最多可装游梁平衡块数", 2, 50, " 2", " 50", BalanceMode::Beam},
  };
  for (const Row& r : rows) {
    const std::string line = range_line(r.name, r.lo_text, r.hi_text);
    for (float v : {r.lo, r.hi, r.lo - 0.01f, r.hi + 0.01f}) {
      SCOPED_TRACE(std::string(r.name) + " = " + std::to_string(v));
      ParameterBoxes t = good_boxes();
      // Keep the relations out of the way: the block position and the strokes follow the row.
      t[3] = "3.2";
      t[6] = "8";
      t[11] = "50";
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(v));
      t[static_cast<std::size_t>(r.box)] = buf;
      BalanceParams p;
      const InputCheck c = Check_Input_Dat(t, r.mode, p);
      const bool inside = v >= r.lo && v <= r.hi;
      EXPECT_EQ(c.message.find(line) != std::string::npos, !inside) << c.message;
    }
  }
}

// Letters in a box fail its row: "abc" would read 0 and "2x" 2, both inside some ranges.
TEST(BalanceCheck, TextThatIsNotANumberFailsItsRow) {
  struct Case {
    int box;
    const char* text;
    const char* name;
    const char* lo;
    const char* hi;
    BalanceMode mode;
  } cases[] = {
      {2, "abc", "曲柄平衡块位置", " 0", " 3.2", BalanceMode::Crank},
      {4, "80kN", "减速器扭矩", " 0", " 120", BalanceMode::Crank},
      {10, "3块", "已装游梁平衡块数", " 0", " 50", BalanceMode::Beam},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ParameterBoxes t = good_boxes();
    BalanceParams p;
    ASSERT_FALSE(Check_Input_Dat(t, c.mode, p).failed);
    t[static_cast<std::size_t>(c.box)] = c.text;
    const InputCheck chk = Check_Input_Dat(t, c.mode, p);
    EXPECT_TRUE(chk.failed);
    EXPECT_NE(chk.message.find(range_line(c.name, c.lo, c.hi)), std::string::npos) << chk.message;
  }
}

TEST(BalanceCheck, CombinedMessageByteForByte) {
  ParameterBoxes t = good_boxes();
  t[0] = "13";
  t[9] = "60";
  BalanceParams p;
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Combined, p);
  ASSERT_TRUE(c.failed);
  EXPECT_EQ(c.message, range_line("曲柄平衡块数", " 0", " 12") + range_line("游梁平衡块单重", " 1", " 50") + kTail);
}

TEST(BalanceCheck, CrankMessageByteForByte) {
  ParameterBoxes t = good_boxes();
  t[3] = "0.4";  // largest position 0.4 m: out of range, and the block at 1 m lies beyond it
  BalanceParams p;
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Crank, p);
  ASSERT_TRUE(c.failed);
  EXPECT_EQ(c.message, "\r\n\t曲柄最大安装位置错误，只能在 .5- 3.2之间！"
                       "\r\n\t曲柄平衡块位置错误，只能最小和最大可安装位置之间！" + kTail);
}

TEST(BalanceCheck, BeamMessageByteForByte) {
  ParameterBoxes t = good_boxes();
  t[27] = "3.3";  // above 1.05 × 3
  t[10] = "8";
  t[11] = "6";
  BalanceParams p;
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Beam, p);
  ASSERT_TRUE(c.failed);
  EXPECT_EQ(c.message, "\r\n\t实际冲程明显大于使用冲程！\r\n\t实际安装的游梁平衡块数大于最大可装块数！" + kTail);
}

TEST(BalanceCheck, ZeroCrankBlocksAreRefusedOnALineOfTheirOwn) {
  for (BalanceMode m : {BalanceMode::Crank, BalanceMode::Combined}) {
    ParameterBoxes t = good_boxes();
    t[0] = "0";
    BalanceParams p;
    const InputCheck c = Check_Input_Dat(t, m, p);
    ASSERT_TRUE(c.failed);
    EXPECT_EQ(c.message.find("曲柄平衡块数错误"), std::string::npos);  // row 0 admits 0
    EXPECT_NE(c.message.find("曲柄平衡块数不能为0"), std::string::npos);
  }
  ParameterBoxes t = good_boxes();
  t[0] = "0";
  BalanceParams p;
  EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Beam, p).failed);
}

TEST(BalanceCheck, EmptyBoxesInCrankBalance) {
  ParameterBoxes t{};
  BalanceParams p;
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Crank, p);
  ASSERT_TRUE(c.failed);
  // Position, smallest and largest position are all 0: the relation holds.
  EXPECT_EQ(c.message, range_line("曲柄平衡块单重", " 1", " 30") + range_line("曲柄最大安装位置", " .5", " 3.2") +
                           "\r\n\t曲柄平衡块数不能为0，请输入安装的曲柄平衡块数！" + kTail);
}

TEST(BalanceCheck, TypedCountIsCheckedAsTyped) {
  ParameterBoxes t = good_boxes();
  t[0] = "12.4";
  BalanceParams p;
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Crank, p);
  EXPECT_TRUE(c.failed);
  EXPECT_EQ(p.crank_blocks, 12);
  t[0] = "99999999";  // beyond 16 bits: clamped in the member, refused by its row
  EXPECT_TRUE(Check_Input_Dat(t, BalanceMode::Crank, p).failed);
  EXPECT_EQ(p.crank_blocks, 32767);
}

TEST(BalanceCheck, OffsetAngleEstimate) {
  ParameterBoxes t = good_boxes();
  t[5] = "3";
  t[6] = "3";
  t[8] = "?  ";
  BalanceParams p;
  EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Beam, p).failed);
  EXPECT_EQ(t[8], "29?");
  EXPECT_FLOAT_EQ(p.balance_arm_angle, 29.0f);
  EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Beam, p).failed);  // estimated again
  EXPECT_EQ(t[8], "29?");

  t[8] = "？";  // full width: no marker, reads 0
  EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Beam, p).failed);
  EXPECT_EQ(t[8], "？");
  EXPECT_FLOAT_EQ(p.balance_arm_angle, 0.0f);

  t[8] = "?";
  t[5] = "0";  // no front arm: no estimate, the arm's row reports it
  const InputCheck c = Check_Input_Dat(t, BalanceMode::Beam, p);
  EXPECT_TRUE(c.failed);
  EXPECT_EQ(t[8], "?");
  EXPECT_NE(c.message.find("游梁前臂长度"), std::string::npos);

  t = good_boxes();
  t[8] = "?";
  EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Crank, p).failed);  // crank balance: no estimate
  EXPECT_EQ(t[8], "?");
}

TEST(BalanceCheck, StrokeWithinFivePercentSnapsToTheLargest) {
  struct Case {
    const char* act;
    float expect;
  } cases[] = {{"2.9", 3.0f}, {"2.85", 3.0f}, {"2.8", 2.8f}, {"3.15", 3.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.act);
    ParameterBoxes t = good_boxes();
    t[27] = c.act;
    BalanceParams p;
    EXPECT_FALSE(Check_Input_Dat(t, BalanceMode::Beam, p).failed);
    EXPECT_FLOAT_EQ(p.act_stroke, c.expect);
    EXPECT_EQ(t[27], c.act);
  }
}

}  // namespace
}  // namespace wb
