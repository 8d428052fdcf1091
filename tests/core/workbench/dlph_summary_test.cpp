// The power/balance summary: the main window creates a test's record or updates only its
// energy indicators, computed from the shown test, leaving other windows' fields alone.
#include "core/workbench/dlph_summary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "core/common/record_limit.h"

#include "temp_program_folder.h"

using namespace wb;
using wb::test::ascii_at;
using wb::test::file_bytes;
using wb::test::put_bytes;

namespace {

namespace fs = std::filesystem;

float f32_at(const std::vector<std::uint8_t>& b, std::size_t off) {
  float v;
  std::memcpy(&v, b.data() + off, 4);  // test host is little-endian like the file
  return v;
}

// A joint test whose result boxes and half-stroke values give known indicators.
TestState joint_test(const std::string& well, const std::string& header_date) {
  TestState st;
  st.read_sgt_dnt_org = kKindJoint;
  st.Text1[2] = well;
  st.org_head.test_date = header_date;
  st.Text3[5] = "380";
  st.Text3[6] = "25.5";
  st.Text3[1] = "12.5";
  st.Text3[8] = "8";
  st.Text3[7] = "15";
  st.Text3[9] = "0.85";
  st.Text3[10] = "27";
  st.Text3[11] = "13";
  st.imax_up = 30.0f;
  st.imax_down = 25.0f;
  st.pavg_up = 14.0f;
  st.pavg_down = 11.0f;
  st.p_sum = 9000.0f;
  for (auto& v : st.DnCs) v = 99.0f;  // a panel drawn for another test
  return st;
}

// Hand-computed indicators of joint_test(): the boxes as numbers, energy 9000/50/3.6 = 50 W·h,
// current balance 25/30 = 0.83, power balance 11/14 = 0.79 (2 decimals, halves up).
const float kExpected[16] = {0, 380, 25.5f, 12.5f, 8, 15, 0.85f, 50, 30, 25, 27, 0.83f, 14, 11, 13, 0.79f};

}  // namespace

TEST(DlPhSummary, FirstSaveCreatesTheRecordWithTheShownTestsIndicators) {
  test::TempProgram tmp;
  TestState st = joint_test("W3", "200405061530");
  DlPhRecord buf;
  buf.cyj_model = "CYJ10-3-53HB";  // left over from another window's search
  buf.sys_effi = 31.0f;
  buf.reserved_764.fill(0xAB);
  auto r = Save_DlPh_Pow(tmp.prog, st, buf);
  ASSERT_EQ(r.status, StoreStatus::Ok);
  EXPECT_TRUE(r.appended);
  EXPECT_EQ(r.record, 1u);
  const fs::path lib = tmp.prog.sys() / "DlPh.dat";
  auto b = file_bytes(lib);
  ASSERT_EQ(b.size(), 1264u);
  EXPECT_EQ(ascii_at(b, 0, 16), "W3              ");
  EXPECT_EQ(ascii_at(b, 16, 12), "200405061530");
  EXPECT_EQ(ascii_at(b, 28, 30), std::string(30, ' '));
  EXPECT_EQ(ascii_at(b, 96, 600), std::string(600, ' '));
  EXPECT_EQ(f32_at(b, 760), 0.0f);
  EXPECT_EQ(f32_at(b, 696), 0.0f);  // dn_cs(0), pump efficiency
  for (int k = 1; k <= 15; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(f32_at(b, 696 + 4 * k), kExpected[k], 1e-5);
    EXPECT_NEAR(st.DnCs[k], kExpected[k], 1e-5);
  }
}

TEST(DlPhSummary, SavingAgainUpdatesOnlyTheIndicators) {
  test::TempProgram tmp;
  TestState st = joint_test("W3", "200405061530");
  DlPhRecord buf;
  // Another well first, then this test as stored by the efficiency and balance windows.
  DlPhRecord other;
  other.well_name = "W1";
  other.test_date = "200401011230";
  DlPhRecord mine;
  mine.well_name = "W3";
  mine.test_date = "200405061530";
  mine.cyj_model = "CYJ10-3-53HB";
  mine.motor_model = "Y250M-8";
  mine.real_stroke = 2.95f;
  mine.real_spm = 6.1f;
  mine.crank_blocks = 4;
  mine.crank_block_pos = 0.8f;
  mine.crank_block_wt = 2.5f;
  mine.balance_advice = "平衡块向外移动0.12米";
  mine.dn_cs[0] = 55.0f;
  mine.dn_cs[1] = 1.0f;
  mine.sys_effi = 23.5f;
  mine.reserved_764.fill(0x5A);
  Bytes content = other.encode();
  Bytes m = mine.encode();
  content.insert(content.end(), m.begin(), m.end());
  const fs::path lib = tmp.prog.sys() / "DlPh.dat";
  put_bytes(lib, content);

  auto r = Save_DlPh_Pow(tmp.prog, st, buf);
  ASSERT_EQ(r.status, StoreStatus::Ok);
  EXPECT_FALSE(r.appended);
  EXPECT_EQ(r.record, 2u);
  auto b = file_bytes(lib);
  ASSERT_EQ(b.size(), 2u * 1264u);
  // Everything but dn_cs(1..15) (bytes 700..759 of the record) is as the other windows stored it.
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i >= 1264 + 700 && i < 1264 + 760) continue;
    ASSERT_EQ(b[i], content[i]) << "byte " << i;
  }
  for (int k = 1; k <= 15; ++k) EXPECT_NEAR(f32_at(b, 1264 + 696 + 4 * k), kExpected[k], 1e-5) << k;
}

