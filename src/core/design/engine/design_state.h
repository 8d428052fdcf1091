// The rod-string design window's state, as the design engine sees it: the boxes, labels and
// combo texts the design stages read and write as text, the values the stages share between
// steps (single precision), the per-node depth profile, the survey grid and the centralizer
// grid as text matrices, and the 3D view's state. The window mirrors the texts into its
// controls and writes the user's edits back, so every stage runs without a window.
//
// Some values are known to the design workbench under other names; they are noted beside
// each (one value, this name).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include "core/common/box_limits.h"
#include "core/design/engine/rod_design_record.h"

namespace wb::design {

inline constexpr int kLastNode = 2000;        // node i at measured depth 2·i m, 0..4000 m
inline constexpr int kNodeCount = kLastNode + 1;
inline constexpr int kFzqSlots = 198;         // centralizer depths kept in a design record
inline constexpr std::int16_t kFzqNone = 4096;   // no centralizer wanted at a node
inline constexpr std::int16_t kFzqPlaced = 8192; // added to the spacing code of a placed one

// The design boxes `Text3` by meaning: each quantity has a box before the design (frame
// "设计前参数") and one after it (frame "设计后参数").
namespace design_box {
inline constexpr int kRateBefore = 0;         // liquid rate, m3/d
inline constexpr int kLevelBefore = 1;        // dynamic fluid level, m
inline constexpr int kPumpDepthBefore = 2;    // pump setting depth, m
inline constexpr int kBoreBefore = 3;         // pump bore, mm
inline constexpr int kStrokeBefore = 4;       // polished-rod stroke, m
inline constexpr int kSpmBefore = 5;          // strokes per minute, 1/min
inline constexpr int kSinkerLenBefore = 6;    // sinker bar, m
inline constexpr int kRods1Before = 7;        // 1 in rods, m
inline constexpr int kRods78Before = 8;       // 7/8 in rods, m
inline constexpr int kRods34Before = 9;       // 3/4 in rods, m
inline constexpr int kRods58Before = 10;      // 5/8 in rods, m
inline constexpr int kBackOffBefore = 11;     // depth of rod back-off tool 1, m
inline constexpr int kRateAfter = 12;
inline constexpr int kLevelAfter = 13;
inline constexpr int kPumpDepthAfter = 14;
inline constexpr int kBoreAfter = 15;
inline constexpr int kStrokeAfter = 16;
inline constexpr int kSpmAfter = 17;
inline constexpr int kSinkerLenAfter = 18;
inline constexpr int kRods1After = 19;
inline constexpr int kRods78After = 20;
inline constexpr int kRods34After = 21;
inline constexpr int kRods58After = 22;
inline constexpr int kBackOffAfter = 23;
inline constexpr int kRods118Before = 24;     // 1-1/8 in rods, m
inline constexpr int kRods118After = 25;
inline constexpr int kSinkerDiaBefore = 26;   // sinker-bar diameter, mm
inline constexpr int kSinkerDiaAfter = 27;
}  // namespace design_box

// The well-data boxes `Text6` by meaning (tabs "基础数据" and "动态IPR曲线").
namespace well_box {
inline constexpr int kStaticPressure = 0;       // static reservoir pressure, MPa
inline constexpr int kFlowingPressure = 1;      // flowing bottom-hole pressure, MPa
inline constexpr int kBubblePressure = 2;       // MPa
inline constexpr int kGasOilRatio = 3;          // m3/t
inline constexpr int kOilViscosityDown = 4;     // downhole oil viscosity, mPa·s
inline constexpr int kOilDensitySurface = 5;    // t/m3
inline constexpr int kOilDensityDown = 6;       // t/m3
inline constexpr int kWaterCut = 7;             // %
inline constexpr int kProductivity = 8;         // productivity index, t/(d·MPa)
inline constexpr int kWellheadTemp = 9;         // ℃
inline constexpr int kTubingPressure = 10;      // tubing-head pressure, MPa
inline constexpr int kCasingPressure = 11;      // casing-head pressure, MPa
inline constexpr int kLayerMidDepth = 12;       // reservoir mid-depth, m
inline constexpr int kTubingInnerDia = 13;      // mm
inline constexpr int kPlungerStroke = 14;       // m
inline constexpr int kEffectiveStroke = 15;     // m
inline constexpr int kMaxLoad = 16;             // measured maximum polished-rod load, kN
inline constexpr int kMinLoad = 17;             // measured minimum polished-rod load, kN
inline constexpr int kLoadFactorUp = 18;        // up-stroke load factor
inline constexpr int kLoadFactorDown = 19;      // down-stroke load factor
inline constexpr int kInputPower = 20;          // before the design, kW
inline constexpr int kRodPower = 21;            // polished-rod power before the design, kW
inline constexpr int kUsefulPower = 22;         // hydraulic power before the design, kW
inline constexpr int kMotorRatedPower = 23;     // kW
inline constexpr int kMotorEfficiency = 24;     // fraction (a value above 1 is percent)
inline constexpr int kRmsPower = 25;            // RMS power before the design, kW
inline constexpr int kInputPowerAfter = 26;     // kW
inline constexpr int kRodPowerAfter = 27;       // kW
inline constexpr int kUsefulPowerAfter = 28;    // kW
inline constexpr int kMotorDemandAfter = 29;    // kW
inline constexpr int kOilViscositySurface = 30; // mPa·s
inline constexpr int kLayerTemp = 31;           // producing-layer temperature, ℃
inline constexpr int kWaxContent = 32;          // %
inline constexpr int kWaxTemp = 33;             // wax appearance temperature, ℃
}  // namespace well_box

// The result captions `Label3` the design writes.
namespace design_label {
inline constexpr int kStrokePumpEff = 3;      // pump efficiency from the effective stroke, fraction
inline constexpr int kSystemEffBefore = 5;    // %
inline constexpr int kStressBefore = 6;       // 6..11: sinker bar, 5/8, 3/4, 7/8, 1, 1-1/8 in, %
inline constexpr int kSystemEffAfter = 13;    // %
inline constexpr int kStressAfter = 14;       // 14..19, as kStressBefore
}  // namespace design_label

// The structure, tool and note boxes `Text10` that code addresses one by one.
namespace tool_box {
inline constexpr int kBackOffAfter2 = 33;  // 33..35: rod back-off tools 2..4 after the design, m
inline constexpr int kNotes = 50;          // design notes
inline constexpr int kUnit = 51;           // designing unit
inline constexpr int kDesigner = 52;
}  // namespace tool_box

// The number boxes a design run or a redraw reads, with what each may hold: Text3 and Text6
// by their index, the single boxes Text2, Text4 and Text5 as box 0 of their own.
enum class DesignBoxArray { Text3, Text6, Text2, Text4, Text5 };
struct DesignBoxLimit {
  DesignBoxArray array;
  BoxLimit limit;
};
extern const std::array<DesignBoxLimit, 56> kDesignBoxLimits;

// Per-node arrays over measured depth (node i covers 2·i .. 2·i + 2 m).
struct DepthProfile {
  using Floats = std::array<float, kNodeCount>;
  Floats node_depth{};   // m, 2·i
  Floats inclination{};  // degrees
  Floats azimuth{};      // degrees clockwise from north, 0..360
  Floats incl_change{};  // always 0
  Floats dogleg{};       // degrees per 30 m, from node i to i + 1
  Floats vert_step{};    // m of vertical depth over the node's 2 m
  Floats east_step{};    // m east over the node's 2 m
  Floats north_step{};   // m north over the node's 2 m
  Floats rod_dia{};            // mm
  Floats axial_max{};          // N, upstroke
  Floats axial_min{};          // N, downstroke; negative = compression
  Floats side_force_tubing{};  // N/m, from the hole's curvature
  Floats side_force_rod{};     // N/m, from the rods' weight on the inclined hole
  std::array<std::int16_t, kNodeCount> fzq_code{};  // spacing code, +8192 where placed

