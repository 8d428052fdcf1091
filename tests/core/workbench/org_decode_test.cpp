#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/workbench/joint_pipeline.h"
#include "core/workbench/org_decode.h"
#include "org_fixture.h"

namespace wb {
namespace {

using testing::org_file;
using testing::org_header;
using testing::RawSample;

std::unique_ptr<TestState> fresh() { return std::make_unique<TestState>(); }

// Sample scaling: every word by its factor, the voltage word unsigned.
TEST(OrgDecode, ScalesEachWordAndReadsVoltageUnsigned) {
  auto st = fresh();
  // Mean power is positive, so no sign change.
  std::vector<RawSample> s = {
      {1234, 19000, 250, 1500, 4567},  // 12.34 A, 380 V, 2.5 kW, 1.5 m, 45.67 kN
      {-50, 0x8000, 100, -20, -300},   // voltage word with the top bit: 655.36 V
      {0, 0xFFFF, 0, 32767, 32767},    // 1310.7 V
  };
  ASSERT_EQ(decode_org_bytes(*st, org_file(3, 3, s, "200605121430")), std::nullopt);
  EXPECT_FLOAT_EQ(st->iis[0], 12.34f);
  EXPECT_FLOAT_EQ(st->uus[0], 380.0f);
  EXPECT_FLOAT_EQ(st->pps[0], 2.5f);
  EXPECT_FLOAT_EQ(st->sss[0], 1.5f);
  EXPECT_FLOAT_EQ(st->ggs[0], 45.67f);
  EXPECT_FLOAT_EQ(st->iis[1], -0.5f);
  EXPECT_FLOAT_EQ(st->uus[1], 655.36f);
  EXPECT_FLOAT_EQ(st->sss[1], -0.02f);
  EXPECT_FLOAT_EQ(st->ggs[1], -3.0f);
  EXPECT_FLOAT_EQ(st->uus[2], 1310.7f);
  EXPECT_FLOAT_EQ(st->sss[2], 32.767f);
  EXPECT_EQ(st->org_head.sample_count, 3);
  EXPECT_EQ(st->org_head.wiring_mode, 3);
  EXPECT_EQ(st->Text1[0], "200605121430");
}

// Apparent power S = k*I*U/1000 and Q = sqrt(S^2 - P^2) per sample, k by wiring mode.
TEST(OrgDecode, ReactivePowerUsesTheWiringFactor) {
  struct Case {
    std::int16_t mode;
    double k;
  } cases[] = {{0, 3.0}, {1, std::sqrt(3.0)}, {2, 3.0}, {3, 1.0}, {4, 3.0}, {7, 3.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    auto st = fresh();
    // 10 A at 400 V: S = 4k kVA; P = 2 kW. Second sample: P larger than S gives Q = 0.
    std::vector<RawSample> s = {{1000, 20000, 200, 0, 0}, {100, 5000, 3000, 0, 0}};
    ASSERT_EQ(decode_org_bytes(*st, org_file(2, c.mode, s)), std::nullopt);
    const double S = 4.0 * c.k;
    EXPECT_NEAR(st->qqs[0], std::sqrt(S * S - 4.0), 1e-4);
    EXPECT_EQ(st->qqs[1], 0.0f);
  }
}

// The sign test covers all samples; pps is negated as a whole, qqs is not touched.
TEST(OrgDecode, NegativeMeanPowerFlipsStoredPowerOnly) {
  struct Case {
    const char* name;
    std::int16_t p0, p1;
    bool flipped;
  } cases[] = {{"mean exactly 0", 100, -100, false}, {"mean -0.01 kW", 99, -101, true}, {"mean +0.01", 101, -99, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto st = fresh();
    std::vector<RawSample> s = {{1000, 20000, c.p0, 0, 0}, {1000, 20000, c.p1, 0, 0}};
    ASSERT_EQ(decode_org_bytes(*st, org_file(2, 3, s)), std::nullopt);
    const float sign = c.flipped ? -1.0f : 1.0f;
    EXPECT_FLOAT_EQ(st->pps[0], sign * c.p0 / 100.0f);
    EXPECT_FLOAT_EQ(st->pps[1], sign * c.p1 / 100.0f);
    // S = 1*10*400/1000 = 4 kVA whatever the sign of P.
    EXPECT_NEAR(st->qqs[0], std::sqrt(16.0 - (c.p0 / 100.0) * (c.p0 / 100.0)), 1e-4);
  }
}

// More than 3000 samples: 3000 are stored, the mean covers all of them.
TEST(OrgDecode, CountAbove3000StoresFirst3000AndAveragesAll) {
  auto st = fresh();
  st->sss[3000] = 7.0f;  // index 3000 is never written by the decoder
  std::vector<RawSample> s(3500, RawSample{500, 19000, 100, 0, 0});  // +1 kW
  for (int i = 3000; i < 3500; ++i) s[i].power = -700;                // -7 kW
  // Total 3000*1 - 500*7 = -500 kW: the mean is negative although the stored mean is not.
  ASSERT_EQ(decode_org_bytes(*st, org_file(3500, 1, s)), std::nullopt);
  EXPECT_FLOAT_EQ(st->pps[0], -1.0f);
  EXPECT_FLOAT_EQ(st->pps[2999], -1.0f);
  EXPECT_FLOAT_EQ(st->sss[3000], 7.0f);
  EXPECT_NEAR(st->p_sum, -500.0 / 3500.0, 1e-5);
  EXPECT_EQ(stored_sample_count(*st), 3000);
}

// A short header count leaves later indices as the earlier test left them.
TEST(OrgDecode, IndicesBeyondTheCountKeepEarlierValues) {
  auto st = fresh();
  st->ggs[2] = 99.0f;
  ASSERT_EQ(decode_org_bytes(*st, org_file(2, 3, {{0, 0, 0, 0, 100}, {0, 0, 0, 0, 200}})), std::nullopt);
  EXPECT_FLOAT_EQ(st->ggs[1], 2.0f);
  EXPECT_FLOAT_EQ(st->ggs[2], 99.0f);
}

// Files that cannot be a joint test are refused with a message, and the shown test stays.
TEST(OrgDecode, BadFilesAreRefusedAndThePreviousTestStays) {
  auto dir = testing::temp_dir("bad");
  // The previous test: a small valid one, opened through the file browser's path.
  std::vector<RawSample> good(400);
  for (int i = 0; i < 400; ++i) good[i] = {1000, 19000, 150, static_cast<std::int16_t>(i * 5), 3000};
  testing::write_bytes(dir / "PREV.o01", org_file(400, 1, good, "200601010800"));
  auto st = fresh();
  ASSERT_EQ(open_joint_test_file(*st, (dir / "PREV.o01").string()), std::nullopt);
  st->Text1[1] = "0.5";  // the user's addition
  const TestState before = *st;

  struct Case {
    const char* name;
    Bytes bytes;
    const char* says;  // part of the message
  } cases[] = {
      {"empty file", {}, "不足一个文件头"},
      {"header cut short", Bytes(600, ' '), "不足一个文件头"},
      {"header only", org_header(50, 1), "一个也没有"},
      {"header and a part of one sample", [] { Bytes b = org_header(50, 1); b.resize(b.size() + 9, 1); return b; }(),
       "一个也没有"},
      {"count 0", org_file(0, 1, std::vector<RawSample>(5)), "采样点数为 0"},
      {"negative count", org_file(-4, 1, std::vector<RawSample>(5)), "采样点数为 -4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::write_bytes(dir / "BAD.o02", c.bytes);
    const std::string msg = open_joint_test_file(*st, (dir / "BAD.o02").string()).value_or(Refusal("")).message;
    EXPECT_NE(msg.find(c.says), std::string::npos) << msg;
    EXPECT_NE(msg.find("当前测试保持不变"), std::string::npos);
    EXPECT_EQ(st->Text1, before.Text1);
    EXPECT_EQ(st->Text3, before.Text3);
    EXPECT_EQ(st->Text2, before.Text2);
    EXPECT_EQ(st->org_head.sample_count, 400);
    EXPECT_EQ(st->gt_num, before.gt_num);
    EXPECT_EQ(st->sss, before.sss);
    EXPECT_EQ(st->pps, before.pps);
    EXPECT_EQ(st->read_sgt_dnt_org, kKindJoint);
  }
  // A missing file and a folder are refused the same way.
  EXPECT_NE(open_joint_test_file(*st, (dir / "NONE.o03").string()), std::nullopt);
  EXPECT_NE(tx_org(*st, dir.string(), 1), std::nullopt);
  EXPECT_EQ(st->Text1, before.Text1);
  std::filesystem::remove_all(dir);
}

// A file cut short: the samples that arrived are the test, bounded by the file's length and
// stored up to 3000; the analysis count and the mean power go by what was read.
TEST(OrgDecode, FileCutShortKeepsTheSamplesThatArrived) {
  struct Case {
    const char* name;
    std::int16_t header_count;
    int in_file;      // whole samples in the file
    int stray_bytes;  // a sample cut in the middle
    int read, stored;
  } cases[] = {
      {"fewer samples than the header says", 10, 9, 5, 9, 9},
      {"count above 3000, 3000 in the file", 3200, 3000, 0, 3000, 3000},
      {"count above 3000, 3100 in the file", 3500, 3100, 3, 3100, 3000},
      {"all samples present", 400, 400, 0, 400, 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto st = fresh();
    st->ggs.fill(99.0f);  // an earlier test
    // +2 kW, except -9 kW from sample 3000 on (read for the mean only).
    std::vector<RawSample> s(static_cast<std::size_t>(c.in_file), RawSample{500, 19000, 200, 0, 1000});
    for (int i = 3000; i < c.in_file; ++i) s[i].power = -900;
    Bytes b = org_file(c.header_count, 1, s);
    b.resize(b.size() + c.stray_bytes, 0x7F);
    ASSERT_EQ(decode_org_bytes(*st, b), std::nullopt);
    EXPECT_EQ(st->org_head.sample_count, c.read);
    EXPECT_EQ(stored_sample_count(*st), c.stored);
    EXPECT_FLOAT_EQ(st->ggs[c.stored - 1], 10.0f);
    EXPECT_FLOAT_EQ(st->ggs[c.stored], 99.0f);  // nothing past what was read
    // Mean power: (2 * min(read, 3000) - 9 * (read - 3000)) / read.
    const int beyond = c.read > 3000 ? c.read - 3000 : 0;
    EXPECT_NEAR(st->p_sum, (2.0 * (c.read - beyond) - 9.0 * beyond) / c.read, 1e-5);
  }
}

// S and Q are computed step by step in single precision: k as a float, then k*I, *U, /1000.
// Hand check for 1 A at 300.52 V, mode 1: in double sqrt(3)*300.52/1000 rounds to
// 0.520515919 as a float, the single-precision steps give 0.520515859.
TEST(OrgDecode, ApparentAndReactivePowerInSinglePrecision) {
  auto st = fresh();
  ASSERT_EQ(decode_org_bytes(*st, org_file(1, 1, {{100, 15026, 10, 0, 0}})), std::nullopt);
  const float k = static_cast<float>(std::sqrt(3.0));
  const float s = k * 1.0f * 300.52f / 1000.0f;
  const float q = std::sqrt(s * s - 0.1f * 0.1f);
  EXPECT_EQ(st->qqs[0], q);
  EXPECT_NE(st->qqs[0], static_cast<float>(std::sqrt(std::pow(std::sqrt(3.0) * 300.52 / 1000.0, 2) - 0.01)));
}

// The well name is the file name less its extension; the header's well name is not used.
TEST(OrgDecode, WellNameComesFromTheFileName) {
  auto dir = testing::temp_dir("name");
  std::vector<RawSample> s(300, RawSample{1000, 19000, 100, 0, 0});
  for (const char* name : {"X12-3.o05", "示范井1.O01"}) {
    SCOPED_TRACE(name);
    testing::write_bytes(dir / name, org_file(300, 1, s, "  20060512  "));
    auto st = fresh();
    ASSERT_EQ(tx_org(*st, (dir / name).string(), 1), std::nullopt);
    EXPECT_EQ(st->Text1[2], std::string(name).substr(0, std::string(name).size() - 4));
    EXPECT_EQ(st->Text1[0], "20060512");
    EXPECT_EQ(st->Text2, (dir / name).string());
    EXPECT_EQ(st->image1_tooltip[7], "保存联合测试文件到库");
  }
  std::filesystem::remove_all(dir);
}

// Findings on raw files the instrument would not write so; a sound file has none, and only
// the findings that apply are reported.
TEST(OrgDecode, DoubtsAboutDamagedFilesAndNoneAboutSoundOnes) {
  const std::vector<RawSample> full(300, RawSample{1000, 19000, 500, 100, 3000});
  const std::vector<RawSample> thirty(30, RawSample{1000, 19000, 500, 100, 3000});
  struct Case {
    const char* name;
    Bytes file;
    std::vector<std::string> contains;  // one part of each expected finding, in order
  };
  const Case cases[] = {
      {"sound, 300 samples", org_file(300, 1, full), {}},
      {"sound, trailing bytes beyond the samples", [&] { Bytes b = org_file(300, 4, full); b.push_back(7); return b; }(), {}},
      {"sound, wiring mode 3", org_file(300, 3, full), {}},
      {"cut short: header 3000, file 300", org_file(3000, 1, full), {"文件头记录 3000 个采样点，文件中只有 300 个"}},
      {"30 samples", org_file(30, 1, thirty), {"只有 30 个采样点（0.6 秒），不足一个冲程"}},
      {"cut short to 30", org_file(3000, 3, thirty), {"文件中只有 30 个", "只有 30 个采样点"}},
      {"date with letters", org_file(300, 1, full, "2006-05-12AB"), {"测试日期不是仪器写入的 12 位数字"}},
      {"date of 8 digits", org_file(300, 1, full, "20060512"), {"测试日期不是仪器写入的 12 位数字"}},
      {"wiring mode 0", org_file(300, 0, full), {"接线方式代码为 0"}},
      {"wiring mode 7", org_file(300, 7, full), {"接线方式代码为 7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto doubts = org_file_doubts(c.file);
    ASSERT_EQ(doubts.size(), c.contains.size());
    for (std::size_t i = 0; i < doubts.size(); ++i) EXPECT_NE(doubts[i].find(c.contains[i]), std::string::npos) << doubts[i];
  }
}

TEST(OrgDecode, RandomBytesAreDoubtedAndTheDoubtsLastUntilTheNextTest) {
  // Random bytes renamed to .o01, with a positive count so the file is not refused outright.
  std::uint32_t x = 12345;
  Bytes junk(5000);
  for (auto& b : junk) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  junk[28] = 0x10;
  junk[29] = 0x27;  // 10000 samples claimed
  auto st = fresh();
  ASSERT_EQ(decode_org_bytes(*st, junk), std::nullopt);
  ASSERT_GE(st->org_doubts.size(), 2u);
  EXPECT_NE(st->org_doubts[0].find("文件头记录 10000 个采样点"), std::string::npos);
  const std::string text = org_doubts_text(st->org_doubts, "/d/junk.o01");
  EXPECT_NE(text.find("/d/junk.o01"), std::string::npos);
  st->reset_for_new_test();
  EXPECT_TRUE(st->org_doubts.empty());
  const std::vector<RawSample> full(300, RawSample{1000, 19000, 500, 100, 3000});
  ASSERT_EQ(decode_org_bytes(*st, org_file(300, 1, full)), std::nullopt);
  EXPECT_TRUE(st->org_doubts.empty());
}

}  // namespace
}  // namespace wb
