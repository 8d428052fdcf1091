// Kill test of the libraries: a worker process saves (and, for the card library, deletes)
// records in a loop the way the windows do and is killed at a random moment; at the next
// open the libraries must hold the state before or after the operation that was under way
// (never a torn file, no record lost, and for saves spanning several libraries never some
// of them before and some after), and files of interrupted writes must not pile up.
//
//   wb_kill_test [--library card|efficiency|balance|level|design|diagnosis] [--kills N] [--dir FOLDER]
//                [--seed S] [--rival 1]
//       card        the main window's card library: sgt_save_new, delete_library_record
//       efficiency  the efficiency window's "保存" of a test, joint or not (gt_ym.dat,
//                   DlPh.dat and wellbase.dat)
//       balance     the counterbalance window's "保存" (phfx.dat, wellbase.dat, DlPh.dat)
//       level       the level window's "保存", a marker moved and the level set on a stored
//                   record (Dym.dat: 20 131-byte records written in place)
//       design      the design window's record save (roddesign.dat)
//       diagnosis   the diagnosis window's "保存" (bgt.dat)
//       --rival 1   (efficiency, balance) a second copy of the program runs on the same
//                   folder beside each worker and tries to save too: it must find the
//                   folder's writer lock taken, have every save refused, and never touch
//                   the worker's journal or temporary files (no acknowledged record lost)
//   wb_kill_test --work FOLDER SEED LIBRARY                 the worker (started by the driver)
//   wb_kill_test --rival FOLDER SEED LIBRARY                the second copy
//
// The worker logs every operation to FOLDER/journal before it starts ("B ...") and after it
// ended ("E"), with write(2): what reached the kernel survives the kill. The card library is
// checked against a model of its records; the other two against a copy of the libraries on
// which the driver repeats each completed save with the same code (a save cannot be torn
// there), which is what "before" and "after" mean for them. A save that writes its records in
// place is checked the same way: a torn record is neither before nor after.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <tuple>

#include "core/balance/balance_save.h"
#include "core/balance/phfx_record.h"
#include "core/common/record_store.h"
#include "core/common/writer_lock.h"
#include "core/efficiency/effi_records.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/well_base_record.h"
#include "core/workbench/dlph_summary.h"
#include "core/common/trim.h"
#include "core/design/workbench/design_records.h"
#include "core/diagnosis/diag_box.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/diagnosis/diagnosis_state.h"
#include "core/level/dym_record.h"
#include "core/level/level_library.h"
#include "core/workbench/test_libraries.h"

namespace fs = std::filesystem;
using wb::Bytes;

