#include "core/electric/synthetic_wave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/common/fourier.h"
#include "core/common/record_store.h"
#include "core/common/trim.h"
#include "core/electric/harmonics.h"

namespace wb {
namespace {

TEST(SyntheticWave, WritesARecordThatReadsBack) {
  const auto dir = std::filesystem::temp_directory_path() / "wb_synth_wave_test";
  std::filesystem::create_directories(dir);
  const auto path = dir / "demo.x01";
  ASSERT_TRUE(write_synthetic_wave_test(path));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(read_file(path, bytes));
  ASSERT_EQ(bytes.size(), kXbtRecordSize);
  XbtRecord r;
  ASSERT_TRUE(r.decode(bytes));
  std::filesystem::remove_all(dir);

  EXPECT_EQ(Trim_Blank_Nul(r.well_name), "示范井1");
  EXPECT_EQ(r.test_date, "202403151030");
  EXPECT_EQ(r.order_num, 20);
  // Current 42.4 A peak fundamental with 4.2, 2.5 and 1.1 A harmonics: RMS √(Σ A²/2) = 30.13 A.
  const double i_rms = std::sqrt((42.4 * 42.4 + 4.2 * 4.2 + 2.5 * 2.5 + 1.1 * 1.1) / 2);
  const double u_rms = std::sqrt((537.4 * 537.4 + 10.7 * 10.7 + 5.4 * 5.4) / 2);
  EXPECT_NEAR(r.current, i_rms * 100, 1);
  EXPECT_NEAR(r.voltage, u_rms * 50, 1);
  EXPECT_EQ(r.phase_diff, 3500);  // the current lags the voltage by 35 degrees
  const double p = std::sqrt(3.0) * u_rms * (42.4 / std::sqrt(2.0)) * std::cos(35 * M_PI / 180) / 1000;
  EXPECT_NEAR(r.active_power, p * 100, 1);
  EXPECT_NEAR(r.power_factor, p / (std::sqrt(3.0) * u_rms * i_rms / 1000) * 10000, 1);

  // The rebuilt cycle: at θ = 0 the current is Σ A·sin φ over its harmonics.
  std::array<float, 180> iis{};
  reader_series(iis.data(), 180, 180, r.order_num - 1, r.ii_cos.data(), r.ii_sin.data());
  const double d = M_PI / 180;
  const double i0 = 42.4 * std::sin(-35 * d) + 4.2 * std::sin(60 * d) + 2.5 * std::sin(-110 * d) + 1.1 * std::sin(30 * d);
  EXPECT_NEAR(iis[0], i0, 1e-3);
  // Shares: order 5 of the current is 4.2 of the root-sum-square.
  const double s = std::sqrt(42.4 * 42.4 + 4.2 * 4.2 + 2.5 * 2.5 + 1.1 * 1.1);
  EXPECT_NEAR(Get_Xb_Percent(r).current[5], 100 * 4.2 / s, 1e-3);
}

TEST(SyntheticWave, HarmonicsAtOrAboveOrderNumAreLeftOut) {
  SyntheticWave w;
  w.order_num = 8;  // drops the 11th harmonic of the current
  XbtRecord r = synthetic_wave_record(w);
  EXPECT_EQ(r.ii_sin[11], 0.0f);
  EXPECT_NE(r.ii_sin[7], 0.0f);
}

}  // namespace
}  // namespace wb
