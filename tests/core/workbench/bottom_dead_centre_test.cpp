#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "core/common/fourier.h"
#include "core/workbench/bottom_dead_centre.h"

namespace wb {
namespace {


std::unique_ptr<TestState> stroke(int n_record, int period, double range, int bottom, double offset = 0.0) {
  auto st = std::make_unique<TestState>();
  st->org_head.sample_count = static_cast<std::int16_t>(n_record);
  for (int i = 0; i < n_record; ++i) {
    const double th = 2.0 * std::numbers::pi * (i - bottom) / period;
    st->sss[i] = static_cast<float>(offset + range / 2.0 * (1.0 - std::cos(th)));
    st->ggs[i] = static_cast<float>(30.0 + 10.0 * std::sin(th));
    st->iis[i] = static_cast<float>(i);
    st->uus[i] = static_cast<float>(380 + i % 3);
    st->pps[i] = static_cast<float>(-i);
    st->qqs[i] = static_cast<float>(1000 + i);
  }
  st->gt_num = st->iu_num = static_cast<std::int16_t>(period);
  return st;
}

// The bottom dead centre is where the fitted position is nearest 0; an even period gains a
// sample for the card only.
TEST(BottomDeadCentre, FoundAtTheLowestPointOfTheFit) {
  struct Case {
    int period, bottom, card_count;
  } cases[] = {{500, 137, 501}, {501, 0, 501}, {625, 400, 625}, {600, 300, 601}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period);
    auto st = stroke(3000, c.period, 3.0, c.bottom);
    Chk_Trans_Info(*st);
    EXPECT_TRUE(st->chk_start_enabled);
    EXPECT_EQ(st->gt_num, c.card_count);
    EXPECT_EQ(st->iu_num, c.period);
    // The sinusoid is 0 at `bottom` exactly; the fit over the (possibly one longer) card
    // count may move the nearest sample by one.
    EXPECT_NEAR(st->bdc_start, c.bottom, 1);
  }
}

// A fundamental below 0.25 m: Chk_Start is disabled, bdc_start 0, and turning does nothing.
TEST(BottomDeadCentre, SmallFundamentalDisablesTheTurn) {
  auto st = stroke(3000, 500, 0.45, 200);  // amplitude 0.225 m
  st->chk_start_enabled = true;
  Chk_Trans_Info(*st);
  EXPECT_FALSE(st->chk_start_enabled);
  EXPECT_EQ(st->bdc_start, 0);
  const SampleArray before = st->sss;
  st->chk_start_checked = true;
  Abs_Trans_Data(*st);
  EXPECT_EQ(st->sss, before);
}

// A stroke that is the whole record has no next sample: the card count drops to odd instead
// of reading a value an earlier test left at index N.
TEST(BottomDeadCentre, WholeRecordStrokeStaysInsideTheRecord) {
  struct Case {
    int record, period, card_count;
  } cases[] = {{3000, 3000, 2999}, {2400, 2400, 2399}, {3000, 1000, 1001}, {2999, 2999, 2999}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period);
    auto st = stroke(c.record, c.period, 2.0, 10);
    Chk_Trans_Info(*st);
    EXPECT_EQ(st->gt_num, c.card_count);
  }
}

// Checking and unchecking Chk_Start turns the five arrays and back; qqs never moves.
TEST(BottomDeadCentre, TurnAndTurnBack) {
  auto st = stroke(3000, 500, 3.0, 137);
  Chk_Trans_Info(*st);
  const int n = st->gt_num;
  const int b = st->bdc_start;
  const TestState before = *st;
  st->chk_start_checked = true;
  Abs_Trans_Data(*st);
  for (int i : {0, 1, n - b - 1, n - b, n - 1}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(st->iis[i], before.iis[(b + i) % n]);
    EXPECT_EQ(st->uus[i], before.uus[(b + i) % n]);
    EXPECT_EQ(st->pps[i], before.pps[(b + i) % n]);
    EXPECT_EQ(st->sss[i], before.sss[(b + i) % n]);
    EXPECT_EQ(st->ggs[i], before.ggs[(b + i) % n]);
  }
  EXPECT_NEAR(st->sss[0], 0.0f, 1e-3);  // the stroke starts at the bottom
  EXPECT_EQ(st->qqs, before.qqs);
  EXPECT_EQ(st->sss[n], before.sss[n]);  // beyond the stroke nothing moves
  st->chk_start_checked = false;
  Abs_Trans_Data(*st);
  EXPECT_EQ(st->iis, before.iis);
  EXPECT_EQ(st->uus, before.uus);
  EXPECT_EQ(st->pps, before.pps);
  EXPECT_EQ(st->sss, before.sss);
  EXPECT_EQ(st->ggs, before.ggs);
}

