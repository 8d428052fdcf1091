// A synthetic waveform test: one supply cycle of a motor's line voltage and current with a
// few harmonics, written as a one-record waveform file (XbtRecord layout), as the field
// instrument would. Used for demonstrations and tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/common/test_records.h"

namespace wb {

// One harmonic of a waveform: peak amplitude and phase (degrees) of h·θ in
// amplitude·sin(h·θ + phase).
struct WaveHarmonic {
  int order = 1;
  double amplitude = 0;
  double phase_deg = 0;
};

struct SyntheticWave {
  std::string well_name = "示范井1";
  std::string test_date = "202403151030";  // yyyymmddhhmm
  std::int16_t order_num = 20;              // orders 0..order_num-1 stored
  // 380 V line voltage (537 V peak) with a little 5th and 7th harmonic distortion.
  std::vector<WaveHarmonic> voltage = {{1, 537.4, 0.0}, {5, 10.7, 20.0}, {7, 5.4, -40.0}};
  // 30 A RMS current lagging by 35 degrees, with the 5th, 7th and 11th harmonics of a drive.
  std::vector<WaveHarmonic> current = {{1, 42.4, -35.0}, {5, 4.2, 60.0}, {7, 2.5, -110.0}, {11, 1.1, 30.0}};
};

// Builds the record: coefficients b(h) = A·cos φ (sine), a(h) = A·sin φ (cosine); harmonics
// of order order_num or above are left out. The electric values are those of a three-phase
// motor: RMS current and voltage, P = √3·U·I₁·cos φ₁, S = √3·U·I, power factor P/S and the
// phase difference of the fundamentals.
XbtRecord synthetic_wave_record(const SyntheticWave& w);

// Writes the record as a 1024-byte file (atomically); false when it cannot be written.
[[nodiscard]] bool write_synthetic_wave_test(const std::filesystem::path& path, const SyntheticWave& w = {});

}  // namespace wb
