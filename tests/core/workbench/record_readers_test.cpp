// The record readers: curves rebuilt by the readers' series from stored coefficients,
// boxes and counts filled from the record, and reads that fail leaving the shown test.
#include "core/workbench/record_readers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/common/pi.h"
#include "temp_program_folder.h"

using namespace wb;
using wb::test::put_bytes;

namespace {

namespace fs = std::filesystem;

// The readers' angle step uses the five-digit pi, kPi5.
// Single-precision running sums of up to 30 terms of size ~100: 1e-3 absolute is ample and
// still far below any coefficient's contribution.
constexpr double kTol = 1e-3;

SgtRecord sample_card() {
  SgtRecord r;
  r.well_name = "W5";
  r.test_date = "200405061530";
  r.point_num = 500;
  r.stroke_loss = 350;
  r.theo_stroke = 3000;
  r.theo_max_load = 1250;
  r.theo_min_load = -50;
  r.ss_cos[0] = 3.0f;   // mean position 1.5 m
  r.ss_sin[1] = -1.5f;
  r.ss_cos[2] = 0.25f;
  r.ss_sin[7] = 9.0f;   // beyond term 6: the reader ignores it
  r.gg_cos[0] = 80.0f;  // mean load 40 kN
  r.gg_cos[1] = 10.0f;
  r.gg_sin[29] = 0.5f;
  r.gg_sin[30] = 50.0f; // beyond term 29
  return r;
}

DntRecord sample_electric() {
  DntRecord r;
  r.well_name = "E1";
  r.test_date = "200405061530";
  r.point_num = 480;
  r.avg_current = 2550;
  r.avg_voltage = 19000;  // 380 V
  r.input_power = 1250;
  r.reactive_power = 800;
  r.apparent_power = 1500;
  r.power_factor = 8500;
  r.max_current_up = 3010;
  r.max_current_down = 2790;
  r.rms_current = 2700;
  r.avg_power_up = 1400;
  r.avg_power_down = 1100;
  r.rms_power = 1300;
  r.ii_cos[0] = 50.0f;
  r.ii_sin[2] = 4.0f;
  r.uu_cos[0] = 760.0f;
  r.pp_cos[0] = 25.0f;
  r.pp_cos[29] = 1.0f;
  r.pp_cos[30] = 99.0f;
  return r;
}

}  // namespace

TEST(RecordReaders, StoredCardGives145PointsOfTheSeries) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  TestState src;
  src.Text1[2] = "W5";
  src.sgt_rec = sample_card();
  src.Text1[1] = "0.35";
  src.Text1[3] = "3";
  src.Text1[4] = "12.5";
  src.Text1[5] = "-0.5";
  ASSERT_EQ(sgt_save_new(src, lib).status, LibStatus::Ok);

  TestState st;
  st.sss[145] = 7.0f;  // points beyond the rebuilt ones keep the earlier test
  int drawn_with = -1;
  ReaderCharts charts;
  charts.RodEngMapDisplay_G = [&](TestState&, int n) { drawn_with = n; };
  ASSERT_EQ(tx_G(st, lib, 1, RecordSource::Library, charts), ReadStatus::Ok);
  EXPECT_EQ(drawn_with, 144);
  EXPECT_EQ(st.gt_num, 500);
  EXPECT_EQ(st.disp_state, 1);
  EXPECT_EQ(st.image1_tooltip[7], "保存功图测试文件到库");
  EXPECT_EQ(st.org_head.test_date, "200405061530");
  EXPECT_EQ(st.Text1[0], "200405061530");
  EXPECT_EQ(st.Text1[1], "0.35");
  EXPECT_EQ(st.Text1[2], "W5");
  EXPECT_EQ(st.Text1[3], "3");
  EXPECT_EQ(st.Text1[4], "12.5");
  EXPECT_EQ(st.Text1[5], "-0.5");
  const double t = 2 * kPi5 / 144;
  for (int i = 0; i <= 144; ++i) {
    SCOPED_TRACE(i);
    double s = 1.5 - 1.5 * std::sin(i * t) + 0.25 * std::cos(2 * i * t);
    double g = 40.0 + 10.0 * std::cos(i * t) + 0.5 * std::sin(29 * i * t);
    EXPECT_NEAR(st.sss[i], s, kTol);
    EXPECT_NEAR(st.ggs[i], g, kTol);
  }
  EXPECT_EQ(st.sss[145], 7.0f);
}

