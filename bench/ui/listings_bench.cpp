// The well and test lists of the libraries at their limit of 32 767 records, window included:
// the level library (its listing alone, and the level window's grid filled and painted), the
// design window's well list and one well's dates, and the diagnosis window's well list and
// one well's dates. The records are spread over 3 277 wells of ten tests each (a well's tests
// lie 3 277 records apart). The libraries are written once per run into one program folder
// and reused; the level library (20 131-byte records, 660 MB at the limit) is written sparse,
// only its key bytes, so it takes little disk and its listing reads only those.
// A listing keeps the keys it read while the file is unchanged; the *_Changed cases give the
// library a new modification time before each listing (outside the timing), so every
// listing reads the file again, as the first one after opening a window or after another
// program wrote the library does.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/balance/phfx_record.h"
#include "core/common/gbk.h"
#include "core/common/layout_keys.h"
#include "core/common/paths.h"
#include "core/common/record_limit.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/bgt_record.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/level/level_library.h"
#include "core/workbench/test_state.h"
#include "platform/grid.h"
#include "ui/balance/balance_analysis.h"
#include "ui/balance/balance_print.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/level/level_display.h"
#include "ui_fakes.h"

namespace {

constexpr int kRecords = static_cast<int>(wb::kMaxLibraryRecords);
constexpr int kWells = (kRecords + 9) / 10;

std::string well_of(int i) { return "北" + std::to_string(i % kWells) + "-井"; }
// The well whose tests the dates cases list.
const std::string kChosenWell = well_of(42);

// The program folder with the three libraries at the limit.
struct LimitLibraries {
  wb::test::TempProgramFolder tmp;
  wb::ProgramFolder prog{tmp.path()};
  bool written = false;

  LimitLibraries() {
    prog.create_folders();
    written = write_level() && write_design() && write_diagnosis();
  }

  bool write_level() {
    const wb::RecordKeyFields keys = wb::record_key_fields(wb::DymRecord::layout());
    std::ofstream out(prog.sys() / wb::kDymFile, std::ios::binary);
    for (int i = 0; i < kRecords; ++i) {
      const std::string well = wb::gbk_field(well_of(i), keys.well().length);
      const std::string date = wb::gbk_field("2006" + std::to_string(10000000 + i), keys.test().length);
      const auto at = static_cast<std::streamoff>(i) * static_cast<std::streamoff>(wb::kDymRecordSize);
      out.seekp(at + static_cast<std::streamoff>(keys.well().offset));
      out.write(well.data(), static_cast<std::streamsize>(well.size()));
      out.seekp(at + static_cast<std::streamoff>(keys.test().offset));
      out.write(date.data(), static_cast<std::streamsize>(date.size()));
    }
    // The file ends with its last record; the bytes between the keys are holes.
    out.seekp(static_cast<std::streamoff>(kRecords) * static_cast<std::streamoff>(wb::kDymRecordSize) - 1);
    out.put('\0');
    return static_cast<bool>(out);
  }

