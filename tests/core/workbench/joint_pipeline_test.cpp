#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/common/number_text.h"
#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/joint_pipeline.h"
#include "core/samples/synthetic_tests.h"
#include "org_fixture.h"

namespace wb {
namespace {

// Chart stand-ins: they log what they saw and write what the real charts write.
struct FakeCharts {
  std::vector<std::string> log;
  JointCharts charts() {
    JointCharts c;
    c.draw_card = [this](TestState& st) {
      log.push_back("card " + std::to_string(st.gt_num) + " bdc " + std::to_string(st.bdc_start));
      st.Text3[12] = "2.998";  // measured stroke
      st.Text3[13] = num_text(round_dec(3000.0 / st.gt_num, 2));
    };
    c.draw_electric = [this](TestState& st) {
      log.push_back("electric " + std::to_string(st.iu_num));
      st.Text3[1] = "from chart";
      st.p_sum = -1.0f;
    };
    c.draw_energy = [this](TestState&) { log.push_back("energy"); };
    return c;
  }
};

class JointPipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::temp_dir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& name, const SyntheticJointParams& p) {
    auto path = dir_ / name;
    EXPECT_TRUE(write_synthetic_joint_test(path, p));
    return path.string();
  }
  std::filesystem::path dir_;
};

// A 6-strokes-a-minute test (500 samples) starting 30 % into a stroke: the bottom dead
// centre lies at sample 350, the card holds 501 samples and the electric curves 500.
TEST_F(JointPipeline, OpensASyntheticTestInOrder) {
  SyntheticJointParams p;
  p.period = 500;
  p.phase = 0.3;
  p.wiring_mode = 1;
  const std::string path = write("示范井1.o01", p);
  auto st = std::make_unique<TestState>();
  st->Text3[0] = "old work";
  st->Text3[14] = "old";
  FakeCharts fake;
  ASSERT_EQ(open_joint_test_file(*st, path, fake.charts()), std::nullopt);

  ASSERT_EQ(fake.log.size(), 2u);
  EXPECT_EQ(fake.log[0], "card 501 bdc 350");
  EXPECT_EQ(fake.log[1], "electric 500");
  EXPECT_EQ(st->read_sgt_dnt_org, kKindJoint);
  EXPECT_EQ(st->CircleDot, "500");
  EXPECT_EQ(st->gt_num, 501);
  EXPECT_EQ(st->iu_num, 500);
  EXPECT_EQ(st->bdc_start, 350);
  EXPECT_TRUE(st->chk_start_enabled);
  EXPECT_TRUE(st->chk_start_visible);
  EXPECT_TRUE(st->frame3_enabled);
  EXPECT_EQ(st->disp_state, 1);
  EXPECT_EQ(st->picture1_tooltip, "单击此处可显示电能数据");
  EXPECT_EQ(st->image1_tooltip[1], "平衡分析");
  EXPECT_EQ(st->image1_tooltip[7], "保存联合测试文件到库");
  EXPECT_EQ(st->Text1[2], "示范井1");
  EXPECT_EQ(st->Text1[0], "200605121430");
  EXPECT_EQ(st->Text2, path);
  EXPECT_EQ(st->dnt_rec.wiring_mode, 1);
  EXPECT_FLOAT_EQ(st->circle_tol, 0.02f);
  // The results came last: they replaced the electric chart's Text3(1) and p_sum, and kept
  // the card chart's stroke and rate. Boxes of the previous test are empty.
  EXPECT_EQ(st->Text3[1], num_text_dec(st->p_sum / 501.0, 2));
  EXPECT_GT(st->p_sum, 0.0f);
  EXPECT_EQ(st->Text3[12], "2.998");
  EXPECT_EQ(st->Text3[13], "5.99");
  EXPECT_EQ(st->Text3[0], "");
  EXPECT_EQ(st->Text3[14], "");

  // The results against the unit's model: fluid load 18 kN lifted over the stroke less the
  // stretch, 3 m - 0.3 m, every 10 s: 4.86 kW (5 %: inertia, vibration and the corners).
  EXPECT_NEAR(num_val(st->Text3[2]), 18.0 * 2.7 / 10.0, 0.25);
  // The motor's mean input exceeds the rod power by its losses and efficiency.
  EXPECT_GT(num_val(st->Text3[1]), num_val(st->Text3[2]) + 1.2);
  // Voltage 380 V less 0.05 V/A at about 15 A.
  EXPECT_NEAR(num_val(st->Text3[5]), 379.3, 0.3);
  const double s = num_val(st->Text3[7]), pw = num_val(st->Text3[1]);
  EXPECT_EQ(st->Text3[8], num_text_dec(std::sqrt(s * s - pw * pw), 1));
  EXPECT_EQ(st->Text3[9], num_text_dec(pw / s, 2));
}

