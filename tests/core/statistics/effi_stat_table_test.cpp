// The statistics table: rows of trimmed field texts, the average row's rules (single-precision
// means, whole numbers and two decimals, the liquid-weighted water cut, efficiencies from the
// mean powers), refused lengths, empty libraries, and the filter's value and match lists.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../workbench/temp_program_folder.h"
#include "core/common/number_text.h"
#include "core/statistics/effi_stat_state.h"
#include "stat_test_util.h"

namespace wb {
namespace {

using test::library_bytes;
using test::stat_rec;

// Five wells; the expected average row worked out by hand:
//   冲程 3, 4.5, 3, 3, 3.25        sum 16.75 / 5 = 3.35
//   产液 20, 10, 30, 40, 0         mean 20 (Q)
//   含水 90, 60, 80, 50, 0         water 18 + 6 + 24 + 20 + 0 = 68, / 5 = 13.6, / 20 -> 68
//                                  (the plain mean, 56, is replaced)
//   泵径 38, 44, 56, 38, 44        44;   泵挂 1500, "", 1200, 1000, 800 -> 900
//   输入 10, 20, 15, 25, 30 -> 20;  光杆 6, 8, 7, 9, 10.5 -> 8.1;  有效 3, 5, 4, 6, 2.5 -> 4.1
//   地面 8.1 / 20 = 40.5;  井下 4.1 / 8.1 = 50.617 -> 50.6;  系统 4.1 / 20 = 20.5
std::vector<GtYmRecord> five_wells() {
  auto w = [](const char* well, const char* block, const char* stroke, const char* liquid, const char* cut,
              const char* pump, const char* depth, const char* in, const char* rod, const char* useful) {
    return stat_rec(well, "202605011200", block,
                    {{kValRealStroke, stroke}, {kValLiquidRate, liquid}, {kValWaterCut, cut}, {kValPumpDia, pump},
                     {kValPumpDepth, depth}, {kValInputPower, in}, {kValRodPower, rod}, {kValHydraulicPower, useful},
                     {kValSysEffi, "99.9"}});
  };
  return {w("北1-1", "一队", "3", "20", "90", "38", "1500", "10", "6", "3"),
          w("北1-2", "二队", "4.5", "10", "60", "44", "", "20", "8", "5"),
          w("  北2-1", "一队", "3", "30", "80", "56", "1200", "15", "7", "4"),
          w("北2-2", "三队", "3", "40", "50", "38", "1000", "25", "9", "6"),
          w("北3-1", "一队", "3.25", "0", "0", "44", "800", "30", "10.5", "2.5")};
}

TEST(EffiStatTable, FiveWellsRowsAndAverage) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, library_bytes(five_wells()));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  ASSERT_EQ(st.grid.row_count(), 7);
  EXPECT_EQ(st.grid.rows[0][stat_col::kNumber], "序号");
  EXPECT_EQ(st.grid.rows[0][stat_col::kSystemEffi], "系统效率(%)");
  EXPECT_EQ(st.grid.rows[3][stat_col::kNumber], "3");
  EXPECT_EQ(st.grid.rows[3][stat_col::kWell], "北2-1");  // leading blanks trimmed
  EXPECT_EQ(st.grid.rows[3][stat_col::kBlock], "一队");
  EXPECT_EQ(st.grid.rows[2][stat_col::kPumpDepth], "");
  EXPECT_EQ(st.grid.rows[1][stat_col::kSystemEffi], "99.9");
  EXPECT_EQ(st.Text2, "20261210");
  const StatRow& avg = st.grid.rows[6];
  // Every other column of the average row is empty.
  using namespace stat_col;
  const std::map<int, std::string> want = {
      {kNumber, "平均"},     {kRealStroke, "3.35"}, {kRealSpm, "0"},      {kTubingPress, "0"},  {kCasingPress, "0"},
      {kLiquidRate, "20"},   {kWaterCut, "68"},     {kPumpDia, "44"},     {kPumpDepth, "900"},  {kFluidLevel, "0"},
      {kSubmergence, "0"},   {kPumpEffi, "0"},      {kMeanCurrent, "0"},  {kInputPower, "20"},  {kRodPower, "8.1"},
      {kUsefulPower, "4.1"}, {kSurfaceEffi, "40.5"}, {kDownholeEffi, "50.6"}, {kSystemEffi, "20.5"}};
  for (int c = 0; c < kStatColCount; ++c) {
    SCOPED_TRACE(kStatColumns[static_cast<std::size_t>(c)].caption);
    EXPECT_EQ(avg[static_cast<std::size_t>(c)], want.contains(c) ? want.at(c) : std::string());
  }
  EXPECT_EQ(st.grid.source[3].record, 3);
  EXPECT_EQ(st.grid.source[3].test, "202605011200");
  EXPECT_EQ(st.grid.source[6].record, 0);
}

