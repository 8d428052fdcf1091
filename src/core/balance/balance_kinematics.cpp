// The 12-o'clock curves and the beam counterweight motion.
#include <cmath>

#include "core/balance/balance_analysis.h"
#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/common/pi.h"
#include "core/common/stroke.h"

namespace wb {

namespace {

constexpr float kFlatCardRange = 0.3f;  // m: a card flatter than this has no usable stroke
constexpr int kStrokeTerms = 6;         // terms of the displacement and beam series
constexpr int kPowerTerms = 30;         // terms of the 12-o'clock power
constexpr float kNoBound = 9999.0f;     // start of the block search's smallest fluctuation

// A number of an intermediate file: rounded to `dec` decimals, a blank or minus before it
// and one blank after it.
std::string file_number(double v, int dec) { return num_print(round_dec(v, dec)) + " "; }

// dS/dθ of a series given by its cosine and sine coefficients (terms 0..5), m per radian.
std::vector<float> derivative_series(const std::array<float, 7>& cos_c, const std::array<float, 7>& sin_c, int n) {
  std::array<float, 7> c{}, s{};
  for (int k = 0; k <= 5; ++k) {
    c[static_cast<std::size_t>(k)] = static_cast<float>(k) * sin_c[static_cast<std::size_t>(k)];
    s[static_cast<std::size_t>(k)] = -static_cast<float>(k) * cos_c[static_cast<std::size_t>(k)];
  }
  std::vector<float> out(static_cast<std::size_t>(n) + 1, 0.0f);
  Fourier_Synth(out.data(), static_cast<std::int16_t>(n), kStrokeTerms, c.data(), s.data());
  return out;
}

}  // namespace

std::string intermediate_file_name(const std::string& well, const std::string& box_text) {
  std::string out;
  for (unsigned char c : well + box_text) {
    if (c < 32 || c == 127) continue;
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      continue;
    out += static_cast<char>(c);
  }
  const std::size_t first = out.find_first_not_of(" .");
  if (first == std::string::npos) return {};
  return out.substr(first);
}

void Tran_Dat_To_12Start(BalanceState& a, std::vector<IntermediateFile>* files, const std::string& file_box) {
  HeldStroke& h = a.held;
  const int n = h.gt_num;
  const std::size_t size = static_cast<std::size_t>(n) + 1;
  for (auto* v : {&a.uus12, &a.iis12, &a.pps12, &a.sss12, &a.ggs12, &a.qqs12}) v->assign(size, 0.0f);

  float lo = 9999.0f, hi = -9999.0f;
  for (int i = 0; i < n; ++i) {
    if (h.sss[static_cast<std::size_t>(i)] < lo) lo = h.sss[static_cast<std::size_t>(i)];
    if (h.sss[static_cast<std::size_t>(i)] > hi) hi = h.sss[static_cast<std::size_t>(i)];
  }
  for (int i = 0; i < n; ++i) h.sss[static_cast<std::size_t>(i)] -= lo;
  const float range = hi - lo;
  if (range < kFlatCardRange) {
    // No card: a cosine stroke of the unit's stroke, sss(j) = S/2·(1 − cos(2πj/n)).
    if (a.prm.act_stroke < kFlatCardRange) a.prm.act_stroke = a.prm.max_stroke;
    a.S_Cos.fill(0.0f);
    a.S_Sin.fill(0.0f);
    a.S_Cos[0] = a.prm.act_stroke;
    a.S_Cos[1] = -a.prm.act_stroke / 2;
    Fourier_Synth(h.sss.data(), static_cast<std::int16_t>(n), kStrokeTerms, a.S_Cos.data(), a.S_Sin.data());
  }

  // One whole-point shift for every index, so that no sample is repeated or dropped; any
  // angle, also beyond 360 degrees, lands within the stroke.
  const float shift = static_cast<float>(a.prm.crank_angle0 / 360.0 * n);
  const long long s = ((round_even(shift) % n) + n) % n;
  a.shift12 = static_cast<int>(s);
  for (int i = 0; i < n; ++i) {
    const std::size_t k = static_cast<std::size_t>(((i - s) % n + n) % n);
    const std::size_t j = static_cast<std::size_t>(i);
    a.uus12[j] = h.uus[k];
    a.iis12[j] = h.iis[k];
    a.pps12[j] = h.pps[k];
    a.sss12[j] = h.sss[k];
    a.ggs12[j] = h.ggs[k];
  }
  a.P12_Cos.fill(0.0f);
  a.P12_Sin.fill(0.0f);
  a.S12_Cos.fill(0.0f);
  a.S12_Sin.fill(0.0f);
  Fourier_Coef(a.pps12.data(), static_cast<std::int16_t>(n), kPowerTerms, a.P12_Cos.data(), a.P12_Sin.data());
  Fourier_Coef(a.sss12.data(), static_cast<std::int16_t>(n), kStrokeTerms, a.S12_Cos.data(), a.S12_Sin.data());

  if (!files) return;
  const std::vector<float> tf12 = derivative_series(a.S12_Cos, a.S12_Sin, n);
  Fourier_Coef(h.sss.data(), static_cast<std::int16_t>(n), kStrokeTerms, a.S_Cos.data(), a.S_Sin.data());
  const std::vector<float> tf = derivative_series(a.S_Cos, a.S_Sin, n);
  IntermediateFile f{intermediate_file_name(h.Cur_Well, file_box), {}};
  if (f.name.empty()) return;
  f.content = "下死点开始位移\t12点钟开始位移\t下死点开始扭矩因数\t12点钟开始扭矩因数\r\n";
  for (int i = 0; i < n; ++i) {
    const std::size_t j = static_cast<std::size_t>(i);
    f.content += file_number(h.sss[j], 3) + "\t" + file_number(a.sss12[j], 3) + "\t" + file_number(tf[j], 3) + "\t" +
                 file_number(tf12[j], 3) + "\r\n";
  }
  files->push_back(std::move(f));
}

void Get_Beam_Balance(BalanceState& a, BalanceMode mode, std::vector<IntermediateFile>* files,
                      const std::string& file_box) {
  const int n = a.held.gt_num;
  const BalanceParams& p = a.prm;
  a.Beam_Y.assign(static_cast<std::size_t>(n) + 1, 0.0f);
  a.Beam_V.assign(static_cast<std::size_t>(n) + 1, 0.0f);

  // Vertical position of the beam counterweight: the beam's turn from the lowest horsehead
  // position is sss12/L, measured from mid-stroke by taking off half the stroke angle.
  const double phi0 = p.balance_arm_angle * kPi14 / 180 - p.act_stroke / (2.0 * p.beam_front_arm);
  for (int i = 0; i < n; ++i)
    a.Beam_Y[static_cast<std::size_t>(i)] = static_cast<float>(
        -p.balance_arm * std::sin(a.sss12[static_cast<std::size_t>(i)] / static_cast<double>(p.beam_front_arm) + phi0));

  std::array<float, 7> ca{}, sb{};
  Fourier_Coef(a.Beam_Y.data(), static_cast<std::int16_t>(n), kStrokeTerms, ca.data(), sb.data());
  const float omega = static_cast<float>(kTwoPi14 * kSamplesPerSecond / n);  // rad/s: one turn in n / 50 s
  for (std::size_t k = 0; k <= 6; ++k) {
    a.V_Sin[k] = -static_cast<float>(k) * ca[k] * omega;
    a.V_Cos[k] = static_cast<float>(k) * sb[k] * omega;
  }
  if (files) {
    Fourier_Synth(a.Beam_V.data(), static_cast<std::int16_t>(n), kStrokeTerms, a.V_Cos.data(), a.V_Sin.data());
    IntermediateFile f{intermediate_file_name(a.held.Cur_Well, file_box), {}};
    if (!f.name.empty()) {
      f.content = "游梁平衡块垂直速度\t游梁平衡块垂直位移\r\n";
      for (int i = 0; i < n; ++i) {
        const std::size_t j = static_cast<std::size_t>(i);
        // The displacement column carries the opposite sign of Beam_Y (upward positive).
        f.content += file_number(a.Beam_V[j], 3) + "\t" + num_print(0.0 - round_dec(a.Beam_Y[j], 3)) + " \r\n";
      }
      files->push_back(std::move(f));
    }
  }
  // Power of one block, kN × m/s = kW, 12-o'clock frame, and moved to the BDC frame.
  const float W = p.beam_block_wt;
  for (std::size_t k = 0; k <= 6; ++k) {
    a.WV_Sin[k] = a.V_Sin[k] * W;
    a.WV_Cos[k] = a.V_Cos[k] * W;
  }
  const double phi = -p.crank_angle0 * kPi14 / 180;
  for (std::size_t k = 0; k <= 6; ++k) {
    const double kp = static_cast<double>(k) * phi;
    a.Beam_Sin[k] = static_cast<float>(a.WV_Sin[k] * std::cos(kp) + a.WV_Cos[k] * std::sin(kp));
    a.Beam_Cos[k] = static_cast<float>(a.WV_Cos[k] * std::cos(kp) - a.WV_Sin[k] * std::sin(kp));
  }

  // The change of block count that leaves the smoothest power: harmonics 1..5, harmonic 1
  // through its cosine (combined: the crank takes the sine) or its sine (beam).
  float bound = kNoBound;
  for (int j = -p.beam_blocks; j <= p.beam_blocks_max - p.beam_blocks; ++j) {
    double sq1 = mode == BalanceMode::Combined ? static_cast<double>(j) * a.WV_Cos[1] + a.P12_Cos[1]
                                               : static_cast<double>(j) * a.WV_Sin[1] + a.P12_Sin[1];
    float sum = static_cast<float>(sq1 * sq1);
    for (std::size_t k = 2; k <= 5; ++k) {
      const double s = static_cast<double>(j) * a.WV_Sin[k] + a.P12_Sin[k];
      const double c = static_cast<double>(j) * a.WV_Cos[k] + a.P12_Cos[k];
      sum = static_cast<float>(sum + s * s);
      sum = static_cast<float>(sum + c * c);
    }
    const float J = std::sqrt(sum);
    if (J < bound) {
      bound = J;
      a.Beam_dN = static_cast<std::int16_t>(j);
    }
  }
  if (a.Beam_dN <= -p.beam_blocks) a.Beam_dN = static_cast<std::int16_t>(-p.beam_blocks);
  if (p.beam_blocks + a.Beam_dN > p.beam_blocks_max) a.Beam_dN = static_cast<std::int16_t>(p.beam_blocks_max - p.beam_blocks);
  for (std::size_t k = 1; k <= 5; ++k) {
    a.P12_Cos[k] += static_cast<float>(a.Beam_dN) * a.WV_Cos[k];
    a.P12_Sin[k] += static_cast<float>(a.Beam_dN) * a.WV_Sin[k];
  }
}

}  // namespace wb
