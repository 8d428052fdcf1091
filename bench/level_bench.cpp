// The automatic sound speed and level on a full 5001-sample echo (the largest a test holds).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/common/gbk.h"
#include "core/common/services.h"
#include "core/level/level_library.h"
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
  if (!wb::load_level_data(wb::make_synthetic_level_test(p), t)) state.SkipWithError("synthetic test not loaded");
  const auto dir = std::filesystem::temp_directory_path() / ("wb_level_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  if (!wb::write_level_template(dir / wb::kLevelTemplateFile)) state.SkipWithError("template not written");
  SilentMessages msg;
  for (auto _ : state) {
    wb::get_yg_dft_auto(t);
    wb::like_level(t, dir, msg);
    benchmark::DoNotOptimize(t.auto_level_index);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LevelSpeedAndLevel)->Unit(benchmark::kMillisecond)->UseRealTime();

// Listing a library of 10 000 records (a sparse file of 201 MB with keys in every record),
// reading only the key bytes.
static void BM_LevelLibraryList(benchmark::State& state) {
  const auto root = std::filesystem::temp_directory_path() / ("wb_level_list_" + std::to_string(::getpid()));
  wb::ProgramFolder folder{root};
  folder.create_folders();
  const auto path = folder.sys() / wb::kDymFile;
  {
    std::ofstream out(path, std::ios::binary);
    const std::string gbk = wb::gbk_field("示范井", 17) + wb::gbk_field("200605121430", 12);
    for (int i = 0; i < 10000; ++i) {
      out.seekp(static_cast<std::streamoff>(i) * wb::kDymRecordSize);
      out.write(gbk.data(), static_cast<std::streamsize>(gbk.size()));
    }
    out.seekp(static_cast<std::streamoff>(10000) * wb::kDymRecordSize - 1);
    out.put('\0');
  }
  wb::LevelLibrary lib(folder);
  std::vector<wb::LevelLibraryRow> rows;
  for (auto _ : state) {
    if (lib.list(rows) != wb::LimitedStatus::Ok) state.SkipWithError("library not listed");
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows.size());
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_LevelLibraryList)->Unit(benchmark::kMillisecond)->UseRealTime();
