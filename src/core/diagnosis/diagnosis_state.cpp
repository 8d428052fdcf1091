#include "core/diagnosis/diagnosis_state.h"

#include <cmath>


namespace wb {

std::array<std::string, kDiagBoxCount> diagnosis_design_texts() {
  std::array<std::string, kDiagBoxCount> t;
  t[0] = "有效冲程泵效";
  t[8] = "0.86";
  t[9] = "0.83";
  t[23] = "63";
  t[24] = "124";
  t[38] = "Text1(38)";
  t[39] = "Text1(39)";
  t[48] = "抽油机型号";
  t[50] = "电动机型号";
  t[51] = "井口温度℃";
  t[52] = "输入功率";
  t[53] = "光杆功率";
  t[54] = "有功功率";
  t[55] = "均方根功率";
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
