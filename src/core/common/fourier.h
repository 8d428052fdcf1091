// Fourier codec of the stored curves.
//
// A stored curve is a block of M sine coefficients b(0..M-1) followed by M cosine
// coefficients a(0..M-1), float32. a(0) is twice the mean, b(0) is always 0; over N points
// of one period the curve is a(0)/2 + sum(a(k)cos(k j 2pi/N) + b(k) sin(k j 2pi/N)).
// The routines take the cosine array before the sine array. Every single-precision step
// below is deliberate: a curve encoded again must give bit for bit the coefficient blocks
// already stored in the libraries.
#pragma once

#include <cstdint>

namespace wb {

// Goertzel-Reinsch analysis: m pairs k = 0..m-1 from x(0..n-1). m <= 0 writes nothing.
void Fourier_Coef(const float* x, std::int16_t n, std::int16_t m, float* a, float* b);
// Rebuilds n samples from a(0)/2 and terms 1..m-1.
void Fourier_Synth(float* x, std::int16_t n, std::int16_t m, const float* a, const float* b);
// Analysis on a private copy; an even n gets an extra point (mean of the first and last
// sample) and n is increased to odd in the caller's variable. Writes m+1 pairs k = 0..m.
void get_dft_coef(const float* data, std::int16_t& n, float* pcos, float* psin, std::int16_t m);
// Rebuilds tt_num samples from pcos(0)/2 and terms 1..dftt_num-1, angle in single precision.
void put_dft(float* pps1, std::int16_t tt_num, const float* pcos, const float* psin, std::int16_t dftt_num);

// The record readers' own sum: value(i) = a(0)/2 + sum k=1..h (a(k)cos(k i t) + b(k)sin(k i t)),
// t = 2*3.14159/d, angle in double precision, running sum in single precision; i = 0..n-1.
void reader_series(float* out, int n, int d, int h, const float* a, const float* b);

}  // namespace wb
