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

std::string result_text(double x, int k) {
  if (!std::isfinite(x)) return {};
  const double r = round_dec(x, k);
  return std::isfinite(r) ? num_text(r) : std::string();
}

}  // namespace wb
