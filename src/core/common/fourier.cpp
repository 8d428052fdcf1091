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

}  // namespace

void Fourier_Coef(const float* x, std::int16_t n, std::int16_t m, float* a, float* b) {
  if (m <= 0 || n < 1) return;
  const Rotation r = rotation_for(n);
  float c = 1.0f, s = 0.0f;
  for (int k = 0; k < m; ++k) {
    float u1 = 0.0f, u2 = 0.0f;
    for (int j = n - 1; j >= 1; --j) {
      float v = static_cast<float>(static_cast<double>(x[j]) + 2.0 * c * u1 - static_cast<double>(u2));
      u2 = u1;
      u1 = v;
    }
    a[k] = static_cast<float>(static_cast<double>(r.h) * (static_cast<double>(x[0]) + static_cast<double>(c) * u1 - u2));
    b[k] = static_cast<float>(static_cast<double>(r.h) * u1 * s);
    float cn = static_cast<float>(static_cast<double>(c) * r.cw - static_cast<double>(s) * r.sw);
    float sn = static_cast<float>(static_cast<double>(r.sw) * c + static_cast<double>(r.cw) * s);
    c = cn;
    s = sn;
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

void reader_series(float* out, int n, int d, int h, const float* a, const float* b) {
  if (d == 0) return;
  const double t = 2.0 * kPi5 / d;
  for (int i = 0; i < n; ++i) {
    float v = a[0] / 2.0f;
    for (int k = 1; k <= h; ++k) {
      double ang = static_cast<double>(k) * i * t;
      v = static_cast<float>(static_cast<double>(v) + a[k] * std::cos(ang) + b[k] * std::sin(ang));
    }
    out[i] = v;
  }
}

}  // namespace wb
