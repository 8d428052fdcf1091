#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "core/balance/balance_analysis.h"
#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/pi.h"

namespace wb {
namespace {


// A held joint test of n points: power p(k) in the BDC frame, voltage 380 V, reactive power
// half the active, current constant 20 A, a cosine card of 2.5 m, wiring mode 2.
BalanceState stroke(int n, const std::function<double(int)>& p, bool card = true) {
  std::vector<float> u(n), i(n), pp(n), q(n), s(n), g(n);
  for (int k = 0; k < n; ++k) {
    pp[k] = static_cast<float>(p(k));
    u[k] = 380.0f;
    q[k] = 0.5f * pp[k];
    i[k] = 20.0f;
    s[k] = card ? static_cast<float>(1.25 * (1 - std::cos(2 * kPi14 * k / n))) : 0.0f;
    g[k] = 30.0f;
  }
  BalanceState a;
  take_stroke(a.held, u.data(), i.data(), pp.data(), q.data(), s.data(), g.data(), n, 2, 3);
  a.held.Cur_Well = "W1";
  a.held.Cur_Test = "200601011200";
  a.held.Rms_I = 20;
  a.held.Rms_P = 12;
  fit_electric_regressions(a);
  return a;
}

// Crank: 2 blocks of 10 kN at 1 m (0..2.1 m), angle 6°; beam: 4 m front arm, 3.2 m
// balance arm, 3 of 10 blocks of 5 kN, stroke 2.5 of 3 m.
ParameterBoxes boxes() {
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "10";
  t[2] = "1";
  t[6] = "3";
  t[8] = "0";
  t[9] = "5";
  t[10] = "3";
  t[27] = "2.5";
  return t;
}

AnalysisOptions mode(BalanceMode m) {
  AnalysisOptions o;
  o.mode = m;
  return o;
}

std::string unpadded(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// Fundamental sine of a curve over n points.
float fundamental_sine(const std::vector<float>& x, int n) {
  std::array<float, 2> c{}, s{};
  Fourier_Coef(x.data(), static_cast<std::int16_t>(n), 2, c.data(), s.data());
  return s[1];
}

// 600 points at 6°: the 12-o'clock frame starts 10 points before the BDC, so a power of
// 10 + 3·sin(2π(k+10)/600) is 10 + 3·sin in the 12-o'clock frame, and the crank shift is
// 600·3/2/10/100/π m.
TEST(BalanceState, CrankShiftFromTheFundamental) {
  BalanceState a = stroke(600, [](int k) { return 10 + 3 * std::sin(2 * kPi14 * (k + 10) / 600); });
  ParameterBoxes t = boxes();
  const AnalysisStepResult r = run_ph_analysis(a, t, 0, mode(BalanceMode::Crank));
  ASSERT_TRUE(r.ran);
  EXPECT_EQ(a.shift12, 10);
  // The codec works in single precision over 600 points of a 10 kW curve: its coefficients
  // carry errors of a few 1e-4 kW.
  EXPECT_NEAR(a.P12_Sin[1], 3.0, 1e-3);
  EXPECT_NEAR(a.Crank_dR, 600 * 3 / 2.0 / 10 / 100 / kPi14, 1e-4);
  // The predicted power has no fundamental left.
  EXPECT_NEAR(fundamental_sine(a.pps_after, 600), 0.0, 1e-3);
}

// The whole advice of a fixed crank case, sentence by sentence.
TEST(BalanceState, AdviceTextOfAFixedCase) {
  BalanceState a = stroke(600, [](int k) { return 10 + 3 * std::sin(2 * kPi14 * (k + 10) / 600); });
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  const std::string D = "      ";
  const std::string expect =
      "\r\n" + D + "W1井平衡调整建议\r\n"
      "\r\n  一、现状:\r\n" +
      D + "安装了2 个平均重量为10kN 的曲柄平衡块，平均重心在1m 处；\r\n" +
      D + "日耗电240kW.h, 冲程周期为12秒, 冲次为5次/分；\r\n" +
      D + "上电流20A,下电流20A,电流平衡度1,均方根电流20A;\r\n" +
      D + "功率从7kW到13kW，变化范围为6kW,均方根功率12kW;\r\n"
      "\r\n  二、建议:\r\n"
      "\r\n" + D + "曲柄平衡块向外移0.29米,移到1.29米处!\r\n"
      "\r\n  三、预测:\r\n" +
      // 10 kW at 380 V with Q = 5 kvar, one-channel wiring: 11180/380/3 = 9.8 A.
      D + "上电流9.8A,下电流9.8A,电流平衡度1,均方根电流=9.8A；\r\n" +
      D + "功率从10kW,到10kW,变化范围为0kW,均方根功率10kW.\r\n" +
      D + "预计调平衡可节省电力0.8kW, 日节电量为19.2kW.h左右.";
  EXPECT_EQ(a.advice, expect);
  EXPECT_EQ(unpadded(a.balance_advice), "\r\n" + D + "曲柄平衡块向外移0.29米,移到1.29米处!");
}

// The state line's balance figure when the down-stroke peak is exactly 0: a first forecast
// shows 0, a later one keeps the figure of the forecast before it.
TEST(BalanceState, ZeroDownPeakKeepsThePreviousBalanceFigure) {
  const auto state_line = [](const std::string& advice) {
    const auto at = advice.find("上电流");
    return advice.substr(at, advice.find("\r\n", at) - at);
  };
  const auto set_currents = [](BalanceState& a, float up, float dn) {
    const int n = a.held.gt_num;
    for (int k = 0; k < n; ++k) a.held.iis[static_cast<std::size_t>(k)] = k <= n / 2 ? up : dn;
  };
  BalanceState a = stroke(600, [](int k) { return 10 + 3 * std::sin(2 * kPi14 * (k + 10) / 600); });
  ParameterBoxes t = boxes();
  set_currents(a, 30, 0);
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  EXPECT_EQ(state_line(a.advice), "上电流30A,下电流0A,电流平衡度0,均方根电流20A;");
  set_currents(a, 30, 20);
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  EXPECT_EQ(state_line(a.advice), "上电流30A,下电流20A,电流平衡度0.667,均方根电流20A;");
  set_currents(a, 30, 0);
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  EXPECT_EQ(state_line(a.advice), "上电流30A,下电流0A,电流平衡度0.667,均方根电流20A;");
}

TEST(BalanceState, ManualStepsMoveTheLastResult) {
  BalanceState a = stroke(600, [](int k) { return 10 + std::sin(2 * kPi14 * (k + 10) / 600); });
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  const float auto_dR = a.Crank_dR;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(run_ph_analysis(a, t, 1, mode(BalanceMode::Crank)).ran);
  EXPECT_NEAR(a.Crank_dR, auto_dR + 0.15f, 1e-6);
  ASSERT_TRUE(run_ph_analysis(a, t, 2, mode(BalanceMode::Crank)).ran);
  EXPECT_NEAR(a.Crank_dR, auto_dR + 0.10f, 1e-6);
  a.Beam_dN = 2;
  ASSERT_TRUE(run_ph_analysis(a, t, 4, mode(BalanceMode::Beam)).ran);
  EXPECT_EQ(a.Beam_dN, 1);

  BalanceState fresh = stroke(600, [](int) { return 5.0; });
  ASSERT_TRUE(run_ph_analysis(fresh, t, 3, mode(BalanceMode::Beam)).ran);  // before any automatic run
  EXPECT_EQ(fresh.Beam_dN, 1);
  EXPECT_TRUE(fresh.analysed);
}

TEST(BalanceState, FailedCheckComputesNothing) {
  BalanceState a = stroke(600, [](int k) { return 10 + std::sin(2 * kPi14 * k / 600); });
  ParameterBoxes t = boxes();
  t[1] = "";
  const AnalysisStepResult r = run_ph_analysis(a, t, 0, mode(BalanceMode::Crank));
  EXPECT_FALSE(r.ran);
  EXPECT_NE(r.check_message.find("曲柄平衡块单重"), std::string::npos);
  EXPECT_TRUE(a.pps12.empty());
  EXPECT_TRUE(a.advice.empty());
}

// 630 points at 6° is a shift of 10.5 points: one rounding for all indices keeps every
// sample exactly once.
TEST(BalanceState, HalfPointShiftKeepsEverySample) {
  const int n = 630;
  BalanceState a = stroke(n, [](int k) { return 10 + std::sin(2 * kPi14 * k / 630); });
  for (int k = 0; k < n; ++k) a.held.iis[static_cast<std::size_t>(k)] = static_cast<float>(k);
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  EXPECT_EQ(a.shift12, 10);  // 10.5 goes to the even 10
  for (int i = 0; i < n; ++i) ASSERT_EQ(a.iis12[static_cast<std::size_t>(i)], static_cast<float>((i - 10 + n) % n)) << i;
}

TEST(BalanceState, FlatCardGetsACosineStroke) {
  struct Case {
    const char* act;
    float stroke;
  } cases[] = {{"2.5", 2.5f}, {"0.2", 3.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.act);
    BalanceState a = stroke(600, [](int k) { return 10 + std::sin(2 * kPi14 * k / 600); }, false);
    ParameterBoxes t = boxes();
    t[27] = c.act;
    ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
    EXPECT_NEAR(a.held.sss[0], 0.0, 1e-5);
    EXPECT_NEAR(a.held.sss[300], c.stroke, 1e-5);
    EXPECT_NEAR(a.sss12[10], 0.0, 1e-5);  // the BDC lies 10 points into the 12-o'clock set
  }
}

TEST(BalanceState, BeamCandidatesStayWithinTheInstalledRange) {
  BalanceState a = stroke(600, [](int k) { return 10 + 6 * std::cos(2 * kPi14 * k / 600); });
  ParameterBoxes t = boxes();
  t[10] = "3";
  t[11] = "3";
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Beam)).ran);
  EXPECT_GE(a.Beam_dN, -3);
  EXPECT_LE(a.Beam_dN, 0);
}

