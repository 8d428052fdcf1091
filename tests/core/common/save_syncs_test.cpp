// The syncs of a save: how many it makes, and that a power cut between any two of them
// leaves every library as before the save or as after it, once the next start has recovered.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/common/record_store.h"
#include "journal_folder.h"
#include "sync_recorder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Content = std::vector<std::uint8_t>;

constexpr std::size_t kRec = 1024;  // records of the test libraries

Content records(const std::string& letters) {
  Content out;
  for (char c : letters) out.insert(out.end(), kRec, static_cast<std::uint8_t>(c));
  return out;
}

Content read_or_none(const fs::path& p) {
  Content c;
  if (!read_file(p, c)) return Content{'?'};
  return c;
}

// The disk as a power cut leaves it under the strictest reading of POSIX: a file holds what
// it held at its last fsync or fdatasync (a file never synced since it was made: nothing), a
// folder the names it held at its last fsync; nothing else that was written survives. It
// follows the folders of one program folder (the folder itself, sys and data) and keeps the
// state after each sync the save makes. Every file it has seen is held open (O_PATH), so no
// inode number is given again to another file while it watches.
class PowerCutDisk {
 public:
  explicit PowerCutDisk(fs::path root) : root_(std::move(root)) {
    for (const char* folder : {"", "sys", "data"}) list(root_ / folder, true);
    states_.push_back(state_);
  }
  ~PowerCutDisk() {
    for (int fd : pinned_) ::close(fd);
  }
  PowerCutDisk(const PowerCutDisk&) = delete;
  PowerCutDisk& operator=(const PowerCutDisk&) = delete;

  void synced(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      const fs::path folder = test::fd_path(fd);
      if (folder == root_ || folder.parent_path() == root_) list(folder, false);
    } else if (S_ISREG(st.st_mode)) {
      state_.files[{st.st_dev, st.st_ino}] = read_or_none(test::fd_path(fd));
      pin(test::fd_path(fd));
    }
    states_.push_back(state_);
  }
  // How many states there are: before the first sync, and after each.
  std::size_t states() const { return states_.size(); }
  // Lays state `i` out as a program folder at `to`.
  void restore(std::size_t i, const fs::path& to) const {
    const State& s = states_.at(i);
    for (const auto& [folder, names] : s.folders) {
      fs::create_directories(to / folder);
      for (const auto& [name, node] : names) {
        const fs::path p = to / folder / name;
        if (node.kind == fs::file_type::directory) {
          fs::create_directories(p);
        } else if (node.kind == fs::file_type::symlink) {
          fs::create_symlink(node.link, p);
        } else if (node.kind == fs::file_type::regular) {
          const auto it = s.files.find(node.inode);
          ASSERT_TRUE(write_file_atomic(p, it == s.files.end() ? Content{} : it->second));
        }
      }
    }
  }

 private:
  using Inode = std::pair<dev_t, ino_t>;
  struct Node {
    fs::file_type kind = fs::file_type::none;
    Inode inode{};
    fs::path link;
  };
  struct State {
    std::map<std::string, std::map<std::string, Node>> folders;  // relative folder -> names
    std::map<Inode, Content> files;
  };
  void pin(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) pinned_.push_back(fd);
  }
  // The names of `folder` as they are now; `contents`: the files' bytes too (the start).
  void list(const fs::path& folder, bool contents) {
    std::map<std::string, Node>& names = state_.folders[folder.lexically_relative(root_).string()];
    names.clear();
    for (const auto& e : fs::directory_iterator(folder)) {
      struct stat st {};
      if (::lstat(e.path().c_str(), &st) != 0) continue;
      Node n;
      n.kind = e.symlink_status().type();
      n.inode = {st.st_dev, st.st_ino};
      if (n.kind == fs::file_type::symlink) n.link = fs::read_symlink(e.path());
      if (contents && n.kind == fs::file_type::regular) state_.files[n.inode] = read_or_none(e.path());
      pin(e.path());
      names[e.path().filename().string()] = n;
    }
  }
  fs::path root_;
  State state_;
  std::vector<State> states_;
  std::vector<int> pinned_;
};

