// Checks of stored card, electric and waveform records: a record whose curves cannot be
// rebuilt is refused and the shown test stays; numbers the instrument never writes are
// named as doubts; random bytes never put a non-finite number on show.
#include "core/records/record_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "core/printing/card_print_page.h"
#include "core/workbench/record_readers.h"
#include "../workbench/temp_program_folder.h"

using namespace wb;
using wb::test::put_bytes;

namespace {

namespace fs = std::filesystem;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

SgtRecord sound_card() {
  SgtRecord r;
  r.well_name = "W5";
  r.test_date = "200405061530";
  r.point_num = 500;
  r.real_stroke = 3000;
  r.theo_stroke = 3000;
  r.theo_max_load = 1250;
  r.theo_min_load = -50;
  r.ss_cos[0] = 3.0f;
  r.ss_sin[1] = -1.5f;
  r.gg_cos[0] = 80.0f;
  r.gg_cos[1] = 10.0f;
  return r;
}

DntRecord sound_electric() {
  DntRecord r;
  r.well_name = "E1";
  r.test_date = "200405061530";
  r.point_num = 480;
  r.avg_current = 2550;
  r.avg_voltage = 19000;
  r.input_power = 1250;
  r.apparent_power = 1500;
  r.power_factor = 8500;
  r.wiring_mode = 1;
  r.ii_cos[0] = 50.0f;
  r.uu_cos[0] = 760.0f;
  r.pp_cos[0] = 25.0f;
  return r;
}

XbtRecord sound_wave() {
  XbtRecord r;
  r.well_name = "X1";
  r.test_date = "200405061530";
  r.current = 2500;
  r.voltage = 19000;
  r.power_factor = 8000;
  r.phase_diff = 3600;
  r.order_num = 10;
  r.ii_sin[1] = 35.0f;
  r.uu_sin[1] = 537.0f;
  return r;
}

struct Case {
  const char* what;
  std::function<RecordFindings()> check;
  bool refused;
  const char* named;  // text the finding must hold; nullptr: no finding at all
};

bool holds(const std::vector<std::string>& lines, const char* text) {
  for (const std::string& l : lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

template <class Rec>
std::function<RecordFindings()> with(Rec r, std::function<void(Rec&)> damage, RecordFindings (*check)(const Rec&)) {
  damage(r);
  return [r, check] { return check(r); };
}

}  // namespace

TEST(RecordChecks, EachDamageIsNamedAndOnlyUnrebuildableCurvesRefuse) {
  const Case cases[] = {
      {"sound card", with<SgtRecord>(sound_card(), [](SgtRecord&) {}, check_sgt_record), false, nullptr},
      {"load NaN", with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.gg_cos[3] = kNaN; }, check_sgt_record), true,
       "载荷曲线有 1 个系数"},
      {"position 1e36", with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.ss_sin[2] = 1.2e36f; }, check_sgt_record),
       true, "位移曲线"},
      {"load at its limit", with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.gg_cos[0] = 700; }, check_sgt_record),
       false, nullptr},
      {"position term the reader skips",
       with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.ss_sin[7] = kNaN; }, check_sgt_record), false, nullptr},
      {"negative stroke count",
       with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.point_num = -15000; }, check_sgt_record), true,
       "一个冲程的采样点数为 -15000"},
      {"negative stroke", with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.real_stroke = -100; }, check_sgt_record),
       false, "实测冲程为 -0.1 m"},
      {"date of letters",
       with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.test_date = "20a405061530"; }, check_sgt_record), false,
       "测试日期"},
      {"rod power inf", with<SgtRecord>(sound_card(), [](SgtRecord& r) { r.rod_power = kInf; }, check_sgt_record),
       false, "光杆功率"},
      {"sound electric", with<DntRecord>(sound_electric(), [](DntRecord&) {}, check_dnt_record), false, nullptr},
      {"power factor -1.0727",
       with<DntRecord>(sound_electric(), [](DntRecord& r) { r.power_factor = -10727; }, check_dnt_record), false,
       "功率因数为 -1.0727，应在 0 至 1 之间"},
      {"negative input power",
       with<DntRecord>(sound_electric(), [](DntRecord& r) { r.input_power = -500; }, check_dnt_record), false,
       "输入功率为 -5 kW"},
      {"wiring mode 9", with<DntRecord>(sound_electric(), [](DntRecord& r) { r.wiring_mode = 9; }, check_dnt_record),
       false, "接线方式代码"},
      {"power curve inf", with<DntRecord>(sound_electric(), [](DntRecord& r) { r.pp_cos[5] = kInf; }, check_dnt_record),
       true, "功率曲线"},
      {"voltage 5.5e37",
       with<DntRecord>(sound_electric(), [](DntRecord& r) { r.uu_sin[29] = 5.5e37f; }, check_dnt_record), true,
       "电压曲线"},
      {"power term the reader skips",
       with<DntRecord>(sound_electric(), [](DntRecord& r) { r.pp_cos[30] = kNaN; }, check_dnt_record), false, nullptr},
      {"electric count 4000",
       with<DntRecord>(sound_electric(), [](DntRecord& r) { r.point_num = 4000; }, check_dnt_record), true,
       "一个冲程的采样点数"},
      {"sound wave", with<XbtRecord>(sound_wave(), [](XbtRecord&) {}, check_xbt_record), false, nullptr},
      {"order 200", with<XbtRecord>(sound_wave(), [](XbtRecord& r) { r.order_num = 200; }, check_xbt_record), false,
       "谐波次数为 200"},
      {"order 200, term 49 NaN",
       with<XbtRecord>(sound_wave(),
                       [](XbtRecord& r) {
                         r.order_num = 200;
                         r.ii_cos[49] = kNaN;
                       },
                       check_xbt_record),
       true, "电流波形"},
      {"used voltage term NaN",
       with<XbtRecord>(sound_wave(), [](XbtRecord& r) { r.uu_sin[9] = kNaN; }, check_xbt_record), true, "电压波形"},
      {"term beyond the order",
       with<XbtRecord>(sound_wave(), [](XbtRecord& r) { r.uu_sin[10] = kNaN; }, check_xbt_record), false, nullptr},
      {"phase 200 degrees",
       with<XbtRecord>(sound_wave(), [](XbtRecord& r) { r.phase_diff = 20000; }, check_xbt_record), false, "相位差"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RecordFindings f = c.check();
    EXPECT_EQ(f.usable(), !c.refused);
    if (!c.named) {
      EXPECT_TRUE(f.refusals.empty() && f.doubts.empty());
      continue;
    }
    EXPECT_TRUE(holds(c.refused ? f.refusals : f.doubts, c.named));
  }
}

