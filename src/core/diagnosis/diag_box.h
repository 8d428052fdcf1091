// The diagnosis window's box array `Text1` by meaning: the indexes its state, its record and
// the rod-string design's take-over share. docs/GLOSSARY.md lists each box with its caption.
#pragma once

#include <array>

namespace wb {

// The boxes of `Text1` by meaning (indexes of the window's box array). Lengths of rod
// sections are in m; "3/4 in" rods carry the caption "6/8'".
namespace diag_box {
inline constexpr int kPumpEfficiency = 0;    // from the effective stroke, fraction (result)
inline constexpr int kRods118 = 1;           // 1-1/8 in rods, m
inline constexpr int kSinkerLen = 2;         // sinker bar, m
inline constexpr int kWell = 3;              // first key
inline constexpr int kDate = 4;              // second key
inline constexpr int kBore = 5;              // mm
inline constexpr int kLiquid = 6;            // m3/d
inline constexpr int kWaterCut = 7;          // %
inline constexpr int kOilDensitySurface = 8;   // t/m3
inline constexpr int kOilDensityDownhole = 9;  // t/m3
inline constexpr int kRods1 = 10;            // 1 in rods, m
inline constexpr int kRods78 = 11;           // 7/8 in rods, m
inline constexpr int kRods34 = 12;           // 3/4 in rods, m
inline constexpr int kRods58 = 13;           // 5/8 in rods, m
inline constexpr int kStroke = 14;           // polished-rod stroke, m
inline constexpr int kSpm = 15;              // strokes per minute
inline constexpr int kFluidLevel = 16;       // dynamic fluid level, m
inline constexpr int kStaticPressure = 17;   // static reservoir pressure, MPa
inline constexpr int kTubingPressure = 18;   // tubing head, MPa
inline constexpr int kCasingPressure = 19;   // casing head, MPa
inline constexpr int kLayerMidDepth = 20;    // mid-depth of the producing zone, m
inline constexpr int kIntakeDepth = 21;      // pump intake, m
inline constexpr int kPumpDepth = 22;        // pump setting depth, m
inline constexpr int kTubingInnerDia = 23;   // mm
inline constexpr int kCasingInnerDia = 24;   // mm
inline constexpr int kAdvice = 31;           // the diagnosis advice, multi-line
inline constexpr int kSinkerDia = 37;        // mm
inline constexpr int kSpare1 = 38;           // unlabelled and without a meaning: only emptied
inline constexpr int kSpare2 = 39;
inline constexpr int kViscosity = 40;        // oil viscosity, mPa·s
inline constexpr int kNetThickness = 41;     // effective thickness of the producing zone, m
inline constexpr int kPermeability = 42;     // mD
inline constexpr int kBubblePressure = 43;   // bubble-point pressure, MPa
inline constexpr int kFlowingPressure = 44;  // flowing bottom-hole pressure, MPa
inline constexpr int kProductivity = 45;     // productivity index, m3/(d·MPa)
inline constexpr int kGasOilRatio = 46;      // m3/t
inline constexpr int kEffectiveStroke = 47;  // m (result)
inline constexpr int kCyjModel = 48;         // pumping-unit model
inline constexpr int kPlungerStroke = 49;    // m (result)
inline constexpr int kMotorModel = 50;
inline constexpr int kWellheadTemp = 51;     // °C
inline constexpr int kInputPower = 52;       // kW
inline constexpr int kRodPower = 53;         // polished-rod power, kW
inline constexpr int kUsefulPower = 54;      // effective (hydraulic) power, kW
inline constexpr int kRmsPower = 55;         // root-mean-square power, kW
// The hidden frame "参数设计": boxes without a function that nothing reads or writes.
inline constexpr std::array<int, 11> kHiddenDesign = {25, 26, 27, 28, 29, 30, 32, 33, 34, 35, 36};
}  // namespace diag_box

}  // namespace wb
