// The diagnosis refresh on a pumped well's card and on bad input built in each test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/common/trim.h"
#include "core/diagnosis/refresh.h"
#include "diagnosis_test_util.h"

namespace wb {
namespace {

using diag_test::FakeMessages;

DiagnosisState pumped_state(const std::string& well = "W1") {
  DiagnosisState st;
  diag_test::fill_well_boxes(st, well);
  st.Bgt_Rec.card = diag_test::pumped_card(well);
  st.Sgt_Path = "/nonexistent/sys/Sgt.dat";
  return st;
}

bool is_number_text(const std::string& t) { return num_parse(t).has_value(); }

TEST(Refresh, PumpedWellGivesStrokesAndEfficiency) {
  DiagnosisState st = pumped_state();
  FakeMessages msg;
  RecordingCanvas pic(200, 150);
  const RefreshOutcome out = Cmd_Ref_Com_Click(st, kRefresh, msg, &pic);
  ASSERT_EQ(out.end, RefreshEnd::drawn);
  ASSERT_EQ(out.pump, PumpCardRun::computed);
  EXPECT_TRUE(msg.texts.empty());
  const double plunger = st.box(diag_box::kPlungerStroke);
  const double effective = st.box(diag_box::kEffectiveStroke);
  EXPECT_GT(plunger, 1.5);  // a 3 m surface stroke over 1200 m of rods
  EXPECT_LT(plunger, 3.5);
  EXPECT_GT(effective, 0.3);
  EXPECT_LE(effective, plunger + 0.01);
  // Efficiency from the text shown in box 47: Q / (1440·pi·(D/2000)²·N·Se).
  const double eta = 20 / (4523.893421169298 * 0.022 * 0.022 * 6 * effective);
  EXPECT_EQ(st.Text1[diag_box::kPumpEfficiency], num_text(round_dec(eta, 3)));
  EXPECT_EQ(st.Text5, num_text(st.Bgt_Rec.card.max_load / 100.0));
  EXPECT_EQ(st.Text6, num_text(st.Bgt_Rec.card.min_load / 100.0));
  EXPECT_EQ(st.refreshed_card.encode(), st.Bgt_Rec.card.encode());
  EXPECT_TRUE(st.CardPlot.pump_valid);
  EXPECT_TRUE(st.CardPlot.surface_valid);
  EXPECT_EQ(st.CardPlot.stroke_max, 4.0f);  // 3 m plus a loss of a few decimetres
  EXPECT_FLOAT_EQ(st.CardPlot.x_stroke, 150.0f * st.Bgt_Rec.card.real_stroke / 1000.0f);
  EXPECT_GT(pic.count(RecordingCanvas::Op::Line), 150u);
  EXPECT_TRUE(st.Rec_Changed);
}

TEST(Refresh, LoadButtonsAdjustTheCard) {
  DiagnosisState st = pumped_state();
  FakeMessages msg;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
  const std::string max_before = st.Text5, min_before = st.Text6;
  const float mean_before = st.Bgt_Rec.card.gg_cos[0];
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadUp, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_NEAR(num_val(st.Text5) - num_val(max_before), 1.0, 1e-9);
  EXPECT_EQ(st.Text6, min_before);
  EXPECT_EQ(st.Bgt_Rec.card.gg_cos[0], mean_before + 2);
  EXPECT_EQ(st.refreshed_card.gg_cos[0], mean_before + 2);
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadDown, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadDown, msg, nullptr).end, RefreshEnd::drawn);
  // The maximum stays where "－" put it; the minimum widens to the lowered curve.
  EXPECT_NEAR(num_val(st.Text5) - num_val(max_before), -1.0, 1e-9);
  EXPECT_LT(num_val(st.Text6), num_val(min_before) - 0.9);

