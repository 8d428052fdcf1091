// The counterbalance analysis of one held stroke: the state the counterbalance window keeps
// (the stroke as handed over, the working parameters, the curves turned to crank 12 o'clock,
// the coefficient sets, the adjustment and the forecast) and the steps that fill it.
//
// Frames: the handed-over curves start at the bottom dead centre (BDC); Tran_Dat_To_12Start
// makes a second set that starts where the crank points to 12 o'clock, `crank_angle0`
// degrees of crank turn earlier. The crank shift, the beam block choice and the predicted
// power work in the 12-o'clock frame; current peaks are compared in the BDC frame, whose
// first half is the upstroke.
//
// Order of an automatic run (run_ph_analysis step 0): input check, 12-o'clock curves, the
// crank shift and/or beam block change of the mode, then the forecast and the advice. The
// manual steps move the last result by ±0.05 m or ±1 block and forecast again. Nothing here
// touches a file, a window or a message box: the intermediate text files are returned as
// texts, the "no unique solution" messages of the fits as a count.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/balance/balance_params.h"
#include "core/records/drawn_test.h"

namespace wb {

inline constexpr int kBalanceMaxPoints = 3000;  // sample arrays hold at most 3000 points
inline constexpr int kBalanceMinPoints = 3;     // fewer points hold no stroke to analyse

// The stroke the window holds: what the hand-over (or a stored record) gives it.
struct HeldStroke {
  std::int16_t DispCurveType = 0;  // TestKind: kKindJoint, kKindElectric (curves only), 0 none yet
  std::int16_t cs_fs = 0;          // wiring: 1 three-phase two-channel, 2 one-channel, 3 single-phase, 4 three-channel
  std::int16_t gt_num = 0;         // points per stroke, 0.02 s apart
  std::string Cur_Well;            // well, trimmed
  std::string Cur_Test;            // test time, trimmed
  float Rms_I = 0;                 // measured RMS current, A
  float Rms_P = 0;                 // measured RMS active power, kW
  // BDC frame, indices 0..gt_num-1: current A, voltage V, active kW, reactive kvar,
  // displacement m, load kN (the last two zero without a card).
  std::vector<float> iis, uus, pps, qqs, sss, ggs;
  // The four electric curves as received (a stored record's coefficients come from these).
  std::vector<float> iis_org, uus_org, pps_org, qqs_org;

  bool holds_stroke() const { return has_electric_stroke(DispCurveType) && gt_num >= kBalanceMinPoints; }
};

// Copies a handed-over stroke (sh_ow): kind 2 or 3 only; another kind changes only the kind.
// `n` is clamped to the arrays' 0..3000; kind 2 gets zero position and load.
void take_stroke(HeldStroke& h, const float* uus1, const float* iis1, const float* pps1, const float* qqs1,
                 const float* sss1, const float* ggs1, int n, std::int16_t cs_fs1, std::int16_t kind);

// A text file the analysis asks to write when the intermediate output is switched on: the
// file name (well name and box text, path characters removed) and its UTF-8 content with
// CR LF line ends. The window writes it, in GBK, in the program folder.
struct IntermediateFile {
  std::string name;
  std::string content;
};

// Writes a text file of the window (an intermediate file, the advice export) in GBK through
// an atomic replace; false when it could not be written (a file of that name then stays as
// it was).
[[nodiscard]] bool write_balance_text(const std::filesystem::path& path, const std::string& utf8);

// The three file-name boxes Text4 of the intermediate output, by what the file holds.
namespace intermediate_box {
inline constexpr int kStrokeTorque = 0;    // polished-rod displacement and torque factor
inline constexpr int kBeamBlockMotion = 1;  // beam counterweight's vertical displacement and speed
inline constexpr int kPowerTorque = 2;     // power and torque split before and after balancing
}  // namespace intermediate_box

// Names of the intermediate files, as the three file-name boxes preset them.
inline const std::array<std::string, 3> kIntermediateFileBoxes{"悬点位移及扭矩因数.txt", "游梁平衡块的垂直位移及速度.txt",
                                                               "平衡前后的功率及扭矩分解.txt"};

struct BalanceState {
  HeldStroke held;
  BalanceParams prm;

  // Electric regressions on the held stroke: U(P) and Q(P).
  float A0_U = 0, B1_U = 0, B2_U = 0;
  float A0_Q = 0, B1_Q = 0, B2_Q = 0;

