// The main window's test state: everything the window knows about the one test it shows.
// The window mirrors the texts into its boxes and writes the user's edits back, so every
// computation that passes through box texts runs here without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/charts/data_type.h"
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

struct TestState {
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
  std::int16_t bdc_start = 0;  // index of the bottom dead centre
  float circle_tol = 0.02f;    // correlation tolerance of the period search

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

  // Control state the analyses read back.
  std::string Text2;             // full path of the file last opened
  std::string R_iu;              // correlation box of the period frame
  std::string CircleDot;         // period box of the period frame
  std::string frame2_caption = "主库";
  std::string frame1_caption;
  std::string picture1_tooltip;
  std::array<std::string, 15> image1_tooltip;
  bool chk_start_visible = false;
  bool chk_start_enabled = false;  // offered only when the stroke has a clear fundamental
  bool chk_start_checked = false;
  bool frame3_enabled = false;
  bool frame3_visible = true;
  bool command1_visible = false;

  // What is wrong with the raw file of the joint test shown (empty for a sound file or
  // another kind of test): the user is asked before such a test is stored.
  std::vector<std::string> org_doubts;
  // The same for a stored card, electric or waveform record (record_checks.h), with the
  // file it was read from.
  std::vector<std::string> record_doubts;
  std::string record_doubts_path;

  // Energy values of the last energy panel drawn in this run (module Data_Type's DnCs).
  DnCsArray DnCs{};

  // Reset before a file or a library row is opened. The result boxes are emptied too: a
  // reader writes only the results its record holds, and a box it does not write must not
  // go on showing the previous test's value.
  void reset_for_new_test() {
    picture1_tooltip.clear();
    command1_visible = false;
    for (auto& t : Text1) t.clear();
    for (auto& t : Text3) t.clear();
    org_doubts.clear();
    record_doubts.clear();
    record_doubts_path.clear();
    iu_num = 0;
    gt_num = 0;
  }
};

}  // namespace wb
