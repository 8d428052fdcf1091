// The well base record at its byte offsets, and its library: the efficiency writer and
// reader (curves as coefficients), the counterbalance writer and reader, and what each save
// keeps of the other's fields.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "../workbench/temp_program_folder.h"
#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/trim.h"
#include "core/efficiency/well_base_record.h"
#include "effi_test_util.h"

namespace wb {
namespace {

using test::file_bytes;
using test::i16_at;
using test::put_bytes;
using test::ScriptedMessages;
using test::TempProgram;

float f32_at(const std::vector<std::uint8_t>& b, std::size_t off) {
  Bytes s(b.begin() + static_cast<std::ptrdiff_t>(off), b.begin() + static_cast<std::ptrdiff_t>(off + 4));
  return ByteReader(s).f32(0);
}

TEST(WellBaseRecord, FieldsAtTheirOffsets) {
  WellBaseRecord r;
  struct I2 {
    const char* name;
    std::size_t off;
    std::int16_t WellBaseRecord::*m;
  };
  const std::vector<I2> i2 = {
      {"point_num", 28, &WellBaseRecord::point_num},         {"sys_effi", 30, &WellBaseRecord::sys_effi},
      {"real_stroke", 78, &WellBaseRecord::real_stroke},     {"crank_blocks", 80, &WellBaseRecord::crank_blocks},
      {"crank_block_wt", 82, &WellBaseRecord::crank_block_wt}, {"crank_block_pos", 84, &WellBaseRecord::crank_block_pos},
      {"wiring_mode", 86, &WellBaseRecord::wiring_mode},     {"pump_dia", 116, &WellBaseRecord::pump_dia},
      {"water_cut", 122, &WellBaseRecord::water_cut},        {"oil_rate", 124, &WellBaseRecord::oil_rate},
      {"gas_oil_ratio", 126, &WellBaseRecord::gas_oil_ratio}, {"wellhead_temp", 132, &WellBaseRecord::wellhead_temp},
      {"tubing_press", 154, &WellBaseRecord::tubing_press},  {"casing_press", 156, &WellBaseRecord::casing_press},
      {"nom_stroke", 166, &WellBaseRecord::nom_stroke},      {"nom_spm", 168, &WellBaseRecord::nom_spm},
      {"theo_max_load", 178, &WellBaseRecord::theo_max_load}, {"theo_min_load", 180, &WellBaseRecord::theo_min_load},
      {"reserved_182", 182, &WellBaseRecord::reserved_182},  {"crank_pos_max", 184, &WellBaseRecord::crank_pos_max},
      {"gearbox_torque", 186, &WellBaseRecord::gearbox_torque}, {"beam_front_arm", 188, &WellBaseRecord::beam_front_arm},
      {"max_stroke", 190, &WellBaseRecord::max_stroke},      {"balance_arm", 192, &WellBaseRecord::balance_arm},
      {"balance_arm_angle", 194, &WellBaseRecord::balance_arm_angle},
      {"beam_block_wt", 196, &WellBaseRecord::beam_block_wt}, {"beam_blocks", 198, &WellBaseRecord::beam_blocks},
      {"beam_blocks_max", 200, &WellBaseRecord::beam_blocks_max}, {"reserved_202", 202, &WellBaseRecord::reserved_202},
      {"sinker_dia", 212, &WellBaseRecord::sinker_dia},      {"crank_pos_min", 214, &WellBaseRecord::crank_pos_min},
      {"crank_spacing", 216, &WellBaseRecord::crank_spacing}, {"balance_mode", 246, &WellBaseRecord::balance_mode},
      {"act_stroke", 248, &WellBaseRecord::act_stroke},
  };
  struct F4 {
    const char* name;
    std::size_t off;
    float WellBaseRecord::*m;
  };
  const std::vector<F4> f4 = {
      {"liquid_rate", 118, &WellBaseRecord::liquid_rate},   {"viscosity", 128, &WellBaseRecord::viscosity},
      {"rod_len_1", 134, &WellBaseRecord::rod_len_1},       {"rod_len_7_8", 138, &WellBaseRecord::rod_len_7_8},
      {"rod_len_3_4", 142, &WellBaseRecord::rod_len_3_4},   {"rod_len_5_8", 146, &WellBaseRecord::rod_len_5_8},
      {"liquid_density", 150, &WellBaseRecord::liquid_density}, {"fluid_level", 158, &WellBaseRecord::fluid_level},
      {"pump_depth", 162, &WellBaseRecord::pump_depth},     {"rod_len_1_1_8", 204, &WellBaseRecord::rod_len_1_1_8},
      {"sinker_len", 208, &WellBaseRecord::sinker_len},     {"crank_angle0", 218, &WellBaseRecord::crank_angle0},
  };
  for (const auto& f : i2) r.*(f.m) = static_cast<std::int16_t>(f.off * 3 - 400);
  for (const auto& f : f4) r.*(f.m) = static_cast<float>(f.off) + 0.5f;
  for (std::size_t g = 0; g < 4; ++g) r.crank_group[g] = {static_cast<std::int16_t>(g + 1), 2100, -300};
  r.well_name = "北12-3";
  r.test_date = "0611081230";
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y250M";
  r.block_unit = "采油一矿";
  r.reserved_1536[0] = 0xAB;
  r.reserved_250[133] = 0xCD;
  r.ss_sin[15] = 1.5f;
  r.ss_cos[0] = 2.5f;
  r.pp_sin[31] = 3.5f;
  r.pp_cos[0] = 4.5f;
  r.gg_sin[1] = 5.5f;
  r.gg_cos[31] = 6.5f;
  r.ii_sin[2] = 7.5f;
  r.ii_cos[0] = 8.5f;
  r.uu_sin[31] = 9.5f;
  r.uu_cos[0] = 760.0f;

  const Bytes b = r.encode();
  ASSERT_EQ(b.size(), 2000u);
  for (const auto& f : i2) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(i16_at(b, f.off), static_cast<std::int16_t>(f.off * 3 - 400));
  }
  for (const auto& f : f4) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(f32_at(b, f.off), static_cast<float>(f.off) + 0.5f);
  }
  for (std::size_t g = 0; g < 4; ++g) {
    EXPECT_EQ(i16_at(b, 222 + 6 * g), static_cast<std::int16_t>(g + 1));
    EXPECT_EQ(i16_at(b, 224 + 6 * g), 2100);
    EXPECT_EQ(i16_at(b, 226 + 6 * g), -300);
  }
  // Curve blocks: sine before cosine, first and last element.
  EXPECT_EQ(f32_at(b, 384 + 15 * 4), 1.5f);
  EXPECT_EQ(f32_at(b, 448), 2.5f);
  EXPECT_EQ(f32_at(b, 512 + 31 * 4), 3.5f);
  EXPECT_EQ(f32_at(b, 640), 4.5f);
  EXPECT_EQ(f32_at(b, 768 + 4), 5.5f);
  EXPECT_EQ(f32_at(b, 896 + 31 * 4), 6.5f);
  EXPECT_EQ(f32_at(b, 1024 + 8), 7.5f);
  EXPECT_EQ(f32_at(b, 1152), 8.5f);
  EXPECT_EQ(f32_at(b, 1280 + 31 * 4), 9.5f);
  EXPECT_EQ(f32_at(b, 1408), 760.0f);
  EXPECT_EQ(b[1536], 0xAB);
  EXPECT_EQ(b[383], 0xCD);
  // Text fields: GBK, blank-padded to their widths.
  EXPECT_EQ(std::string(b.begin(), b.begin() + 16), gbk_field("北12-3", 16));
  EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 28), "0611081230  ");
  EXPECT_EQ(std::string(b.begin() + 32, b.begin() + 62), gbk_field("CYJ10-3-37HB", 30));
  EXPECT_EQ(std::string(b.begin() + 62, b.begin() + 78), gbk_field("Y250M", 16));
  EXPECT_EQ(std::string(b.begin() + 96, b.begin() + 116), gbk_field("采油一矿", 20));

  WellBaseRecord back;
  ASSERT_TRUE(back.decode(b));
  EXPECT_EQ(back.encode(), b);
  EXPECT_EQ(trim_blanks(back.well_name), "北12-3");
  EXPECT_TRUE(back.has_electric_curves());
  EXPECT_FALSE(back.decode(Bytes(1999, 0)));
}

