// The fluid-level window's current test: one acoustic echo recording with its sound speed,
// level depth, method and the five markers, plus the display and analysis values derived
// from it. The window holds exactly one; raw files and library records fill it.
//
// Positions on the echo picture are in points, 1 point = 1.2 samples (sample i at i / 1.2).
// The shot (depth 0) is at sample 250; times count the test's own rate (`depth_rate`).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/common/box_limits.h"

namespace wb {

// The typed boxes of the sound-speed methods, by the window's numbers (its boxes Text3 … Text5).
namespace level_box {
inline constexpr int kSoundMarkDepth = 3;  // Text3, depth of the sound mark, m
inline constexpr int kJointLength = 4;     // Text4, average tubing joint length, m
inline constexpr int kCollarCount = 5;     // Text5, collars counted between the collar markers
}  // namespace level_box

// What each typed box may hold. A box at or below 0 is refused by the methods themselves;
// beyond these limits the speed and the level are no well's at all.
inline constexpr std::array<BoxLimit, 3> kLevelBoxLimits = {{
    {level_box::kSoundMarkDepth, "音标深度", kNoLowerLimit, 10000, "m"},  // no pumped well is deeper
    {level_box::kJointLength, "油管长", kNoLowerLimit, 20, "m"},          // tubing joints are about 9.6 m
    {level_box::kCollarCount, "接箍数", kNoLowerLimit, 5000, ""},         // 10000 m of the shortest joints
}};
// The box the sound-mark method reads, and the two the collar method reads.
inline constexpr std::span<const BoxLimit> kSoundMarkBoxLimits = std::span(kLevelBoxLimits).first<1>();
inline constexpr std::span<const BoxLimit> kCollarBoxLimits = std::span(kLevelBoxLimits).subspan<1>();
// The limit of one typed box, by its level_box number.
constexpr const BoxLimit& level_box_limit(int box) {
  return kLevelBoxLimits[static_cast<std::size_t>(box - level_box::kSoundMarkDepth)];
}

// One sample: the filtered channel, then the instrument's raw channel (signed 16-bit).
struct EchoSample {
  std::int16_t smooth = 0;
  std::int16_t raw = 0;
};

inline constexpr int kEchoSamples = 5001;          // indices 0 … 5000
inline constexpr int kEchoDrawn = 5000;            // the picture draws 0 … 4999
inline constexpr double kSamplesPerPoint = 1.2;
inline constexpr int kShotSample = 250;            // depth 0 on the display
inline constexpr int kDisplayRate = 250;           // samples per second of a test without a usable rate
inline constexpr float kMarkerHidden = -100.0f;    // a marker line outside the picture
inline constexpr float kMarkerSetMin = 10.0f;      // a marker below 10 points is not set
inline constexpr int kOverviewSize = 651;          // overview arrays, 640 points used
inline constexpr int kOverviewUsed = 640;
inline constexpr int kSpectrumSize = 84;

// The five markers in the order of their menu items.
enum class LevelMarker { Wellhead = 0, SoundMark = 1, CollarStart = 2, CollarEnd = 3, Level = 4 };
inline constexpr int kMarkerCount = 5;

struct LevelTest {
  // ---- the test ----
  std::string well_name;  // up to 17 GBK bytes in files
  std::string test_date;  // 12 characters as the file gives them
  std::int16_t sample_rate = 0;    // samples per second
  std::int16_t sample_format = 0;  // 2: both channels in the file; otherwise raw only
  std::int16_t sample_count = 0;   // 0 … 5001
  std::array<EchoSample, kEchoSamples> echo_data{};
  float sound_speed = 0.0f;  // m/s
  float level_depth = 0.0f;  // m
  std::int16_t method = 0;   // 0 none yet, 1 sound mark, 2 collars, 3 automatic
  // Marker positions, points on the echo picture.
  float wellhead_x = 0.0f;
  float sound_mark_x = 0.0f;
  float collar_start_x = 0.0f;
  float collar_end_x = 0.0f;
  float level_x = 0.0f;
  // Where each marker line stands (points), by LevelMarker; kMarkerHidden when out of sight.
  std::array<float, kMarkerCount> marker_line_x{};
  std::int16_t auto_level_index = -1;  // sample of the matched level echo; -1 none
  std::int16_t cur_rec = 0;            // library record shown; -1 raw file; 0 nothing yet
  // What is wrong with the raw file shown (level_file_doubts; empty for a sound one): the
  // user is asked before such a test is stored.
  std::vector<std::string> file_doubts;