namespace {

constexpr std::size_t kLen = wb::kSgtRecordSize;

struct Op {
  char kind = 'S';  // S save, D delete
  int well = 0, date = 0, value = 0;  // save
  long long row = 0;                  // delete
};

std::string well_of(int k) { return "KW" + std::to_string(k); }
std::string date_of(int d) { return "20060101120" + std::to_string(d); }

// The shown test a save stores: the key and one box that lands in the record.
std::unique_ptr<wb::TestState> shown_test(const Op& op) {
  auto st = std::make_unique<wb::TestState>();
  st->Text1[2] = well_of(op.well);
  st->Text1[4] = std::to_string(op.value % 300);
  st->sgt_rec.test_date = date_of(op.date);
  st->sgt_rec.point_num = static_cast<std::int16_t>(op.value % 1000);
  st->sgt_rec.gg_cos[0] = static_cast<float>(op.value);
  return st;
}

// The record a save writes, built as sgt_save_new builds it.
Bytes record_of(const Op& op) {
  auto st = shown_test(op);
  st->sgt_rec.well_name = wb::trim_blanks(st->Text1[2]);
  wb::refresh_sgt_from_boxes(*st);
  return st->sgt_rec.encode();
}

// The model: the library after `op`.
Bytes after_op(Bytes lib, const Op& op) {
  const std::size_t n = lib.size() / kLen;
  if (op.kind == 'D') {
    if (op.row >= 1 && static_cast<std::size_t>(op.row) <= n)
      lib.erase(lib.begin() + static_cast<std::ptrdiff_t>((op.row - 1) * kLen),
                lib.begin() + static_cast<std::ptrdiff_t>(op.row * kLen));
    return lib;
  }
  const Bytes rec = record_of(op);
  for (std::size_t i = 0; i < n; ++i) {
    wb::SgtRecord r;
    // One whole record of the model library.
    std::ignore = r.decode(Bytes(lib.begin() + static_cast<std::ptrdiff_t>(i * kLen),
                                 lib.begin() + static_cast<std::ptrdiff_t>((i + 1) * kLen)));
    if (wb::Trim_Blank_Nul(r.well_name) == well_of(op.well) && wb::Trim_Blank_Nul(r.test_date) == date_of(op.date)) {
      std::copy(rec.begin(), rec.end(), lib.begin() + static_cast<std::ptrdiff_t>(i * kLen));
      return lib;
    }
  }
  lib.insert(lib.end(), rec.begin(), rec.end());
  return lib;
}

void journal(int fd, const std::string& line) {
  const std::string l = line + "\n";
  if (::write(fd, l.data(), l.size()) != static_cast<ssize_t>(l.size())) std::_Exit(3);
}

int work_card(const fs::path& dir, unsigned seed) {
  const wb::ProgramFolder prog{dir / "prog"};
  const fs::path lib = wb::library_path(prog, wb::LibraryKind::Card);
  // Held for the worker's life, as the program holds it.
  const wb::WriterLock lock(prog.sys());
  if (!lock.held()) return 5;
  const int fd = ::open((dir / "journal").c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0) return 2;
  std::mt19937 rng(seed);
  for (;;) {
    Op op;
    if (rng() % 10 < 6) {
      op.kind = 'S';
      op.well = static_cast<int>(rng() % 24);
      op.date = static_cast<int>(rng() % 2);
      op.value = static_cast<int>(rng() % 100000);
      journal(fd, "B S " + std::to_string(op.well) + " " + std::to_string(op.date) + " " + std::to_string(op.value));
      auto st = shown_test(op);
      if (wb::sgt_save_new(*st, lib).status != wb::LibStatus::Ok) return 4;
    } else {
      wb::RecordStore store(lib, kLen);
      std::size_t n = 0;
      if (store.count(n) != wb::StoreStatus::Ok) return 5;
      op.kind = 'D';
      op.row = static_cast<long long>(rng() % (n + 2));
      journal(fd, "B D " + std::to_string(op.row));
      if (wb::delete_library_record(prog, wb::LibraryKind::Card, op.row).status != wb::LibStatus::Ok) return 6;
    }
    journal(fd, "E");
  }
}

Bytes read_all(const fs::path& p) {
  std::vector<std::uint8_t> c;
  if (!fs::exists(p)) return {};
  if (!wb::read_file(p, c)) return {1};  // unreadable: never equal to a model
  return c;
}

// Starts a worker on `library` with a seed of its own and kills it at a random moment up to
// `max_delay_us` later (counted from the opening of its journal when `from_journal`): 0 when
// the kill ended it, 1 when it ended by itself, 2 when it could not be started.
int run_and_kill(const fs::path& dir, const char* library, std::mt19937& rng, unsigned max_delay_us, bool from_journal,
                 int k, bool rival = false) {
  fs::remove(dir / "journal");
  const unsigned worker_seed = static_cast<unsigned>(rng());
  const pid_t pid = ::fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    const std::string s = std::to_string(worker_seed);
    ::execl("/proc/self/exe", "wb_kill_test", "--work", dir.c_str(), s.c_str(), library, static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  if (from_journal)
    for (int w = 0; w < 20000 && !fs::exists(dir / "journal"); ++w)
      std::this_thread::sleep_for(std::chrono::microseconds(250));
  // The worker holds the folder's lock once its journal exists: the second copy starts then.
  pid_t second = -1;
  if (rival) {
    const std::string s = std::to_string(static_cast<unsigned>(rng()));
    second = ::fork();
    if (second < 0) return 2;
    if (second == 0) {
      ::execl("/proc/self/exe", "wb_kill_test", "--rival", dir.c_str(), s.c_str(), library, static_cast<char*>(nullptr));
      std::_Exit(127);
    }
  }
  std::this_thread::sleep_for(std::chrono::microseconds(rng() % max_delay_us));
  if (second > 0) {
    // The second copy goes first, so it never finds the folder free.
    ::kill(second, SIGKILL);
    int st = 0;
    ::waitpid(second, &st, 0);
    if (!(WIFSIGNALED(st) && WTERMSIG(st) == SIGKILL)) {
      std::fprintf(stderr, "kill %d: the second copy ended by itself (status %d)\n", k, st);
      return 1;
    }
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
    std::fprintf(stderr, "kill %d: the worker ended by itself (status %d)\n", k, status);
    return 1;
  }
  return 0;
}

// Reads the killed worker's journal ("B <operation>" before each operation, "E" after it):
// `begin` reads an operation from the rest of its line (false for a line cut by the kill: the
// operation had not started, and the journal ends there); `end` takes each operation that
// ended (false: stop, an error). Whether an operation was under way at the kill (then in
// `pending`); nullopt when `end` failed.
template <class Op, class Begin, class End>
std::optional<bool> replay_journal(const fs::path& file, Op& pending, Begin begin, End end) {
  std::ifstream j(file);
  std::string line;
  bool open = false;
  while (std::getline(j, line)) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    if (tag == "E") {
      if (!open) continue;
      if (!end(pending)) return std::nullopt;
      open = false;
    } else if (tag == "B") {
      Op op;
      if (!begin(in, op)) break;
      pending = op;
      open = true;
    }
  }
  return open;
}

// Whether `p` is a file the folder keeps between saves: the writer lock, or the journal file
// with no save pending in it.
bool kept_file(const fs::path& p) {
  return p.filename() == wb::kWriterLockName || (p.filename() == wb::kSaveJournalName && !wb::save_pending(p));
}

int count_leftovers(const fs::path& sys) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(sys))
    if (e.path().filename() != "Sgt.dat" && !kept_file(e.path())) ++n;
  return n;
}