  // 12-o'clock set (qqs12 stays zero) and its whole-point shift from the BDC frame.
  std::vector<float> iis12, uus12, pps12, qqs12, sss12, ggs12;
  int shift12 = 0;  // index i of the 12-o'clock set is BDC index (i - shift12) mod gt_num
  std::array<float, 33> P12_Cos{}, P12_Sin{};  // 30 terms of pps12
  std::array<float, 7> S_Cos{}, S_Sin{}, S12_Cos{}, S12_Sin{};
  std::vector<float> Beam_Y, Beam_V;  // beam counterweight vertical displacement m, speed m/s
  std::array<float, 7> V_Cos{}, V_Sin{}, WV_Cos{}, WV_Sin{}, Beam_Cos{}, Beam_Sin{};

  // The adjustment analysed.
  float Crank_dR = 0;        // change of the crank block position, m, outward positive
  std::int16_t Beam_dN = 0;  // change of the beam block count

  // Forecast (Make_PHJY).
  std::array<float, 7> Bal_Cos{}, Bal_Sin{};
  std::vector<float> pps_bal, pps_after, iis_after;  // 12-o'clock frame
  float I_Up_Max = 0, I_Dn_Max = 0, P12_Min = 0, P12_Max = 0, P_After_Min = 0, P_After_Max = 0;
  float I_Up_Max_After = 0, I_Dn_Max_After = 0, Rms_I_After = 0, Rms_P_After = 0, P_Save = 0;
  // Current balance figure of the present state (up/down peak ratio, at most 1). A stroke whose
  // down-stroke peak is exactly 0 has no figure; it then keeps the one of the forecast before.
  float Bal_K = 0;

  // The advice of the last analysis step: the whole text for the advice box and its
  // adjustment section for the summary record. Redraws leave them as they are.
  std::string advice;
  std::string balance_advice;
  bool analysed = false;  // an analysis step has completed since the stroke was taken
};

// Fits Q(P) and U(P) on the held stroke; returns how many of the two fits had no unique
// solution (the window shows "高斯法解方程无唯一解!" once for each).
int fit_electric_regressions(BalanceState& a);

struct [[nodiscard]] AnalysisStepResult {
  bool ran = false;        // false: the check failed (or no stroke is held); nothing computed
  std::string check_message;  // the check's message when it failed
  std::vector<IntermediateFile> files;
};

struct AnalysisOptions {
  BalanceMode mode = BalanceMode::Crank;
  bool write_files = false;                                // "输出中间计算结果到文本文件"
  std::array<std::string, 3> file_boxes = kIntermediateFileBoxes;  // Text4(0..2)
};

// Run_PH_Analysis: step 0 the automatic analysis (check, re-index, crank shift and/or beam
// block change), 1/2 crank blocks out/in by 0.05 m, 3/4 one beam block more/fewer; each
// completed step ends with the forecast and the advice.
AnalysisStepResult run_ph_analysis(BalanceState& a, ParameterBoxes& text2, int step, const AnalysisOptions& opt);

// The automatic adjustment of a mode on checked members: 12-o'clock curves, then the crank
// shift and/or the beam block change (the crank shift divides by the crank weight, which the
// check or the caller must have made non-zero).
void automatic_adjustment(BalanceState& a, BalanceMode mode, std::vector<IntermediateFile>* files,
                          const std::array<std::string, 3>& file_boxes);

// The kinematics, forecast and advice steps, public for the tests and the printed report.
// Tran_Dat_To_12Start / Get_Beam_Balance / Make_PHJY append intermediate files to `files`
// when `files` is not null.
void Tran_Dat_To_12Start(BalanceState& a, std::vector<IntermediateFile>* files, const std::string& file_box);
void Get_Beam_Balance(BalanceState& a, BalanceMode mode, std::vector<IntermediateFile>* files,
                      const std::string& file_box);

struct AdviceForm {
  std::string line_prefix;  // "" on screen, 32 blanks in print
  bool blank_line = true;   // an empty line after the state and the advice sections
};
// Forecast and advice text for the mode; the advice section also goes to a.balance_advice.
std::string Make_PHJY(BalanceState& a, BalanceMode mode, const AdviceForm& form,
                      std::vector<IntermediateFile>* files, const std::string& file_box);

// Get_Adj_Advice: the sentences of the advice section. May set a.Crank_dR (all crank blocks
// off) and clears show_forecast when the crank cannot balance the unit.
std::string Get_Adj_Advice(BalanceState& a, float Need_Pos, bool& show_forecast, BalanceMode mode,
                           const std::string& P, const std::string& D);

// A file name from a well name and a box text with the characters that could lead out of
// the folder or that file systems refuse removed; empty when nothing usable remains.
std::string intermediate_file_name(const std::string& well, const std::string& box_text);

}  // namespace wb
