// The curves against depth on a recording canvas: axis, scales, ticks, clipping of the
// dogleg on a copy, the node range, and the picks with their readout line.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <memory>

#include "../test_canvas_util.h"
#include "core/common/canvas.h"
#include "core/design/workbench/depth_curves.h"

namespace wb::design {
namespace {

using namespace wb::canvas_test;

constexpr double kW = 200.0, kH = 150.0;  // picture, mm: plot 185 × 135
constexpr double kPW = 185.0 / 5.0 - 0.089 * 185.0;
constexpr Rgb kOlive = 0x808000, kGreenPanel = 0x008000;

// A survey from the surface: nodes every 2 m to `last`.
std::unique_ptr<DepthProfile> straight(int last) {
  auto p = std::make_unique<DepthProfile>();
  for (int i = 0; i <= kLastNode; ++i) p->node_depth[static_cast<std::size_t>(i)] = 2.0f * i;
  (void)last;
  return p;
}

bool all_finite(const RecordingCanvas& c) {
  for (const auto& it : c.items)
    if (!std::isfinite(it.x1) || !std::isfinite(it.y1) || !std::isfinite(it.x2) || !std::isfinite(it.y2)) return false;
  return true;
}

TEST(DepthCurves, DepthAxisOfASurveyTo1001m) {
  // Int((1001 + 0.51)/2) = 500 nodes; node 499 (998 m) on the bottom edge; steps Int(1000/10).
  auto p = straight(500);
  RecordingCanvas c(kW, kH);
  const CurvesScale s = paint_show(c, *p, 500, 800);
  EXPECT_DOUBLE_EQ(s.plot_top, 10.0);
  EXPECT_DOUBLE_EQ(s.depth_scale, 998.0 / 135.0);
  for (int i = 0; i <= 9; ++i) {
    SCOPED_TRACE(i);
    const double y = 10.0 + i * 100.0 / s.depth_scale;
    EXPECT_NE(find_text_at(c, " " + std::to_string(i * 100), 2.0, y), nullptr);
    EXPECT_NE(find_line(c, 8.0, y, 10.0, y), nullptr);
  }
  EXPECT_EQ(c.find_text(" 1000"), nullptr);
  // The plot's top and left edges, and the pump line in white at 800 m.
  EXPECT_NE(find_line(c, 10, 10, 195, 10), nullptr);
  EXPECT_NE(find_line(c, 10, 10, 10, 145), nullptr);
  const double yp = 10.0 + 800.0 / s.depth_scale;
  const Item* pump = find_line(c, 10, yp, 195, yp);
  ASSERT_NE(pump, nullptr);
  EXPECT_EQ(pump->pen.color, kWhite);
  EXPECT_NE(find_text_at(c, "设计泵深", 195.0 - 13.0, yp + 1.0), nullptr);
}

TEST(DepthCurves, TickSteps) {
  struct Case { double vmax; bool tenths; double step; };
  const Case cases[] = {{4.2, false, 2}, {4.2, true, 2}, {0.9, true, 0.2}, {0.9, false, 1}, {0.3, true, 0}, {1.0, true, 1}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.vmax);
    EXPECT_DOUBLE_EQ(curves_tick_step(k.vmax, k.tenths), k.step);
  }
}

TEST(DepthCurves, TickLabelsOfTheSlopeAndDoglegPanels) {
  // Dogleg 4.2 at one node: ticks 0, 2, 4 (6 and 8 would lie over the next panel's labels);
  // slope 2·tan(inc/57.3) = 0.9: ticks 0 to .8 in steps of .2.
  auto p = straight(100);
  p->dogleg[50] = 4.2f;
  p->inclination[40] = static_cast<float>(std::atan(0.45) * 57.3);
  RecordingCanvas c(kW, kH);
  paint_show(c, *p, 100, 150);
  const double o1 = 20.0, o2 = 30.0 + kPW;
  const char* slope[] = {" 0", " .2", " .4", " .6", " .8"};
  for (int i = 0; i <= 4; ++i) {
    SCOPED_TRACE(i);
    const double x1 = o1 + i * 0.2 / (0.9 / kPW);
    EXPECT_NE(find_text_at(c, slope[i], x1 - 2.0, 5.0, 1e-6), nullptr);
    // 4.2 as a float: 1e-4 mm covers its last place.
    const double x2 = o2 + i * 2.0 / (4.2 / kPW);
    const bool in_band = i <= 2;
    EXPECT_EQ(find_text_at(c, " " + std::to_string(2 * i), x2 - 2.5, 5.0, 1e-4) != nullptr, in_band);
    EXPECT_EQ(find_line(c, x2, 10.0, x2, 8.0, 1e-4) != nullptr, in_band);
  }
  EXPECT_NE(find_text_at(c, "井身斜度", o1, 2.0), nullptr);
  EXPECT_NE(find_text_at(c, "狗腿度°/30m", o2, 2.0), nullptr);
}

// A deviated well as the sample design draws it: slope up to 1.2, dogleg up to 3 °/30 m, axial
// forces to 40 kN, rod-tubing forces of both signs. No two tick labels of the row above the
// plot overlap, within a panel or across neighbouring panels.
TEST(DepthCurves, TickLabelsNeverOverlap) {
  for (double width : {200.0, 260.0, 150.0}) {
    SCOPED_TRACE(width);
    auto p = straight(500);
    for (int i = 0; i <= 500; ++i) {
      const auto k = static_cast<std::size_t>(i);
      p->inclination[k] = static_cast<float>(std::atan(0.6 * std::min(1.0, i / 300.0)) * 57.3);
      p->dogleg[k] = static_cast<float>(i > 100 && i < 300 ? 3.1 : 0.2);
      p->axial_max[k] = static_cast<float>(40000.0 - 60.0 * i);
      p->axial_min[k] = static_cast<float>(4000.0 - 10.0 * i);
      p->side_force_tubing[k] = static_cast<float>(i % 50 < 25 ? 48.0 : -48.0);
      p->side_force_rod[k] = static_cast<float>(i / 20.0);
    }
    RecordingCanvas c(width, kH);
    paint_show(c, *p, 500, 800);
    struct Extent {
      double left, right;
      std::string text;
    };
    std::vector<Extent> labels;
    for (const auto& it : items_of(c, Op::Text)) {
      if (std::abs(it.y1 - 5.0) > 1e-9) continue;
      const std::size_t lead = it.text.find_first_not_of(' ');
      const double left = it.x1 + c.text_width(it.text.substr(0, lead == std::string::npos ? 0 : lead));
      labels.push_back({left, it.x1 + c.text_width(it.text), it.text});
    }
    ASSERT_GE(labels.size(), 12u);
    std::sort(labels.begin(), labels.end(), [](const Extent& a, const Extent& b) { return a.left < b.left; });
    for (std::size_t i = 1; i < labels.size(); ++i)
      EXPECT_GT(labels[i].left, labels[i - 1].right) << labels[i - 1].text << " | " << labels[i].text;
  }
}

TEST(DepthCurves, DoglegIsClippedOnTheDrawingOnly) {
  auto p = straight(100);
  p->dogleg[30] = 22.0f;
  p->dogleg[31] = 10.0f;
  RecordingCanvas c(kW, kH);
  const CurvesScale s = paint_show(c, *p, 100, 150);
  // The scale comes from 15: the clipped node lies one panel width right of the zero line.
  const double o2 = 30.0 + kPW;
  double xmax = 0;
  for (const auto& it : items_of(c, Op::Line, kGreenPanel))
    if (it.y1 > 10.0) xmax = std::max({xmax, it.x1, it.x2});  // the curve, not the ticks above the plot
  EXPECT_NEAR(xmax, o2 + kPW, 1e-9);
  EXPECT_FLOAT_EQ(p->dogleg[30], 22.0f);
  // The readout shows the design's value.
  const PickValues v = Get_picDat(10.0 + 60.0 / s.depth_scale + 1e-9, s, *p, 100);
  EXPECT_DOUBLE_EQ(v.js1, 60.0);
  EXPECT_FLOAT_EQ(v.gtd1, 22.0f);
  EXPECT_NE(pick_readout_line(v).find("狗腿度22°/30m "), std::string::npos);
}

TEST(DepthCurves, ShortAndFullProfilesDrawWithoutAScaleFault) {
  for (int last : {0, 1, 2, 2000}) {
    SCOPED_TRACE(last);
    auto p = straight(last);
    for (int i = 0; i <= kLastNode; ++i) {
      p->axial_max[static_cast<std::size_t>(i)] = 1000.0f + i;
      p->side_force_tubing[static_cast<std::size_t>(i)] = 5.0f;
    }
    RecordingCanvas c(kW, kH);
    const CurvesScale s = paint_show(c, *p, last, 4000);
    EXPECT_TRUE(all_finite(c));
    // A pick far below stops at the last node; one above the plot at node 0.
    EXPECT_DOUBLE_EQ(Get_picDat(1e6, s, *p, last).js1, last < 2 ? 0.0 : 2.0 * last);
    EXPECT_DOUBLE_EQ(Get_picDat(-50, s, *p, last).js1, 0.0);
    if (last < 2) {
      EXPECT_DOUBLE_EQ(s.depth_scale, 0.0);
      EXPECT_EQ(c.find_text("设计泵深"), nullptr);
    }
  }
}

TEST(DepthCurves, AnAllZeroPanelDrawsItsZeroLineAndCaptionOnly) {
  auto p = straight(500);
  RecordingCanvas c(kW, kH);
  paint_show(c, *p, 500, 800);
  // Zero lines of the five panels, no tick labels above the plot, every caption.
  const double zero_x[] = {20, 30 + kPW, 40 + 2 * kPW, 50 + 4 * kPW, 60 + 5 * kPW};
  for (double x : zero_x) {
    SCOPED_TRACE(x);
    const Item* l = find_line(c, x, 10, x, 145, 1e-9);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->pen.color, kWhite);
  }
  for (const auto& it : items_of(c, Op::Text)) EXPECT_NE(it.y1, 5.0) << it.text;
  for (const char* cap : {"井身斜度", "狗腿度°/30m", "最小", "最大轴向力kN", "杆管间正压力N/m", "杆柱间正压力N/m"})
    EXPECT_NE(c.find_text(cap), nullptr) << cap;
}