int drive_card(int kills, const fs::path& dir, unsigned seed) {
  const wb::ProgramFolder prog{dir / "prog"};
  prog.create_folders();
  const fs::path lib = wb::library_path(prog, wb::LibraryKind::Card);
  Bytes model = read_all(lib);
  std::mt19937 rng(seed);
  long long ops_done = 0, torn_checks = 0, in_flight_after = 0;
  int max_leftovers = 0;
  for (int k = 0; k < kills; ++k) {
    if (const int rc = run_and_kill(dir, "card", rng, 60000, false, k); rc != 0) return rc;
    // The next open: a record write cut short is rolled back or forward first.
    if (wb::finish_interrupted_save(prog.sys() / wb::kSaveJournalName) != wb::StoreStatus::Ok) {
      std::fprintf(stderr, "kill %d: the interrupted save could not be finished or undone\n", k);
      return 1;
    }
    // Replay the journal on the model.
    Op pending;
    const bool open = *replay_journal(
        dir / "journal", pending,
        [](std::istringstream& in, Op& op) {
          in >> op.kind;
          if (op.kind == 'S') in >> op.well >> op.date >> op.value;
          else in >> op.row;
          return static_cast<bool>(in);
        },
        [&](const Op& op) {
          model = after_op(model, op);
          ++ops_done;
          return true;
        });
    const Bytes now = read_all(lib);
    ++torn_checks;
    if (open) {
      const Bytes after = after_op(model, pending);
      if (now == after) {
        model = after;
        ++in_flight_after;
      } else if (now != model) {
        std::fprintf(stderr, "kill %d: the library is neither the state before nor after '%c' (size %zu, before %zu, after %zu)\n",
                     k, pending.kind, now.size(), model.size(), after.size());
        return 1;
      }
    } else if (now != model) {
      std::fprintf(stderr, "kill %d: the library differs from the model (size %zu, model %zu)\n", k, now.size(), model.size());
      return 1;
    }
    const int left = count_leftovers(prog.sys());
    max_leftovers = std::max(max_leftovers, left);
    if (left > 2) {
      std::fprintf(stderr, "kill %d: %d files of interrupted writes in %s\n", k, left, prog.sys().c_str());
      return 1;
    }
  }
  std::printf("wb_kill_test: %d kills, %lld operations completed, %lld checks, %lld interrupted operations found done, "
              "%zu records at the end, at most %d leftover files, nothing lost\n",
              kills, ops_done, torn_checks, in_flight_after, model.size() / kLen, max_leftovers);
  return 0;
}

