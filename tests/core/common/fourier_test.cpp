// The Fourier codec against closed forms, hand calculations and a direct double-precision
// sum. Tolerance of the analysis routines: the single-precision Goertzel-Reinsch recurrence
// carries its rounding through n steps per harmonic and the harmonics through repeated angle
// additions, so its error grows like n² · ε_float · mean|x|; the tests allow one tenth of
// that (measured errors stay 3 to 30 times below it, and a wrong angle, sign or scale is off
// by the amplitude itself). A term in n covers the plain rounding of short curves.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "core/common/fourier.h"
#include "core/common/pi.h"
#include "../test_strokes.h"

namespace wb {
namespace {

constexpr float kSentinel = -12345.0f;
constexpr double kPi = std::numbers::pi;

double analysis_tolerance(const std::vector<float>& x) {
  double mean_abs = 0;
  for (float v : x) mean_abs += std::fabs(v);
  mean_abs /= static_cast<double>(x.size());
  double n = static_cast<double>(x.size());
  return (0.1 * n * n + 20 * n) * std::numeric_limits<float>::epsilon() * mean_abs + 1e-6;
}

// (2/n) Σ x(j)·cos(k·j·2π/n) and the sine counterpart, in double precision.
void direct_sum(const std::vector<float>& x, int k, double& a, double& b) {
  const double n = static_cast<double>(x.size());
  a = b = 0;
  for (std::size_t j = 0; j < x.size(); ++j) {
    double ang = 2 * kPi * k * static_cast<double>(j) / n;
    a += x[j] * std::cos(ang);
    b += x[j] * std::sin(ang);
  }
  a *= 2 / n;
  b *= 2 / n;
}

// A card-like curve: a mean, a few low harmonics and one higher one.
std::vector<float> test_curve(int n) {
  std::vector<float> x(n);
  for (int j = 0; j < n; ++j) {
    double t = 2 * kPi * j / n;
    x[j] = static_cast<float>(50 + 30 * std::sin(t) + 12 * std::cos(2 * t + 0.3) + 4 * std::sin(5 * t) +
                              std::cos(17 * t));
  }
  return x;
}

// The analysis one harmonic after another, as the stored coefficient blocks were made: the
// reference the faster routine must match bit for bit.
void serial_fourier_coef(const float* x, std::int16_t n, std::int16_t m, float* a, float* b) {
  if (m <= 0 || n < 1) return;
  const float w = static_cast<float>(kTwoPi14 / n);
  const float cw = static_cast<float>(std::cos(static_cast<double>(w)));
  const float sw = static_cast<float>(std::sin(static_cast<double>(w)));
  const float h = static_cast<float>(2.0 / n);
  float c = 1.0f, s = 0.0f;
  for (int k = 0; k < m; ++k) {
    float u1 = 0.0f, u2 = 0.0f;
    for (int j = n - 1; j >= 1; --j) {
      float v = static_cast<float>(static_cast<double>(x[j]) + 2.0 * c * u1 - static_cast<double>(u2));
      u2 = u1;
      u1 = v;
    }
    a[k] = static_cast<float>(static_cast<double>(h) * (static_cast<double>(x[0]) + static_cast<double>(c) * u1 - u2));
    b[k] = static_cast<float>(static_cast<double>(h) * u1 * s);
    float cn = static_cast<float>(static_cast<double>(c) * cw - static_cast<double>(s) * sw);
    float sn = static_cast<float>(static_cast<double>(sw) * c + static_cast<double>(cw) * s);
    c = cn;
    s = sn;
  }
}

// Harmonic counts of the libraries (16 position, 32 load, 50 waveform pairs) and counts
// that leave a part block of harmonics at the end.
TEST(FourierCoef, SameBitsAsOneHarmonicAfterAnother) {
  for (const test::Stroke& st : test::comparison_strokes()) {
    for (std::int16_t m : {1, 3, 8, 9, 16, 17, 32, 50}) {
      SCOPED_TRACE(st.name + " m=" + std::to_string(m));
      const auto n = static_cast<std::int16_t>(st.x.size());
      std::vector<float> a(m + 1, kSentinel), b(m + 1, kSentinel), ra(m + 1, kSentinel), rb(m + 1, kSentinel);
      Fourier_Coef(st.x.data(), n, m, a.data(), b.data());
      serial_fourier_coef(st.x.data(), n, m, ra.data(), rb.data());
      for (int k = 0; k <= m; ++k) {  // k = m: nothing written past the last pair
        ASSERT_EQ(std::bit_cast<std::uint32_t>(a[k]), std::bit_cast<std::uint32_t>(ra[k])) << "a " << k;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(b[k]), std::bit_cast<std::uint32_t>(rb[k])) << "b " << k;
      }
    }
  }
}

TEST(FourierCoef, NonPositiveTermCountWritesNothing) {
  std::vector<float> x = {1, 2, 3};
  for (std::int16_t m : {0, -1}) {
    SCOPED_TRACE(m);
    std::vector<float> a(4, kSentinel), b(4, kSentinel);
    Fourier_Coef(x.data(), 3, m, a.data(), b.data());
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(a[k], kSentinel);
      EXPECT_EQ(b[k], kSentinel);
    }
  }
}

