// The main window's test state: everything the window knows about the one test it shows.
// Its DrawnTest part is what the charts, electric views and printed pages see of it.
// The window mirrors the texts into its boxes and writes the user's edits back, so every
// computation that passes through box texts runs here without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/charts/data_type.h"
#include "core/records/drawn_test.h"

namespace wb {

struct TestState : DrawnTest {
  std::int16_t bdc_start = 0;  // index of the bottom dead centre
  float circle_tol = 0.02f;    // correlation tolerance of the period search

  // Control state the analyses read back.
  std::string Text2;             // full path of the file last opened
  std::string CircleDot;         // period box of the period frame
  std::string frame2_caption = "主库";
  std::string frame1_caption;
  std::string picture1_tooltip;
  std::array<std::string, 15> image1_tooltip;
  bool chk_start_visible = false;
  bool chk_start_enabled = false;  // offered only when the stroke has a clear fundamental
  bool frame3_enabled = false;
  bool frame3_visible = true;

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