// ---- saves spanning several libraries ----

enum class Library { Card, Efficiency, Balance, Level, Design, Diagnosis };

// One save of a test: the key (well k, test time d), a value that lands in every library,
// and for the efficiency window whether the test is a joint one (which adds the well base);
// for the level library which step it is (0 "保存", 1 a marker, 2 the level of a stored record).
struct SaveOp {
  int well = 0, date = 0, value = 0, joint = 0;
};

// Answers every question with Yes (the overwrite questions).
struct YesMessages : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Yes;
  }
};

std::vector<std::string> library_files(Library lib) {
  switch (lib) {
    case Library::Efficiency: return {"gt_ym.dat", wb::kDlPhFileName, wb::kWellBaseFileName};
    case Library::Level: return {wb::kDymFile};
    case Library::Design: return {wb::design::design_record_path(wb::ProgramFolder{}).filename().string()};
    case Library::Diagnosis: return {wb::kBgtFileName};
    default: return {wb::kPhfxFileName, wb::kWellBaseFileName, wb::kDlPhFileName};
  }
}

std::vector<std::size_t> record_lengths(Library lib) {
  switch (lib) {
    case Library::Efficiency: return {wb::kGtYmRecordSize, wb::kDlPhRecordSize, wb::kWellBaseRecordSize};
    case Library::Level: return {wb::kDymRecordSize};
    case Library::Design: return {wb::design::kRodDesignRecordSize};
    case Library::Diagnosis: return {wb::kBgtRecordSize};
    default: return {wb::kPhfxRecordSize, wb::kWellBaseRecordSize, wb::kDlPhRecordSize};
  }
}

// A level test of `op`: the value lands in the depth and in every sample, so a record left
// half written differs from both the old and the new one.
wb::DymRecord level_record(const SaveOp& op) {
  wb::DymRecord d;
  d.well_name = well_of(op.well);
  d.test_date = date_of(op.date);
  d.sample_count = 5000;
  d.sample_rate = 250;
  d.level_depth = static_cast<float>(op.value % 3000);
  for (std::size_t i = 0; i < d.raw_curve.size(); ++i) {
    d.raw_curve[i] = static_cast<std::int16_t>((op.value + static_cast<int>(i)) % 4000);
    d.smooth_curve[i] = static_cast<std::int16_t>((op.value * 3 + static_cast<int>(i)) % 4000);
  }
  return d;
}