// Relative error of a curve rebuilt from its single-precision Goertzel coefficients: the
// recurrence over a few hundred points loses some 1e-4 of the curve's largest value; 1e-3
// leaves room and still catches a wrong term count or a swapped block.
constexpr double kCodecTol = 1e-3;

struct Stroke {
  std::vector<float> sss, ggs, uus, iis, pps;
};

// A smooth stroke of n points: each curve a mean and two harmonics, so 16 or 32 terms hold
// it exactly and the rebuilt samples are checked against the curve itself.
Stroke smooth_stroke(int n) {
  Stroke s;
  const double w = 2 * M_PI / n;
  for (int j = 0; j < n; ++j) {
    s.sss.push_back(static_cast<float>(1.5 - 1.5 * std::cos(j * w)));
    s.ggs.push_back(static_cast<float>(40 + 10 * std::sin(j * w) + 3 * std::cos(2 * j * w)));
    s.uus.push_back(static_cast<float>(380 + 5 * std::sin(3 * j * w)));
    s.iis.push_back(static_cast<float>(25 + 8 * std::cos(2 * j * w)));
    s.pps.push_back(static_cast<float>(12 + 6 * std::sin(2 * j * w + 0.3)));
  }
  return s;
}

EffiWellBaseSource source_of(const EffiBoxTexts& boxes, const Stroke& s, int gt_num, int iu_num) {
  EffiWellBaseSource src;
  src.boxes = boxes;
  src.gt_num = gt_num;
  src.iu_num = iu_num;
  src.cs_fs = 1;
  src.sss = s.sss;
  src.ggs = s.ggs;
  src.uus = s.uus;
  src.iis = s.iis;
  src.pps = s.pps;
  return src;
}