  DepthProfile() { vert_step.fill(2.0f); }
};

// A grid control's text matrix with its fixed header row and column, current cell,
// selection and first visible row; row and column numbers count the fixed ones.
class TextGrid {
 public:
  explicit TextGrid(int cols = 7, int rows = 2) : cols_(cols) { set_rows(rows); }
  int rows() const { return static_cast<int>(cells_.size()); }
  int cols() const { return cols_; }
  // New rows are empty; the current row stays inside the grid.
  void set_rows(int n);
  const std::string& text(int r, int c) const;
  // Out-of-range cells are ignored (the grid refuses them).
  void set_text(int r, int c, std::string t);
  void clear_row(int r, int c1, int c2);
  // Removes row r with its cells; the current row stays inside the grid.
  void remove_row(int r) {
    if (r < 0 || r >= rows()) return;
    cells_.erase(cells_.begin() + r);
    if (row >= rows()) row = rows() > 0 ? rows() - 1 : 0;
  }

  int row = 1, col = 0;  // current cell
  int sel_row1 = 1, sel_row2 = 1, sel_col1 = 0, sel_col2 = 0;
  int top_row = 1;  // first visible row below the fixed one

 private:
  int cols_;
  std::vector<std::vector<std::string>> cells_;
};

// The working design record (the engine writes its fzq_depth: m, deepest first, 0 = empty).
using CurDesign = RodDesignRecord;
static_assert(kDesignFzqCount == kFzqSlots);

struct DesignState {
  // Boxes of the design window, read as the number their text begins with.
  std::array<std::string, 28> Text3;   // before (0..11, 24, 26) and after (12..23, 25, 27) the design
  std::array<std::string, 34> Text6;   // well, fluid, load and power boxes; 32, 33 wax (IPR tab)
  std::array<std::string, 20> Label3;  // efficiencies and stress percentages
  // Structure, tool and note boxes: 0..15 well structure, 16..32 and 53..62 tools before the
  // design, 33..49 and 63..72 after it (33..35 back-off tools 2..4), 50 notes, 51 unit, 52 designer.
  std::array<std::string, 73> Text10;
  std::string Text2 = "0.75";          // design pump efficiency
  std::string Text4 = "794";           // allowed stress of the rod grade, MPa
  std::string Text5 = "0.85";          // service factor
  std::string CyjType_Comb;            // pumping-unit model
  std::string JName_Comb;              // well name
  std::string Date_Comb;               // design date
  int text3_focus = -1;                // Text3 box a stage sent the focus to, -1 none
  int other_focus = 0;                 // 2, 4 or 5: Text2, Text4 or Text5 is to get the focus
  int text6_focus = -1;                // Text6 box a refused run sent the focus to, -1 none

