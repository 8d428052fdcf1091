// The efficiency libraries the benchmarks write are ones a user could have: every record
// passes the record checks (no record refused, no field shown blank), so a benchmark of a
// window over them measures the window's ordinary work.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "../../bench/bench_libraries.h"
#include "core/records/gt_ym_checks.h"
#include "workbench/temp_program_folder.h"

using namespace wb;

TEST(BenchLibraries, EveryEfficiencyRecordPassesTheChecks) {
  const std::pair<const char*, void (*)(const std::filesystem::path&, int)> generators[] = {
      {"write_stat_library", &wbbench::write_stat_library},
      {"write_browser_library", &wbbench::write_browser_library},
      {"write_carry_forward_library", &wbbench::write_carry_forward_library}};
  constexpr int kRecords = 10000;
  for (const auto& [name, write] : generators) {
    SCOPED_TRACE(name);
    test::TempProgram tmp;
    const std::filesystem::path lib = tmp.prog.sys() / "gt_ym.dat";
    write(lib, kRecords);
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
}
