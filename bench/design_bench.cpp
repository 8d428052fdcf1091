// The design engine at its largest sizes: a deviated survey of 200 stations to 4000 m
// (2000 depth nodes), the 3D view, the taper design and force profile with the pump at
// 4000 m, and the whole automatic design as the redesign command runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

#include "core/common/canvas.h"
#include "core/common/number_text.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/workbench/design_window_core.h"

namespace {

namespace fs = std::filesystem;
using wb::design::RodDesignEngine;

// Answers every message; keeps the last so a run that stopped shows why.
struct Quiet : wb::MessageService {
  std::string last;
  wb::MsgAnswer show(const std::string& text, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    last = text;
    return wb::MsgAnswer::Ok;
  }
};
struct NoShell : wb::ShellService {
  bool open_document(const std::string&) override { return false; }
  void beep() override {}
};

// A program folder with a unit catalogue, removed at the end.
struct Rig {
  Rig() {
    prog.root = fs::temp_directory_path() / ("wb_design_bench_" + std::to_string(::getpid()));
    prog.create_folders();
    const std::string cat = "\xB3\xE9\xD3\xCD\xBB\xFA\xD0\xCD=B\r\n\xB3\xE5    \xB3\xCC=2.4,3,3.6,4.2\r\n";  // GBK
    std::FILE* f = std::fopen((prog.sys() / "Cyj_mode.dat").c_str(), "wb");
    std::fwrite(cat.data(), 1, cat.size(), f);
    std::fclose(f);
    eng = std::make_unique<RodDesignEngine>(prog, quiet, shell);
    eng->SetupGrids();
    deviated_survey();
  }
  ~Rig() {
    std::error_code ec;
    fs::remove_all(prog.root, ec);
  }
  // 200 stations every 20 m, building 3°/30 m to 60° and turning 3°/30 m, down to 4000 m.
  void deviated_survey() {
    auto& g = eng->st.Grid1;
    g.set_rows(202);
    for (int i = 1; i <= 200; ++i) {
      const double md = 20.0 * i;
      const double inc = md < 800 ? 0.5 : std::min(40.0, (md - 800) / 30);
      const double az = std::fmod(30 + md / 40, 360);
      g.set_text(i, 0, std::to_string(i));
      g.set_text(i, 1, wb::num_text(md));
      g.set_text(i, 2, wb::num_text_dec(inc, 2));
      g.set_text(i, 3, wb::num_text_dec(az, 2));
    }
  }
  // Design inputs of a deep well: the pump at 4000 m, heavy compression near the pump.
  void deep_design() {
    auto& T3 = eng->st.Text3;
    auto& T6 = eng->st.Text6;
    T6[5] = "0.86";
    T6[6] = "0.84";
    T6[7] = "60";
    T6[10] = "1";
    T6[11] = "0.5";
    T6[18] = "1";
    T6[19] = "1";
    T3[14] = "4000";
    T3[15] = "38";
    T3[16] = "3";
    T3[17] = "4";
    T3[18] = "200";
    T3[27] = "38";
    eng->st.Text4 = "890";
    eng->st.buoy_factor = 0.88f;
    eng->st.kin_visc = 2.0f;
  }
  // The before-design well and string of the automatic design, with the unit B chosen.
  void full_well() {
    auto& T6 = eng->st.Text6;
    const std::vector<std::pair<int, const char*>> well = {
        {0, "30"}, {1, "12"}, {2, "10"}, {3, "40"}, {4, "20"}, {8, "0.8"}, {9, "30"}, {12, "3000"}, {13, "62"},
        {14, "3"}, {15, "2.6"}, {16, "90"}, {17, "40"}, {20, "30"}, {21, "20"}, {23, "37"}, {24, "0.92"}, {25, "36"},
        {31, "100"}};
    for (auto [box, text] : well) T6[static_cast<std::size_t>(box)] = text;
    auto& T3 = eng->st.Text3;
    T3[0] = "20";
    T3[1] = "2000";
    T3[2] = "3000";
    T3[3] = "44";
    T3[4] = "3";
    T3[5] = "4";
    T3[26] = "38";
    T3[6] = "100";
    T3[7] = "600";
    T3[8] = "1200";
    T3[9] = "1100";
    eng->st.CyjType_Comb = "B";
  }
  wb::ProgramFolder prog;
  Quiet quiet;
  NoShell shell;
  std::unique_ptr<RodDesignEngine> eng;
};

void BM_CalcTrajectory_200Stations_2000Nodes(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    rig.eng->CalcTrajectory();
    benchmark::DoNotOptimize(rig.eng->st.profile.dogleg[1999]);
  }
  state.counters["last_node"] = rig.eng->st.last_node;
}
BENCHMARK(BM_CalcTrajectory_200Stations_2000Nodes)->Unit(benchmark::kMillisecond);

