#include "core/diagnosis/pump_card.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "core/common/pi.h"
#include "core/common/trim.h"

namespace wb {

namespace {

constexpr double kRodModulus = 21000;       // kgf/mm²
constexpr double kRodWeightFactor = 0.0065878;  // kgf/m per mm² of d²
constexpr double kSoundSpeed = 5100;        // m/s in the rods
constexpr double kDepthTolerance = 0.5;     // m the pump may sit above the bottom of the rods
constexpr int kHalfStroke = 36;             // 72 points: sums are divided by 36

// Dimensionless damping factor of the rod string, an empirical fit over the stroke × stroke
// rate S·N (m/min): exp(kDampingFitA − kDampingFitB·S·N) + kDampingFloor. It falls from about
// 1.34 for slow, short strokes towards kDampingFloor for fast, long ones.
constexpr double kDampingFitA = 0.18254;
constexpr double kDampingFitB = 0.39094;  // per m/min
constexpr double kDampingFloor = 0.1435;

// Load factor: empty text reads 0 (nothing to compute, silently); other text must be a number.
std::optional<double> load_factor(const std::string& text) {
  if (trim_blanks(text).empty()) return 0.0;
  return num_parse(text);
}

}  // namespace

PumpCardRun get_bgt(DiagnosisState& st, const std::array<double, 72>& s_dat, const std::array<double, 72>& f_dat,
                    MessageService& messages) {
  const std::optional<double> fl_text = load_factor(st.Text2);
  if (!fl_text) {
    messages.show(kLoadFactorMessage, "");
    return PumpCardRun::bad_load_factor;
  }
  const double FL = *fl_text;
  if (FL == 0) return PumpCardRun::no_load_factor;

  const double S = st.yjcs[kYjcsStroke], N = st.yjcs[kYjcsSpm];
  double H = st.yjcs[kYjcsPumpDepth];
  std::array<double, 5> d{}, L{};  // sections 1..4
  for (int m = 1; m <= 4; ++m) {
    d[m] = st.yjcs[kYjcsFirstSection + 2 * (m - 1)];
    L[m] = st.yjcs[kYjcsFirstSection + 2 * (m - 1) + 1];
  }
  const int k_last = st.Sec_Last + 1;  // the card returned: bottom of the last section
  bool sections_ok = k_last >= 1 && k_last <= 4;
  for (int m = 1; sections_ok && m <= k_last; ++m) sections_ok = d[m] > 0 && L[m] > 0;
  if (!(S > 0) || !(N > 0) || !sections_ok || !std::isfinite(S) || !std::isfinite(N)) {
    messages.show(kPumpCardInputsMessage, "");
    return PumpCardRun::missing_inputs;
  }

  const double rods = L[1] + L[2] + L[3] + L[4];
  if (H == 0 || L[1] == 0 || H + kDepthTolerance < rods) {
    messages.show(kPumpDepthMessage, "");
    H = rods;
  }
  L[1] = H - (L[2] + L[3] + L[4]);

  // Surface series: position as a downward displacement from mid-stroke, load times F_L.
  std::array<double, kStrokePoints> x{}, y{};
  x[0] = S / 2;
  for (int i = 1; i < kStrokePoints; ++i) x[i] = S / 2 - S * (s_dat[i] / S);
  for (int i = 0; i < kStrokePoints; ++i) y[i] = FL * f_dat[i];
  std::array<std::array<double, kStrokePoints>, kHarmonics + 1> cosv{}, sinv{};
  for (int n = 0; n <= kHarmonics; ++n) {
    for (int i = 0; i < kStrokePoints; ++i) {
      const double th = n * std::numbers::pi * i / kHalfStroke;
      cosv[n][i] = std::cos(th);
      sinv[n][i] = std::sin(th);
    }
  }
  std::array<double, kHarmonics + 1> a{}, b{}, sigma{}, tau{};
  for (int n = 0; n <= kHarmonics; ++n) {
    for (int i = 0; i < kStrokePoints; ++i) {
      a[n] += x[i] * cosv[n][i];
      b[n] += x[i] * sinv[n][i];
      sigma[n] += y[i] * cosv[n][i];
      tau[n] += y[i] * sinv[n][i];
    }
    a[n] /= kHalfStroke;
    b[n] /= kHalfStroke;
    sigma[n] /= kHalfStroke;
    tau[n] /= kHalfStroke;
  }

  std::array<double, 5> EA{}, W{};
  for (int m = 1; m <= k_last; ++m) {
    EA[m] = kRodModulus * std::numbers::pi * d[m] * d[m] / 4;
    W[m] = kRodWeightFactor * d[m] * d[m] * L[m];
  }

  // Damping and wave numbers.
  const double nu_damp = std::exp(kDampingFitA - kDampingFitB * S * N) + kDampingFloor;
  const double c = std::numbers::pi * kSoundSpeed * nu_damp / (2 * H);
  const double omega = std::numbers::pi * N / 30;
  std::array<double, kHarmonics + 1> alpha{}, beta{};
  for (int n = 1; n <= kHarmonics; ++n) {
    const double nw = n * omega;
    const double r = std::sqrt(1 + (c / nw) * (c / nw));
    const double f = nw / (kSoundSpeed * std::sqrt(2.0));
    alpha[n] = f * std::sqrt(1 + r);
    beta[n] = f * std::sqrt(r - 1);
  }

  // Down the sections: position (nu, delta) and load (sigma, tau) coefficients at the top of
  // each section become those at its bottom.
  std::array<double, kHarmonics + 1> nu = a, delta = b, sg = sigma, ta = tau;
  std::array<double, kHarmonics + 1> O{}, P{}, Od{}, Pd{};
  double D_prev = a[0];  // D_(m-1)
  double D = a[0];
  const double sigma0 = sigma[0];
  for (int m = 1; m <= k_last; ++m) {
    const double ea = EA[m], len = L[m];
    for (int n = 1; n <= kHarmonics; ++n) {
      const double al = alpha[n], be = beta[n];
      const double den = ea * (al * al + be * be);
      const double kappa = (sg[n] * al + ta[n] * be) / den;
      const double mu = (sg[n] * be - ta[n] * al) / den;
      const double sh = std::sinh(be * len), ch = std::cosh(be * len);
      const double sn = std::sin(al * len), cs = std::cos(al * len);
      O[n] = cs * (ch * nu[n] + sh * mu) + sn * (sh * delta[n] + ch * kappa);
      P[n] = cs * (sh * kappa + ch * delta[n]) - sn * (ch * mu + sh * nu[n]);
      Od[n] = cs * (sh * (al * delta[n] + be * nu[n]) + ch * sg[n] / ea) +
              sn * (ch * (be * delta[n] - al * nu[n]) + sh * ta[n] / ea);
      Pd[n] = cs * (ch * ta[n] / ea + sh * (be * delta[n] - al * nu[n])) -
              sn * (ch * (al * delta[n] + be * nu[n]) + sh * sg[n] / ea);
    }
    for (int n = 1; n <= kHarmonics; ++n) {
      nu[n] = O[n];
      delta[n] = P[n];
      sg[n] = ea * Od[n];
      ta[n] = ea * Pd[n];
    }
    D_prev = D;
    D = D + len * sigma0 / ea;
  }

  const double ea = EA[k_last];
  double weight = 0;
  for (int m = 1; m <= k_last; ++m) weight += W[m];
  for (int i = 0; i < kStrokePoints; ++i) {
    double pos = 0, strain = 0;
    for (int n = 1; n <= kHarmonics; ++n) {
      pos += O[n] * cosv[n][i] + P[n] * sinv[n][i];
      strain += Od[n] * cosv[n][i] + Pd[n] * sinv[n][i];
    }
    pos += D_prev / 2 + L[k_last] * sigma0 / (2 * ea);
    const double load = ea * strain + sigma0 / 2 - weight;
    st.Bgt_Pos[i] = pos;
    st.Bgt_Load[i] = load / 100;
  }
  return PumpCardRun::computed;
}

void Trans_Circle(std::vector<double>& pps1, int tt_num, int dftt_num, int gt_num, std::vector<double>& pps2) {
  if (tt_num < 1 || gt_num < 1) return;
  const auto N = static_cast<std::size_t>(tt_num);
  if (pps1.size() < N + 1) pps1.resize(N + 1);
  if (pps2.size() < static_cast<std::size_t>(gt_num)) pps2.resize(static_cast<std::size_t>(gt_num));
  pps1[N] = pps1[0];
  constexpr double kSixPi = 3 * kTwoPi14;  // == 18.84955592153874
  const double w = kTwoPi14 / tt_num;
  const int kmax = std::max(dftt_num, 0);
  std::vector<double> A(static_cast<std::size_t>(kmax) + 1), B(A.size());
  for (int k = 0; k <= kmax; ++k) {
    double c_odd = 0, c_even = 0, s_odd = 0, s_even = 0;
    for (std::size_t i = 1; i + 1 <= N; ++i) {
      const double ang = k * w * static_cast<double>(i);
      if (i % 2) {
        c_odd += pps1[i] * std::cos(ang);
        s_odd += pps1[i] * std::sin(ang);
      } else {
        c_even += pps1[i] * std::cos(ang);
        s_even += pps1[i] * std::sin(ang);
      }
    }
    A[k] = (w / kSixPi) * (pps1[0] + pps1[N] * std::cos(k * w * tt_num) + 4 * c_odd + 2 * c_even);
    B[k] = (w / kSixPi) * (4 * s_odd + 2 * s_even);
  }
  const double t = kTwoPi5 / gt_num;
  for (int i = 0; i < gt_num; ++i) {
    double v = 0;
    for (int k = 1; k <= kmax; ++k) v += A[k] * std::cos(k * i * t) + B[k] * std::sin(k * i * t);
    pps2[static_cast<std::size_t>(i)] = A[0] + 2 * v;
  }
}

}  // namespace wb
