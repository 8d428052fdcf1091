#include "core/electric/synthetic_wave.h"

#include <cmath>
#include <numbers>

#include "core/common/number_text.h"
#include "core/common/record_store.h"

namespace wb {
namespace {

void put_harmonics(const std::vector<WaveHarmonic>& hs, int orders, std::array<float, 50>& sn,
                   std::array<float, 50>& cs) {
  for (const WaveHarmonic& h : hs) {
    if (h.order < 0 || h.order >= orders || h.order >= 50) continue;
    const double ph = h.phase_deg * std::numbers::pi / 180.0;
    sn[h.order] += static_cast<float>(h.amplitude * std::cos(ph));
    cs[h.order] += static_cast<float>(h.amplitude * std::sin(ph));
  }
}

// RMS of the stored series: √(a0²/4 + Σ (a² + b²)/2).
double rms_of(const std::array<float, 50>& sn, const std::array<float, 50>& cs, int orders) {
  double s = 0;
  for (int k = 0; k < orders; ++k) {
    const double a = cs[k], b = sn[k];
    s += k == 0 ? a * a / 4.0 : (a * a + b * b) / 2.0;
  }
  return std::sqrt(s);
}

std::int16_t scaled(double v, double factor) { return to_i16(v * factor).value_or(0); }

}  // namespace

XbtRecord synthetic_wave_record(const SyntheticWave& w) {
  XbtRecord r;
  r.well_name = w.well_name;
  r.test_date = w.test_date;
  r.order_num = w.order_num;
  const int orders = std::clamp<int>(w.order_num, 0, 50);
  put_harmonics(w.current, orders, r.ii_sin, r.ii_cos);
  put_harmonics(w.voltage, orders, r.uu_sin, r.uu_cos);

  const double i_rms = rms_of(r.ii_sin, r.ii_cos, orders);
  const double u_rms = rms_of(r.uu_sin, r.uu_cos, orders);
  double phase = 0, i1_rms = 0;
  if (orders > 1) {
    const double pu = std::atan2(r.uu_cos[1], r.uu_sin[1]);
    const double pi1 = std::atan2(r.ii_cos[1], r.ii_sin[1]);
    phase = (pu - pi1) * 180.0 / std::numbers::pi;
    while (phase > 180) phase -= 360;
    while (phase <= -180) phase += 360;
    i1_rms = std::hypot(r.ii_sin[1], r.ii_cos[1]) / std::numbers::sqrt2;
  }
  const double p_kw = std::sqrt(3.0) * u_rms * i1_rms * std::cos(phase * std::numbers::pi / 180.0) / 1000.0;
  const double s_kva = std::sqrt(3.0) * u_rms * i_rms / 1000.0;
  r.current = scaled(i_rms, 100);
  r.voltage = scaled(u_rms, 50);
  r.active_power = scaled(p_kw, 100);
  r.apparent_power = scaled(s_kva, 100);
  r.power_factor = s_kva > 0 ? scaled(p_kw / s_kva, 10000) : 0;
  r.phase_diff = scaled(phase, 100);
  return r;
}

bool write_synthetic_wave_test(const std::filesystem::path& path, const SyntheticWave& w) {
  return write_file_atomic(path, synthetic_wave_record(w).encode());
}

}  // namespace wb
