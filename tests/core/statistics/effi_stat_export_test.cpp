// The text export's bytes: 23 GBK fields a line, tabs between them, CR LF after the last,
// control characters of any column blanked and blanks trimmed.
#include <gtest/gtest.h>

#include "../workbench/temp_program_folder.h"
#include "core/common/gbk.h"
#include "core/statistics/effi_stat_export.h"
#include "core/statistics/effi_stat_state.h"
#include "stat_test_util.h"

namespace wb {
namespace {

TEST(EffiStatExport, Fields) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a\tb", "a b"}, {"\tx\r", "x"}, {"  y  ", "y"}, {"1\r\n2", "1  2"}, {"北1-2", "北1-2"}, {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(stat_export_field(in), out) << in;
}

TEST(EffiStatExport, BytesOfATableWithControlCharacters) {
  test::TempProgram tp;
  const auto lib = gt_ym_path(tp.prog);
  // Well names with a tab and a CR, and a CR in the last column, all inside the fields.
  auto r1 = test::stat_rec("北1\t2", "1", "一队", {{kValInputPower, "10"}, {kValSysEffi, "20.5\r"}});
  auto r2 = test::stat_rec("B\r", "2", "", {{kValInputPower, "20"}, {kValSysEffi, "\n30"}});
  test::put_bytes(lib, test::library_bytes({r1, r2}));
  EffiStatState st(lib);
  ASSERT_EQ(st.load_library("20261210"), StatFileStatus::Ok);
  const auto bytes = stat_export_bytes(st.grid.rows);

  const std::string m = "CYJ10-3-37HB\tY280S-8";
  const std::string want =
      "序号\t井号\t单元号\t抽油机型号\t电动机型号\t冲程(m)\t冲次\t油压(MPa)\t套压(MPa)\t产液(m^3)\t含水(%)\t"
      "泵径(mm)\t泵挂(m)\t液面(m)\t沉没度(m)\t泵效(%)\t电流(A)\t输入功率(kW)\t光杆功率(kW)\t有效功率(kW)\t"
      "地面效率(%)\t井下效率(%)\t系统效率(%)\r\n"
      "1\t北1 2\t一队\t" + m + "\t\t\t\t\t\t\t\t\t\t\t\t\t10\t\t\t\t\t20.5\r\n"
      "2\tB\t\t" + m + "\t\t\t\t\t\t\t\t\t\t\t\t\t20\t\t\t\t\t30\r\n"
      "平均\t\t\t\t\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t15\t0\t0\t0\t\t0\r\n";
  const std::string got(bytes.begin(), bytes.end());
  EXPECT_EQ(gbk_to_utf8(got), want);
  // GBK on disk: "序号" is D0 F2 BA C5.
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xD0);
  EXPECT_EQ(bytes[1], 0xF2);
  EXPECT_EQ(bytes[2], 0xBA);
  EXPECT_EQ(bytes[3], 0xC5);

  const auto out = tp.prog.root / "table.txt";
  test::put_bytes(out, {'o', 'l', 'd'});
  ASSERT_TRUE(write_stat_export(out, st.grid.rows));
  EXPECT_EQ(test::file_bytes(out), bytes);
  EXPECT_FALSE(write_stat_export(tp.prog.root / "no" / "such" / "folder.txt", st.grid.rows));
}

}  // namespace
}  // namespace wb
