// The level record and library: the codec's scales and quirks, key matching, deleting
// through Level_bak.dat, the record link after a deletion, and damaged libraries.
#include <gtest/gtest.h>

#include "core/level/dym_record.h"
#include "core/common/trim.h"
#include "core/level/level_library.h"
#include "level_fixture.h"

using namespace wb;
using namespace wb::level_test;

namespace {

LevelTest sample_test(const std::string& name, const std::string& date) {
  LevelTest t;
  t.well_name = name;
  t.test_date = date;
  t.sample_rate = 250;
  t.sample_count = 5001;
  for (int i = 0; i < kEchoSamples; ++i) t.echo_data[i] = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)};
  t.sound_speed = 340.5f;
  t.level_depth = 1190.27f;
  t.method = 3;
  t.place_marker(LevelMarker::SoundMark, 100.0f);
  t.place_marker(LevelMarker::Level, 1666.6666f);
  t.gain = 5;
  return t;
}

int save(LevelLibrary& lib, const LevelTest& t) {
  int r = 0;
  EXPECT_EQ(lib.save(dym_from_test(t), r), LimitedStatus::Ok);
  return r;
}

}  // namespace

TEST(DymRecord, FieldsScalesAndQuirks) {
  LevelTest t = sample_test("W-1", "200701020304");
  t.Text5 = "10.5";  // ties to even: 10
  std::vector<std::string> zeroed;
  const DymRecord d = dym_from_test(t, &zeroed);
  EXPECT_TRUE(zeroed.empty());
  const Bytes b = encode_dym(d);
  ASSERT_EQ(b.size(), 20131u);
  ByteReader r(b);
  EXPECT_EQ(r.f32(37), 120.0f);  // the sound mark at X 100, stored x 1.2
  EXPECT_EQ(r.i16(69), 10);
  EXPECT_EQ(r.f32(71), 500.0f);
  EXPECT_EQ(r.f32(65), 9.6f);
  EXPECT_EQ(r.i16(77), 5);
  EXPECT_EQ(r.i16(127 + 2 * 4999), 4999);
  EXPECT_EQ(r.i16(127 + 2 * 5000), 0);  // entry 5000 is never written
  EXPECT_EQ(r.i16(10129 + 2 * 5000), 0);

  LevelTest back;
  for (auto& e : back.echo_data) e = {7, 7};
  back.auto_level_index = 99;
  load_dym_into_test(*decode_dym(b), back);
  EXPECT_EQ(back.sound_mark_x, 100.0f);
  EXPECT_EQ(back.marker_line_x[static_cast<int>(LevelMarker::SoundMark)], 100.0f);
  EXPECT_EQ(back.Text3, "500");
  EXPECT_EQ(back.Text4, "9.6");
  EXPECT_EQ(back.Text5, "10");
  EXPECT_EQ(back.echo_data[4999].raw, -4999);
  EXPECT_EQ(back.echo_data[5000].raw, 0);
  EXPECT_EQ(back.auto_level_index, -1);
}

TEST(DymRecord, GainAndBoxesThatHoldNoNumber) {
  struct GainCase {
    std::int16_t stored;
    int shown;
  } gains[] = {{0, 3}, {-2, 3}, {1, 1}, {8, 8}, {9, 8}};
  for (const auto& g : gains) {
    SCOPED_TRACE(g.stored);
    EXPECT_EQ(gain_from_record(g.stored), g.shown);
  }
  LevelTest t = sample_test("W-1", "200701020304");
  t.Text3 = "abc";
  t.Text4 = "";
  t.Text5 = "70000";
  std::vector<std::string> zeroed;
  const DymRecord d = dym_from_test(t, &zeroed);
  EXPECT_EQ(zeroed, (std::vector<std::string>{"Text3", "Text4", "Text5"}));
  EXPECT_EQ(d.sound_mark_depth, 0.0f);
  EXPECT_EQ(d.joint_length, 0.0f);
  EXPECT_EQ(d.collar_count, 0);

  // Beyond the boxes' limits (and single precision) they are stored as 0 and named too.
  t.Text3 = "1e300";
  t.Text4 = "-1e39";
  t.Text5 = "70";
  zeroed.clear();
  const DymRecord big = dym_from_test(t, &zeroed);
  EXPECT_EQ(zeroed, (std::vector<std::string>{"Text3"}));
  EXPECT_EQ(big.sound_mark_depth, 0.0f);
}