  bool write_design() {
    std::ofstream out(wb::design::design_record_path(prog), std::ios::binary);
    for (int i = 0; i < kRecords; ++i) {
      wb::design::RodDesignRecord r;
      wb::design::set_field_text(r.well_name, well_of(i));
      wb::design::set_field_text(r.design_date, std::to_string(20060000 + i));
      r.design_pre.fill(1234.5f);
      const wb::Bytes b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    return static_cast<bool>(out);
  }

  bool write_diagnosis() {
    std::ofstream out(prog.sys() / wb::kBgtFileName, std::ios::binary);
    wb::BgtRecord r;
    for (int i = 0; i < kRecords; ++i) {
      r.well_name = well_of(i);
      r.test_date = "2024" + std::to_string(100000 + i);
      const wb::Bytes b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    return static_cast<bool>(out);
  }
};

LimitLibraries& libraries() {
  static const std::unique_ptr<LimitLibraries> made = std::make_unique<LimitLibraries>();
  return *made;
}

// A new modification time for `p`: to the kept keys another file.
void touch(const std::filesystem::path& p) {
  timespec now[2];
  clock_gettime(CLOCK_REALTIME, &now[0]);
  now[1] = now[0];
  static long step = 0;
  now[1].tv_nsec = (now[1].tv_nsec + ++step) % 1000000000L;
  ::utimensat(AT_FDCWD, p.c_str(), now, 0);
}

// The libraries, or none when they could not be written (the case is then skipped).
LimitLibraries* written_libraries(benchmark::State& state) {
  LimitLibraries& libs = libraries();
  if (libs.written) return &libs;
  state.SkipWithError("the libraries were not written");
  return nullptr;
}

void paint(QWidget* w) {
  QCoreApplication::processEvents();
  const QPixmap p = w->grab();
  benchmark::DoNotOptimize(p.cacheKey());
}

void BM_LevelLibraryList_32767(benchmark::State& state) {
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  wb::LevelLibrary lib(libs.prog);
  std::vector<wb::LevelLibraryRow> rows;
  for (auto _ : state) {
    if (lib.list(rows) != wb::LimitedStatus::Ok) state.SkipWithError("the library was not listed");
    benchmark::DoNotOptimize(rows.data());
  }
  if (rows.size() != static_cast<std::size_t>(kRecords)) state.SkipWithError("not every record was listed");
}
BENCHMARK(BM_LevelLibraryList_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The level window's library grid as its load step and every save fill it, then painted.
void LevelWindowGrid(benchmark::State& state, bool changed) {
  wb::test::ScopedFakeServices fakes;
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  wb::LevelDisplay w(libs.prog);
  w.show();
  paint(w.Grid1);
  for (auto _ : state) {
    if (changed) {
      state.PauseTiming();
      touch(libs.prog.sys() / wb::kDymFile);
      state.ResumeTiming();
    }
    w.load_grid_dat();
    paint(w.Grid1);
  }
  if (w.Grid1->rows() != kRecords + 1) state.SkipWithError("the library was not listed");
}
void BM_LevelWindowGrid_32767(benchmark::State& state) { LevelWindowGrid(state, false); }
// The same after the library changed on disk before each listing (nothing kept holds).
void BM_LevelWindowGrid_Changed_32767(benchmark::State& state) { LevelWindowGrid(state, true); }
BENCHMARK(BM_LevelWindowGrid_32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LevelWindowGrid_Changed_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The design window's well list, as its load step and every save fill it.
void DesignWells(benchmark::State& state, bool changed) {
  wb::test::ScopedFakeServices fakes;
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  wb::design::RodDesign w(libs.prog);
  w.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    if (changed) {
      state.PauseTiming();
      touch(wb::design::design_record_path(libs.prog));
      state.ResumeTiming();
    }
    w.JNname_Add();
    paint(w.JName_Comb);
  }
  if (w.JName_Comb->count() != kWells) state.SkipWithError("the wells were not listed");
}
void BM_DesignWells_32767(benchmark::State& state) { DesignWells(state, false); }
// The same after the library changed on disk before each listing (nothing kept holds).
void BM_DesignWells_Changed_32767(benchmark::State& state) { DesignWells(state, true); }
BENCHMARK(BM_DesignWells_32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DesignWells_Changed_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// A well chosen in the design window: its dates listed (ten: none is loaded).
void BM_DesignDates_32767(benchmark::State& state) {
  wb::test::ScopedFakeServices fakes;
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  wb::design::RodDesign w(libs.prog);
  w.show();
  QCoreApplication::processEvents();
  const int index = w.JName_Comb->findText(QString::fromStdString(kChosenWell));
  if (index < 0) {
    state.SkipWithError("the well is not listed");
    return;
  }
  for (auto _ : state) {
    w.JName_Comb->setCurrentIndex(index);
    w.JName_Comb_Click();
    paint(w.Date_Comb);
  }
  if (w.Date_Comb->count() != 10) state.SkipWithError("the dates were not listed");
}
BENCHMARK(BM_DesignDates_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The diagnosis window's lists: the record file chosen (its wells listed), then a well
// chosen (its ten dates listed, none loaded).
void DiagnosisLists(benchmark::State& state, bool changed) {
  wb::test::ScopedFakeServices fakes;
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  wb::WellDiagnosis w(libs.prog);
  w.show();
  QCoreApplication::processEvents();
  const std::string file = wb::path_text(libs.prog.sys() / wb::kBgtFileName);
  for (auto _ : state) {
    state.PauseTiming();
    w.Text3->clear();  // so that choosing the file again is a change
    if (changed) touch(libs.prog.sys() / wb::kBgtFileName);
    state.ResumeTiming();
    fakes.files.answers.push_back(file);
    w.Cmd_View_Click(wb::PathBox::Records);
    w.Comb_WellName->setEditText(QString::fromStdString(kChosenWell));
    w.Comb_WellName_Click();
    paint(w.Comb_TestTime);
  }
  if (w.Comb_WellName->count() != kWells || w.Comb_TestTime->count() != 10)
    state.SkipWithError("the lists were not filled");
}
void BM_DiagnosisLists_32767(benchmark::State& state) { DiagnosisLists(state, false); }
// The same after the library changed on disk before each listing (nothing kept holds).
void BM_DiagnosisLists_Changed_32767(benchmark::State& state) { DiagnosisLists(state, true); }
BENCHMARK(BM_DiagnosisLists_32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DiagnosisLists_Changed_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The counterbalance library at the limit (2 148-byte records, 70 MB), written once per run
// beside the others: the same wells and tests.
std::filesystem::path balance_library(LimitLibraries& libs) {
  static bool written = false;
  const std::filesystem::path p = wb::phfx_path(libs.prog);
  if (!written) {
    std::ofstream out(p, std::ios::binary);
    wb::PhfxRecord r;
    for (int i = 0; i < kRecords; ++i) {
      r.well_name = well_of(i);
      r.test_date = "2006" + std::to_string(10000000 + i);
      const wb::Bytes b = r.encode();
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    written = static_cast<bool>(out);
  }
  return written ? p : std::filesystem::path();
}

// The main window as the counterbalance window sees it: only its program folder is asked for.
struct NoMainWindow : wb::MainWindowLink {
  explicit NoMainWindow(const wb::ProgramFolder& p) : prog(p) {}
  const wb::ProgramFolder& program_folder() const override { return prog; }
  wb::TestState& test() override { return state; }
  void sync_to_widgets() override {}
  void sync_from_widgets() override {}
  QWidget* window_widget() override { return nullptr; }
  wb::ProgramFolder prog;
  wb::TestState state;
};

// The counterbalance window's listings: the well list filled (as its load step, every save
// and every deletion fill it), a well chosen (its ten tests listed, none shown) and the print
// selection's list of every record filled and painted.
void BalanceListings(benchmark::State& state, bool changed) {
  wb::test::ScopedFakeServices fakes;
  LimitLibraries* written = written_libraries(state);
  if (!written) return;
  LimitLibraries& libs = *written;
  const std::filesystem::path lib = balance_library(libs);
  if (lib.empty()) {
    state.SkipWithError("the counterbalance library was not written");
    return;
  }
  NoMainWindow main(libs.prog);
  wb::BalanceAnalysis w(main, libs.prog);
  w.Phfx_File = wb::path_text(lib);
  for (auto _ : state) {
    if (changed) {
      state.PauseTiming();
      touch(lib);
      state.ResumeTiming();
    }
    w.Comb_WellName->clear();
    w.Find_WellNmae_To_Comb();
    w.Comb_WellName->setEditText(QString::fromStdString(kChosenWell));
    w.Comb_WellName_Click();
    w.prt_grid();
    paint(w.print_window()->Grid1);
  }
  if (w.Comb_WellName->count() != kWells || w.Comb_TestTime->count() != 10 ||
      w.print_window()->Grid1->rows() != kRecords + 1)
    state.SkipWithError("the lists were not filled");
}
void BM_BalanceListings_32767(benchmark::State& state) { BalanceListings(state, false); }
// The same after the library changed on disk before each listing (nothing kept holds).
void BM_BalanceListings_Changed_32767(benchmark::State& state) { BalanceListings(state, true); }
BENCHMARK(BM_BalanceListings_32767)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BalanceListings_Changed_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
