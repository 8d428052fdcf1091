// The curves of a stored efficiency test, rebuilt from the card and power-curve libraries
// (the efficiency record itself holds no curves). The key is the shown record's well
// (box 0) and test time (box 23), blanks trimmed, case-sensitive; the first matching record
// in file order is taken. Each curve is rebuilt by Fourier_Synth from its stored cosine and
// sine blocks over the record's point_num samples, with these term counts:
//   load 32, displacement 15 (harmonics 1..14; the 16th stored pair is not used),
//   voltage, current and active power 32 each.
// The arrays hold indices 0..point_num, the last one 0.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace wb {

inline constexpr int kCardLoadTerms = 32;
inline constexpr int kCardPositionTerms = 15;
inline constexpr int kElectricTerms = 32;

// Fourier_Synth of n samples with m terms from cosine block a and sine block b, into an
// array of indices 0..n (the last 0); a count below 1 gives the one element 0.
std::vector<float> rebuild_curve(int n, int m, const float* a, const float* b);

// Get_Sgt_Dat. Not found (or a library that is missing, damaged or unreadable): gt_num 0,
// and the window keeps its arrays and boxes 45, 46.
struct CardCurves {
  bool found = false;
  int gt_num = 0;                // := point_num
  std::vector<float> sss, ggs;   // m, kN
  std::string box45, box46;      // max_load / 100, min_load / 100, plain shortest text
};
CardCurves Get_Sgt_Dat(const std::filesystem::path& Sgt_File, const std::string& well, const std::string& test);

// Get_Pow_Dat. Not found: iu_num 0, the window keeps its arrays and wiring mode.
struct ElectricCurves {
  bool found = false;
  int iu_num = 0;  // := point_num
  int cs_fs = 0;   // := wiring_mode
  std::vector<float> uus, iis, pps, qqs;  // V, A, kW, kvar
};
ElectricCurves Get_Pow_Dat(const std::filesystem::path& Dnt_File, const std::string& well, const std::string& test);

// Reactive power of one sample: S = k·I·U/1000 kVA in single precision, k = √3 for wiring
// mode 1, 1 for mode 3, 3 otherwise; Q = √(S² − P²) when positive, else 0.
float library_reactive_power(int wiring_mode, float current, float voltage, float power);

}  // namespace wb