TEST(LevelLibrary, SaveMatchesKeysTrimmedOnBothSides) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  EXPECT_EQ(save(lib, sample_test("W-1", "200701020304")), 1);
  EXPECT_EQ(save(lib, sample_test("W-2", "200701020304")), 2);
  struct Case {
    std::string name, date;
    int record;
  } cases[] = {
      {"W-1", "200701020304", 1},
      {std::string("W-2") + std::string(14, '\0'), "200701020304", 2},  // NUL padding
      {"  W-2   ", "200701020304 ", 2},                                   // blanks
      {"W-1", "200701020305", 3},                                         // another date appends
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(save(lib, sample_test(c.name, c.date)), c.record);
  }
  std::vector<LevelLibraryRow> rows;
  ASSERT_EQ(lib.list(rows), LimitedStatus::Ok);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Trim_Blank_Nul(rows[1].well_name), "W-2");
  EXPECT_EQ(rows[2].test_date, "200701020305");
}

// A save finds its key through hashes kept while the library is unchanged: after a deletion,
// a library rewritten by someone else and a record written in place by other code, it still
// finds the record that holds the key now.
TEST(LevelLibrary, SaveFindsTheKeyAfterTheLibraryChanged) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  for (const char* w : {"W-1", "W-2", "W-3"}) save(lib, sample_test(w, "200701020304"));
  EXPECT_EQ(save(lib, sample_test("W-3", "200701020304")), 3);
  ASSERT_EQ(lib.remove(1), StoreStatus::Ok);
  EXPECT_EQ(save(lib, sample_test("W-3", "200701020304")), 2);
  // Rewritten elsewhere, the records in the other order (same length).
  Bytes other;
  for (const char* w : {"W-3", "W-2"}) {
    const Bytes b = encode_dym(dym_from_test(sample_test(w, "200701020304")));
    other.insert(other.end(), b.begin(), b.end());
  }
  ASSERT_TRUE(write_file_atomic(lib.path(), other));
  EXPECT_EQ(save(lib, sample_test("W-3", "200701020304")), 1);
  // Record 2 given another key in place, by a store of its own.
  ASSERT_EQ(RecordStore(lib.path(), kDymRecordSize).write(2, encode_dym(dym_from_test(sample_test("W-9", "200701020304")))),
            StoreStatus::Ok);
  EXPECT_EQ(save(lib, sample_test("W-9", "200701020304")), 2);
  EXPECT_EQ(save(lib, sample_test("W-2", "200701020304")), 3);
}

TEST(LevelLibrary, UpdatesWriteOnlyALinkedRecord) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  save(lib, sample_test("W-1", "200701020304"));
  ASSERT_EQ(lib.save_marker(1, LevelMarker::CollarEnd, 500.0f), StoreStatus::Ok);
  ASSERT_EQ(lib.save_level(1, 876.5f, 2, 333.33f), StoreStatus::Ok);
  DymRecord d;
  ASSERT_EQ(lib.read(1, d), StoreStatus::Ok);
  EXPECT_EQ(d.marks[static_cast<int>(LevelMarker::CollarEnd)], 600.0f);
  EXPECT_EQ(d.level_depth, 876.5f);
  EXPECT_EQ(d.method, 2);
  EXPECT_EQ(d.sound_speed, 333.33f);
  // A test from a raw file (-1) or with no record (0) changes nothing.
  const auto before = std::filesystem::last_write_time(lib.path());
  EXPECT_EQ(lib.save_marker(-1, LevelMarker::Level, 10.0f), StoreStatus::Ok);
  EXPECT_EQ(lib.save_level(0, 1.0f, 1, 1.0f), StoreStatus::Ok);
  EXPECT_EQ(std::filesystem::last_write_time(lib.path()), before);
  ASSERT_EQ(lib.read(1, d), StoreStatus::Ok);
  EXPECT_EQ(d.level_depth, 876.5f);
}