// After a period correction bdc_start may lie past the stroke; the turn stays inside it.
TEST(BottomDeadCentre, TurnAfterThePeriodShrankStaysInside) {
  auto st = stroke(3000, 500, 3.0, 0);
  st->bdc_start = 450;
  st->gt_num = 300;
  const TestState before = *st;
  st->chk_start_checked = true;
  Abs_Trans_Data(*st);
  EXPECT_EQ(st->iis[0], before.iis[150]);
  EXPECT_EQ(st->iis[299], before.iis[149]);
  EXPECT_EQ(st->iis[300], before.iis[300]);
  st->chk_start_checked = false;
  Abs_Trans_Data(*st);
  EXPECT_EQ(st->iis, before.iis);
}

// A joint test ready for its records: a stroke of 501 card samples and 500 electric ones.
std::unique_ptr<TestState> ready_for_records() {
  auto st = stroke(3000, 501, 3.0, 0, 0.12);
  st->iu_num = 500;
  st->org_head.test_date = "200605121430";
  st->org_head.wiring_mode = 4;
  st->Text1 = {"200605121430", "0.35", "  示范井1 ", "3", "52.5kN", ""};
  st->Text3 = {"", "6.76", "4.86", "7.2/6.3", "12.3/10.8", "379.3", "14.4", "9.4",
               "6.5", "0.72", "14.9", "7.8", "2.998", "5.99", "", ""};
  return st;
}

TEST(RecordBuild, CardAndElectricRecordsFromBoxesAndSamples) {
  auto st = ready_for_records();
  // Leftovers of an earlier record must not survive the build.
  st->sgt_rec.reserved_text.fill('Z');
  st->dnt_rec.reserved_54 = 77;
  st->dnt_rec.reserved_text.fill('Z');
  const RecordBuildReport rep = Pow_Sgt_Dat_Prep(*st);
  EXPECT_TRUE(rep.complete()) << unstored_fields_message(rep);

  const SgtRecord& g = st->sgt_rec;
  EXPECT_EQ(g.well_name, "示范井1");
  EXPECT_EQ(g.test_date, "200605121430");
  EXPECT_EQ(g.point_num, 501);
  EXPECT_EQ(g.real_stroke, 2998);
  EXPECT_EQ(g.max_load, 4000);   // 30 + 10 kN
  EXPECT_EQ(g.min_load, 2000);
  EXPECT_FLOAT_EQ(g.rod_power, 4.86f);
  EXPECT_EQ(g.theo_stroke, 3000);
  EXPECT_EQ(g.theo_max_load, 5250);  // leading number of "52.5kN"
  EXPECT_EQ(g.theo_min_load, 0);     // empty box
  EXPECT_EQ(g.stroke_loss, 350);
  EXPECT_EQ(g.joint_flag, 1);
  EXPECT_EQ(g.reserved_text[0], 0);
  // The position was shifted to a minimum of 0: 1.5(1 - cos) has a(0) = 2 * 1.5, a(1) = -1.5.
  EXPECT_NEAR(g.ss_cos[0], 3.0, 1e-3);
  EXPECT_NEAR(g.ss_cos[1], -1.5, 1e-3);
  EXPECT_NEAR(g.ss_sin[1], 0.0, 1e-3);
  EXPECT_NEAR(st->sss[0], 0.0f, 1e-6);
  // Load 30 + 10 sin: a(0) = 60, b(1) = 10.
  EXPECT_NEAR(g.gg_cos[0], 60.0, 1e-2);
  EXPECT_NEAR(g.gg_sin[1], 10.0, 1e-2);

  const DntRecord& d = st->dnt_rec;
  EXPECT_EQ(d.well_name, "示范井1");
  EXPECT_EQ(d.point_num, 500);
  EXPECT_EQ(d.avg_current, 1440);
  EXPECT_EQ(d.avg_voltage, 18965);  // 379.3 x 50
  EXPECT_EQ(d.input_power, 676);
  EXPECT_EQ(d.reactive_power, 650);
  EXPECT_EQ(d.apparent_power, 940);
  EXPECT_EQ(d.power_factor, 7200);
  EXPECT_EQ(d.max_current_up, 1230);
  EXPECT_EQ(d.max_current_down, 1080);
  EXPECT_EQ(d.rms_current, 1490);
  EXPECT_EQ(d.avg_power_up, 720);
  EXPECT_EQ(d.avg_power_down, 630);
  EXPECT_EQ(d.rms_power, 780);
  EXPECT_EQ(d.wiring_mode, 4);
  EXPECT_EQ(d.reserved_54, 0);
  EXPECT_EQ(d.reserved_text[0], 0);
  // Current i over 500 samples: mean 249.5, a(0) twice that (0.1 %: the codec's
  // single-precision recurrence on a ramp).
  EXPECT_NEAR(d.ii_cos[0], 499.0, 0.5);

  // The bytes at their offsets.
  const Bytes sb = g.encode();
  ByteReader sr(sb);
  EXPECT_EQ(sr.i16(28), 501);
  EXPECT_EQ(sr.i16(30), 2998);
  EXPECT_EQ(sr.i16(52), 1);
  EXPECT_EQ(sr.u8(0), 0xCA);  // GBK of 示 is CA BE
  EXPECT_EQ(sr.u8(1), 0xBE);
  EXPECT_EQ(sr.u8(15), ' ');
  EXPECT_FLOAT_EQ(sr.f32(192), g.ss_cos[0]);
  const Bytes db = d.encode();
  ByteReader dr(db);
  EXPECT_EQ(dr.i16(28), 500);
  EXPECT_EQ(dr.i16(32), 18965);
  EXPECT_EQ(dr.i16(58), 4);
  EXPECT_FLOAT_EQ(dr.f32(384), d.ii_cos[0]);
}

