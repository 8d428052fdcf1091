#include "core/level/synthetic_level.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/common/record_store.h"
#include "core/level/level_file.h"

namespace wb {

namespace {

constexpr double kTemplatePeak = 1000.0;  // largest |value| of the template, raw units
constexpr double kShotAmplitude = 14000.0;
constexpr double kLevelAmplitude = 9.0;   // level echo = template x this
constexpr double kMultipleShare = 0.35;   // the multiple echo against the first
constexpr double kCollarFade = 0.012;     // per joint

// A level echo: a swing of about 0.15 s rising in a few samples and dying out in 0.4 s.
double level_shape(double k) {
  if (k < 0.0 || k >= kTemplateLength) return 0.0;
  const double env = (k / 12.0) * std::exp(1.0 - k / 12.0);
  return std::cos(2.0 * std::numbers::pi * k / 44.0) * env;
}

// A collar echo: a short bipolar click about 3 samples long, at fractional delay.
double collar_click(double tau) {
  if (tau < 0.0 || tau > 12.0) return 0.0;
  return (tau / 1.2) * std::exp(1.0 - tau / 1.2) * std::cos(2.0 * std::numbers::pi * tau / 5.0);
}

// The shot: a large pressure pulse ringing down over about 0.4 s.
double shot(double tau) {
  if (tau < 0.0 || tau > 150.0) return 0.0;
  return (tau / 4.0) * std::exp(1.0 - tau / 4.0) * std::cos(2.0 * std::numbers::pi * tau / 30.0) +
         0.15 * std::exp(-tau / 40.0) * std::sin(2.0 * std::numbers::pi * tau / 90.0);
}

// Deterministic noise, about normal with unit deviation: the sum of four uniform values
// of a xorshift32 sequence, scaled.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : s_(seed ? seed : 1u) {}
  double next() {
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) {
      s_ ^= s_ << 13;
      s_ ^= s_ >> 17;
      s_ ^= s_ << 5;
      sum += s_ / 4294967295.0 - 0.5;
    }
    return sum * std::sqrt(3.0);  // 4 uniforms of variance 1/12
  }

 private:
  std::uint32_t s_;
};

}  // namespace

std::array<double, kTemplateLength> level_template_shape() {
  std::array<double, kTemplateLength> t{};
  double peak = 0.0;
  for (int k = 0; k < kTemplateLength; ++k) peak = std::max(peak, std::abs(level_shape(k)));
  for (int k = 0; k < kTemplateLength; ++k) t[k] = std::round(level_shape(k) / peak * kTemplatePeak);
  return t;
}

std::string level_template_text() {
  std::string s;
  const auto t = level_template_shape();
  for (int k = 0; k < kTemplateLength; ++k) {
    s += std::to_string(static_cast<int>(t[k]));
    s += (k % 16 == 15) ? "\r\n" : ",";
  }
  return s;
}

int synthetic_level_index(const SyntheticLevelParams& p) {
  const double m = p.sound_speed / p.sample_rate / 2.0;
  return kShotSample + static_cast<int>(std::lround(p.level_depth / m));
}

std::vector<std::int16_t> synthetic_echo(const SyntheticLevelParams& p) {
  const int n = std::max(p.sample_count, 0);
  std::vector<double> x(n, 0.0);
  const double m = p.sound_speed / p.sample_rate / 2.0;  // metres a sample
  for (int i = 0; i < n; ++i) x[i] += kShotAmplitude * shot(i - kShotSample);
  // Collars down to the liquid; each echo at its two-way travel time.
  for (int j = 1; j * p.joint_length < p.level_depth; ++j) {
    const double at = kShotSample + j * p.joint_length / m;
    const double a = p.collar_amplitude * std::exp(-kCollarFade * j);
    const int from = static_cast<int>(std::floor(at));
    for (int i = std::max(from, 0); i < std::min(from + 14, n); ++i) x[i] += a * collar_click(i - at);
  }
  const auto tpl = level_template_shape();
  const int level = synthetic_level_index(p);
  const int multiple = kShotSample + 2 * (level - kShotSample);
  for (int k = 0; k < kTemplateLength; ++k) {
    if (level + k < n) x[level + k] += kLevelAmplitude * tpl[k];
    if (multiple + k < n) x[multiple + k] += kMultipleShare * kLevelAmplitude * tpl[k];
  }
  Noise noise(p.seed);
  std::vector<std::int16_t> out(n);
  for (int i = 0; i < n; ++i) {
    const double v = x[i] + p.noise * noise.next();
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
  }
  return out;
}

Bytes make_synthetic_level_test(const SyntheticLevelParams& p) {
  const auto raw = synthetic_echo(p);
  std::vector<EchoSample> s(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) s[i].raw = raw[i];
  LevelFileHeader h;
  h.test_date = p.test_date;
  h.sample_rate = static_cast<std::int16_t>(p.sample_rate);
  h.sample_format = 1;
  h.sample_count = static_cast<std::int16_t>(raw.size());
  h.sound_speed = p.header_speed;
  h.level_depth = 0.0f;
  h.well_name = p.well_name;
  return encode_level_file(h, s);
}

bool write_synthetic_level_test(const std::filesystem::path& path, const SyntheticLevelParams& p) {
  return write_file_atomic(path, make_synthetic_level_test(p));
}

bool write_level_template(const std::filesystem::path& path) {
  const std::string text = level_template_text();
  return write_file_atomic(path, Bytes(text.begin(), text.end()));
}

}  // namespace wb
