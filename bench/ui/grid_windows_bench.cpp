// What the user waits on when a big library fills a grid, at 10 000 records and at the
// libraries' limit of 32 767 records (each library written once per run and reused), each measured until the grid has been painted once (grab() paints
// it offscreen): the main window's card library listed by its button, the statistics window
// opened on the efficiency library, its reload and a filter. Each case reports the process's
// resident memory as counters (rss_MB now, max_rss_MB the peak so far); run one case alone to
// read the memory a case needs.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QCoreApplication>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "core/common/paths.h"
#include "core/common/record_limit.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/gt_ym_record.h"
#include <map>
#include <memory>
#include "core/workbench/test_libraries.h"
#include "platform/grid.h"
#include "ui/statistics/sys_effi_assemble.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"
#include "../bench_libraries.h"

namespace {

namespace fs = std::filesystem;


double rss_mb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double max_rss_mb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;  // kB on Linux
}

// VmRSS and VmHWM of /proc/self/status in MB (the resident memory now and its peak since
// the last reset_peak_memory).
std::pair<double, double> status_memory_mb() {
  double rss = 0, hwm = 0;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      long kb = 0;
      if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) rss = static_cast<double>(kb) / 1024.0;
      if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) hwm = static_cast<double>(kb) / 1024.0;
    }
    std::fclose(f);
  }
  return {rss, hwm};
}