TEST(FourierCoef, SinglePointGivesTwiceTheSampleEverywhere) {
  std::vector<float> x = {3.25f};
  std::vector<float> a(8), b(8);
  Fourier_Coef(x.data(), 1, 8, a.data(), b.data());
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(a[k], 6.5f);
    EXPECT_EQ(b[k], 0.0f);
  }
}

TEST(FourierCoef, TwoPointsShowTheSinglePrecisionAngle) {
  // n = 2, x = {1, 3}. By hand: ω = float(6.28318530717958 / 2) = 3.1415927410125732,
  // cw = float(cos ω) = −1, sw = float(sin ω) = −8.742278e−8, h = 1.
  // k = 0: u1 = 3, u2 = 0: a0 = 1 + 3 = 4, b0 = 0. Then c = −1, s = sw.
  // k = 1: u1 = 3: a1 = 1 − 3 = −2, b1 = float(3 · sw) = −2.6226832e−7 (not 0: the angle is a float).
  std::vector<float> x = {1, 3};
  std::vector<float> a(2), b(2);
  Fourier_Coef(x.data(), 2, 2, a.data(), b.data());
  EXPECT_EQ(a[0], 4.0f);
  EXPECT_EQ(b[0], 0.0f);
  EXPECT_EQ(a[1], -2.0f);
  EXPECT_FLOAT_EQ(b[1], -2.6226832e-7f);
}

TEST(FourierCoef, ConstantCurve) {
  for (int n : {2, 3, 144, 145, 1000}) {
    SCOPED_TRACE(n);
    std::vector<float> x(n, 7.5f);
    std::vector<float> a(16), b(16);
    Fourier_Coef(x.data(), static_cast<std::int16_t>(n), 16, a.data(), b.data());
    double tol = analysis_tolerance(x);
    EXPECT_NEAR(a[0], 15.0, tol);
    EXPECT_EQ(b[0], 0.0f);
    for (int k = 1; k < 16 && k < n; ++k) {
      EXPECT_NEAR(a[k], 0.0, tol) << k;
      EXPECT_NEAR(b[k], 0.0, tol) << k;
    }
  }
}

TEST(FourierCoef, PureCosineAndSine) {
  const double amp = 20;
  for (int n : {3, 4, 144, 145, 500}) {
    SCOPED_TRACE(n);
    std::vector<float> c(n), s(n);
    for (int j = 0; j < n; ++j) {
      c[j] = static_cast<float>(amp * std::cos(2 * kPi * j / n));
      s[j] = static_cast<float>(amp * std::sin(2 * kPi * j / n));
    }
    const int m = n < 8 ? 2 : 8;  // harmonics beyond n/2 alias onto the low ones
    std::vector<float> ac(m), bc(m), as(m), bs(m);
    Fourier_Coef(c.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(m), ac.data(), bc.data());
    Fourier_Coef(s.data(), static_cast<std::int16_t>(n), static_cast<std::int16_t>(m), as.data(), bs.data());
    double tol = analysis_tolerance(c);
    for (int k = 0; k < m; ++k) {
      SCOPED_TRACE(k);
      EXPECT_NEAR(ac[k], k == 1 ? amp : 0.0, tol);
      EXPECT_NEAR(bc[k], 0.0, tol);
      EXPECT_NEAR(as[k], 0.0, tol);
      EXPECT_NEAR(bs[k], k == 1 ? amp : 0.0, tol);
    }
  }
}

TEST(FourierCoef, MatchesTheDirectDoubleSum) {
  for (int n : {144, 145, 500, 1001, 3000}) {
    SCOPED_TRACE(n);
    std::vector<float> x = test_curve(n);
    const int m = 32;
    std::vector<float> a(m), b(m);
    Fourier_Coef(x.data(), static_cast<std::int16_t>(n), m, a.data(), b.data());
    double tol = analysis_tolerance(x);
    for (int k = 0; k < m; ++k) {
      SCOPED_TRACE(k);
      double ra, rb;
      direct_sum(x, k, ra, rb);
      EXPECT_NEAR(a[k], ra, tol);
      EXPECT_NEAR(b[k], rb, tol);
    }
    EXPECT_EQ(b[0], 0.0f);
  }
}