// Random bytes as a card, electric or waveform file, from a fixed seed: each is either
// refused (the shown test unchanged) or shown with nothing but finite curves and boxes.
TEST(RecordChecks, RandomBytesAreRefusedOrShownFinite) {
  test::TempProgram tmp;
  std::mt19937 gen(20261210);
  struct Kind {
    LibraryKind kind;
    std::size_t size;
    const char* name;
  } kinds[] = {{LibraryKind::Card, kSgtRecordSize, "bad.g01"},
               {LibraryKind::Electric, kDntRecordSize, "bad.d01"},
               {LibraryKind::Wave, kXbtRecordSize, "bad.x01"}};
  for (const Kind& k : kinds) {
    int refused = 0;
    for (int run = 0; run < 200; ++run) {
      SCOPED_TRACE(std::string(k.name) + " run " + std::to_string(run));
      Bytes b(k.size);
      for (auto& x : b) x = static_cast<std::uint8_t>(gen());
      const fs::path file = tmp.prog.data() / k.name;
      put_bytes(file, b);
      TestState st;
      st.Text1[2] = "KEEP";
      RecordFindings f;
      const ReadStatus s = open_stored_test(st, k.kind, file, 1, RecordSource::SingleTestFile, {}, &f);
      if (s == ReadStatus::Unusable) {
        ++refused;
        EXPECT_FALSE(f.refusals.empty());
        EXPECT_EQ(st.Text1[2], "KEEP");
        EXPECT_NE(record_refusal_message(k.kind, f, file).find(k.name), std::string::npos);
        continue;
      }
      ASSERT_EQ(s, ReadStatus::Ok);
      for (const auto* a : {&st.sss, &st.ggs, &st.iis, &st.uus, &st.pps})
        for (float v : *a) ASSERT_TRUE(std::isfinite(v));
      auto finite_text = [](const std::string& t) {
        return t.find("NaN") == std::string::npos && t.find("nan") == std::string::npos &&
               t.find("inf") == std::string::npos;
      };
      for (const std::string& t : st.Text1) EXPECT_TRUE(finite_text(t)) << t;
      for (const std::string& t : st.Text3) EXPECT_TRUE(finite_text(t)) << t;
    }
    // Random floats are mostly far beyond any curve: nearly every record is refused.
    EXPECT_GT(refused, 150) << k.name;
  }
}