TEST(WellBaseLibrary, EfficiencySaveStoresScaledFieldsAndCurvesThatReadBack) {
  TempProgram tp;
  ScriptedMessages msg;
  const Stroke s = smooth_stroke(300);
  const auto res = Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 300, 300), msg);
  ASSERT_EQ(res.outcome, SaveOutcome::Saved);
  EXPECT_EQ(res.record, 1u);
  EXPECT_TRUE(msg.shown.empty());

  const auto b = file_bytes(well_base_path(tp.prog));
  ASSERT_EQ(b.size(), 2000u);
  EXPECT_EQ(i16_at(b, 28), 300);     // point_num = iu_num
  EXPECT_EQ(i16_at(b, 30), 2520);    // 25.2 % ×100
  EXPECT_EQ(i16_at(b, 78), 2950);    // 2.95 m ×1000
  EXPECT_EQ(i16_at(b, 86), 1);       // wiring mode
  EXPECT_EQ(i16_at(b, 116), 56);     // pump bore
  EXPECT_EQ(i16_at(b, 122), 800);    // 80 % ×10
  EXPECT_EQ(i16_at(b, 124), 700);    // 7 t/d ×100
  EXPECT_EQ(i16_at(b, 132), 3500);   // 35 °C ×100
  EXPECT_EQ(i16_at(b, 154), 2500);   // 2.5 MPa ×1000
  EXPECT_EQ(i16_at(b, 156), 800);    // 0.8 MPa ×1000
  EXPECT_EQ(i16_at(b, 166), 3000);   // nominal stroke 3 m
  EXPECT_EQ(i16_at(b, 168), 600);    // 6 /min ×100
  EXPECT_EQ(i16_at(b, 178), 5521);   // 55.21 kN ×100
  EXPECT_EQ(i16_at(b, 212), 25);     // sinker diameter
  EXPECT_EQ(f32_at(b, 118), 35.2f);
  EXPECT_EQ(f32_at(b, 150), 0.95f);
  EXPECT_EQ(f32_at(b, 208), 1200.0f);
  // a(0) of the displacement is twice its mean (1.5 m); b(0) is 0.
  EXPECT_NEAR(f32_at(b, 448), 3.0f, 1e-4);
  EXPECT_EQ(f32_at(b, 384), 0.0f);
  EXPECT_NEAR(f32_at(b, 1408), 760.0f, 760 * kCodecTol);

  const WellBaseCurves c = Get_Well_Base(tp.prog, " W1 ", "0611081230 ");
  ASSERT_TRUE(c.found);
  ASSERT_TRUE(c.has_curves);
  EXPECT_EQ(c.gt_num, 300);
  EXPECT_EQ(c.iu_num, 300);
  EXPECT_EQ(c.cs_fs, 1);
  ASSERT_EQ(c.sss.size(), 301u);
  EXPECT_EQ(c.sss[300], 0.0f);
  // Curves of a few harmonics are held exactly by 16 or 32 terms; what remains is the
  // codec's single-precision recurrence, whose error grows with the curve's size.
  for (int j = 0; j < 300; j += 7) {
    SCOPED_TRACE(j);
    EXPECT_NEAR(c.sss[j], s.sss[j], 3 * kCodecTol);
    EXPECT_NEAR(c.ggs[j], s.ggs[j], 53 * kCodecTol);
    EXPECT_NEAR(c.uus[j], s.uus[j], 385 * kCodecTol);
    EXPECT_NEAR(c.iis[j], s.iis[j], 33 * kCodecTol);
    EXPECT_NEAR(c.pps[j], s.pps[j], 18 * kCodecTol);
  }
}