// A field that cannot be filled holds 0 (not the previous test's value) and is named.
TEST(RecordBuild, FieldsThatCannotBeStoredAreZeroAndReported) {
  struct Case {
    const char* name;
    int box;  // Text3 index, or -1 for Text1(3)
    const char* text;
    const char* label;
  } cases[] = {
      {"stroke of 40 m", 12, "40", "实测冲程"},
      {"mean voltage above 655.34 V", 5, "700.5", "平均电压"},
      {"rod power not a number", 2, "4.8x", "光杆功率"},
      {"rod power empty", 2, "", "光杆功率"},
      {"current pair without slash", 4, "12.3", "工作电流(上半冲程)"},
      {"power pair with a letter", 3, "7.2/6,3", "工作功率(下半冲程)"},
      {"theoretical stroke 33 m", -1, "33", "标称冲程"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto st = ready_for_records();
    // A previous build left non-zero values everywhere.
    Pow_Sgt_Dat_Prep(*st);
    (c.box >= 0 ? st->Text3[c.box] : st->Text1[3]) = c.text;
    const RecordBuildReport rep = Pow_Sgt_Dat_Prep(*st);
    ASSERT_EQ(rep.unstored.size(), 1u);
    EXPECT_EQ(rep.unstored[0], c.label);
    EXPECT_NE(unstored_fields_message(rep).find(c.label), std::string::npos);
  }
  // The fields themselves.
  auto st = ready_for_records();
  Pow_Sgt_Dat_Prep(*st);
  st->Text3[12] = "40";
  st->Text3[5] = "700.5";
  st->Text3[4] = "12.3";
  Pow_Sgt_Dat_Prep(*st);
  EXPECT_EQ(st->sgt_rec.real_stroke, 0);
  EXPECT_EQ(st->dnt_rec.avg_voltage, 0);
  EXPECT_EQ(st->dnt_rec.max_current_up, 0);
  EXPECT_EQ(st->dnt_rec.max_current_down, 1230);  // the whole text stands for the second half
}

TEST(RecordBuild, NegativeLoadsGiveMaxLoadZero) {
  auto st = ready_for_records();
  for (int i = 0; i < 600; ++i) st->ggs[i] = -5.0f - static_cast<float>(i % 10);
  Pow_Sgt_Dat_Prep(*st);
  EXPECT_EQ(st->sgt_rec.max_load, 0);
  EXPECT_EQ(st->sgt_rec.min_load, -1400);
}

}  // namespace
}  // namespace wb
