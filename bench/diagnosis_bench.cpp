// The downhole diagnosis at its largest sizes: the card coefficients of a 3000-point surface
// stroke, then the whole refresh (rebuild, static loads, a four-section pump card, the
// effective stroke by the spline) drawn on a recording canvas; and the lists of a
// 10 000-record diagnosis file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/common/canvas.h"
#include "core/common/fourier.h"
#include "core/common/record_store.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/refresh.h"
#include "core/samples/synthetic_tests.h"

namespace {

struct SilentMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

void BM_DiagnosisRefresh_3000PointStroke(benchmark::State& state) {
  // The surface stroke as the instrument gives it: 3000 samples of position and load.
  wb::SyntheticJointParams p;
  p.well_name = "W1";
  p.period = 3000;
  p.sample_count = 3000;
  p.noise = 0;
  const wb::SgtRecord shape = wb::make_synthetic_card(p, 3000);
  std::vector<float> pos(3000), load(3000);
  wb::Fourier_Synth(pos.data(), 3000, 16, shape.ss_cos.data(), shape.ss_sin.data());
  wb::Fourier_Synth(load.data(), 3000, 32, shape.gg_cos.data(), shape.gg_sin.data());

  auto st = std::make_unique<wb::DiagnosisState>();
  const char* boxes[][2] = {{"3", "W1"},    {"5", "44"},   {"6", "20"},   {"7", "60"},   {"14", "3"},
                            {"15", "6"},    {"16", "900"}, {"18", "1"},   {"19", "0.5"}, {"22", "1200"},
                            {"10", "300"},  {"11", "300"}, {"12", "300"}, {"13", "300"}};
  for (auto& b : boxes) st->Text1[std::stoi(b[0])] = b[1];
  SilentMessages messages;
  wb::RecordingCanvas picture(240, 180);
  for (auto _ : state) {
    wb::SgtRecord card = shape;
    wb::Fourier_Coef(pos.data(), 3000, 16, card.ss_cos.data(), card.ss_sin.data());
    wb::Fourier_Coef(load.data(), 3000, 32, card.gg_cos.data(), card.gg_sin.data());
    st->Bgt_Rec.card = card;
    picture.items.clear();
    const wb::RefreshOutcome out = wb::Cmd_Ref_Com_Click(*st, wb::kRefresh, messages, &picture);
    benchmark::DoNotOptimize(out);
    benchmark::DoNotOptimize(st->Text1[47]);
  }
  state.counters["sections"] = st->Sec_Last + 1;
  state.counters["drawn_items"] = static_cast<double>(picture.items.size());
}
BENCHMARK(BM_DiagnosisRefresh_3000PointStroke)->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

}  // namespace

namespace {

// The well list and one well's dates from a 10 000-record diagnosis file (100 wells, 100
// tests each), as the window lists them when the file is chosen and a well is picked.
void BM_DiagnosisWellLists_10000Records(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / ("wb_bench_bgt_" + std::to_string(::getpid()) + ".dat");
  wb::Bytes content;
  content.reserve(10000 * wb::kBgtRecordSize);
  wb::BgtRecord r;
  for (int i = 0; i < 10000; ++i) {
    r.well_name = "井" + std::to_string(i % 100);
    r.test_date = "2024" + std::to_string(100000 + i);
    const wb::Bytes b = r.encode();
    content.insert(content.end(), b.begin(), b.end());
  }
  if (!wb::write_file_atomic(path, content)) {
    state.SkipWithError("cannot write the record file");
    return;
  }
  std::size_t wells = 0, dates = 0;
  for (auto _ : state) {
    const std::vector<std::string> names = wb::bgt_well_names(path);
    const std::vector<std::string> d = wb::bgt_well_dates(path, "井42");
    wells = names.size();
    dates = d.size();
    benchmark::DoNotOptimize(names.data());
    benchmark::DoNotOptimize(d.data());
  }
  state.counters["wells"] = static_cast<double>(wells);
  state.counters["dates"] = static_cast<double>(dates);
  std::filesystem::remove(path);
}
BENCHMARK(BM_DiagnosisWellLists_10000Records)->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace
