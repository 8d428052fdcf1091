// The single-well efficiency window's state: its 49 boxes (`Efficiency_Boxes`) as texts,
// the stroke it holds and the members the commands share. The window mirrors the texts into
// its line edits, so every command that works on the boxes runs here without a window.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/box_limits.h"
#include "core/records/effi_box.h"

namespace wb {

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
