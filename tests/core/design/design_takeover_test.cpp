// The takeover of the diagnosed well: the pump efficiencies, the values into the working
// record and the boxes, the int16 fields, bad diagnosis texts and the refusals.
#include <gtest/gtest.h>

#include <map>

#include "core/design/workbench/design_takeover.h"
#include "design_records_fixture.h"

namespace wb::design::test {
namespace {

// A diagnosis window whose boxes are a map; cygsj can answer 3 or switch the shown test.
struct FakeDiagnosis {
  std::map<int, std::string> text1;
  std::string max_load = "60", min_load = "30";
  bool known = true;
  std::string date_after;  // the date cygsj's choice shows, when set
  int cygsj_calls = 0;
  std::string asked;

  DiagnosisView view() {
    return {[this](std::string& w, std::int16_t& dda) {
              ++cygsj_calls;
              asked = w;
              if (!known) dda = 3;
              else if (!date_after.empty()) text1[4] = date_after;
            },
            [this](int i) { return text1.count(i) ? text1.at(i) : std::string(); },
            [this] { return max_load; }, [this] { return min_load; }};
  }
};

FakeDiagnosis worked_well() {
  FakeDiagnosis d;
  d.text1 = {{3, "A1"}, {4, "20240301"}, {6, "20"}, {5, "38"}, {15, "6"}, {47, "2.5"}, {0, "0.7"},
             {7, "50"}, {8, "0.86"},     {9, "0.84"},  {14, "3"}, {22, "1000"}, {51, "42.5"}, {23, "62"},
             {52, "20.25"}, {53, "12"}, {54, "8"}, {55, "24"}};
  return d;
}

TEST(DesignTakeover, PumpEfficienciesFromTheEffectiveStroke) {
  struct Case {
    std::string rate, bore, spm, eff_stroke, diag_eff;
    const char* caption;
    const char* design;
    float pack;
  };
  const Case cases[] = {
      {"20", "38", "6", "2.5", "0.7", "0.816", "0.816", 816.816f},
      {"20", "38", "6", "1.5", "0.7", "1.361", "0.9", 1361.9f},  // packed from "1.361", not the float
      {"20", "38", "6", "0", "0.62", "0.62", "0.62", 620.62f},    // falls back to the diagnosis value
      {"20", "0", "6", "2.5", "0.4", "0.4", "0.5", 400.5f},
      {"20", "38", "", "2.5", "0.9", "0.9", "0.9", 900.9f},       // exactly 0.9 keeps 0.9
      {"20", "38", "abc", "2.5", "", "0", "0.5", 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.eff_stroke + "/" + c.diag_eff);
    RecordsFixture fx;
    FakeDiagnosis d = worked_well();
    d.text1[6] = c.rate;
    d.text1[5] = c.bore;
    d.text1[15] = c.spm;
    d.text1[47] = c.eff_stroke;
    d.text1[0] = c.diag_eff;
    EXPECT_EQ(LoadFromDiagnosis(fx.st, d.view(), fx.controls), DesignOutcome::done);
    EXPECT_EQ(fx.st.Label3[3], c.caption);
    EXPECT_EQ(fx.st.Text2, c.design);
    EXPECT_EQ(fx.st.cur_design.pump_eff_pack, c.pack);
    std::string caption, design;  // and the store's unpacking gives the two back
    unpack_pump_eff(fx.st.cur_design.pump_eff_pack, caption, design);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(design, c.design);
  }
}

TEST(DesignTakeover, ValuesGoIntoTheRecordAndTheBoxes) {
  RecordsFixture fx;
  FakeDiagnosis d = worked_well();
  d.text1[1] = "12abc";  // the number its text begins with
  d.text1[2] = "abc";
  d.text1[51] = "42.5";
  fx.st.Text3[11] = "900";
  fx.st.cur_design.design_pre[13] = 900.0f;
  ASSERT_EQ(LoadFromDiagnosis(fx.st, d.view(), fx.controls), DesignOutcome::done);
  const RodDesignRecord& r = fx.st.cur_design;
  EXPECT_EQ(fx.st.JName_Comb, "A1");
  EXPECT_EQ(fx.st.Date_Comb, "20240301");
  EXPECT_EQ(r.design_pre[0], 20.0f);
  EXPECT_EQ(r.design_pre[3], 38.0f);
  EXPECT_EQ(r.design_pre[8], 12.0f);
  EXPECT_EQ(r.design_pre[6], 0.0f);
  EXPECT_EQ(r.design_pre[13], 900.0f);  // kept, while its box is emptied
  EXPECT_EQ(fx.st.Text3[11], "");
  EXPECT_EQ(fx.st.Text3[24], "12");
  EXPECT_EQ(fx.st.Text3[6], "0");
  EXPECT_EQ(fx.st.Text3[2], "1000");
  EXPECT_EQ(r.well_data[0], 50.0f);
  EXPECT_EQ(r.well_data[12], 60.0f);
  EXPECT_EQ(r.well_data[13], 30.0f);
  EXPECT_EQ(fx.st.Text6[7], "50");
  EXPECT_EQ(fx.st.Text6[16], "60");
  EXPECT_EQ(fx.st.Text6[17], "30");
  EXPECT_EQ(r.wellhead_temp, 42);  // halves to even
  EXPECT_EQ(fx.st.Text6[9], "42");
  EXPECT_EQ(r.tubing_id, 62);
  EXPECT_EQ(fx.st.Text6[20], "20.25");  // powers as the double's text, not into the record
  EXPECT_EQ(fx.st.Text6[25], "24");
  EXPECT_EQ(r.power_oil[0], 0.0f);
  EXPECT_EQ(fx.controls.changes.back(), 17);
  EXPECT_EQ(d.asked, "A1");

  d.text1[51] = "43.5";
  RecordsFixture again;
  ASSERT_EQ(LoadFromDiagnosis(again.st, d.view(), again.controls), DesignOutcome::done);
  EXPECT_EQ(again.st.Text6[9], "44");
}

TEST(DesignTakeover, DateIsThatOfTheTestCygsjChose) {
  RecordsFixture fx;
  FakeDiagnosis d = worked_well();
  d.text1[4] = "20030101";
  d.date_after = "20040101";
  ASSERT_EQ(LoadFromDiagnosis(fx.st, d.view(), fx.controls), DesignOutcome::done);
  EXPECT_EQ(fx.st.Date_Comb, "20040101");
}

TEST(DesignTakeover, NoWellOrNoRecordTakesNothing) {
  for (bool blank : {true, false}) {
    SCOPED_TRACE(blank);
    RecordsFixture fx;
    FakeDiagnosis d = worked_well();
    if (blank) d.text1[3] = "  ";
    else d.known = false;
    fx.st.Text3[0] = "keep";
    EXPECT_EQ(LoadFromDiagnosis(fx.st, d.view(), fx.controls), DesignOutcome::refused);
    EXPECT_EQ(fx.controls.beeps, blank ? 1 : 0);
    EXPECT_EQ(d.cygsj_calls, blank ? 0 : 1);
    EXPECT_EQ(fx.st.JName_Comb, blank ? "  " : "A1");
    EXPECT_EQ(fx.st.Date_Comb, "20240301");
    EXPECT_EQ(fx.st.Text3[0], "keep");
    EXPECT_EQ(fx.st.cur_design.encode(), RodDesignRecord{}.encode());
    EXPECT_TRUE(fx.controls.changes.empty());
  }
}

TEST(DesignTakeover, HugeDiagnosisValuesStayWithinTheirFields) {
  RecordsFixture fx;
  FakeDiagnosis d = worked_well();
  d.text1[51] = "1e9";
  d.text1[23] = "-1e9";
  d.text1[22] = "1e300";
  ASSERT_EQ(LoadFromDiagnosis(fx.st, d.view(), fx.controls), DesignOutcome::done);
  EXPECT_EQ(fx.st.cur_design.wellhead_temp, 32767);
  EXPECT_EQ(fx.st.cur_design.tubing_id, -32768);
  EXPECT_TRUE(std::isfinite(fx.st.cur_design.design_pre[2]));
}

}  // namespace
}  // namespace wb::design::test
