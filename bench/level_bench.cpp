// The automatic sound speed and level on a full 5001-sample echo (the largest a test holds).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "core/common/services.h"
#include "core/level/level_analysis.h"
#include "core/level/level_file.h"
#include "core/level/synthetic_level.h"

namespace {

struct SilentMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

}  // namespace

static void BM_LevelSpeedAndLevel(benchmark::State& state) {
  wb::SyntheticLevelParams p;
  p.sample_count = wb::kEchoSamples;
  wb::LevelTest t;
  wb::load_level_data(wb::make_synthetic_level_test(p), t);
  const auto dir = std::filesystem::temp_directory_path() / ("wb_level_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  wb::write_level_template(dir / wb::kLevelTemplateFile);
  SilentMessages msg;
  for (auto _ : state) {
    wb::get_yg_dft_auto(t);
    wb::like_level(t, dir, msg);
    benchmark::DoNotOptimize(t.auto_level_index);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LevelSpeedAndLevel)->Unit(benchmark::kMillisecond);