TEST(LevelLibrary, DeletingThroughTheBackupFile) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  for (const char* n : {"A", "B", "C"}) save(lib, sample_test(n, "200701020304"));
  write_text(lib.backup_path(), "left over from a deletion that stopped");
  ASSERT_EQ(lib.remove(2), StoreStatus::Ok);
  EXPECT_FALSE(std::filesystem::exists(lib.backup_path()));
  std::vector<LevelLibraryRow> rows;
  ASSERT_EQ(lib.list(rows), LimitedStatus::Ok);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(Trim_Blank_Nul(rows[1].well_name), "C");

  // The only record: the emptied library is deleted by the next listing.
  TempFolder one;
  LevelLibrary single(one.folder());
  save(single, sample_test("A", "200701020304"));
  ASSERT_EQ(single.remove(1), StoreStatus::Ok);
  ASSERT_EQ(single.list(rows), LimitedStatus::Ok);
  EXPECT_TRUE(rows.empty());
  EXPECT_FALSE(std::filesystem::exists(single.path()));
}

TEST(LevelLibrary, RecordLinkFollowsADeletion) {
  struct Case {
    std::int16_t cur;
    int removed;
    std::int16_t after;
  } cases[] = {{3, 3, 0}, {3, 1, 2}, {3, 5, 3}, {-1, 1, -1}, {0, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cur << " after " << c.removed);
    EXPECT_EQ(cur_rec_after_delete(c.cur, c.removed), c.after);
  }
  EXPECT_EQ(delete_question(3), "确实要删除 3号记录吗?");
  EXPECT_EQ(delete_question(12), "确实要删除 12号记录吗?");
}

TEST(LevelLibrary, DamagedLibraryIsRefusedAndNeverWritten) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  write_bytes(lib.path(), Bytes(kDymRecordSize + 5, 1));
  std::vector<LevelLibraryRow> rows;
  EXPECT_EQ(lib.list(rows), LimitedStatus::Damaged);
  int r = 0;
  EXPECT_EQ(lib.save(dym_from_test(sample_test("A", "200701020304")), r), LimitedStatus::Damaged);
  EXPECT_EQ(lib.remove(1), StoreStatus::Damaged);
  EXPECT_EQ(lib.save_marker(1, LevelMarker::Level, 100.0f), StoreStatus::Damaged);
  EXPECT_EQ(std::filesystem::file_size(lib.path()), kDymRecordSize + 5);

  // An empty file lists nothing and is deleted.
  write_bytes(lib.path(), Bytes{});
  EXPECT_EQ(lib.list(rows), LimitedStatus::Ok);
  EXPECT_FALSE(std::filesystem::exists(lib.path()));
}

// A library at the record limit (a sparse file: blank keys) refuses a new key and is left as
// it was; one beyond the limit is refused for listing and saving.
TEST(LevelLibrary, TheRecordLimitIsSaidNotHit) {
  TempFolder tmp;
  LevelLibrary lib(tmp.folder());
  write_bytes(lib.path(), Bytes{});
  std::filesystem::resize_file(lib.path(), kMaxLibraryRecords * kDymRecordSize);
  int r = 0;
  EXPECT_EQ(lib.save(dym_from_test(sample_test("A", "200701020304")), r), LimitedStatus::Full);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(std::filesystem::file_size(lib.path()), kMaxLibraryRecords * kDymRecordSize);
  std::vector<LevelLibraryRow> rows;
  EXPECT_EQ(lib.list(rows), LimitedStatus::Ok);
  EXPECT_EQ(rows.size(), kMaxLibraryRecords);

  std::filesystem::resize_file(lib.path(), (kMaxLibraryRecords + 1) * kDymRecordSize);
  EXPECT_EQ(lib.list(rows), LimitedStatus::OverLimit);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(lib.save(dym_from_test(sample_test("A", "200701020304")), r), LimitedStatus::OverLimit);
  EXPECT_EQ(std::filesystem::file_size(lib.path()), (kMaxLibraryRecords + 1) * kDymRecordSize);
}
