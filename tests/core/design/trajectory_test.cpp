#include <gtest/gtest.h>

#include <cmath>

#include "core/common/canvas.h"
#include "core/common/number_text.h"
#include "core/samples/synthetic_tests.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

class TrajectoryTest : public DesignTest {};

TEST_F(TrajectoryTest, VerticalWell) {
  survey({{"500", "0", "0"}, {"1000", "0", "0"}});
  eng.CalcTrajectory();
  const auto& p = eng.st.profile;
  const auto& g = eng.st.Grid1;
  EXPECT_EQ(eng.st.last_node, 500);
  for (int i = 0; i <= 500; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p.node_depth[i], 2.0f * i);
    EXPECT_EQ(p.inclination[i], 0);
    EXPECT_EQ(p.azimuth[i], 0);
    EXPECT_EQ(p.dogleg[i], 0);
    EXPECT_EQ(p.east_step[i], 0);
    EXPECT_EQ(p.north_step[i], 0);
    EXPECT_EQ(p.vert_step[i], 2);
  }
  EXPECT_EQ(g.text(1, 6), "500");
  EXPECT_EQ(g.text(2, 6), "1000");
  EXPECT_EQ(g.text(2, 4), "0");
  EXPECT_EQ(g.text(2, 5), "0");
  EXPECT_EQ(eng.st.box_depth, 1000);
  EXPECT_EQ(eng.st.box_half_width, 0);
  EXPECT_TRUE(msgs.texts.empty());
}

TEST_F(TrajectoryTest, VerticalDepthIsSummedOverWholeNodes) {
  struct Case {
    const char* depth;
    const char* vertical;
  };
  for (const Case& c : {Case{"1001", "1000"}, Case{"1001.1", "1002"}, Case{"1000", "1000"}}) {
    SCOPED_TRACE(c.depth);
    survey({{c.depth, "0", "0"}});
    eng.CalcTrajectory();
    EXPECT_EQ(eng.st.Grid1.text(1, 6), c.vertical);
  }
}

TEST_F(TrajectoryTest, DirectionsAcrossNorthInterpolateThroughNorth) {
  survey({{"500", "10", "359"}, {"1000", "10", "1"}});
  eng.CalcTrajectory();
  const auto& p = eng.st.profile;
  for (int i = 260; i < 490; ++i) {
    SCOPED_TRACE(i);
    const float a = p.azimuth[i];
    EXPECT_TRUE(a < 2 || a > 358) << a;
  }
}

TEST_F(TrajectoryTest, DepthsThatDoNotIncreaseStopWithTheRowNamed) {
  survey({{"500", "1", "0"}, {"", "", ""}, {"1000", "2", "0"}});
  eng.st.last_node = 77;
  eng.CalcTrajectory();
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "第 2号记录的斜深数据有误，请作认真检查！");
  EXPECT_EQ(eng.st.last_node, 77);
  EXPECT_EQ(eng.st.Grid1.row, 2);
  EXPECT_EQ(eng.st.Grid1.sel_row1, 2);
  EXPECT_EQ(eng.st.Grid1.text(1, 6), "");  // no write-back
  EXPECT_EQ(eng.st.profile.vert_step[100], 2);

  msgs.texts.clear();
  survey({{"0", "0", "0"}, {"600", "1", "0"}, {"600", "1", "0"}});
  eng.CalcTrajectory();
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "第 3号记录的斜深数据有误，请作认真检查！");
}

TEST_F(TrajectoryTest, NodesAboveTheFirstStationStayStraight) {
  survey({{"300", "0", "0"}, {"800", "20", "90"}, {"1200", "30", "90"}});
  eng.CalcTrajectory();
  const auto& p = eng.st.profile;
  for (int i = 0; i <= 150; ++i) {
    EXPECT_EQ(p.inclination[i], 0) << i;
    EXPECT_EQ(p.east_step[i], 0) << i;
  }
  EXPECT_NEAR(p.inclination[400], 20, 0.01);
  EXPECT_NEAR(p.azimuth[400], 90, 0.01);
  // East displacement grows; the surface row gets its columns too.
  EXPECT_GT(std::stod(eng.st.Grid1.text(3, 4)), std::stod(eng.st.Grid1.text(2, 4)));
  EXPECT_EQ(eng.st.Grid1.text(3, 5), "90");
}

// The nodes above a first row below the surface are straight, so they add their full 2 m of
// vertical depth: the first row's vertical depth equals its measured depth.
TEST_F(TrajectoryTest, AFirstRowBelowTheSurfaceIsReachedStraightDown) {
  survey({{"900", "0", "0"}, {"1500", "60", "90"}});
  eng.CalcTrajectory();
  EXPECT_TRUE(msgs.texts.empty());
  EXPECT_EQ(eng.st.Grid1.text(1, 6), "900");
  for (int i = 0; i <= 450; ++i) EXPECT_EQ(eng.st.profile.vert_step[i], 2) << i;
  // Below the first row the path bends as before: less vertical depth than measured.
  EXPECT_LT(num_val(eng.st.Grid1.text(2, 6)), 1500 - 100);
}

TEST_F(TrajectoryTest, TheDeepestNodesKeepTheLastStationsDirection) {
  // A periodic spline would give the node at 1200 m the surface's direction, a false dogleg.
  survey({{"0", "0", "0"}, {"600", "20", "45"}, {"1200", "30", "45"}});
  eng.CalcTrajectory();
  const auto& p = eng.st.profile;
  const int M = eng.st.last_node;
  ASSERT_EQ(M, 600);
  EXPECT_FLOAT_EQ(p.inclination[M], 30);
  EXPECT_NEAR(p.azimuth[M], 45, 1e-3);
  EXPECT_LT(p.dogleg[M - 1], 1);
  EXPECT_LT(p.dogleg[M], 1);
  EXPECT_NEAR(p.vert_step[M], 2 * std::cos(30 * 3.14159265358979 / 180), 1e-6);
}