  const SgtRecord before = st.Bgt_Rec.card;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadTimes, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_FLOAT_EQ(st.Bgt_Rec.card.gg_sin[1], before.gg_sin[1] * 1.02f);
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadDivide, msg, nullptr).end, RefreshEnd::drawn);
  for (int k = 0; k < 30; ++k) {
    EXPECT_NEAR(st.Bgt_Rec.card.gg_cos[k], before.gg_cos[k], 2e-7 * std::fabs(before.gg_cos[k]) + 1e-12) << k;
    EXPECT_NEAR(st.Bgt_Rec.card.gg_sin[k], before.gg_sin[k], 2e-7 * std::fabs(before.gg_sin[k]) + 1e-12) << k;
  }
  EXPECT_EQ(st.Bgt_Rec.card.ss_cos, before.ss_cos);  // the displacement is never touched
  EXPECT_EQ(st.Bgt_Rec.card.real_stroke, before.real_stroke);
}

TEST(Refresh, LoadUpThatWouldWrapIsRefused) {
  DiagnosisState st = pumped_state();
  st.Bgt_Rec.card.max_load = 32700;  // 327 kN
  const float mean = st.Bgt_Rec.card.gg_cos[0];
  FakeMessages msg;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadUp, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_EQ(st.Bgt_Rec.card.max_load, 32700);
  EXPECT_EQ(st.Bgt_Rec.card.gg_cos[0], mean);
  EXPECT_EQ(st.Text5, "327");
  st.Bgt_Rec.card.min_load = -32700;
  st.Bgt_Rec.card.max_load = -32700;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kLoadDown, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_EQ(st.Bgt_Rec.card.gg_cos[0], mean);
}

TEST(Refresh, DownholeDensityWindow) {
  struct Case {
    const char* box9;
    const char* box8;
    bool accepted;
    const char* box9_after;
  };
  const Case cases[] = {
      {"0.83", "0.86", true, "0.83"},  {"0.5", "0.86", true, "0.86"}, {"1.2", "0.86", true, "0.86"},
      {"1.19", "0.86", true, "1.19"},  {"0.5", "1.2", false, "1.2"},  {"1.2", "0.5", false, "0.5"},
      {"abc", "0.9", true, "0.9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.box9) + " / " + c.box8);
    DiagnosisState st = pumped_state();
    st.Text1[diag_box::kOilDensityDownhole] = c.box9;
    st.Text1[diag_box::kOilDensitySurface] = c.box8;
    FakeMessages msg;
    const RefreshOutcome out = Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr);
    EXPECT_EQ(st.Text1[diag_box::kOilDensityDownhole], c.box9_after);
    if (c.accepted) {
      EXPECT_EQ(out.end, RefreshEnd::drawn);
      EXPECT_TRUE(msg.texts.empty());
      EXPECT_EQ(st.density_err, 0);
    } else {
      EXPECT_EQ(out.end, RefreshEnd::density_refused);
      ASSERT_EQ(msg.texts.size(), 1u);
      EXPECT_EQ(msg.texts[0], kDensityMessage);
      EXPECT_EQ(st.density_err, 1);
      EXPECT_FALSE(st.CardPlot.surface_valid);
      EXPECT_EQ(st.refreshed_card.encode(), st.Bgt_Rec.card.encode());  // taken before the check
    }
  }
}

// Without a new pump card nothing is derived from the previous one: the efficiency box is
// emptied, the stored strokes stay, no pump card is drawn.
TEST(Refresh, NoPumpCardDerivesNothing) {
  struct Case {
    const char* name;
    const char* text2;
    const char* stroke;
    PumpCardRun want;
    std::size_t messages;
  };
  const Case cases[] = {
      {"load factor 0", "0", "3", PumpCardRun::no_load_factor, 0},
      {"load factor abc", "abc", "3", PumpCardRun::bad_load_factor, 1},
      {"stroke 0", "110", "0", PumpCardRun::missing_inputs, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st = pumped_state();
    FakeMessages msg;
    EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);  // a previous card of this window
    ASSERT_TRUE(st.CardPlot.pump_valid);
    st.Text1[diag_box::kEffectiveStroke] = "1.11";
    st.Text1[diag_box::kPlungerStroke] = "2.22";
    st.Text2 = c.text2;
    st.Text1[diag_box::kStroke] = c.stroke;
    const RefreshOutcome out = Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr);
    EXPECT_EQ(out.end, RefreshEnd::drawn);
    EXPECT_EQ(out.pump, c.want);
    EXPECT_EQ(msg.texts.size(), c.messages);
    EXPECT_EQ(st.Text1[diag_box::kPumpEfficiency], "");
    EXPECT_EQ(st.Text1[diag_box::kEffectiveStroke], "1.11");
    EXPECT_EQ(st.Text1[diag_box::kPlungerStroke], "2.22");
    EXPECT_FALSE(st.CardPlot.pump_valid);
    EXPECT_TRUE(st.CardPlot.surface_valid);
  }
}

