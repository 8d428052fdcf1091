// Record-level writes under the save journal: a record replaced or appended is written in
// place, a kill at any step is rolled back or forward at the next open, a file that is no
// longer the one the save patched is refused untouched, and the bytes stored are the bytes
// the whole-file rewrite stored.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/common/paths.h"
#include "journal_folder.h"
#include "core/common/record_store.h"
#include "core/level/dym_record.h"
#include "core/level/level_library.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Content = std::vector<std::uint8_t>;
using test::text;

std::uint64_t fnv(const Content& c) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : c) h = (h ^ b) * 1099511628211ull;
  return h;
}

std::string read(const fs::path& p) { return test::read_text(p); }

class RecordWriteTest : public test::JournalFolderTest {
 protected:
  void SetUp() override { make_folder("wb_recwrite_"); }
  void TearDown() override {
    RecordStore::set_whole_file_writes(false);
    JournalFolderTest::TearDown();
  }
};

// A journal entry of a file patched in place, as a save would leave it for `old` patched to
// `now` at the given offsets (records of four bytes); the identity is every old byte the
// patches do not overwrite (the files here are shorter than the identity windows).
SaveJournal::Entry in_place(const std::string& target, const std::string& old, const std::string& now,
                            const std::vector<std::uint64_t>& offsets, std::size_t len = 4) {
  SaveJournal::Entry e;
  e.target = target;
  e.in_place = true;
  e.old_length = old.size();
  e.new_length = now.size();
  std::string kept = old;
  for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) {
    SaveJournal::Patch p;
    p.offset = *it;
    if (*it < old.size()) {
      p.old_bytes = text(old.substr(*it, std::min<std::size_t>(len, old.size() - *it)));
      kept.erase(*it, p.old_bytes.size());
    }
    p.size = len;
    p.hash = fnv(text(now.substr(*it, len)));
    e.patches.insert(e.patches.begin(), p);
  }
  e.identity = fnv(text(kept));
  return e;
}

SaveJournal::Entry whole(const std::string& target, const std::string& temp, const std::string& content) {
  SaveJournal::Entry e;
  e.target = target;
  e.temp = temp;
  e.size = content.size();
  e.hash = fnv(text(content));
  return e;
}

Content journal_of(char state, std::vector<SaveJournal::Entry> entries) {
  SaveJournal j;
  j.state = state;
  j.what = "test save";
  j.entries = std::move(entries);
  return encode_save_journal(j);
}

// Each letter of a text stands for 256 bytes of it, so that a record of four letters spans
// two disk sectors and a write of it can be torn between them.
constexpr std::size_t kBlock = 256;
std::string blocks(const std::string& letters) {
  std::string out;
  for (char c : letters) out.append(kBlock, c);
  return out;
}