TEST_F(TrajectoryTest, ASurveyPast4000mStopsAtNode2000AndSaysSo) {
  survey({{"1000", "5", "30"}, {"4100", "10", "30"}});
  eng.CalcTrajectory();
  EXPECT_EQ(eng.st.last_node, 2000);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_NE(msgs.texts[0].find("4000"), std::string::npos);
  EXPECT_GT(eng.st.profile.inclination[2000], 4);
  EXPECT_LT(eng.st.profile.inclination[2000], 12);
  EXPECT_FALSE(eng.st.Grid1.text(2, 6).empty());
}

// A dense survey (a station every 0.1 m, more stations than a 16-bit count holds) is
// resampled like any other instead of leaving the well vertical.
TEST_F(TrajectoryTest, MoreThan32767StationsGiveTheSurveyedPath) {
  std::vector<std::array<std::string, 3>> rows;
  for (int i = 1; i <= 33000; ++i) rows.push_back({num_text(i / 10.0), "30", "45"});
  survey(rows);
  eng.CalcTrajectory();
  EXPECT_TRUE(msgs.texts.empty());
  const auto& p = eng.st.profile;
  ASSERT_EQ(eng.st.last_node, 1650);
  for (int i : {100, 800, 1650}) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(p.inclination[static_cast<std::size_t>(i)], 30, 0.01);
    EXPECT_NEAR(p.azimuth[static_cast<std::size_t>(i)], 45, 0.01);
  }
}

TEST_F(TrajectoryTest, HugeDepthsAreHandledLikeAnyOther) {
  survey({{"1e30", "5", "5"}});
  eng.CalcTrajectory();
  EXPECT_EQ(eng.st.last_node, 2000);
  ASSERT_EQ(msgs.texts.size(), 1u);
  msgs.texts.clear();
  survey({{"-1e300", "5", "5"}, {"1e300", "5", "5"}});
  eng.CalcTrajectory();
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "第 1号记录的斜深数据有误，请作认真检查！");
}

// A survey cell beyond what a hole can have stops the well path with the row and the column
// named; the path, the write-back and the 3D box stay as they were.
TEST_F(TrajectoryTest, AnAngleBeyondReasonStopsWithItsCellNamed) {
  struct Case {
    std::array<std::string, 3> row2;
    const char* message;
  } cases[] = {
      {{"1000", "1e300", "0"}, "第 2号记录的“井斜角”为 1E+300 °"},
      {{"1000", "-5", "0"}, "第 2号记录的“井斜角”为 -5 °"},
      {{"1000", "5", "99999999"}, "第 2号记录的“方位角”为 99999999 °"},
      {{"1000", "5", "东"}, "第 2号记录的“方位角”中的“东”不是数字"},
      {{"1000x", "5", "0"}, "第 2号记录的“斜深”中的“1000x”不是数字"},
      {{"1e39", "5", "0"}, "第 2号记录的“斜深”为 1E+39 m"},  // beyond a single-precision station
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    DesignRig rig;
    rig.eng.st.last_node = 77;
    rig.survey({{"500", "1", "0"}, c.row2});
    rig.eng.CalcTrajectory();
    ASSERT_EQ(rig.msgs.texts.size(), 1u);
    EXPECT_EQ(rig.msgs.texts[0].rfind(c.message, 0), 0u) << rig.msgs.texts[0];
    EXPECT_EQ(rig.msgs.titles[0], kBoxRefusedTitle);
    EXPECT_EQ(rig.eng.st.last_node, 77);
    EXPECT_EQ(rig.eng.st.Grid1.row, 2);
    EXPECT_EQ(rig.eng.st.Grid1.text(1, 6), "");  // no write-back
    EXPECT_EQ(rig.eng.st.profile.inclination[100], 0);
  }
}

TEST_F(TrajectoryTest, NoStationDrawsTheDefaultBox) {
  RecordingCanvas c(92, 104);
  eng.picture_3d = &c;
  eng.st.Grid1.set_rows(2);
  eng.CalcTrajectory();
  EXPECT_EQ(eng.st.box_depth, 4000);
  EXPECT_EQ(eng.st.box_half_width, 100);
  EXPECT_GT(c.count(RecordingCanvas::Op::Line), 12u);
}

TEST_F(TrajectoryTest, TheSampleSurveyGivesADirectionalWell) {
  ASSERT_TRUE(write_synthetic_survey(tmp.prog.data() / "S.jx"));
  eng.st.JName_Comb = "S";
  EXPECT_NE(eng.Get_JXdat(), DesignOutcome::failed);
  ASSERT_EQ(eng.st.Grid1.rows(), 41);
  eng.CalcTrajectory();
  EXPECT_TRUE(msgs.texts.empty());
  EXPECT_EQ(eng.st.last_node, 1000);
  EXPECT_NEAR(eng.st.profile.inclination[900], 30, 0.1);
  EXPECT_NEAR(num_val(eng.st.Grid1.text(40, 5)), 58, 3);
  EXPECT_GT(num_val(eng.st.Grid1.text(40, 4)), 600);
}

}  // namespace
}  // namespace wb::design::test
