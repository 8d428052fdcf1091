// The design window's outputs at their largest sizes: the curves against depth of a
// 2000-node profile with one pick and its readout, the 2002-line profile table, and a
// redraw of the inflow-performance chart with its design point.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>
#include <memory>

#include "core/common/canvas.h"
#include "core/common/services.h"
#include "core/design/workbench/depth_curves.h"
#include "core/design/workbench/ipr_view.h"
#include "core/design/workbench/text_tables.h"

namespace {

using namespace wb::design;

// A deviated well to 4000 m with forces down to the pump at 3600 m and a centralizer every
// 8 m.
std::unique_ptr<DesignState> full_design() {
  auto st = std::make_unique<DesignState>();
  auto& p = st->profile;
  for (int i = 0; i <= kLastNode; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double md = 2.0 * i;
    p.node_depth[k] = static_cast<float>(md);
    p.inclination[k] = static_cast<float>(std::min(40.0, md / 50.0));
    p.azimuth[k] = static_cast<float>(std::fmod(30 + md / 40, 360));
    p.dogleg[k] = static_cast<float>(1.5 + std::sin(md / 97.0));
    p.rod_dia[k] = md < 1200 ? 25.4f : md < 2600 ? 22.2f : 19.05f;
    if (md <= 3600) {
      p.axial_max[k] = static_cast<float>(60000 - 14 * md);
      p.axial_min[k] = static_cast<float>(20000 - 7 * md);
      p.side_force_tubing[k] = static_cast<float>(40 * std::sin(md / 300.0));
      p.side_force_rod[k] = static_cast<float>(15 + 5 * std::cos(md / 250.0));
    }
    p.fzq_code[k] = static_cast<std::int16_t>(i % 4 == 0 ? kFzqPlaced + 8 : 16);
  }
  st->last_node = kLastNode;
  st->Text3[14] = "3600";
  return st;
}

void BM_CurvesPaintAndPick(benchmark::State& state) {
  const auto st = full_design();
  wb::RecordingCanvas c(190, 122);
  for (auto _ : state) {
    c.items.clear();
    const CurvesScale s = paint_show(c, st->profile, st->last_node, 3600);
    const PickValues v = Get_picDat(70.3, s, st->profile, st->last_node);
    benchmark::DoNotOptimize(pick_readout_line(v));
  }
}
BENCHMARK(BM_CurvesPaintAndPick)->Unit(benchmark::kMillisecond);

struct Silent : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

void BM_ProfileTableBytes(benchmark::State& state) {
  const auto st = full_design();
  for (auto _ : state) benchmark::DoNotOptimize(profile_table_bytes(st->profile));
}
BENCHMARK(BM_ProfileTableBytes)->Unit(benchmark::kMillisecond);

// The command as the user runs it: the bytes and their durable write into the folder.
void BM_ProfileTableWrite(benchmark::State& state) {
  const auto st = full_design();
  wb::ProgramFolder folder;
  folder.root = std::filesystem::temp_directory_path() / ("wb_outputs_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder.root);
  Silent msgs;
  for (auto _ : state) benchmark::DoNotOptimize(Cmd_SaveToTxt_Click(folder, st->profile, msgs));
  std::error_code ec;
  std::filesystem::remove_all(folder.root, ec);
}
BENCHMARK(BM_ProfileTableWrite)->Unit(benchmark::kMillisecond)->UseRealTime();


void BM_IprRateChain(benchmark::State& state) {
  auto st = full_design();
  st->Text6[0] = "18";
  st->Text6[2] = "9";
  st->Text6[8] = "2.5";
  st->Text6[5] = st->Text6[6] = "0.86";
  st->Text6[7] = "60";
  st->Text6[11] = "0.8";
  st->Text6[12] = "2400";
  Silent msgs;
  IprView ipr(*st, msgs);
  wb::RecordingCanvas chart(78.6, 65.9);
  ipr.chart = &chart;
  int n = 0;
  for (auto _ : state) {
    chart.items.clear();
    ipr.set_Text7(1, std::to_string(10 + (n++ % 20)));
  }
}
BENCHMARK(BM_IprRateChain)->Unit(benchmark::kMillisecond);

}  // namespace