  // Design options. Mode: Option2 lightest string (true) or Option3 equal strength; taper
  // series of equal strength: Option1(0) 1", 7/8", 3/4" or Option1(1) 7/8", 3/4", 5/8".
  // Rod grade: Option4..Option8 (C, D, K, H, other), 0 while none is chosen.
  bool Option2 = true;
  int Option1 = 0;
  int rod_grade = 0;
  bool series_enabled = false;  // Option1(0), Option1(1)
  bool grades_enabled = true;   // Option4..Option8, Text4, Text5

  // Values the design stages share (single precision).
  float kin_visc = 0;          // kinematic viscosity of the liquid (workbench: cur_ydnd)
  float load_factor_up = 0;    // (workbench: up_load_factor)
  float load_factor_down = 0;  // (workbench: down_load_factor)
  float dyn_factor = 0;        // S·N²/1790
  float pump_friction = 0;     // kN (workbench: plunger_friction)
  float fluid_load = 0;        // kN
  float buoy_factor = 0;       // (7.8 − ρ_l)/7.8 (workbench: buoyancy_factor)
  std::array<float, 7> rod_area{};     // mm²
  std::array<float, 7> section_len{};  // m per rod size (workbench: sect_len)
  std::array<std::string, 7> stroke_series;  // catalogue stroke texts, m
  int stroke_last = -1;                      // index of the last entry; -1 before a lookup

  DepthProfile profile;
  std::int16_t last_node = 0;

  // Survey grid and its entry boxes.
  TextGrid Grid1{7, 2};
  std::array<std::string, 9> Text1;  // 斜深, 井斜角 °/′, 方位角 °/′, 总位移, 总方位 °/′, 垂直井深
  int text1_focus = -1;               // entry box that has the focus, -1 none
  std::int16_t jx_changed = 0;        // survey edited since load or save (workbench: survey_changed)
  std::string jx_path;                // UTF-8 path of the survey the table shows; empty: none yet

  // Centralizer table.
  TextGrid Grid2{11, 2};
  CurDesign cur_design;
  // The table's in-grid depth editor: its text and Grid2's row at its last change, and
  // whether an accepted key was typed since the last commit.
  std::string fzq_edit_text;
  std::int16_t fzq_edit_row = 0;
  bool fzq_edit_changed = false;
  // The boxes, cur_design and the table hold a design just loaded: the load's run shows the
  // stress of every stored section, and its DesignFzq keeps the stored centralizer depths
  // instead of placing its own (and clears this).
  bool loaded_design = false;

  // 3D view.
  double box_half_width = 0;  // m
  double box_depth = 0;       // m
  double view_azimuth = 0;    // rad, clockwise from north
  int HScroll_FW = 0;         // degrees, −185..185
  std::string Text_FW = "0";
  std::string Cmd_Tran_Well = "正转";
  bool Timer_Tran = false;
};

// A box of kDesignBoxLimits that is not a number or beyond its limits: the message naming it.
struct DesignBoxRefusal {
  std::string message;
  DesignBoxArray array;
  int box;
};
// The boxes a design run reads before it writes them: the automatic run (Mutual_Index 0) or
// the interactive run from the stage `Mutual_Index` (12 and above).
std::optional<DesignBoxRefusal> check_design_run_boxes(const DesignState& st, int Mutual_Index);
// The well boxes the inflow-performance curve is drawn from.
std::optional<DesignBoxRefusal> check_ipr_boxes(const DesignState& st);
// The two powers the system efficiency before the design is shown from.
std::optional<DesignBoxRefusal> check_effi_caption_boxes(const DesignState& st);

}  // namespace wb::design
