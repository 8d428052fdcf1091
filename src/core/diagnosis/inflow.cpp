#include "core/diagnosis/inflow.h"

#include "core/common/physical.h"

namespace wb {

namespace {
constexpr double kMinOilDensity = 0.7;
constexpr double kMinLayerDepth = 100;  // m
constexpr double kVogelDivisor = 1.8;
}  // namespace

bool Calc_Pf_Com_Click(DiagnosisState& st, MessageService& messages) {
  const double Pc = st.box(diag_box::kCasingPressure);
  const double fw = st.box(diag_box::kWaterCut) / 100;
  const double rho_o = (st.box(diag_box::kOilDensitySurface) + st.box(diag_box::kOilDensityDownhole)) / 2;
  if (rho_o <= kMinOilDensity) {
    messages.show(kOilDensityMessage, "");
    return false;
  }
  const double rho = fw + rho_o * (1 - fw);
  const double Hm = st.box(diag_box::kLayerMidDepth);
  const double Hd = st.box(diag_box::kFluidLevel);
  if (Hm <= kMinLayerDepth) {
    messages.show(kLayerDepthMessage, "");
    return false;
  }
  const double Pwf = Pc + (Hm - Hd) * kGravity * rho / 1000;
  st.set_box(diag_box::kFlowingPressure, result_text(Pwf, 2));
  return true;
}

bool Calc_Cyzs_Com_Click(DiagnosisState& st, MessageService& messages) {
  const double Q = st.box(diag_box::kLiquid);
  const double Pr = st.box(diag_box::kStaticPressure);
  const double Pb = st.box(diag_box::kBubblePressure);
  const double Pwf = st.box(diag_box::kFlowingPressure);
  if (Q <= 0 || Pr <= 0 || Pb <= 0 || Pwf <= 0) {
    messages.show(kInflowInputsMessage, "");
    return false;
  }
  double J = 0;
  if (Pwf >= Pb) {
    J = Q / (Pr - Pwf);
  } else {
    const double x = Pwf / Pb;
    J = Q / ((Pr - Pb) + (Pb / kVogelDivisor) * (1 - 0.2 * x - 0.8 * x * x));
  }
  st.set_box(diag_box::kProductivity, result_text(J, 3));
  return true;
}

}  // namespace wb
