// The statistics window keeps the records it parsed: a filter, a choice or a reload that
// finds the file as it was (same file, size and modification time) works from them, and any
// change of the file is read again.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "../workbench/temp_program_folder.h"
#include "core/statistics/effi_stat_state.h"
#include "stat_test_util.h"

namespace wb {
namespace {

using test::library_bytes;
using test::stat_rec;

std::vector<std::uint8_t> library(const std::string& second_block) {
  return library_bytes({stat_rec("W1", "1", "A", {{kValPumpDia, "38"}}),
                        stat_rec("W2", "2", second_block, {{kValPumpDia, "44"}})});
}

// Rewrites the file in place with other bytes of the same length and puts its modification
// time back: to the kept parse it is the same file.
void rewrite_unnoticed(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  struct stat before {};
  ASSERT_EQ(::stat(p.c_str(), &before), 0);
  test::put_bytes(p, bytes);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
}

TEST(EffiStatKept, AnUnchangedFileIsNotReadAgain) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library("A"));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);

  rewrite_unnoticed(lib, library("B"));
  st.choose_field("单元号");
  EXPECT_EQ(st.Combo2_items, (std::vector<std::string>{"A"}));  // as parsed at the load
  st.choose_value("A");
  EXPECT_EQ(st.tj_jlh, (std::vector<int>{1, 2}));
  ASSERT_EQ(st.run_filter("20261211"), EffiStatState::Filter::Shown);
  EXPECT_EQ(st.grid.row_count(), 4);
  ASSERT_EQ(st.reload("20261211"), StatFileStatus::Ok);
  EXPECT_EQ(st.grid.rows[2][stat_col::kBlock], "A");

  // A save renames a new file over the library: read again.
  const auto changed = library("B");
  ASSERT_TRUE(write_file_atomic(lib, changed));
  st.choose_field("单元号");
  EXPECT_EQ(st.Combo2_items, (std::vector<std::string>{"A", "B"}));
  st.choose_value("A");
  EXPECT_EQ(st.tj_jlh, (std::vector<int>{1}));
}

TEST(EffiStatKept, AChangedSizeOrTimeIsReadAgain) {
  for (const bool grow : {true, false}) {
    SCOPED_TRACE(grow);
    test::TempProgram tp;
    const auto lib = gt_ym_path(tp.prog);
    test::put_bytes(lib, library("A"));
    EffiStatState st(lib);
    ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
    st.choose_field("单元号");
    st.choose_value("A");
    ASSERT_EQ(st.tj_jlh, (std::vector<int>{1, 2}));
    if (grow) {
      auto bytes = library("B");
      const auto more = library_bytes({stat_rec("W3", "3", "A")});
      bytes.insert(bytes.end(), more.begin(), more.end());
      test::put_bytes(lib, bytes);  // in place, longer
    } else {
      rewrite_unnoticed(lib, library("B"));
      const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, lib.c_str(), times, 0), 0);
    }
    ASSERT_EQ(st.run_filter("20261211"), EffiStatState::Filter::Shown);
    EXPECT_EQ(st.grid.rows[2][stat_col::kBlock], "B");  // record 2 as the file now holds it
  }
}

}  // namespace
}  // namespace wb
