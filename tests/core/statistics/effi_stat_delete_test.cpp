// Deletion through the statistics table: exactly the records of the confirmed rows go, from
// a full or a filtered table, each checked by its key; a file changed since it was shown, a
// range beyond the rows and a damaged file remove nothing.
#include <gtest/gtest.h>

#include "../workbench/temp_program_folder.h"
#include "../common/journal_folder.h"
#include "core/common/record_store.h"
#include "core/statistics/effi_stat_state.h"
#include "stat_test_util.h"

namespace wb {
namespace {

using test::library_bytes;
using test::stat_rec;

std::vector<GtYmRecord> ten_wells() {
  std::vector<GtYmRecord> recs;
  for (int i = 1; i <= 10; ++i)
    recs.push_back(stat_rec("W" + std::to_string(i), "20260101" + std::to_string(1000 + i), i % 2 ? "odd" : "even"));
  return recs;
}

// Wells of the library read back, in file order.
std::vector<std::string> wells_in(const std::filesystem::path& lib) {
  std::vector<GtYmRecord> recs;
  EXPECT_EQ(read_gt_ym_records(lib, recs), StoreStatus::Ok);
  std::vector<std::string> out;
  for (const auto& r : recs) out.push_back(r.key_well());
  return out;
}

TEST(EffiStatDelete, Question) {
  EXPECT_EQ(stat_delete_question(4, 4, 4), "确实要删除 4号记录吗?");
  EXPECT_EQ(stat_delete_question(3, 5, -1), "确实要删除 3至 5号记录吗?");
}

TEST(EffiStatDelete, ConfirmedRowsOfAFullTable) {
  struct Case {
    const char* why;
    int a, b, r;
    std::vector<std::string> remain;
  };
  const std::vector<Case> cases = {
      {"rows 3 to 5", 3, 5, 3, {"W1", "W2", "W6", "W7", "W8", "W9", "W10"}},
      {"a selection dragged upwards", 5, 3, 5, {"W1", "W2", "W6", "W7", "W8", "W9", "W10"}},
      {"a single row names the current row only", 2, 2, 7, {"W1", "W2", "W3", "W4", "W5", "W6", "W8", "W9", "W10"}},
      {"a range running past the last record and the average row", 9, 40, 9,
       {"W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    test::TempProgram tp;
    const auto lib = gt_ym_path(tp.prog);
    test::put_bytes(lib, library_bytes(ten_wells()));
    EffiStatState st(lib);
    ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
    int removed = 0;
    EXPECT_EQ(st.delete_confirmed(k.a, k.b, k.r, removed), StatDeleteStatus::Deleted);
    EXPECT_EQ(wells_in(lib), k.remain);
    EXPECT_EQ(removed, static_cast<int>(10 - k.remain.size()));
    EXPECT_FALSE(std::filesystem::exists(tp.prog.sys() / kGtYmBackupName));
    ASSERT_EQ(st.reload("20261210"), StatFileStatus::Ok);
    EXPECT_EQ(st.grid.rows[1][stat_col::kNumber], "1");
    EXPECT_EQ(st.grid.row_count(), static_cast<int>(k.remain.size()) + 2);
  }
}

TEST(EffiStatDelete, RowsWithoutRecordsDeleteNothing) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  const auto bytes = library_bytes(ten_wells());
  test::put_bytes(lib, bytes);
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  int removed = 0;
  for (auto [a, b, r] : {std::array<int, 3>{0, 0, 0}, {11, 11, 11}, {12, 30, 12}, {40, 40, 40}}) {
    EXPECT_EQ(st.delete_confirmed(a, b, r, removed), StatDeleteStatus::Nothing);
  }
  EXPECT_EQ(test::file_bytes(lib), bytes);
}

TEST(EffiStatDelete, FilterThenDeleteRemovesExactlyTheShownRecords) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library_bytes(ten_wells()));
  // A leftover backup of an interrupted deletion does not get in the way.
  test::put_bytes(tp.prog.sys() / kGtYmBackupName, {1, 2, 3});
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  st.choose_field("单元号");
  st.choose_value("even");
  ASSERT_EQ(st.run_filter("20261210"), EffiStatState::Filter::Shown);
  ASSERT_EQ(st.grid.rows[2][stat_col::kWell], "W4");
  ASSERT_EQ(st.grid.rows[3][stat_col::kWell], "W6");
  int removed = 0;
  // Rows 2 and 3 of the filtered table are records 4 and 6, not records 2 and 3.
  ASSERT_EQ(st.delete_confirmed(2, 3, 2, removed), StatDeleteStatus::Deleted);
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(wells_in(lib), (std::vector<std::string>{"W1", "W2", "W3", "W5", "W7", "W8", "W9", "W10"}));
  EXPECT_FALSE(std::filesystem::exists(tp.prog.sys() / kGtYmBackupName));
}

TEST(EffiStatDelete, AnotherOpenedFileIsTheOneChanged) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  const auto lib_bytes = library_bytes(ten_wells());
  test::put_bytes(lib, lib_bytes);
  const auto other = tp.prog.sys() / "other.dat";
  test::put_bytes(other, library_bytes({stat_rec("X1", "1", "b"), stat_rec("X2", "2", "b"), stat_rec("X3", "3", "b")}));
  EffiStatState st(lib);
  ASSERT_EQ(st.open_file(other, "20261210"), StatFileStatus::Ok);
  int removed = 0;
  ASSERT_EQ(st.delete_confirmed(2, 2, 2, removed), StatDeleteStatus::Deleted);
  EXPECT_EQ(wells_in(other), (std::vector<std::string>{"X1", "X3"}));
  EXPECT_EQ(test::file_bytes(lib), lib_bytes);
  ASSERT_EQ(st.reload("20261210"), StatFileStatus::Ok);
  EXPECT_EQ(st.cur_file, other);
  EXPECT_EQ(st.grid.rows[2][stat_col::kWell], "X3");
}

