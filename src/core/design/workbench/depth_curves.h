// The design profile against measured depth: five panels side by side on a picture in
// millimetres (slope, dogleg, axial forces, rod-tubing and rod-string normal forces), a
// depth axis on the left and a line at the design pump depth; and the way back from a
// picked height to the profile values at that depth.
//
// Geometry (mm, y downward): the plot starts at (10, 10); it is the picture less 10 mm on
// the left and top and 5 mm on the right and bottom. Node 0 lies on the top edge and node
// N - 1 on the bottom one. Each panel has a zero line; a value v lies at o + v / s, the
// panel's largest value (at least 0) reaching one panel width right of it.
//
// Profile entries: the slope panel reads the inclination at node i, the other panels and
// the pick read entry k = node_depth(i) / 2 (the values at measured depth 2k m); both are
// the same node for a survey from the surface. Only nodes 0..min(last_node, 2000) are read.
// The dogleg is drawn clipped to 15 °/30 m on a copy: the profile itself keeps its values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/common/canvas.h"
#include "core/common/refusal.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

inline constexpr double kCurvesPlotLeft = 10.0;  // mm
inline constexpr double kCurvesPlotTop = 10.0;   // mm
inline constexpr double kDoglegDrawMax = 15.0;   // °/30 m, larger doglegs are drawn at this value

// What a drawing leaves for the picks: the top margin and metres of depth per millimetre
// (0 when the profile has fewer than 2 nodes, so no depth can be drawn).
struct CurvesScale {
  double plot_top = kCurvesPlotTop;
  double depth_scale = 0.0;
};

// A snapshot of what the curves need from the design, so the curves window can go on
// showing them after the design window has closed.
struct CurvesData {
  DepthProfile profile;
  std::int16_t last_node = 0;
  std::string pump_depth_text;  // after-design pump depth box, m
  std::string well;             // well name box, untrimmed

  static CurvesData from(const DesignState& st);
};

// Clears the picture and draws the whole figure; the picture's width and height in mm give
// the plot's size. `pump_depth` is the design pump depth in m.
CurvesScale paint_show(Canvas& c, const DepthProfile& p, int last_node, double pump_depth);
CurvesScale paint_show(Canvas& c, const CurvesData& d);

// Profile values at a picked height (mm from the picture's top).
struct PickValues {
  double js1 = 0;    // measured depth of the node, m
  float jxj = 0;     // inclination, degrees
  float gtd1 = 0;    // dogleg, °/30 m, as the design holds it
  float zxMax = 0;   // largest axial force, N
  float zxMin = 0;   // smallest axial force, N
  float zylGG = 0;   // rod-tubing normal force, N/m
  float zylGZ = 0;   // rod-string normal force, N/m
};
// The node at or above the pick, kept within nodes 0..min(last_node, 2000): a pick above
// the plot gives node 0, one below the last node gives the last node.
PickValues Get_picDat(double Yzb, const CurvesScale& scale, const DepthProfile& p, int last_node);

// The readout line under the picture, numbers without a sign blank (".5"), e.g.
// "井深1200m 井斜角23.5°狗腿度3.46°/30m 最大轴向力45.68kN 最小轴向力-1.23kN 杆管正压力12.3N/m 杆柱正压力.5N/m ".
std::string pick_readout_line(const PickValues& v);

// Tick step of a panel from its largest value: Int(vmax/4 + 1), or for the slope and dogleg
// panels below 1, Int(vmax/4 × 10)/10.
double curves_tick_step(double vmax, bool tenths_below_one);

// The curves window's layout rule, in twips: a window wider than 400 gives the picture
// its width less 400, one higher than 900 its height less 900; otherwise that side stays.
struct PicShowLayout {
  int picture_width = 0;
  int picture_height = 0;
  int label_top = 0;  // 80 below the picture
};
PicShowLayout pic_show_layout(int window_width, int window_height, int picture_top, int picture_width,
                              int picture_height);

// The curves window's caption for a well name box.
std::string pic_show_caption(const std::string& well);

// Opening checks of the curves button: a survey station in Grid1 (a row with a depth; the
// grid's empty entry row does not count) and a design depth in Grid2
// row 1, column 1 (which becomes Grid2's current cell). The refusal to show when one is missing.
[[nodiscard]] std::optional<Refusal> pic_show_refusal(DesignState& st);
inline constexpr const char* kNoSurveyText = "该井无井斜数据，无法绘制曲线!";
inline constexpr const char* kNoDesignText = "请先执行<重新设计>命令!";

}  // namespace wb::design
