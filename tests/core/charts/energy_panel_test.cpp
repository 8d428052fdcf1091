// The energy panel and the DnCs values it fills.
#include <gtest/gtest.h>

#include "core/charts/electric_chart.h"
#include "core/charts/energy_panel.h"
#include "core/workbench/test_state.h"
#include "chart_test_util.h"

namespace wb {
namespace {

using namespace charts_test;

TestState panel_state() {
  TestState st;
  st.Text3[5] = "380.5";  // V
  st.Text3[6] = "20.1";   // A
  st.Text3[1] = "5";      // kW
  st.Text3[8] = "3.2";    // kvar
  st.Text3[7] = "8.9";    // kVA
  st.Text3[9] = ".85";
  st.Text3[10] = "22.3";  // A rms
  st.Text3[11] = "6.1";   // kW rms
  st.imax_up = 20.0f;
  st.imax_down = 25.0f;
  st.pavg_up = 10.0f;
  st.pavg_down = -5.0f;
  st.p_sum = 9000;  // kW·samples: 9000 × 0.02 s = 180 kJ = 50 W·h
  st.dnt_rec.wiring_mode = 1;
  st.Text1[2] = " W17  ";
  st.org_head.test_date = "202403151030";
  return st;
}

TEST(EnergyPanel, DnCsFromBoxesAndHalfStrokeValues) {
  TestState st = panel_state();
  DnCsArray d{};
  d[0] = 42;  // not the panel's
  fill_DnCs(st, d);
  const float expected[16] = {42, 380.5f, 20.1f, 5, 3.2f, 8.9f, .85f, 50, 20, 25, 22.3f, 0.8f, 10, -5, 6.1f, -0.5f};
  for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(d[k], expected[k]) << k;
}

TEST(EnergyPanel, BalancesAreTheSmallerOverTheLarger) {
  struct Case {
    float up, down, balance;
  };
  // Currents: 20 and 25 either way give 0.8; one zero half gives 0.
  const Case currents[] = {{20, 25, 0.8f}, {25, 20, 0.8f}, {7, 7, 1}, {0, 5, 0}, {5, 0, 0}};
  for (const Case& c : currents) {
    SCOPED_TRACE(testing::Message() << c.up << " " << c.down);
    TestState st;
    st.imax_up = c.up;
    st.imax_down = c.down;
    DnCsArray d{};
    fill_DnCs(st, d);
    EXPECT_FLOAT_EQ(d[kDnCsCurrentBalance], c.balance);
  }
  // Powers: the smaller magnitude over the larger, signs kept.
  const Case powers[] = {{10, -5, -0.5f}, {5, -10, -0.5f}, {-4, -8, 0.5f}, {3, 9, 0.33f}};
  for (const Case& c : powers) {
    SCOPED_TRACE(testing::Message() << c.up << " " << c.down);
    TestState st;
    st.pavg_up = c.up;
    st.pavg_down = c.down;
    DnCsArray d{};
    fill_DnCs(st, d);
    EXPECT_FLOAT_EQ(d[kDnCsPowerBalance], c.balance);
  }
}

TEST(EnergyPanel, ZeroDivisorKeepsTheEarlierBalance) {
  // The balance divides by the half chosen as the larger; when that is 0 the element keeps
  // the earlier value instead of becoming infinite.
  struct Case {
    float up, down;
  };
  const Case cases[] = {{0, 0}, {0, -3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.up << " " << c.down);
    TestState st;
    st.imax_up = c.up;
    st.imax_down = c.down;
    DnCsArray d{};
    d[kDnCsCurrentBalance] = 0.9f;
    fill_DnCs(st, d);
    EXPECT_FLOAT_EQ(d[kDnCsCurrentBalance], 0.9f);
  }
}

TEST(EnergyPanel, FailingSourcesKeepTheEarlierValues) {
  TestState st;  // all half-stroke values 0, all boxes empty
  st.Text3[9] = "";
  st.Text3[5] = "abc";
  DnCsArray d{};
  d[kDnCsPowerFactor] = 0.77f;
  d[kDnCsAvgVoltage] = 231;
  d[kDnCsCurrentBalance] = 0.9f;
  d[kDnCsPowerBalance] = 0.6f;
  fill_DnCs(st, d);
  EXPECT_FLOAT_EQ(d[kDnCsPowerFactor], 0.77f);
  EXPECT_FLOAT_EQ(d[kDnCsAvgVoltage], 231);
  EXPECT_FLOAT_EQ(d[kDnCsCurrentBalance], 0.9f);
  EXPECT_FLOAT_EQ(d[kDnCsPowerBalance], 0.6f);
}

TEST(EnergyPanel, EnergyOfASmallStrokeThroughTheElectricChart) {
  // 180 samples (3.6 s) at 5 kW: the chart sums 900 kW·samples, Text3(1) = 5 kW; the panel
  // turns that into 5 kW × 3.6 s = 18 kJ = 5 W·h per stroke.
  TestState st = panel_state();
  st.read_sgt_dnt_org = kKindJoint;
  st.gt_num = 180;
  st.Text3[1] = "";
  for (int i = 0; i < 180; ++i) {
    st.pps[i] = (i % 2 == 0) ? 4.0f : 6.0f;
    st.iis[i] = 20;
    st.uus[i] = 380;
  }
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 180);
  EXPECT_EQ(st.Text3[1], "5");
  disp_data(st, pic, st.DnCs);
  EXPECT_FLOAT_EQ(st.DnCs[kDnCsInputPower], 5);
  EXPECT_FLOAT_EQ(st.DnCs[kDnCsStrokeEnergy], 5);
}

TEST(EnergyPanel, StoredRecordEnergyIsNotZero) {
  // A stored record of 300 samples at 8.5 kW: the reader's sum survives the chart.
  TestState st = panel_state();
  st.read_sgt_dnt_org = kKindElectric;
  st.gt_num = 0;
  st.p_sum = 8.5f * 300;
  RecordingCanvas pic(106.1, 63.8);
  iup_line_form(st, pic, 144);
  disp_data(st, pic, st.DnCs);
  // 8.5 kW × 6 s = 51 kJ = 14.17 W·h
  EXPECT_FLOAT_EQ(st.DnCs[kDnCsStrokeEnergy], 14.17f);
}

TEST(EnergyPanel, PanelTextsAndPlacement) {
  TestState st = panel_state();
  st.command1_visible = true;
  RecordingCanvas pic(106.1, 63.8);
  pic.font.size = 12;
  pic.set_scale(0, 0, 1, 1);
  disp_data(st, pic, st.DnCs);
  EXPECT_FALSE(st.command1_visible);
  EXPECT_EQ(pic.items.front().op, Op::Clear);
  const Item* title = pic.find_text("W17井电能参数        测试日期:202403151030");
  ASSERT_NE(title, nullptr);
  EXPECT_DOUBLE_EQ(title->x1, 16);
  EXPECT_DOUBLE_EQ(title->y1, 3);
  EXPECT_EQ(title->font.name, "宋体");
  EXPECT_DOUBLE_EQ(title->font.size, 9);
  const struct {
    const char* text;
    double x, y;
  } rows[] = {
      {"电能测试方式:三相二通道", 12, 12},
      {"平均电压(V)    :  380.5", 12, 18},
      {"平均功率因数   :  .85", 12, 48},
      {"每冲程耗电量(W.h): 50", 12, 54},
      {"最大上行电流(A):  20", 60, 12},
      {"电流平衡度     :  .8", 60, 30},
      {"平均下行功率(kW):-5", 60, 42},
      {"功率平衡度     : -.5", 60, 54},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    const Item* it = pic.find_text(r.text);
    ASSERT_NE(it, nullptr);
    EXPECT_DOUBLE_EQ(it->x1, r.x);
    EXPECT_DOUBLE_EQ(it->y1, r.y);
  }
  EXPECT_EQ(pic.count(Op::Text), 17u);
}

TEST(EnergyPanel, UnknownWiringModePrintsNothingAfterTheLabel) {
  EXPECT_EQ(energy_panel_entries(0, DnCsArray{})[0], "电能测试方式:");
  EXPECT_EQ(energy_panel_entries(3, DnCsArray{})[0], "电能测试方式:单相测试  ");
}

}  // namespace
}  // namespace wb
