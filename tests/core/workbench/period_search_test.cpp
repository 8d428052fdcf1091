#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <memory>
#include <numbers>
#include <vector>

#include "core/workbench/org_decode.h"
#include "core/workbench/period_search.h"
#include "../test_strokes.h"

namespace wb {
namespace {


// A joint test in memory whose header says n samples.
std::unique_ptr<TestState> state_with(int n) {
  auto st = std::make_unique<TestState>();
  st->org_head.sample_count = static_cast<std::int16_t>(n);
  return st;
}

// A clean stroke: position of the given range, lowest at sample `bottom`, over `period`.
void fill_position(TestState& st, int n, int period, double range, double offset = 0.4, int bottom = 0) {
  for (int i = 0; i < n; ++i)
    st.sss[i] =
        static_cast<float>(offset + range / 2.0 * (1.0 - std::cos(2.0 * std::numbers::pi * (i - bottom) / period)));
}

// A power curve with one hump per period (a motor carrying the upstroke only).
void fill_power(TestState& st, int n, int period) {
  for (int i = 0; i < n; ++i) {
    const double ph = std::fmod(static_cast<double>(i) / period, 1.0);
    st.pps[i] = static_cast<float>(2.0 + 8.0 * (ph < 0.5 ? std::sin(2.0 * std::numbers::pi * ph) : 0.0));
  }
}

// One window after another, every sum in one loop: the reference the side-by-side sums
// must match bit for bit.
bool serial_correlate(const float* a, const float* b, int n, float& r) {
  float sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0;
  for (int k = 0; k < n; ++k) {
    sx += a[k];
    sy += b[k];
    sxy += a[k] * b[k];
    sxx += a[k] * a[k];
    syy += b[k] * b[k];
  }
  const float fn = static_cast<float>(n);
  const float num = sxy - sx * sy / fn;
  const float vx = sxx - sx * sx / fn;
  const float vy = syy - sy * sy / fn;
  const double den = std::sqrt(std::fabs(static_cast<double>(vx * vy)));
  if (den == 0.0 || !std::isfinite(den)) return false;
  r = static_cast<float>(num / den);
  return true;
}

// Neighbouring windows from several starts of each stroke, as many as fit and counts that
// leave windows over after the blocks; of the search's 500 samples and of a short odd
// length. Flat strokes give flat windows.
TEST(PeriodSearch, WindowCorrelationsSameBitsAsOneAfterAnother) {
  for (const test::Stroke& st : test::comparison_strokes()) {
    const int len = static_cast<int>(st.x.size());
    for (int n : {500, 37}) {
      for (int start : {1, 150, 199}) {
        const int fit = len - n - start + 1;
        for (int count : {1, 7, 8, 9, 23, fit}) {
          if (count < 1 || count > fit) continue;
          SCOPED_TRACE(st.name + " n=" + std::to_string(n) + " start=" + std::to_string(start) +
                       " count=" + std::to_string(count));
          const float* b = &st.x[static_cast<std::size_t>(start)];
          std::vector<float> r(static_cast<std::size_t>(count), -7.0f);
          std::vector<std::uint8_t> ok(static_cast<std::size_t>(count), 9);
          correlate_windows(st.x.data(), b, count, n, r.data(), ok.data());
          for (int i = 0; i < count; ++i) {
            float want = 0.0f;
            const bool want_ok = serial_correlate(st.x.data(), b + i, n, want);
            ASSERT_EQ(ok[static_cast<std::size_t>(i)], want_ok ? 1 : 0) << "window " << i;
            if (want_ok) {
              ASSERT_EQ(std::bit_cast<std::uint32_t>(r[static_cast<std::size_t>(i)]),
                        std::bit_cast<std::uint32_t>(want))
                  << "window " << i;
            }
          }
        }
      }
    }
  }
}

// A stroke close to 2500/k used to be shortened by the peak run still open at the last
// lag; every clean stroke gives its own period. The peaks lie at P+1, 2P+1, ... (the second
// window starts one sample early), so p(j)/j rounds to P once two or more closed runs exist.
TEST(PeriodSearch, CleanStrokesGiveTheirOwnPeriod) {
  struct Case {
    int period;
    double range;
  } cases[] = {{500, 3.0}, {501, 3.0}, {625, 3.0}, {500, 1.2}, {625, 4.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "period " << c.period << " range " << c.range);
    auto st = state_with(3000);
    fill_position(*st, 3000, c.period, c.range);
    EXPECT_EQ(get_circle_sss(st->sss.data(), 3000), c.period);
    fill_position(*st, 3000, c.period, c.range);
    period_search(*st);
    EXPECT_EQ(st->gt_num, c.period);
    EXPECT_EQ(st->R_iu, "");  // the power search did not run
  }
}

// The worked example: a 1.2 m sinusoid with a period of 600 samples gives 600 and passes the
// harmonic test (amplitude 0.6 m); with 0.8 m the similarity search still gives 600 but the
// amplitude 0.4 m sends the cascade on to the power search.
TEST(PeriodSearch, WorkedExampleAndTheHarmonicTest) {
  auto st = state_with(3000);
  fill_position(*st, 3000, 600, 1.2);
  EXPECT_EQ(get_circle_sss(st->sss.data(), 3000), 600);
  EXPECT_NEAR(position_fundamental(*st, 600), 0.6, 2e-3);
  period_search(*st);
  EXPECT_EQ(st->gt_num, 600);

  auto low = state_with(3000);
  fill_position(*low, 3000, 600, 0.8);
  fill_power(*low, 3000, 750);
  EXPECT_EQ(get_circle_sss(low->sss.data(), 3000), 600);
  EXPECT_NEAR(position_fundamental(*low, 600), 0.4, 2e-3);
  period_search(*low);
  EXPECT_EQ(low->gt_num, 751);  // the power's period plus one
  EXPECT_NE(low->R_iu, "");
}

// The search shifts the position so that its minimum is 0, and works on the flipped copy when
// the record starts near its lowest point.
TEST(PeriodSearch, ShiftsPositionAndHandlesStartNearBottom) {
  for (int bottom : {0, 300}) {  // starts at the bottom / at the top of the stroke
    SCOPED_TRACE(bottom);
    auto st = state_with(3000);
    fill_position(*st, 3000, 600, 2.0, 0.7, bottom);
    EXPECT_EQ(get_circle_sss(st->sss.data(), 3000), 600);
    float lo = 1e9f;
    for (int i = 0; i < 3000; ++i) lo = std::min(lo, st->sss[i]);
    EXPECT_NEAR(lo, 0.0f, 1e-6);
  }
}

// Below 0.3 m of range there is no similarity search: the result is N and the position is not
// shifted; the power search then finds the period (its best candidate plus one sample).
TEST(PeriodSearch, FlatPositionFallsBackToThePowerSearch) {
  struct Case {
    double range;
    int similarity;
  } cases[] = {{0.29, 3000}, {0.0, 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range);
    auto st = state_with(3000);
    fill_position(*st, 3000, 500, c.range, 1.0);
    fill_power(*st, 3000, 600);
    const float first = st->sss[0];
    EXPECT_EQ(get_circle_sss(st->sss.data(), 3000), c.similarity);
    EXPECT_EQ(st->sss[0], first);
    period_search(*st);
    EXPECT_EQ(st->gt_num, 601);
    // The last candidate evaluated is the one after the best: just short of 1.
    const double r = std::stod(st->R_iu);
    EXPECT_GT(r, 0.98);
    EXPECT_LT(r, 1.0);
  }
}

// Flat power and flat position: no search finds anything and the whole record is one stroke.
TEST(PeriodSearch, FlatPowerAndPositionTakeTheWholeRecord) {
  for (float p : {0.0f, 3.5f}) {
    SCOPED_TRACE(p);
    auto st = state_with(3000);
    for (int i = 0; i < 3000; ++i) {
      st->sss[i] = 1.0f;
      st->pps[i] = p;
    }
    int n = 3000;
    EXPECT_EQ(get_circle("first_ppp", st->pps.data(), n, 0.02f, st->R_iu), 2980);
    EXPECT_EQ(n, 2980);
    period_search(*st);
    EXPECT_EQ(st->gt_num, 3000);
  }
}

// Records too short for the second power search are taken whole rather than given a
// negative period.
TEST(PeriodSearch, ShortRecordsNeverGetANonPositivePeriod) {
  for (int n : {1, 20, 150, 480}) {
    SCOPED_TRACE(n);
    auto st = state_with(n);
    for (int i = 0; i < n; ++i) st->pps[i] = static_cast<float>(i % 7);
    period_search(*st);
    EXPECT_GE(st->gt_num, 1);
    EXPECT_LE(st->gt_num, n);
  }
}

// The 20-sample moving average starts one sample in: Data2(k) = mean of data(k+1..k+20).
TEST(PeriodSearch, MovingAverageOfTwenty) {
  std::vector<float> d(30);
  for (int i = 0; i < 30; ++i) d[i] = static_cast<float>(i);
  std::vector<float> out(30, -1.0f);
  int n = 30;
  Decode_Wave(d.data(), n, out.data());
  EXPECT_EQ(n, 10);
  for (int k = 0; k < 10; ++k) EXPECT_FLOAT_EQ(out[k], k + 10.5f) << k;  // mean of k+1..k+20
  EXPECT_EQ(out[10], -1.0f);
}

// Each smoothed sample is the sum of its own 20 samples divided by 20: a sum carried from
// window to window would keep rounding residue from samples long gone (a large value before
// small ones) and make windows of equal samples differ.
TEST(PeriodSearch, SmoothingSumsEachWindowOnItsOwn) {
  std::vector<std::vector<float>> inputs;
  std::vector<float> burst(200, 1.0f);
  for (int i = 0; i < 25; ++i) burst[i] = 1.0e7f + 0.37f * i;
  inputs.push_back(burst);
  std::vector<float> periodic(3000);
  for (int i = 0; i < 3000; ++i)
    periodic[i] =
        static_cast<float>(2.0 + 8.0 * std::sin(2.0 * std::numbers::pi * (i % 600) / 600.0) + 0.001 * (i % 7));
  inputs.push_back(periodic);
  for (const auto& d : inputs) {
    int n = static_cast<int>(d.size());
    std::vector<float> out(d.size());
    Decode_Wave(d.data(), n, out.data());
    for (int k = 0; k < n; ++k) {
      float sum = 0.0f;
      for (int j = 1; j <= 20; ++j) sum += d[k + j];
      ASSERT_EQ(out[k], sum / 20.0f) << k;
    }
  }
}

// The threshold factor steps down from 0.96 in double precision and gives up before 0.50:
// a curve that would need exactly 0.50 to flag 8 % of its samples finds nothing.
TEST(PeriodSearch, ThresholdNeverTriesHalf) {
  std::vector<float> d(1000, 0.0f);
  for (int i = 100; i < 130; ++i) d[i] = 1.0f;  // about 3 % at or above 0.52 once smoothed
  for (int i = 300; i < 400; ++i) d[i] = 0.5f;  // exactly half the peak: would add 8 %
  std::string r_iu = "0.5";
  int n = 1000;
  EXPECT_EQ(get_circle("first_ppp", d.data(), n, 0.02f, r_iu), 980);
  EXPECT_EQ(r_iu, "0.5");  // no candidate was evaluated
}

// The tolerance is tested against the coefficient as the box shows it. With a tolerance of 0
// only a correlation shown as exactly 1 passes: the smoothed clean curve gets there at
// n = 600 (d = 0) and again at a later whole multiple, where the search stops with 600 + 1.
TEST(PeriodSearch, ToleranceActsOnTheShownCoefficient) {
  auto st = state_with(3000);
  fill_power(*st, 3000, 600);
  struct Case {
    float tol;
    int expected;
  } cases[] = {{0.0f, 601}, {0.02f, 601}, {0.5f, 601}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tol);
    int n = 3000;
    std::string r_iu;
    EXPECT_EQ(get_circle("first_ppp", st->pps.data(), n, c.tol, r_iu), c.expected);
    EXPECT_FALSE(r_iu.empty());
    if (c.tol == 0.0f) {
      EXPECT_EQ(r_iu, "1");
    }
  }
}

// A correlation that cannot be computed (the later window lies in a flat stretch) leaves
// R_iu as it was, and the acceptance tests that older text. Two successive candidates then
// have the same d: the search stops at the second with the first's period plus one.
// Smoothed humps at 99..239 and 499..639 are flagged; c = (99 + 240 - 1) / 2 = 169; the first
// candidate P = 499 gives n = 330 and m = 4, a window from 1489 on, where the record is flat.
TEST(PeriodSearch, FlatComparisonWindowKeepsTheShownCoefficient) {
  std::vector<float> d(2000, 0.0f);
  for (int i = 100; i < 260; ++i) d[i] = 10.0f;
  for (int i = 500; i < 660; ++i) d[i] = 10.0f;
  std::string r_iu = "0.995";
  int n = 2000;
  EXPECT_EQ(get_circle("first_ppp", d.data(), n, 0.02f, r_iu), 331);
  EXPECT_EQ(r_iu, "0.995");
  // A text beyond the tolerance accepts nothing: the scan runs out and gives N'. d is taken
  // in double against the single-precision tolerance: 1 - 0.98 = 0.020000000000000018 lies
  // just above 0.02f = 0.0199999995, so a shown 0.98 is outside a tolerance of 0.02, and
  // inside one of 0.04f doubled from it.
  struct Case {
    const char* shown;
    float tol;
    int expected;
  } cases[] = {{"0.9", 0.02f, 1980}, {"0.98", 0.02f, 1980}, {"0.9800001", 0.02f, 331}, {"0.98", 0.04f, 331}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.shown << " tol " << c.tol);
    r_iu = c.shown;
    n = 2000;
    EXPECT_EQ(get_circle("first_ppp", d.data(), n, c.tol, r_iu), c.expected);
  }
}

}  // namespace
}  // namespace wb
