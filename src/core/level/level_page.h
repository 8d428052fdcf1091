// The printed level report: one block per test, two to an A4 sheet or three to fan-fold
// paper, both in landscape. A block is a grey frame with the raw echo (red) over the
// smoothed one (blue), the level marker, a time scale along the top edge, a depth scale
// along the bottom edge by the test's method, and a bold title above the frame.
//
// Page units are millimetres from the sheet's top-left corner. Horizontally a block counts
// one unit a sample: A4 20 units a mm after a 450-unit margin, fan-fold 15 after 250.
// Vertically 6.5 units a mm; pic2_y (units) is the raw curve's zero line, the top edge
// 96 units above it, the bottom edge 277 below, the title's top 63 mm above the bottom.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/canvas.h"
#include "core/level/level_test.h"

namespace wb {

struct LevelBlockLayout {
  double sca_x = 0;   // units a mm
  double margin = 0;  // units
  double xl = 0, xr = 0, yt = 0, yb = 0;  // mm
};
// Empty for a paper other than A4 (9) and fan-fold (39).
std::optional<LevelBlockLayout> level_block_layout(std::int16_t paper_code, double pic2_y);

// The title of a block: name (cut at its first control character, blanks kept),
// "井液面测试曲线", the date's first 8 characters, the method, and the speed and depth
// when plausible, numbers in the print form.
std::string level_block_title(const LevelTest& t);

// prt_Level: one block of the test at pic2_y; `mark_level` is the stored level marker in
// samples. Nothing is drawn for another paper. The canvas must be in millimetres.
void prt_Level(Canvas& c, const LevelTest& t, std::int16_t paper_code, double pic2_y, double mark_level);

// Where each marked record prints: its sheet (from 0) and pic2_y.
struct LevelPrintBlock {
  std::int16_t record = 0;
  int sheet = 0;
  double pic2_y = 0;
};
// A4: 350, 840 a sheet; fan-fold: 220, 710, 1200. Another paper prints nothing.
std::vector<LevelPrintBlock> plan_level_print(const std::vector<std::int16_t>& records, std::int16_t paper_code);

// prt_level_marked: prints every block as one job on `c` from a copy of the shown test
// (the shown test is not touched), reading each record through `read`. A record that
// cannot be read is skipped and its number returned; the job is always ended.
using LevelRecordReader = std::function<bool(std::int16_t record, LevelTest& into, double& mark_level)>;
std::vector<std::int16_t> prt_level_marked(Canvas& c, const LevelTest& shown, const std::vector<std::int16_t>& records,
                                           std::int16_t paper_code, const LevelRecordReader& read);

}  // namespace wb
