// The writer lock against lock files that cannot be trusted, each case with two programs on
// one folder (wb_lock_probe, started one after the other): at most one of them writes at a
// time, nothing outside the folder is touched, and a program refused says why, naming the lock.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../efficiency/effi_test_util.h"
#include "../workbench/temp_program_folder.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/common/writer_lock.h"
#include "core/efficiency/effi_records.h"
#include "core/workbench/test_libraries.h"
#include "lock_probe.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using test::LockProbe;

// The user a case "as an ordinary user" runs as when this test runs as root.
constexpr unsigned kOrdinaryUser = 65534;

std::string content(const fs::path& p) {
  std::vector<std::uint8_t> c;
  if (!read_file(p, c)) return "(none)";
  return std::string(c.begin(), c.end());
}

void put(const fs::path& p, const std::string& s) {
  ASSERT_TRUE(write_file_atomic(p, std::vector<std::uint8_t>(s.begin(), s.end())));
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

void chown_all(const fs::path& top, unsigned id) {
  ASSERT_EQ(::lchown(top.c_str(), id, id), 0);
  for (const auto& e : fs::recursive_directory_iterator(top)) ASSERT_EQ(::lchown(e.path().c_str(), id, id), 0);
}

// One case: `before` readies the folder (the program folder `prog` beside `outside`), the
// first program starts (and saves 'A' when it holds the lock), `while_held` changes the
// folder, the second starts (and saves 'B' when it holds the lock), the first saves 'C'.
// Each program's lines start as given ("{L}" stands for the lock's name in the messages), and
// the files named then hold what is given.
struct LockCase {
  const char* name;
  std::function<void(const fs::path& prog, const fs::path& outside)> before, while_held;
  bool ordinary_user;
  std::vector<std::string> first, second;
  std::map<std::string, std::string> files;  // relative to the program folder
};

TEST(WriterLock, ALockThatCannotBeTrustedLetsNoSecondWriterIn) {
  const fs::path top = fs::canonical(fs::temp_directory_path()) / ("wb_lock_" + std::to_string(::getpid()));
  const auto link_to = [](const char* name) {
    return [name](const fs::path& prog, const fs::path& outside) {
      fs::create_symlink(outside / name, prog / "sys" / kWriterLockName);
    };
  };
  const auto swap_sys = [](const fs::path& prog, const fs::path&) {
    fs::rename(prog / "sys", prog / "sys.old");
    fs::create_directory(prog / "sys");
    fs::copy_file(prog / "sys.old" / "A.dat", prog / "sys" / "A.dat");
  };
  const std::string link = "{L} 是符号链接", busy = "该程序目录已由另一个工作台打开", lost = "{L} 在本程序运行中被删除或替换";
  const std::vector<LockCase> cases = {
      {"link to a file outside", link_to("keep.txt"), {}, false,
       {"failed " + link, "refused " + link}, {"failed " + link, "refused " + link}, {{"sys/A.dat", "aaaa"}}},
      {"dangling link", link_to("made.txt"), {}, false,
       {"failed " + link, "refused " + link}, {"failed " + link, "refused " + link}, {{"sys/A.dat", "aaaa"}}},
      {"folder", [](const fs::path& prog, const fs::path&) { fs::create_directory(prog / "sys" / kWriterLockName); }, {},
       false, {"failed {L} 是文件夹", "refused {L} 是文件夹"}, {"failed {L} 是文件夹", "refused {L} 是文件夹"},
       {{"sys/A.dat", "aaaa"}}},
      {"read-only, as an ordinary user",
       [](const fs::path& prog, const fs::path&) {
         put(prog / "sys" / kWriterLockName, "");
         fs::permissions(prog / "sys" / kWriterLockName, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
       },
       {}, true, {"held", "saved", "saved"}, {"busy " + busy, "refused " + busy}, {{"sys/A.dat", "aaaaAAAACCCC"}}},
      {"deleted while held", {}, [](const fs::path& prog, const fs::path&) { fs::remove(prog / "sys" / kWriterLockName); },
       false, {"held", "saved", "refused " + lost}, {"held", "saved"}, {{"sys/A.dat", "aaaaAAAABBBB"}}},
      {"sys swapped while held", {}, swap_sys, false, {"held", "saved", "refused " + lost}, {"held", "saved"},
       {{"sys/A.dat", "aaaaAAAABBBB"}, {"sys.old/A.dat", "aaaaAAAA"}}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const LockCase& c = cases[i];
    SCOPED_TRACE(c.name);
    const fs::path base = top / std::to_string(i), prog = base / "prog", outside = base / "outside";
    fs::create_directories(prog / "sys");
    fs::create_directories(prog / "data");
    fs::create_directories(outside);
    put(outside / "keep.txt", "keep");
    put(prog / "sys" / "A.dat", "aaaa");
    if (c.before) c.before(prog, outside);
    std::optional<unsigned> uid;
    if (c.ordinary_user && ::geteuid() == 0) {
      uid = kOrdinaryUser;
      chown_all(base, *uid);
    }
    const auto expand = [&](std::string s) {
      const std::string lock = "程序目录的写入锁 " + path_text(prog / "sys" / kWriterLockName);
      if (const auto at = s.find("{L}"); at != std::string::npos) s.replace(at, 3, lock);
      return s;
    };
    std::vector<std::string> one, two;
    LockProbe first(prog, uid);
    one.push_back(first.line());
    if (one[0] == "nouid") {
      std::printf("[  SKIPPED ] case \"%s\": root cannot become user %u here\n", c.name, kOrdinaryUser);
      continue;
    }
    const bool first_held = one[0] == "held";
    one.push_back(first_held ? first.save('A') : first.line());
    if (c.while_held) c.while_held(prog, outside);
    LockProbe second(prog, uid);
    two.push_back(second.line());
    two.push_back(two[0] == "held" ? second.save('B') : second.line());
    if (first_held) one.push_back(first.save('C'));
    first.finish();
    second.finish();
    for (const auto& [said, expected] : {std::pair{&one, &c.first}, std::pair{&two, &c.second}}) {
      EXPECT_EQ(said->size(), expected->size()) << ::testing::PrintToString(*said);
      for (std::size_t k = 0; k < std::min(said->size(), expected->size()); ++k) {
        const std::string& line = (*said)[k];
        EXPECT_EQ(line.rfind(expand((*expected)[k]), 0), 0u) << line << "\n  expected to start with "
                                                             << expand((*expected)[k]);
        // A save's refusal says what happened to the save, not what a program does at start.
        EXPECT_EQ(line.find("本程序将退出"), std::string::npos) << line;
        EXPECT_EQ(line.find("。。"), std::string::npos) << line;
      }
    }
    for (const auto& [name, bytes] : c.files) EXPECT_EQ(content(prog / name), bytes) << name;
    EXPECT_EQ(names_in(outside), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(content(outside / "keep.txt"), "keep");
  }
  std::error_code ec;
  fs::remove_all(top, ec);
}

// What the program says at start for a lock it cannot take, and that it takes none through
// a link even when the link's target could be locked.
TEST(WriterLock, AtStartALockThatCannotBeTakenIsSaidWithItsPathAndCause) {
  test::TempProgram tp;
  const fs::path lock = tp.prog.sys() / kWriterLockName;
  const fs::path target = tp.prog.root / "data" / "elsewhere.lock";
  put(target, "");
  fs::create_symlink(target, lock);
  const WriterLock w(tp.prog.sys());
  EXPECT_EQ(w.state(), WriterLock::State::Failed);
  const std::string text = w.start_refusal_text();
  EXPECT_NE(text.find(path_text(lock)), std::string::npos) << text;
  EXPECT_NE(text.find("符号链接"), std::string::npos) << text;
  EXPECT_NE(text.find("本程序将退出"), std::string::npos) << text;
  const InterruptedSave r = recover_interrupted_save(tp.prog.sys() / kSaveJournalName);
  EXPECT_EQ(r.outcome, InterruptedSave::Outcome::Nothing);  // no save pending: nothing to say
  EXPECT_EQ(finish_interrupted_save(tp.prog.sys() / kSaveJournalName), StoreStatus::IoError);
  EXPECT_TRUE(fs::is_symlink(lock));
  EXPECT_EQ(content(target), "");
}

// The efficiency window's save while another program holds the folder: the message says the
// data were not saved and why, once, with no word of the program ending.
TEST(WriterLock, ASaveRefusedForAnotherProgramSaysWhatHappenedToThisSave) {
  test::TempProgram tp;
  LockProbe other(tp.prog.root);
  ASSERT_EQ(other.line(), "held");
  test::ScriptedMessages msg;
  DlPhRecord buf;
  const EffiTestSaveResult r =
      save_effi_test(gt_ym_path(tp.prog), tp.prog, test::sample_effi_boxes(), buf, nullptr, msg);
  EXPECT_FALSE(r.effi.saved);
  EXPECT_FALSE(fs::exists(gt_ym_path(tp.prog)));
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, "数据未保存：该程序目录已由另一个工作台打开（" + path_text(tp.prog.root) +
                                   "），同一目录只能由一个工作台保存数据。");
}

// A record written outside any save (the level, design, diagnosis and main window saves) goes
// through a set of its own: once the program's lock is lost, the write is refused and the
// window's message gives the set's cause.
TEST(WriterLock, ARecordWriteRefusedForALostLockSaysWhy) {
  test::TempProgram tp;
  const fs::path lib = tp.prog.sys() / "A.dat";
  put(lib, "aaaa");
  const WriterLock program(tp.prog.sys());
  ASSERT_TRUE(program.held());
  ASSERT_EQ(RecordStore(lib, 4).write(2, Bytes(4, 'b')), StoreStatus::Ok);
  EXPECT_EQ(set_refusal(), "");
  fs::remove(tp.prog.sys() / kWriterLockName);
  EXPECT_EQ(RecordStore(lib, 4).write(1, Bytes(4, 'c')), StoreStatus::IoError);
  EXPECT_EQ(content(lib), "aaaabbbb");
  const std::string text = library_failure_message(LibOperation::Save, LibStatus::IoError, lib, "W1").text;
  EXPECT_NE(text.find("（程序目录的写入锁 " + path_text(tp.prog.sys() / kWriterLockName) + " 在本程序运行中被删除或替换"),
            std::string::npos)
      << text;
  EXPECT_EQ(RecordStore(lib, 4).remove(1), StoreStatus::IoError);
  EXPECT_NE(library_failure_message(LibOperation::Delete, LibStatus::IoError, lib, "W1").text.find("被删除或替换"),
            std::string::npos);
  EXPECT_EQ(content(lib), "aaaabbbb");
}

}  // namespace
}  // namespace wb
