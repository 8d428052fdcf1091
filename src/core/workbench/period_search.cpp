#include "core/workbench/period_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/common/fourier.h"
#include "core/common/number_text.h"
#include "core/workbench/org_decode.h"

namespace wb {
namespace {

constexpr int kFirstLag = 200;
constexpr int kLastLag = 2500;
constexpr int kWindow = 500;           // samples correlated at each lag
constexpr float kLevelMatch = 0.95f;   // w(L)/w(0) must be this close to 1
constexpr double kPeakLevel = 0.95;    // of the best correlation (compared in double)
constexpr int kRunCapacity = 20;
constexpr float kFlatPosition = 0.3f;  // m
constexpr float kLeastFundamental = 0.5f;  // m
constexpr int kSmoothing = 20;
constexpr double kLeastShare = 0.08;
constexpr int kLeastGap = 190;
constexpr int kSecondSearchStart = 500;  // the first 10 s are skipped

// The correlation from its single-precision sums; false when a window is flat (the
// denominator is 0).
bool correlation_of(float sx, float sy, float sxy, float sxx, float syy, int n, float& r) {
  const float fn = static_cast<float>(n);
  const float num = sxy - sx * sy / fn;
  const float vx = sxx - sx * sx / fn;
  const float vy = syy - sy * sy / fn;
  const double den = std::sqrt(std::fabs(static_cast<double>(vx * vy)));
  if (den == 0.0 || !std::isfinite(den)) return false;
  r = static_cast<float>(num / den);
  return true;
}

// Pearson correlation of a(0..n-1) and b(0..n-1) with single-precision sums. False when a
// window is flat (the denominator is 0).
bool correlate(const float* a, const float* b, int n, float& r) {
  float sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0;
  for (int k = 0; k < n; ++k) {
    sx += a[k];
    sy += b[k];
    sxy += a[k] * b[k];
    sxx += a[k] * a[k];
    syy += b[k] * b[k];
  }
  return correlation_of(sx, sy, sxy, sxx, syy, n, r);
}

bool in_period_bounds(int g) { return g > 250 && g <= 2000; }

}  // namespace

// Kept out of line: inlined into the search, the compiler vectorises across the samples
// (with the additions still in order, through shuffles) instead of across the windows.
[[gnu::noinline]] void correlate_windows(const float* a, const float* b, int count, int n, float* r, std::uint8_t* ok) {
  // The sums of a are the same for every window.
  float sx = 0, sxx = 0;
  for (int k = 0; k < n; ++k) {
    sx += a[k];
    sxx += a[k] * a[k];
  }
  // Each window's three sums are chains of additions, each waiting for the one before; the
  // windows are independent, so kChains neighbouring windows run side by side, every chain
  // still adding in sample order. The windows left over run one by one.
  constexpr int kChains = 8;
  int i = 0;
  for (; i + kChains <= count; i += kChains) {
    const float* base = b + i;
    float sy[kChains] = {}, sxy[kChains] = {}, syy[kChains] = {};
    for (int k = 0; k < n; ++k) {
      const float ak = a[k];
      float bk[kChains];  // sample k of each window: one load of neighbours, not kChains
      std::memcpy(bk, base + k, sizeof bk);
      for (int q = 0; q < kChains; ++q) {
        sy[q] += bk[q];
        sxy[q] += ak * bk[q];
        syy[q] += bk[q] * bk[q];
      }
    }
    for (int q = 0; q < kChains; ++q) {
      float v = 0.0f;
      ok[i + q] = correlation_of(sx, sy[q], sxy[q], sxx, syy[q], n, v) ? 1 : 0;
      r[i + q] = v;
    }
  }
  for (; i < count; ++i) {
    float sy = 0, sxy = 0, syy = 0;
    for (int k = 0; k < n; ++k) {
      const float bk = b[i + k];
      sy += bk;
      sxy += a[k] * bk;
      syy += bk * bk;
    }
    float v = 0.0f;
    ok[i] = correlation_of(sx, sy, sxy, sxx, syy, n, v) ? 1 : 0;
    r[i] = v;
  }
}

void Decode_Wave(const float* data, int& Dat_Num, float* Data2) {
  const int n = Dat_Num;
  Dat_Num = n - kSmoothing;
  if (n <= kSmoothing) return;
  // Every window is summed on its own: a sum carried along by adding one sample and taking
  // one away keeps single-precision residue of samples long gone, so equal windows would
  // differ and a clean period would no longer correlate exactly.
  for (int k = 0; k <= n - kSmoothing - 1; ++k) {
    float sum = 0.0f;
    for (int j = 1; j <= kSmoothing; ++j) sum += data[k + j];
    Data2[k] = sum / kSmoothing;
  }
}

int get_circle_sss(float* x, int Dat_Num) {
  const int n = std::clamp(Dat_Num, 0, kMaxSamples);
  float hi = -999.0f, lo = 9999.0f;
  for (int i = 0; i < n; ++i) {
    hi = std::max(hi, x[i]);
    lo = std::min(lo, x[i]);
  }
  const float range = hi - lo;
  if (!(range >= kFlatPosition)) return n;

  for (int i = 0; i < n; ++i) x[i] -= lo;

  // Work on a copy whose start value lies in the upper half of the range; samples beyond
  // the record read as 0.
  std::array<float, kSampleArraySize> w{};
  const bool upper = x[0] / range > 0.5f;
  for (int i = 0; i < n; ++i) w[i] = upper ? x[i] : range - x[i];

  std::array<float, kSampleArraySize> r{};
  // Lags are correlated a run of neighbours at a time (see correlate_windows): each run of
  // lags that qualify, rounded up to whole blocks of kBlock; a lag of the rounding keeps its
  // correlation only where it qualifies too.
  auto qualifies = [&w](int lag) {
    float q = w[lag] / w[0];
    if (q > 1.0f) q = 1.0f / q;
    return q > kLevelMatch;
  };
  constexpr int kBlock = 8;
  std::array<float, kSampleArraySize> c{};
  std::array<std::uint8_t, kSampleArraySize> ok{};
  for (int lag = kFirstLag; lag <= kLastLag;) {
    if (!qualifies(lag)) {
      ++lag;
      continue;
    }
    int run = 1;
    while (lag + run <= kLastLag && qualifies(lag + run)) ++run;
    const int count = std::min((run + kBlock - 1) / kBlock * kBlock, kLastLag - lag + 1);
    // The second window starts one sample before the lag: a peak of a period P lies at P+1.
    correlate_windows(&w[0], &w[lag - 1], count, kWindow, c.data(), ok.data());
    for (int i = 0; i < count; ++i)
      if (ok[i] && qualifies(lag + i)) r[lag + i] = c[i];
    lag += count;
  }

  float rmax = 0.0f;
  for (int lag = kFirstLag; lag <= kLastLag; ++lag) rmax = std::max(rmax, r[lag]);

  // Peak runs, slots 1..20; once full, the 20th slot takes each later run.
  std::array<int, kRunCapacity + 1> start{}, end{};
  int count = 0;
  bool open = false;           // the latest run has not ended yet
  bool open_overwrote = false; // ... and it took the full 20th slot
  int saved_start = 0, saved_end = 0;
  for (int lag = kFirstLag; lag <= kLastLag; ++lag) {
    if (r[lag] != 0.0f) {
      if (rmax > 0.0f) r[lag] = r[lag] / rmax;
      if (static_cast<double>(r[lag]) < kPeakLevel) r[lag] = 0.0f;
    }
    if (r[lag - 1] == 0.0f && r[lag] != 0.0f) {
      open_overwrote = count == kRunCapacity;
      if (open_overwrote) {
        saved_start = start[count];
        saved_end = end[count];
      } else {
        ++count;
      }
      start[count] = lag;
      open = true;
    } else if (r[lag] == 0.0f && r[lag - 1] != 0.0f) {
      end[count] = lag - 1;
      open = false;
    }
  }
  // A run still open at the last lag has no known peak: its start is not where the
  // correlation peaks, and reading it as a stroke count would shorten the period. Leave it out.
  if (open) {
    if (open_overwrote) {
      start[count] = saved_start;
      end[count] = saved_end;
    } else {
      --count;
    }
  }

  std::array<int, kRunCapacity + 1> peak{};
  for (int j = 1; j <= count; ++j) {
    peak[j] = start[j];
    float best = r[start[j]];
    for (int lag = start[j] + 1; lag <= end[j]; ++lag) {
      if (r[lag] > best) {
        best = r[lag];
        peak[j] = lag;
      }
    }
  }

  // The j-th peak is read as j strokes; the last qualifying run decides.
  int result = n;
  for (int j = 1; j <= count; ++j) {
    if (!(static_cast<double>(r[peak[j]]) > kPeakLevel)) continue;
    const int candidate = static_cast<int>(round_even(static_cast<double>(peak[j]) / j));
    if (static_cast<double>(candidate) / peak[1] > 0.95) result = candidate;
  }
  return result;
}

int get_circle(const char* /*id_chr*/, const float* data, int& Dat_Num, float circle_tol, std::string& R_iu) {
  const int n_in = std::min(Dat_Num, kSampleArraySize);
  std::vector<float> sm(static_cast<std::size_t>(std::max(n_in, 1)));
  int np = n_in;
  Decode_Wave(data, np, sm.data());
  Dat_Num = np;
  if (np < 1) return np;

  float peak_value = -999.0f;
  for (int i = 0; i < np; ++i) peak_value = std::max(peak_value, sm[i]);

  // Threshold: lower it until at least 8 % of the samples lie at or above it. The factor
  // steps in double precision, so 0.50 itself is never tried.
  std::vector<std::uint8_t> flag(static_cast<std::size_t>(np));
  double f = 0.96;
  for (;;) {
    int flagged = 0;
    for (int i = 0; i < np; ++i) {
      flag[i] = static_cast<double>(sm[i]) >= f * peak_value ? 1 : 0;
      flagged += flag[i];
    }
    if (static_cast<double>(flagged) / np >= kLeastShare) break;
    f -= 0.02;
    if (f < 0.5) return np;
  }

  // The first region above the threshold; its middle is the reference point.
  int s = 0;
  while (s < np && !flag[s]) ++s;
  int e = s;
  while (e < np && flag[e]) flag[e++] = 0;
  if (e >= np) return np;
  const int c = (s + e - 1) / 2;

  double best = 99.0;
  int best_n = 0;
  const long long last = round_even((np - e + 1) / 2.0 + e - 1);
  for (long long P = e + kLeastGap; P <= last && P < np; ++P) {
    if (!flag[P]) continue;
    const int n = static_cast<int>(P) - c;
    const int m = static_cast<int>(std::floor(static_cast<double>(np - c) / n - 1.0));
    const int other = c + n * m;
    if (m < 0 || other + n > np) continue;
    float r;
    if (correlate(&sm[c], &sm[other], n, r)) R_iu = num_text_f(r);
    // The acceptance goes by the text shown, digits and all (an older text when this
    // correlation could not be computed), in double against the single-precision tolerance:
    // a shown 0.98 lies just outside a tolerance of 0.02.
    const double d = std::fabs(1.0 - num_val(R_iu));
    if (d <= static_cast<double>(circle_tol)) {
      if (d < best) {
        best = d;
        best_n = n;
      } else {
        return best_n + 1;
      }
    }
  }
  return np;
}

float position_fundamental(const TestState& st, int count) {
  if (count < 1 || count > kSampleArraySize) return 0.0f;
  std::int16_t n = static_cast<std::int16_t>(count);
  float a[2] = {}, b[2] = {};
  get_dft_coef(st.sss.data(), n, a, b, 1);
  return static_cast<float>(std::sqrt(static_cast<double>(a[1]) * a[1] + static_cast<double>(b[1]) * b[1]));
}

void period_search(TestState& st) {
  const int N = stored_sample_count(st);
  st.gt_num = 3000;
  int g = get_circle_sss(st.sss.data(), N);
  st.gt_num = static_cast<std::int16_t>(g);
  if (in_period_bounds(g) && position_fundamental(st, g) >= kLeastFundamental) return;

  int np = N;
  st.gt_num = 3000;
  g = get_circle("first_ppp", st.pps.data(), np, st.circle_tol, st.R_iu);
  if (in_period_bounds(g)) {
    st.gt_num = static_cast<std::int16_t>(g);
    return;
  }

  std::vector<float> tail(static_cast<std::size_t>(std::max(N - kSecondSearchStart, 0)) + 1);
  for (int i = 0; i + kSecondSearchStart < N; ++i) tail[i] = st.pps[i + kSecondSearchStart];
  np = N - kSecondSearchStart;
  g = get_circle("secand_ppp", tail.data(), np, st.circle_tol, st.R_iu);
  // Longer than 40 s: the whole record is one stroke. A record too short to leave anything
  // after the first 10 s is taken whole as well.
  if (g > 2000 || g < 1) g = N;
  st.gt_num = static_cast<std::int16_t>(g);
}

}  // namespace wb
