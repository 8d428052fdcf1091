// The design record library at its largest expected size: listing the wells (the window's
// load step and every save) and one well's dates (every well choice) of a 10 000-record
// library of 1000 wells. Only the keys are read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/design/workbench/design_records.h"

namespace {

namespace fs = std::filesystem;
using namespace wb::design;

struct BenchLibrary {
  wb::ProgramFolder prog;
  explicit BenchLibrary(int n) {
    std::random_device rd;
    prog.root = fs::temp_directory_path() / ("wb_design_bench_" + std::to_string(rd()));
    prog.create_folders();
    std::ofstream out(design_record_path(prog), std::ios::binary);
    for (int i = 0; i < n; ++i) {
      RodDesignRecord r;
      set_field_text(r.well_name, "井" + std::to_string(i % 1000));
      set_field_text(r.design_date, std::to_string(20060000 + i));
      r.design_pre.fill(1234.5f);
      const wb::Bytes b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
  }
  ~BenchLibrary() {
    std::error_code ec;
    fs::remove_all(prog.root, ec);
  }
};

struct Quiet : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};
struct NoControls : DesignControls {
  void set_Text6(DesignState& st, int i, const std::string& t) override { st.Text6.at(static_cast<std::size_t>(i)) = t; }
  void Text6_Change(DesignState&, int) override {}
  std::int16_t design_mode(const DesignState&) const override { return 1; }
  void select_design_mode(DesignState&, std::int16_t) override {}
  std::string rod_grade(const DesignState&) const override { return {}; }
  void select_rod_grade(DesignState&, const std::string&) override {}
  void beep() override {}
};

void BM_DesignWellList(benchmark::State& state) {
  BenchLibrary lib(static_cast<int>(state.range(0)));
  Quiet q;
  NoControls c;
  DesignRecordIo io{q, c};
  DesignState st;
  DesignRecords rec;
  rec.path = design_record_path(lib.prog);
  for (auto _ : state) {
    JNname_Add(st, rec, io);
    benchmark::DoNotOptimize(rec.JName_list.data());
  }
  state.counters["wells"] = static_cast<double>(rec.JName_list.size());
}
BENCHMARK(BM_DesignWellList)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DesignDateList(benchmark::State& state) {
  BenchLibrary lib(static_cast<int>(state.range(0)));
  Quiet q;
  NoControls c;
  DesignRecordIo io{q, c};
  DesignState st;
  DesignRecords rec;
  rec.path = design_record_path(lib.prog);
  for (auto _ : state) {
    st.JName_Comb = "井999";
    com2_find(st, rec, io);
    benchmark::DoNotOptimize(rec.Date_list.data());
  }
  state.counters["dates"] = static_cast<double>(rec.Date_list.size());
}
BENCHMARK(BM_DesignDateList)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
