#include <gtest/gtest.h>

#include <cmath>

#include "core/common/canvas.h"
#include "core/design/engine/trajectory_math.h"
#include "design_fixture.h"

namespace wb::design::test {
namespace {

class WellViewTest : public DesignTest {
 protected:
  WellViewTest() { eng.picture_3d = &canvas; }
  RecordingCanvas canvas{92, 104};
};

TEST_F(WellViewTest, AzimuthTextWrapsAndMovesTheScrollBar) {
  struct Case {
    const char* typed;
    const char* shown;
    int scroll;
  };
  for (const Case& c : {Case{"200", "-179", -179}, Case{"-200", "180", 180}, Case{"abc", "0", 0}, Case{"45", "45", 45},
                        Case{"-", "0", 0}}) {
    SCOPED_TRACE(c.typed);
    eng.set_Text_FW(c.typed);
    EXPECT_EQ(eng.st.Text_FW, c.shown);
    EXPECT_EQ(eng.st.HScroll_FW, c.scroll);
    EXPECT_NEAR(eng.st.view_azimuth, c.scroll * kPi14 / 180, 1e-12);
  }
}

TEST_F(WellViewTest, ScrollBarStepsWrapAround) {
  eng.set_HScroll_FW(180);
  eng.set_HScroll_FW(181);
  EXPECT_EQ(eng.st.HScroll_FW, -179);
  EXPECT_EQ(eng.st.Text_FW, "-179");
  eng.set_HScroll_FW(-180);
  EXPECT_EQ(eng.st.HScroll_FW, 180);
}

TEST_F(WellViewTest, RotationStepsFiveDegreesEachTick) {
  eng.set_HScroll_FW(175);
  eng.Cmd_Tran_Well_Click();
  EXPECT_EQ(eng.st.Cmd_Tran_Well, "反转");
  EXPECT_TRUE(eng.st.Timer_Tran);
  eng.Timer_Tran_Timer();
  EXPECT_EQ(eng.st.HScroll_FW, 180);
  eng.Timer_Tran_Timer();
  EXPECT_EQ(eng.st.HScroll_FW, -175);
  eng.Cmd_Tran_Well_Click();
  EXPECT_EQ(eng.st.Cmd_Tran_Well, "停止");
  eng.Timer_Tran_Timer();
  EXPECT_EQ(eng.st.HScroll_FW, 180);
  eng.Timer_Tran_Timer();
  EXPECT_EQ(eng.st.HScroll_FW, 175);
  eng.Cmd_Tran_Well_Click();
  EXPECT_EQ(eng.st.Cmd_Tran_Well, "正转");
  EXPECT_FALSE(eng.st.Timer_Tran);
  eng.Timer_Tran_Timer();
  EXPECT_EQ(eng.st.HScroll_FW, 175);
}

TEST(TransXY, ProjectionOfKnownPoints) {
  const double W = 100, H = 200, L = 10, Z = 1000;
  double x = 0, y = 0;
  Trans_XY(x, y, 0, 0, 500, L, Z, 0, W, H);  // straight below the wellhead
  EXPECT_DOUBLE_EQ(x, 50);
  EXPECT_DOUBLE_EQ(y, 200 * (0.1 + 0.4));
  Trans_XY(x, y, 0, 15, 0, L, Z, 0, W, H);  // north, looking north: away, drawn higher
  EXPECT_NEAR(x, 50, 1e-9);
  EXPECT_LT(y, 20);
  Trans_XY(x, y, -15, 0, 0, L, Z, 0, W, H);  // east (x0 towards west) is to the right
  EXPECT_GT(x, 90);
  Trans_XY(x, y, -15, 0, 0, L, Z, kPi14 / 2, W, H);  // looking east: east lies away
  EXPECT_NEAR(x, 50, 1e-6);
  EXPECT_LT(y, 20);
  x = -1;
  y = 33;
  Trans_XY(x, y, 5, 5, 100, 0, 0, 0, W, H);  // zero extents: the failing steps are skipped
  EXPECT_DOUBLE_EQ(x, 50);
  EXPECT_DOUBLE_EQ(y, 33);
}

TEST_F(WellViewTest, PathSkipsStationsThatAreNotDeeper) {
  auto& g = eng.st.Grid1;
  g.set_rows(6);
  const char* z[] = {"100", "200", "150", "300"};
  for (int r = 1; r <= 4; ++r) {
    g.set_text(r, 4, "10");
    g.set_text(r, 5, "90");
    g.set_text(r, 6, z[r - 1]);
  }
  eng.st.box_half_width = 10;
  eng.st.box_depth = 300;
  eng.Draw_box();
  int thick = 0;
  for (const auto& it : canvas.items) {
    if (it.op == RecordingCanvas::Op::Line && it.pen.width == 2) ++thick;
  }
  EXPECT_EQ(thick, 3);
}

TEST_F(WellViewTest, ZeroExtentsDrawTheNoStationBox) {
  eng.st.box_half_width = 0;
  eng.st.box_depth = 0;
  eng.Draw_box();
  double lo = 1e9, hi = -1e9;
  for (const auto& it : canvas.items) {
    if (it.op != RecordingCanvas::Op::Line) continue;
    lo = std::min({lo, it.x1, it.x2});
    hi = std::max({hi, it.x1, it.x2});
  }
  EXPECT_LT(lo, 30);  // a box, not a line down the middle
  EXPECT_GT(hi, 62);
}

TEST_F(WellViewTest, PictureFileNameCarriesWellAndAzimuth) {
  eng.st.JName_Comb = " W12 ";
  eng.set_Text_FW("-30");
  EXPECT_EQ(eng.picture_file_name(), "W12井眼曲线(-30度方向).BMP");
}

// Neither the well nor the azimuth box may lead the proposed name out of the image folder
// or past 255 bytes.
TEST_F(WellViewTest, PictureFileNameLeavesOutWhatCannotBeAFileName) {
  struct Case {
    std::string well, fw, name;
  } cases[] = {
      {"../../x", "-30", "井眼曲线(-30度方向).BMP"},
      {std::string(240, 'a'), "30", "井眼曲线(30度方向).BMP"},
  };
  for (const auto& c : cases) {
    eng.st.JName_Comb = c.well;
    eng.set_Text_FW(c.fw);
    EXPECT_EQ(eng.picture_file_name(), c.name) << c.well << " " << c.fw;
  }
}

}  // namespace
}  // namespace wb::design::test