// Hands the memory the set-up freed back to the system and starts the peak afresh (writing
// 5 to clear_refs resets VmHWM), so the peak is the window's own.
void reset_peak_memory() {
  malloc_trim(0);
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

void report_memory(benchmark::State& state) {
  state.counters["rss_MB"] = rss_mb();
  state.counters["max_rss_MB"] = max_rss_mb();
}

// Paints the grid once, as the screen would after the fill.
void paint(wb::Grid* g) {
  QCoreApplication::processEvents();
  const QPixmap p = g->grab();
  benchmark::DoNotOptimize(p.cacheKey());
}

// A program folder with a card library and an efficiency library of n records each (the
// efficiency records over n/10 wells in 8 blocks, as the core's statistics benchmark has).
struct BigLibraries {
  wb::test::TempProgramFolder tmp;
  wb::ProgramFolder prog{tmp.path()};
  explicit BigLibraries(int n) {
    prog.create_folders();
    {
      std::ofstream out(wb::library_path(prog, wb::LibraryKind::Card), std::ios::binary);
      for (int i = 1; i <= n; ++i) {
        wb::SgtRecord r;
        r.well_name = "北" + std::to_string(i / 10) + "-" + std::to_string(i % 10);
        r.test_date = "2004010112" + std::to_string(10 + i % 50);
        r.point_num = 500;
        r.ss_cos[0] = 3.0f;
        r.gg_cos[0] = 80.0f;
        const auto b = r.encode();
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
      }
    }
    wbbench::write_stat_library(wb::gt_ym_path(prog), n);
    sound = wb::check_gt_ym_library(wb::gt_ym_path(prog)).empty();
  }
  bool sound = false;  // every efficiency record passes the record checks
};

// The libraries of n records, written at their first use in the run.
BigLibraries& libraries(int n) {
  static std::map<int, std::unique_ptr<BigLibraries>> made;
  auto& l = made[n];
  if (!l) l = std::make_unique<BigLibraries>(n);
  return *l;
}

void LibraryGridFill(benchmark::State& state, int kRecords) {
  wb::test::ScopedFakeServices fakes;
  BigLibraries& libs = libraries(kRecords);
  wb::RodEngMapDisplay w(libs.prog);
  w.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    w.Image1_Click(4);  // the card library's button
    paint(w.Grid1);
  }
  if (w.Grid1->rows() != kRecords + 1) state.SkipWithError("the card library was not listed");
  report_memory(state);
}
void BM_LibraryGridFill_10000(benchmark::State& state) { LibraryGridFill(state, 10000); }
void BM_LibraryGridFill_32767(benchmark::State& state) { LibraryGridFill(state, static_cast<int>(wb::kMaxLibraryRecords)); }
BENCHMARK(BM_LibraryGridFill_10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibraryGridFill_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

void StatisticsOpen(benchmark::State& state, int kRecords) {
  wb::test::ScopedFakeServices fakes;
  BigLibraries& libs = libraries(kRecords);
  if (!libs.sound) {
    state.SkipWithError("the efficiency library does not pass the record checks");
    return;
  }
  int rows = 0;
  for (auto _ : state) {
    auto* w = new wb::SysEffiAssemble(libs.prog);
    w->show();
    paint(w->Grid1);
    rows = w->Grid1->rows();
    state.PauseTiming();
    report_memory(state);
    delete w;
    state.ResumeTiming();
  }
  if (rows != kRecords + 2) state.SkipWithError("the library was not tabulated");
}
void BM_StatisticsWindowOpen_10000(benchmark::State& state) { StatisticsOpen(state, 10000); }

// The resident memory of the program once the statistics window has tabulated a library at
// the limit, opened as the efficiency window's "效率统计" opens it: rss_MB after the window
// is painted, peak_MB the most the process held since the libraries were written (run the
// case alone: other cases leave their windows' memory behind).
void BM_StatisticsMemory_32767(benchmark::State& state) {
  wb::test::ScopedFakeServices fakes;
  const int n = static_cast<int>(wb::kMaxLibraryRecords);
  BigLibraries& libs = libraries(n);
  if (!libs.sound) {
    state.SkipWithError("the efficiency library does not pass the record checks");
    return;
  }
  reset_peak_memory();
  int rows = 0;
  double rss = 0, peak = 0;
  for (auto _ : state) {
    wb::SysEffiAssemble* w = wb::show_sys_effi_assemble(libs.prog);
    paint(w->Grid1);
    rows = w->Grid1->rows();
    state.PauseTiming();
    std::tie(rss, peak) = status_memory_mb();
    delete w;
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["rss_MB"] = rss;
  state.counters["peak_MB"] = peak;
  if (rows != n + 2) state.SkipWithError("the library was not tabulated");
}
BENCHMARK(BM_StatisticsMemory_32767)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_StatisticsOpen_32767(benchmark::State& state) { StatisticsOpen(state, static_cast<int>(wb::kMaxLibraryRecords)); }
BENCHMARK(BM_StatisticsWindowOpen_10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StatisticsOpen_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

void StatisticsReload(benchmark::State& state, int kRecords) {
  wb::test::ScopedFakeServices fakes;
  BigLibraries& libs = libraries(kRecords);
  wb::SysEffiAssemble w(libs.prog);
  w.show();
  paint(w.Grid1);
  for (auto _ : state) {
    w.Form_Load();
    paint(w.Grid1);
  }
  if (w.Grid1->rows() != kRecords + 2) state.SkipWithError("the library was not tabulated");
  report_memory(state);
}
void BM_StatisticsReload_10000(benchmark::State& state) { StatisticsReload(state, 10000); }
void BM_StatisticsReload_32767(benchmark::State& state) { StatisticsReload(state, static_cast<int>(wb::kMaxLibraryRecords)); }
BENCHMARK(BM_StatisticsReload_10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StatisticsReload_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// "单元号" = "采油3队": an eighth of the library (1 250 rows of 10 000).
void StatisticsFilter(benchmark::State& state, int kRecords) {
  wb::test::ScopedFakeServices fakes;
  BigLibraries& libs = libraries(kRecords);
  wb::SysEffiAssemble w(libs.prog);
  w.show();
  paint(w.Grid1);
  const int field = w.Combo1->findText(QStringLiteral("单元号"));
  if (field < 0) {
    state.SkipWithError("no field 单元号");
    return;
  }
  w.Combo1->setCurrentIndex(field);
  w.Combo1_Click();
  const int value = w.Combo2->findText(QStringLiteral("采油3队"));
  if (value < 0) {
    state.SkipWithError("no value 采油3队");
    return;
  }
  w.Combo2->setCurrentIndex(value);
  w.Combo2_Click();
  for (auto _ : state) {
    w.Command3_Click();
    paint(w.Grid1);
  }
  // Records 3, 11, 19, … are the block's.
  if (w.Grid1->rows() != (kRecords + 5) / 8 + 2) state.SkipWithError("the filter did not run");
  report_memory(state);
}
void BM_StatisticsFilter_10000(benchmark::State& state) { StatisticsFilter(state, 10000); }
void BM_StatisticsFilter_32767(benchmark::State& state) { StatisticsFilter(state, static_cast<int>(wb::kMaxLibraryRecords)); }
BENCHMARK(BM_StatisticsFilter_10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StatisticsFilter_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
