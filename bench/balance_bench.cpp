// The automatic counterbalance analysis of a 3000-point stroke (the longest the sample
// arrays hold), in each balance mode, with the electric fits it is prepared with.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/balance/balance_analysis.h"

namespace {

wb::BalanceState held_stroke(int n) {
  std::vector<float> u(n), i(n), p(n), q(n), s(n), g(n);
  for (int k = 0; k < n; ++k) {
    const double t = 2 * 3.14159265358979 * k / n;
    p[k] = static_cast<float>(12 + 9 * std::sin(t) + 4 * std::cos(t) + 2 * std::sin(2 * t));
    u[k] = static_cast<float>(385 - 0.8 * p[k]);
    q[k] = static_cast<float>(6 + 0.3 * p[k]);
    i[k] = static_cast<float>(30 + p[k]);
    s[k] = static_cast<float>(1.5 * (1 - std::cos(t)));
    g[k] = static_cast<float>(40 + 10 * std::sin(t));
  }
  wb::BalanceState a;
  wb::take_stroke(a.held, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 1, 3);
  a.held.Cur_Well = "BENCH";
  a.held.Rms_P = 14;
  a.held.Rms_I = 40;
  return a;
}

void BM_BalanceAutomatic(benchmark::State& state) {
  wb::BalanceState a = held_stroke(3000);
  wb::ParameterBoxes t = wb::default_parameter_boxes();
  t[1] = "12";
  t[2] = "1.2";
  t[6] = "3";
  t[8] = "0";
  t[9] = "5";
  t[10] = "4";
  t[27] = "3";
  wb::AnalysisOptions opt;
  opt.mode = static_cast<wb::BalanceMode>(state.range(0));
  for (auto _ : state) {
    wb::fit_electric_regressions(a);
    wb::AnalysisStepResult r = wb::run_ph_analysis(a, t, 0, opt);
    benchmark::DoNotOptimize(r.ran);
    benchmark::DoNotOptimize(a.advice.data());
  }
}
BENCHMARK(BM_BalanceAutomatic)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