TEST(WellBaseLibrary, SecondSaveAsksAndNoKeepsTheRecord) {
  TempProgram tp;
  ScriptedMessages msg;
  const Stroke s = smooth_stroke(250);
  auto boxes = test::sample_effi_boxes();
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(boxes, s, 250, 250), msg).outcome, SaveOutcome::Saved);
  const auto before = file_bytes(well_base_path(tp.prog));

  boxes[16] = "3.1";
  msg.answers = {MsgAnswer::No};
  EXPECT_EQ(Save_Well_Base(tp.prog, source_of(boxes, s, 250, 250), msg).outcome, SaveOutcome::Declined);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, "W1井本次测试已有记录，要覆盖吗？");
  EXPECT_EQ(msg.shown[0].title, "警告");
  EXPECT_EQ(file_bytes(well_base_path(tp.prog)), before);

  msg.answers = {MsgAnswer::Yes};
  const auto res = Save_Well_Base(tp.prog, source_of(boxes, s, 250, 250), msg);
  EXPECT_EQ(res.outcome, SaveOutcome::Saved);
  EXPECT_EQ(res.record, 1u);
  const auto after = file_bytes(well_base_path(tp.prog));
  ASSERT_EQ(after.size(), 2000u);
  EXPECT_EQ(i16_at(after, 154), 3100);

  // Another test of the same well is appended without a question.
  msg.shown.clear();
  const auto res2 = Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes("W1", "0611091000"), s, 250, 250), msg);
  EXPECT_EQ(res2.record, 2u);
  EXPECT_TRUE(res2.appended);
  EXPECT_TRUE(msg.shown.empty());
}

