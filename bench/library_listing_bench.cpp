// Listing the keyed libraries at field scale: 10 000 records over 100 wells, as the main
// window's library grid (card, electric and waveform libraries) and the counterbalance
// window's well and test lists read them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/balance/phfx_record.h"
#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/test_records.h"
#include "core/workbench/test_libraries.h"

namespace {

namespace fs = std::filesystem;

// A library of `n` records of `len` bytes: well name (16 bytes) and test date (12 bytes)
// in GBK at the start of each record, the rest filled with curve-like bytes.
bool write_keyed_library(const fs::path& path, std::size_t len, int n) {
  wb::Bytes content;
  content.reserve(static_cast<std::size_t>(n) * len);
  for (int i = 0; i < n; ++i) {
    const std::string key = wb::gbk_field("井" + std::to_string(i % 100), 16) +
                            wb::gbk_field("2024" + std::to_string(10000000 + i), 12);
    content.insert(content.end(), key.begin(), key.end());
    for (std::size_t k = key.size(); k < len; ++k) content.push_back(static_cast<std::uint8_t>(k * 7 + i));
  }
  return wb::write_file_atomic(path, content);
}

fs::path bench_path(const char* name) {
  return fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()) + ".dat");
}

// The main window's library grid; the argument is the record length of the library.
void BM_TestLibraryGrid_10000Records(benchmark::State& state) {
  const auto len = static_cast<std::size_t>(state.range(0));
  const fs::path path = bench_path("wb_bench_grid_");
  if (!write_keyed_library(path, len, 10000)) {
    state.SkipWithError("cannot write the library");
    return;
  }
  std::vector<wb::GridRow> rows;
  for (auto _ : state) {
    const wb::LibStatus s = wb::Load_Grid_Dat(path, len, rows);
    benchmark::DoNotOptimize(s);
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows.size());
  fs::remove(path);
}
BENCHMARK(BM_TestLibraryGrid_10000Records)
    ->Arg(wb::kSgtRecordSize)
    ->Arg(wb::kDntRecordSize)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// The counterbalance window's well list and one well's tests.
void BM_BalanceWellLists_10000Records(benchmark::State& state) {
  const fs::path path = bench_path("wb_bench_phfx_");
  if (!write_keyed_library(path, wb::kPhfxRecordSize, 10000)) {
    state.SkipWithError("cannot write the library");
    return;
  }
  std::size_t wells = 0, tests = 0;
  for (auto _ : state) {
    std::vector<std::string> w, t;
    if (wb::phfx_wells(path, w) != wb::StoreStatus::Ok || wb::phfx_tests(path, "井42", t) != wb::StoreStatus::Ok) {
      state.SkipWithError("cannot list the library");
      return;
    }
    wells = w.size();
    tests = t.size();
    benchmark::DoNotOptimize(w.data());
    benchmark::DoNotOptimize(t.data());
  }
  state.counters["wells"] = static_cast<double>(wells);
  state.counters["tests"] = static_cast<double>(tests);
  fs::remove(path);
}
BENCHMARK(BM_BalanceWellLists_10000Records)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
