#include "core/level/level_analysis.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "core/common/file_read.h"
#include "core/common/number_text.h"
#include "core/common/paths.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr int kSegmentStarts = 14;        // 0, 100, … 1300
constexpr int kSegmentStep = 100;
constexpr int kPeakStart = 20;            // bin assumed before each search
constexpr int kCorrelationLast = 4871;    // last start where the template fits (exclusive)
constexpr int kCorrelationSpan = 5000;    // positions 0 … 4999
constexpr int kCorrelationPad = 128;      // C is kept over -128 … 5128
constexpr double kCorrelationDivisor = 16384.0 * 8.0;
constexpr int kPeaksTaken = 5;
constexpr int kLevelEarliest = 1500;      // a level starts after this sample
constexpr double kLevelMinWeight = 300.0;

}  // namespace

// Goertzel's recurrence per bin. Each bin's sum is one serial chain, limited by the
// latency of its additions; the bins are independent, so eight chains run side by side
// (the compiler keeps them in vector registers). Every chain adds in the same order as a
// single one, so the coefficients are bit for bit those of one bin at a time.
void GetDFT(const std::int16_t* fdata, int Data_Num, int dft_num, float* Tcos, float* Tsin) {
  if (Data_Num <= 0) return;
  const float w = static_cast<float>(kTwoPi14 / Data_Num);
  const float c = std::cos(w), s = std::sin(w);
  const float g = 2.0f / static_cast<float>(Data_Num);
  constexpr int kLanes = 8;
  float ck = 1.0f, sk = 0.0f;  // cos and sin of bin k's angle, by rotation from bin 0
  for (int k0 = 0; k0 < dft_num; k0 += kLanes) {
    const int lanes = std::min(kLanes, dft_num - k0);
    // Lanes past the last bin run on a zero cosine; their sums are not used.
    std::array<float, kLanes> cks{}, sks{}, q1{}, q2{};
    for (int l = 0; l < lanes; ++l) {
      cks[l] = ck;
      sks[l] = sk;
      const float ck2 = ck * c - sk * s;
      sk = ck * s + sk * c;
      ck = ck2;
    }
    for (int n = Data_Num - 1; n >= 1; --n) {
      const float x = static_cast<float>(fdata[n]);
      for (int l = 0; l < kLanes; ++l) {
        const float q = x + 2.0f * cks[l] * q1[l] - q2[l];
        q2[l] = q1[l];
        q1[l] = q;
      }
    }
    for (int l = 0; l < lanes; ++l) {
      Tcos[k0 + l] = (static_cast<float>(fdata[0]) + q1[l] * cks[l] - q2[l]) * g;
      Tsin[k0 + l] = q1[l] * g * sks[l];
    }
  }
}

BinBand speed_band(int sample_rate) {
  const double rate = usable_rate(sample_rate);
  BinBand b;
  b.first = static_cast<int>(round_even(5000.0 / rate * 30.0 / 20.0));
  b.last = static_cast<int>(std::min<long long>(round_even(5000.0 / rate * 60.0 / 20.0), kSpectrumSize - 2));
  return b;
}

void get_yg_dft_auto(LevelTest& t) {
  t.dft_bins = 250 / 3;
  const int bins = t.dft_bins;
  const BinBand band = speed_band(t.sample_rate);
  float best_ratio = 0.0f;
  int best_bin = 0;
  std::array<std::int16_t, kSegmentLength + 1> seg{};
  std::array<float, kSpectrumSize> cs{}, sn{};
  for (int s = 0; s < kSegmentStarts; ++s) {
    const int o = s * kSegmentStep;
    for (int k = 0; k <= kSegmentLength; ++k) seg[k] = t.echo_data[o + k].smooth;
    GetDFT(seg.data(), kSegmentLength, bins, cs.data(), sn.data());
    float power = 0.0f;
    for (int k = 0; k < bins; ++k) {
      const float p2 = cs[k] * cs[k] + sn[k] * sn[k];
      power += p2;
      t.spec_amp[k] = std::sqrt(p2);
    }
    // A silent segment has no ratio; it can never be the best.
    if (!(power > 0.0f)) continue;
    int peak = kPeakStart;
    float amp = 0.0f;
    for (int k = band.first; k <= band.last; ++k) {
      if (t.spec_amp[k] > amp) {
        amp = t.spec_amp[k];
        peak = k;
      }
    }
    const float ratio = amp * amp / power;
    if (ratio > best_ratio) {
      best_ratio = ratio;
      best_bin = peak;
      std::copy_n(cs.begin(), bins, t.spec_cos.begin());
      std::copy_n(sn.begin(), bins, t.spec_sin.begin());
    }
  }
  for (int k = 0; k < bins; ++k) t.spec_amp[k] = std::sqrt(t.spec_cos[k] * t.spec_cos[k] + t.spec_sin[k] * t.spec_sin[k]);
  const double rate = depth_rate(t);
  t.sound_speed = static_cast<float>(2.0 * best_bin * (rate * kJointLength / kSegmentLength));
}

