// The windows' saves into libraries at the record limit: each library holds 32 766 records
// (written once per run, shared by the cases), so one save either replaces the record of a
// key already stored (argument 0: the file keeps its length) or appends the 32 767th record
// (argument 1: the libraries are cut back to 32 766 records after each save, outside the
// timing). Every case calls the public core functions the window's "保存" calls, so it
// measures whatever the store does. Counters: `peak_MB`, the process's resident high-water
// mark during the save (/proc/self/status VmHWM, reset through /proc/self/clear_refs before
// it), and `over_MB`, how far that mark rose above the resident memory before the save.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_libraries.h"
#include "core/balance/balance_save.h"
#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/record_limit.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/efficiency/effi_records.h"
#include "core/efficiency/well_base_record.h"
#include "core/records/gt_ym_record.h"
#include "core/workbench/dlph_summary.h"
#include "core/workbench/test_libraries.h"

namespace {

namespace fs = std::filesystem;
using wb::Bytes;

constexpr std::size_t kStored = wb::kMaxLibraryRecords - 1;  // 32 766: one append still fits

// ---- peak memory ----

std::size_t status_kb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return static_cast<std::size_t>(std::stoull(line.substr(key.size())));
  return 0;
}

// Around one save: the high-water mark is reset to the resident memory before it and read after.
class PeakMemory {
 public:
  void before() {
    std::ofstream("/proc/self/clear_refs") << "5";
    start_kb_ = status_kb("VmRSS");
  }
  void after() {
    const std::size_t hwm = status_kb("VmHWM");
    peak_kb_ = std::max(peak_kb_, hwm);
    over_kb_ = std::max(over_kb_, hwm > start_kb_ ? hwm - start_kb_ : 0);
  }
  void report(benchmark::State& state) const {
    state.counters["peak_MB"] = static_cast<double>(peak_kb_) / 1024.0;
    state.counters["over_MB"] = static_cast<double>(over_kb_) / 1024.0;
  }

 private:
  std::size_t start_kb_ = 0, peak_kb_ = 0, over_kb_ = 0;
};

// ---- the libraries, written once per run ----

struct Folder {
  wb::ProgramFolder prog;
  Folder() {
    std::random_device rd;
    prog.root = fs::temp_directory_path() / ("wb_limit_bench_" + std::to_string(rd()));
    prog.create_folders();
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(prog.root, ec);
  }
};
Folder& folder() {
  static Folder f;
  return f;
}

// The well and test of stored record i (0-based), as write_stat_library keys the efficiency
// library: every library holds the same keys, so a replacing save finds its key in each.
std::string well_of(std::size_t i) { return "北" + std::to_string(i / 10) + "-" + std::to_string(i % 10); }
std::string test_of(std::size_t i) { return "2006" + std::to_string(10000000 + i); }
// The key a case replaces (a stored one) or appends (a new one).
std::string case_well(bool append) { return append ? "新井" : well_of(kStored / 2); }
std::string case_test(bool append) { return append ? "209912312359" : test_of(kStored / 2); }

// Writes `kStored` records of `make(i)` to `path` once.
template <class Make>
fs::path library(const fs::path& path, Make make) {
  static std::map<fs::path, bool> written;
  if (!written[path]) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::size_t i = 0; i < kStored; ++i) {
      const Bytes b = make(i);
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    written[path] = true;
  }
  return path;
}

fs::path sgt_library() {
  return library(folder().prog.sys() / "Sgt.dat", [](std::size_t i) {
    wb::SgtRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    r.point_num = 400;
    return r.encode();
  });
}
fs::path dnt_library() {
  return library(folder().prog.sys() / "Dnt.dat", [](std::size_t i) {
    wb::DntRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    r.point_num = 400;
    return r.encode();
  });
}
fs::path summary_library() {
  return library(folder().prog.sys() / wb::kDlPhFileName, [](std::size_t i) {
    wb::DlPhRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    r.cyj_model = "CYJ10-3-37HB";
    return r.encode();
  });
}
fs::path effi_library() {
  static bool written = false;
  const fs::path p = wb::gt_ym_path(folder().prog);
  if (!written) {
    wbbench::write_stat_library(p, static_cast<int>(kStored));
    written = true;
  }
  return p;
}
fs::path well_base_library() {
  return library(wb::well_base_path(folder().prog), [](std::size_t i) {
    wb::WellBaseRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    return r.encode();
  });
}
fs::path phfx_library() {
  return library(wb::phfx_path(folder().prog), [](std::size_t i) {
    wb::PhfxRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    return r.encode();
  });
}
fs::path design_library() {
  return library(wb::design::design_record_path(folder().prog), [](std::size_t i) {
    wb::design::RodDesignRecord r;
    wb::design::set_field_text(r.well_name, well_of(i));
    wb::design::set_field_text(r.design_date, test_of(i));
    r.design_pre.fill(1234.5f);
    return r.encode();
  });
}
fs::path bgt_library() {
  return library(folder().prog.sys() / wb::kBgtFileName, [](std::size_t i) {
    wb::BgtRecord r;
    r.well_name = well_of(i);
    r.test_date = test_of(i);
    return r.encode();
  });
}

