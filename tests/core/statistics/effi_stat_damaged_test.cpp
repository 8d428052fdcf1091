// A damaged efficiency file in the statistics table: refused records are left out of the
// table, its average, the value lists and the matches (keeping their numbers for the
// deletion); damaged cells are empty; the load names both.
#include <gtest/gtest.h>

#include "../workbench/temp_program_folder.h"
#include "core/statistics/effi_stat_state.h"
#include "stat_test_util.h"

namespace wb {
namespace {

using test::library_bytes;
using test::stat_rec;

// Pump bores 38, 1E+300 (damaged), a refused record, 44.
std::vector<std::uint8_t> damaged_file() {
  std::vector<GtYmRecord> recs = {stat_rec("W1", "1", "A", {{kValPumpDia, "38"}, {kValInputPower, "10"}}),
                                  stat_rec("W2", "2", "B", {{kValPumpDia, "1E+300"}, {kValInputPower, "nan"}}),
                                  stat_rec("W3", "3", "C", {{kValPumpDia, "50"}}),
                                  stat_rec("W4", "4", "A", {{kValPumpDia, "44"}, {kValInputPower, "20"}})};
  std::vector<std::uint8_t> bytes = library_bytes(recs);
  bytes[3 * kGtYmRecordSize - 1] = 'x';  // W3's line end
  return bytes;
}

TEST(EffiStatDamaged, RefusedLeftOutDamagedEmptyAndNamed) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, damaged_file());
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);

  ASSERT_EQ(st.grid.row_count(), 5);  // headers, W1, W2, W4, average
  EXPECT_EQ(st.grid.rows[3][stat_col::kWell], "W4");
  EXPECT_EQ(st.grid.rows[3][stat_col::kNumber], "3");
  EXPECT_EQ(st.grid.source[3].record, 4);  // the file position, for the deletion
  EXPECT_EQ(st.grid.rows[2][stat_col::kPumpDia], "");      // damaged pump bore
  EXPECT_EQ(st.grid.rows[2][stat_col::kInputPower], "");      // "nan" input power
  EXPECT_EQ(st.grid.rows[4][stat_col::kPumpDia], "27");    // (38 + 0 + 44) / 3: the blank counts as 0
  EXPECT_EQ(st.grid.rows[4][stat_col::kInputPower], "10");

  ASSERT_EQ(st.findings.size(), 2u);
  EXPECT_EQ(st.findings[0].record, 2u);
  EXPECT_EQ(st.findings[0].check.damaged, (std::vector<std::size_t>{kValPumpDia, kValInputPower}));
  EXPECT_EQ(st.findings[1].record, 3u);
  EXPECT_FALSE(st.findings[1].check.usable());

  st.choose_field("单元号");
  EXPECT_EQ(st.Combo2_items, (std::vector<std::string>{"A", "B"}));  // not W3's
  st.choose_value("A");
  EXPECT_EQ(st.tj_jlh, (std::vector<int>{1, 4}));
  ASSERT_EQ(st.run_filter("20261211"), EffiStatState::Filter::Shown);
  EXPECT_EQ(st.grid.row_count(), 4);

  // Deleting the shown W4 removes record 4 and keeps the refused record's bytes as they were.
  ASSERT_TRUE(st.load_library("20261210") == StatFileStatus::Ok);
  int removed = 0;
  ASSERT_EQ(st.delete_confirmed(3, 3, 3, removed), StatDeleteStatus::Deleted);
  const auto left = test::file_bytes(lib);
  const auto before = damaged_file();
  EXPECT_EQ(left, std::vector<std::uint8_t>(before.begin(), before.begin() + 3 * kGtYmRecordSize));

  // Nothing on screen or paper reads as a non-finite number.
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  for (const StatRow& row : st.grid.rows)
    for (const std::string& cell : row)
      for (const char* bad : {"nan", "inf", "E+"}) EXPECT_EQ(cell.find(bad), std::string::npos) << cell;
}

}  // namespace
}  // namespace wb
