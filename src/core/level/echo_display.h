// The echo display of the fluid-level window: the 8:1 overview strip, the wide echo
// picture with its time axis on top and depth axis below, the display depth scale the
// level depth is read from, and the title caption.
//
// Echo picture: x in points, sample i at i / 1.2; vertically the height is 410 units
// (u = height / 410) measured downward; the raw channel (red) is drawn about 120 u, the
// smoothed one (blue) about 281 u, each rnd(v / (4 * gain)) clipped to ±78 u.
// Overview: point i (0 … 639) at x = i * W / 12812 points (W the strip's width in twips),
// raw about 25 points from the top, smoothed about 65.
// Depth: m = sound_speed / rate / 2 metres a sample (two-way travel), depth 0 at sample 250.
#pragma once

#include <string>

#include "core/common/canvas.h"
#include "core/level/level_test.h"

namespace wb {

inline constexpr double kEchoUnits = 410.0;
inline constexpr double kEchoWidthPoints = 4999.0 / 1.2;  // sample 4999

// Overview decimation: sums of 8 samples divided by the gains, 21 and more shown as 19.
void get_small_data(LevelTest& t, int s_gain, int l_gain);

// The display depth scale of a sound speed (m/s) at a sample rate.
struct DepthScale {
  double m = 0.0;   // metres a sample
  double d0 = 0.0;  // floor(-250 m): depth at sample 0
  double d1 = 0.0;  // floor(4750 m): depth at sample 5000
  float depth_offset = 0.0f;
  float depth_per_point = 0.0f;
};
DepthScale depth_scale(float sound_speed, int sample_rate);

// Where the level mark stands on the overview strip (points) for a level marker at x.
float overview_mark_of(float level_x, double overview_width_twips);

// The level depth at a picture position on the scale last drawn, to 0.01 m.
float depth_at(const LevelTest& t, float x);

// The speeds (m/s) and level depths (m) the title shows, both bounds excluded: a sound
// speed in a well's gas lies well inside; a depth outside is a mark on the shot or beyond
// the echo.
inline constexpr float kShownSpeedLow = 150.0f, kShownSpeedHigh = 450.0f;
inline constexpr float kShownDepthLow = 50.0f, kShownDepthHigh = 3950.0f;
inline bool shown_speed(float v) { return v > kShownSpeedLow && v < kShownSpeedHigh; }
inline bool shown_depth(float d) { return d > kShownDepthLow && d < kShownDepthHigh; }

// The depth at a picture position on a given scale, to 0.01 m (depth_at on a scale not yet drawn).
float depth_on_scale(const DepthScale& s, float x);

// The title: well, date, method, and the speed and depth when they are plausible; a test
// whose level is not marked says so.
std::string level_caption(const LevelTest& t);

// Clears the pictures that are given: the overview to its sky-blue fading background, the
// echo picture to light grey; both then count in points.
void clear_level_pictures(Canvas* overview, Canvas* echo);

// redraw_graph: rebuilds the overview, the depth scale, the wellhead and automatic level
// markers, the level depth and the caption, and draws the pictures that are given (either
// may be null). `overview_width_twips` is the overview strip's width.
void redraw_graph(LevelTest& t, Canvas* overview, double overview_width_twips, Canvas* echo);
// redraw_graph in two steps. The curves: the overview and the two echo channels, which
// read the samples and the gain only (writing gain100, the overview's sums and its mark).
// The marks: the wellhead and level markers, the depth and time axes, the level depth and
// the caption, which follow the sound speed and the level found.
void redraw_level_curves(LevelTest& t, Canvas* overview, double overview_width_twips, Canvas* echo);
void redraw_level_marks(LevelTest& t, double overview_width_twips, Canvas* echo);

// Points of a canvas (the pictures' scale unit).
inline double points_of_mm(double mm) { return mm * 72.0 / 25.4; }

}  // namespace wb