TEST(DepthCurves, NegativeForcesLieLeftOfTheirZeroLines) {
  auto p = straight(500);
  for (std::size_t i = 0; i <= 500; ++i) {
    p->axial_max[i] = 20000.0f;
    p->axial_min[i] = -4000.0f;
    p->side_force_tubing[i] = i % 2 ? 8.0f : -6.0f;
  }
  RecordingCanvas c(kW, kH);
  const CurvesScale s = paint_show(c, *p, 500, 600);
  const double o3 = 40 + 2 * kPW, o4 = 50 + 4 * kPW;
  const auto mins = items_of(c, Op::Line, kMagenta);
  ASSERT_FALSE(mins.empty());
  for (const auto& it : mins) EXPECT_NEAR(it.x1, o3 - 4.0 / (20.0 / kPW), 1e-9);
  // The rod-tubing panel is labelled on both half-axes: step Int(8/4 + 1) = 3.
  EXPECT_NE(find_text_at(c, "-3", o4 - 3.0 / (8.0 / kPW) - 2.5, 5.0, 1e-9), nullptr);
  EXPECT_NE(find_text_at(c, " 3", o4 + 3.0 / (8.0 / kPW) - 2.5, 5.0, 1e-9), nullptr);
  bool left = false;
  for (const auto& it : items_of(c, Op::Line, kRed)) left = left || it.x1 < o4;
  EXPECT_TRUE(left);
  // Panels 3 to 5 stop at the pump node (300, at 600 m); panel labels use kN.
  const double y_pump = 10.0 + 600.0 / s.depth_scale;
  for (const auto& it : items_of(c, Op::Line, kOlive)) EXPECT_LE(std::max(it.y1, it.y2), y_pump + 1e-9);
  EXPECT_NE(c.find_text(" 6"), nullptr);  // 20 kN: step Int(20/4 + 1) = 6
}