TEST(RecordReaders, StoredElectricRecordGives145PointsAndItsResults) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Electric);
  TestState src;
  src.Text1[2] = "E1";
  src.dnt_rec = sample_electric();
  ASSERT_EQ(Pow_save_new(src, lib).status, LibStatus::Ok);

  TestState st;
  st.Text3[3] = "9.9/8.8";  // not written by the reader
  int period = -1;
  bool refreshed = false;
  ReaderCharts charts;
  charts.iup_line_form = [&](TestState&, int n) { period = n; };
  charts.refresh_picture = [&] { refreshed = true; };
  ASSERT_EQ(tx_d(st, lib, 1, RecordSource::Library, charts), ReadStatus::Ok);
  EXPECT_EQ(period, 144);
  EXPECT_TRUE(refreshed);
  EXPECT_EQ(st.iu_num, 480);
  EXPECT_EQ(st.Text3[5], "380");
  EXPECT_EQ(st.Text3[6], "25.5");
  EXPECT_EQ(st.Text3[1], "12.5");
  EXPECT_EQ(st.Text3[8], "8");
  EXPECT_EQ(st.Text3[7], "15");
  EXPECT_EQ(st.Text3[9], "0.85");
  EXPECT_EQ(st.Text3[10], "27");
  EXPECT_EQ(st.Text3[11], "13");
  EXPECT_EQ(st.Text3[3], "9.9/8.8");
  EXPECT_FLOAT_EQ(st.imax_up, 30.1f);
  EXPECT_FLOAT_EQ(st.imax_down, 27.9f);
  EXPECT_FLOAT_EQ(st.pavg_up, 14.0f);
  EXPECT_FLOAT_EQ(st.pavg_down, 11.0f);
  EXPECT_FLOAT_EQ(st.p_sum, 6000.0f);  // 12.5 kW x 480 samples
  EXPECT_EQ(st.picture1_tooltip, "单击此处可显示电能数据");
  EXPECT_EQ(st.image1_tooltip[7], "保存电能测试文件到库");
  const double t = 2 * kPi5 / 144;
  for (int i = 0; i <= 144; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(st.iis[i], 25.0 + 4.0 * std::sin(2 * i * t), kTol);
    EXPECT_NEAR(st.uus[i], 380.0, kTol);
    EXPECT_NEAR(st.pps[i], 12.5 + std::cos(29 * i * t), kTol);
  }
}

TEST(RecordReaders, PrintingElectricReaderRebuildsOneStrokeOfPointNum) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Electric);
  DntRecord r = sample_electric();
  r.point_num = 501;
  put_bytes(lib, r.encode());
  TestState st;
  st.Text1[2] = "SHOWN";
  st.disp_state = 2;
  ASSERT_EQ(tx_d_prt_read(st, lib, 1), ReadStatus::Ok);
  EXPECT_EQ(st.iu_num, 501);
  EXPECT_EQ(st.Text1[2], "SHOWN");
  EXPECT_EQ(st.disp_state, 2);
  const double t = 2 * kPi5 / 501;
  for (int i : {0, 1, 250, 499, 500}) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(st.iis[i], 25.0 + 4.0 * std::sin(2 * i * t), kTol);
  }
}