struct NoDesignControls : wb::design::DesignControls {
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

// The window's save of `op` into the libraries of `prog`; false when it reported a failure.
bool apply_save(Library lib, const wb::ProgramFolder& prog, const SaveOp& op) {
  YesMessages msg;
  const std::string well = well_of(op.well), test = date_of(op.date), v = std::to_string(op.value % 1000);
  if (lib == Library::Level) {
    wb::LevelLibrary level(prog);
    if (op.joint == 0) {
      int record = 0;
      return level.save(level_record(op), record) == wb::LimitedStatus::Ok;
    }
    std::size_t n = 0;
    if (wb::RecordStore(prog.sys() / wb::kDymFile, wb::kDymRecordSize).count(n) != wb::StoreStatus::Ok) return false;
    if (n == 0) return true;  // nothing stored to mark yet
    const int r = 1 + op.value % static_cast<int>(n);
    if (op.joint == 1) return level.save_marker(r, wb::LevelMarker::Level, static_cast<float>(op.value % 600)) == wb::StoreStatus::Ok;
    return level.save_level(r, static_cast<float>(op.value % 2000), static_cast<std::int16_t>(1 + op.value % 3),
                            static_cast<float>(300 + op.value % 100)) == wb::StoreStatus::Ok;
  }
  if (lib == Library::Design) {
    wb::design::DesignState st;
    wb::design::DesignRecords rec;
    rec.path = wb::design::design_record_path(prog);
    NoDesignControls controls;
    wb::design::DesignRecordIo io{msg, controls};
    st.JName_Comb = well;
    st.Date_Comb = test;
    st.Text3[0] = v;
    return wb::design::SaveDesignRecord(st, rec, io) == wb::design::DesignOutcome::done;
  }
  if (lib == Library::Diagnosis) {
    wb::DiagnosisState st;
    wb::DiagnosisIo io{msg, nullptr};
    wb::diagnosis_load(st, prog, io);
    st.Text1[wb::diag_box::kWell] = well;
    st.Text1[wb::diag_box::kDate] = test;
    st.set_box(wb::diag_box::kBore, std::to_string(30 + op.value % 60));
    return wb::Cmd_Save_Click(st, io);
  }
  if (lib == Library::Efficiency) {
    wb::EffiBoxTexts t{};
    t[0] = well;
    t[23] = test;
    t[2] = "CYJ10-3-53HB";
    t[5] = v;
    t[30] = std::to_string(op.value % 97);
    t[41] = "3";
    t[42] = std::to_string(op.value % 9 + 1);
    wb::DlPhRecord buf;
    wb::EffiWellBaseSource src;
    src.boxes = t;
    const wb::EffiTestSaveResult r =
        wb::save_effi_test(wb::gt_ym_path(prog), prog, t, buf, op.joint ? &src : nullptr, msg);
    return r.effi.saved && r.effi.summary_saved && (!op.joint || r.well_base.outcome == wb::SaveOutcome::Saved);
  }
  // The window's save: the record of the key found inside its set, the question answered Yes.
  wb::HeldStroke held;
  held.Cur_Well = well;
  held.Cur_Test = test;
  wb::ParameterBoxes boxes{};
  boxes[0] = std::to_string(op.value % 8);
  boxes[1] = std::to_string(op.value % 30);  // t, stored in kg: within its 16-bit field
  boxes[26] = v;
  return wb::save_balance_test(prog, wb::phfx_path(prog),
                               {held, boxes, wb::BalanceMode::Crank, "CYJ10-3-53HB", "advice " + v}, msg)
             .record > 0;
}

SaveOp random_save(std::mt19937& rng, Library lib) {
  SaveOp op;
  op.well = static_cast<int>(rng() % 12);
  op.date = static_cast<int>(rng() % 2);
  op.value = static_cast<int>(rng() % 100000);
  op.joint = lib == Library::Efficiency && rng() % 4 != 0 ? 1 : 0;
  if (lib == Library::Level) op.joint = static_cast<int>(rng() % 3);
  return op;
}

int work_saves(const fs::path& dir, unsigned seed, Library lib) {
  const wb::ProgramFolder prog{dir / "prog"};
  const wb::WriterLock lock(prog.sys());
  if (!lock.held()) return 5;
  const int fd = ::open((dir / "journal").c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0) return 2;
  std::mt19937 rng(seed);
  for (;;) {
    const SaveOp op = random_save(rng, lib);
    journal(fd, "B " + std::to_string(op.well) + " " + std::to_string(op.date) + " " + std::to_string(op.value) + " " +
                    std::to_string(op.joint));
    if (!apply_save(lib, prog, op)) return 4;
    journal(fd, "E");
  }
}

// A second copy of the program on the worker's folder: it finds the writer lock taken (the
// program would end there) and, as code that went on regardless would, tries to save. Each
// refused try is logged "R"; a lock taken or a save acknowledged is logged and is a failure.
int rival_saves(const fs::path& dir, unsigned seed, Library lib) {
  const wb::ProgramFolder prog{dir / "prog"};
  const int fd = ::open((dir / "rival").c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0) return 2;
  std::mt19937 rng(seed);
  for (;;) {
    {
      const wb::WriterLock lock(prog.sys());
      if (lock.held()) journal(fd, "L");
    }
    const SaveOp op = random_save(rng, lib);
    journal(fd, apply_save(lib, prog, op) ? "A" : "R");
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
}

std::vector<Bytes> files_of(Library lib, const wb::ProgramFolder& prog) {
  std::vector<Bytes> out;
  for (const auto& f : library_files(lib)) out.push_back(read_all(prog.sys() / f));
  return out;
}

std::size_t record_count(Library lib, const std::vector<Bytes>& files) {
  const std::vector<std::size_t> lens = record_lengths(lib);
  std::size_t n = 0;
  for (std::size_t i = 0; i < files.size(); ++i) n += files[i].size() / lens[i];
  return n;
}

void copy_libraries(Library lib, const wb::ProgramFolder& from, const wb::ProgramFolder& to) {
  fs::remove_all(to.root);
  to.create_folders();
  for (const auto& f : library_files(lib))
    if (fs::exists(from.sys() / f)) fs::copy_file(from.sys() / f, to.sys() / f);
}

int drive_saves(int kills, const fs::path& dir, unsigned seed, Library lib, const char* name, bool rival) {
  const wb::ProgramFolder live{dir / "prog"}, model{dir / "model"}, after{dir / "after"};
  live.create_folders();
  model.create_folders();
  std::mt19937 rng(seed);
  long long ops_done = 0, in_flight_before = 0, in_flight_after = 0, split = 0, lost = 0, refused = 0;
  int max_leftovers = 0;
  for (int k = 0; k < kills; ++k) {
    // The random moment counts from the worker's start (its journal is open), however slowly
    // the program loads (a sanitizer build takes longer than a save). A save of several files
    // takes a few tens of milliseconds: kills reach into the second and third save too.
    fs::remove(dir / "rival");
    if (const int rc = run_and_kill(dir, name, rng, 100000, true, k, rival); rc != 0) return rc;
    if (rival) {
      std::ifstream in(dir / "rival");
      std::string line;
      while (std::getline(in, line)) {
        if (line == "R") {
          ++refused;
          continue;
        }
        std::fprintf(stderr, "kill %d: the second copy %s\n", k,
                     line == "L" ? "took the folder's lock" : "had a save acknowledged");
        return 1;
      }
    }
    // The next open of the libraries.
    if (wb::finish_interrupted_save(live.sys() / wb::kSaveJournalName) != wb::StoreStatus::Ok) {
      std::fprintf(stderr, "kill %d: the interrupted save could not be finished or undone\n", k);
      return 1;
    }
    // Repeat the completed saves on the model.
    SaveOp pending;
    const std::optional<bool> under_way = replay_journal(
        dir / "journal", pending,
        [](std::istringstream& in, SaveOp& op) {
          in >> op.well >> op.date >> op.value >> op.joint;
          return static_cast<bool>(in);
        },
        [&](const SaveOp& op) {
          if (!apply_save(lib, model, op)) return false;
          ++ops_done;
          return true;
        });
    if (!under_way) return 2;
    const bool open = *under_way;
    const std::vector<Bytes> now = files_of(lib, live), before = files_of(lib, model);
    std::vector<Bytes> target = before;
    if (open && now != before) {  // the state after the save is needed only when it is not the one before
      copy_libraries(lib, model, after);
      if (!apply_save(lib, after, pending)) return 2;
      target = files_of(lib, after);
    }
    std::size_t as_before = 0, as_after = 0;
    for (std::size_t i = 0; i < now.size(); ++i) {
      as_before += now[i] == before[i];
      as_after += now[i] == target[i];
    }
    if (as_after == now.size() && open && now != before) {
      copy_libraries(lib, after, model);
      ++in_flight_after;
    } else if (as_before == now.size()) {
      if (open) ++in_flight_before;
    } else {
      const bool torn = as_before + as_after >= now.size() && as_before > 0 && as_after > 0;
      if (torn) ++split;
      if (record_count(lib, now) < record_count(lib, before)) ++lost;
      std::fprintf(stderr, "kill %d: the libraries are %s (%zu of %zu as before, %zu as after)\n", k,
                   torn ? "split between before and after the save" : "neither before nor after the save", as_before,
                   now.size(), as_after);
      std::printf("wb_kill_test --library %s: %lld split states, %lld records lost\n", name, split, lost);
      return 1;
    }
    int left = 0;
    const std::vector<std::string> names = library_files(lib);
    for (const auto& e : fs::directory_iterator(live.sys()))
      if (std::find(names.begin(), names.end(), e.path().filename().string()) == names.end() && !kept_file(e.path()))
        ++left;
    max_leftovers = std::max(max_leftovers, left);
    if (left > 3) {
      std::fprintf(stderr, "kill %d: %d files of interrupted writes in %s\n", k, left, live.sys().c_str());
      return 1;
    }
  }
  std::printf("wb_kill_test --library %s: %d kills, %lld saves completed, interrupted saves found %lld undone and "
              "%lld done, %zu records at the end, at most %d leftover files, %lld split states, %lld records lost\n",
              name, kills, ops_done, in_flight_before, in_flight_after, record_count(lib, files_of(lib, model)),
              max_leftovers, split, lost);
  if (rival) std::printf("wb_kill_test --library %s: a second copy beside each worker, %lld saves refused, none acknowledged\n", name, refused);
  return 0;
}

bool parse_library(const std::string& s, Library& lib) {
  if (s == "card") lib = Library::Card;
  else if (s == "efficiency") lib = Library::Efficiency;
  else if (s == "balance") lib = Library::Balance;
  else if (s == "level") lib = Library::Level;
  else if (s == "design") lib = Library::Design;
  else if (s == "diagnosis") lib = Library::Diagnosis;
  else return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Library lib = Library::Card;
  if (argc == 5 && std::strcmp(argv[1], "--work") == 0) {
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    if (!parse_library(argv[4], lib)) return 2;
    return lib == Library::Card ? work_card(argv[2], seed) : work_saves(argv[2], seed, lib);
  }
  if (argc == 5 && std::strcmp(argv[1], "--rival") == 0) {
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    if (!parse_library(argv[4], lib) || lib == Library::Card) return 2;
    return rival_saves(argv[2], seed, lib);
  }
  bool rival = false;
  int kills = 40;
  fs::path dir;
  std::string name = "card";
  unsigned seed = static_cast<unsigned>(std::random_device{}());
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--kills") == 0) kills = std::atoi(argv[i + 1]);
    else if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--seed") == 0) seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    else if (std::strcmp(argv[i], "--library") == 0) name = argv[i + 1];
    else if (std::strcmp(argv[i], "--rival") == 0) rival = std::atoi(argv[i + 1]) != 0;
  }
  if (!parse_library(name, lib)) {
    std::fprintf(stderr, "wb_kill_test: unknown library '%s' (card, efficiency, balance, level, design or diagnosis)\n", name.c_str());
    return 2;
  }
  std::printf("wb_kill_test: library %s, seed %u\n", name.c_str(), seed);
  const bool own_dir = dir.empty();
  if (own_dir) {
    char tmpl[] = "/tmp/wb_kill.XXXXXX";
    if (!::mkdtemp(tmpl)) return 2;
    dir = tmpl;
  }
  const int rc = lib == Library::Card ? drive_card(kills, dir, seed) : drive_saves(kills, dir, seed, lib, name.c_str(), rival);
  if (own_dir && rc == 0) fs::remove_all(dir);
  return rc;
}
