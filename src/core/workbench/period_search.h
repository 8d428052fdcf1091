// Stroke-period detection: how many samples (0.02 s each) one pumping stroke takes.
//
// First a similarity search on the polished-rod position, accepted when the position has a
// first harmonic of at least 0.5 m; failing that, a threshold-and-correlation search on the
// motor's active power, on the whole record and then on the record without its first 10 s.
// Stored tests depend on three details of both searches, kept on purpose: the position
// lag is read one sample late, the power result is the best candidate plus one sample, and
// the correlation is passed through the text of the R_iu box.
#pragma once

#include <cstdint>
#include <string>

#include "core/workbench/test_state.h"

namespace wb {

// 20-sample moving average: Data2(k) = mean of data(k+1 .. k+20), k = 0 .. Dat_Num-21.
// Dat_Num is reduced by 20. Nothing is written when fewer than 21 samples are given.
void Decode_Wave(const float* data, int& Dat_Num, float* Data2);

// Pearson correlations of a(0..n-1) with the neighbouring windows b(i .. i+n-1), i = 0 ..
// count-1, sums in single precision taken in sample order: r[i] is the correlation with
// window i, ok[i] 0 where either window is flat (r[i] is then 0).
void correlate_windows(const float* a, const float* b, int count, int n, float* r, std::uint8_t* ok);

// Position similarity search on fdata(0 .. Dat_Num-1) (at most 3000 samples). Shifts the
// position in place so that its minimum is 0 (unless its range is below 0.3 m). Returns the
// period, or Dat_Num when no stroke is found. A peak run still open at the last lag has no
// known peak and is left out: the last closed run decides.
int get_circle_sss(float* fdata, int Dat_Num);

// Power threshold-and-correlation search on data(0 .. Dat_Num-1). Dat_Num is reduced by 20
// (the smoothing). Writes each evaluated correlation into R_iu and accepts a candidate by
// the value read back from that text against circle_tol. Returns the period, or the reduced
// Dat_Num when none is accepted. `id_chr` only labels the call.
int get_circle(const char* id_chr, const float* data, int& Dat_Num, float circle_tol, std::string& R_iu);

// First-harmonic amplitude (m) of the position over its first `count` samples.
float position_fundamental(const TestState& st, int count);

// The cascade: sets gt_num from sss and pps over the stored samples; leaves sss shifted
// to a minimum of 0 and R_iu showing the last evaluated power correlation.
void period_search(TestState& st);

}  // namespace wb