TEST(FourierSynth, ConstantTermOnlyAndConstantCurves) {
  // m = 1 returns a(0)/2 exactly, whatever the other terms hold.
  std::vector<float> a = {9.0f, 100.0f, 100.0f}, b = {0, 100.0f, 100.0f};
  std::vector<float> y(10, kSentinel);
  Fourier_Synth(y.data(), 10, 1, a.data(), b.data());
  for (float v : y) EXPECT_EQ(v, 4.5f);
  // A constant curve analysed and rebuilt with any m gives its value back.
  std::vector<float> x(145, -3.5f);
  std::vector<float> ca(32), cb(32);
  Fourier_Coef(x.data(), 145, 32, ca.data(), cb.data());
  for (std::int16_t m : {1, 2, 16, 32}) {
    SCOPED_TRACE(m);
    Fourier_Synth(y.data(), 10, m, ca.data(), cb.data());
    for (float v : y) EXPECT_NEAR(v, -3.5, 32 * analysis_tolerance(x));
  }
}

TEST(FourierSynth, UsesTheDoubleAngle) {
  // n = 3, a = {0, 1}: x(1) = float(cos(2π/3)) = −0.5 exactly (compare put_dft below).
  std::vector<float> a = {0, 1}, b = {0, 0}, y(3);
  Fourier_Synth(y.data(), 3, 2, a.data(), b.data());
  EXPECT_EQ(y[0], 1.0f);
  EXPECT_EQ(y[1], -0.5f);
  EXPECT_EQ(y[2], -0.5f);
}

TEST(FourierSynth, RoundTripReproducesABandLimitedCurve) {
  // The test curve has harmonics 0, 1, 2, 5 and 17: 18 terms rebuild it; 6 terms leave
  // out the 17th harmonic (amplitude 1) only.
  for (int n : {144, 145, 500}) {
    SCOPED_TRACE(n);
    std::vector<float> x = test_curve(n);
    std::vector<float> a(32), b(32), y(n);
    Fourier_Coef(x.data(), static_cast<std::int16_t>(n), 32, a.data(), b.data());
    double tol = 18 * analysis_tolerance(x);
    Fourier_Synth(y.data(), static_cast<std::int16_t>(n), 18, a.data(), b.data());
    for (int j = 0; j < n; ++j) EXPECT_NEAR(y[j], x[j], tol) << j;
    Fourier_Synth(y.data(), static_cast<std::int16_t>(n), 6, a.data(), b.data());
    for (int j = 0; j < n; ++j) {
      double without17 = x[j] - std::cos(17 * 2 * kPi * j / n);
      EXPECT_NEAR(y[j], without17, tol) << j;
    }
  }
}

TEST(GetDftCoef, EvenCountGetsTheMeanOfTheEndsAndBecomesOdd) {
  // Samples 0 except the ends: 100 and 300. The working copy gains a 501st point of 200,
  // so a(0) = 2 · (100 + 300 + 200) / 501 and a(1) = (2/501)(100 + 300 cos(499θ) + 200 cos(500θ)).
  std::vector<float> data(500, 0.0f);
  data[0] = 100;
  data[499] = 300;
  const std::vector<float> before = data;
  std::int16_t n = 500;
  std::vector<float> pc(8, kSentinel), ps(8, kSentinel);
  get_dft_coef(data.data(), n, pc.data(), ps.data(), 6);
  EXPECT_EQ(n, 501);
  EXPECT_EQ(data, before);  // the caller's samples are untouched
  std::vector<float> w = data;
  w.push_back(200.0f);
  double tol = analysis_tolerance(w);
  for (int k = 0; k <= 6; ++k) {
    SCOPED_TRACE(k);
    double ra, rb;
    direct_sum(w, k, ra, rb);
    EXPECT_NEAR(pc[k], ra, tol);
    EXPECT_NEAR(ps[k], rb, tol);
  }
  EXPECT_NEAR(pc[0], 2.0 * 600 / 501, 1e-5);
  // m + 1 pairs, no more.
  EXPECT_EQ(pc[7], kSentinel);
  EXPECT_EQ(ps[7], kSentinel);
}

TEST(GetDftCoef, OddCountStaysAndMatchesTheDirectSum) {
  for (int size : {145, 501, 3001}) {
    SCOPED_TRACE(size);
    std::vector<float> x = test_curve(size);
    std::int16_t n = static_cast<std::int16_t>(size);
    std::vector<float> pc(2), ps(2);
    get_dft_coef(x.data(), n, pc.data(), ps.data(), 1);
    EXPECT_EQ(n, size);
    double tol = analysis_tolerance(x);
    for (int k = 0; k <= 1; ++k) {
      double ra, rb;
      direct_sum(x, k, ra, rb);
      EXPECT_NEAR(pc[k], ra, tol) << k;
      EXPECT_NEAR(ps[k], rb, tol) << k;
    }
    EXPECT_NEAR(ps[1], 30, tol);  // the curve's first sine amplitude
  }
}