// The period search sees the whole chain from the file: periods around 2500/k included.
TEST_F(JointPipeline, KnownPeriodsFromFiles) {
  struct Case {
    int period;
    double phase;
    std::int16_t mode;
    int gt, iu;
  } cases[] = {{500, 0.0, 1, 501, 500}, {501, 0.5, 3, 501, 501}, {625, 0.1, 4, 625, 625},
               {600, 0.25, 2, 601, 600}, {400, 0.9, 1, 401, 400}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period);
    SyntheticJointParams p;
    p.period = c.period;
    p.phase = c.phase;
    p.wiring_mode = c.mode;
    p.seed = static_cast<std::uint32_t>(c.period);
    auto st = std::make_unique<TestState>();
    ASSERT_EQ(tx_org(*st, write("W.o01", p), 1), std::nullopt);
    EXPECT_EQ(st->gt_num, c.gt);
    EXPECT_EQ(st->iu_num, c.iu);
    // Bottom dead centre: where the stroke phase comes round to 0.
    const int expect_bdc = static_cast<int>(std::lround((1.0 - c.phase) * c.period)) % c.period;
    EXPECT_NEAR(st->bdc_start, expect_bdc, 2);
  }
}

// With Chk_Start checked the stroke starts at the bottom dead centre.
TEST_F(JointPipeline, CheckedStartTurnsTheStroke) {
  SyntheticJointParams p;
  p.phase = 0.3;
  const std::string path = write("W.o01", p);
  auto st = std::make_unique<TestState>();
  st->chk_start_checked = true;
  ASSERT_EQ(open_joint_test_file(*st, path), std::nullopt);
  EXPECT_NEAR(st->sss[0], 0.0f, 0.01f);
  // The position was shifted to a minimum of 0 by the search: the transducer offset is gone.
  EXPECT_LT(st->sss[0], 0.01f);
  EXPECT_GT(st->sss[250], 2.9f);
}

// A reversed current clamp records negative power; the decoder turns it round.
TEST_F(JointPipeline, ReversedPowerIsTurnedRound) {
  SyntheticJointParams p;
  p.reverse_power = true;
  auto st = std::make_unique<TestState>();
  ASSERT_EQ(tx_org(*st, write("W.o01", p), 1), std::nullopt);
  EXPECT_GT(num_val(st->Text3[1]), 0.0);
}

