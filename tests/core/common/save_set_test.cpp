// Saves spanning several libraries: every file written or none, a save cut short finished or
// undone from its intent file at the next open, and a roll that cannot be done reported.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/record_store.h"
#include "journal_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Content = std::vector<std::uint8_t>;
using test::text;

class SaveSetTest : public test::JournalFolderTest {
 protected:
  void SetUp() override {
    make_folder("wb_saveset_");
    ASSERT_TRUE(write_file_atomic(a_, text("aaaa")));
    ASSERT_TRUE(write_file_atomic(b_, text("bbbb")));
  }
  static std::string read(const fs::path& p) { return test::read_text(p); }
  std::vector<std::string> files(const fs::path& d) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(d)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(SaveSetTest, WritesEveryFileAtCommitAndLeavesNothingBehind) {
  // Temporary files of earlier interrupted writes lie about.
  ASSERT_TRUE(write_file_via(root_ / "data" / ".wbsave-0123456789abcdef", dir_ / "t1", text("old")));
  ASSERT_TRUE(write_file_via(a_.string() + ".tmp00ff00ff00ff00ff", dir_ / "t2", text("old")));
  ASSERT_TRUE(write_file_via(jnl_.string() + ".tmp1234", dir_ / "t3", text("old")));
  {
    SaveSet set(jnl_);
    ASSERT_EQ(set.opened(), StoreStatus::Ok);
    RecordStore a(a_, 4), b(b_, 4);
    ASSERT_EQ(a.write(1, text("AAAA")), StoreStatus::Ok);
    std::size_t r = 0;
    ASSERT_EQ(b.save_replace([](const Bytes&) { return false; }, text("BBBB"), r), StoreStatus::Ok);
    EXPECT_EQ(r, 2u);
    // Inside the set the libraries read as written; on disk nothing has changed yet.
    std::size_t n = 0;
    ASSERT_EQ(b.count(n), StoreStatus::Ok);
    EXPECT_EQ(n, 2u);
    Bytes rec;
    ASSERT_EQ(b.read(2, rec), StoreStatus::Ok);
    EXPECT_EQ(rec, text("BBBB"));
    EXPECT_EQ(read(a_), "aaaa");
    EXPECT_EQ(read(b_), "bbbb");
    ASSERT_EQ(set.commit(), StoreStatus::Ok);
  }
  EXPECT_EQ(read(a_), "AAAA");
  EXPECT_EQ(read(b_), "bbbbBBBB");
  EXPECT_FALSE(save_pending(jnl_));
  EXPECT_EQ(files(root_ / "data"), std::vector<std::string>{"B.dat"});
  // After the set, writes go straight to the library again.
  ASSERT_EQ(RecordStore(a_, 4).write(1, text("xxxx")), StoreStatus::Ok);
  EXPECT_EQ(read(a_), "xxxx");
}

TEST_F(SaveSetTest, AFileThatCannotBeWrittenLeavesEveryLibraryAsItWas) {
  {
    SaveSet set(jnl_);
    ASSERT_EQ(RecordStore(a_, 4).write(1, text("AAAA")), StoreStatus::Ok);
    ASSERT_EQ(RecordStore(b_, 4).write(1, text("BBBB")), StoreStatus::Ok);
    fs::remove_all(root_ / "data");  // B's folder goes before the commit
    EXPECT_EQ(set.commit(), StoreStatus::IoError);
    EXPECT_NE(set.cause(), "");
  }
  EXPECT_EQ(read(a_), "aaaa");
  EXPECT_FALSE(save_pending(jnl_));
  EXPECT_EQ(files(root_ / "sys"), (std::vector<std::string>{"A.dat", kWriterLockName}));
}

TEST_F(SaveSetTest, ASetLeftUncommittedWritesNothing) {
  {
    SaveSet set(jnl_);
    ASSERT_EQ(RecordStore(a_, 4).write(1, text("AAAA")), StoreStatus::Ok);
    SaveSet inner(jnl_);  // sets do not nest
    EXPECT_NE(inner.opened(), StoreStatus::Ok);
    EXPECT_NE(inner.commit(), StoreStatus::Ok);
  }
  EXPECT_EQ(read(a_), "aaaa");
  EXPECT_EQ(SaveSet::current(), nullptr);
}

// An intent file as a save leaves it: magic, state, description, entries (library, temporary
// file, length and FNV-1a hash of the new content), then the hash of all that; numbers 8
// bytes, low first. Names are as the file holds them (relative to the program folder).
struct Intent {
  struct Entry {
    std::string target, temp;
    std::string content;
  };
  char state = 'C';
  std::string magic = "WBSAVE2\n";
  std::string what = "test save";
  std::vector<Entry> entries;

