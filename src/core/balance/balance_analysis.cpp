#include "core/balance/balance_analysis.h"

#include <algorithm>

#include "core/balance/electric_fit.h"
#include "core/common/fourier.h"
#include "core/common/gbk.h"
#include "core/common/record_store.h"
#include "core/common/pi.h"

namespace wb {

namespace {

constexpr float kManualCrankStep = 0.05f;  // m per press of "外调" / "内调"

// Crank shift (m) that cancels the fundamental sine power s1 (kW, 12-o'clock frame): as a
// crank torque s1·n/(100π) kN·m, divided by the installed crank weight.
float crank_shift(double s1, int n, const BalanceParams& p) {
  return static_cast<float>(s1 * n / p.crank_blocks / p.crank_block_wt / 100 / kPi14);
}

}  // namespace

void automatic_adjustment(BalanceState& a, BalanceMode mode, std::vector<IntermediateFile>* files,
                          const std::array<std::string, 3>& file_boxes) {
  const int n = a.held.gt_num;
  Tran_Dat_To_12Start(a, files, file_boxes[intermediate_box::kStrokeTorque]);
  switch (mode) {
    case BalanceMode::Crank:
      a.Crank_dR = crank_shift(a.P12_Sin[1], n, a.prm);
      break;
    case BalanceMode::Beam:
      Get_Beam_Balance(a, BalanceMode::Beam, files, file_boxes[intermediate_box::kBeamBlockMotion]);
      break;
    case BalanceMode::Combined:
      Get_Beam_Balance(a, BalanceMode::Combined, files, file_boxes[intermediate_box::kBeamBlockMotion]);
      Fourier_Coef(a.pps12.data(), static_cast<std::int16_t>(n), 30, a.P12_Cos.data(), a.P12_Sin.data());
      // The beam change's fundamental sine power, taken in the same 12-o'clock frame.
      a.Crank_dR = crank_shift(static_cast<double>(a.Beam_dN) * a.WV_Sin[1] + a.P12_Sin[1], n, a.prm);
      break;
    case BalanceMode::None:
      break;
  }
}

void take_stroke(HeldStroke& h, const float* uus1, const float* iis1, const float* pps1, const float* qqs1,
                 const float* sss1, const float* ggs1, int n, std::int16_t cs_fs1, std::int16_t kind) {
  h.DispCurveType = kind;
  if (!has_electric_stroke(kind)) return;
  n = std::clamp(n, 0, kBalanceMaxPoints);
  h.cs_fs = cs_fs1;
  h.gt_num = static_cast<std::int16_t>(n);
  const std::size_t size = static_cast<std::size_t>(n) + 1;
  for (auto* v : {&h.qqs, &h.pps, &h.uus, &h.iis, &h.iis_org, &h.uus_org, &h.pps_org, &h.qqs_org, &h.sss, &h.ggs})
    v->assign(size, 0.0f);
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    h.uus[i] = h.uus_org[i] = uus1[i];
    h.iis[i] = h.iis_org[i] = iis1[i];
    h.pps[i] = h.pps_org[i] = pps1[i];
    h.qqs[i] = h.qqs_org[i] = qqs1[i];
    if (kind == kKindJoint) {
      h.sss[i] = sss1[i];
      h.ggs[i] = ggs1[i];
    }
  }
}

int fit_electric_regressions(BalanceState& a) {
  const HeldStroke& h = a.held;
  const int n = h.gt_num;
  const QuadraticFit q = Get_P_Q_1(h.qqs.data(), h.pps.data(), n);
  a.A0_Q = q.A0;
  a.B1_Q = q.B1;
  a.B2_Q = q.B2;
  const QuadraticFit u = Get_P_Q_1(h.uus.data(), h.pps.data(), n);
  a.A0_U = u.A0;
  a.B1_U = u.B1;
  a.B2_U = u.B2;
  return (q.unique ? 0 : 1) + (u.unique ? 0 : 1);
}

AnalysisStepResult run_ph_analysis(BalanceState& a, ParameterBoxes& text2, int step, const AnalysisOptions& opt) {
  AnalysisStepResult res;
  if (step < 0 || step > 4) return res;
  std::vector<IntermediateFile>* files = opt.write_files ? &res.files : nullptr;
  const int n = a.held.gt_num;
  if (step == 0) {
    const InputCheck chk = Check_Input_Dat(text2, opt.mode, a.prm);
    if (chk.failed) {
      res.check_message = chk.message;
      return res;
    }
    if (!a.held.holds_stroke()) return res;
    automatic_adjustment(a, opt.mode, files, opt.file_boxes);
  } else {
    if (!a.held.holds_stroke()) return res;
    // The manual steps move the last result; before any analysis the curves are not yet
    // turned, so they are turned once with the members as they stand.
    if (a.pps12.size() != static_cast<std::size_t>(n) + 1) Tran_Dat_To_12Start(a, nullptr, {});
    if (step == 1) a.Crank_dR += kManualCrankStep;
    if (step == 2) a.Crank_dR -= kManualCrankStep;
    if (step == 3) ++a.Beam_dN;
    if (step == 4) --a.Beam_dN;
  }
  a.advice = Make_PHJY(a, opt.mode, AdviceForm{}, files, opt.file_boxes[intermediate_box::kPowerTorque]);
  a.analysed = true;
  res.ran = true;
  return res;
}

bool write_balance_text(const std::filesystem::path& path, const std::string& utf8) {
  const std::string g = utf8_to_gbk(utf8);
  return write_file_atomic(path, std::vector<std::uint8_t>(g.begin(), g.end()));
}

}  // namespace wb