void BM_DrawBox_200Stations(benchmark::State& state) {
  Rig rig;
  rig.eng->CalcTrajectory();
  wb::RecordingCanvas pic(92, 104);
  for (auto _ : state) {
    pic.items.clear();
    rig.eng->Draw_box(pic);
    benchmark::DoNotOptimize(pic.items.size());
  }
}
BENCHMARK(BM_DrawBox_200Stations)->Unit(benchmark::kMillisecond);

void BM_DesignRodAndFzq_Pump4000m(benchmark::State& state) {
  Rig rig;
  rig.eng->CalcTrajectory();
  rig.deep_design();
  int placed = 0;
  auto& T3 = rig.eng->st.Text3;
  for (auto _ : state) {
    rig.deep_design();
    if (rig.eng->DesignRod(18) != wb::design::DesignOutcome::done) {
      state.SkipWithError("the taper design refused its input");
      break;
    }
    // A stuck plunger (36 kN of friction) under a light string: compression along the whole
    // string asks for a centralizer on nearly every node, the placement's worst case.
    T3[15] = "100";
    T3[16] = "8";
    T3[17] = "5";
    rig.eng->st.buoy_factor = 0.01f;
    rig.eng->DesignFzq();
    placed = static_cast<int>(std::count_if(rig.eng->st.profile.fzq_code.begin(), rig.eng->st.profile.fzq_code.end(),
                                            [](std::int16_t c) { return c >= wb::design::kFzqPlaced; }));
  }
  state.counters["centralizers"] = placed;  // placed nodes; the record keeps 198
}
BENCHMARK(BM_DesignRodAndFzq_Pump4000m)->Unit(benchmark::kMillisecond);

void BM_AutomaticDesign_2000Nodes(benchmark::State& state) {
  Rig rig;
  rig.eng->st.JName_Comb = "B1";
  if (!went_through(rig.eng->save_jx())) state.SkipWithError("the survey could not be saved");
  rig.deep_design();
  rig.full_well();
  auto& T3 = rig.eng->st.Text3;
  for (auto _ : state) {
    rig.eng->DesignCom_Click();
    benchmark::DoNotOptimize(rig.eng->st.Label3[13]);
  }
  state.counters["pump_depth"] = wb::num_val(T3[14]);
  state.counters["efficiency_after"] = wb::num_val(rig.eng->st.Label3[13]);
  if (!rig.quiet.last.empty()) state.SetLabel(rig.quiet.last);
}
BENCHMARK(BM_AutomaticDesign_2000Nodes)->Unit(benchmark::kMillisecond);

// What one Enter in a well-data box and one interactive redesign cost the engineer: the
// derived well values, then the whole taper, centralizers and efficiencies on 2000 nodes.
void BM_Text6ChangeAndMutual18_2000Nodes(benchmark::State& state) {
  Rig rig;
  rig.eng->st.JName_Comb = "B2";
  if (!went_through(rig.eng->save_jx())) state.SkipWithError("the survey could not be saved");
  rig.deep_design();
  rig.full_well();
  rig.eng->DesignCom_Click();  // reads the survey back, computes the path and designs  // after-design boxes from the automatic design
  for (auto _ : state) {
    wb::design::Text6_Change(rig.eng->st, 17);
    rig.eng->DesignForMutual(18);
    benchmark::DoNotOptimize(rig.eng->st.Label3[13]);
  }
  state.counters["last_node"] = rig.eng->st.last_node;
  state.counters["efficiency_after"] = wb::num_val(rig.eng->st.Label3[13]);
  if (!rig.quiet.last.empty()) state.SetLabel(rig.quiet.last);
}
BENCHMARK(BM_Text6ChangeAndMutual18_2000Nodes)->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

}  // namespace
