// The checks of efficiency records: which field texts may be shown, which records are
// refused, and the one message naming them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/records/gt_ym_checks.h"

namespace wb {
namespace {

GtYmRecord sound_record(const std::string& well = "W1") {
  GtYmRecord r;
  r.well_name = well;
  r.block_unit = "采油一矿";
  r.cyj_model = "CYJ10-3-37HB";
  r.motor_model = "Y250M-8";
  r.vals[kValSinker] = "1200/25";
  r.vals[kValPumpDia] = "56";
  r.vals[kValWaterCut] = "80";
  r.vals[kValTestDate] = "200606071030";
  r.vals[kValMaxCurrentPair] = "12.5/10.8";
  r.vals[kValPowerFactor] = "0.74";
  return r;
}

TEST(GtYmChecks, FieldTexts) {
  struct Case {
    std::size_t k;
    const char* text;
    bool sound;
  };
  const Case cases[] = {
      {kValPumpDia, "", true},             // an empty box stays empty
      {kValPumpDia, "  56 ", true},
      {kValPumpDia, "56mm", true},         // read as the windows read it: 56
      {kValPumpDia, "1E+300", false},      // far beyond any pump
      {kValPumpDia, "1e999", false},       // beyond a double: the windows would read 0
      {kValPumpDia, "-5", false},
      {kValPumpDia, "nan", false},
      {kValPumpDia, "-Inf", false},
      {kValPumpDia, "abc", true},          // a word reads 0 everywhere and is shown as typed
      {kValPumpDia, "20.5\r", true},       // a control character is written as a blank, not a number
      {kValWaterCut, "100", true},
      {kValWaterCut, "100.5", false},
      {kValPowerFactor, "-0.3", true},
      {kValPowerFactor, "1.2", false},
      {kValFluidLevel, "-20", true},       // a flowing well's level stands above the wellhead
      {kValInputPower, "-3.5", true},      // a mean power may be negative (generating)
      {kValInputPower, "3.4E+38", false},
      {kValSinker, "1200/25", true},
      {kValSinker, "/", true},
      {kValSinker, "1200/", true},
      {kValSinker, "1200/900", false},     // no sinker bar is 900 mm thick
      {kValSinker, "1E+30/25", false},
      {kValMaxCurrentPair, "12.5/10.8", true},
      {kValMaxCurrentPair, "12.5/1E+20", false},
      {kValMeanPowerPair, "-1.2/3", true},
      {kValTestDate, "2006-06-07 x", true},  // the key: any text
      {kValTestDate, "inf", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(gt_ym_field_name(c.k)) + " '" + c.text + "'");
    EXPECT_EQ(gt_ym_val_sound(c.k, c.text), c.sound);
  }
}

TEST(GtYmChecks, RecordsRefusedOrWithBlankedFields) {
  EXPECT_TRUE(check_gt_ym_record(sound_record()).sound());

  GtYmRecord shifted = sound_record();
  shifted.crlf = {'4', '5'};  // a shifted or foreign record
  EXPECT_FALSE(check_gt_ym_record(shifted).usable());

  // Bytes this program never writes: a NUL, a lead byte without its trail byte, 0xFF.
  for (const auto& [at, byte] : {std::pair<std::size_t, std::uint8_t>{40, 0}, {90, 0xB1}, {603, 0xFF}}) {
    Bytes raw = sound_record().encode();
    raw[at] = byte;
    GtYmRecord r;
    ASSERT_TRUE(r.decode(raw));
    EXPECT_FALSE(check_gt_ym_record(r, raw).usable()) << at;
  }
  Bytes chinese = sound_record("井1").encode();
  EXPECT_TRUE(check_gt_ym_record(sound_record("井1"), chinese).sound());

  GtYmRecord damaged = sound_record();
  damaged.vals[kValPumpDia] = "1E+300";
  damaged.vals[kValSinker] = "nan/25";
  const GtYmCheck c = check_gt_ym_record(damaged);
  ASSERT_TRUE(c.usable());
  EXPECT_EQ(c.damaged, (std::vector<std::size_t>{kValSinker, kValPumpDia}));
  blank_damaged_fields(damaged, c);
  EXPECT_EQ(damaged.vals[kValPumpDia], "");
  EXPECT_EQ(damaged.vals[kValSinker], "");
  EXPECT_EQ(damaged.vals[kValWaterCut], "80");  // sound fields are kept
  EXPECT_TRUE(check_gt_ym_record(damaged).sound());
}

TEST(GtYmChecks, OneMessageNamesRecordsAndFields) {
  std::vector<GtYmRecord> recs = {sound_record("W1"), sound_record("W2"), sound_record("W3")};
  recs[1].vals[kValWaterCut] = "1E+300";
  recs[1].vals[kValPowerFactor] = "inf";
  recs[2].crlf = {0, 0};
  const std::vector<GtYmFinding> f = check_gt_ym_records(recs);
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].record, 2u);
  EXPECT_EQ(f[1].record, 3u);
  const std::string text = gt_ym_findings_text(f, "/x/gt_ym.dat");
  for (const char* want : {"/x/gt_ym.dat", "第 2 条记录（W2）", "含水率、功率因数", "第 3 条记录", "不予显示"})
    EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
  EXPECT_EQ(text.find("1E+300"), std::string::npos);  // the damaged text itself is not repeated
  EXPECT_EQ(text.find("inf"), std::string::npos);
  EXPECT_EQ(gt_ym_findings_text({}, "/x"), "");

  // A foreign file: many refused records are listed up to a limit and called what they are.
  std::vector<GtYmRecord> foreign(30, sound_record());
  for (auto& r : foreign) r.crlf = {0x41, 0x42};
  const std::string many = gt_ym_findings_text(check_gt_ym_records(foreign), "f.dat");
  EXPECT_NE(many.find("另有 18 条记录"), std::string::npos) << many;
  EXPECT_NE(many.find("可能不是系统效率数据文件"), std::string::npos);
}

}  // namespace
}  // namespace wb