TEST(RecordChecks, DoubtsOfAShownRecordStayWithItUntilTheNextTest) {
  test::TempProgram tmp;
  DntRecord doubtful = sound_electric();
  doubtful.power_factor = -10727;
  const fs::path bad = tmp.prog.data() / "E1.d01";
  const fs::path good = tmp.prog.data() / "E1.d02";
  put_bytes(bad, doubtful.encode());
  put_bytes(good, sound_electric().encode());

  TestState st;
  ASSERT_EQ(open_stored_test(st, LibraryKind::Electric, bad, 1, RecordSource::SingleTestFile, {}), ReadStatus::Ok);
  ASSERT_EQ(st.record_doubts.size(), 1u);
  const std::string msg = record_doubts_message(st);
  EXPECT_NE(msg.find("电力曲线"), std::string::npos);
  EXPECT_NE(msg.find("E1.d01"), std::string::npos);
  EXPECT_NE(msg.find("-1.0727"), std::string::npos);

  ASSERT_EQ(open_stored_test(st, LibraryKind::Electric, good, 1, RecordSource::SingleTestFile, {}), ReadStatus::Ok);
  EXPECT_TRUE(st.record_doubts.empty());
  EXPECT_TRUE(record_doubts_message(st).empty());
}

TEST(RecordChecks, ScreenAndPrintReadersRefuseADamagedLibraryRecord) {
  test::TempProgram tmp;
  SgtRecord card = sound_card();
  card.gg_sin[4] = kNaN;
  DntRecord dnt = sound_electric();
  dnt.ii_cos[2] = 3e38f;
  XbtRecord xbt = sound_wave();
  xbt.ii_cos[0] = -kInf;
  const fs::path sgt = library_path(tmp.prog, LibraryKind::Card);
  const fs::path dnt_lib = library_path(tmp.prog, LibraryKind::Electric);
  const fs::path xbt_lib = library_path(tmp.prog, LibraryKind::Wave);
  put_bytes(sgt, card.encode());
  put_bytes(dnt_lib, dnt.encode());
  put_bytes(xbt_lib, xbt.encode());

  TestState st;
  st.iu_num = 77;
  EXPECT_EQ(tx_G(st, sgt, 1), ReadStatus::Unusable);
  EXPECT_EQ(tx_d(st, dnt_lib, 1), ReadStatus::Unusable);
  EXPECT_EQ(tx_x(st, xbt_lib, 1), ReadStatus::Unusable);
  EXPECT_EQ(tx_d_prt_read(st, dnt_lib, 1), ReadStatus::Unusable);
  EXPECT_EQ(tx_x_prt_read(st, xbt_lib, 1), ReadStatus::Unusable);
  EXPECT_EQ(st.iu_num, 77);

  RecordingCanvas page(297, 210, true);
  prt_RodEngMapDisplay_main_new(st, page, sgt, 1, 0, 0);
  EXPECT_TRUE(page.items.empty());
  put_bytes(sgt, sound_card().encode());
  prt_RodEngMapDisplay_main_new(st, page, sgt, 1, 0, 0);
  EXPECT_FALSE(page.items.empty());
}