TEST(DepthCurves, PicksAtAndBelowTheTopEdge) {
  auto p = straight(500);
  for (std::size_t i = 0; i <= kLastNode; ++i) p->inclination[i] = static_cast<float>(i);
  RecordingCanvas c(kW, kH);
  const CurvesScale s = paint_show(c, *p, 500, 800);
  struct Case { double y; double depth; };
  const Case cases[] = {
      {10.0, 0.0},                                             // the top edge: node 0
      {9.9, 0.0},                                              // above it: kept at node 0
      {11.0, 2.0 * std::floor(s.depth_scale / 2.0)},           // 1 mm lower
      {10.0 + 300.0 / s.depth_scale + 1e-9, 300.0},
      {500.0, 1000.0},                                         // far below: the last node
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.y);
    const PickValues v = Get_picDat(k.y, s, *p, 500);
    EXPECT_DOUBLE_EQ(v.js1, k.depth);
    EXPECT_FLOAT_EQ(v.jxj, static_cast<float>(k.depth / 2.0));
  }
}

TEST(DepthCurves, ReadoutLine) {
  PickValues v;
  v.js1 = 1200;
  v.jxj = 23.5f;
  v.gtd1 = 3.456f;
  v.zxMax = 45678;
  v.zxMin = -1234;
  v.zylGG = 12.3f;
  v.zylGZ = 0.5f;
  EXPECT_EQ(pick_readout_line(v),
            "井深1200m 井斜角23.5°狗腿度3.46°/30m 最大轴向力45.68kN 最小轴向力-1.23kN 杆管正压力12.3N/m "
            "杆柱正压力.5N/m ");
  // Halves go up, also below zero.
  v.gtd1 = 2.125f;
  v.zylGG = -2.125f;
  const std::string s = pick_readout_line(v);
  EXPECT_NE(s.find("狗腿度2.13°"), std::string::npos);
  EXPECT_NE(s.find("杆管正压力-2.12N/m"), std::string::npos);
}

