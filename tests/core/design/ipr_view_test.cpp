// The inflow-performance view without a window: the composite model, the chart, the design
// point, the chains of box updates, the refused inputs, the drag and the tab entry.
#include <gtest/gtest.h>

#include <cmath>

#include "../test_canvas_util.h"
#include "core/common/number_text.h"
#include "core/design/workbench/ipr_view.h"
#include "design_fixture.h"

namespace wb::design {
namespace {

using namespace wb::canvas_test;
using test::ScriptedMessages;

// Pr 10, Pb 5, J 1; water cut 0 and oil densities 1 (ρm = 1); Pc 0.5; Hmid 1500 m.
struct IprRig {
  IprRig() {
    set("10", "5", "1");
    st.Text6[7] = "0";
    st.Text6[5] = "1";
    st.Text6[6] = "1";
    st.Text6[11] = "0.5";
    st.Text6[12] = "1500";
  }
  void set(const char* Pr, const char* Pb, const char* J) {
    st.Text6[0] = Pr;
    st.Text6[2] = Pb;
    st.Text6[8] = J;
  }
  IprInputs in() const { return IprInputs::from(st); }
  DesignState st;
  ScriptedMessages msgs;
  RecordingCanvas chart{78.58, 65.88};
  IprView ipr{st, msgs};
};
class IprViewTest : public ::testing::Test, public IprRig {};

TEST_F(IprViewTest, WorkedTableAndAxes) {
  // Qb = 5, Qcap = 5 + 5/1.8 = 7.78; the table runs p = 0 .. 9.9 with 7.78 at p = 0.
  EXPECT_NEAR(ipr_capacity(in()), 5 + 5 / 1.8, 1e-12);
  ipr.chart = &chart;
  ipr.Cmd_Redraw_IPR_Click();
  EXPECT_FLOAT_EQ(ipr.v.ipr_pressure[99], 9.9f);
  EXPECT_FLOAT_EQ(ipr.v.ipr_rate[0], static_cast<float>(5 + 5 / 1.8));
  EXPECT_FLOAT_EQ(ipr.v.ipr_rate[60], 4.0f);  // p = 6 above Pb: J·(Pr − p)
  EXPECT_DOUBLE_EQ(ipr.v.chart_Pmax, 15.0);
  EXPECT_DOUBLE_EQ(ipr.v.chart_Qmax, 10.0);
  // Axes and labels: pressure 3..15 (no 0), rate 0..10.
  const double H = 65.88, W = 78.58;
  EXPECT_NE(find_line(chart, 8, H - 10, 8, 5), nullptr);
  EXPECT_NE(find_text_at(chart, "Pf(mPa)", 9, 5), nullptr);
  EXPECT_NE(find_text_at(chart, "15", 2, H - 10 - (H - 15)), nullptr);
  EXPECT_NE(find_text_at(chart, "q。", W - 8, H - 12), nullptr);
  EXPECT_NE(find_text_at(chart, "10", 8 + (W - 18) - 2, H - 8), nullptr);
  EXPECT_EQ(items_of(chart, Op::Line, QBColor(12)).size(), 99u);
  EXPECT_EQ(chart.count(Op::Point), 1u);
}

TEST(IprModel, AxisMaxima) {
  for (auto [v, m] : {std::pair{0.0, 5.0}, {15.0, 20.0}, {7.78, 10.0}, {10.0, 15.0}, {-3.0, 0.0}}) {
    SCOPED_TRACE(v);
    EXPECT_DOUBLE_EQ(ipr_axis_max(v), m);
  }
}

TEST_F(IprViewTest, ModelEdgeCases) {
  // Pb = 0: the straight line everywhere; Pb > Pr: the Vogel part with a negative first term.
  set("10", "0", "2");
  EXPECT_DOUBLE_EQ(ipr_rate_at(in(), 3), 14.0);
  set("10", "12", "1");
  EXPECT_DOUBLE_EQ(ipr_rate_at(in(), 6), (10 - 12) + 12 / 1.8 * (1 - 0.2 * 0.5 - 0.8 * 0.25));
  // Pr = 0: every point at p = 0 with one rate; Pmax 5.
  set("0", "5", "1");
  ipr.Cmd_Redraw_IPR_Click();
  for (int i = 0; i < kIprPoints; ++i) EXPECT_EQ(ipr.v.ipr_pressure[static_cast<std::size_t>(i)], 0.0f);
  EXPECT_EQ(ipr.v.ipr_rate[99], ipr.v.ipr_rate[0]);
  EXPECT_DOUBLE_EQ(ipr.v.chart_Pmax, 5.0);
}

TEST_F(IprViewTest, PressureForARate) {
  struct Case { double q; double p; };
  const Case cases[] = {{5.0, 5.0}, {0.0, 10.0}, {7.7, 0.5}, {5.0 + 1e-6, 5.0}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.q);
    EXPECT_NEAR(*ipr_pressure_for_rate(in(), k.q), k.p, 1e-5);
  }
  EXPECT_LT(*ipr_pressure_for_rate(in(), 5.001), 5.0);
  set("10", "5", "0");
  EXPECT_FALSE(ipr_pressure_for_rate(in(), 1.0));
}

TEST_F(IprViewTest, ARateAboveCapacityIsCutAndRunsForTheCut) {
  ipr.chart = &chart;
  ipr.set_Text7(1, "8");
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], kRateTooHighText);
  EXPECT_EQ(ipr.v.Text7[1], "7.7");
  EXPECT_EQ(ipr.v.focus_text7, 1);
  // p = 0.5: L = Int(1500 − 1000·(0.5 − 0.5)/9.8 + 0.5) = 1500.
  EXPECT_EQ(ipr.v.Text7[0], "1500");
  EXPECT_EQ(ipr.v.Text8, "1500");
  // pwf = 0.5 snaps to the first table pressure above it, 0.6.
  EXPECT_EQ(ipr.v.Text9, "0.6");
  EXPECT_EQ(ipr.v.Text11, num_text(round_dec(ipr.v.ipr_rate[6], 2)));
  EXPECT_TRUE(ipr.v.lines_visible);
  EXPECT_EQ(ipr.v.Text7[2], "");  // the pressure is not written back
}

