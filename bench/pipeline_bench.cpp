// The joint-test pipeline on a full 3000-sample test: decode from the file, period search,
// bottom dead centre, results and both records. Charts are not drawn.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/joint_pipeline.h"
#include "core/samples/synthetic_tests.h"

namespace {

void run_pipeline(benchmark::State& state, const wb::SyntheticJointParams& p, const char* name) {
  const auto path = std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid()) + ".o01");
  if (!wb::write_synthetic_joint_test(path, p)) {
    state.SkipWithError("cannot write the test file");
    return;
  }
  auto st = std::make_unique<wb::TestState>();
  for (auto _ : state) {
    std::optional<wb::Refusal> refused = wb::tx_org(*st, path.string(), 1);
    wb::RecordBuildReport rep = wb::Pow_Sgt_Dat_Prep(*st);
    benchmark::DoNotOptimize(refused);
    benchmark::DoNotOptimize(rep);
    benchmark::DoNotOptimize(st->dnt_rec.pp_cos[31]);
  }
  state.counters["gt_num"] = st->gt_num;
  std::filesystem::remove(path);
}

// A 3 m, 6 strokes/min unit: the position search finds the period.
void BM_JointPipeline_PositionSearch(benchmark::State& state) {
  wb::SyntheticJointParams p;
  run_pipeline(state, p, "wb_bench_pos");
}

// A 0.8 m stroke: the position's fundamental is below 0.5 m, so the power search runs too.
void BM_JointPipeline_BothSearches(benchmark::State& state) {
  wb::SyntheticJointParams p;
  p.stroke = 0.8;
  p.stretch = 0.1;
  run_pipeline(state, p, "wb_bench_both");
}

}  // namespace

BENCHMARK(BM_JointPipeline_PositionSearch)->Unit(benchmark::kMicrosecond)->ReportAggregatesOnly(true);
BENCHMARK(BM_JointPipeline_BothSearches)->Unit(benchmark::kMicrosecond)->ReportAggregatesOnly(true);