  // ---- boxes and the gain bar of the window ----
  std::string Text2;            // full path of the opened raw file
  std::string Text3 = "500.00"; // sound-mark depth, m
  std::string Text4 = "9.6";    // average tubing joint length, m
  std::string Text5 = "10";     // collars counted
  int gain = 3;                 // VScroll1, 1 … 8; a larger value draws smaller curves

  // ---- display, rebuilt by every redraw ----
  std::array<std::int32_t, kOverviewSize> overview_smooth{};
  std::array<std::int32_t, kOverviewSize> overview_raw{};
  std::int16_t gain100 = 0;
  float depth_per_point = 0.0f;  // m per point
  float depth_offset = 0.0f;     // m: depth at x is x * depth_per_point - depth_offset
  float overview_mark_x = 0.0f;  // level mark on the overview strip, points
  std::string caption;           // the title above the echo picture

  // ---- automatic sound speed ----
  std::int16_t dft_bins = 0;
  std::array<float, kSpectrumSize> spec_cos{};
  std::array<float, kSpectrumSize> spec_sin{};
  std::array<float, kSpectrumSize> spec_amp{};

  float& marker_x(LevelMarker m);
  float marker_x(LevelMarker m) const { return const_cast<LevelTest*>(this)->marker_x(m); }
  static bool marker_set(float x) { return x >= kMarkerSetMin; }
  // Places a marker: its line and its member move to x.
  void place_marker(LevelMarker m, float x) {
    marker_line_x[static_cast<int>(m)] = x;
    marker_x(m) = x;
  }
  void hide_markers() { marker_line_x.fill(kMarkerHidden); }
};

inline float& LevelTest::marker_x(LevelMarker m) {
  switch (m) {
    case LevelMarker::Wellhead: return wellhead_x;
    case LevelMarker::SoundMark: return sound_mark_x;
    case LevelMarker::CollarStart: return collar_start_x;
    case LevelMarker::CollarEnd: return collar_end_x;
    case LevelMarker::Level: break;
  }
  return level_x;
}

// Whether a stored rate can be counted with: a positive number of samples per second.
inline bool is_usable_rate(int sample_rate) { return sample_rate > 0; }
// The rate every time and depth of a test counts with: the given one, or the display's 250
// when it is not usable.
inline int usable_rate(int sample_rate) { return is_usable_rate(sample_rate) ? sample_rate : kDisplayRate; }
// The rate the depth scale and the sound-speed band count with: the test's own, or the
// display's 250 when the file gives none.
inline int depth_rate(const LevelTest& t) { return usable_rate(t.sample_rate); }

// What the window says once when it opens a test whose rate it cannot use.
inline constexpr const char* kInvalidRateText = "采样率无效，按每秒250点计算";

// The time axes: a tick every tenth of a second after the shot (25 samples at 250 per
// second), labelled every whole second. Calls f(sample, tenths) for each tick before
// `end_sample`; the sample is rounded down to a whole sample.
template <class F>
void for_each_time_tick(int rate, int end_sample, F f) {
  rate = usable_rate(rate);
  for (long long j = 0;; ++j) {
    const long long s = kShotSample + j * rate / 10;
    if (s >= end_sample) break;
    f(static_cast<int>(s), static_cast<int>(j));
  }
}

}  // namespace wb
