// The efficiency window's computations at their largest sizes: the calculation over the
// box texts, the electric rescaling of a 3000-sample stroke, and the hand-over of a
// 3000-sample stroke with the base data carried forward from a library of 5000 records.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "bench_libraries.h"
#include "core/efficiency/effi_calc.h"
#include "core/efficiency/effi_hand_over.h"
#include "core/efficiency/effi_rescale.h"
#include "core/records/gt_ym_record.h"

namespace {

wb::SysEffiState worked_example() {
  wb::SysEffiState s;
  const std::pair<int, const char*> boxes[] = {{0, "W1"},   {23, "200605121430"}, {5, "20"},  {15, "0.95"},
                                               {16, "0.8"}, {17, "0.5"},          {18, "800"}, {19, "1000"},
                                               {25, "10"},  {26, "5"},            {4, "56"},  {21, "3"},
                                               {22, "6"},   {12, "500"},          {13, "500"}, {47, "100"},
                                               {48, "38"}};
  for (const auto& [i, t] : boxes) s.Text1[static_cast<std::size_t>(i)] = t;
  return s;
}

void BM_EffiCalc(benchmark::State& state) {
  wb::SysEffiState s = worked_example();
  std::array<std::string, 6> main{"200605121430", "", "W1", "", "", ""};
  for (auto _ : state) {
    wb::EffiCalcOutcome out = wb::Cmd_Calc_Click(s, main);
    benchmark::DoNotOptimize(out);
  }
}

// A stroke of 3000 samples at 380 V; the factor alternates so the curves stay bounded.
void BM_EffiRescale3000(benchmark::State& state) {
  wb::SysEffiState s;
  s.iu_num = wb::kMaxSamples;
  s.cs_fs = 1;
  s.read_sgt_dnt_org = 3;
  const std::size_t n = wb::kSampleArraySize;
  s.uus.assign(n, 380.0f);
  s.pps.resize(n);
  s.qqs.resize(n);
  s.iis.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    s.pps[i] = 10.0f + 5.0f * static_cast<float>(std::sin(2 * 3.14159265 * static_cast<double>(i) / 3000));
    s.qqs[i] = 6.0f;
  }
  s.Text1[25] = "10";
  s.Text1[32] = "9.1/7.9";
  s.Text1[40] = "8.5";
  std::array<std::string, 16> main{};
  bool up = true;
  for (auto _ : state) {
    wb::Recalc_Pow_Param(s, up ? 1.25 : 0.8, main);
    up = !up;
    benchmark::DoNotOptimize(s.iis[1500]);
  }
}

void BM_EffiHandOverCarryForward(benchmark::State& state) {
  const auto lib = std::filesystem::temp_directory_path() / ("wb_bench_gt_ym" + std::to_string(::getpid()) + ".dat");
  wbbench::write_carry_forward_library(lib, 5000);
  wb::SampleArray a{};
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<float>(i % 97);
  std::array<std::string, 6> main1{"200605121430", "", "W7", "", "", ""};  // newest record near the end
  std::array<std::string, 16> main3{};
  main3[1] = "10";
  std::int16_t n = wb::kMaxSamples;
  wb::SysEffiState s;
  for (auto _ : state) {
    wb::effi_hand_over(s, a, a, a, a, a, a, n, n, 1, 3, main1, main3);
    benchmark::DoNotOptimize(wb::carry_forward_base_data(s, lib));
  }
  std::filesystem::remove(lib);
}

}  // namespace

BENCHMARK(BM_EffiCalc);
BENCHMARK(BM_EffiRescale3000);
BENCHMARK(BM_EffiHandOverCarryForward)->Unit(benchmark::kMillisecond);
