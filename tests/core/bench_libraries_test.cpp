// The efficiency library the benchmarks write is one a user could have: every record passes
// the record checks (no record refused, no field shown blank), so a benchmark of a window
// over it measures the window's ordinary work.
#include <gtest/gtest.h>

#include <filesystem>

#include "../../bench/bench_libraries.h"
#include "core/records/gt_ym_checks.h"
#include "workbench/temp_program_folder.h"

using namespace wb;

TEST(BenchLibraries, EveryEfficiencyRecordPassesTheChecks) {
  test::TempProgram tmp;
  const std::filesystem::path lib = tmp.prog.sys() / "gt_ym.dat";
  constexpr int kRecords = 10000;
  wbbench::write_stat_library(lib, kRecords);
  std::vector<GtYmRecord> records;
  std::vector<GtYmCheck> checks;
  ASSERT_EQ(read_checked_gt_ym_records(lib, records, checks), StoreStatus::Ok);
  ASSERT_EQ(checks.size(), static_cast<std::size_t>(kRecords));
  std::size_t unsound = 0;
  for (std::size_t i = 0; i < checks.size(); ++i)
    if (!checks[i].sound() && unsound++ < 3)
      ADD_FAILURE() << "record " << i + 1 << ": " << checks[i].refusal << " (" << checks[i].damaged.size()
                    << " damaged fields)";
  EXPECT_EQ(unsound, 0u);
  EXPECT_TRUE(check_gt_ym_library(lib).empty());
}