TEST(WellBaseLibrary, ValueBeyondItsFieldIsRefusedNamingTheBox) {
  struct Case {
    int box;
    const char* text;
    bool refused;
    const char* field;
  };
  const Case cases[] = {
      {16, "32.767", false, ""},          // the largest tubing pressure that fits
      {16, "32.768", true, "井口油压"},   // 32768 does not fit
      {7, "327.67", false, ""},
      {7, "327.68", true, "日产油量"},
      {44, "-327.68", false, ""},         // -32768 fits
      {44, "-327.69", true, "理论最小负荷"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    TempProgram tp;
    ScriptedMessages msg;
    auto boxes = test::sample_effi_boxes();
    boxes[static_cast<std::size_t>(c.box)] = c.text;
    const auto res = Save_Well_Base(tp.prog, source_of(boxes, smooth_stroke(200), 200, 200), msg);
    if (c.refused) {
      EXPECT_EQ(res.outcome, SaveOutcome::OutOfRange);
      EXPECT_EQ(res.field, c.field);
      ASSERT_EQ(msg.shown.size(), 1u);
      EXPECT_NE(msg.shown[0].text.find(c.field), std::string::npos);
      EXPECT_FALSE(std::filesystem::exists(well_base_path(tp.prog)));
    } else {
      EXPECT_EQ(res.outcome, SaveOutcome::Saved);
    }
  }
}

TEST(WellBaseLibrary, ShortCardStoresOnlyElectricCurvesAndNewRecordsStartCleared) {
  TempProgram tp;
  ScriptedMessages msg;
  // Another well's record with a card and counterweights comes first: a new record must
  // not inherit them.
  BalanceWellBaseSource bal;
  bal.Cur_Well = "OTHER";
  bal.Cur_Test = "0601010000";
  bal.Text2[0] = "4";
  bal.Text2[9] = "2.5";
  ASSERT_EQ(Save_WellBase(tp.prog, bal, msg).outcome, SaveOutcome::Saved);
  const Stroke s = smooth_stroke(300);
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes("OTHER", "0601010000"), s, 300, 300), msg).outcome,
            SaveOutcome::Saved);

  // Card of 150 points, electric curves of 250.
  const auto res = Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 150, 250), msg);
  ASSERT_EQ(res.record, 2u);
  WellBaseRecord rec;
  std::size_t found = 0;
  ASSERT_EQ(find_well_base(well_base_path(tp.prog), "W1", "0611081230", rec, found), StoreStatus::Ok);
  ASSERT_EQ(found, 2u);
  EXPECT_EQ(rec.point_num, 250);
  for (float v : rec.ss_cos) EXPECT_EQ(v, 0.0f);
  for (float v : rec.gg_cos) EXPECT_EQ(v, 0.0f);
  EXPECT_GT(rec.uu_cos[0], 10.0f);
  EXPECT_EQ(rec.crank_blocks, 0);
  EXPECT_EQ(rec.beam_block_wt, 0);
}

