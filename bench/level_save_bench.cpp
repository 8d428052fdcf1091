// The level window's "保存" and a marker click that updates the stored record, on a level
// library at its limit: 32 767 records of 20 131 bytes (a 660 MB sys/Dym.dat), written once
// per run and reused. Every record is a whole analysed test that decodes and passes the
// level box limits; the keys differ. Counters: the resident memory's high-water mark over
// the iterations above the resident memory before them (peak_over_MB, VmHWM after it was
// reset through /proc/self/clear_refs), and the record number written.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/common/layout_keys.h"
#include "core/common/record_keys.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/level/dym_record.h"
#include "core/level/level_file.h"
#include "core/level/level_library.h"
#include "core/level/synthetic_level.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = static_cast<int>(wb::kMaxLibraryRecords);

// A field of /proc/self/status in MB ("VmRSS", "VmHWM"); 0 when it cannot be read.
double status_mb(const char* field) {
  double kb = 0;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, field, n) == 0 && line[n] == ':') kb = std::atof(line + n + 1);
    std::fclose(f);
  }
  return kb / 1024.0;
}

// Lets the high-water mark of the resident memory start again from the memory now.
void reset_peak() {
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

wb::DymRecord record_of(int i, const wb::DymRecord& base) {
  wb::DymRecord d = base;
  char name[32], date[16];
  std::snprintf(name, sizeof name, "W%05d", i);
  std::snprintf(date, sizeof date, "2006%02d%02d%02d%02d", 1 + i % 12, 1 + i % 28, i % 24, i % 60);
  d.well_name = name;
  d.test_date = date;
  return d;
}

// The program folder with the full library, made on first use and removed at exit.
struct FullLevelLibrary {
  fs::path root;
  wb::ProgramFolder folder;
  wb::DymRecord base;
  bool ok = false;

  FullLevelLibrary()
      : root(fs::temp_directory_path() / ("wb_level_save_bench_" + std::to_string(::getpid()))), folder{root} {
    folder.create_folders();
    wb::LevelTest t;
    if (!wb::load_level_data(wb::make_synthetic_level_test(wb::SyntheticLevelParams{}), t)) return;
    base = wb::dym_from_test(t);
    std::ofstream out(folder.sys() / wb::kDymFile, std::ios::binary);
    for (int i = 1; i <= kRecords; ++i) {
      const wb::Bytes b = wb::encode_dym(record_of(i, base));
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    ok = static_cast<bool>(out);
  }
  ~FullLevelLibrary() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  static FullLevelLibrary& get() {
    static FullLevelLibrary lib;
    return lib;
  }
};

}  // namespace

// "保存" of the shown test, whose key is the library's last record: the key is looked for in
// every record and the record replaced (the library is full, so nothing new is appended).
static void BM_LevelSave_32767(benchmark::State& state) {
  FullLevelLibrary& full = FullLevelLibrary::get();
  if (!full.ok) {
    state.SkipWithError("library not written");
    return;
  }
  wb::DymRecord d = record_of(kRecords, full.base);
  wb::LevelLibrary lib(full.folder);
  int record = 0;
  const double before = status_mb("VmRSS");
  reset_peak();
  for (auto _ : state) {
    d.level_depth += 0.5f;  // a changed analysis each time
    if (lib.save(d, record) != wb::LimitedStatus::Ok) state.SkipWithError("not saved");
    benchmark::DoNotOptimize(record);
  }
  state.counters["peak_over_MB"] = status_mb("VmHWM") - before;
  state.counters["record"] = record;
}
BENCHMARK(BM_LevelSave_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// A marker moved on the picture of the library's last record: the record is read, its marker
// set and the record written back.
static void BM_LevelMarkerUpdate_32767(benchmark::State& state) {
  FullLevelLibrary& full = FullLevelLibrary::get();
  if (!full.ok) {
    state.SkipWithError("library not written");
    return;
  }
  wb::LevelLibrary lib(full.folder);
  float x = 100.0f;
  const double before = status_mb("VmRSS");
  reset_peak();
  for (auto _ : state) {
    x = x < 600.0f ? x + 1.0f : 100.0f;
    if (lib.save_marker(kRecords, wb::LevelMarker::Level, x) != wb::StoreStatus::Ok) state.SkipWithError("not saved");
  }
  state.counters["peak_over_MB"] = status_mb("VmHWM") - before;
}
BENCHMARK(BM_LevelMarkerUpdate_32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The level library's keys read afresh (a listing after the file changed), as the listings
// read them (Arg 0: batched through io_uring) and with a read call per record (Arg 1): the
// benchmark that chose the batched reads.
static void BM_LevelKeys_32767(benchmark::State& state) {
  FullLevelLibrary& full = FullLevelLibrary::get();
  if (!full.ok) {
    state.SkipWithError("library not written");
    return;
  }
  const wb::KeyReads reads = state.range(0) == 0 ? wb::KeyReads::Batched : wb::KeyReads::ReadCalls;
  const wb::RecordKeyFields key_fields = wb::record_key_fields(wb::DymRecord::layout());
  wb::RecordKeys keys;
  for (auto _ : state) {
    if (wb::read_record_keys(full.folder.sys() / wb::kDymFile, wb::kDymRecordSize, key_fields.fields, keys,
                             wb::PartialRecord::Damaged, SIZE_MAX, reads) != wb::StoreStatus::Ok ||
        keys.records != static_cast<std::size_t>(kRecords))
      state.SkipWithError("not read");
  }
}
BENCHMARK(BM_LevelKeys_32767)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