// Combined balance: the crank takes the fundamental sine left after the beam change, both
// taken in the 12-o'clock frame, so the predicted power has no fundamental sine.
TEST(BalanceState, CombinedBalanceCancelsTheFundamentalSine) {
  BalanceState a =
      stroke(600, [](int k) { return 10 + 2 * std::sin(2 * kPi14 * k / 600) + 6 * std::cos(2 * kPi14 * k / 600); });
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Combined)).ran);
  ASSERT_NE(a.Beam_dN, 0);
  ASSERT_GT(std::fabs(a.Beam_dN * (a.WV_Sin[1] - a.Beam_Sin[1])), 0.01);  // the frames differ here: 10× the tolerance below
  EXPECT_NEAR(fundamental_sine(a.pps_after, 600), 0.0, 1e-3);  // codec precision, as above
}

TEST(BalanceState, ShortStrokes) {
  BalanceState a = stroke(50, [](int k) { return 10 + std::sin(2 * kPi14 * k / 50); });
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Combined)).ran);
  EXPECT_EQ(a.pps_after.size(), 51u);
  EXPECT_FALSE(a.advice.empty());

  BalanceState none = stroke(2, [](int) { return 1.0; });
  EXPECT_FALSE(none.held.holds_stroke());
  EXPECT_FALSE(run_ph_analysis(none, t, 0, mode(BalanceMode::Crank)).ran);
}

