#include "core/common/fourier.h"
#include "core/common/pi.h"

#include <cmath>
#include <vector>

namespace wb {
namespace {

struct Rotation {
  float cw, sw, h;
};

Rotation rotation_for(int n) {
  float w = static_cast<float>(kTwoPi14 / n);
  return {static_cast<float>(std::cos(static_cast<double>(w))), static_cast<float>(std::sin(static_cast<double>(w))),
          static_cast<float>(2.0 / n)};
}

// Harmonics k0 .. k0+count-1 of Fourier_Coef, `chains` recurrences side by side (see
// there); c and s come in as the angle step of harmonic k0 and leave as that of k0+chains.
template <int chains>
void coef_block(const float* x, int n, const Rotation& r, int k0, int count, float& c, float& s, float* a, float* b) {
  float ck[chains], sk[chains];
  double c2[chains];  // 2c, exact in double
  for (int q = 0; q < chains; ++q) {
    ck[q] = c;
    sk[q] = s;
    c2[q] = 2.0 * c;
    const float cn = static_cast<float>(static_cast<double>(c) * r.cw - static_cast<double>(s) * r.sw);
    const float sn = static_cast<float>(static_cast<double>(r.sw) * c + static_cast<double>(r.cw) * s);
    c = cn;
    s = sn;
  }
  float u1[chains] = {}, u2[chains] = {};
  for (int j = n - 1; j >= 1; --j) {
    const double xj = x[j];
    for (int q = 0; q < chains; ++q) {
      const float v = static_cast<float>(xj + c2[q] * u1[q] - static_cast<double>(u2[q]));
      u2[q] = u1[q];
      u1[q] = v;
    }
  }
  for (int q = 0; q < count; ++q) {
    a[k0 + q] = static_cast<float>(static_cast<double>(r.h) *
                                   (static_cast<double>(x[0]) + static_cast<double>(ck[q]) * u1[q] - u2[q]));
    b[k0 + q] = static_cast<float>(static_cast<double>(r.h) * u1[q] * sk[q]);
  }
}

}  // namespace

void Fourier_Coef(const float* x, std::int16_t n, std::int16_t m, float* a, float* b) {
  if (m <= 0 || n < 1) return;
  const Rotation r = rotation_for(n);
  // Each harmonic is one recurrence over the samples whose every step waits for the one
  // before; the harmonics do not depend on each other, so a block of them runs side by side
  // through the samples (32 where more than 16 are left, else 16: enough to keep the
  // processor busy without running many spare ones). Every chain keeps its own order of
  // operations and roundings, so the coefficients are the same as one harmonic after
  // another. Spare chains of a last short block are dropped.
  float c = 1.0f, s = 0.0f;  // cos and sin of the current harmonic's angle step
  for (int k0 = 0; k0 < m;) {
    const int left = m - k0;
    if (left > 16) {
      coef_block<32>(x, n, r, k0, left < 32 ? left : 32, c, s, a, b);
      k0 += 32;
    } else {
      coef_block<16>(x, n, r, k0, left, c, s, a, b);
      k0 += 16;
    }
  }
}

void Fourier_Synth(float* x, std::int16_t n, std::int16_t m, const float* a, const float* b) {
  if (n < 1) return;
  const double w = kTwoPi14 / n;
  for (int j = 0; j < n; ++j) {
    float v = a[0] / 2.0f;
    for (int i = 1; i < m; ++i) {
      double ang = static_cast<double>(static_cast<long>(i) * j) * w;
      v = static_cast<float>(static_cast<double>(v) + a[i] * std::cos(ang) + b[i] * std::sin(ang));
    }
    x[j] = v;
  }
}

void get_dft_coef(const float* data, std::int16_t& n, float* pcos, float* psin, std::int16_t m) {
  if (n < 1 || m < 0) return;
  std::vector<float> w(data, data + n);
  if (n % 2 == 0) {
    w.push_back((data[0] + data[n - 1]) / 2.0f);
    n = static_cast<std::int16_t>(n + 1);
  }
  const Rotation r = rotation_for(n);
  float c = 1.0f, s = 0.0f;
  for (int k = 0; k <= m; ++k) {
    float u1 = 0.0f, u2 = 0.0f;
    for (int j = n - 1; j >= 1; --j) {
      // Each operation rounded to single precision.
      float t1 = 2.0f * c;
      float t2 = t1 * u1;
      float t3 = w[j] + t2;
      float v = t3 - u2;
      u2 = u1;
      u1 = v;
    }
    float cu = c * u1;
    float sum = w[0] + cu;
    float d = sum - u2;
    pcos[k] = d * r.h;
    float uh = u1 * r.h;
    psin[k] = uh * s;
    float cc = c * r.cw;
    float ss = s * r.sw;
    float cn = cc - ss;
    float sc = r.sw * c;
    float cs = r.cw * s;
    float sn = sc + cs;
    c = cn;
    s = sn;
  }
}

void put_dft(float* pps1, std::int16_t tt_num, const float* pcos, const float* psin, std::int16_t dftt_num) {
  if (tt_num < 1) return;
  const float w = static_cast<float>(kTwoPi14 / tt_num);
  for (int i = 0; i < tt_num; ++i) {
    float v = pcos[0] / 2.0f;
    for (int g = 1; g < dftt_num; ++g) {
      // The product is formed in 32 bits; callers keep i * g within 16 bits anyway.
      float ang = static_cast<float>(i * g) * w;
      v = static_cast<float>(static_cast<double>(v) + pcos[g] * std::cos(static_cast<double>(ang)) +
                             psin[g] * std::sin(static_cast<double>(ang)));
    }
    pps1[i] = v;
  }
}

namespace {

// cos and sin of m·t for m = 0, 1, … of the last divisor, kept per thread: every curve of a
// record sums the same angles, and the screen readers always divide by 144 or 180. The
// angle k·i·t is taken as (k·i)·t, the same double as k·i·t since k·i is exact.
struct ReaderAngles {
  int d = 0;
  std::vector<double> c, s;
  void cover(int divisor, double t, std::size_t last) {
    if (divisor != d) {
      d = divisor;
      c.clear();
      s.clear();
    }
    for (std::size_t m = c.size(); m <= last; ++m) {
      const double ang = static_cast<double>(m) * t;
      c.push_back(std::cos(ang));
      s.push_back(std::sin(ang));
    }
  }
};

}  // namespace

void reader_series(float* out, int n, int d, int h, const float* a, const float* b) {
  if (d == 0 || n <= 0) return;
  const double t = 2.0 * kPi5 / d;
  thread_local ReaderAngles angles;
  angles.cover(d, t, h > 0 ? static_cast<std::size_t>(n - 1) * static_cast<std::size_t>(h) : 0);
  const double* c = angles.c.data();
  const double* s = angles.s.data();
  for (int i = 0; i < n; ++i) {
    float v = a[0] / 2.0f;
    for (int k = 1; k <= h; ++k) {
      const std::size_t m = static_cast<std::size_t>(k) * static_cast<std::size_t>(i);
      v = static_cast<float>(static_cast<double>(v) + a[k] * c[m] + b[k] * s[m]);
    }
    out[i] = v;
  }
}

}  // namespace wb