// Records built after the pipeline carry the card count, the electric count and the box
// texts as shown (an edited box included).
TEST_F(JointPipeline, RecordsFromThePipeline) {
  SyntheticJointParams p;
  p.wiring_mode = 4;
  auto st = std::make_unique<TestState>();
  FakeCharts fake;
  ASSERT_EQ(open_joint_test_file(*st, write("示范井1.o01", p), fake.charts()), std::nullopt);
  st->Text3[5] = "381.3";
  st->Text1[3] = "3";
  const RecordBuildReport rep = Pow_Sgt_Dat_Prep(*st);
  EXPECT_TRUE(rep.complete()) << unstored_fields_message(rep);
  const Bytes sb = st->sgt_rec.encode();
  const Bytes db = st->dnt_rec.encode();
  ASSERT_EQ(sb.size(), 512u);
  ASSERT_EQ(db.size(), 1024u);
  ByteReader sr(sb), dr(db);
  EXPECT_EQ(sr.i16(28), 501);
  EXPECT_EQ(sr.i16(30), 2998);
  EXPECT_EQ(sr.i16(44), 3000);
  EXPECT_EQ(sr.i16(52), 1);
  EXPECT_EQ(std::string(sb.begin() + 16, sb.begin() + 28), "200605121430");
  EXPECT_EQ(dr.i16(28), 500);
  EXPECT_EQ(dr.i16(32), 19065);  // 381.3 V x 50
  EXPECT_EQ(dr.i16(34), round_even(num_val(st->Text3[1]) * 100));
  EXPECT_EQ(dr.i16(58), 4);
  // The stored position curve rebuilds the stroke: a(0)/2 is the mean height above the bottom.
  double mean = 0;
  for (int i = 0; i < 501; ++i) mean += st->sss[i];
  EXPECT_NEAR(sr.f32(192) / 2.0, mean / 501, 1e-3);
}

// The period frame: step buttons within their bounds, each redrawing the electric curves.
TEST_F(JointPipeline, AdjustButtonsStepThePeriod) {
  struct Case {
    int start, index, result;
  } cases[] = {{500, 0, 490}, {210, 0, 200}, {209, 0, 209}, {500, 1, 499}, {201, 1, 200}, {200, 1, 200},
               {500, 2, 501}, {1499, 2, 1500}, {1500, 2, 1500}, {500, 3, 510}, {1490, 3, 1500}, {1491, 3, 1491}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.start << " adjust(" << c.index << ")");
    auto st = std::make_unique<TestState>();
    st->read_sgt_dnt_org = kKindJoint;
    st->gt_num = static_cast<std::int16_t>(c.start);
    FakeCharts fake;
    adjust_Click(*st, c.index, fake.charts());
    EXPECT_EQ(st->gt_num, c.result);
    EXPECT_EQ(st->iu_num, c.result);
    EXPECT_EQ(st->CircleDot, std::to_string(c.result));
    ASSERT_EQ(fake.log.size(), 1u);
    EXPECT_EQ(fake.log[0], "electric " + std::to_string(c.result));
  }
}

// The tolerance buttons double or halve circle_tol and rerun the analysis on the samples in
// memory; the file, the well and the path are not touched again.
TEST_F(JointPipeline, ToleranceButtonsRerun) {
  SyntheticJointParams p;
  p.stroke = 0.2;  // too little for the position search: the power search decides
  p.stretch = 0.05;
  const std::string path = write("W.o01", p);
  auto st = std::make_unique<TestState>();
  ASSERT_EQ(open_joint_test_file(*st, path), std::nullopt);
  std::filesystem::remove(path);  // a rerun must not need the file
  st->Text1[2] = "typed";
  st->Text1[0] = "typed date";
  st->Text2 = "typed path";
  st->image1_tooltip[7] = "x";
  FakeCharts fake;
  adjust_Click(*st, 4, fake.charts());
  EXPECT_FLOAT_EQ(st->circle_tol, 0.04f);
  adjust_Click(*st, 5, fake.charts());
  adjust_Click(*st, 5, fake.charts());
  EXPECT_FLOAT_EQ(st->circle_tol, 0.01f);
  ASSERT_EQ(fake.log.size(), 6u);  // card and electric per rerun
  EXPECT_EQ(fake.log[0].rfind("card", 0), 0u);
  EXPECT_EQ(st->Text1[2], "typed");
  EXPECT_EQ(st->Text1[0], "typed date");
  EXPECT_EQ(st->Text2, "typed path");
  EXPECT_EQ(st->image1_tooltip[7], "x");
  EXPECT_FALSE(st->R_iu.empty());
}