TEST(Refresh, ZeroDivisorsLeaveTheEfficiencyEmpty) {
  struct Case {
    const char* name;
    int box;
    const char* text;
  };
  const Case cases[] = {{"bore 0", diag_box::kBore, "0"}, {"bore empty", diag_box::kBore, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosisState st = pumped_state();
    st.Text1[c.box] = c.text;
    FakeMessages msg;
    EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
    EXPECT_EQ(st.Text1[diag_box::kPumpEfficiency], "");
    EXPECT_TRUE(is_number_text(st.Text1[diag_box::kEffectiveStroke]));
  }
}

TEST(Refresh, CardOfZeroCoefficientsShowsNoInfOrNan) {
  DiagnosisState st = pumped_state();
  st.Bgt_Rec.card = SgtRecord{};
  st.Bgt_Rec.card.well_name = "W1";
  FakeMessages msg;
  RecordingCanvas pic(200, 150);
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, &pic).end, RefreshEnd::drawn);
  for (int k = 0; k < kDiagBoxCount; ++k) {
    const std::string& t = st.Text1[k];
    EXPECT_EQ(t.find("inf"), std::string::npos) << k;
    EXPECT_EQ(t.find("nan"), std::string::npos) << k;
  }
  EXPECT_EQ(st.Text5, "0");
  EXPECT_EQ(st.Text6, "0");
}

TEST(Refresh, OtherWellsCardStopsAndClearsTheChart) {
  DiagnosisState st = pumped_state();
  FakeMessages msg;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
  const SgtRecord kept = st.refreshed_card;
  st.Text1[diag_box::kWell] = "W2";  // no library: the card stays W1's
  RecordingCanvas pic(200, 150);
  const RefreshOutcome out = Cmd_Ref_Com_Click(st, kRefresh, msg, &pic);
  EXPECT_EQ(out.end, RefreshEnd::other_well);
  EXPECT_TRUE(msg.texts.empty());
  EXPECT_FALSE(st.CardPlot.surface_valid);
  EXPECT_FALSE(st.CardPlot.pump_valid);
  EXPECT_EQ(st.CardPlot.stroke_max, 0.0f);
  EXPECT_EQ(st.refreshed_card.encode(), kept.encode());
  EXPECT_EQ(pic.count(RecordingCanvas::Op::Line), 0u);
  EXPECT_FALSE(st.Text5.empty());
}

