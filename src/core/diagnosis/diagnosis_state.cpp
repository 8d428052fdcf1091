#include "core/diagnosis/diagnosis_state.h"

#include <cmath>


namespace wb {

std::array<std::string, kDiagBoxCount> diagnosis_design_texts() {
  std::array<std::string, kDiagBoxCount> t;
  using namespace diag_box;
  t[kPumpEfficiency] = "有效冲程泵效";
  t[kOilDensitySurface] = "0.86";
  t[kOilDensityDownhole] = "0.83";
  t[kTubingInnerDia] = "63";
  t[kCasingInnerDia] = "124";
  t[kSpare1] = "Text1(38)";  // the unlabelled boxes show their own names
  t[kSpare2] = "Text1(39)";
  t[kCyjModel] = "抽油机型号";
  t[kMotorModel] = "电动机型号";
  t[kWellheadTemp] = "井口温度℃";
  t[kInputPower] = "输入功率";
  t[kRodPower] = "光杆功率";
  t[kUsefulPower] = "有功功率";
  t[kRmsPower] = "均方根功率";
  return t;
}

DiagnosisState::DiagnosisState() : Text1(diagnosis_design_texts()) {}

// Limits are what a beam-pumped well can have, with room to spare; beyond them the pump card
// computation draws outside its frame or divides by nothing.
const std::array<BoxLimit, 15> kRefreshBoxLimits = {{
    {diag_box::kBore, "泵径", 0, 200, "mm"},            // pumps are 28 … 120 mm
    {diag_box::kLiquid, "日产液", 0, 2000, "m^3/d"},
    {diag_box::kStroke, "光杆冲程", 0, 20, "m"},         // the longest units stroke about 12 m
    {diag_box::kSpm, "冲次", 0, 30, "1/min"},            // beam units run 1 … 20 strokes a minute
    {diag_box::kFluidLevel, "动液面", 0, 10000, "m"},    // depths: no pumped well is deeper
    {diag_box::kPumpDepth, "泵挂深度", 0, 10000, "m"},
    {diag_box::kRods118, "1'1 杆长", 0, 10000, "m"},
    {diag_box::kRods1, "1' 杆长", 0, 10000, "m"},
    {diag_box::kRods78, "7/8'杆长", 0, 10000, "m"},
    {diag_box::kRods34, "6/8'杆长", 0, 10000, "m"},
    {diag_box::kRods58, "5/8'杆长", 0, 10000, "m"},
    {diag_box::kSinkerLen, "加重杆长", 0, 10000, "m"},
    {diag_box::kSinkerDia, "加重杆径", 0, 100, "mm"},
    // Gauge pressures: a little below 0 (a casing under suction), far below 100 MPa.
    {diag_box::kTubingPressure, "井口油压", -0.1, 100, "MPa"},
    {diag_box::kCasingPressure, "井口套压", -0.1, 100, "MPa"},
}};

std::string result_text(double x, int k) {
  if (!std::isfinite(x)) return {};
  const double r = round_dec(x, k);
  return std::isfinite(r) ? num_text(r) : std::string();
}

}  // namespace wb