// After an appending save: the libraries cut back to the records they were written with.
void restore(std::initializer_list<std::pair<const fs::path*, std::size_t>> libs) {
  for (const auto& [p, len] : libs) fs::resize_file(*p, kStored * len);
}

struct AnswerYes : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons b, wb::MsgIcon) override {
    return b == wb::MsgButtons::YesNo ? wb::MsgAnswer::Yes : wb::MsgAnswer::Ok;
  }
};

// Runs `save` once per iteration with the memory measured around it; `ok` tells whether it
// stored, `restore_after` runs outside the timing.
template <class Save, class Restore>
void run(benchmark::State& state, Save save, Restore restore_after) {
  PeakMemory mem;
  for (auto _ : state) {
    state.PauseTiming();
    mem.before();
    state.ResumeTiming();
    const bool ok = save();
    state.PauseTiming();
    mem.after();
    if (!ok) {
      state.SkipWithError("the save did not store its record");
      break;
    }
    restore_after();
    state.ResumeTiming();
  }
  mem.report(state);
}

// The main window's "入库" of a joint test: the room of the card, electric and summary
// libraries asked first, then the card, the electric record and the summary record.
void BM_JointTestSave_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const fs::path sgt = sgt_library();
  const fs::path dnt = dnt_library();
  const fs::path sum = summary_library();
  wb::TestState st;
  st.Text1[wb::appended_box::kWell] = case_well(append);
  st.sgt_rec.test_date = st.dnt_rec.test_date = st.org_head.test_date = case_test(append);
  st.sgt_rec.point_num = st.dnt_rec.point_num = 400;
  wb::DlPhRecord buf;
  run(
      state,
      [&] {
        const std::string well = st.Text1[wb::appended_box::kWell];
        if (wb::room_for_key(sgt, wb::kSgtRecordSize, well, st.sgt_rec.test_date) != wb::LibStatus::Ok ||
            wb::room_for_key(dnt, wb::kDntRecordSize, well, st.dnt_rec.test_date) != wb::LibStatus::Ok ||
            wb::room_for_key(sum, wb::kDlPhRecordSize, well, st.org_head.test_date) != wb::LibStatus::Ok)
          return false;
        return wb::sgt_save_new(st, sgt).status == wb::LibStatus::Ok &&
               wb::Pow_save_new(st, dnt).status == wb::LibStatus::Ok &&
               wb::Save_DlPh_Pow(folder().prog, st, buf).status == wb::StoreStatus::Ok;
      },
      [&] {
        if (append) restore({{&sgt, wb::kSgtRecordSize}, {&dnt, wb::kDntRecordSize}, {&sum, wb::kDlPhRecordSize}});
      });
}
BENCHMARK(BM_JointTestSave_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The efficiency window's "保存" of a joint test: the efficiency record, its summary and the
// well base record, all or none (save_effi_test; a stored key answers the overwrite question Yes).
void BM_EffiSave_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const fs::path effi = effi_library();
  const fs::path sum = summary_library();
  const fs::path base = well_base_library();
  wb::EffiBoxTexts boxes;
  if (append) {
    boxes[wb::effi_box::kWell] = case_well(true);
    boxes[wb::effi_box::kTestTime] = case_test(true);
  } else {
    // A record the library holds: its key as the generator wrote it.
    wb::Bytes b;
    std::ignore = wb::RecordStore(effi, wb::kGtYmRecordSize).read(kStored / 2, b);
    wb::GtYmRecord r;
    std::ignore = r.decode(b);
    wb::gt_ym_to_boxes(r, boxes);
  }
  std::vector<float> curve(400, 1.0f);
  wb::EffiWellBaseSource src;
  src.boxes = boxes;
  src.gt_num = src.iu_num = 400;
  src.cs_fs = 1;
  src.sss = src.ggs = src.uus = src.iis = src.pps = curve;
  wb::DlPhRecord buf;
  AnswerYes msg;
  run(
      state,
      [&] { return wb::save_effi_test(effi, folder().prog, boxes, buf, &src, msg).effi.saved; },
      [&] {
        if (append)
          restore({{&effi, wb::kGtYmRecordSize}, {&sum, wb::kDlPhRecordSize}, {&base, wb::kWellBaseRecordSize}});
      });
}
BENCHMARK(BM_EffiSave_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

struct NoControls : wb::design::DesignControls {
  void set_Text6(wb::design::DesignState& st, int i, const std::string& t) override {
    st.Text6.at(static_cast<std::size_t>(i)) = t;
  }
  void Text6_Change(wb::design::DesignState&, int) override {}
  std::int16_t design_mode(const wb::design::DesignState&) const override { return 1; }
  void select_design_mode(wb::design::DesignState&, std::int16_t) override {}
  std::string rod_grade(const wb::design::DesignState&) const override { return {}; }
  void select_rod_grade(wb::design::DesignState&, const std::string&) override {}
  void beep() override {}
};

// The design window's "保存" (SaveDesignRecord).
void BM_DesignSave_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const fs::path lib = design_library();
  AnswerYes msg;
  NoControls controls;
  wb::design::DesignRecordIo io{msg, controls};
  auto st = std::make_unique<wb::design::DesignState>();
  wb::design::DesignRecords rec;
  rec.path = lib;
  st->JName_Comb = case_well(append);
  st->Date_Comb = case_test(append);
  st->Label3[wb::design::design_label::kStrokePumpEff] = "0.654";
  st->Text2 = "0.75";
  run(
      state, [&] { return wb::design::SaveDesignRecord(*st, rec, io) == wb::design::DesignOutcome::done; },
      [&] {
        if (append) restore({{&lib, wb::design::kRodDesignRecordSize}});
      });
}
BENCHMARK(BM_DesignSave_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The diagnosis window's "保存" (Cmd_Save_Click: the save and the well list after it).
void BM_DiagnosisSave_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const fs::path lib = bgt_library();
  AnswerYes msg;
  wb::DiagnosisIo io{msg, nullptr};
  auto st = std::make_unique<wb::DiagnosisState>();
  st->Bgt_Path = lib;
  st->Text1[wb::diag_box::kWell] = case_well(append);
  st->Text1[wb::diag_box::kDate] = case_test(append);
  run(
      state, [&] { return wb::Cmd_Save_Click(*st, io); },
      [&] {
        if (append) restore({{&lib, wb::kBgtRecordSize}});
      });
}
BENCHMARK(BM_DiagnosisSave_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The counterbalance window's "保存": the key looked up, then the well base, balance and
// summary records together, in one save set (save_balance_test).
void BM_BalanceSave_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const fs::path lib = phfx_library();
  const fs::path sum = summary_library();
  const fs::path base = well_base_library();
  wb::HeldStroke held;
  held.Cur_Well = case_well(append);
  held.Cur_Test = case_test(append);
  wb::ParameterBoxes boxes{};
  boxes[0] = "4";
  AnswerYes msg;
  run(
      state,
      [&] {
        return wb::save_balance_test(folder().prog, lib, {held, boxes, wb::BalanceMode::Crank, "", "advice"}, msg)
                   .record != 0;
      },
      [&] {
        if (append)
          restore({{&lib, wb::kPhfxRecordSize}, {&sum, wb::kDlPhRecordSize}, {&base, wb::kWellBaseRecordSize}});
      });
}
BENCHMARK(BM_BalanceSave_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// One look-up of a key in the well base library (2 000-byte records) outside a save: what a
// save that asks the same library twice pays again without the find a SaveSet keeps
// (SaveSet::recall_find). Argument 0 a key stored halfway, 1 one not stored (every record read).
void BM_LibraryFind_32767(benchmark::State& state) {
  const bool append = state.range(0) != 0;
  const wb::RecordStore store(well_base_library(), wb::kWellBaseRecordSize);
  const wb::KeyMatch key = wb::well_base_key_match(case_well(append), case_test(append));
  std::size_t found = 0;
  for (auto _ : state) {
    if (store.find(key, found) != wb::StoreStatus::Ok || (found == 0) != append) state.SkipWithError("not found");
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_LibraryFind_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