TEST(EffiStatDelete, AChangedOrDamagedFileIsLeftAlone) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library_bytes(ten_wells()));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);

  // Another window removed record 1 since the table was shown: row 3 now names W4's place.
  auto recs = ten_wells();
  recs.erase(recs.begin());
  const auto changed = library_bytes(recs);
  test::put_bytes(lib, changed);
  int removed = 0;
  EXPECT_EQ(st.delete_confirmed(3, 3, 3, removed), StatDeleteStatus::Changed);
  EXPECT_EQ(test::file_bytes(lib), changed);

  auto damaged = changed;
  damaged.push_back(' ');
  test::put_bytes(lib, damaged);
  EXPECT_EQ(st.delete_confirmed(3, 3, 3, removed), StatDeleteStatus::Damaged);
  EXPECT_EQ(test::file_bytes(lib), damaged);

  std::filesystem::remove(lib);
  EXPECT_EQ(st.delete_confirmed(3, 3, 3, removed), StatDeleteStatus::Changed);
  EXPECT_FALSE(std::filesystem::exists(lib));
}

TEST(EffiStatDelete, DeletingEveryRecordLeavesAnEmptyLibraryThatTheReloadRemoves) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library_bytes({stat_rec("A", "1", "b"), stat_rec("B", "2", "b")}));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  int removed = 0;
  ASSERT_EQ(st.delete_confirmed(1, 3, 1, removed), StatDeleteStatus::Deleted);
  EXPECT_EQ(std::filesystem::file_size(lib), 0u);
  EXPECT_EQ(st.reload("20261210"), StatFileStatus::Empty);
  EXPECT_FALSE(std::filesystem::exists(lib));
  EXPECT_EQ(st.grid.rows[1][stat_col::kWell], "");
}

// A save of the library left committed but not yet renamed in place (a failed rename): the
// deletion completes it first, then finds the rows it was asked for no longer where the table
// showed them. Deleting into the old file instead would be undone unseen when the save is
// completed later.
TEST(EffiStatDelete, ASaveLeftUnfinishedIsCompletedFirst) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library_bytes(ten_wells()));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);

  auto saved = ten_wells();
  saved.erase(saved.begin());
  const auto committed = library_bytes(saved);
  test::plant_committed_save(tp.prog.root, "sys/" + lib.filename().string(), committed);

  int removed = 0;
  EXPECT_EQ(st.delete_confirmed(3, 3, 3, removed), StatDeleteStatus::Changed);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(test::file_bytes(lib), committed);
  EXPECT_FALSE(save_pending(tp.prog.sys() / kSaveJournalName));
}

}  // namespace
}  // namespace wb
