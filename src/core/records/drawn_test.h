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

using SampleArray = std::array<float, kSampleArraySize>;

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

  std::array<std::string, 6> Text1;   // appended data (Frame4)
  std::array<bool, 6> text1_enabled{true, true, true, true, true, true};
  std::array<std::string, 16> Text3;  // measured results (Frame5)

  std::string R_iu;                // correlation box of the period frame (the line-loss fit writes it)
  bool chk_start_checked = false;  // the electric chart's axis is the crank angle
  bool command1_visible = false;   // the print-preview button
};

}  // namespace wb
