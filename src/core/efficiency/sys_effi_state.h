// The single-well efficiency window's state: its 49 boxes (`Efficiency_Boxes`) as texts,
// the stroke it holds and the members the commands share. The window mirrors the texts into
// its line edits, so every command that works on the boxes runs here without a window.
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
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/box_limits.h"

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


// Boxes the calculation writes; a new hand-over or a result that cannot be computed empties them.
inline constexpr std::array<int, 7> kEffiResultBoxes = {effi_box::kHydraulicPower, effi_box::kSurfaceEffi, effi_box::kDownholeEffi, effi_box::kSysEffi, effi_box::kPumpEffi, effi_box::kTheoMaxLoad, effi_box::kTheoMinLoad};

// The boxes the calculation reads, with what each may hold (limits with room to spare over
// any beam-pumped well; beyond them the results are no efficiency at all). The five required
// boxes' emptiness and the density's sign keep their own messages, which come first; a bore,
// stroke or strokes a minute of 0 or below leaves the pump efficiency out with its own. The
// input and polished-rod powers are not checked here: one that is no number means "no power
// measured" and leaves out the efficiencies divided by it.
inline constexpr std::array<BoxLimit, 16> kEffiCalcBoxLimits = {{
    {effi_box::kPumpDia, "泵径", kNoLowerLimit, 200, "mm"},                // pumps are 28 … 120 mm
    {effi_box::kLiquidRate, "日产液", 0, 2000, "t/d"},
    {effi_box::kLiquidDensity, "产液密度", 0, 2, "t/m3"},           // oil, water and brine lie below 1.3 t/m3
    {effi_box::kTubingPress, "井口油压", -0.1, 100, "MPa"},       // gauge pressures: a casing under slight suction
    {effi_box::kCasingPress, "井口套压", -0.1, 100, "MPa"},
    {effi_box::kFluidLevel, "动液面", 0, 10000, "m"},            // depths: no pumped well is deeper
    {effi_box::kPumpDepth, "泵挂深度", 0, 10000, "m"},
    {effi_box::kNomStroke, "标称冲程", kNoLowerLimit, 20, "m"},           // the longest units stroke about 12 m
    {effi_box::kNomSpm, "标称冲次", kNoLowerLimit, 30, "1/min"},       // beam units run 1 … 20 strokes a minute
    {effi_box::kRods1, "1' 杆长", 0, 10000, "m"},
    {effi_box::kRods78, "7/8'杆长", 0, 10000, "m"},
    {effi_box::kRods34, "6/8'杆长", 0, 10000, "m"},
    {effi_box::kRods58, "5/8'杆长", 0, 10000, "m"},
    {effi_box::kRods118, "1'1 杆长", 0, 10000, "m"},
    {effi_box::kSinkerLen, "加重杆长", 0, 10000, "m"},
    {effi_box::kSinkerDia, "加重杆径", 0, 100, "mm"},
}};

// The record shown with fields blanked because they were damaged (vals[] indices), and
// its key as stored; storing the boxes again under that key asks first.
struct EffiShownDamage {
  std::vector<std::size_t> fields;
  std::string well, test;
};

struct SysEffiState {
  EffiBoxes Text1;             // Efficiency_Boxes
  bool Edit_Flag = false;      // a key was pressed in a box since the record was loaded or saved
  std::int16_t gt_num = 0;     // card points per stroke
  std::int16_t iu_num = 0;     // electric points per stroke
  std::int16_t cs_fs = 0;      // wiring mode 1..4
  std::int16_t read_sgt_dnt_org = 0;  // kind of the handed-over test, 0 until a hand-over
  float Pin_Ref = 0;           // kW, input power the electric curves now correspond to
  std::int16_t Miss_Flag = 0;  // 1 when a required input of the calculation is blank

  // One stroke, 0.02 s apart: electric arrays hold indices 0..iu_num, card arrays 0..gt_num.
  std::vector<float> uus, iis, pps, qqs;  // V, A, kW, kvar
  std::vector<float> sss, ggs;            // m, kN

  // Rod table of the last calculation: section lengths m, diameters mm, weights in air kN/m.
  std::array<double, 8> Rod_Len{};
  double Rod_Len_Sum = 0;  // m
  std::array<double, 8> Rod_Dia_Tab{};
  std::array<double, 8> Rod_Wt_Tab{};

  EffiShownDamage shown_damage;     // of the record last shown from the library
  std::filesystem::path Effi_File;  // efficiency records
  std::filesystem::path Sgt_File;   // card library
  std::filesystem::path Dnt_File;   // power-curve library
};

}  // namespace wb