TEST_F(IprViewTest, ATypedRateFillsLevelAndDesignPoint) {
  // q = Qb = 5 → p = Pb = 5; L = Int(1500 − 1000·4.5/9.8 + 0.5) = 1041.
  ipr.set_Text7(1, "5");
  EXPECT_TRUE(msgs.texts.empty());
  EXPECT_EQ(ipr.v.Text7[0], "1041");
  EXPECT_EQ(ipr.v.Text8, "1041");
  // pwf = 0.5 + 9.8·459/1000 = 4.9982 → 5; the first table pressure above 5 is 5.1.
  EXPECT_EQ(ipr.v.Text9, "5.1");
  EXPECT_EQ(ipr.v.Text11, "4.9");
  // Schematic: column height (4000 − 1041)·2820/4000.
  EXPECT_NEAR(ipr.v.column_height, 2959 * 0.705, 1e-9);
  EXPECT_NEAR(ipr.v.marker_top, kColumnBottom - 2959 * 0.705 - 85, 1e-9);
}

TEST_F(IprViewTest, HandlersRunOnlyOnAChange) {
  ipr.set_Text7(1, "8");
  ipr.set_Text7(1, "7.7");  // the same text as the box holds: nothing runs
  EXPECT_EQ(msgs.texts.size(), 1u);
  st.Text6[12] = "50";  // a refused mid-depth would now speak on any run
  ipr.set_Text8("1500");
  EXPECT_EQ(msgs.texts.size(), 1u);
  ipr.set_Text8("1400");
  EXPECT_EQ(msgs.texts.size(), 2u);
}

