// Saves spanning several libraries: every file written or none, a save cut short finished or
// undone from its intent file at the next open, and a roll that cannot be done reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/record_store.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Content = std::vector<std::uint8_t>;

Content text(const std::string& s) { return Content(s.begin(), s.end()); }

class SaveSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::canonical(fs::temp_directory_path()) /
           ("wb_saveset_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "other");
    a_ = dir_ / "A.dat";
    b_ = dir_ / "other" / "B.dat";  // libraries may lie in different folders
    jnl_ = dir_ / kSaveJournalName;
    ASSERT_TRUE(write_file_atomic(a_, text("aaaa")));
    ASSERT_TRUE(write_file_atomic(b_, text("bbbb")));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::string read(const fs::path& p) {
    Content c;
    if (!read_file(p, c)) return "(none)";
    return std::string(c.begin(), c.end());
  }
  std::vector<std::string> files(const fs::path& d) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(d)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  fs::path dir_, a_, b_, jnl_;
};

TEST_F(SaveSetTest, WritesEveryFileAtCommitAndLeavesNothingBehind) {
  // Temporary files of earlier interrupted writes lie about.
  ASSERT_TRUE(write_file_via(dir_ / "other" / ".wbsave-0123456789abcdef", dir_ / "t1", text("old")));
  ASSERT_TRUE(write_file_via(dir_ / "A.dat.tmp00ff00ff00ff00ff", dir_ / "t2", text("old")));
  ASSERT_TRUE(write_file_via(dir_ / "save.jnl.tmp1234", dir_ / "t3", text("old")));
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
  EXPECT_FALSE(fs::exists(jnl_));
  EXPECT_EQ(files(dir_ / "other"), std::vector<std::string>{"B.dat"});
  // After the set, writes go straight to the library again.
  ASSERT_EQ(RecordStore(a_, 4).write(1, text("xxxx")), StoreStatus::Ok);
  EXPECT_EQ(read(a_), "xxxx");
}

TEST_F(SaveSetTest, AFileThatCannotBeWrittenLeavesEveryLibraryAsItWas) {
  {
    SaveSet set(jnl_);
    ASSERT_EQ(RecordStore(a_, 4).write(1, text("AAAA")), StoreStatus::Ok);
    ASSERT_EQ(RecordStore(b_, 4).write(1, text("BBBB")), StoreStatus::Ok);
    fs::remove_all(dir_ / "other");  // B's folder goes before the commit
    EXPECT_EQ(set.commit(), StoreStatus::IoError);
  }
  EXPECT_EQ(read(a_), "aaaa");
  EXPECT_FALSE(fs::exists(jnl_));
  EXPECT_EQ(files(dir_), std::vector<std::string>{"A.dat"});
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

// An intent file as a save leaves it: magic, state, entries (library, temporary file, length
// and FNV-1a hash of the new content), then the hash of all that; numbers 8 bytes, low first.
struct Intent {
  struct Entry {
    fs::path target, temp;
    std::string content;
  };
  char state = 'C';
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
    Content out = text("WBSAVE1\n");
    out.push_back(static_cast<std::uint8_t>(state));
    u64(out, entries.size());
    for (const auto& e : entries) {
      for (const std::string& s : {e.target.string(), e.temp.string()}) {
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
    const fs::path ta = dir_ / ".wbsave-00000000000000aa", tb = dir_ / "other" / ".wbsave-00000000000000bb";
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
    in.entries = {{a_, ta, "AAAA"}, {b_, tb, "BBBB"}};
    ASSERT_TRUE(write_file_atomic(jnl_, in.encode()));

    EXPECT_EQ(finish_interrupted_save(jnl_), c.rolls ? StoreStatus::Ok : StoreStatus::IoError);
    EXPECT_EQ(read(a_), c.a_after);
    EXPECT_EQ(read(b_), c.b_after);
    EXPECT_EQ(fs::exists(jnl_), !c.rolls);  // a roll that failed is tried again at the next open
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
  in.entries = {{a_, dir_ / ".wbsave-00000000000000aa", "AAAA"}};
  Content bytes = in.encode();
  for (const Content& bad : {Content(bytes.begin(), bytes.end() - 3), text("something else")}) {
    ASSERT_TRUE(write_file_atomic(jnl_, bad));
    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    EXPECT_TRUE(fs::exists(jnl_));
    EXPECT_EQ(read(a_), "aaaa");
  }
  fs::remove(jnl_);
  EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);  // none: nothing to do
}

}  // namespace
}  // namespace wb
