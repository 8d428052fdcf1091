// The hand-over carries the well's base data forward from its newest efficiency record.
// Libraries are built in the test from records whose texts say where they came from.
#include <gtest/gtest.h>

#include <fstream>

#include "core/efficiency/effi_hand_over.h"
#include "core/records/gt_ym_record.h"
#include "../workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

GtYmRecord record(const std::string& well, const std::string& tag, const std::string& sinker) {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = "block " + tag;
  r.cyj_model = "model " + tag;
  r.motor_model = "motor " + tag;
  for (std::size_t k = 1; k < kGtYmValCount; ++k) r.vals[k] = tag + std::to_string(k);
  r.vals[0] = sinker;
  return r;
}

void write_library(const fs::path& p, const std::vector<GtYmRecord>& recs, std::size_t extra_bytes = 0) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  for (const auto& r : recs) {
    Bytes b = r.encode();
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  out << std::string(extra_bytes, ' ');
}

SysEffiState handed_over(const std::string& well) {
  SysEffiState s;
  for (auto& t : s.Text1) t = "kept";
  s.Text1[0] = well;
  return s;
}

TEST(EffiCarryForward, NewestRecordOfTheWellSuppliesTheBaseData) {
  test::TempProgram tmp;
  const fs::path lib = tmp.prog.sys() / "gt_ym.dat";
  write_library(lib, {record("W1", "a", "900/19"), record("W2", "x", "1/2"), record("W1", "b", "1200/25"),
                      record("W3", "y", "")});
  SysEffiState s = handed_over(" W1 ");
  ASSERT_EQ(carry_forward_base_data(s, lib), CarryForward::Carried);
  EXPECT_EQ(s.Text1[1], "block b");
  EXPECT_EQ(s.Text1[2], "model b");
  EXPECT_EQ(s.Text1[3], "motor b");
  EXPECT_EQ(s.Text1[4], "b1");    // vals[1]
  EXPECT_EQ(s.Text1[22], "b19");  // vals[19]
  EXPECT_EQ(s.Text1[24], "b21");  // vals[21]
  EXPECT_EQ(s.Text1[47], "1200");
  EXPECT_EQ(s.Text1[48], "25");
  // Neither the stored test time nor the stored results.
  EXPECT_EQ(s.Text1[23], "kept");
  for (int b = 25; b <= 46; ++b) EXPECT_EQ(s.Text1[static_cast<std::size_t>(b)], "kept") << b;
  EXPECT_EQ(s.Text1[0], " W1 ");
}

TEST(EffiCarryForward, SinkerWithoutSlashEmptiesBothBoxes) {
  test::TempProgram tmp;
  const fs::path lib = tmp.prog.sys() / "gt_ym.dat";
  write_library(lib, {record("W1", "a", "1200")});
  SysEffiState s = handed_over("W1");
  ASSERT_EQ(carry_forward_base_data(s, lib), CarryForward::Carried);
  EXPECT_EQ(s.Text1[47], "");
  EXPECT_EQ(s.Text1[48], "");
}

TEST(EffiCarryForward, NothingCarriedAndTheLibraryLeftAsItIs) {
  struct Case {
    const char* why;
    std::vector<GtYmRecord> recs;
    std::size_t extra;
    const char* well;
    bool create;
    CarryForward outcome;
  } cases[] = {
      {"no such library", {}, 0, "W1", false, CarryForward::NoRecord},
      {"empty library", {}, 0, "W1", true, CarryForward::NoRecord},
      {"not a whole number of records", {record("W1", "a", "1/2")}, 7, "W1", true, CarryForward::Unreadable},
      {"other wells only", {record("W2", "a", "1/2")}, 0, "W1", true, CarryForward::NoRecord},
      {"well differs in case", {record("w1", "a", "1/2")}, 0, "W1", true, CarryForward::NoRecord},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    test::TempProgram tmp;
    const fs::path lib = tmp.prog.sys() / "gt_ym.dat";
    if (c.create) write_library(lib, c.recs, c.extra);
    const auto size = c.create ? fs::file_size(lib) : 0;
    SysEffiState s = handed_over(c.well);
    EXPECT_EQ(carry_forward_base_data(s, lib), c.outcome);
    EXPECT_EQ(s.Text1[1], "kept");
    EXPECT_EQ(s.Text1[47], "kept");
    EXPECT_EQ(fs::exists(lib), c.create);
    if (c.create) {
      EXPECT_EQ(fs::file_size(lib), size);
    }
  }
}

}  // namespace
}  // namespace wb