TEST_F(IprViewTest, RefusedInputsChangeNothing) {
  struct Case { const char* box; const char* value; int index; const char* text; const char* message; };
  const Case cases[] = {
      {"J", "0", 1, "3", kBadIndexText},
      {"J", "-1", 1, "3", kBadIndexText},
      {"Hmid", "0", 1, "3", kBadFluidText},
      {"Hmid", "100", 2, "4", kBadFluidText},
      {"rho", "0.7", 2, "4", kBadFluidText},
      {"rho", "0", 1, "3", kBadFluidText},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(std::string(k.box) + "=" + k.value);
    IprRig r;
    const std::string v = k.value;
    if (std::string(k.box) == "J") r.st.Text6[8] = v;
    if (std::string(k.box) == "Hmid") r.st.Text6[12] = v;
    if (std::string(k.box) == "rho") r.st.Text6[5] = r.st.Text6[6] = v;
    r.ipr.set_Text7(k.index, k.text);
    ASSERT_EQ(r.msgs.texts.size(), 1u);
    EXPECT_EQ(r.msgs.texts[0], k.message);
    EXPECT_EQ(r.ipr.v.Text7[0], "");
    EXPECT_EQ(r.ipr.v.Text8, "");
    EXPECT_FALSE(r.ipr.v.lines_visible);
  }
}

TEST_F(IprViewTest, DesignPointFromTheLevel) {
  ipr.Cmd_Redraw_IPR_Click();  // the point of an empty level box: L = 0
  const std::string text9 = ipr.v.Text9;
  const auto line1 = ipr.v.Line1;
  // Hmid 0: nothing, silently.
  st.Text6[12] = "0";
  ipr.set_Text8("100");
  EXPECT_TRUE(msgs.texts.empty());
  EXPECT_EQ(ipr.v.Text9, text9);
  EXPECT_EQ(ipr.v.Line1, line1);
  // L = Hmid − 100 with ρm = 1: pwf = Pc + 0.98 = 1.48 → snaps to 1.5.
  st.Text6[12] = "1500";
  ipr.set_Text8("1400");
  EXPECT_EQ(ipr.v.Text9, "1.5");
  // A level high enough that pwf ≥ 0.99·Pr: the point stays at pwf with rate 0.
  ipr.set_Text8("500");
  EXPECT_EQ(ipr.v.Text9, num_text(round_dec(0.5 + 9.8, 2)));
  EXPECT_EQ(ipr.v.Text11, "0");
  EXPECT_DOUBLE_EQ(ipr.v.Line2[0], 8.0);
}

TEST_F(IprViewTest, LevelsBeyondMidDepthAndDeeperThanTheSchematic) {
  ipr.set_Text7(0, "1600");  // below Hmid: nothing changes
  EXPECT_EQ(ipr.v.Text8, "");
  st.Text6[12] = "5000";
  ipr.set_Text7(0, "4500");  // drawn at 4000 m: an empty column, never a negative one
  EXPECT_EQ(ipr.v.Text8, "4500");
  EXPECT_DOUBLE_EQ(ipr.v.column_height, 0.0);
  EXPECT_DOUBLE_EQ(ipr.v.column_top, kColumnBottom);
  // A pressure that lifts the column to the surface writes "0".
  ipr.set_Text7(2, "60");
  EXPECT_EQ(ipr.v.Text7[0], "0");
  EXPECT_NEAR(ipr.v.column_top, kColumnBottom - 2820.0, 1e-9);
}