class SaveSyncsTest : public test::JournalFolderTest {
 protected:
  void SetUp() override { make_folder("wb_syncs_"); }
};

struct Save {
  const char* name;
  std::function<void(const fs::path& root)> before;  // the libraries before the save
  std::function<StoreStatus(const fs::path& root)> run;
  std::size_t most_syncs;
};

StoreStatus one_record(const fs::path& root, std::size_t r, const std::string& letter) {
  return RecordStore(root / "sys" / "A.dat", kRec).write(r, records(letter));
}

StoreStatus a_set(const fs::path& root, const std::function<StoreStatus()>& body) {
  SaveSet set(root / "sys" / kSaveJournalName, "test save");
  StoreStatus st = set.opened();
  if (st == StoreStatus::Ok) st = body();
  if (st == StoreStatus::Ok) st = set.commit();
  return st;
}

std::vector<Save> saves() {
  auto abc = [](const fs::path& root) {
    ASSERT_TRUE(write_file_atomic(root / "sys" / "A.dat", records("aaa")));
    ASSERT_TRUE(write_file_atomic(root / "data" / "B.dat", records("bbb")));
    ASSERT_TRUE(write_file_atomic(root / "data" / "C.dat", records("ccc")));
  };
  auto a = [](const fs::path& r) { return RecordStore(r / "sys" / "A.dat", kRec); };
  auto b = [](const fs::path& r) { return RecordStore(r / "data" / "B.dat", kRec); };
  auto c = [](const fs::path& r) { return RecordStore(r / "data" / "C.dat", kRec); };
  return {
      {"one record replaced", abc, [](const fs::path& r) { return one_record(r, 2, "X"); }, 3},
      {"one record appended", abc, [](const fs::path& r) { return one_record(r, 4, "X"); }, 3},
      {"a set of two libraries", abc,
       [=](const fs::path& r) {
         return a_set(r, [&] {
           StoreStatus st = a(r).write(1, records("X"));
           return st == StoreStatus::Ok ? b(r).write(4, records("Y")) : st;
         });
       },
       4},
      {"a set of three libraries", abc,
       [=](const fs::path& r) {
         return a_set(r, [&] {
           StoreStatus st = a(r).write(1, records("X"));
           if (st == StoreStatus::Ok) st = b(r).write(2, records("Y"));
           return st == StoreStatus::Ok ? c(r).write(4, records("Z")) : st;
         });
       },
       5},
      // Files rewritten whole (a new library, a deletion) take their temporary files and the
      // folders' syncs besides.
      {"a set with a new library", abc,
       [=](const fs::path& r) {
         return a_set(r, [&] {
           StoreStatus st = a(r).write(2, records("X"));
           return st == StoreStatus::Ok ? RecordStore(r / "data" / "D.dat", kRec).write(1, records("Y")) : st;
         });
       },
       9},
      {"a set with a deletion", abc,
       [=](const fs::path& r) {
         return a_set(r, [&] {
           StoreStatus st = b(r).remove(1);
           return st == StoreStatus::Ok ? a(r).write(2, records("X")) : st;
         });
       },
       9},
  };
}

// The libraries of a program folder, to compare before and after.
std::vector<Content> libraries(const fs::path& root) {
  std::vector<Content> out;
  for (const char* name : {"sys/A.dat", "data/B.dat", "data/C.dat", "data/D.dat"}) out.push_back(read_or_none(root / name));
  return out;
}

// A program folder as the program finds it when it starts: libraries, writer lock and an
// empty journal file.
void start(const fs::path& root, const std::function<void(const fs::path&)>& before) {
  fs::create_directories(root / "sys");
  fs::create_directories(root / "data");
  before(root);
  const InterruptedSave none = recover_interrupted_save(root / "sys" / kSaveJournalName);
  ASSERT_EQ(none.outcome, InterruptedSave::Outcome::Nothing);
}