TEST(BalanceState, FlatPowerRunsWithoutUniqueFits) {
  BalanceState a = stroke(600, [](int) { return 8.0; });
  EXPECT_EQ(fit_electric_regressions(a), 2);
  EXPECT_FLOAT_EQ(a.A0_U, 380.0f);
  ParameterBoxes t = boxes();
  ASSERT_TRUE(run_ph_analysis(a, t, 0, mode(BalanceMode::Crank)).ran);
  EXPECT_NEAR(a.Crank_dR, 0.0, 1e-4);  // codec noise of a flat 8 kW curve
  EXPECT_NE(a.advice.find("不必调整曲柄平衡块(调整量少于20cm)"), std::string::npos);
}

TEST(BalanceState, IntermediateFilesAreNamedSafely) {
  BalanceState a = stroke(100, [](int k) { return 10 + std::sin(2 * kPi14 * k / 100); });
  a.held.Cur_Well = "../W1";
  ParameterBoxes t = boxes();
  AnalysisOptions o = mode(BalanceMode::Combined);
  o.write_files = true;
  const AnalysisStepResult r = run_ph_analysis(a, t, 0, o);
  ASSERT_EQ(r.files.size(), 3u);
  EXPECT_EQ(r.files[0].name, "W1悬点位移及扭矩因数.txt");
  EXPECT_EQ(r.files[1].name, "W1游梁平衡块的垂直位移及速度.txt");
  EXPECT_EQ(r.files[2].name, "W1平衡前后的功率及扭矩分解.txt");
  for (const IntermediateFile& f : r.files) {
    std::size_t lines = 0;
    for (std::size_t p = f.content.find("\r\n"); p != std::string::npos; p = f.content.find("\r\n", p + 2)) ++lines;
    EXPECT_EQ(lines, 101u) << f.name;
  }
  EXPECT_EQ(r.files[0].content.substr(0, r.files[0].content.find("\r\n")),
            "下死点开始位移\t12点钟开始位移\t下死点开始扭矩因数\t12点钟开始扭矩因数");
  EXPECT_EQ(intermediate_file_name("", "a/b\\c:d.txt"), "abcd.txt");
  EXPECT_EQ(intermediate_file_name("  ", ""), "");
}

