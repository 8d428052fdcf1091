// The test as the drawings see it: the samples of one stroke, the records read, the boxes a
// chart reads and writes and the few window flags a drawing sets. The main window's
// TestState is one (it adds the rest of the window's state), so charts, electric views and
// printed pages take only what they draw and never the whole window state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/common/test_records.h"

namespace wb {

inline constexpr int kMaxSamples = 3000;   // samples kept from a joint test (60 s)
inline constexpr int kSampleArraySize = 3001;  // indices 0..3000

// Test kinds (read_sgt_dnt_org).
enum TestKind : std::int16_t {
  kKindNone = 0,
  kKindCard = 1,
  kKindElectric = 2,
  kKindJoint = 3,
  kKindWave = 4,
  kKindLineLoss = 5,
};

// Whether a test of this kind has electric curves over a stroke (electric or joint test): the
// counterbalance and efficiency windows take only such a test.
inline bool has_electric_stroke(int kind) { return kind == kKindElectric || kind == kKindJoint; }

using SampleArray = std::array<float, kSampleArraySize>;

// The appended-data boxes `Text1` (frame "数据附加及更正"): the test's date and well, and the
// static card the user adds before a card is stored. Numbers are read from the leading
// numeric part of the text; an empty box counts as 0.
inline constexpr int kAppendedBoxCount = 6;
namespace appended_box {
inline constexpr int kTestDate = 0;     // the 12-character date and time of the record or header
inline constexpr int kStrokeLoss = 1;   // stroke loss of the static card, m
inline constexpr int kWell = 2;         // well name
inline constexpr int kTheoStroke = 3;   // theoretical (nominal) stroke of the static card, m
inline constexpr int kTheoMaxLoad = 4;  // theoretical maximum polished-rod load, kN
inline constexpr int kTheoMinLoad = 5;  // theoretical minimum polished-rod load, kN
}  // namespace appended_box

// The measured-result boxes `Text3` (frame "测试结果"), each known by its tooltip. The two
// half-stroke boxes hold two numbers joined by "/": the first half, then the second.
inline constexpr int kResultBoxCount = 16;
namespace result_box {
inline constexpr int kWork = 0;              // "作功量", work per stroke; never written here
inline constexpr int kInputPower = 1;        // "输入功率", mean active power, kW
inline constexpr int kRodPower = 2;          // "光杆功率", polished-rod power, kW
inline constexpr int kAvgPowerUpDown = 3;    // "工作功率", mean active power of each half, kW
inline constexpr int kMaxCurrentUpDown = 4;  // "工作电流", largest current of each half, A
inline constexpr int kAvgVoltage = 5;        // "平均电压", V
inline constexpr int kAvgCurrent = 6;        // "平均电流", A
inline constexpr int kApparentPower = 7;     // "视在功率", kVA
inline constexpr int kReactivePower = 8;     // "无功功率", kvar
inline constexpr int kPowerFactor = 9;       // "功率因数"
inline constexpr int kRmsCurrent = 10;       // "均方电流", A
inline constexpr int kRmsPower = 11;         // "均方功率", kW
inline constexpr int kMeasuredStroke = 12;   // "实测冲程", m
inline constexpr int kMeasuredSpm = 13;      // "实测冲次", strokes per minute
inline constexpr int kMaxLoad = 14;          // "最大载荷", kN; never written here
inline constexpr int kMinLoad = 15;          // "最小载荷", kN; never written here
}  // namespace result_box

struct DrawnTest {
  std::int16_t read_sgt_dnt_org = kKindNone;
  std::int16_t disp_state = 0;

  SampleArray iis{};  // motor current, A
  SampleArray uus{};  // motor voltage, V
  SampleArray pps{};  // active power, kW
  SampleArray qqs{};  // reactive power, kvar
  SampleArray sss{};  // polished-rod position, m
  SampleArray ggs{};  // polished-rod load, kN

  std::int16_t iu_num = 0;     // electric samples in one stroke
  std::int16_t gt_num = 0;     // card samples in one stroke

  float imax_up = 0, imax_down = 0;  // A, 1 decimal
  float pavg_up = 0, pavg_down = 0;  // kW, 1 decimal
  float p_sum = 0;                   // kW, the stroke power sum
  float gt_stroke = 0;               // m, card last drawn
  float gt_max_load = 0;             // kN, card last drawn

  OrgFileHeader org_head;
  SgtRecord sgt_rec;
  DntRecord dnt_rec;
  XbtRecord xbt_rec;

  std::array<std::string, kAppendedBoxCount> Text1;  // appended data (Frame4), by appended_box
  std::array<bool, kAppendedBoxCount> text1_enabled{true, true, true, true, true, true};
  std::array<std::string, kResultBoxCount> Text3;    // measured results (Frame5), by result_box

  std::string R_iu;                // correlation box of the period frame (the line-loss fit writes it)
  bool chk_start_checked = false;  // the electric chart's axis is the crank angle
  bool command1_visible = false;   // the print-preview button

  // The well and static-card boxes (well through theoretical minimum load): the card chart
  // enables them, a printed card leaves them disabled.
  void set_card_boxes_enabled(bool on) {
    for (int i = appended_box::kWell; i <= appended_box::kTheoMinLoad; ++i) text1_enabled[i] = on;
  }
};

}  // namespace wb
