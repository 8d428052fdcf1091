// What the design window's number boxes may hold, and which of them each run reads.
//
// The limits are what a beam-pumped well can have, with room to spare, so that no real well is
// ever refused; beyond them the design divides by nothing, runs past the 4000 m depth profile
// or shows numbers no field can hold. The design's own checks keep their messages and come
// first: a box whose low side a run refuses by itself (the reservoir data the automatic run
// checks, the casing pressure, the design pump efficiency) has no lower limit here, and a box
// a run only corrects (the plunger and effective strokes) is only checked to be a number.
#include <limits>

#include "core/design/engine/design_state.h"

namespace wb::design {
namespace {

constexpr double kNoUpperLimit = std::numeric_limits<double>::infinity();
constexpr double kDepth = 10000;    // m: no pumped well is deeper
constexpr double kPressure = 200;   // MPa: the deepest reservoirs stay below 150
constexpr double kPower = 1000;     // kW: beam units are driven by motors of 7.5 … 110 kW
constexpr double kLoad = 1000;      // kN: the largest units carry about 300 kN
constexpr double kBore = 150;       // mm: pumps are 28 … 120 mm
constexpr double kStroke = 20;      // m: the longest units stroke about 12 m
constexpr double kSpm = 30;         // 1/min: beam units run 1 … 20 strokes a minute
constexpr double kRate = 10000;     // m3/d
constexpr double kSinkerDia = 100;  // mm: sinker bars are 25 … 50 mm

using A = DesignBoxArray;
namespace d = design_box;
namespace w = well_box;

}  // namespace

const std::array<DesignBoxLimit, 56> kDesignBoxLimits = {{
    // Well data (tab "基础数据").
    {A::Text6, {w::kStaticPressure, "油层静压", kNoLowerLimit, kPressure, "MPa"}},
    {A::Text6, {w::kFlowingPressure, "井底流压", kNoLowerLimit, kPressure, "MPa"}},
    {A::Text6, {w::kBubblePressure, "饱和压力", kNoLowerLimit, kPressure, "MPa"}},
    {A::Text6, {w::kGasOilRatio, "气油比", 0, 100000, "m^3/t"}},
    // The automatic run clamps the viscosity it derives, with its own messages.
    {A::Text6, {w::kOilViscosityDown, "地下油粘度", kNoLowerLimit, 1e6, "mPa.S"}},
    {A::Text6, {w::kOilDensitySurface, "地面油比重", 0, 2, "t/m^3"}},  // oil and brine lie below 1.3
    {A::Text6, {w::kOilDensityDown, "地下油比重", 0, 2, "t/m^3"}},
    {A::Text6, {w::kWaterCut, "原油含水率", 0, 100, "%"}},
    {A::Text6, {w::kProductivity, "采液指数", kNoLowerLimit, 1000, "t/MPa"}},
    {A::Text6, {w::kWellheadTemp, "井口温度", -60, 200, "℃"}},
    {A::Text6, {w::kTubingPressure, "井口油压", 0, 100, "MPa"}},
    {A::Text6, {w::kCasingPressure, "井口套压", kNoLowerLimit, 100, "MPa"}},
    {A::Text6, {w::kLayerMidDepth, "油层中深", kNoLowerLimit, kDepth, "m"}},
    {A::Text6, {w::kTubingInnerDia, "油管内径", 0, 200, "mm"}},
    {A::Text6, {w::kPlungerStroke, "柱塞冲程", kNoLowerLimit, kNoUpperLimit, "m"}},
    {A::Text6, {w::kEffectiveStroke, "有效冲程", kNoLowerLimit, kNoUpperLimit, "m"}},
    {A::Text6, {w::kMaxLoad, "最大载荷", 0, kLoad, "kN"}},
    {A::Text6, {w::kMinLoad, "最小载荷", -kLoad, kLoad, "kN"}},  // a rod string may push on the rod
    // The load factors are ratios the window derives (about 1); only a value no ratio of two
    // loads can reach is refused.
    {A::Text6, {w::kLoadFactorUp, "上行载荷系数", -1e6, 1e6, ""}},
    {A::Text6, {w::kLoadFactorDown, "下行载荷系数", -1e6, 1e6, ""}},
    {A::Text6, {w::kInputPower, "输入功率", 0, kPower, "kW"}},
    {A::Text6, {w::kRodPower, "光杆功率", 0, kPower, "kW"}},
    {A::Text6, {w::kUsefulPower, "有效功率", 0, kPower, "kW"}},
    {A::Text6, {w::kMotorRatedPower, "电机额定功率", 0, kPower, "kW"}},
    {A::Text6, {w::kMotorEfficiency, "电机额定效率", 0, 100, ""}},  // a fraction, or percent above 1
    {A::Text6, {w::kRmsPower, "均方根功率", 0, kPower, "kW"}},
    {A::Text6, {w::kLayerTemp, "出油层温度", -60, 400, "℃"}},  // steam-flooded layers reach 300 ℃
    // Before the design (frame "设计前参数").
    {A::Text3, {d::kRateBefore, "设计前产液量", 0, kRate, "m^3/d"}},
    {A::Text3, {d::kLevelBefore, "设计前动液面", 0, kDepth, "m"}},
    {A::Text3, {d::kPumpDepthBefore, "设计前泵挂深度", 0, kDepth, "m"}},
    {A::Text3, {d::kBoreBefore, "设计前泵径", 0, kBore, "mm"}},
    {A::Text3, {d::kStrokeBefore, "设计前冲程", 0, kStroke, "m"}},
    {A::Text3, {d::kSpmBefore, "设计前冲次", 0, kSpm, "1/min"}},
    {A::Text3, {d::kSinkerDiaBefore, "设计前加重杆径", 0, kSinkerDia, "mm"}},
    {A::Text3, {d::kSinkerLenBefore, "设计前加重杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods58Before, "设计前5/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods34Before, "设计前6/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods78Before, "设计前7/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods1Before, "设计前1'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods118Before, "设计前1'1\"杆长", 0, kDepth, "m"}},
    // After the design (frame "设计后参数").
    {A::Text3, {d::kRateAfter, "设计后产液量", 0, kRate, "m^3/d"}},
    {A::Text3, {d::kLevelAfter, "设计后动液面", 0, kDepth, "m"}},
    {A::Text3, {d::kPumpDepthAfter, "设计后泵挂深度", 0, kDepth, "m"}},
    {A::Text3, {d::kBoreAfter, "设计后泵径", 0, kBore, "mm"}},
    {A::Text3, {d::kStrokeAfter, "设计后冲程", 0, kStroke, "m"}},
    {A::Text3, {d::kSpmAfter, "设计后冲次", 0, kSpm, "1/min"}},
    {A::Text3, {d::kSinkerDiaAfter, "设计后加重杆径", 0, kSinkerDia, "mm"}},
    {A::Text3, {d::kSinkerLenAfter, "设计后加重杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods58After, "设计后5/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods34After, "设计后6/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods78After, "设计后7/8'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods1After, "设计后1'杆长", 0, kDepth, "m"}},
    {A::Text3, {d::kRods118After, "设计后1'1\"杆长", 0, kDepth, "m"}},
    // The design's own settings; its pump-efficiency check covers both sides.
    {A::Text2, {0, "设计使用泵效", kNoLowerLimit, kNoUpperLimit, ""}},
    {A::Text4, {0, "最小许用应力", 0, 2000, "MPa"}},  // rod grades allow 588 … 890 MPa
    {A::Text5, {0, "应力使用系数", 0, 1, ""}},
}};

namespace {

const std::string& box_text(const DesignState& st, DesignBoxArray a, int box) {
  switch (a) {
    case A::Text3: return st.Text3.at(static_cast<std::size_t>(box));
    case A::Text6: return st.Text6.at(static_cast<std::size_t>(box));
    case A::Text2: return st.Text2;
    case A::Text4: return st.Text4;
    case A::Text5: break;
  }
  return st.Text5;
}

template <class Reads>
std::optional<DesignBoxRefusal> first_refused(const DesignState& st, Reads reads) {
  for (const DesignBoxLimit& l : kDesignBoxLimits) {
    if (!reads(l.array, l.limit.box)) continue;
    BoxLimit one = l.limit;
    one.box = 0;
    const std::string texts[1] = {box_text(st, l.array, l.limit.box)};
    if (auto bad = check_box_limits(texts, std::span<const BoxLimit>(&one, 1)))
      return DesignBoxRefusal{std::move(bad->message), l.array, l.limit.box};
  }
  return std::nullopt;
}

// Whether the run from stage `index` (0: the automatic run) reads an after-design box before
// it writes it. Each stage writes the boxes of the stages after it; the taper design writes
// the rod lengths unless the user's lengths are kept (stages 19..22) or the run only prepares
// (23 and above).
bool run_reads_after_box(int box, int index) {
  switch (box) {
    case d::kSinkerLenAfter:
    case d::kSinkerDiaAfter: return true;
    case d::kRateAfter: case d::kLevelAfter: case d::kPumpDepthAfter:
    case d::kBoreAfter: case d::kStrokeAfter: case d::kSpmAfter: return index >= 12 && box <= index;
    case d::kRods1After: case d::kRods78After: case d::kRods34After:
    case d::kRods58After: return index >= 23 || (index >= 19 && box >= index);
    case d::kRods118After: return index >= 23;
    default: return false;
  }
}

bool is_after_box(int box) { return box >= d::kRateAfter && box != d::kRods118Before && box != d::kSinkerDiaBefore; }

}  // namespace

std::optional<DesignBoxRefusal> check_design_run_boxes(const DesignState& st, int Mutual_Index) {
  return first_refused(st, [&](DesignBoxArray a, int box) {
    if (a == A::Text6) return box != w::kUsefulPower;  // the run writes it
    if (a == A::Text3 && is_after_box(box)) return run_reads_after_box(box, Mutual_Index);
    return true;
  });
}

std::optional<DesignBoxRefusal> check_ipr_boxes(const DesignState& st) {
  return first_refused(st, [](DesignBoxArray a, int box) {
    if (a != A::Text6) return false;
    switch (box) {
      case w::kStaticPressure: case w::kBubblePressure: case w::kProductivity: case w::kWaterCut:
      case w::kOilDensitySurface: case w::kOilDensityDown: case w::kCasingPressure: case w::kLayerMidDepth:
        return true;
      default: return false;
    }
  });
}

std::optional<DesignBoxRefusal> check_effi_caption_boxes(const DesignState& st) {
  return first_refused(st, [](DesignBoxArray a, int box) {
    return a == A::Text6 && (box == w::kInputPower || box == w::kUsefulPower);
  });
}

}  // namespace wb::design
