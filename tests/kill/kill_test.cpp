// Kill test of the card library: a worker process saves and deletes records in a loop the
// way the main window does (sgt_save_new, delete_library_record) and is killed at a random
// moment; the library must then hold the state before or after the operation that was
// under way (never a torn file, no record lost), and files of interrupted writes must not
// pile up.
//
//   wb_kill_test [--kills N] [--dir FOLDER] [--seed S]    drive N kills (default 40)
//   wb_kill_test --work FOLDER SEED                        the worker (started by the driver)
//
// The worker logs every operation to FOLDER/journal before it starts ("B ...") and after it
// ended ("E"), with write(2): what reached the kernel survives the kill.
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
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/common/record_store.h"
#include "core/common/trim.h"
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
    r.decode(Bytes(lib.begin() + static_cast<std::ptrdiff_t>(i * kLen), lib.begin() + static_cast<std::ptrdiff_t>((i + 1) * kLen)));
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

int work(const fs::path& dir, unsigned seed) {
  const wb::ProgramFolder prog{dir / "prog"};
  const fs::path lib = wb::library_path(prog, wb::LibraryKind::Card);
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

int count_leftovers(const fs::path& sys) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(sys))
    if (e.path().filename() != "Sgt.dat") ++n;
  return n;
}

int drive(int kills, fs::path dir, unsigned seed) {
  const bool own_dir = dir.empty();
  if (own_dir) {
    char tmpl[] = "/tmp/wb_kill.XXXXXX";
    if (!::mkdtemp(tmpl)) return 2;
    dir = tmpl;
  }
  const wb::ProgramFolder prog{dir / "prog"};
  prog.create_folders();
  const fs::path lib = wb::library_path(prog, wb::LibraryKind::Card);
  Bytes model = read_all(lib);
  std::mt19937 rng(seed);
  long long ops_done = 0, torn_checks = 0, in_flight_after = 0;
  int max_leftovers = 0;
  for (int k = 0; k < kills; ++k) {
    fs::remove(dir / "journal");
    const unsigned worker_seed = static_cast<unsigned>(rng());
    const pid_t pid = ::fork();
    if (pid < 0) return 2;
    if (pid == 0) {
      const std::string s = std::to_string(worker_seed);
      ::execl("/proc/self/exe", "wb_kill_test", "--work", dir.c_str(), s.c_str(), static_cast<char*>(nullptr));
      std::_Exit(127);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 60000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
      std::fprintf(stderr, "kill %d: the worker ended by itself (status %d)\n", k, status);
      return 1;
    }
    // Replay the journal on the model.
    std::ifstream j(dir / "journal");
    std::string line;
    Op pending;
    bool open = false;
    while (std::getline(j, line)) {
      std::istringstream in(line);
      std::string tag;
      in >> tag;
      if (tag == "E") {
        if (!open) continue;
        model = after_op(model, pending);
        open = false;
        ++ops_done;
      } else if (tag == "B") {
        Op op;
        in >> op.kind;
        if (op.kind == 'S') in >> op.well >> op.date >> op.value;
        else in >> op.row;
        if (!in) break;  // a line cut by the kill: the operation had not started
        pending = op;
        open = true;
      }
    }
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
  if (own_dir) fs::remove_all(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--work") == 0) return work(argv[2], static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)));
  int kills = 40;
  fs::path dir;
  unsigned seed = static_cast<unsigned>(std::random_device{}());
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--kills") == 0) kills = std::atoi(argv[i + 1]);
    else if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--seed") == 0) seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
  }
  std::printf("wb_kill_test: seed %u\n", seed);
  return drive(kills, dir, seed);
}
