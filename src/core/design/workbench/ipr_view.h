// The inflow-performance view of the design window: the liquid rate against the flowing
// bottom-hole pressure (straight line above the bubble point, Vogel below it), a design
// point on that curve, and a well schematic whose liquid level the user types or drags.
// Level, flowing pressure and rate are coupled; typing one, or dragging the marker, moves
// the others, redraws the curve and places the design point.
//
// Inputs come fresh from the well-data boxes each time: Pr Text6(0), Pb Text6(2), J Text6(8),
// water cut % Text6(7), surface and downhole oil density Text6(5) and Text6(6), casing-head
// pressure Pc Text6(11), reservoir mid-depth Hmid Text6(12). The liquid's density is
// ρm = f + (ρs + ρd)/2·(1 − f), f the water cut as a fraction; a column of Δh m holds
// ρm·9.8·Δh/1000 MPa.
//
// A well box that is not a number or beyond its limits (`check_ipr_boxes`) stops a redraw and
// the boxes' change handling with a message naming it; nothing is drawn from it.
//
// A box written from code runs its change handling only when its text changes, as a typed
// change does; the chains of updates rely on that.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/common/canvas.h"
#include "core/common/services.h"
#include "core/design/engine/design_messages.h"
#include "core/design/engine/design_state.h"

namespace wb::design {

inline constexpr int kIprPoints = 100;

// Pure relations of the composite inflow model.
struct IprInputs {
  double Pr = 0, Pb = 0, J = 0;
  double fw = 0, rho_s = 0, rho_d = 0, Pc = 0, Hmid = 0;
  double rho_m() const;  // mixture density, t/m³
  static IprInputs from(const DesignState& st);
};
// Rate at flowing pressure p.
double ipr_rate_at(const IprInputs& in, double p);
// Rate at zero flowing pressure: J·[(Pr − Pb) + Pb/1.8].
double ipr_capacity(const IprInputs& in);
// Flowing pressure for a rate not above the capacity; empty when the model cannot give
// one (J ≤ 0, or Pb ≤ 0 on the Vogel part).
std::optional<double> ipr_pressure_for_rate(const IprInputs& in, double q);
// Axis maximum: the smallest multiple of 5 strictly above v (0 → 5, 15 → 20).
double ipr_axis_max(double v);

inline constexpr const char* kBadFluidText = "请正确地输入原油密度或油层中深!";
inline constexpr const char* kBadIndexText = "请正确地输入采液指数!";
inline constexpr const char* kBadBubbleText = "请正确地输入饱和压力!";

// The schematic, in twips of the well drawing: the liquid column's bottom is fixed at 3215;
// the surface lies at 395 and 4000 m at 3215.
inline constexpr int kColumnBottom = 3215;
inline constexpr double kSchematicDepth = 4000.0;  // m
inline constexpr double kSchematicSpan = 2820.0;   // twips for kSchematicDepth
inline constexpr int kMarkerAbove = 85;            // marker top above the column top

// The three boxes of `Text7` on the tab "动态IPR曲线".
namespace ipr_box {
inline constexpr int kLevel = 0;             // dynamic fluid level, m
inline constexpr int kRate = 1;              // liquid rate, m³/d
inline constexpr int kFlowingPressure = 2;   // design flowing pressure, MPa
}  // namespace ipr_box

struct IprViewState {
  std::array<std::string, 3> Text7;  // by ipr_box
  std::string Text8, Text9, Text11;  // driving level; the design point's pressure and rate
  std::array<std::string, 11> Label10{"液面深度(m)", "液面深度m:", "设计流压MPa:", "产液能力 m^3:", "设计流压(MPa)", "",
                                      "产液能力(m^3)", "油层静压(MPa):", "饱和压力(MPa):", "采液指数t/Mpa:", ""};
  std::array<float, 101> ipr_pressure{};  // MPa, points 0..99 of the last redraw
  std::array<float, 101> ipr_rate{};
  double chart_Pmax = 5, chart_Qmax = 5;  // axis maxima of the last redraw
  // Design-point legs on the chart, mm: Line1 horizontal, Line2 vertical.
  bool lines_visible = false;
  std::array<double, 4> Line1{}, Line2{};
  // Schematic, twips: the liquid column and the marker.
  double column_top = 2760, column_height = 455, marker_top = 2690;
  int focus_text7 = -1;  // the Text7 box a check sent the focus to
};

class IprView {
 public:
  IprView(DesignState& st, MessageService& msg) : st_(st), msg_(msg) {}

  IprViewState v;
  // The chart picture (millimetres); redraws go there when it is set.
  Canvas* chart = nullptr;
  // Runs after anything the window shows changed.
  std::function<void()> changed;

  // "更新IPR曲线": the table, the chart, then the design point.
  void Cmd_Redraw_IPR_Click();
  // Box writes as the window makes them (typed or from code): handlers run on a change only.
  void set_Text7(int index, const std::string& text);
  void set_Text8(const std::string& text);
  void Text7_Change(int index);
  void Text8_Change();
  // Left button pressed (move = false) or moved with it held (move = true) at height y
  // (twips of the well drawing).
  void marker_drag(double y, bool move);
  // The tab control switched to the tab with this caption.
  void SSTab1_Click(const std::string& caption);

  // The chart alone, from the table of the last redraw.
  void draw_chart(Canvas& c) const;

 private:
  // Shows the refusal of a well box the curve is drawn from; true when one was refused.
  [[nodiscard]] bool inputs_refused();
  void place_schematic(double L);
  void common_tail(double L);
  void level_from_pressure(double p);
  void notify() {
    if (changed) changed();
  }
  DesignState& st_;
  MessageService& msg_;
  bool fixing_rate_ = false;
};

}  // namespace wb::design
