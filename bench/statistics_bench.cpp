// The efficiency statistics at the library's largest expected size, 10 000 records: loading
// the library into the table with its average row (read, parse, trim, average), the filter's
// table, and the text export of the full table. The grid fill of the window is measured in
// the window test's own timing, not here.
#include <benchmark/benchmark.h>
#include <sched.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/records/gt_ym_record.h"
#include "core/statistics/effi_stat_export.h"
#include "core/statistics/effi_stat_state.h"
#include "bench_libraries.h"

namespace {

namespace fs = std::filesystem;

// A program folder with an efficiency library of n records over n/10 wells in 8 blocks.
struct StatLibrary {
  wb::ProgramFolder prog;
  explicit StatLibrary(int n) {
    std::random_device rd;
    prog.root = fs::temp_directory_path() / ("wb_stat_bench_" + std::to_string(rd()));
    prog.create_folders();
    wbbench::write_stat_library(wb::gt_ym_path(prog), n);
  }
  ~StatLibrary() {
    std::error_code ec;
    fs::remove_all(prog.root, ec);
  }
};

void BM_StatLoadAndAverage(benchmark::State& state) {
  StatLibrary lib(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    wb::EffiStatState st(wb::gt_ym_path(lib.prog));
    if (st.load_library("20261210") != wb::StatFileStatus::Ok) {
      state.SkipWithError("the library was not read");
      break;
    }
    benchmark::DoNotOptimize(st.grid.rows.back()[22].data());
  }
}
BENCHMARK(BM_StatLoadAndAverage)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the parse's threads buy, side by side in wall time at the record limit: 0 = as the
// program runs (parts on up to four threads where the process may use several processors),
// 1 = the process confined to one processor, where the work runs on the calling thread alone.
void BM_StatLoad_ThreadsOrAlone_32767(benchmark::State& state) {
  StatLibrary lib(32767);
  cpu_set_t all;
  CPU_ZERO(&all);
  if (sched_getaffinity(0, sizeof all, &all) != 0) {
    state.SkipWithError("the processors of the process are not known");
    return;
  }
  if (state.range(0) == 1) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu() < 0 ? 0 : sched_getcpu(), &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) {
      state.SkipWithError("the process could not be confined to one processor");
      return;
    }
  }
  for (auto _ : state) {
    wb::EffiStatState st(wb::gt_ym_path(lib.prog));
    if (st.load_library("20261210") != wb::StatFileStatus::Ok) {
      state.SkipWithError("the library was not read");
      break;
    }
    benchmark::DoNotOptimize(st.grid.rows.back()[22].data());
  }
  sched_setaffinity(0, sizeof all, &all);
}
BENCHMARK(BM_StatLoad_ThreadsOrAlone_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StatFilteredTable(benchmark::State& state) {
  StatLibrary lib(static_cast<int>(state.range(0)));
  wb::EffiStatState st(wb::gt_ym_path(lib.prog));
  if (st.load_library("20261210") != wb::StatFileStatus::Ok) {
    state.SkipWithError("the library was not read");
    return;
  }
  st.choose_field("单元号");
  for (auto _ : state) {
    st.choose_value("采油3队");
    if (st.run_filter("20261210") != wb::EffiStatState::Filter::Shown) {
      state.SkipWithError("nothing was filtered");
      break;
    }
    benchmark::DoNotOptimize(st.grid.rows.back()[22].data());
  }
}
BENCHMARK(BM_StatFilteredTable)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StatExport(benchmark::State& state) {
  StatLibrary lib(static_cast<int>(state.range(0)));
  wb::EffiStatState st(wb::gt_ym_path(lib.prog));
  if (st.load_library("20261210") != wb::StatFileStatus::Ok) {
    state.SkipWithError("the library was not read");
    return;
  }
  for (auto _ : state) {
    const wb::Bytes out = wb::stat_export_bytes(st.grid.rows);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_StatExport)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