LevelTemplate parse_level_template(std::string_view text) {
  LevelTemplate r;
  std::array<double, kTemplateLength> v{};
  int n = 0;
  std::size_t i = 0;
  auto separator = [](char c) { return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (n < kTemplateLength) {
    while (i < text.size() && separator(text[i])) ++i;
    if (i >= text.size()) break;
    std::size_t j = i;
    while (j < text.size() && !separator(text[j])) ++j;
    const auto x = num_parse(text.substr(i, j - i));
    if (!x || !std::isfinite(*x)) {
      r.fault = LevelTemplate::Fault::Bad;
      return r;
    }
    v[n++] = *x;
    i = j;
  }
  if (n < kTemplateLength) {
    r.fault = LevelTemplate::Fault::Bad;
    return r;
  }
  r.values = v;
  return r;
}

LevelTemplate read_level_template(const std::filesystem::path& path) {
  const ReadableFile in(path);
  if (!in) {
    LevelTemplate r;
    r.fault = in.fault() == ReadFault::Missing ? LevelTemplate::Fault::Missing : LevelTemplate::Fault::Refused;
    r.refusal = in.refusal_text();
    return r;
  }
  // 128 numbers never need more than a few kilobytes; a huge file is read only so far.
  std::vector<std::uint8_t> head(64 * 1024);
  head.resize(in.read_head(head));
  return parse_level_template(std::string_view(reinterpret_cast<const char*>(head.data()), head.size()));
}

std::string level_template_message(const LevelTemplate& tpl, const std::filesystem::path& path) {
  if (tpl.fault == LevelTemplate::Fault::Refused) return tpl.refusal + "无法自动识别液面位置";
  if (tpl.fault == LevelTemplate::Fault::Missing)
    return "未找到液面波样本文件" + path_text(path) + "，无法自动识别液面位置";
  return "液面波样本文件" + path_text(path) + "不足128个数或含有非数字内容，无法自动识别液面位置";
}

// Each start's sum is one serial chain of 128 products; eight starts run side by side,
// each adding in template order as a single one would, so the sums are bit for bit the same.
std::vector<double> level_correlation(const LevelTest& t, const std::array<double, kTemplateLength>& tpl) {
  std::vector<double> W(kCorrelationSpan, 0.0);
  std::vector<double> raw(kCorrelationLast + kTemplateLength);
  for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = t.echo_data[i].raw;
  constexpr int kLanes = 8;
  int j = 0;
  for (; j + kLanes <= kCorrelationLast; j += kLanes) {
    std::array<double, kLanes> sum{};
    // t(128) = 0: the 129th product adds nothing.
    for (int k = 0; k < kTemplateLength; ++k)
      for (int l = 0; l < kLanes; ++l) sum[l] += tpl[k] * raw[j + l + k];
    for (int l = 0; l < kLanes; ++l) W[j + l] = sum[l] / kCorrelationDivisor;
  }
  for (; j < kCorrelationLast; ++j) {
    double sum = 0.0;
    for (int k = 0; k < kTemplateLength; ++k) sum += tpl[k] * raw[j + k];
    W[j] = sum / kCorrelationDivisor;
  }
  const double e = std::pow(4.0, 1.0 / 4999.0);
  for (int j = 0; j < kCorrelationSpan; ++j) W[j] = std::pow(e, j) * W[j] / 4.0;
  return W;
}

int pick_level(const std::vector<double>& W) {
  std::vector<double> C(kCorrelationSpan + 2 * kCorrelationPad + 1, 0.0);  // -128 … 5128
  std::copy(W.begin(), W.begin() + std::min<std::size_t>(W.size(), kCorrelationSpan), C.begin() + kCorrelationPad);
  std::array<int, kPeaksTaken> peaks{};
  for (int p = 0; p < kPeaksTaken; ++p) {
    double best = 0.0;
    int at = 0;
    for (int j = 0; j < kCorrelationSpan; ++j) {
      const double a = std::abs(C[j + kCorrelationPad]);
      if (a > best) {
        best = a;
        at = j;
      }
    }
    peaks[p] = at;
    for (int j = at - kCorrelationPad; j <= at + kCorrelationPad; ++j) C[j + kCorrelationPad] = 0.0;
  }
  std::stable_sort(peaks.begin(), peaks.end());
  for (int p : peaks)
    if (p > kLevelEarliest && std::abs(W[p]) > kLevelMinWeight) return p;
  return -1;
}

void like_level(LevelTest& t, const std::filesystem::path& sys_folder, MessageService& msg) {
  t.auto_level_index = -1;
  const auto path = sys_folder / kLevelTemplateFile;
  const LevelTemplate tpl = read_level_template(path);
  if (!tpl.values) {
    msg.show(level_template_message(tpl, path), kLevelTemplateTitle, MsgButtons::Ok);
    return;
  }
  t.auto_level_index = static_cast<std::int16_t>(pick_level(level_correlation(t, *tpl.values)));
}

}  // namespace wb
