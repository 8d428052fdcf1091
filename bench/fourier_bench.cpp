// The Fourier codec on stroke-sized inputs: coding a 3000-point curve and rebuilding it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/common/fourier.h"

static void BM_FourierCoef(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<float> x(n), a(32), b(32);
  for (int j = 0; j < n; ++j) x[j] = static_cast<float>(std::sin(j * 0.01) + 0.3 * std::cos(j * 0.05));
  for (auto _ : state) {
    wb::Fourier_Coef(x.data(), static_cast<std::int16_t>(n), 32, a.data(), b.data());
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_FourierCoef)->Arg(500)->Arg(3000);

static void BM_FourierSynth(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<float> x(n), a(32, 0.1f), b(32, 0.05f);
  for (auto _ : state) {
    wb::Fourier_Synth(x.data(), static_cast<std::int16_t>(n), 32, a.data(), b.data());
    benchmark::DoNotOptimize(x.data());
  }
}
BENCHMARK(BM_FourierSynth)->Arg(145)->Arg(500);
