#include "core/level/echo_display.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/common/trim.h"

namespace wb {

namespace {

constexpr Rgb kEchoBack = 0xE0E0E0;
constexpr int kRawBase = 120, kSmoothBase = 281;  // echo baselines, units
constexpr int kEchoClip = 78;
constexpr int kOverviewRawBase = 25, kOverviewSmoothBase = 65;  // points
constexpr double kOverviewXDivisor = 12812.0;     // x = i * W / 12812 points, W in twips
constexpr double kOverviewMarkDivisor = 13130.0;

// Points scale over the canvas: x and y in points from the top-left corner.
void points_scale(Canvas& c) { c.set_scale(0, 0, points_of_mm(c.area_width_mm()), points_of_mm(c.area_height_mm())); }

int clip_echo(int v) { return std::clamp(v, -kEchoClip, kEchoClip); }

// The overview strip's background: light sky blue at the top fading to almost white.
void overview_background(Canvas& c) {
  const double h = c.scale_height(), w = c.scale_width();
  constexpr int kBands = 48;
  for (int b = 0; b < kBands; ++b) {
    const double f = b / static_cast<double>(kBands - 1);
    const Rgb col = rgb(static_cast<int>(135 + f * (250 - 135)), static_cast<int>(206 + f * (252 - 206)),
                        static_cast<int>(250 + f * (255 - 250)));
    c.fill_box(0, h * b / kBands, w, h * (b + 1) / kBands, col);
  }
}

void draw_overview(LevelTest& t, Canvas& c, double width_twips) {
  clear_level_pictures(&c, nullptr);
  auto x = [&](int i) { return i * width_twips / kOverviewXDivisor; };
  std::vector<CanvasPoint> pts(kOverviewUsed);
  for (int i = 0; i < kOverviewUsed; ++i)
    pts[static_cast<std::size_t>(i)] = {x(i), static_cast<double>(kOverviewRawBase - t.overview_raw[i])};
  c.polyline(pts, QBColor(12));
  for (int i = 0; i < kOverviewUsed; ++i)
    pts[static_cast<std::size_t>(i)] = {x(i), static_cast<double>(kOverviewSmoothBase - t.overview_smooth[i])};
  c.polyline(pts, QBColor(9));
}

// One channel as a polyline through (i / 1.2, (base - v) u).
template <class Value>
void draw_channel(LevelTest& t, Canvas& c, double u, int base, int gain, Rgb colour, Value value) {
  std::vector<CanvasPoint> pts(kEchoDrawn);
  for (int i = 0; i < kEchoDrawn; ++i) {
    const int v = clip_echo(static_cast<int>(round_even(static_cast<double>(value(t.echo_data[i])) / gain)));
    pts[static_cast<std::size_t>(i)] = {i / kSamplesPerPoint, (base - v) * u};
  }
  c.polyline(pts, colour);
}

// Metres between two labels of the depth axis: 100, or the first of 200, 500, 1000, 2000, …
// whose labels stand apart by the widest label and a gap, so that a fast scale (a high
// speed over a slow rate) never piles its labels up. The minor ticks stay ten to a label.
double depth_label_step(const Canvas& c, const DepthScale& s) {
  constexpr double kLabelGapPoints = 6.0;
  const double need = c.text_width(num_print(std::max(std::fabs(s.d1), 1000.0))) + kLabelGapPoints;
  const double points_per_metre = 1.0 / s.m / kSamplesPerPoint;
  double step = 100.0;
  for (int k = 0; step * points_per_metre < need && step < 1e15; ++k) step *= k % 3 == 1 ? 2.5 : 2.0;
  return step;
}

void depth_axis(Canvas* c, double u, const DepthScale& s) {
  if (!c) return;
  c->fore_color = QBColor(0);
  c->line(0, 377 * u, kEchoWidthPoints, 377 * u, QBColor(0));
  if (s.m <= 0.0) return;
  const double label = depth_label_step(*c, s), tick = label / 10.0;
  const double r = std::fmod(s.d0, tick);
  for (double D = s.d0 - r + tick; D <= s.d1; D += tick) {
    if (D < 0) continue;
    const double sample = std::floor(D / s.m) + kShotSample;
    const double x = sample / kSamplesPerPoint;
    if (std::fmod(D, label) != 0.0) {
      c->line(x, 374 * u, x, 376 * u);
    } else {
      c->line(x, 371 * u, x, 376 * u);
      const double cw = D <= 99 ? 5.5 : D <= 999 ? 9.5 : 11.5;
      c->print_at(x - cw, 376 * u, num_print(D));
    }
  }
}

void time_axis(LevelTest& t, Canvas* c, double u) {
  const Rgb dark_yellow = QBColor(6);
  if (c) c->line(0, 4 * u, kEchoWidthPoints, 4 * u, dark_yellow);
  for_each_time_tick(depth_rate(t), kEchoDrawn, [&](int i, int tenths) {
    const double x = i / kSamplesPerPoint;
    if (tenths == 0) {
      if (c) c->line(x, 379 * u, x, 5 * u, dark_yellow);
      t.place_marker(LevelMarker::Wellhead, static_cast<float>(kShotSample / kSamplesPerPoint));
    } else if (tenths % 10 != 0) {
      if (c) c->line(x, 7 * u, x, 5 * u, dark_yellow);
    } else if (c) {
      c->line(x, 11 * u, x, 5 * u, dark_yellow);
      c->print_at(x, 5 * u, num_print(tenths / 10));
    }
  });
}

}  // namespace

void clear_level_pictures(Canvas* overview, Canvas* echo) {
  if (overview) {
    points_scale(*overview);
    overview->set_plain_font(9.0);
    overview->back_color = 0xFFFFC0;
    overview->cls();
    // The same bands on every redraw of a picture of the same size: kept once drawn.
    overview->draw_background("level overview bands", [overview] { overview_background(*overview); });
  }
  if (echo) {
    points_scale(*echo);
    echo->set_plain_font(9.0);
    echo->back_color = kEchoBack;
    echo->cls();
  }
}

void get_small_data(LevelTest& t, int s_gain, int l_gain) {
  const double n = t.sample_count;
  const long long last = round_even(n / 8.0 - 1.0);
  auto limit = [](long long v) -> std::int32_t { return v > 20 ? 19 : v < -20 ? -19 : static_cast<std::int32_t>(v); };
  for (long long d = 0; d <= last && d < kOverviewUsed; ++d) {
    std::int32_t ss = 0, sr = 0;
    for (int k = 0; k < 8; ++k) {
      const auto& e = t.echo_data[std::min<long long>(8 * d + k, kEchoSamples - 1)];
      ss += e.smooth;
      sr += e.raw;
    }
    t.overview_smooth[d] = limit(round_even(static_cast<double>(ss) / l_gain));
    t.overview_raw[d] = limit(round_even(static_cast<double>(sr) / s_gain));
  }
  for (long long d = std::max<long long>(round_even(n / 8.0), 0); d < kOverviewUsed; ++d) {
    t.overview_smooth[d] = 0;
    t.overview_raw[d] = 0;
  }
}

DepthScale depth_scale(float sound_speed, int sample_rate) {
  DepthScale s;
  const double rate = usable_rate(sample_rate);
  s.m = static_cast<double>(sound_speed) / rate / 2.0;
  if (!std::isfinite(s.m)) s.m = 0.0;
  s.d0 = std::floor(-kShotSample * s.m);
  s.d1 = std::floor((kEchoSamples - 1 - kShotSample) * s.m);
  s.depth_offset = static_cast<float>(std::fabs(s.d0));
  s.depth_per_point = static_cast<float>((std::fabs(s.d0) + s.d1) / kEchoWidthPoints);
  return s;
}

float overview_mark_of(float level_x, double overview_width_twips) {
  return static_cast<float>((level_x * kSamplesPerPoint / 5000.0 * 640.0) * overview_width_twips / kOverviewMarkDivisor);
}

float depth_at(const LevelTest& t, float x) {
  return static_cast<float>(std::floor((x * t.depth_per_point - t.depth_offset) * 100.0 + 0.5) / 100.0);
}

float depth_on_scale(const DepthScale& s, float x) {
  return static_cast<float>(std::floor((x * s.depth_per_point - s.depth_offset) * 100.0 + 0.5) / 100.0);
}

std::string level_caption(const LevelTest& t) {
  std::string s = "井号:" + Trim_Blank_Nul(t.well_name) + " 测试日期:" + t.test_date;
  switch (t.method) {
    case 1: s += " 按音标算"; break;
    case 2: s += " 按接箍算"; break;
    case 3: s += " 自动计算"; break;
    default: break;
  }
  if (shown_speed(t.sound_speed)) s += " 音速:" + num_text_f(t.sound_speed) + "米/秒";
  if (t.method != 0 && !LevelTest::marker_set(t.level_x)) {
    s += " 未找到液面";
  } else if (shown_depth(t.level_depth)) {
    s += " 液面深度:" + num_text_f(t.level_depth) + "米";
  }
  return s;
}

void redraw_level_curves(LevelTest& t, Canvas* overview, double overview_width_twips, Canvas* echo) {
  t.overview_mark_x = 0.0f;
  t.gain100 = static_cast<std::int16_t>(std::clamp(t.gain, 1, 8) * 100);
  const int gain = static_cast<int>(round_even(t.gain100 / 25.0));
  get_small_data(t, t.gain100, t.gain100);
  if (overview) draw_overview(t, *overview, overview_width_twips);
  if (echo) {
    clear_level_pictures(nullptr, echo);
    const double u = echo->scale_height() / kEchoUnits;
    draw_channel(t, *echo, u, kRawBase, gain, QBColor(12), [](const EchoSample& e) { return e.raw; });
    draw_channel(t, *echo, u, kSmoothBase, gain, QBColor(9), [](const EchoSample& e) { return e.smooth; });
  }
}

void redraw_level_marks(LevelTest& t, double overview_width_twips, Canvas* echo) {
  const double u = echo ? echo->scale_height() / kEchoUnits : 0.0;
  if (t.auto_level_index >= 0 && t.auto_level_index < kEchoDrawn)
    t.place_marker(LevelMarker::Level, static_cast<float>(t.auto_level_index / kSamplesPerPoint));
  t.overview_mark_x = overview_mark_of(t.level_x, overview_width_twips);

  const DepthScale s = depth_scale(t.sound_speed, t.sample_rate);
  t.depth_offset = s.depth_offset;
  t.depth_per_point = s.depth_per_point;
  depth_axis(echo, u, s);
  time_axis(t, echo, u);
  if (echo) echo->fore_color = QBColor(0);

  // No level marked: no depth is kept (a depth of -offset would otherwise be shown and saved).
  t.level_depth = LevelTest::marker_set(t.level_x) ? depth_at(t, t.level_x) : 0.0f;
  t.caption = level_caption(t);
}

void redraw_graph(LevelTest& t, Canvas* overview, double overview_width_twips, Canvas* echo) {
  redraw_level_curves(t, overview, overview_width_twips, echo);
  redraw_level_marks(t, overview_width_twips, echo);
}

}  // namespace wb