TEST(PutDft, OneTermFillsTheConstant) {
  std::vector<float> pc = {7.0f, 50.0f}, ps = {0.0f, 50.0f}, y(20, kSentinel);
  put_dft(y.data(), 20, pc.data(), ps.data(), 1);
  for (float v : y) EXPECT_EQ(v, 3.5f);
}

TEST(PutDft, UsesTheSinglePrecisionAngle) {
  // tt_num = 3, pcos = {0, 1}: ω = float(6.28318530717958 / 3) = 2.094395160675049;
  // x(1) = float(cos ω) = float(−0.50000005047) = −0.50000006; x(2) at float(2ω) =
  // 4.188790321350098: float(cos) = −0.4999999106.
  std::vector<float> pc = {0, 1}, ps = {0, 0}, y(3);
  put_dft(y.data(), 3, pc.data(), ps.data(), 2);
  EXPECT_EQ(y[0], 1.0f);
  EXPECT_FLOAT_EQ(y[1], -0.50000006f);
  EXPECT_NE(y[1], -0.5f);
  EXPECT_FLOAT_EQ(y[2], -0.49999991f);
}

TEST(PutDft, RebuildsTheFittedCurve) {
  std::vector<float> x = test_curve(501);
  std::int16_t n = 501;
  std::vector<float> pc(7), ps(7), y(501);
  get_dft_coef(x.data(), n, pc.data(), ps.data(), 6);
  put_dft(y.data(), 501, pc.data(), ps.data(), 6);  // harmonics 0..5 of the curve
  for (int j = 0; j < 501; ++j) {
    double without17 = x[j] - std::cos(17 * 2 * kPi * j / 501);
    EXPECT_NEAR(y[j], without17, 6 * analysis_tolerance(x)) << j;
  }
}

TEST(ReaderSeries, FivePlacePiClosesTheCardLoop) {
  // value(i) = a0/2 + Σ (a_k cos(k i θ) + b_k sin(k i θ)), θ = 2 · 3.14159 / D.
  std::vector<float> a = {100, 10, 0, 2}, b = {0, 5, 1, 0}, y(145);
  reader_series(y.data(), 145, 144, 3, a.data(), b.data());
  const double theta = 2 * 3.14159 / 144;
  for (int i = 0; i < 145; ++i) {
    double ref = 50;
    for (int k = 1; k <= 3; ++k) ref += a[k] * std::cos(k * i * theta) + b[k] * std::sin(k * i * theta);
    EXPECT_NEAR(y[i], ref, 1e-4) << i;
  }
  // The last point repeats the first up to the short π: 2π − 2·3.14159 = 5.3e−6 per turn.
  EXPECT_NEAR(y[144], y[0], 1e-3);
  EXPECT_NE(y[144], y[0]);
}

// The readers' angles are kept between calls: every call, whatever divisor came before,
// gives exactly the sum term by term (angle k·i·t in double, running sum in single).
TEST(ReaderSeries, KeptAnglesGiveTheSameBitsForEveryDivisor) {
  std::vector<float> a(33), b(33);
  for (int k = 0; k < 33; ++k) {
    a[static_cast<std::size_t>(k)] = 37.5f / (k + 1) - 3.0f;
    b[static_cast<std::size_t>(k)] = (k % 5) * 1.25f - 2.0f;
  }
  const struct { int n, d, h; } calls[] = {{145, 144, 31}, {180, 180, 20}, {145, 144, 15}, {3001, 2999, 31},
                                           {40, -7, 32},   {145, 144, 31}, {1, 5, 0},      {200, 180, 31}};
  for (const auto& c : calls) {
    std::vector<float> y(static_cast<std::size_t>(c.n));
    reader_series(y.data(), c.n, c.d, c.h, a.data(), b.data());
    const double t = 2.0 * kPi5 / c.d;
    for (int i = 0; i < c.n; ++i) {
      float v = a[0] / 2.0f;
      for (int k = 1; k <= c.h; ++k) {
        const double ang = static_cast<double>(k) * i * t;
        v = static_cast<float>(static_cast<double>(v) + a[static_cast<std::size_t>(k)] * std::cos(ang) +
                               b[static_cast<std::size_t>(k)] * std::sin(ang));
      }
      ASSERT_EQ(y[static_cast<std::size_t>(i)], v) << "d " << c.d << " i " << i;
    }
  }
}

}  // namespace
}  // namespace wb