TEST(DlPhSummary, HeaderDateWithBlanksMatchesTheTrimmedStoredDate) {
  test::TempProgram tmp;
  DlPhRecord stored;
  stored.well_name = "W3";
  stored.test_date = "2004050615";
  const fs::path lib = tmp.prog.sys() / "DlPh.dat";
  put_bytes(lib, stored.encode());
  TestState st = joint_test(" W3 ", "2004050615  ");
  DlPhRecord buf;
  auto r = Save_DlPh_Pow(tmp.prog, st, buf);
  EXPECT_FALSE(r.appended);
  EXPECT_EQ(fs::file_size(lib), 1264u);
}

TEST(DlPhSummary, DamagedSummaryIsRefusedAndNotRewritten) {
  test::TempProgram tmp;
  const fs::path lib = tmp.prog.sys() / "DlPh.dat";
  Bytes damaged(1300, 0x20);
  put_bytes(lib, damaged);
  TestState st = joint_test("W3", "200405061530");
  DlPhRecord buf;
  EXPECT_EQ(Save_DlPh_Pow(tmp.prog, st, buf).status, StoreStatus::Damaged);
  EXPECT_EQ(file_bytes(lib), damaged);
}

TEST(DlPhSummary, IndicatorsTheShownTestLacksAreZeroNotThoseOfTheLastPanel) {
  test::TempProgram tmp;
  TestState st = joint_test("W4", "200405061530");  // DnCs still holds 99 from another test
  st.Text3[9] = "";                                  // no power factor
  st.imax_up = st.imax_down = 0;                     // no half-stroke currents: no balance
  DlPhRecord buf;
  ASSERT_EQ(Save_DlPh_Pow(tmp.prog, st, buf).status, StoreStatus::Ok);
  auto b = file_bytes(tmp.prog.sys() / "DlPh.dat");
  ASSERT_EQ(b.size(), 1264u);
  EXPECT_EQ(f32_at(b, 696 + 4 * 6), 0.0f);   // power factor
  EXPECT_EQ(f32_at(b, 696 + 4 * 8), 0.0f);   // largest up-stroke current
  EXPECT_EQ(f32_at(b, 696 + 4 * 11), 0.0f);  // current balance
  EXPECT_NEAR(f32_at(b, 696 + 4 * 15), 0.79f, 1e-5);  // power balance 11/14 still computed
  EXPECT_EQ(st.DnCs[11], 0.0f);
}

// A name that runs past its 16 bytes with blanks before it is found again by the key it was
// stored under: saving the same test twice keeps one record.
TEST(DlPhSummary, LongNameWithLeadingBlanksIsSavedOnce) {
  for (const char* well : {"  ABCDEFGHIJKLMNO", " 一二三四五六七八", "ABCDEFGHIJKLMNOPQRS", "\t W1 "}) {
    SCOPED_TRACE(well);
    test::TempProgram tmp;
    TestState st = joint_test(well, "200405061530");
    DlPhRecord buf;
    const SummaryResult first = Save_DlPh_Pow(tmp.prog, st, buf);
    ASSERT_EQ(first.status, StoreStatus::Ok);
    EXPECT_TRUE(first.appended);
    const SummaryResult second = Save_DlPh_Pow(tmp.prog, st, buf);
    ASSERT_EQ(second.status, StoreStatus::Ok);
    EXPECT_FALSE(second.appended);
    EXPECT_EQ(second.record, 1u);
    EXPECT_EQ(file_bytes(tmp.prog.sys() / kDlPhFileName).size(), kDlPhRecordSize);
  }
}

// A summary library at the record limit takes no new key, and one beyond it none at all; the
// file is left as it was.
TEST(DlPhSummary, TheRecordLimitRefusesWithoutWriting) {
  struct Case {
    std::size_t records;
    bool full, over;
  } cases[] = {{kMaxLibraryRecords, true, false}, {kMaxLibraryRecords + 1, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    test::TempProgram tmp;
    const fs::path lib = tmp.prog.sys() / "DlPh.dat";
    { std::ofstream f(lib, std::ios::binary); }
    fs::resize_file(lib, c.records * kDlPhRecordSize);  // sparse zeroed records: no key a test has
    TestState st = joint_test("W3", "200405061530");
    DlPhRecord buf;
    const SummaryResult r = Save_DlPh_Pow(tmp.prog, st, buf);
    EXPECT_NE(r.status, StoreStatus::Ok);
    EXPECT_EQ(r.full, c.full);
    EXPECT_EQ(r.over_limit, c.over);
    EXPECT_EQ(fs::file_size(lib), c.records * kDlPhRecordSize);
  }
}