TEST(EffiStatTable, AverageRowRules) {
  struct Case {
    const char* why;
    std::vector<std::vector<std::pair<int, std::string>>> rows;  // column -> cell text
    std::vector<std::pair<int, std::string>> want;
  };
  const std::vector<Case> cases = {
      {"liquid-weighted water cut, not the plain mean 75",
       {{{9, "20"}, {10, "90"}}, {{9, "10"}, {10, "60"}}},
       {{9, "15"}, {10, "80"}}},
      {"efficiencies from the mean powers",
       {{{17, "10"}, {18, "6"}, {19, "3"}}, {{17, "20"}, {18, "8"}, {19, "5"}}},
       {{17, "15"}, {18, "7"}, {19, "4"}, {20, "46.7"}, {21, "57.1"}, {22, "26.7"}}},
      {"two decimals and whole numbers; an empty cell counts as 0",
       {{{5, "3"}, {11, "38"}, {12, "1500"}}, {{5, "4.5"}, {11, "44"}, {12, ""}}},
       {{5, "3.75"}, {11, "41"}, {12, "750"}}},
      {"single-precision sum of three", {{{6, "7.5"}}, {{6, "8.25"}}, {{6, "9.1"}}}, {{6, "8.28"}}},
      {"water cut over the whole-number liquid", {{{9, "10.4"}, {10, "50"}}}, {{9, "10"}, {10, "52"}}},
      {"number prefix of a text", {{{7, "1.5MPa"}}, {{7, "abc"}}}, {{7, "0.75"}}},
      {"no liquid: the plain mean of the water cut stays", {{{10, "30"}}, {{10, "41"}}}, {{10, "36"}}},
      {"no input power: 地面 and 系统 empty, 井下 formed",
       {{{18, "8"}, {19, "4"}}},
       {{17, "0"}, {20, ""}, {21, "50"}, {22, ""}}},
      {"no rod power: 井下 empty", {{{17, "10"}, {19, "4"}}}, {{20, "0"}, {21, ""}, {22, "40"}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    std::vector<StatRow> rows(k.rows.size() + 1);
    for (std::size_t i = 0; i < k.rows.size(); ++i)
      for (const auto& [c, t] : k.rows[i]) rows[i + 1][static_cast<std::size_t>(c)] = t;
    const StatRow avg = stat_average_row(rows, 1, k.rows.size());
    EXPECT_EQ(avg[stat_col::kNumber], "平均");
    EXPECT_EQ(avg[stat_col::kWell], "");
    for (const auto& [c, t] : k.want) EXPECT_EQ(avg[static_cast<std::size_t>(c)], t) << "column " << c;
  }
}

// Cells of a damaged library beyond single precision: the means they reach stay empty, the
// others are formed; nothing shows "inf" or "nan".
TEST(EffiStatTable, AverageOfCellsBeyondSinglePrecisionShowsNoInf) {
  std::vector<StatRow> rows(3);
  rows[1][stat_col::kRealStroke] = "3";
  rows[2][stat_col::kRealStroke] = "4";
  rows[1][stat_col::kLiquidRate] = "1e39";
  rows[2][stat_col::kWaterCut] = "50";
  rows[1][stat_col::kInputPower] = "-9e38";
  rows[2][stat_col::kInputPower] = "-9e38";
  rows[1][stat_col::kRodPower] = "8";
  const StatRow avg = stat_average_row(rows, 1, 2);
  EXPECT_EQ(avg[stat_col::kRealStroke], "3.5");
  EXPECT_EQ(avg[stat_col::kWaterCut], "25");  // no mean liquid: the plain mean of the water cut
  for (int c : {9, 17, 20, 22}) EXPECT_EQ(avg[static_cast<std::size_t>(c)], "") << c;
  for (const std::string& cell : avg) {
    EXPECT_EQ(cell.find("inf"), std::string::npos) << cell;
    EXPECT_EQ(cell.find("nan"), std::string::npos) << cell;
  }
}

TEST(EffiStatTable, EmptyMissingAndDamagedFiles) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  EffiStatState st(lib);

  // A missing library: headers over the grid's emptied rows, nothing created.
  EXPECT_EQ(st.load_library("20261210"), StatFileStatus::Empty);
  EXPECT_FALSE(std::filesystem::exists(lib));
  EXPECT_EQ(st.grid.row_count(), kStatInitialRows);
  EXPECT_EQ(st.grid.rows[0][stat_col::kWell], "井号");
  EXPECT_EQ(st.Combo1_text, "请选择");

  // A zero-length library is removed, as an empty library always is.
  test::put_bytes(lib, {});
  EXPECT_EQ(st.load_library("20261210"), StatFileStatus::Empty);
  EXPECT_FALSE(std::filesystem::exists(lib));

  // A truncated library is shown as headers only and left untouched.
  auto bytes = library_bytes(five_wells());
  bytes.resize(2 * kGtYmRecordSize + 100);
  test::put_bytes(lib, bytes);
  EXPECT_EQ(st.load_library("20261210"), StatFileStatus::Damaged);
  EXPECT_EQ(test::file_bytes(lib), bytes);
  for (int r = 1; r < st.grid.row_count(); ++r)
    EXPECT_EQ(st.grid.rows[static_cast<std::size_t>(r)][stat_col::kWell], "");

  // A good library, then a file the user opens: an empty one is shown empty and kept; a
  // truncated one is refused and the table stays as it was.
  test::put_bytes(lib, library_bytes(five_wells()));
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  const auto empty = tp.prog.sys() / "empty.dat";
  test::put_bytes(empty, {});
  EXPECT_EQ(st.open_file(empty, "20261211"), StatFileStatus::Empty);
  EXPECT_TRUE(std::filesystem::exists(empty));
  EXPECT_EQ(st.cur_file, empty);
  EXPECT_EQ(st.grid.rows[1][stat_col::kWell], "");

  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  const auto cut = tp.prog.sys() / "cut.dat";
  test::put_bytes(cut, std::vector<std::uint8_t>(kGtYmRecordSize - 1, ' '));
  EXPECT_EQ(st.open_file(cut, "20261211"), StatFileStatus::Damaged);
  EXPECT_EQ(st.cur_file, lib);
  EXPECT_EQ(st.Text2, "20261210");
  EXPECT_EQ(st.grid.rows[1][stat_col::kWell], "北1-1");
}

TEST(EffiStatTable, MoreRecordsThanA16BitCount) {
  const int n = 33000;
  std::vector<GtYmRecord> recs(static_cast<std::size_t>(n), stat_rec("W", "202601010000", "B", {{kValPumpDia, "38"}}));
  recs.back().well_name = "LAST";
  StatRecords parsed;
  ASSERT_EQ(parse_stat_records(library_bytes(recs), parsed), StatFileStatus::Ok);
  StatGrid g;
  fill_stat_grid(g, parsed);
  ASSERT_EQ(g.row_count(), n + 2);
  EXPECT_EQ(g.rows[static_cast<std::size_t>(n)][stat_col::kNumber], "33000");
  EXPECT_EQ(g.rows[static_cast<std::size_t>(n)][stat_col::kWell], "LAST");
  EXPECT_EQ(g.source[static_cast<std::size_t>(n)].record, n);
  EXPECT_EQ(g.rows.back()[stat_col::kPumpDia], "38");
}

// A file read a block of records at a time (and, this large, in parts on several threads)
// gives what parsing its bytes whole gives: every cell and test date across the blocks' and
// parts' edges, refused and damaged records with their findings in file order, and the
// average row the kept values make equals the one read from the table's texts. The wells
// are more than the parse keeps decoded at once.
TEST(EffiStatTable, ReadInBlocksAsParsedWhole) {
  std::vector<GtYmRecord> recs;
  const char* strokes[] = {"12.5", " 7", "-3.25", "1e2", "abc", "5.", ".5", "", "1d1", "007.50"};
  constexpr int kRecords = 4500;
  for (int i = 0; i < kRecords; ++i) {
    GtYmRecord r = stat_rec("北" + std::to_string(i % 300) + "井", "2026" + std::to_string(10000000 + i),
                            "采油" + std::to_string(i % 8) + "队",
                            {{kValRealStroke, strokes[i % 10]}, {kValLiquidRate, std::to_string(i % 37)},
                             {kValWaterCut, std::to_string(i % 91)}, {kValInputPower, "1" + std::to_string(i)}});
    if (i == 299) r.crlf = {'x', 'y'};           // refused
    if (i == 400 || i == 4000) r.vals[kValRealStroke] = "nan";  // damaged cells
    recs.push_back(r);
  }
  const auto bytes = library_bytes(recs);
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  test::put_bytes(lib, bytes);
  StatRecords whole, read;
  std::vector<GtYmFinding> whole_findings, read_findings;
  ASSERT_EQ(parse_stat_records(bytes, whole, &whole_findings), StatFileStatus::Ok);
  ASSERT_EQ(read_stat_records(lib, read, &read_findings), StatFileStatus::Ok);
  ASSERT_EQ(read.size(), std::size_t{kRecords});
  ASSERT_EQ(whole.size(), std::size_t{kRecords});
  for (std::size_t i = 0; i < kRecords; ++i) {
    ASSERT_EQ(read.usable(i), whole.usable(i)) << i;
    for (int c = 0; c <= kStatColCount; ++c) ASSERT_EQ(read.cell(i, c), whole.cell(i, c)) << i << "," << c;
  }
  EXPECT_FALSE(read.usable(299));
  EXPECT_EQ(read.well(299), "");
  EXPECT_EQ(read.well(298), "北298井");
  EXPECT_EQ(read.test(698), "202610000698");
  EXPECT_EQ(read.cell(400, stat_col::kRealStroke), "");
  ASSERT_EQ(read_findings.size(), whole_findings.size());
  bool refused = false, damaged = false, late = false;
  for (std::size_t k = 0; k < read_findings.size(); ++k) {
    EXPECT_EQ(read_findings[k].record, whole_findings[k].record);
    EXPECT_EQ(read_findings[k].well, whole_findings[k].well);
    refused = refused || (read_findings[k].record == 300 && !read_findings[k].check.usable());
    damaged = damaged || (read_findings[k].record == 401 && read_findings[k].well == "北100井");
    late = late || (read_findings[k].record == 4001 && read_findings[k].well == "北100井");
    if (k > 0) {
      EXPECT_LT(read_findings[k - 1].record, read_findings[k].record);
    }
  }
  EXPECT_TRUE(refused);
  EXPECT_TRUE(damaged);
  EXPECT_TRUE(late);

  StatGrid g;
  fill_stat_grid(g, read);
  ASSERT_EQ(g.row_count(), kRecords - 1 + 2);
  EXPECT_EQ(g.rows.back(), stat_average_row(g.rows, 1, kRecords - 1));
}

// The average row reads each cell as num_val does, in single precision: a plain decimal
// text and every other form alike.
TEST(EffiStatTable, AverageReadsEveryCellAsNumVal) {
  for (const char* t : {"12.345", "-3.255", "0.125", "5.", ".5", "-.5", "007.50", "1e2", "1d2", " 7", "12.3.4", "-",
                        "abc", "3.14159265358979", "-0", "99999999999"}) {
    std::vector<StatRow> rows(2);
    rows[1][stat_col::kRealStroke] = t;
    const StatRow avg = stat_average_row(rows, 1, 1);
    const float v = to_single(num_val(t));
    EXPECT_EQ(avg[stat_col::kRealStroke], std::isfinite(v) ? num_text(round_dec(v, 2)) : std::string()) << t;
  }
}

TEST(EffiStatFilter, ValueListInFirstAppearanceOrder) {
  std::vector<GtYmRecord> recs;
  for (const char* b : {"A", "", "B", "A ", "a"}) recs.push_back(stat_rec("W", "1", b));
  StatRecords parsed;
  ASSERT_EQ(parse_stat_records(library_bytes(recs), parsed), StatFileStatus::Ok);
  EXPECT_EQ(stat_field_values(parsed, "单元号"), (std::vector<std::string>{"A", "B", "a"}));
  EXPECT_EQ(stat_matches(parsed, "单元号", " A"), (std::vector<int>{1, 4}));
  EXPECT_TRUE(stat_field_values(parsed, "请选择").empty());
  EXPECT_EQ(stat_field_values(parsed, "抽油机型号"), (std::vector<std::string>{"CYJ10-3-37HB"}));
}

// The statistics of a library of five_wells() in `prog`, loaded on 20261210.
EffiStatState five_wells_loaded(const ProgramFolder& prog) {
  const auto lib = gt_ym_path(prog);
  test::put_bytes(lib, library_bytes(five_wells()));
  EffiStatState st(lib);
  EXPECT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  return st;
}

TEST(EffiStatFilter, FilteredTableRenumberedWithItsOwnAverage) {
  test::TempProgram tp;
  EffiStatState st = five_wells_loaded(tp.prog);

  // No value chosen yet: no condition.
  st.choose_field("单元号");
  EXPECT_EQ(st.Combo2_items, (std::vector<std::string>{"一队", "二队", "三队"}));
  EXPECT_EQ(st.run_filter("20261211"), EffiStatState::Filter::NoCondition);
  EXPECT_EQ(st.grid.row_count(), 7);

  // A value that matches nothing leaves no condition either.
  st.choose_value("四队");
  EXPECT_EQ(st.tj_jls(), 0);
  EXPECT_EQ(st.run_filter("20261211"), EffiStatState::Filter::NoCondition);

  st.choose_value("一队");
  EXPECT_EQ(st.tj_jlh, (std::vector<int>{1, 3, 5}));
  ASSERT_EQ(st.run_filter("20261211"), EffiStatState::Filter::Shown);
  ASSERT_EQ(st.grid.row_count(), 5);
  EXPECT_EQ(st.grid.rows[2][stat_col::kNumber], "2");
  EXPECT_EQ(st.grid.rows[2][stat_col::kWell], "北2-1");
  EXPECT_EQ(st.grid.source[2].record, 3);
  EXPECT_EQ(st.grid.rows[4][stat_col::kPumpDia], "46");  // 泵径 38, 56, 44 of the matched wells only
  EXPECT_EQ(st.Text2, "20261211");

  // Any load empties the match list: the next "执行统计" asks for a condition.
  ASSERT_EQ(st.reload("20261212"), StatFileStatus::Ok);
  EXPECT_EQ(st.tj_jls(), 0);
  EXPECT_EQ(st.run_filter("20261212"), EffiStatState::Filter::NoCondition);
  EXPECT_EQ(st.grid.row_count(), 7);
  EXPECT_EQ(st.Combo1_text, "请选择");
}

// A file that cannot be read whole by the time the filter runs is said, and the table shown
// stays: an empty filtered table would read as "no record matches".
TEST(EffiStatFilter, AFileNoLongerReadableLeavesTheTable) {
  struct Case {
    const char* why;
    void (*spoil)(const std::filesystem::path&);
    EffiStatState::Filter outcome;
  };
  const Case cases[] = {
      {"not whole records",
       [](const std::filesystem::path& f) { std::filesystem::resize_file(f, std::filesystem::file_size(f) - 1); },
       EffiStatState::Filter::Damaged},
      {"a folder in its place",
       [](const std::filesystem::path& f) {
         std::filesystem::remove(f);
         std::filesystem::create_directory(f);
       },
       EffiStatState::Filter::IoError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::TempProgram tp;
    EffiStatState st = five_wells_loaded(tp.prog);
    st.choose_field("单元号");
    st.choose_value("一队");
    ASSERT_EQ(st.tj_jls(), 3);
    const auto rows = st.grid.rows;
    c.spoil(gt_ym_path(tp.prog));
    EXPECT_EQ(st.run_filter("20261211"), c.outcome);
    EXPECT_EQ(st.grid.rows, rows);
    EXPECT_EQ(st.Text2, "20261210");
  }
}

}  // namespace
}  // namespace wb
