// The efficiency window's 49 boxes (Text1) by name. They live beside the efficiency record
// because its field table (gt_ym_fields.h) says which box each field fills.
//
// Box map (units as typed): 0 well, 1 block, 2 pumping-unit model, 3 motor model, 4 pump
// bore mm, 5 daily liquid t/d, 6 water cut %, 7 daily oil t/d, 8 gas-oil ratio m3/t,
// 9 viscosity mPa.s, 10 wellhead temperature °C, 11..14 rod lengths m (1 in, 7/8 in, 3/4 in,
// 5/8 in), 15 liquid density t/m3, 16 tubing-head and 17 casing-head pressure MPa,
// 18 dynamic fluid level m, 19 pump depth m, 20 submergence m, 21 nominal stroke m,
// 22 nominal strokes/min, 23 test time, 24 1-1/8 in rod length m, 25 input power kW,
// 26 polished-rod power kW, 27 hydraulic power kW, 28 surface, 29 downhole and 30 system
// efficiency %, 31 max current up/down A, 32 mean power up/down kW, 33 pump efficiency %,
// 34 mean voltage V, 35 mean current A, 36 apparent power kVA, 37 reactive power kvar,
// 38 power factor, 39 RMS current A, 40 RMS power kW, 41 measured stroke m, 42 measured
// strokes/min, 43 and 44 theoretical max and min load kN, 45 and 46 largest and smallest
// load of the card kN, 47 sinker-bar length m, 48 sinker-bar diameter mm.
#pragma once

#include <array>
#include <string>

namespace wb {

inline constexpr int kEffiBoxCount = 49;
using EffiBoxes = std::array<std::string, kEffiBoxCount>;

// Index names of Text1 (docs/GLOSSARY.md lists each box with its caption and unit).
namespace effi_box {
inline constexpr int kWell = 0;
inline constexpr int kBlock = 1;
inline constexpr int kCyjModel = 2;
inline constexpr int kMotorModel = 3;
inline constexpr int kPumpDia = 4;  // mm
inline constexpr int kLiquidRate = 5;  // t/d
inline constexpr int kWaterCut = 6;  // %
inline constexpr int kOilRate = 7;  // t/d
inline constexpr int kGasOilRatio = 8;  // m3/t
inline constexpr int kViscosity = 9;  // mPa.s
inline constexpr int kWellheadTemp = 10;  // °C
inline constexpr int kRods1 = 11;  // m
inline constexpr int kRods78 = 12;  // m
inline constexpr int kRods34 = 13;  // m
inline constexpr int kRods58 = 14;  // m
inline constexpr int kLiquidDensity = 15;  // t/m3
inline constexpr int kTubingPress = 16;  // MPa
inline constexpr int kCasingPress = 17;  // MPa
inline constexpr int kFluidLevel = 18;  // m
inline constexpr int kPumpDepth = 19;  // m
inline constexpr int kSubmergence = 20;  // m
inline constexpr int kNomStroke = 21;  // m
inline constexpr int kNomSpm = 22;  // 1/min
inline constexpr int kTestTime = 23;
inline constexpr int kRods118 = 24;  // m
inline constexpr int kInputPower = 25;  // kW
inline constexpr int kRodPower = 26;  // kW
inline constexpr int kHydraulicPower = 27;  // kW
inline constexpr int kSurfaceEffi = 28;  // %
inline constexpr int kDownholeEffi = 29;  // %
inline constexpr int kSysEffi = 30;  // %
inline constexpr int kMaxCurrentPair = 31;  // A "/" A
inline constexpr int kMeanPowerPair = 32;  // kW "/" kW
inline constexpr int kPumpEffi = 33;  // %
inline constexpr int kMeanVoltage = 34;  // V
inline constexpr int kMeanCurrent = 35;  // A
inline constexpr int kApparentPower = 36;  // kVA
inline constexpr int kReactivePower = 37;  // kvar
inline constexpr int kPowerFactor = 38;
inline constexpr int kRmsCurrent = 39;  // A
inline constexpr int kRmsPower = 40;  // kW
inline constexpr int kRealStroke = 41;  // m
inline constexpr int kRealSpm = 42;  // 1/min
inline constexpr int kTheoMaxLoad = 43;  // kN
inline constexpr int kTheoMinLoad = 44;  // kN
inline constexpr int kRealMaxLoad = 45;  // kN
inline constexpr int kRealMinLoad = 46;  // kN
inline constexpr int kSinkerLen = 47;  // m
inline constexpr int kSinkerDia = 48;  // mm
}  // namespace effi_box

}  // namespace wb