TEST_F(IprViewTest, MarkerDrag) {
  // Hs = 1500 − 10000/9.8 = 479.6 m; band 360 + Hs·0.705 < y < 360 + 1600·0.705 = 1488.
  const double y_high = 360 + (1500 - 10000 / 9.8) * 0.705;
  ipr.marker_drag(y_high - 1, true);
  EXPECT_EQ(ipr.v.Text8, "");
  EXPECT_DOUBLE_EQ(ipr.v.column_top, 2760);
  ipr.marker_drag(1000, false);  // press: moves, writes no level
  EXPECT_DOUBLE_EQ(ipr.v.column_top, 1000);
  EXPECT_DOUBLE_EQ(ipr.v.marker_top, 915);
  EXPECT_EQ(ipr.v.Text8, "");
  ipr.marker_drag(1200, true);  // move: L = Int(4000 − 2015·4000/2820)
  EXPECT_EQ(ipr.v.Text8, num_text(std::floor(4000 - 2015 * 4000 / 2820.0)));
  ipr.marker_drag(1488, true);  // on the lower limit: outside
  EXPECT_DOUBLE_EQ(ipr.v.column_top, 1200);
  // Mid-depth 5000 m: the band reaches past the column's bottom; the column stays ≥ 0.
  st.Text6[12] = "5000";
  ipr.marker_drag(3500, true);
  EXPECT_DOUBLE_EQ(ipr.v.column_height, 0.0);
  EXPECT_EQ(ipr.v.Text8, "4000");
}

TEST_F(IprViewTest, TabEntry) {
  st.Text6[20] = "20";
  st.Text6[22] = "5.37";
  st.Label3[5] = "old";
  ipr.SSTab1_Click("设计生产参数");
  EXPECT_EQ(st.Label3[5], "26.9");  // Int(5.37/20·1000 + 0.5)/10
  st.Text6[20] = "0";
  ipr.SSTab1_Click("设计生产参数");
  EXPECT_EQ(st.Label3[5], "26.9");
  ipr.chart = &chart;
  ipr.SSTab1_Click("动态IPR曲线");
  EXPECT_EQ(ipr.v.Label10[7], "油层静压(MPa): 10");
  EXPECT_EQ(ipr.v.Label10[8], "饱和压力(MPa): 5");
  EXPECT_EQ(ipr.v.Label10[9], "采液指数t/MPa: 1");
  EXPECT_EQ(items_of(chart, Op::Line, QBColor(12)).size(), 99u);
}

// A well box beyond reason stops the redraw and the boxes' handling with a message naming it;
// the chart, the table and the design point stay as the last valid input left them.
TEST_F(IprViewTest, ABoxBeyondReasonDrawsNothing) {
  struct Case {
    int box;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {well_box::kStaticPressure, "1e300", "“油层静压”为 1E+300 MPa"},
      {well_box::kProductivity, "99999999", "“采液指数”为 99999999 t/MPa"},
      {well_box::kLayerMidDepth, "abc", "“油层中深”中的“abc”不是数字"},
      {well_box::kOilDensityDown, "-1", "“地下油比重”为 -1 t/m^3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    IprRig r;
    r.ipr.Cmd_Redraw_IPR_Click();
    const IprViewState valid = r.ipr.v;
    r.st.Text6[static_cast<std::size_t>(c.box)] = c.text;
    r.ipr.chart = &r.chart;
    r.ipr.Cmd_Redraw_IPR_Click();
    r.ipr.set_Text7(1, "3");
    r.ipr.set_Text8("800");
    ASSERT_EQ(r.msgs.texts.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(r.msgs.texts[i].rfind(c.message, 0), 0u) << r.msgs.texts[i];
      EXPECT_EQ(r.msgs.titles[i], kBoxRefusedTitle);
    }
    EXPECT_EQ(r.chart.items.size(), 0u);
    EXPECT_EQ(r.ipr.v.ipr_rate, valid.ipr_rate);
    EXPECT_EQ(r.ipr.v.Text7[0], valid.Text7[0]);
    EXPECT_EQ(r.ipr.v.Text9, valid.Text9);
    EXPECT_EQ(r.ipr.v.Text11, valid.Text11);
  }
}

// The system efficiency before the design is not shown from a power beyond reason.
TEST_F(IprViewTest, TabEntryShowsNoEfficiencyFromAPowerBeyondReason) {
  st.Text6[20] = "20";
  st.Text6[22] = "1e300";
  st.Label3[5] = "";
  ipr.SSTab1_Click("设计生产参数");
  EXPECT_EQ(st.Label3[5], "");
}

}  // namespace
}  // namespace wb::design