TEST(RecordReaders, WaveformWellNameComesFromTheFileName) {
  struct Case {
    const char* file;
    const char* expected_well;
  };
  const Case cases[] = {{"w12a.x03", "W12A"}, {"xbt.x01", "STORED"}, {"Xbt.X02", "STORED"}, {"w\n1.x01", "W_1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    test::TempProgram tmp;
    XbtRecord x;
    x.well_name = "STORED";
    x.test_date = "200405061530";
    x.order_num = 1;
    x.ii_cos[0] = 20.246f;  // flat at 10.123 -> 10.12
    x.uu_cos[0] = 440.01f;  // flat at 220.005 -> 220.01
    x.ii_sin[1] = 5.0f;     // order 1 holds only the mean
    const fs::path f = tmp.prog.data() / c.file;
    put_bytes(f, x.encode());
    TestState st;
    float xx = 0, yy = 0;
    ReaderCharts charts;
    charts.draw_xbt_1 = [&](TestState&, float a, float b) { xx = a, yy = b; };
    ASSERT_EQ(tx_x(st, f, 1, RecordSource::SingleTestFile, charts), ReadStatus::Ok);
    EXPECT_EQ(st.Text1[2], c.expected_well);
    EXPECT_EQ(st.iu_num, 180);
    EXPECT_EQ(xx, 5.0f);
    EXPECT_EQ(yy, 7.0f);
    EXPECT_EQ(st.picture1_tooltip, "单击此处可绘制电流电压谐波棒图");
    for (int i = 0; i < 180; ++i) {
      ASSERT_FLOAT_EQ(st.iis[i], 10.12f) << i;
      ASSERT_FLOAT_EQ(st.uus[i], 220.01f) << i;
    }
  }
}

TEST(RecordReaders, WaveformHarmonicsStopAtOrderNum) {
  struct Case {
    std::int16_t order_num;
    bool third_used;
  };
  // order_num N uses terms 1 … N-1; above 50 the block's terms 1 … 49.
  for (const Case c : {Case{3, false}, Case{4, true}, Case{60, true}, Case{0, false}}) {
    SCOPED_TRACE(c.order_num);
    test::TempProgram tmp;
    XbtRecord x;
    x.order_num = c.order_num;
    x.ii_sin[3] = 10.0f;
    const fs::path lib = library_path(tmp.prog, LibraryKind::Wave);
    put_bytes(lib, x.encode());
    TestState st;
    ASSERT_EQ(tx_x_prt_read(st, lib, 1), ReadStatus::Ok);
    const double t = 2 * kPi5 / 180;
    double expect = c.third_used ? std::floor(10.0 * std::sin(3 * 10 * t) * 100 + 0.5) / 100 : 0.0;
    EXPECT_NEAR(st.iis[10], expect, 1e-5);
  }
}

TEST(RecordReaders, FailedReadsLeaveTheShownTest) {
  test::TempProgram tmp;
  const fs::path good = tmp.prog.data() / "W1.g01";
  put_bytes(good, sample_card().encode());
  const fs::path twice = tmp.prog.data() / "W1.g02";
  Bytes two = sample_card().encode();
  two.insert(two.end(), two.begin(), two.end());
  put_bytes(twice, two);
  const fs::path short_file = tmp.prog.data() / "W1.g03";
  put_bytes(short_file, Bytes(500, 1));
  const fs::path empty = tmp.prog.data() / "W1.g04";
  put_bytes(empty, {});
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  put_bytes(lib, two);
  const fs::path broken_lib = tmp.prog.sys() / "broken.dat";
  Bytes broken = two;
  broken.resize(700);
  put_bytes(broken_lib, broken);

  struct Case {
    const char* name;
    fs::path file;
    long long rec;
    RecordSource source;
    ReadStatus expected;
  };
  const Case cases[] = {
      {"missing file", tmp.prog.data() / "none.g01", 1, RecordSource::SingleTestFile, ReadStatus::Missing},
      {"empty file", empty, 1, RecordSource::SingleTestFile, ReadStatus::Empty},
      {"single file of two records", twice, 1, RecordSource::SingleTestFile, ReadStatus::Damaged},
      {"single file too short", short_file, 1, RecordSource::SingleTestFile, ReadStatus::Damaged},
      {"damaged library", broken_lib, 1, RecordSource::Library, ReadStatus::Damaged},
      {"record beyond the count", lib, 3, RecordSource::Library, ReadStatus::OutOfRange},
      {"record 0", lib, 0, RecordSource::Library, ReadStatus::OutOfRange},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestState st;
    st.read_sgt_dnt_org = kKindJoint;
    st.Text1[2] = "SHOWN";
    st.gt_num = 777;
    st.iu_num = 555;
    st.sss[0] = 42.0f;
    bool drawn = false;
    ReaderCharts charts;
    charts.RodEngMapDisplay_G = [&](TestState&, int) { drawn = true; };
    EXPECT_EQ(open_stored_test(st, LibraryKind::Card, c.file, c.rec, c.source, charts), c.expected);
    EXPECT_FALSE(drawn);
    EXPECT_EQ(st.read_sgt_dnt_org, kKindJoint);
    EXPECT_EQ(st.Text1[2], "SHOWN");
    EXPECT_EQ(st.gt_num, 777);
    EXPECT_EQ(st.iu_num, 555);
    EXPECT_EQ(st.sss[0], 42.0f);
  }
  // The library of two records still serves record 2; a whole single-test file opens.
  TestState st;
  EXPECT_EQ(open_stored_test(st, LibraryKind::Card, lib, 2, RecordSource::Library, {}), ReadStatus::Ok);
  EXPECT_EQ(open_stored_test(st, LibraryKind::Card, good, 1, RecordSource::SingleTestFile, {}), ReadStatus::Ok);
}

TEST(RecordReaders, OpeningResetsTheStateForTheNewTest) {
  test::TempProgram tmp;
  const fs::path f = tmp.prog.data() / "W5.g01";
  put_bytes(f, sample_card().encode());
  TestState st;
  st.read_sgt_dnt_org = kKindJoint;
  st.iu_num = 300;
  st.iis[3] = 12.0f;
  st.picture1_tooltip = "单击此处可显示电能数据";
  st.command1_visible = true;
  st.chk_start_visible = true;
  ASSERT_EQ(open_stored_test(st, LibraryKind::Card, f, 1, RecordSource::SingleTestFile, {}), ReadStatus::Ok);
  EXPECT_EQ(st.read_sgt_dnt_org, kKindCard);
  EXPECT_EQ(st.iu_num, 0);        // the electric arrays stay, their count goes
  EXPECT_EQ(st.iis[3], 12.0f);
  EXPECT_EQ(st.gt_num, 500);
  EXPECT_EQ(st.picture1_tooltip, "");  // a card leaves the picture's tooltip empty
  EXPECT_FALSE(st.command1_visible);
  EXPECT_FALSE(st.chk_start_visible);
  EXPECT_EQ(st.image1_tooltip[1], "不可分析");
}

TEST(RecordReaders, GridRowLoadsTheRecordAndSetsTheExportTarget) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Electric);
  put_bytes(lib, sample_electric().encode());
  TestState st;
  st.frame2_caption = "电力曲线主库";
  st.Text1[4] = "12";
  st.gt_num = 3;
  EXPECT_EQ(Grid1_row_chosen(st, tmp.prog, 0, {}), ReadStatus::Ok);  // header row: boxes and counts only
  EXPECT_EQ(st.Text1[4], "");
  EXPECT_EQ(st.gt_num, 0);
  EXPECT_EQ(st.read_sgt_dnt_org, kKindNone);

  ASSERT_EQ(Grid1_row_chosen(st, tmp.prog, 1, {}), ReadStatus::Ok);
  EXPECT_EQ(st.read_sgt_dnt_org, kKindElectric);
  EXPECT_EQ(st.image1_tooltip[0], "电力曲线数据出库");
  EXPECT_EQ(st.image1_tooltip[1], "平衡分析");
  EXPECT_EQ(st.Text1[2], "E1");

  st.image1_tooltip[0] = "unchanged";
  EXPECT_EQ(Grid1_row_chosen(st, tmp.prog, 2, {}), ReadStatus::OutOfRange);
  EXPECT_EQ(st.image1_tooltip[0], "unchanged");
}
