// Supply-line loss estimate from the electric samples of one test.
//
// The line feeding the motor loses voltage in proportion to the current it carries. Over the
// samples in which the motor draws more than 30 % of its peak power, the voltage is fitted
// against the current by least squares: the slope is the voltage-drop coefficient (V/A), the
// fitted voltage at the lightest load of the test is the no-load voltage, and the mean of
// |3·b·(I − Imin)·I| over the fit samples is the average power lost in the three phases (W).
// Maximum, minimum, mean and RMS of current, voltage, active and reactive power are taken
// over the samples that consume power (active power > 0).
//
// The estimate holds only when the fit is defined (two or more fit samples with spread in
// both current and voltage) and |r| > 0.7; otherwise the result list carries a notice.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/records/drawn_test.h"

namespace wb {

// Samples an electric-test reader rebuilds: one stroke of 144 points (a 145th closes the
// curve by repeating the first).
inline constexpr int kElectricRebuiltPoints = 144;

struct SampleStats {
  double max = 0, min = 0, mean = 0, rms = 0;
};

struct LineLossEstimate {
  int n = 0;  // statistics samples: active power > 0
  int m = 0;  // fit samples: active power > 0.3 × the largest active power
  SampleStats current;   // A
  SampleStats voltage;   // V
  SampleStats active;    // kW
  SampleStats reactive;  // kvar
  double sxx = 0, syy = 0, sxy = 0;  // centred sums of the fit samples
  bool fit_defined = false;          // m >= 2, Sxx > 0 and Syy > 0
  double slope = 0;                  // b, V/A
  double intercept = 0;              // a, V
  double r = 0;                      // correlation
  double no_load_voltage = 0;        // a + b·Imin, V
  double avg_loss = 0;               // W
  bool valid = false;                // fit_defined and |r| > 0.7

  // Bottom of the chart's voltage axis: 5·⌊Umean/5⌋ − 20 (−20 without statistics samples).
  double ubase() const;
};

// Estimate over positions 0..count-1 (cut to the arrays).
LineLossEstimate estimate_line_loss(const float* iis, const float* uus, const float* pps, const float* qqs, int count);
LineLossEstimate estimate_line_loss(const DrawnTest& st, int count);

// The text published in the correlation box R_iu: the full-precision correlation, or empty
// when the fit is undefined (an older value there would pass for this fit's).
std::string correlation_text(const LineLossEstimate& e);

// Number of samples the estimate may use for the test whose samples the arrays hold:
// `source_kind` is the test kind shown before the line-loss view. An electric record
// rebuilds one stroke of 144 points whatever its stored point count; the arrays beyond hold
// an earlier test's samples. Only joint and electric tests have electric samples: any other
// kind (a waveform cycle, a card, nothing) gives 0.
int line_loss_sample_count(std::int16_t source_kind, std::int16_t iu_num);

// The 21-line result list. Screen form: line 0 "时间:yyyymmdd/hh:mm"; Alternative form:
// line 0 only the first eight characters of the date and three blanks before the
// correlation's equals sign.
enum class LineLossListForm { Screen, Alternative };
using LineLossList = std::array<std::string, 21>;
LineLossList line_loss_list(const LineLossEstimate& e, std::string_view test_date,
                            LineLossListForm form = LineLossListForm::Screen);

}  // namespace wb
