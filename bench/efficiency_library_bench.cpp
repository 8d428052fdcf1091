// The efficiency library at its largest expected size: listing the wells and test times of
// a 10 000-record library (the record browser refills its lists from the file each time),
// saving into it, and rebuilding a stored test's curves from the libraries.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench_libraries.h"
#include "core/common/dlph_record.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/effi_report.h"

namespace {

namespace fs = std::filesystem;

// A program folder with an efficiency library of n records over n/10 wells.
struct BenchLibrary {
  wb::ProgramFolder prog;
  explicit BenchLibrary(int n) {
    std::random_device rd;
    prog.root = fs::temp_directory_path() / ("wb_effi_bench_" + std::to_string(rd()));
    prog.create_folders();
    wbbench::write_browser_library(wb::gt_ym_path(prog), n);
  }
  ~BenchLibrary() {
    std::error_code ec;
    fs::remove_all(prog.root, ec);
  }
};

void BM_EffiWellList(benchmark::State& state) {
  BenchLibrary lib(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<std::string> wells;
    wb::Find_WellNmae_To_Comb(wb::gt_ym_path(lib.prog), wells);
    benchmark::DoNotOptimize(wells.data());
  }
}
BENCHMARK(BM_EffiWellList)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EffiTestTimeList(benchmark::State& state) {
  BenchLibrary lib(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto times = wb::Find_TestTime_To_Comb(wb::gt_ym_path(lib.prog), "井512");
    benchmark::DoNotOptimize(times.data());
  }
}
BENCHMARK(BM_EffiTestTimeList)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EffiSaveInLargeLibrary(benchmark::State& state) {
  BenchLibrary lib(static_cast<int>(state.range(0)));
  struct Quiet : wb::MessageService {
    wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
      return wb::MsgAnswer::Ok;
    }
  } msg;
  wb::EffiBoxTexts boxes;
  boxes[0] = "井999";
  boxes[23] = "2006109999";
  wb::DlPhRecord buf;
  for (auto _ : state) {
    auto r = wb::Save_Effi_Data(wb::gt_ym_path(lib.prog), lib.prog, boxes, buf, msg);
    benchmark::DoNotOptimize(r.record);
  }
}
BENCHMARK(BM_EffiSaveInLargeLibrary)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

namespace {

// The report page of a 3000-point stroke (the longest the arrays hold) on a recording
// canvas: table, electric chart with its reactive power, card chart.
void BM_EffiReportPage(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<float> s(n), g(n), u(n), i(n), p(n), q(n);
  for (int j = 0; j < n; ++j) {
    const double w = 6.283185307179586 * j / n;
    s[j] = static_cast<float>(1.5 - 1.5 * std::cos(w));
    g[j] = static_cast<float>(40 + 15 * std::sin(w));
    u[j] = static_cast<float>(380 + 3 * std::sin(3 * w));
    i[j] = static_cast<float>(25 + 10 * std::cos(2 * w));
    p[j] = static_cast<float>(10 + 6 * std::sin(2 * w));
  }
  wb::EffiBoxTexts boxes;
  boxes[0] = "示范井1";
  boxes[41] = "3";
  boxes[43] = "55";
  boxes[44] = "20";
  for (auto _ : state) {
    wb::RecordingCanvas page(210, 297, true);
    wb::EffiStroke st;
    st.gt_num = st.iu_num = n;
    st.cs_fs = 1;
    st.sss = s;
    st.ggs = g;
    st.uus = u;
    st.iis = i;
    st.pps = p;
    st.qqs = q;
    wb::prt_effi_page(page, boxes, st);
    benchmark::DoNotOptimize(page.items.data());
  }
}
BENCHMARK(BM_EffiReportPage)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