TEST(WellBaseLibrary, EachWindowKeepsTheOthersFields) {
  TempProgram tp;
  ScriptedMessages msg;
  const Stroke s = smooth_stroke(300);
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 300, 300), msg).outcome, SaveOutcome::Saved);

  BalanceWellBaseSource bal;
  bal.Cur_Well = "W1 ";
  bal.Cur_Test = "0611081230";
  bal.Comb_Cyj_Mode = std::string("CYJ12-3-53HB  \0", 15);
  bal.Text2 = {"3", "2.1", "1.25", "2.1", "37", "4", "3", "3.2", "-5", "2.5", "4", "10",
               "1.3", "2.2", "2", "", "", "", "", "", "", "", "", "", "0", "0.4", "6.5", "2.9"};
  bal.balance_mode = 2;
  const auto res = Save_WellBase(tp.prog, bal, msg);
  ASSERT_EQ(res.outcome, SaveOutcome::Saved);
  EXPECT_EQ(res.record, 1u);
  EXPECT_TRUE(msg.shown.empty());  // the balance window never asks

  WellBaseRecord rec;
  std::size_t found = 0;
  ASSERT_EQ(find_well_base(well_base_path(tp.prog), "W1", "0611081230", rec, found), StoreStatus::Ok);
  ASSERT_EQ(found, 1u);
  EXPECT_EQ(trim_blanks(rec.cyj_model), "CYJ12-3-53HB");
  EXPECT_EQ(rec.crank_block_wt, 2100);
  EXPECT_EQ(rec.crank_block_pos, 1250);
  EXPECT_EQ(rec.balance_arm_angle, -5);
  EXPECT_EQ(rec.beam_block_wt, 2500);
  EXPECT_EQ(rec.crank_group[0].count, 2);
  EXPECT_EQ(rec.crank_group[0].weight, 2200);
  EXPECT_EQ(rec.crank_group[0].pos, 1300);
  EXPECT_EQ(rec.crank_angle0, 6.5f);
  EXPECT_EQ(rec.balance_mode, 2);
  EXPECT_EQ(rec.act_stroke, 2900);
  // The efficiency window's fields and curves stay.
  EXPECT_EQ(rec.tubing_press, 2500);
  EXPECT_EQ(trim_blanks(rec.motor_model), "Y250M-8");
  EXPECT_GT(rec.uu_cos[0], 10.0f);

  // An efficiency save over it keeps the counterweights (model is rewritten from box 2).
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 300, 300), msg).outcome, SaveOutcome::Saved);
  ASSERT_EQ(find_well_base(well_base_path(tp.prog), "W1", "0611081230", rec, found), StoreStatus::Ok);
  EXPECT_EQ(rec.crank_block_wt, 2100);
  EXPECT_EQ(rec.act_stroke, 2900);
  EXPECT_EQ(trim_blanks(rec.cyj_model), "CYJ10-3-37HB");

  // What the balance window shows of it.
  const BalanceWellBaseView v = Get_Dat_From_WellBase(tp.prog, "W1", "0611081230");
  ASSERT_TRUE(v.found);
  EXPECT_EQ(v.cyj_model, "CYJ10-3-37HB");
  EXPECT_EQ(v.boxes[0], "3");
  EXPECT_EQ(v.boxes[1], "2.1");
  EXPECT_EQ(v.boxes[2], "1.25");
  EXPECT_EQ(v.boxes[4], "37");
  EXPECT_EQ(v.boxes[8], "-5");
  EXPECT_EQ(v.boxes[14], "2");
  EXPECT_EQ(v.boxes[13], "2.2");
  EXPECT_EQ(v.boxes[12], "1.3");
  EXPECT_EQ(v.boxes[17], "");  // group 2: count 0, weight 0
  EXPECT_EQ(v.boxes[24], "0");
  EXPECT_EQ(v.boxes[26], "6.5");
  ASSERT_TRUE(v.box27.has_value());
  EXPECT_EQ(*v.box27, "2.9");
  EXPECT_EQ(v.balance_mode, 2);
}

TEST(WellBaseLibrary, BalanceViewFillsOnlyWhatTheRecordGives) {
  WellBaseRecord rec;
  rec.crank_group[1] = {0, 2500, 1100};  // count 0 with a weight: shown, count box "0"
  rec.balance_arm_angle = 0;
  const BalanceWellBaseView v = balance_view_of(rec);
  EXPECT_EQ(v.boxes[17], "0");
  EXPECT_EQ(v.boxes[16], "2.5");
  EXPECT_EQ(v.boxes[15], "1.1");
  EXPECT_EQ(v.boxes[8], "");
  EXPECT_EQ(v.boxes[4], "");   // no torque stored
  EXPECT_EQ(v.boxes[0], "0");  // always
  EXPECT_FALSE(v.box27.has_value());
}

TEST(WellBaseLibrary, DamagedOrReadOnlyLibraryIsNotTouched) {
  TempProgram tp;
  ScriptedMessages msg;
  const Stroke s = smooth_stroke(200);
  put_bytes(well_base_path(tp.prog), std::vector<std::uint8_t>(2000 + 17, 0x20));
  EXPECT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 200, 200), msg).outcome,
            SaveOutcome::Damaged);
  ASSERT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(msg.shown[0].text, kBadFormatText);
  EXPECT_EQ(file_bytes(well_base_path(tp.prog)).size(), 2017u);
  EXPECT_FALSE(Get_Well_Base(tp.prog, "W1", "0611081230").found);

  // A read-only library keeps its bytes and the failure is reported.
  std::filesystem::remove(well_base_path(tp.prog));
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 200, 200), msg).outcome, SaveOutcome::Saved);
  const auto before = file_bytes(well_base_path(tp.prog));
  std::filesystem::permissions(well_base_path(tp.prog), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  msg.shown.clear();
  EXPECT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes("W2"), s, 200, 200), msg).outcome,
            SaveOutcome::IoError);
  EXPECT_EQ(msg.shown.size(), 1u);
  EXPECT_EQ(file_bytes(well_base_path(tp.prog)), before);
}