TEST(Refresh, LoadSgtTakesTheWellsFirstWholeCard) {
  diag_test::TempProgram prog;
  const auto lib = prog.prog.sys() / "Sgt.dat";
  SgtRecord other = diag_test::pumped_card("W0");
  SgtRecord first = diag_test::pumped_card("W2");
  first.max_load = 4321;
  SgtRecord second = diag_test::pumped_card("W2");
  second.max_load = 1234;
  SgtRecord partial = diag_test::pumped_card("W3");
  Bytes bytes;
  for (const SgtRecord* r : {&other, &first, &second}) {
    const Bytes b = r->encode();
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  const Bytes p = partial.encode();
  bytes.insert(bytes.end(), p.begin(), p.begin() + 300);
  diag_test::put_bytes(lib, bytes);

  struct Case {
    const char* well;
    bool found;
    std::int16_t max_load;
  };
  for (const Case& c : {Case{" W2 ", true, 4321}, Case{"W3", false, 0}, Case{"w2", false, 0}}) {
    SCOPED_TRACE(c.well);
    DiagnosisState st;
    st.Text1[diag_box::kWell] = c.well;
    st.Bgt_Rec.card.well_name = "OLD";
    EXPECT_EQ(Load_SGT(st, lib), c.found);
    if (c.found) {
      EXPECT_EQ(st.Bgt_Rec.card.max_load, c.max_load);
    } else {
      EXPECT_EQ(st.Bgt_Rec.card.well_name, "OLD");
    }
  }
  DiagnosisState st;
  st.Text1[diag_box::kWell] = "W2";
  EXPECT_FALSE(Load_SGT(st, prog.prog.sys() / "missing.dat"));
  EXPECT_FALSE(std::filesystem::exists(prog.prog.sys() / "missing.dat"));

  // The refresh loads the named well's card from the library and goes on with it.
  DiagnosisState rs = pumped_state("W2");
  rs.Bgt_Rec.card = diag_test::pumped_card("W1");
  rs.Sgt_Path = lib;
  FakeMessages msg;
  EXPECT_EQ(Cmd_Ref_Com_Click(rs, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_EQ(trim_blanks(rs.refreshed_card.well_name), "W2");
}

TEST(Refresh, StrokeAndLoadScales) {
  struct StrokeCase {
    float l, max, scale;
  };
  for (const StrokeCase& c : {StrokeCase{0, 3, 200}, StrokeCase{3, 3, 200}, StrokeCase{3.01f, 4, 150},
                              StrokeCase{5, 5, 120}, StrokeCase{5.5f, 6, 100}, StrokeCase{7, 7, 600.0f / 7},
                              StrokeCase{7.5f, 8, 75}, StrokeCase{12.2f, 13, 600.0f / 13}}) {
    SCOPED_TRACE(c.l);
    const StrokeScale s = stroke_scale_for(c.l);
    EXPECT_EQ(s.stroke_max, c.max);
    EXPECT_FLOAT_EQ(s.stroke_scale, c.scale);
  }
  struct LoadCase {
    float h, divs, step, max;
  };
  for (const LoadCase& c : {LoadCase{10, 10, 3, 30}, LoadCase{30, 10, 3, 30}, LoadCase{30.5f, 8, 5, 40},
                            LoadCase{55, 12, 5, 60}, LoadCase{80, 8, 10, 80}, LoadCase{99, 10, 10, 100},
                            LoadCase{150, 12, 10, 120}}) {
    SCOPED_TRACE(c.h);
    const LoadScale s = load_scale_for(c.h);
    EXPECT_EQ(s.load_divs, c.divs);
    EXPECT_EQ(s.load_step, c.step);
    EXPECT_EQ(s.load_max, c.max);
    EXPECT_EQ(s.load_divs * s.grid_step, 360);
    EXPECT_FLOAT_EQ(s.load_scale, 3600 / c.max);
  }
}

// A stroke loss that takes the axis past 7 m goes on in whole metres.
TEST(Refresh, LongStrokeAxisGoesOnInWholeMetres) {
  DiagnosisState st = pumped_state();
  st.Bgt_Rec.card.real_stroke = 6000;  // 6 m, plus the loss of a deep pump
  st.Text1[diag_box::kPumpDepth] = "2900";
  st.Text1[diag_box::kBore] = "70";
  FakeMessages msg;
  EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
  EXPECT_GE(st.CardPlot.stroke_max, 8.0f);
  EXPECT_FLOAT_EQ(st.CardPlot.stroke_scale, 600.0f / st.CardPlot.stroke_max);
}

// Pump cards built as displacement/load arrays (displacement from the card's lowest point).
TEST(Refresh, EffectiveStrokeOfAwkwardPumpCards) {
  using Stroke = std::array<double, 72>;
  // Up 0..36 to 2 m, down 36..72; the load drops at 1.5 m on the way down.
  Stroke s{}, f{};
  for (int i = 0; i < 72; ++i) {
    s[i] = i <= 36 ? 2.0 * i / 36 : 2.0 * (72 - i) / 36;
    f[i] = i <= 36 ? 40 : (s[i] > 1.5 ? 40 - 30 * (2 - s[i]) / 0.5 : 10);
  }
  const double plain = effective_stroke(s, f, 2.0);
  EXPECT_GT(plain, 1.0);
  EXPECT_LE(plain, 2.0);

  // Equal displacements on the downstroke: the repeated points are left out, no failure.
  Stroke flat = s;
  for (int i = 44; i <= 52; ++i) flat[i] = flat[44];
  const double with_flat = effective_stroke(flat, f, 2.0);
  EXPECT_GE(with_flat, 0.0);
  EXPECT_LE(with_flat, 2.0);

  // Top at 58, bottom at 0: the segment is points 61..63, fewer than 4: its first point.
  Stroke late{};
  for (int i = 0; i < 72; ++i) late[i] = i <= 58 ? 2.0 * i / 58 : 2.0 * (72 - i) / 14;
  EXPECT_DOUBLE_EQ(effective_stroke(late, f, 2.0), late[63]);

  // Top at 71 after a bottom at 0: the cut is empty.
  Stroke rising{};
  for (int i = 0; i < 72; ++i) rising[i] = 2.0 * i / 71;
  EXPECT_EQ(effective_stroke(rising, f, 2.0), 0.0);
}

}  // namespace
}  // namespace wb

namespace wb {
namespace {

// A box the refresh reads that is not a number, or beyond what it can hold, stops the refresh
// with a message naming it: nothing is computed, drawn or written into the result boxes.
TEST(Refresh, BoxBeyondReasonStopsTheRefreshNamingIt) {
  struct Case {
    int box;
    const char* text;
    const char* named;
  } cases[] = {
      {diag_box::kSpm, "99999999", "“冲次”为 99999999 1/min，超出 0 至 30 1/min"},
      {diag_box::kBore, "abc", "“泵径”中的“abc”不是数字"},
      {diag_box::kBore, "44mm", "“泵径”中的“44mm”不是数字"},
      {diag_box::kStroke, "-3", "“光杆冲程”为 -3 m"},
      {diag_box::kPumpDepth, "1e9", "“泵挂深度”"},
      {diag_box::kRods78, "x", "“7/8'杆长”"},
      {diag_box::kCasingPressure, "nan", "“井口套压”"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DiagnosisState st = pumped_state();
    FakeMessages msg;
    ASSERT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);  // a chart was on show
    const auto before = st.Text1;
    st.Text1[c.box] = c.text;
    RecordingCanvas pic(200, 150);
    msg.texts.clear();
    const RefreshOutcome out = Cmd_Ref_Com_Click(st, kRefresh, msg, &pic);
    EXPECT_EQ(out.end, RefreshEnd::box_refused);
    ASSERT_EQ(msg.texts.size(), 1u);
    EXPECT_NE(msg.texts[0].find(c.named), std::string::npos) << msg.texts[0];
    EXPECT_EQ(st.focus_request, c.box);
    EXPECT_FALSE(st.CardPlot.surface_valid);
    EXPECT_FALSE(st.CardPlot.pump_valid);
    EXPECT_EQ(pic.count(RecordingCanvas::Op::Line), 0u);
    for (int k : {diag_box::kPlungerStroke, diag_box::kEffectiveStroke, diag_box::kPumpEfficiency})
      EXPECT_EQ(st.Text1[k], before[k]) << k;
  }
}

// Values at the ends of the ranges and an empty box still refresh as before.
TEST(Refresh, BoxesWithinTheirRangesOrEmptyRefresh) {
  for (auto [box, text] : {std::pair{diag_box::kSpm, "30"}, std::pair{diag_box::kSinkerDia, ""},
                           std::pair{diag_box::kBore, " 44 "}, std::pair{diag_box::kCasingPressure, "-0.1"}}) {
    SCOPED_TRACE(text);
    DiagnosisState st = pumped_state();
    st.Text1[box] = text;
    FakeMessages msg;
    EXPECT_EQ(Cmd_Ref_Com_Click(st, kRefresh, msg, nullptr).end, RefreshEnd::drawn);
    EXPECT_TRUE(msg.texts.empty());
  }
}

}  // namespace
}  // namespace wb