  static std::uint64_t fnv(const Content& c) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t b : c) h = (h ^ b) * 1099511628211ull;
    return h;
  }
  static void u64(Content& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  Content encode() const {
    Content out = text(magic);
    out.push_back(static_cast<std::uint8_t>(state));
    if (magic == "WBSAVE2\n") {
      u64(out, what.size());
      out.insert(out.end(), what.begin(), what.end());
    }
    u64(out, entries.size());
    for (const auto& e : entries) {
      for (const std::string& s : {e.target, e.temp}) {
        u64(out, s.size());
        out.insert(out.end(), s.begin(), s.end());
      }
      u64(out, e.content.size());
      u64(out, fnv(text(e.content)));
    }
    u64(out, fnv(out));
    return out;
  }
};

TEST_F(SaveSetTest, AnInterruptedSaveIsFinishedOrUndoneOrReported) {
  struct Case {
    const char* name;
    char state;
    const char* temp_a;   // content of A's temporary file, nullptr: none
    const char* temp_b;
    const char* b_now;    // B as the interruption left it
    bool rolls;           // the roll succeeds
    const char* a_after;  // the libraries after finish_interrupted_save
    const char* b_after;
  };
  const Case cases[] = {
      {"prepared: undone", 'P', "AAAA", nullptr, "bbbb", true, "aaaa", "bbbb"},
      {"committed, nothing moved yet", 'C', "AAAA", "BBBB", "bbbb", true, "AAAA", "BBBB"},
      {"committed, B already moved", 'C', "AAAA", nullptr, "BBBB", true, "AAAA", "BBBB"},
      {"committed, B's new content lost", 'C', "AAAA", nullptr, "bbbb", false, "aaaa", "bbbb"},
      {"committed, A's temporary file altered", 'C', "AAxA", "BBBB", "bbbb", false, "aaaa", "bbbb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path ta = root_ / "sys" / ".wbsave-00000000000000aa", tb = root_ / "data" / ".wbsave-00000000000000bb";
    ASSERT_TRUE(write_file_atomic(a_, text("aaaa")));
    ASSERT_TRUE(write_file_atomic(b_, text(c.b_now)));
    fs::remove(ta);
    fs::remove(tb);
    if (c.temp_a) {
      ASSERT_TRUE(write_file_atomic(ta, text(c.temp_a)));
    }
    if (c.temp_b) {
      ASSERT_TRUE(write_file_atomic(tb, text(c.temp_b)));
    }
    Intent in;
    in.state = c.state;
    in.entries = {{"sys/A.dat", "sys/.wbsave-00000000000000aa", "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}};
    ASSERT_TRUE(write_file_atomic(jnl_, in.encode()));

    EXPECT_EQ(finish_interrupted_save(jnl_), c.rolls ? StoreStatus::Ok : StoreStatus::IoError);
    EXPECT_EQ(read(a_), c.a_after);
    EXPECT_EQ(read(b_), c.b_after);
    EXPECT_EQ(save_pending(jnl_), !c.rolls);  // a roll that failed is tried again at the next open
    if (c.rolls) {
      EXPECT_FALSE(fs::exists(ta));
      EXPECT_FALSE(fs::exists(tb));
    } else {
      // Nothing else is saved while the interrupted save stands.
      SaveSet set(jnl_);
      EXPECT_EQ(set.opened(), StoreStatus::IoError);
      static_cast<void>(RecordStore(a_, 4).write(1, text("zzzz")));  // gathered by a set that cannot commit
      EXPECT_EQ(set.commit(), StoreStatus::IoError);
      EXPECT_EQ(read(a_), "aaaa");
      fs::remove(jnl_);
    }
  }
}

TEST_F(SaveSetTest, AnIntentFileThatDoesNotReadBackWholeIsReported) {
  Intent in;
  in.entries = {{"sys/A.dat", "sys/.wbsave-00000000000000aa", "AAAA"}};
  Content bytes = in.encode();
  for (const Content& bad : {Content(bytes.begin(), bytes.end() - 3), text("something else")}) {
    ASSERT_TRUE(write_file_atomic(jnl_, bad));
    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    EXPECT_TRUE(save_pending(jnl_));
    EXPECT_EQ(read(a_), "aaaa");
  }
  fs::remove(jnl_);
  EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);  // none: nothing to do
}


// Every file under `d` with its content ("->" and the target for a link), to see that
// nothing there was touched.
std::vector<std::string> snapshot(const fs::path& d) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(d)) {
    std::string line = e.path().lexically_relative(d).string();
    if (e.is_symlink()) line += " -> " + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file()) {
      Content c;
      if (read_file(e.path(), c)) line += ": " + std::string(c.begin(), c.end());
    } else line += "/";
    out.push_back(line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(SaveSetTest, AHostileIntentFileIsRefusedWholeAndSetAside) {
  const fs::path out = dir_ / "outside";
  const std::string outside = out.string();
  struct Case {
    const char* name;
    char state;
    std::vector<Intent::Entry> entries;
    const char* temp_content;  // written to "sys/.wbsave-00000000000000aa" when not null
    bool data_is_link;         // data is a link to the outside folder
    bool corrupt;              // the hash at the end does not match
  };
  const std::string ta = "sys/.wbsave-00000000000000aa";
  const std::vector<Case> cases = {
      {"target above the folder", 'C', {{"../../outside/x.dat", ta, "AAAA"}, {"sys/A.dat", "sys/.wbsave-00000000000000bb", "AAAA"}}, "AAAA", false, false},
      {"absolute target outside", 'C', {{outside + "/x.dat", ta, "AAAA"}, {"sys/A.dat", "sys/.wbsave-00000000000000bb", "AAAA"}}, "AAAA", false, false},
      {"target through a linked data folder", 'C', {{"data/x.dat", "data/.wbsave-00000000000000aa", "AAAA"}, {"sys/A.dat", ta, "AAAA"}}, "AAAA", true, false},
      {"target a link to an outside file", 'C', {{"sys/link.dat", ta, "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, "AAAA", false, false},
      {"prepared, temporary an outside file", 'P', {{"sys/A.dat", "../outside/victim", "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, nullptr, false, false},
      {"prepared, temporary an outside folder", 'P', {{"sys/A.dat", outside + "/empty", "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, nullptr, false, false},
      {"committed, temporary an outside file", 'C', {{"sys/A.dat", "../outside/victim", "victim!!"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, nullptr, false, false},
      {"temporary in another folder than its library", 'C', {{"data/B.dat", ta, "AAAA"}, {"sys/A.dat", "sys/.wbsave-00000000000000bb", "AAAA"}}, "AAAA", false, false},
      {"target no library (the lock)", 'C', {{"sys/workbench.lock", ta, "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, "AAAA", false, false},
      {"one library twice", 'C', {{"sys/A.dat", ta, "AAAA"}, {"sys/A.dat", "sys/.wbsave-00000000000000bb", "AAAA"}}, "AAAA", false, false},
      {"hash does not match", 'C', {{"sys/A.dat", ta, "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}}, "AAAA", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(root_);
    fs::remove_all(out);
    fs::create_directories(root_ / "sys");
    fs::create_directories(out / "empty");
    ASSERT_TRUE(write_file_atomic(out / "victim", text("victim!!")));
    ASSERT_TRUE(write_file_atomic(out / "x.dat", text("outside")));
    if (c.data_is_link) {
      fs::create_directory_symlink(out, root_ / "data");
    } else {
      fs::create_directories(root_ / "data");
      ASSERT_TRUE(write_file_atomic(b_, text("bbbb")));
    }
    ASSERT_TRUE(write_file_atomic(a_, text("aaaa")));
    fs::create_symlink(out / "victim", root_ / "sys" / "link.dat");
    if (c.temp_content) {
      ASSERT_TRUE(write_file_atomic(root_ / ta, text(c.temp_content)));
    }
    Intent in;
    in.state = c.state;
    in.entries = c.entries;
    Content bytes = in.encode();
    if (c.corrupt) bytes[bytes.size() - 1] ^= 1;
    ASSERT_TRUE(write_file_atomic(jnl_, bytes));
    const std::vector<std::string> outside_before = snapshot(out);
    const std::string b_before = read(b_);

    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    {
      SaveSet set(jnl_);  // nothing is saved past it
      EXPECT_EQ(set.opened(), StoreStatus::IoError);
      EXPECT_NE(set.cause(), "");
    }
    const InterruptedSave r = recover_interrupted_save(jnl_);
    EXPECT_EQ(r.outcome, InterruptedSave::Outcome::SetAside);
    EXPECT_NE(r.message().find("未能完成"), std::string::npos);
    EXPECT_NE(r.cause, "");
    EXPECT_EQ(snapshot(out), outside_before);
    EXPECT_EQ(read(a_), "aaaa");
    EXPECT_EQ(read(b_), b_before);
    // Set aside whole, nothing deleted: the intent file and the temporary file of sys.
    EXPECT_FALSE(save_pending(jnl_));
    ASSERT_TRUE(fs::is_directory(r.set_aside_folder));
    EXPECT_EQ(r.set_aside_folder.parent_path(), root_ / "sys");
    EXPECT_EQ(read(r.set_aside_folder / kSaveJournalName), std::string(bytes.begin(), bytes.end()));
    if (c.temp_content) {
      EXPECT_EQ(read(r.set_aside_folder / "sys-wbsave-00000000000000aa"), c.temp_content);
    }
    // Saving goes on.
    SaveSet set(jnl_);
    EXPECT_EQ(set.opened(), StoreStatus::Ok);
  }
}

// The set-aside folder is named by the second; a name already taken by a folder, a file or a
// link (even one leading nowhere) gives way to the next free one.
TEST_F(SaveSetTest, ASetAsideNameAlreadyTakenTakesTheNextFreeOne) {
  Intent in;
  in.entries = {{"sys/A.dat", "sys/.wbsave-00000000000000aa", "AAAA"}};  // its temporary file gone
  const Content bytes = in.encode();
  ASSERT_TRUE(write_file_atomic(jnl_, bytes));
  // Every name the next few seconds can give, taken: the first by a file, the second by a
  // dangling link, the third by a folder.
  std::vector<fs::path> taken;
  const std::time_t now = std::time(nullptr);
  for (std::time_t t = now; t < now + 4; ++t) {
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const fs::path base = root_ / "sys" / (std::string(kSaveJournalName) + ".unfinished-" + stamp);
    ASSERT_TRUE(write_file_atomic(base, text("mine")));
    fs::create_symlink(dir_ / "nowhere", base.string() + "-2");
    fs::create_directory(base.string() + "-3");
    taken.push_back(base);
  }
  const InterruptedSave r = recover_interrupted_save(jnl_);
  ASSERT_EQ(r.outcome, InterruptedSave::Outcome::SetAside);
  EXPECT_FALSE(save_pending(jnl_));
  EXPECT_EQ(read(r.set_aside_folder / kSaveJournalName), std::string(bytes.begin(), bytes.end()));
  for (const fs::path& base : taken) {
    EXPECT_EQ(read(base), "mine");
    EXPECT_TRUE(fs::is_symlink(base.string() + "-2"));
    EXPECT_TRUE(fs::is_empty(base.string() + "-3"));
  }
  SaveSet set(jnl_);
  EXPECT_EQ(set.opened(), StoreStatus::Ok);  // saving goes on
}

TEST_F(SaveSetTest, AFolderMovedOrCopiedWithASavePendingFinishesItsOwnSave) {
  ASSERT_TRUE(write_file_atomic(root_ / "sys" / ".wbsave-00000000000000aa", text("AAAA")));
  ASSERT_TRUE(write_file_atomic(root_ / "data" / ".wbsave-00000000000000bb", text("BBBB")));
  Intent in;
  in.entries = {{"sys/A.dat", "sys/.wbsave-00000000000000aa", "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}};
  ASSERT_TRUE(write_file_atomic(jnl_, in.encode()));
  const fs::path copy = dir_ / "copy", moved = dir_ / "moved";
  fs::copy(root_, copy, fs::copy_options::recursive);
  fs::rename(root_, moved);
  fs::create_directories(root_ / "sys");
  ASSERT_TRUE(write_file_atomic(a_, text("lib!")));  // a new folder where the old one stood
  EXPECT_EQ(finish_interrupted_save(copy / "sys" / kSaveJournalName), StoreStatus::Ok);
  EXPECT_EQ(read(copy / "sys" / "A.dat"), "AAAA");
  EXPECT_EQ(read(copy / "data" / "B.dat"), "BBBB");
  EXPECT_EQ(read(a_), "lib!");  // the copy's save stays in the copy
  EXPECT_EQ(read(moved / "sys" / "A.dat"), "aaaa");
  EXPECT_EQ(finish_interrupted_save(moved / "sys" / kSaveJournalName), StoreStatus::Ok);
  EXPECT_EQ(read(moved / "sys" / "A.dat"), "AAAA");
  EXPECT_EQ(read(moved / "data" / "B.dat"), "BBBB");
}

TEST_F(SaveSetTest, AnOlderIntentFileWithAbsoluteNamesInTheFolderIsStillFinished) {
  ASSERT_TRUE(write_file_atomic(root_ / "sys" / ".wbsave-00000000000000aa", text("AAAA")));
  Intent in;
  in.magic = "WBSAVE1\n";
  in.entries = {{a_.string(), (root_ / "sys" / ".wbsave-00000000000000aa").string(), "AAAA"},
                {b_.string(), (root_ / "data" / ".wbsave-00000000000000bb").string(), "bbbb"}};
  ASSERT_TRUE(write_file_atomic(jnl_, in.encode()));
  EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);
  EXPECT_EQ(read(a_), "AAAA");
  EXPECT_FALSE(save_pending(jnl_));
}

TEST_F(SaveSetTest, ALibraryOutsideSysAndDataIsNotSavedWithOthers) {
  const fs::path elsewhere = dir_ / "outside" / "C.dat";
  ASSERT_TRUE(write_file_atomic(elsewhere, text("cccc")));
  SaveSet set(jnl_);
  ASSERT_EQ(RecordStore(a_, 4).write(1, text("AAAA")), StoreStatus::Ok);
  ASSERT_EQ(RecordStore(elsewhere, 4).write(1, text("CCCC")), StoreStatus::Ok);
  EXPECT_EQ(set.commit(), StoreStatus::IoError);
  EXPECT_NE(set.cause().find("sys 或 data"), std::string::npos);
  EXPECT_EQ(read(a_), "aaaa");
  EXPECT_EQ(read(elsewhere), "cccc");
  EXPECT_FALSE(save_pending(jnl_));
}

// A second process on the folder: a child holds the writer lock (as a running program does)
// with a save of its own pending; this process may neither save nor touch that save.
TEST_F(SaveSetTest, AnotherProcessHoldingTheFolderIsNeitherRolledBackNorSavedOver) {
  const fs::path temp = root_ / "sys" / ".wbsave-00000000000000aa";
  ASSERT_TRUE(write_file_atomic(temp, text("AAAA")));
  Intent in;
  in.state = 'P';
  in.entries = {{"sys/A.dat", "sys/.wbsave-00000000000000aa", "AAAA"}, {"data/B.dat", "data/.wbsave-00000000000000bb", "BBBB"}};
  ASSERT_TRUE(write_file_atomic(jnl_, in.encode()));
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const WriterLock lock(root_ / "sys");
    const char held = lock.held() ? 'y' : 'n';
    static_cast<void>(::write(ready[1], &held, 1));
    char c;
    static_cast<void>(::read(done[0], &c, 1));  // until the parent is through
    std::_Exit(0);
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  {
    const WriterLock mine(root_ / "sys");
    EXPECT_EQ(mine.state(), WriterLock::State::Busy);
    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    SaveSet set(jnl_);
    EXPECT_EQ(set.opened(), StoreStatus::IoError);
    EXPECT_NE(set.cause().find("另一个工作台"), std::string::npos);
    static_cast<void>(RecordStore(a_, 4).write(1, text("zzzz")));
    EXPECT_EQ(set.commit(), StoreStatus::IoError);
    const InterruptedSave r = recover_interrupted_save(jnl_);
    EXPECT_EQ(r.outcome, InterruptedSave::Outcome::Failed);
  }
  EXPECT_TRUE(save_pending(jnl_));  // the other's save is left as it is
  EXPECT_EQ(read(temp), "AAAA");
  EXPECT_EQ(read(a_), "aaaa");
  static_cast<void>(::write(done[1], "x", 1));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  // Once it has ended, the folder is this process's and the prepared save is undone.
  const WriterLock mine(root_ / "sys");
  EXPECT_TRUE(mine.held());
  EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);
  EXPECT_FALSE(fs::exists(temp));
  for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

}  // namespace
}  // namespace wb
