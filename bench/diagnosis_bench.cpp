// The downhole diagnosis at its largest sizes: the card coefficients of a 3000-point surface
// stroke, then the whole refresh (rebuild, static loads, a four-section pump card, the
// effective stroke by the spline) drawn on a recording canvas.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/common/canvas.h"
#include "core/common/fourier.h"
#include "core/diagnosis/refresh.h"
#include "core/workbench/synthetic_tests.h"

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
BENCHMARK(BM_DiagnosisRefresh_3000PointStroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