TEST_F(SaveSyncsTest, ASaveOfRecordsMakesTwoSyncsAndOnePerLibrary) {
  for (const Save& s : saves()) {
    SCOPED_TRACE(s.name);
    const fs::path root = dir_ / s.name;
    start(root, s.before);
    std::vector<std::string> syncs;
    {
      const test::ObserveSyncs observe([&](int fd, bool data_only) {
        syncs.push_back(std::string(data_only ? "fdatasync " : "fsync ") + test::fd_path(fd));
      });
      ASSERT_EQ(s.run(root), StoreStatus::Ok);
    }
    std::string all;
    for (const auto& line : syncs) all += "\n  " + line;
    EXPECT_LE(syncs.size(), s.most_syncs) << all;
    std::printf("%s: %zu syncs\n", s.name, syncs.size());
  }
}

// The first save in a folder that has no journal file yet (the program makes it at start)
// makes it: one sync more, once.
TEST_F(SaveSyncsTest, TheFirstSaveOfAFolderWithoutAJournalFileMakesIt) {
  ASSERT_TRUE(write_file_atomic(a_, records("aaa")));
  std::size_t first = 0, second = 0;
  {
    const test::ObserveSyncs observe([&](int, bool) { ++first; });
    ASSERT_EQ(one_record(root_, 2, "X"), StoreStatus::Ok);
  }
  {
    const test::ObserveSyncs observe([&](int, bool) { ++second; });
    ASSERT_EQ(one_record(root_, 2, "Y"), StoreStatus::Ok);
  }
  EXPECT_EQ(first, 4u);
  EXPECT_EQ(second, 3u);
  EXPECT_EQ(read_or_none(a_), records("aYa"));
  EXPECT_FALSE(save_pending(jnl_));
}

// A power cut after each sync of a save (between two steps: what was written since the last
// sync is lost): the next start finds every library as before the save or as after it, never
// some of each, and as after it once the save has returned.
TEST_F(SaveSyncsTest, APowerCutBetweenAnyTwoStepsLeavesTheSaveDoneOrNotDone) {
  for (const Save& s : saves()) {
    for (const bool journal_file : {true, false}) {
      SCOPED_TRACE(std::string(s.name) + (journal_file ? "" : ", no journal file yet"));
      const fs::path root = dir_ / (std::string(s.name) + (journal_file ? "" : " first"));
      start(root, s.before);
      if (!journal_file) fs::remove(root / "sys" / kSaveJournalName);
      const std::vector<Content> before = libraries(root);
      std::unique_ptr<PowerCutDisk> disk = std::make_unique<PowerCutDisk>(root);
      {
        const test::ObserveSyncs observe([&](int fd, bool) { disk->synced(fd); });
        ASSERT_EQ(s.run(root), StoreStatus::Ok);
      }
      const std::vector<Content> after = libraries(root);
      ASSERT_NE(after, before);
      bool done = false;
      for (std::size_t i = 0; i < disk->states(); ++i) {
        SCOPED_TRACE("cut after sync " + std::to_string(i));
        const fs::path cut = dir_ / "cut";
        fs::remove_all(cut);
        disk->restore(i, cut);
        const InterruptedSave r = recover_interrupted_save(cut / "sys" / kSaveJournalName);
        EXPECT_NE(r.outcome, InterruptedSave::Outcome::SetAside) << r.message();
        EXPECT_NE(r.outcome, InterruptedSave::Outcome::Failed) << r.message();
        EXPECT_FALSE(save_pending(cut / "sys" / kSaveJournalName));
        const std::vector<Content> now = libraries(cut);
        EXPECT_TRUE(now == before || now == after);
        if (done) {
          EXPECT_EQ(now, after) << "a save found done is done at every later cut";
        }
        done = now == after;
      }
      EXPECT_TRUE(done) << "the save returned: a cut after it finds it done";
    }
  }
}

}  // namespace
}  // namespace wb