TEST(DepthCurves, CurvesWindowLayoutRule) {
  struct Case { int ww, wh, pw, ph; };
  const Case cases[] = {{11160, 7515, 10760, 6615}, {400, 900, 10815, 6975}, {401, 901, 1, 1}, {300, 7515, 10815, 6615}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.ww);
    const PicShowLayout l = pic_show_layout(k.ww, k.wh, 240, 10815, 6975);
    EXPECT_EQ(l.picture_width, k.pw);
    EXPECT_EQ(l.picture_height, k.ph);
    EXPECT_EQ(l.label_top, 240 + k.ph + 80);
  }
}

TEST(DepthCurves, OpeningChecks) {
  DesignState st;
  for (int rows : {1, 2}) {  // the heading alone, or with the empty entry row
    st.Grid1.set_rows(rows);
    EXPECT_EQ(pic_show_refusal(st), Refusal(kNoSurveyText));
  }
  st.Grid1.set_rows(3);
  st.Grid1.set_text(1, 1, "100");
  for (const char* cell : {"", "0", "abc"}) {
    SCOPED_TRACE(cell);
    st.Grid2.set_text(1, 1, cell);
    st.Grid2.row = 0;
    st.Grid2.col = 5;
    EXPECT_EQ(pic_show_refusal(st), Refusal(kNoDesignText));
    EXPECT_EQ(st.Grid2.row, 1);
    EXPECT_EQ(st.Grid2.col, 1);
  }
  st.Grid2.set_text(1, 1, "1200");
  EXPECT_EQ(pic_show_refusal(st), std::nullopt);
  EXPECT_EQ(pic_show_caption("  W12 "), "W12井杆柱设计相关参数趋势图");
}

}  // namespace
}  // namespace wb::design
