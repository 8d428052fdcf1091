#include "core/level/level_page.h"

#include <algorithm>
#include <cmath>

#include "core/common/number_text.h"
#include "core/level/echo_display.h"

namespace wb {

namespace {

constexpr double kScaY = 6.5;     // units a mm
constexpr double kKdxY = -120.0;  // places the edges
constexpr Rgb kGrey = 0x808080;
constexpr double kLabelPoints = 7.0;
constexpr double kTitlePoints = 10.0;
constexpr double kTitleWidth = 140.0;  // mm the title is centred as
constexpr double kTitleAbove = 63.0;   // mm above the bottom edge
// A sound-mark or collar scale denser than this draws its axis only: its ticks would not
// be told apart.
constexpr long long kMaxDepthTicks = 1000000;

double y_mm(double units) { return units / kScaY; }

// A depth tick from `upper` units above the bottom edge down to 1 unit above it, and for a
// major tick its label 2 mm left of and 4 mm above the tick's lower end.
void depth_tick(Canvas& c, double pic2_y, double x, bool major, Rgb colour,
                const std::string& label) {
  const double lower = y_mm(pic2_y + 156 - kKdxY);
  const double upper = y_mm(pic2_y + (major ? 151 : 154) - kKdxY);
  c.line(x, upper, x, lower, colour);
  if (major) c.print_at(x - 2.0, lower - 4.0, label);
}

void marker_scale(Canvas& c, const LevelBlockLayout& L, double pic2_y, double origin, double mm_per_metre) {
  c.fore_color = kBlack;
  c.line(L.xl, L.yb, L.xr, L.yb, kGrey);
  const double step = 10.0 * mm_per_metre;
  if (std::isfinite(step) && step > 0.0) {
    const double n = (L.xr - origin) / step;
    if (std::isfinite(n) && n < static_cast<double>(kMaxDepthTicks)) {
      long long label = -100;
      for (long long i = 0; i < static_cast<long long>(std::floor(n)); ++i) {
        const double x = origin + static_cast<double>(i) * step;
        const bool major = i % 10 == 0;
        if (major) label += 100;
        depth_tick(c, pic2_y, x, major, kBlack, major ? num_print(static_cast<double>(label)) : "");
      }
    }
  }
  c.fore_color = kBlack;
}

void automatic_scale(Canvas& c, const LevelBlockLayout& L, double pic2_y, const LevelTest& t) {
  c.line(L.xl, L.yb, L.xr, L.yb, kGrey);
  const double m = depth_scale(t.sound_speed, t.sample_rate).m;
  if (!(m > 0.0)) return;
  const double ds = std::floor(-kShotSample * m), de = std::floor((kEchoSamples - 1 - kShotSample) * m);
  const double j0 = ds + 10 - std::fmod(ds, 10.0);
  for (double j = j0; j <= de; j += 10) {
    if (j < 0) continue;
    const double s = kShotSample + std::floor(j / m);
    const double x = (L.margin + s) / L.sca_x;
    const bool major = std::fmod(j, 100.0) == 0.0;
    depth_tick(c, pic2_y, x, major, kGrey, major ? num_print(j) : "");
  }
}

void time_scale(Canvas& c, const LevelBlockLayout& L, int rate) {
  c.line(L.xl, L.yt, L.xr, L.yt, kGrey);
  for_each_time_tick(rate, kEchoDrawn, [&](int s, int tenths) {
    const double x = (L.margin + s) / L.sca_x;
    const bool major = tenths % 10 == 0;
    const double lower = L.yt + (major ? 7.0 : 3.0) / kScaY, upper = L.yt + 1.0 / kScaY;
    c.line(x, lower, x, upper, kGrey);
    if (major) c.print_at(x, upper, tenths == 0 ? std::string("0") : num_print(tenths / 10));
  });
}

void curve(Canvas& c, const LevelTest& t, const LevelBlockLayout& L, double zero, int gain, bool raw, Rgb colour) {
  auto y_of = [&](int i) {
    const int v = raw ? t.echo_data[i].raw : t.echo_data[i].smooth;
    const long long y = std::clamp<long long>(round_even(static_cast<double>(v) / gain), -78, 78);
    return (zero - static_cast<double>(y)) / kScaY;
  };
  c.current_x = L.margin / L.sca_x;
  c.current_y = y_of(0);
  for (int i = 0; i < kEchoDrawn; ++i) c.line_to((L.margin + i) / L.sca_x, y_of(i), colour);
}

}  // namespace

std::optional<LevelBlockLayout> level_block_layout(std::int16_t paper_code, double pic2_y) {
  LevelBlockLayout L;
  if (paper_code == 9) {
    L.sca_x = 20;
    L.margin = 450;
  } else if (paper_code == 39) {
    L.sca_x = 15;
    L.margin = 250;
  } else {
    return std::nullopt;
  }
  L.xl = L.margin / L.sca_x;
  L.xr = (L.margin + 4999) / L.sca_x;
  L.yt = y_mm(pic2_y - 216 - kKdxY);
  L.yb = y_mm(pic2_y + 157 - kKdxY);
  return L;
}

std::string level_block_title(const LevelTest& t) {
  std::string name = t.well_name;
  const auto cut = std::find_if(name.begin(), name.end(), [](char ch) { return static_cast<unsigned char>(ch) < 32; });
  name.erase(cut, name.end());
  // The whole date and time as the instrument writes them (12 digits), up to any padding.
  std::string date = t.test_date;
  date.erase(std::find_if(date.begin(), date.end(), [](char ch) { return static_cast<unsigned char>(ch) <= 32; }),
             date.end());
  std::string s = name + "井液面测试曲线" + " 测试日期:" + date;
  switch (t.method) {
    case 1: s += " 按音标算"; break;
    case 2: s += " 按接箍算"; break;
    case 3: s += " 自动计算"; break;
    default: break;
  }
  if (t.sound_speed > 150.0f && t.sound_speed < 450.0f) s += " 音速:" + num_print_f(t.sound_speed) + "米/秒";
  if (t.level_depth > 50.0f && t.level_depth < 3950.0f) s += " 液面深度:" + num_print_f(t.level_depth) + "米";
  return s;
}

void prt_Level(Canvas& c, const LevelTest& t, std::int16_t paper_code, double pic2_y, double mark_level) {
  const int gain = std::clamp(t.gain, 1, 8) * 4;
  const auto layout = level_block_layout(paper_code, pic2_y);
  if (!layout) return;
  const LevelBlockLayout& L = *layout;
  c.line(L.xl, L.yt, L.xr, L.yt, kGrey);
  c.line(L.xl, L.yb, L.xr, L.yb, kGrey);
  c.line(L.xl, L.yt, L.xl, L.yb, kGrey);
  c.line(L.xr, L.yt, L.xr, L.yb, kGrey);
  curve(c, t, L, pic2_y, gain, true, kRed);
  curve(c, t, L, pic2_y + 161, gain, false, kBlue);
  if (std::isfinite(mark_level)) {
    const double x = (L.margin + mark_level) / L.sca_x;
    c.line(x, L.yt, x, L.yb, kBlack);
  }
  c.fore_color = kBlack;
  c.set_plain_font(kLabelPoints);
  time_scale(c, L, depth_rate(t));
  const double wellhead = (L.margin + kSamplesPerPoint * t.wellhead_x) / L.sca_x;
  const double sound = kSamplesPerPoint * t.sound_mark_x, head = kSamplesPerPoint * t.wellhead_x;
  switch (t.method) {
    case 1:
      marker_scale(c, L, pic2_y, wellhead, ((sound - head) / L.sca_x) / num_val(t.Text3));
      break;
    case 2: {
      const double span = kSamplesPerPoint * t.collar_end_x - kSamplesPerPoint * t.collar_start_x;
      marker_scale(c, L, pic2_y, wellhead, (span / L.sca_x) / (num_val(t.Text4) * num_val(t.Text5)));
      break;
    }
    case 3:
      automatic_scale(c, L, pic2_y, t);
      break;
    default:
      break;
  }
  c.fore_color = kBlack;
  c.font.size = kTitlePoints;
  c.font.bold = true;
  c.print_at(L.xl + ((L.xr - L.xl) - kTitleWidth) / 2.0, L.yb - kTitleAbove, level_block_title(t));
  c.font.bold = false;
}

std::vector<LevelPrintBlock> plan_level_print(const std::vector<std::int16_t>& records, std::int16_t paper_code) {
  std::vector<LevelPrintBlock> plan;
  int per_sheet = 0;
  const double* slots = nullptr;
  static const double kA4[] = {350, 840};
  static const double kFanfold[] = {220, 710, 1200};
  if (paper_code == 9) {
    per_sheet = 2;
    slots = kA4;
  } else if (paper_code == 39) {
    per_sheet = 3;
    slots = kFanfold;
  } else {
    return plan;
  }
  for (std::size_t k = 0; k < records.size(); ++k)
    plan.push_back({records[k], static_cast<int>(k) / per_sheet, slots[k % per_sheet]});
  return plan;
}

std::vector<std::int16_t> prt_level_marked(Canvas& c, const LevelTest& shown, const std::vector<std::int16_t>& records,
                                           std::int16_t paper_code, const LevelRecordReader& read) {
  std::vector<std::int16_t> skipped;
  LevelTest copy = shown;
  int sheet = 0;
  bool drawn = false;
  for (const LevelPrintBlock& b : plan_level_print(records, paper_code)) {
    double mark_level = 0;
    if (!read(b.record, copy, mark_level)) {
      skipped.push_back(b.record);
      continue;
    }
    if (drawn && b.sheet != sheet) c.new_page();
    sheet = b.sheet;
    drawn = true;
    c.set_scale_mm();
    prt_Level(c, copy, paper_code, b.pic2_y, mark_level);
  }
  c.end_doc();
  return skipped;
}

}  // namespace wb