// Enter in CircleDot: 1..3000 rounded ties-to-even; other values and keys change nothing.
TEST_F(JointPipeline, TypedPeriod) {
  struct Case {
    const char* text;
    int key;
    int result;
    bool drawn;
  } cases[] = {{"2.5", 13, 2, true},   {"3.5", 13, 4, true},     {"612", 13, 612, true}, {"3000", 13, 3000, true},
               {"3001", 13, 500, false}, {"0", 13, 500, false}, {"abc", 13, 500, false}, {"612", 'a', 500, false},
               {"750pts", 13, 750, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto st = std::make_unique<TestState>();
    st->read_sgt_dnt_org = kKindJoint;
    st->gt_num = st->iu_num = 500;
    st->CircleDot = c.text;
    FakeCharts fake;
    EXPECT_EQ(CircleDot_KeyPress(*st, c.key, fake.charts()), c.drawn);
    EXPECT_EQ(st->gt_num, c.result);
    EXPECT_EQ(st->iu_num, c.result);
    if (c.drawn) {
      ASSERT_EQ(fake.log.size(), 2u);
      EXPECT_EQ(fake.log[0], "electric " + std::to_string(c.result));
      EXPECT_EQ(fake.log[1], "energy");
    } else {
      EXPECT_TRUE(fake.log.empty());
    }
  }
}

// Chk_Start turns the arrays; the electric curves are redrawn only in the electric view.
TEST_F(JointPipeline, CheckBoxTurnsAndRedraws) {
  SyntheticJointParams p;
  p.phase = 0.3;
  auto st = std::make_unique<TestState>();
  ASSERT_EQ(open_joint_test_file(*st, write("W.o01", p)), std::nullopt);
  const SampleArray before = st->sss;
  FakeCharts fake;
  st->chk_start_checked = true;
  Chk_Start_Click(*st, fake.charts());
  EXPECT_EQ(st->sss[0], before[350]);
  EXPECT_EQ(fake.log, std::vector<std::string>{"electric 500"});
  st->disp_state = 3;
  st->chk_start_checked = false;
  Chk_Start_Click(*st, fake.charts());
  EXPECT_EQ(st->sss, before);
  EXPECT_EQ(fake.log.size(), 1u);
}

// Once another kind of test is shown the period frame's samples are not a joint test.
TEST_F(JointPipeline, PeriodFrameIdleForOtherTests) {
  auto st = std::make_unique<TestState>();
  st->read_sgt_dnt_org = kKindCard;
  st->gt_num = 145;
  st->CircleDot = "600";
  FakeCharts fake;
  for (int i = 0; i < 6; ++i) adjust_Click(*st, i, fake.charts());
  EXPECT_FALSE(CircleDot_KeyPress(*st, 13, fake.charts()));
  EXPECT_EQ(st->gt_num, 145);
  EXPECT_FLOAT_EQ(st->circle_tol, 0.02f);
  EXPECT_TRUE(fake.log.empty());
  // A rerun with nothing decoded is refused.
  EXPECT_NE(tx_org(*st, "", 2), std::nullopt);
}

// A file's name becomes the well box and so the libraries' well key: control characters a
// name may hold come as "_" (a newline in a stored well name would split the lists).
TEST_F(JointPipeline, ControlCharactersOfTheFileNameDoNotReachTheWell) {
  const std::pair<std::string, std::string> cases[] = {
      {"示范井1.o01", "示范井1"}, {"A\nB.o01", "A_B"}, {"\tW\r.o01", "_W_"}, {"W\x7f" "1.o02", "W_1"}};
  for (const auto& [file, well] : cases) {
    SCOPED_TRACE(file);
    const std::string path = write(file, SyntheticJointParams{});
    auto st = std::make_unique<TestState>();
    FakeCharts fake;
    ASSERT_EQ(open_joint_test_file(*st, path, fake.charts()), std::nullopt);
    EXPECT_EQ(st->Text1[appended_box::kWell], well);
  }
}

}  // namespace
}  // namespace wb