TEST_F(RecordWriteTest, AKillAtEachStepIsRolledBackOrForwardOrRefused) {
  struct Case {
    const char* name;
    char state;
    const char* a_old;   // A when the save began (in blocks; records of four)
    const char* a_new;   // A as the save writes it
    std::vector<std::uint64_t> offsets;  // in blocks
    const char* a_now;   // A as the kill left it
    bool rolls;
    const char* a_after;  // A after finish_interrupted_save
  };
  const Case cases[] = {
      {"prepared, nothing written yet", 'P', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaabbbbcccc", true, "aaaabbbbcccc"},
      {"prepared, the record half written", 'P', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBbbcccc", true, "aaaabbbbcccc"},
      {"prepared, the record written whole", 'P', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBBBcccc", true, "aaaabbbbcccc"},
      {"prepared, an append half written", 'P', "aaaabbbb", "aaaabbbbCCCC", {8}, "aaaabbbbCC", true, "aaaabbbb"},
      {"prepared, an append and a replace written", 'P', "aaaabbbb", "AAAAbbbbCCCC", {0, 8}, "AAAAbbbbCCCC", true, "aaaabbbb"},
      {"committed", 'C', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBBBcccc", true, "aaaaBBBBcccc"},
      {"committed, with an append", 'C', "aaaabbbb", "AAAAbbbbCCCC", {0, 8}, "AAAAbbbbCCCC", true, "AAAAbbbbCCCC"},
      {"committed, the record not as written", 'C', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBbbcccc", false, "aaaaBBbbcccc"},
      {"prepared, another file of the same length in its place", 'P', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "xxxxBBbbcccc", false, "xxxxBBbbcccc"},
      {"committed, another file in its place", 'C', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBBBccxc", false, "aaaaBBBBccxc"},
      {"prepared, a file longer than the save makes", 'P', "aaaabbbb", "aaaabbbbCCCC", {8}, "aaaabbbbCCCCdddd", false, "aaaabbbbCCCCdddd"},
      {"prepared, a file shorter than before", 'P', "aaaabbbbcccc", "aaaaBBBBcccc", {4}, "aaaaBBBB", false, "aaaaBBBB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint64_t> offsets;
    for (std::uint64_t o : c.offsets) offsets.push_back(o * kBlock);
    ASSERT_TRUE(write_file_atomic(a_, text(blocks(c.a_now))));
    ASSERT_TRUE(write_file_atomic(
        jnl_, journal_of(c.state, {in_place("sys/A.dat", blocks(c.a_old), blocks(c.a_new), offsets, 4 * kBlock)})));
    EXPECT_EQ(finish_interrupted_save(jnl_), c.rolls ? StoreStatus::Ok : StoreStatus::IoError);
    EXPECT_EQ(read(a_), blocks(c.a_after));
    EXPECT_EQ(save_pending(jnl_), !c.rolls);
    if (!c.rolls) {
      // Nothing is saved past it until it is set aside; then saving goes on.
      SaveSet set(jnl_);
      EXPECT_EQ(set.opened(), StoreStatus::IoError);
      EXPECT_NE(set.cause(), "");
      const InterruptedSave r = recover_interrupted_save(jnl_);
      EXPECT_EQ(r.outcome, InterruptedSave::Outcome::SetAside);
      EXPECT_EQ(r.libraries, std::vector<std::string>{"sys/A.dat"});
      EXPECT_EQ(read(a_), blocks(c.a_after));
    }
  }
}

// Journals made up to look like a save of a library of six 606-byte records: a rollback
// may neither cut records the save did not append nor write "old" bytes where the save did
// not write. Each is refused and set aside, the library untouched.
TEST_F(RecordWriteTest, AForgedJournalUndoesNothingItsSaveCouldNotHaveDone) {
  constexpr std::size_t kRec = 606;
  std::string lib;
  for (int r = 0; r < 6; ++r) lib += std::string(kRec, static_cast<char>('a' + r));
  auto entry = [&](std::uint64_t old_length, std::uint64_t new_length) {
    SaveJournal::Entry e;
    e.target = "sys/A.dat";
    e.in_place = true;
    e.old_length = old_length;
    e.new_length = new_length;
    return e;
  };
  // The identity worked out honestly from the library (a file this short: every old byte no
  // patch overwrites); the patches' bytes and hashes are what the forger says.
  auto seal = [&](SaveJournal::Entry e) {
    std::string kept = lib.substr(0, e.old_length);
    for (auto it = e.patches.rbegin(); it != e.patches.rend(); ++it) kept.erase(it->offset, it->old_bytes.size());
    e.identity = fnv(text(kept));
    return e;
  };
  auto append = [&](std::uint64_t at, std::uint64_t size) {
    return SaveJournal::Patch{at, {}, size, fnv(text(std::string(size, 'z')))};
  };
  SaveJournal::Entry from_nothing = entry(0, lib.size());  // "appended" all six records
  from_nothing.patches = {append(0, lib.size())};
  SaveJournal::Entry from_nothing_torn = entry(0, lib.size() + kRec);  // a seventh still short
  from_nothing_torn.patches = {append(0, lib.size() + kRec)};
  SaveJournal::Entry past_its_records = entry(3 * kRec, lib.size());  // records 4 to 6 "appended"
  past_its_records.patches = {append(3 * kRec, 3 * kRec)};
  SaveJournal::Entry over_unwritten = entry(lib.size(), lib.size());  // "old" bytes in record 1
  over_unwritten.patches = {{10, text("xy"), 2, fnv(text("XY"))}};
  SaveJournal::Entry over_whole_record = entry(lib.size(), lib.size());  // record 2 "was" another
  over_whole_record.patches = {{kRec, text(std::string(kRec, 'z')), kRec, fnv(text(std::string(kRec, 'Z')))}};
  struct Case {
    const char* name;
    char state;
    SaveJournal::Entry e;
  };
  const Case cases[] = {
      {"prepared, old length 0", 'P', seal(from_nothing)},
      {"prepared, old length 0, an append cut short", 'P', seal(from_nothing_torn)},
      {"prepared, a cut beyond the appended records", 'P', seal(past_its_records)},
      {"prepared, old bytes over bytes the save did not write", 'P', seal(over_unwritten)},
      {"prepared, a whole record of old bytes the save did not write", 'P', seal(over_whole_record)},
      {"committed, old length 0", 'C', seal(from_nothing)},
      {"committed, a cut beyond the appended records", 'C', seal(past_its_records)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(write_file_atomic(a_, text(lib)));
    const Content bytes = journal_of(c.state, {c.e});
    ASSERT_TRUE(write_file_atomic(jnl_, bytes));
    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    EXPECT_EQ(read(a_), lib);
    const InterruptedSave r = recover_interrupted_save(jnl_);
    EXPECT_EQ(r.outcome, InterruptedSave::Outcome::SetAside);
    EXPECT_NE(r.message().find("sys/A.dat"), std::string::npos);
    EXPECT_EQ(read(a_), lib);
    EXPECT_EQ(read(r.set_aside_folder / kSaveJournalName), std::string(bytes.begin(), bytes.end()));
    fs::remove_all(r.set_aside_folder);
  }
}

// The user is told once which save the start finished or undid and what was done.
TEST_F(RecordWriteTest, AStartThatFinishesOrUndoesASaveSaysWhichAndWhat) {
  const std::string old_lib = blocks("aaaabbbbcccc"), new_lib = blocks("aaaaBBBBcccc");
  for (char state : {'P', 'C'}) {
    SCOPED_TRACE(state);
    ASSERT_TRUE(write_file_atomic(a_, text(state == 'P' ? blocks("aaaaBBbbcccc") : new_lib)));
    SaveJournal j;
    j.state = state;
    j.what = "液面记录，井 W7，测试 200601011200";
    j.entries = {in_place("sys/A.dat", old_lib, new_lib, {4 * kBlock}, 4 * kBlock)};
    ASSERT_TRUE(write_file_atomic(jnl_, encode_save_journal(j)));
    const InterruptedSave r = recover_interrupted_save(jnl_);
    EXPECT_EQ(r.outcome, state == 'P' ? InterruptedSave::Outcome::Undone : InterruptedSave::Outcome::Completed);
    EXPECT_EQ(read(a_), state == 'P' ? old_lib : new_lib);
    const std::string m = r.message();
    EXPECT_NE(m.find("井 W7，测试 200601011200"), std::string::npos) << m;
    EXPECT_NE(m.find("sys/A.dat"), std::string::npos) << m;
    EXPECT_NE(m.find(state == 'P' ? "撤销" : "完成"), std::string::npos) << m;
    // Told once: the next start has nothing to say.
    EXPECT_EQ(recover_interrupted_save(jnl_).message(), "");
  }
}

TEST_F(RecordWriteTest, ASaveOfAFileInPlaceAndAFileRewrittenWholeRollsAsOne) {
  const std::string ta = "data/.wbsave-00000000000000bb";
  const std::string a_old = blocks("aaaabbbb"), a_new = blocks("aaaaBBBB");
  for (char state : {'P', 'C'}) {
    SCOPED_TRACE(state);
    ASSERT_TRUE(write_file_atomic(a_, text(blocks("aaaaBBbb"))));  // half written
    ASSERT_TRUE(write_file_atomic(b_, text("bbbb")));
    ASSERT_TRUE(write_file_atomic(root_ / ta, text("BB")));
    if (state == 'C') {
      ASSERT_TRUE(write_file_atomic(a_, text(a_new)));
    }
    ASSERT_TRUE(write_file_atomic(jnl_, journal_of(state, {in_place("sys/A.dat", a_old, a_new, {4 * kBlock}, 4 * kBlock),
                                                          whole("data/B.dat", ta, "BB")})));
    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);
    EXPECT_EQ(read(a_), state == 'P' ? a_old : a_new);
    EXPECT_EQ(read(b_), state == 'P' ? "bbbb" : "BB");
    EXPECT_FALSE(fs::exists(root_ / ta));
    EXPECT_FALSE(save_pending(jnl_));
  }
}

TEST_F(RecordWriteTest, AFolderCopiedWithARecordWritePendingFinishesItsOwn) {
  const std::string old_lib = blocks("aaaabbbbcccc"), torn = blocks("aaaaBBbbcccc");
  ASSERT_TRUE(write_file_atomic(a_, text(torn)));
  ASSERT_TRUE(write_file_atomic(
      jnl_, journal_of('P', {in_place("sys/A.dat", old_lib, blocks("aaaaBBBBcccc"), {4 * kBlock}, 4 * kBlock)})));
  const fs::path copy = dir_ / "copy";
  fs::copy(root_, copy, fs::copy_options::recursive);
  EXPECT_EQ(finish_interrupted_save(copy / "sys" / kSaveJournalName), StoreStatus::Ok);
  EXPECT_EQ(read(copy / "sys" / "A.dat"), old_lib);
  // Recovering the copy touches only the copy: the first folder keeps its half-written record
  // until its own journal is finished.
  EXPECT_EQ(read(a_), torn);
  EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::Ok);
  EXPECT_EQ(read(a_), old_lib);
}

// Every file under `d` with its content, to see that nothing there was touched.
std::vector<std::string> snapshot(const fs::path& d) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(d)) {
    std::string line = e.path().lexically_relative(d).string();
    if (e.is_symlink()) line += " -> " + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file()) line += ": " + read(e.path());
    out.push_back(line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(RecordWriteTest, AHostileRecordJournalIsRefusedWholeAndSetAside) {
  const fs::path out = dir_ / "outside";
  const std::string outside = out.string();
  auto patched = [](std::string target) { return in_place(std::move(target), "aaaa", "AAAA", {0}); };
  struct Case {
    const char* name;
    std::function<Content()> journal;
    bool data_is_link = false;
  };
  auto one = [](SaveJournal::Entry e, char state = 'P') { return [=] { return journal_of(state, {e}); }; };
  SaveJournal::Entry overlap = in_place("sys/A.dat", "aaaabbbb", "AAAABBBB", {0, 4});
  overlap.patches[1].offset = 2;
  SaveJournal::Entry wrong_old = patched("sys/A.dat");
  wrong_old.patches[0].old_bytes = text("aa");
  SaveJournal::Entry hole = in_place("sys/A.dat", "aaaa", "aaaaCCCCDDDD", {8});
  hole.new_length = 12;
  SaveJournal::Entry shrinks = patched("sys/A.dat");
  shrinks.new_length = 2;
  SaveJournal::Entry huge = in_place("sys/A.dat", "aaaa", "aaaaCCCC", {4});
  huge.new_length = huge.patches[0].offset + (std::uint64_t{1} << 62);
  huge.patches[0].size = std::uint64_t{1} << 62;
  SaveJournal::Entry wraps = patched("sys/A.dat");
  wraps.patches[0].offset = ~std::uint64_t{0} - 1;
  SaveJournal::Entry none = patched("sys/A.dat");
  none.patches.clear();
  Content unknown_kind = journal_of('P', {patched("sys/A.dat")});
  unknown_kind[8 + 1 + 8 + 9 + 8] = 7;  // magic, state, "test save", count: the entry's kind
  {
    unknown_kind.resize(unknown_kind.size() - 8);  // sealed again, so only the kind is wrong
    const std::uint64_t h = fnv(unknown_kind);
    for (int i = 0; i < 8; ++i) unknown_kind.push_back(static_cast<std::uint8_t>(h >> (8 * i)));
  }
  const std::vector<Case> cases = {
      {"target above the folder", one(patched("../../outside/x.dat"))},
      {"absolute target outside", one(patched(outside + "/x.dat"))},
      {"target through a linked data folder", one(patched("data/x.dat")), true},
      {"target a link to an outside file", one(patched("sys/link.dat"))},
      {"target no library (the lock)", one(patched("sys/workbench.lock"))},
      {"one library twice", [&] { return journal_of('P', {patched("sys/A.dat"), whole("sys/A.dat", "sys/.wbsave-00000000000000aa", "x")}); }},
      {"patches overlapping", one(overlap)},
      {"old bytes other than the old length gives", one(wrong_old)},
      {"an append that leaves a hole", one(hole)},
      {"a new length below the old", one(shrinks)},
      {"a length beyond any library", one(huge)},
      {"an offset that wraps around", one(wraps)},
      {"no patch", one(none)},
      {"an unknown kind of entry", [&] { return unknown_kind; }},
      {"hash does not match", [&] {
         Content c = journal_of('C', {patched("sys/A.dat")});
         c.back() ^= 1;
         return c;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(root_);
    fs::remove_all(out);
    fs::create_directories(root_ / "sys");
    fs::create_directories(out);
    ASSERT_TRUE(write_file_atomic(out / "victim", text("vict")));
    ASSERT_TRUE(write_file_atomic(out / "x.dat", text("AAAA")));
    if (c.data_is_link) {
      fs::create_directory_symlink(out, root_ / "data");
    } else {
      fs::create_directories(root_ / "data");
      ASSERT_TRUE(write_file_atomic(b_, text("bbbb")));
    }
    ASSERT_TRUE(write_file_atomic(a_, text("AAAA")));
    fs::create_symlink(out / "victim", root_ / "sys" / "link.dat");
    const Content bytes = c.journal();
    ASSERT_TRUE(write_file_atomic(jnl_, bytes));
    const std::vector<std::string> outside_before = snapshot(out);
    const std::string b_before = read(b_);

    EXPECT_EQ(finish_interrupted_save(jnl_), StoreStatus::IoError);
    const InterruptedSave r = recover_interrupted_save(jnl_);
    EXPECT_EQ(r.outcome, InterruptedSave::Outcome::SetAside);
    EXPECT_NE(r.cause, "");
    EXPECT_EQ(snapshot(out), outside_before);
    EXPECT_EQ(read(a_), "AAAA");
    EXPECT_EQ(read(b_), b_before);
    EXPECT_FALSE(save_pending(jnl_));
    EXPECT_EQ(read(r.set_aside_folder / kSaveJournalName), std::string(bytes.begin(), bytes.end()));
    SaveSet set(jnl_);
    EXPECT_EQ(set.opened(), StoreStatus::Ok);
  }
}

TEST_F(RecordWriteTest, ASetReadsItsPatchesBackAndWritesOnlyAtCommit) {
  ASSERT_TRUE(write_file_atomic(a_, text("aaaabbbbcccc")));
  ASSERT_TRUE(write_file_atomic(b_, text("dddd")));
  {
    SaveSet set(jnl_);
    ASSERT_EQ(set.opened(), StoreStatus::Ok);
    RecordStore a(a_, 4), b(b_, 4);
    ASSERT_EQ(a.write(2, text("BBBB")), StoreStatus::Ok);
    ASSERT_EQ(a.write(4, text("EEEE")), StoreStatus::Ok);
    ASSERT_EQ(a.write(3, text("CCCC")), StoreStatus::Ok);  // joins both patches beside it
    std::size_t r = 0;
    ASSERT_EQ(b.save_replace([](const Bytes& x) { return x == text("dddd"); }, text("DDDD"), r), StoreStatus::Ok);
    EXPECT_EQ(r, 0u);
    std::size_t n = 0, found = 0;
    ASSERT_EQ(a.count(n), StoreStatus::Ok);
    EXPECT_EQ(n, 4u);
    ASSERT_EQ(a.find([](const Bytes& x) { return x == text("EEEE"); }, found), StoreStatus::Ok);
    EXPECT_EQ(found, 4u);
    std::vector<Bytes> all;
    ASSERT_EQ(a.read_all(all), StoreStatus::Ok);
    EXPECT_EQ(all, (std::vector<Bytes>{text("aaaa"), text("BBBB"), text("CCCC"), text("EEEE")}));
    EXPECT_EQ(read(a_), "aaaabbbbcccc");
    EXPECT_EQ(read(b_), "dddd");
    ASSERT_EQ(set.commit(), StoreStatus::Ok);
  }
  EXPECT_EQ(read(a_), "aaaaBBBBCCCCEEEE");
  EXPECT_EQ(read(b_), "DDDD");
  EXPECT_FALSE(save_pending(jnl_));
  // A deletion after record writes in the same set rewrites the file with them.
  {
    SaveSet set(jnl_);
    RecordStore a(a_, 4);
    ASSERT_EQ(a.write(1, text("AAAA")), StoreStatus::Ok);
    ASSERT_EQ(a.remove(2), StoreStatus::Ok);
    ASSERT_EQ(a.write(3, text("ZZZZ")), StoreStatus::Ok);
    ASSERT_EQ(set.commit(), StoreStatus::Ok);
  }
  EXPECT_EQ(read(a_), "AAAACCCCZZZZ");
}

TEST_F(RecordWriteTest, ARecordWrittenAloneGoesThroughTheJournalAndTheWriterLock) {
  ASSERT_TRUE(write_file_atomic(a_, text("aaaabbbb")));
  // A save that cannot be finished stands: a record write alone is refused too.
  ASSERT_TRUE(write_file_atomic(jnl_, text("WBSAVE3\nP")));
  EXPECT_EQ(RecordStore(a_, 4).write(2, text("BBBB")), StoreStatus::IoError);
  EXPECT_EQ(read(a_), "aaaabbbb");
  fs::remove(jnl_);
  ASSERT_EQ(RecordStore(a_, 4).write(2, text("BBBB")), StoreStatus::Ok);
  ASSERT_EQ(RecordStore(a_, 4).write(3, text("CCCC")), StoreStatus::Ok);
  EXPECT_EQ(read(a_), "aaaaBBBBCCCC");
  EXPECT_FALSE(save_pending(jnl_));
  // A library outside a program folder's sys and data is rewritten whole, as before.
  const fs::path elsewhere = dir_ / "outside" / "C.dat";
  ASSERT_TRUE(write_file_atomic(elsewhere, text("cccc")));
  ASSERT_EQ(RecordStore(elsewhere, 4).write(1, text("CCCC")), StoreStatus::Ok);
  EXPECT_EQ(read(elsewhere), "CCCC");
  // A read-only library is not written.
  fs::permissions(a_, fs::perms::owner_write, fs::perm_options::remove);
  if (::access(a_.c_str(), W_OK) != 0) {  // root writes anyway
    EXPECT_EQ(RecordStore(a_, 4).write(1, text("xxxx")), StoreStatus::IoError);
    EXPECT_EQ(read(a_), "aaaaBBBBCCCC");
  }
}

// The same saves through the record-level writes and through the whole-file rewrites leave
// the same bytes after each step.
TEST_F(RecordWriteTest, RecordLevelAndWholeFileSavesStoreTheSameBytes) {
  const ProgramFolder one{dir_ / "one"}, two{dir_ / "two"};
  one.create_folders();
  two.create_folders();
  DymRecord base;
  base.sample_count = 5000;
  base.sample_rate = 250;
  for (std::size_t i = 0; i < base.raw_curve.size(); ++i) base.raw_curve[i] = static_cast<std::int16_t>(i % 97);
  auto dym = [&](int well, int date, float depth) {
    DymRecord d = base;
    d.well_name = "W" + std::to_string(well);
    d.test_date = "20060101120" + std::to_string(date);
    d.level_depth = depth;
    return d;
  };
  const std::vector<std::function<void(const ProgramFolder&)>> steps = {
      [&](const ProgramFolder& p) {  // appends, the first into a new file
        LevelLibrary lib(p);
        int r = 0;
        for (int w = 0; w < 3; ++w) ASSERT_EQ(lib.save(dym(w, 0, 100.0f + static_cast<float>(w)), r), LimitedStatus::Ok);
      },
      [&](const ProgramFolder& p) {  // a replace, a marker, a level
        LevelLibrary lib(p);
        int r = 0;
        ASSERT_EQ(lib.save(dym(1, 0, 555.5f), r), LimitedStatus::Ok);
        ASSERT_EQ(r, 2);
        ASSERT_EQ(lib.save_marker(3, LevelMarker::Level, 321.25f), StoreStatus::Ok);
        ASSERT_EQ(lib.save_level(1, 777.0f, 2, 340.5f), StoreStatus::Ok);
      },
      [&](const ProgramFolder& p) {  // several files in a set: replace, append, a new file
        SaveSet set(p.sys() / kSaveJournalName, "test");
        RecordStore a(p.sys() / "A.dat", 4), b(p.data() / "B.dat", 4), dy(p.sys() / kDymFile, kDymRecordSize);
        ASSERT_EQ(a.write(1, text("aaaa")), StoreStatus::Ok);
        ASSERT_EQ(a.write(2, text("bbbb")), StoreStatus::Ok);
        ASSERT_EQ(b.write(1, text("cccc")), StoreStatus::Ok);
        ASSERT_EQ(dy.write(2, encode_dym(dym(9, 1, 1.0f))), StoreStatus::Ok);
        std::size_t r = 0;
        ASSERT_EQ(dy.save_replace([](const Bytes&) { return false; }, encode_dym(dym(8, 1, 2.0f)), r), StoreStatus::Ok);
        ASSERT_EQ(set.commit(), StoreStatus::Ok);
      },
      [&](const ProgramFolder& p) {
        SaveSet set(p.sys() / kSaveJournalName, "test");
        RecordStore a(p.sys() / "A.dat", 4), b(p.data() / "B.dat", 4);
        ASSERT_EQ(a.write(1, text("AAAA")), StoreStatus::Ok);
        ASSERT_EQ(b.write(2, text("CCCC")), StoreStatus::Ok);
        ASSERT_EQ(set.commit(), StoreStatus::Ok);
      },
      [&](const ProgramFolder& p) {  // a deletion
        LevelLibrary lib(p);
        ASSERT_EQ(lib.remove(2), StoreStatus::Ok);
      },
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    RecordStore::set_whole_file_writes(true);
    steps[i](one);
    RecordStore::set_whole_file_writes(false);
    steps[i](two);
    for (const fs::path& rel : {fs::path("sys") / kDymFile, fs::path("sys") / "A.dat", fs::path("data") / "B.dat"}) {
      SCOPED_TRACE(rel.string());
      EXPECT_EQ(read(one.root / rel), read(two.root / rel));
    }
  }
  EXPECT_EQ(fs::file_size(two.sys() / kDymFile), 3 * kDymRecordSize);
}

}  // namespace
}  // namespace wb