TEST(WellBaseLibrary, RecordWithoutElectricCurvesGivesCountsOnly) {
  TempProgram tp;
  ScriptedMessages msg;
  const Stroke s = smooth_stroke(300);
  ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 300, 120), msg).outcome,
            SaveOutcome::Saved);
  const WellBaseCurves c = Get_Well_Base(tp.prog, "W1", "0611081230");
  EXPECT_TRUE(c.found);
  EXPECT_FALSE(c.has_curves);
  EXPECT_EQ(c.gt_num, 120);
  EXPECT_TRUE(c.uus.empty());
  EXPECT_FALSE(Get_Well_Base(tp.prog, "W9", "0611081230").found);
}

// A record of the key whose count or curves are damaged gives no stroke and names the
// damage; the sound record beside it still reads.
TEST(WellBaseLibrary, DamagedCurvesOrCountGiveNoStrokeAndSaySo) {
  struct Case {
    const char* what;
    void (*damage)(WellBaseRecord&);
    const char* named;
  } cases[] = {
      {"voltage NaN", [](WellBaseRecord& r) { r.uu_sin[4] = std::nanf(""); }, "电压曲线"},
      {"load 1e36", [](WellBaseRecord& r) { r.gg_cos[2] = 1e36f; }, "载荷曲线"},
      {"position inf", [](WellBaseRecord& r) { r.ss_sin[3] = INFINITY; }, "位移曲线"},
      {"count 30000", [](WellBaseRecord& r) { r.point_num = 30000; }, "每冲程点数为 30000"},
      {"mean voltage NaN", [](WellBaseRecord& r) { r.uu_cos[0] = std::nanf(""); }, "电压曲线"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempProgram tp;
    ScriptedMessages msg;
    const Stroke s = smooth_stroke(300);
    ASSERT_EQ(Save_Well_Base(tp.prog, source_of(test::sample_effi_boxes(), s, 300, 300), msg).outcome,
              SaveOutcome::Saved);
    WellBaseRecord rec;
    std::size_t found = 0;
    ASSERT_EQ(find_well_base(well_base_path(tp.prog), "W1", "0611081230", rec, found), StoreStatus::Ok);
    ASSERT_EQ(found, 1u);
    ASSERT_TRUE(Get_Well_Base(tp.prog, "W1", "0611081230").has_curves);
    c.damage(rec);
    put_bytes(well_base_path(tp.prog), rec.encode());
    const WellBaseCurves w = Get_Well_Base(tp.prog, "W1", "0611081230");
    EXPECT_TRUE(w.found);
    EXPECT_FALSE(w.has_curves);
    EXPECT_EQ(w.gt_num, 0);
    EXPECT_TRUE(w.uus.empty());
    EXPECT_NE(w.damage.find(c.named), std::string::npos) << w.damage;
  }
}

TEST(WellBaseLibrary, BalanceViewLeavesADamagedCrankAngleAlone) {
  for (float angle : {std::nanf(""), 1.2e36f, -INFINITY}) {
    WellBaseRecord rec;
    rec.crank_angle0 = angle;
    BalanceWellBaseView v = balance_view_of(rec);
    EXPECT_EQ(v.boxes[26], "");
  }
  WellBaseRecord rec;
  rec.crank_angle0 = 6.5f;
  EXPECT_EQ(balance_view_of(rec).boxes[26], "6.5");
}

}  // namespace
}  // namespace wb