// Get_Adj_Advice cases: installed counts and limits with the expected section.
TEST(BalanceAdvice, Rules) {
  const std::string D = "      ";
  struct Case {
    const char* why;
    BalanceMode mode;
    int Beam_dN, beam_blocks, crank_blocks;
    float pmin, pmax, pos, dR, need, save;
    std::string expect;
    bool forecast;
  } cases[] = {
      {"beam +2", BalanceMode::Beam, 2, 5, 0, 0, 0, 0, 0, 0, 1, D + "不必调整游梁平衡块(调整量少于2块)!\r\n", true},
      {"beam -2", BalanceMode::Beam, -2, 5, 0, 0, 0, 0, 0, 0, 1, D + "不必调整游梁平衡块(调整量少于2块)!\r\n", true},
      {"beam +3", BalanceMode::Beam, 3, 5, 0, 0, 0, 0, 0, 0, 1, D + "增加3个游梁平衡块,使其总数为8个!\r\n", true},
      {"beam -3 of 5", BalanceMode::Beam, -3, 5, 0, 0, 0, 0, 0, 0, 1, D + "减少3个游梁平衡块,使其总数为2个!\r\n", true},
      {"beam -3 of 3", BalanceMode::Beam, -3, 3, 0, 0, 0, 0, 0, 0, 1, D + "将所有的游梁平衡块都去掉!\r\n", true},
      {"add crank blocks", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, 0.5f, 1.5f, 1,
       D + "增加2个曲柄平衡块,使其总数为6个,平均曲柄平衡重心位置移到1米处!", true},
      {"remove crank blocks", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, -0.7f, 0.3f, 1,
       D + "去掉 2个曲柄平衡块,其余的移到0.6米处!", true},
      {"too light for two blocks", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, -0.9f, 0.1f, 1,
       D + "所需的曲柄平衡重量很小，即使只用 2个平衡块也会平衡过重，只好去掉所有的曲柄平衡块！", true},
      {"small move", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, 0.15f, 1.15f, 1,
       "\r\n" + D + "不必调整曲柄平衡块(调整量少于20cm)", true},
      {"move out", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 0.8f, 0.25f, 1.05f, 1,
       "\r\n" + D + "曲柄平衡块向外移0.25米,移到1.05米处!", true},
      {"move in, or take off", BalanceMode::Crank, 0, 0, 8, 0.3f, 1.3f, 1, -0.4f, 0.6f, 1,
       "\r\n" + D + "曲柄平衡块向内移0.4米,移到0.6米处!\r\n" + D + "或者是去掉 2个曲柄平衡块,其余的移到0.8米处!\r\n" + D +
           "或者是去掉 4个曲柄平衡块,其余的移到1.2米处!",
       true},
      {"all off", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, -1.05f, -0.05f, 1, "\r\n" + D + "去掉所有的曲柄平衡块!", true},
      {"cannot balance", BalanceMode::Crank, 0, 0, 4, 0.5f, 1.2f, 1, -1.3f, -0.3f, 0,
       D + "所需的曲柄平衡位置在-0.3m处，故无法用曲柄平衡或复合平衡的自动分析方法来解决，\r\n" + D +
           "建议您基础数据界面下改选“游梁平衡”方式，再点击[自动分析]来试试；\r\n" + D +
           "或者在此界面下手工外调曲柄平衡块直到此消息消失，再手工减少游梁平衡块直到节能量最大；\r\n" + D +
           "或者转到电力曲线界面，手工减少游梁平衡块直到电功率曲线达到平衡，再查看平衡建议! \r\n",
       false},
      {"no outermost position: the search ends", BalanceMode::Crank, 0, 0, 4, 0, 0, 1, 0.5f, 1.5f, 1,
       D + "所需的曲柄平衡位置在1.5m处，故无法用曲柄平衡或复合平衡的自动分析方法来解决，\r\n" + D +
           "建议您基础数据界面下改选“游梁平衡”方式，再点击[自动分析]来试试；\r\n" + D +
           "或者在此界面下手工外调曲柄平衡块直到此消息消失，再手工减少游梁平衡块直到节能量最大；\r\n" + D +
           "或者转到电力曲线界面，手工减少游梁平衡块直到电功率曲线达到平衡，再查看平衡建议! \r\n",
       false},
      {"low saving 0.19", BalanceMode::Beam, 0, 5, 0, 0, 0, 0, 0, 0, 0.19f,
       D + "不必调整游梁平衡块(调整量少于2块)!\r\n\r\n提示：本井调平衡日节电量少于5kW.h，如果扭矩不超，则不必调整平衡！",
       true},
      {"saving 0.2 has no note", BalanceMode::Beam, 0, 5, 0, 0, 0, 0, 0, 0, 0.2f,
       D + "不必调整游梁平衡块(调整量少于2块)!\r\n", true},
      {"combined: beam first", BalanceMode::Combined, 3, 5, 4, 0.5f, 1.2f, 0.8f, 0.25f, 1.05f, 1,
       D + "增加3个游梁平衡块,使其总数为8个!\r\n\r\n" + D + "曲柄平衡块向外移0.25米,移到1.05米处!", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BalanceState a;
    a.Beam_dN = static_cast<std::int16_t>(c.Beam_dN);
    a.prm.beam_blocks = static_cast<std::int16_t>(c.beam_blocks);
    a.prm.crank_blocks = static_cast<std::int16_t>(c.crank_blocks);
    a.prm.crank_pos_min = c.pmin;
    a.prm.crank_pos_max = c.pmax;
    a.prm.crank_block_pos = c.pos;
    a.Crank_dR = c.dR;
    a.P_Save = c.save;
    bool forecast = true;
    EXPECT_EQ(Get_Adj_Advice(a, c.need, forecast, c.mode, "", D), c.expect);
    EXPECT_EQ(forecast, c.forecast);
  }
}

TEST(BalanceAdvice, RemovalLeavesAllBlocksOffForTheNextSteps) {
  BalanceState a;
  a.prm.crank_blocks = 4;
  a.prm.crank_pos_min = 0.5f;
  a.prm.crank_pos_max = 1.2f;
  a.prm.crank_block_pos = 1;
  a.Crank_dR = -0.7f;
  a.P_Save = 1;
  bool forecast = true;
  Get_Adj_Advice(a, 0.3f, forecast, BalanceMode::Crank, "", "      ");
  EXPECT_FLOAT_EQ(a.Crank_dR, -1.0f);
}

TEST(BalanceAdvice, SummaryFieldIsCutAt600BytesOnACharacter) {
  BalanceState a;
  a.prm.crank_blocks = 4;
  a.prm.crank_pos_min = 0.5f;
  a.prm.crank_pos_max = 1.2f;
  bool forecast = true;
  const std::string P(73, ' ');  // an odd prefix: a plain cut at 600 bytes would split a character
  const std::string A = Get_Adj_Advice(a, -0.3f, forecast, BalanceMode::Crank, P, "      ");
  ASSERT_GT(gbk_width(A), 600u);
  EXPECT_EQ(gbk_width(a.balance_advice), 600u);
  const std::string kept = unpadded(a.balance_advice);
  EXPECT_EQ(A.compare(0, kept.size(), kept), 0);
  EXPECT_LE(gbk_width(kept), 600u);
  EXPECT_GE(gbk_width(kept), 599u);
}

}  // namespace
}  // namespace wb
